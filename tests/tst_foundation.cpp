// The services under everything else: the card records, the message list, the pauses (length,
// live event loop, no CPU spin, the tick's wrap, nesting) and the abandoning of a waiting chain.
#include "TestSupport.h"

#include <QElapsedTimer>
#include <QSet>
#include <QTemporaryDir>
#include <QtTest>
#include <ctime>

namespace {

double CpuMs() {
    return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
}

// Runs a Pause() inside a chain that a watchdog abandons after `watchdogMs`, so a pause that
// never ends fails the test instead of hanging it. `duringPause` runs once the pause waits.
// Returns whether the pause ended by itself.
bool PauseWithWatchdog(const std::function<void()>& duringPause, int watchdogMs = 3000) {
    bool completed = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [] { Waits::AbandonChain(); });
    watchdog.start(watchdogMs);
    QTimer::singleShot(0, duringPause);
    Waits::RunChain([&] {
        Pause();
        completed = true;
    });
    return completed;
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

    // Runs first, while the tick is still small: the tick clock starts on its first use, which
    // lets a PauseStart "before the wrap" lie on the far side of zero.
    void pauseSurvivesTickWrap() {
        if (TickCount() > 20000) QSKIP("the tick was started long before this test");
        QElapsedTimer since;
        G.PauseMs = 100;
        // Begun 50 ms before now, just before the 32-bit tick wrapped, with 150 ms to go: it
        // must end 150 ms from now, neither at once nor never.
        QVERIFY(PauseWithWatchdog([&] {
            const quint32 now = static_cast<quint32>(TickCount());
            G.PauseStart = static_cast<qint32>(now - (now + 50u));
            G.PauseMs = static_cast<qint16>(now + 50 + 150);
            since.start();
            Waits::Notify();
        }));
        QVERIFY_IN(since.elapsed(), 140, 300);

        // Begun more than 2^31 ms ago, where the signed difference changes sign: long over.
        G.PauseMs = 200;
        QVERIFY(PauseWithWatchdog([&] {
            G.PauseStart = static_cast<qint32>(static_cast<quint32>(TickCount()) - 0x80000000u - 50u);
            since.start();
            Waits::Notify();
        }));
        QVERIFY_IN(since.elapsed(), 0, 100);

        // A PauseStart a little ahead of the tick (a nested pause, a clock step) still ends.
        QVERIFY(PauseWithWatchdog([&] {
            G.PauseStart = static_cast<qint32>(static_cast<quint32>(TickCount()) + 5u);
            since.start();
            Waits::Notify();
        }));
        QVERIFY_IN(since.elapsed(), 0, 301);
    }

    void cardRecords() {
        G.Cards[5].Holder = 3; // MakeCards fills the names only; where a card is stays
        MakeCards();
        QSet<QString> names;
        for (int n = 1; n <= 52; ++n) {
            const CardRec& c = G.Cards[n];
            QCOMPARE((QList<int>{c.Suit, c.Rank}), (QList<int>{(n - 1) / 13 + 1, (n - 1) % 13 + 1}));
            QCOMPARE(c.FullName, c.RankName + " of " + c.SuitName);
            names.insert(c.FullName);
        }
        QCOMPARE(names.size(), 52);
        QCOMPARE(QStringList({G.Cards[1].FullName, G.Cards[27].FullName, G.Cards[49].FullName}),
                 QStringList({"Ace of Diamonds", "Ace of Hearts", "Ten of Spades"}));
        QCOMPARE(int(G.Cards[5].Holder), 3);
    }

    void showInfoSelectsAndShowsTheNewLine() {
        Table& t = TableForm();
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        for (int i = 1; i <= 15; ++i) {
            ShowInfo(QString("line %1").arg(i));
            QCOMPARE(t.List1->currentRow(), i - 1);
            QCOMPARE(t.List1->selectedItems(), QList<QListWidgetItem*>{t.List1->item(i - 1)});
        }
        QCOMPARE(t.List1->item(0)->text(), QString("line 1"));
        // More lines than the list can show: the newest is the one in view.
        QTRY_VERIFY(t.List1->viewport()->rect().contains(t.List1->visualItemRect(t.List1->item(14))));
        QVERIFY(!t.List1->viewport()->rect().intersects(t.List1->visualItemRect(t.List1->item(0))));
    }

