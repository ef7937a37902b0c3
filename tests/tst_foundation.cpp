// The one kind of wait: a pause lasts its time (also when woken early) without spinning the CPU while the
// window stays live; a waiting chain can be given up, and once the program is ending every wait, also one
// begun later, gives up at once. Time is only ever bounded below closely; above, only the watchdog bounds it,
// far beyond what a busy machine needs.
#include "TestSupport.h"

#include "MessageDialog.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <ctime>

namespace {

// Runs `wait` in a chain of its own and says how long it took and whether it ended by itself.
// A watchdog gives the chain up after `watchdogMs`, so a wait that never ends fails, not hangs.
std::pair<qint64, bool> Timed(const std::function<void()>& wait, int watchdogMs = 60000) {
    bool completed = false;
    QObject watchdog; // the give-up goes with it, so it never reaches a later chain
    QTimer::singleShot(watchdogMs, &watchdog, [] { Waits::AbandonChain(); });
    QElapsedTimer clock;
    clock.start();
    Waits::RunChain([&] {
        wait();
        completed = true;
    });
    return {clock.elapsed(), completed};
}

} // namespace

class TestFoundation : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

  private slots:
    void init() {
        TestSupport::FreshState(dir_.path(), 1.0); // real pauses
        TableForm();                               // the pauses are the window's
    }

    void pauseLastsItsTimeWithoutSpinning() {
        Table& t = TableForm();
        const std::clock_t cpu = std::clock();
        QTimer repeating; // woken early, over and over: every wait must sleep on to its deadline
        QObject::connect(&repeating, &QTimer::timeout, &Waits::Notify);
        repeating.start(10);
        // Carry On answered during a pause, as the window stays live.
        t.BtnContinue->show();
        QTimer::singleShot(40, &t, [&] { QTest::mouseClick(t.BtnContinue, Qt::LeftButton); });
        G.PauseMs = 300;
        auto [ms, done] = Timed([] { Pause(G); });
        QVERIFY(done && G.ContinueFlag);
        QVERIFY_IN(ms, 299, 60000); // whole ticks: up to a millisecond short
        // Each sound is followed by a pause of its own length.
        G.PauseMs = 50;
        const std::pair<SoundId, const char*> sounds[] = {{SoundId::Deal, "CardDeal1.wav"},
                                                          {SoundId::Riffle, "RIFFLE.wav"},
                                                          {SoundId::CardDown, "CardDown.wav"}};
        for (const auto& [sound, file] : sounds) {
            QVERIFY_IN(Timed([sound = sound] { PlaySoundThenPause(G, sound); }).first, 49, 60000);
            QCOMPARE(Sound::LastRequested(), QString(file));
        }
        // The Carry On wait has no deadline: however often woken, it sleeps until the flag is set.
        G.ContinueFlag = false;
        QTimer::singleShot(100, &t, [] { G.ContinueFlag = true; });
        QVERIFY_IN(Timed([] { Waits::WaitUntil([] { return G.ContinueFlag; }); }).first, 99, 60000);
        QVERIFY_IN(1000.0 * double(std::clock() - cpu) / CLOCKS_PER_SEC, 0, 200);
    }

    void abandonedChainNeverResumesAndTheNewOneStartsAfterIt() {
        QStringList order;
        // A command during a pause abandons the old chain and asks for a new one, which must not
        // start nested inside the old one's frames; the commanding chain itself goes on waiting.
        QTimer::singleShot(30, [&] {
            Waits::RunChain([&] {
                Waits::AbandonChain();
                Waits::StartWhenUnwound(
                    [&] { order << QString("new chain at depth %1").arg(Waits::ChainDepth()); });
                Waits::WaitMs(20);
                order << "command done";
            });
        });
        G.PauseMs = 32000; // ends only if the command fails to give it up
        Timed([&] {
            Pause(G);
            order << "old chain resumed";
        });
        order << "old chain unwound";
        QTRY_VERIFY(order == QStringList({"command done", "old chain unwound", "new chain at depth 1"}));
    }

    void exitGivesUpEveryWaitAlsoThoseBegunLater() {
        QTimer::singleShot(30, [] { Waits::BeginExit(); });
        G.PauseMs = 32000; // a pause that ends by itself ends beyond the watchdog
        // The first pause is under way when the program starts ending; the other waits (a pause,
        // Carry On, a dialog) begin later. Each gives up at once and hides its window.
        const std::function<void()> waits[] = {
            [] { Pause(G); }, [] { Pause(G); }, [] { Waits::WaitUntil([] { return false; }); },
            [] { MsgDeluxe(TableForm().DeluxeForm(), "?", "Yes", "No", QString(), 1, "Really Exit?"); },
            [] { ShowBidDialog(TableForm().BidForm()); }};
        for (const auto& wait : waits) {
            auto [ms, done] = Timed(wait);
            QVERIFY(ms < 60000 && !done && !TableForm().DeluxeForm().isVisible() &&
                    !TableForm().BidForm().isVisible());
        }
        bool started = false;
        Waits::StartWhenUnwound([&] { started = true; });
        QVERIFY(!started); // nothing new starts once the program is ending
    }
};

QTEST_MAIN(TestFoundation)
#include "tst_foundation.moc"
