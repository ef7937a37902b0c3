#include "Sound.h"

#include <QApplication>
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
} // namespace

void PlayFile(const QString& fileName) {
    lastRequested = fileName;
    if (muted) return;
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

void Preload() {
    if (muted) return;
    // After the first frame: the sound system costs start-up time the table does not need.
    QTimer::singleShot(0, qApp, [] {
        for (const char* f : {"CardDeal1.wav", "RIFFLE.wav", "CardDown.wav", "ringout.wav"})
            EffectFor(QString::fromLatin1(f));
    });
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
