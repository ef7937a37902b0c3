#include "Sound.h"

#include "DataFiles.h"
#include "GameState.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>
#include <QHash>
#include <QSoundEffect>
#include <QThread>
#include <QTimer>
#include <QUrl>
#include <atomic>
#include <cstdio>
#include <functional>

namespace Sound {

namespace {
bool muted = false;
QString lastRequested;

// The effects live on a thread of their own. Starting an effect opens a new stream on the
// audio server and waits for the server to answer; on the table's thread that wait would
// hold up the frame that shows the card the sound belongs to. The table only posts "play this" and never
// waits for the sound system.
class Player : public QObject {
  public:
    void Load(const QStringList& fileNames) {
        for (const QString& f : fileNames)
            EffectFor(f);
    }

    void Play(const QString& fileName) {
        QSoundEffect* effect = EffectFor(fileName);
        if (!effect || effect->status() == QSoundEffect::Error) {
            // Like the platform call this stands for: a sound that cannot be played gives the
            // default beep, which belongs to the table's thread.
            QMetaObject::invokeMethod(
                qApp, [] { QApplication::beep(); }, Qt::QueuedConnection);
            return;
        }
        if (playing_ && playing_ != effect) playing_->stop();
        playing_ = effect;
        effect->play();
    }

    void Stop() {
        if (playing_) playing_->stop();
    }

    // The effects must go on the thread they were made on, before it ends.
    void Unload() {
        playing_ = nullptr;
        qDeleteAll(effects_);
        effects_.clear();
    }

  private:
    // The effect for a file, created on first use; nullptr when the file is not there.
    QSoundEffect* EffectFor(const QString& fileName) {
        if (auto it = effects_.find(fileName); it != effects_.end()) return it.value();
        QSoundEffect* effect = nullptr;
        const QString path = DataFiles::AssetPath(fileName);
        if (QFileInfo::exists(path)) {
            effect = new QSoundEffect(this);
            effect->setSource(QUrl::fromLocalFile(path));
        }
        effects_.insert(fileName, effect);
        return effect;
    }

    QHash<QString, QSoundEffect*> effects_;
    QSoundEffect* playing_ = nullptr;
};

QThread* thread = nullptr;
Player* player = nullptr;

// Without an audio device the sound system says so for the server it tried and again for
// every effect it loads. The player hears the beep instead; one line, once, says why.
QtMessageHandler nextHandler = nullptr;
std::atomic<bool> toldNoDevice = false;

void QuietWithoutDevice(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    const bool noDevice = type == QtWarningMsg && (message == QLatin1String("No audio device detected") ||
                                                   message.startsWith(QLatin1String("PulseAudioService: ")));
    if (noDevice && toldNoDevice.exchange(true)) return;
    const QString shown =
        noDevice ? QStringLiteral("No audio device detected: the sounds fall back to the beep.") : message;
    if (nextHandler)
        nextHandler(type, context, shown);
    else
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, shown)));
}

// The sound system (the audio device, the decoded files) is loaded only after the program's
// first frame is on the screen: opening the audio device can take longer than drawing the
// window. A sound asked for before that (the riffle of start-up) is held and played as soon
// as it is loaded; a newer one replaces it, as a new sound replaces the one playing.
enum class Loading { NotAsked, AfterFirstFrame, Done };
Loading loading = Loading::NotAsked;
QString held;
const char* const Files[] = {"CardDeal1.wav", "RIFFLE.wav", "CardDown.wav", "ringout.wav"};

// Runs while the application object is being destroyed: the thread is stopped and joined
// so that no effect outlives the application, or plays into a program that is going away.
void ShutDown() {
    if (!thread) return;
    QMetaObject::invokeMethod(
        player,
        [] {
            player->Unload();
            delete player;
            player = nullptr;
        },
        Qt::BlockingQueuedConnection);
    thread->quit();
    thread->wait();
    delete thread;
    thread = nullptr;
    qInstallMessageHandler(nextHandler);
}

void Post(std::function<void(Player&)> call) {
    if (!player) return;
    QMetaObject::invokeMethod(
        player, [call = std::move(call)] { call(*player); }, Qt::QueuedConnection);
}

void StartPlayer() {
    if (thread) return;
    nextHandler = qInstallMessageHandler(QuietWithoutDevice);
    thread = new QThread;
    thread->setObjectName(QStringLiteral("Sound"));
    player = new Player;
    player->moveToThread(thread);
    thread->start();
    qAddPostRoutine(ShutDown);
}

void LoadAll() {
    if (loading == Loading::Done) return;
    loading = Loading::Done;
    if (muted) return;
    StartPlayer();
    QStringList names;
    for (const char* f : Files)
        names << QString::fromLatin1(f);
    Post([names](Player& p) { p.Load(names); });
    if (!held.isEmpty()) Post([f = held](Player& p) { p.Play(f); });
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
    // Asked for without Preload() (a test, a tool): the sound system starts now.
    StartPlayer();
    Post([fileName](Player& p) { p.Play(fileName); });
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
    if (m) Post([](Player& p) { p.Stop(); });
}

bool Muted() {
    return muted;
}

QString LastRequested() {
    return lastRequested;
}

} // namespace Sound