    void pauseOfZeroReturnsAtOnce() {
        int received = 0;
        QObject target;
        G.PauseMs = 0;
        QTimer::singleShot(0, &target, [&] { ++received; });
        QElapsedTimer clock;
        clock.start();
        Pause();
        Waits::WaitMs(0);
        PlayCardDownSound();
        QVERIFY(clock.elapsed() < 20);
        QCOMPARE(received, 0); // no event was handled
        QCOMPARE(Sound::LastRequested(), QString("CardDown.wav"));

        // Shortened by the tests, a pause of 150 still lets the window breathe once.
        Waits::PaceScale = 0.0;
        G.PauseMs = 150;
        clock.restart();
        Pause();
        QVERIFY(clock.elapsed() < 100);
        QCOMPARE(received, 1);
    }

    void pausesKeepEventsFlowing() {
        Table& t = TableForm();
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        t.BtnContinue->show();
        int ticks = 0;
        QTimer repeating;
        QObject::connect(&repeating, &QTimer::timeout, [&] { ++ticks; });
        repeating.start(10);
        QTimer::singleShot(40, &t, [&] { QTest::mouseClick(t.BtnContinue, Qt::LeftButton); });
        G.PauseMs = 150;
        G.ContinueFlag = false;
        QElapsedTimer clock;
        clock.start();
        const qint32 before = TickCount();
        Pause();
        // The pause counts whole milliseconds of the tick, so it may be up to one short.
        QVERIFY_IN(clock.elapsed(), 149, 251);
        QVERIFY(G.PauseStart - before >= 0 && G.PauseStart - before < 10);
        QVERIFY(G.ContinueFlag && !t.BtnContinue->isVisible()); // Carry On answered during the pause
        QVERIFY_IN(ticks, 5, 1000);                             // timers kept firing throughout
        QCOMPARE(G.PauseMs, qint16(150));

        // The Carry On wait has no deadline at all: it sleeps until the click wakes it.
        t.BtnContinue->show();
        G.ContinueFlag = false;
        QTimer::singleShot(60, &t, [&] { QTest::mouseClick(t.BtnContinue, Qt::LeftButton); });
        clock.restart();
        const double cpu = CpuMs();
        Waits::WaitUntil([] { return G.ContinueFlag; });
        QVERIFY_IN(clock.elapsed(), 55, 200);
        QVERIFY(CpuMs() - cpu < 30);
    }

    void soundsAreFollowedByOnePause() {
        G.PauseMs = 60;
        const std::pair<void (*)(), const char*> sounds[] = {{PlayDealSound, "CardDeal1.wav"},
                                                             {PlayRiffleSound, "RIFFLE.wav"},
                                                             {PlayCardDownSound, "CardDown.wav"}};
        for (const auto& [play, file] : sounds) {
            QElapsedTimer clock;
            clock.start();
            play();
            QCOMPARE(Sound::LastRequested(), QString(file));
            QVERIFY_IN(clock.elapsed(), 59, 160);
        }
    }

    void waitsDoNotSpinTheCpu() {
        G.PauseMs = 500;
        for (const auto& wait :
             {std::function<void()>([] { Waits::WaitMs(500); }), std::function<void()>(Pause)}) {
            QElapsedTimer wall;
            wall.start();
            const double cpu = CpuMs();
            wait();
            QVERIFY(wall.elapsed() >= 499); // whole ticks: up to a millisecond short
            QVERIFY_IN(CpuMs() - cpu, -1, 50);
        }
    }

