// The one kind of wait: a pause lasts its time (also when woken early) without spinning the CPU while the
// window stays live; a waiting chain can be given up, and once the program is ending every wait, also one
// begun later, gives up at once. Time is only ever bounded below closely; the upper bounds are generous.
#include "TestSupport.h"

#include "Module2.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtTest>
#include <ctime>

namespace {

double CpuMs() {
    return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
}

// Runs `wait` in a chain of its own and says how long it took and whether it ended by itself.
// A watchdog gives the chain up after `watchdogMs`, so a wait that never ends fails, not hangs.
std::pair<qint64, bool> Timed(const std::function<void()>& wait, int watchdogMs = 4000) {
    bool completed = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { Waits::AbandonChain(); });
    watchdog.start(watchdogMs);
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
    void init() { TestSupport::FreshState(dir_.path(), 1.0); } // real pauses
    void cleanupTestCase() {
        if (TableExists()) DestroyTableForm();
    }

    void pauseLastsItsTimeWithoutSpinning() {
        Table& t = TableForm();
        int ticks = 0;
        QTimer repeating;
        QObject::connect(&repeating, &QTimer::timeout, [&] {
            ++ticks;
            Waits::Notify(); // woken early, over and over: it must sleep on to its deadline
        });
        repeating.start(10);
        // Carry On answered during a pause, as the window stays live.
        t.BtnContinue->show();
        QTimer::singleShot(40, &t, [&] { QTest::mouseClick(t.BtnContinue, Qt::LeftButton); });
        G.PauseMs = 300;
        const double cpu = CpuMs();
        auto [ms, done] = Timed(Pause);
        QVERIFY(done);
        QVERIFY_IN(ms, 299, 5000); // whole ticks: up to a millisecond short
        QVERIFY(G.ContinueFlag && ticks > 0);
        QVERIFY_IN(CpuMs() - cpu, -1, 150);
        // Each sound is followed by a pause of its own length.
        G.PauseMs = 50;
        const std::pair<void (*)(), const char*> sounds[] = {{PlayDealSound, "CardDeal1.wav"},
                                                             {PlayRiffleSound, "RIFFLE.wav"},
                                                             {PlayCardDownSound, "CardDown.wav"}};
        for (const auto& [play, file] : sounds) {
            QVERIFY_IN(Timed(play).first, 49, 5000);
            QCOMPARE(Sound::LastRequested(), QString(file));
        }
        // The Carry On wait has no deadline: it sleeps until the click wakes it.
        G.ContinueFlag = false;
        QTimer::singleShot(100, &t, [] {
            G.ContinueFlag = true;
            Waits::Notify();
        });
        QVERIFY_IN(Timed([] { Waits::WaitUntil([] { return G.ContinueFlag; }); }).first, 99, 5000);
    }

    void abandonedChainNeverResumesAndTheNewOneStartsAfterIt() {
        QStringList order;
        int depthOfNew = -1;
        // A command during a pause abandons the old chain and asks for a new one, which must not
        // start nested inside the old one's frames; the commanding chain itself goes on waiting.
        QTimer::singleShot(30, [&] {
            Waits::RunChain([&] {
                Waits::AbandonChain();
                Waits::StartWhenUnwound([&] {
                    depthOfNew = Waits::ChainDepth();
                    order << "new chain";
                });
                Waits::WaitMs(20);
                order << "command done";
            });
        });
        G.PauseMs = 2000;
        auto [ms, done] = Timed([&] {
            Pause();
            order << "old chain resumed";
        });
        order << "old chain unwound";
        QVERIFY(!done && ms < 1500);
        QTRY_VERIFY(order.contains("new chain"));
        QCOMPARE(order, QStringList({"command done", "old chain unwound", "new chain"}));
        QCOMPARE(depthOfNew, 1);
        QCOMPARE(Waits::ChainDepth(), 0);
    }

    void exitGivesUpEveryWaitAlsoThoseBegunLater() {
        QTimer::singleShot(30, [] { Waits::BeginExit(); });
        G.PauseMs = 3000;
        auto [ms, done] = Timed(Pause);
        QVERIFY(!done && ms < 1500 && Waits::Exiting());
        // Waits begun afterwards (a pause, Carry On, a dialog) give up at once and hide their window.
        G.PauseMs = 3000;
        bool flag = false;
        const std::function<void()> later[] = {
            Pause, [] { Waits::WaitMs(3000); }, [&] { Waits::WaitUntil([&] { return flag; }); },
            [] { MsgDeluxe("?", "Yes", "No", QString(), 1, "Really Exit?"); }, [] { ShowBidDialog(); }};
        for (const auto& wait : later) {
            auto [laterMs, laterDone] = Timed(wait, 2000);
            QVERIFY(laterMs < 1500 && !laterDone);
            QVERIFY(!DeluxeForm().isVisible() && !BidForm().isVisible());
        }
        bool started = false;
        Waits::StartWhenUnwound([&] { started = true; });
        QTest::qWait(20);
        QVERIFY(!started); // nothing new starts once the program is ending
    }
};

QTEST_MAIN(TestFoundation)
#include "tst_foundation.moc"
