// Without an audio device the sound system complains for the server it tried and for every
// effect; the player's terminal gets one line about it, once, and every other warning as it is.
#include "Sound.h"

#include <QtTest>

namespace {
QStringList seen;
void Keep(QtMsgType, const QMessageLogContext&, const QString& message) {
    seen << message;
}
} // namespace

class TestQuietAudio : public QObject {
    Q_OBJECT
  private slots:
    void noDeviceIsOneLineOnce() {
        qInstallMessageHandler(Keep);
        Sound::PlayFile(QStringLiteral("no-such-sound.wav")); // starts the sound system
        for (int effect = 0; effect < 4; ++effect) {
            qWarning("PulseAudioService: pa_context_connect() failed");
            qWarning("No audio device detected");
        }
        qWarning("Some other warning");
        QCOMPARE(seen.filter(QStringLiteral("audio device")).size(), 1);
        QCOMPARE(seen.filter(QStringLiteral("PulseAudioService")).size(), 0);
        QVERIFY(seen.contains(QStringLiteral("Some other warning")));
    }
};

QTEST_MAIN(TestQuietAudio)
#include "tst_quietaudio.moc"