    void nestedPausesEndInOrder() {
        QStringList order;
        QElapsedTimer clock;
        // An inner pause of its own length (as the deal's 5 ms steps) inside an outer one, the
        // length put back afterwards.
        qint64 innerEnd = -1;
        QTimer::singleShot(50, [&] {
            order << "inner start";
            G.PauseMs = 20;
            Pause();
            G.PauseMs = 200;
            innerEnd = clock.elapsed();
            order << "inner end";
        });
        G.PauseMs = 200;
        clock.start();
        Pause();
        order << "outer end";
        QCOMPARE(order, QStringList({"inner start", "inner end", "outer end"}));
        QVERIFY_IN(innerEnd, 68, 150); // 50 + 20, less up to a millisecond of tick for each
        // The outer pause reads PauseStart and PauseMs afresh when it wakes, so it measures from
        // the inner pause's start (50) with the length then in force (200): about 250.
        QVERIFY_IN(clock.elapsed(), 245, 400);

        // An inner pause that outlasts the outer one's deadline: the inner still ends first.
        order.clear();
        QTimer::singleShot(50, [&] {
            order << "inner start";
            Pause();
            order << "inner end";
        });
        clock.restart();
        Pause();
        order << "outer end";
        QCOMPARE(order, QStringList({"inner start", "inner end", "outer end"}));
        QVERIFY_IN(clock.elapsed(), 248, 450); // 50 + 200, less a millisecond of tick for each
    }

    void abandonedChainNeverResumes() {
        QStringList steps;
        QElapsedTimer clock;
        clock.start();
        QTimer::singleShot(50, [] { Waits::AbandonChain(); });
        G.PauseMs = 2000;
        Waits::RunChain([&] {
            steps << "before";
            QCOMPARE(Waits::ChainDepth(), 1);
            Pause();
            steps << "after"; // must never run
        });
        QVERIFY_IN(clock.elapsed(), 0, 1000);
        QCOMPARE(steps, QStringList{"before"});
        QCOMPARE(Waits::ChainDepth(), 0);

        // Over and over, and a chain that is not abandoned still waits its full time.
        for (int i = 0; i < 20; ++i) {
            QTimer::singleShot(1, [] { Waits::AbandonChain(); });
            Waits::RunChain([] { Waits::WaitMs(1000); });
            QCOMPARE(Waits::ChainDepth(), 0);
        }
        clock.restart();
        Waits::RunChain([&] { Waits::WaitMs(100); });
        QVERIFY(clock.elapsed() >= 100);

        // The chain that abandons the others (a confirmed New Game) goes on waiting normally.
        steps.clear();
        Waits::RunChain([&] {
            Waits::AbandonChain();
            Waits::WaitMs(50);
            steps << "after";
        });
        QCOMPARE(steps, QStringList{"after"});
    }

    void newChainStartsOnlyAfterTheOldOneUnwound() {
        QStringList order;
        int depthOfNew = -1;
        // A menu command during a pause abandons the old chain and asks for a new one, which
        // must not start nested inside the old one's frames.
        QTimer::singleShot(30, [&] {
            Waits::RunChain([&] {
                order << "command";
                Waits::AbandonChain();
                Waits::StartWhenUnwound([&] {
                    depthOfNew = Waits::ChainDepth();
                    order << "new chain";
                });
                order << "command done";
            });
        });
        G.PauseMs = 1000;
        Waits::RunChain([&] {
            order << "old chain";
            Pause();
            order << "old chain resumed";
        });
        order << "old chain unwound";
        QTRY_VERIFY(order.contains("new chain"));
        QCOMPARE(order,
                 QStringList({"old chain", "command", "command done", "old chain unwound", "new chain"}));
        QCOMPARE(depthOfNew, 1);
        QCOMPARE(Waits::ChainDepth(), 0);

        // With no other chain on the stack the start is at once.
        order.clear();
        Waits::RunChain([&] {
            Waits::StartWhenUnwound([&] { order << "started"; });
            order << "after asking";
        });
        QCOMPARE(order, QStringList({"started", "after asking"}));
    }

    void exitGivesUpEveryWait() {
        bool resumed = false, started = false;
        QTimer::singleShot(30, [] { Waits::BeginExit(); });
        G.PauseMs = 2000;
        QElapsedTimer clock;
        clock.start();
        Waits::RunChain([&] {
            Pause();
            resumed = true;
        });
        QVERIFY(clock.elapsed() < 1000 && !resumed && Waits::Exiting());
        Waits::StartWhenUnwound([&] { started = true; });
        QTest::qWait(20);
        QVERIFY(!started); // nothing new starts once the program is ending
        Waits::Reset();
        QVERIFY(!Waits::Exiting());
    }
};

QTEST_MAIN(TestFoundation)
#include "tst_foundation.moc"
