#include "Sound.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QHash>
#include <QSoundEffect>
#include <QTimer>
#include <QUrl>

namespace Sound {

namespace {
bool muted = false;
QString lastRequested;
QHash<QString, QSoundEffect*> effects;
QSoundEffect* playing = nullptr;

// The sound system (the audio device, the decoded files) is loaded only after the program's
// first frame is on the screen: opening the audio device can take longer than drawing the
// window. A sound asked for before that (the riffle of start-up) is held and played as soon
// as it is loaded; a newer one replaces it, as a new sound replaces the one playing.
enum class Loading { NotAsked, AfterFirstFrame, Done };
Loading loading = Loading::NotAsked;
QString held;
const char* const Files[] = {"CardDeal1.wav", "RIFFLE.wav", "CardDown.wav", "ringout.wav"};

QString PathOf(const QString& fileName) {
    return QCoreApplication::applicationDirPath() + QLatin1Char('/') + fileName;
}

// The effect for a file, created on first use; nullptr when the file is not there.
QSoundEffect* EffectFor(const QString& fileName) {
    if (auto it = effects.find(fileName); it != effects.end()) return it.value();
    QSoundEffect* effect = nullptr;
    const QString path = PathOf(fileName);
    if (QFileInfo::exists(path)) {
        effect = new QSoundEffect(qApp);
        effect->setSource(QUrl::fromLocalFile(path));
    }
    effects.insert(fileName, effect);
    return effect;
}

void Play(const QString& fileName) {
    QSoundEffect* effect = EffectFor(fileName);
    if (!effect || effect->status() == QSoundEffect::Error) {
        // Like the platform call this stands for: a sound that cannot be played gives the default beep.
        QApplication::beep();
        return;
    }
    if (playing && playing != effect) playing->stop();
    playing = effect;
    effect->play();
}

void LoadAll() {
    if (loading == Loading::Done) return;
    loading = Loading::Done;
    if (muted) return;
    for (const char* f : Files)
        EffectFor(QString::fromLatin1(f));
    if (!held.isEmpty()) Play(held);
    held.clear();
}

// Sees the first paint event of the program; the frame it belongs to is on the screen once
// the event that paints it is done, which is when a queued call made now runs.
class FirstFrame : public QObject {
  protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) {
            qApp->removeEventFilter(this);
            deleteLater();
            QMetaObject::invokeMethod(
                qApp, [] { LoadAll(); }, Qt::QueuedConnection);
        }
        return false;
    }
};
} // namespace

void PlayFile(const QString& fileName) {
    lastRequested = fileName;
    if (muted) return;
    if (loading == Loading::AfterFirstFrame) {
        held = fileName;
        return;
    }
    Play(fileName);
}

void Preload() {
    if (muted || loading != Loading::NotAsked) return;
    loading = Loading::AfterFirstFrame;
    qApp->installEventFilter(new FirstFrame);
    // Without a window on the screen (none shown, or never exposed) the sounds still come.
    QTimer::singleShot(1000, qApp, [] { LoadAll(); });
}

void SetMuted(bool m) {
    muted = m;
    if (m && playing) playing->stop();
}

bool Muted() {
    return muted;
}

QString LastRequested() {
    return lastRequested;
}

} // namespace Sound
