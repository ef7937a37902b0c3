// The game state and the small services under everything else: the card records, the
// start-up values, the message list, the pauses (length, live event loop, no CPU spin, the
// tick's wrap, nesting) and the abandoning of a waiting chain.

#include "TestSupport.h"

#include "ModVariables.h"
#include "Sound.h"
#include "Table.h"
#include "Waits.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QPainter>
#include <QSet>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <ctime>

namespace {

// Counts the posted events it receives, to tell whether a wait let the event loop run.
class EventCounter : public QObject {
  public:
    int received = 0;

  protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User) {
            ++received;
            return true;
        }
        return QObject::event(e);
    }
};

// Counts its repaints, to tell whether the window keeps drawing during a pause.
class PaintCounter : public QWidget {
  public:
    int paints = 0;

  protected:
    void paintEvent(QPaintEvent*) override {
        ++paints;
        QPainter(this).fillRect(rect(), Qt::gray);
    }
};

double CpuMs() {
    return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
}

// Runs a Pause() inside a chain with a watchdog that abandons it after `watchdogMs`, so a
// pause that would never end makes the test fail instead of hanging. `duringPause` runs from
// the event loop as soon as the pause is waiting. Returns whether the pause ended by itself.
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
    void init() {
        QVERIFY(dir_.isValid());
        TestSupport::FreshState(dir_.path(), 0.0);
    }

    // Runs first so that the tick is still small: the pause's tick clock starts on its first
    // use, which lets a PauseStart "before the wrap" be placed on the far side of zero.
    void pauseSurvivesTickWrap() {
        Waits::PaceScale = 1.0;
        const qint32 startTick = TickCount();
        if (startTick > 20000) QSKIP("the tick was started long before this test");

        // A pause that began just before the 32-bit tick wrapped: PauseStart is near 2^32
        // (negative as a signed value) and the tick now is small. It must end PauseMs after
        // it began, neither at once nor never.
        G.PauseMs = 100;
        QElapsedTimer sinceInjection;
        bool ok = PauseWithWatchdog([&] {
            const quint32 now = static_cast<quint32>(TickCount());
            G.PauseStart = static_cast<qint32>(now - (now + 50u)); // began now + 50 ms ago
            G.PauseMs = static_cast<qint16>(now + 50 + 150);       // so 150 ms remain
            sinceInjection.start();
            Waits::Notify();
        });
        QVERIFY2(ok, "a pause that began before the tick's wrap never ended");
        QVERIFY2(sinceInjection.elapsed() >= 140, qPrintable(QString::number(sinceInjection.elapsed())));
        QVERIFY2(sinceInjection.elapsed() < 300, qPrintable(QString::number(sinceInjection.elapsed())));

        // A start more than 2^31 ms back: the signed difference changes sign. The pause is long
        // over and must end at once, not wait for the difference to come round.
        G.PauseMs = 200;
        ok = PauseWithWatchdog([&] {
            const quint32 now = static_cast<quint32>(TickCount());
            G.PauseStart = static_cast<qint32>(now - 0x80000000u - 50u);
            sinceInjection.start();
            Waits::Notify();
        });
        QVERIFY2(ok, "a pause that began 2^31 ms ago never ended");
        QVERIFY2(sinceInjection.elapsed() < 100, qPrintable(QString::number(sinceInjection.elapsed())));

        // A PauseStart a little ahead of the tick (left by a clock step or a nested pause):
        // the pause must still end within about PauseMs.
        G.PauseMs = 200;
        ok = PauseWithWatchdog([&] {
            G.PauseStart = static_cast<qint32>(static_cast<quint32>(TickCount()) + 5u);
            sinceInjection.start();
            Waits::Notify();
        });
        QVERIFY2(ok, "a pause that started in the future never ended");
        QVERIFY2(sinceInjection.elapsed() <= 200 + 100,
                 qPrintable(QString::number(sinceInjection.elapsed())));
    }

    void cardRecords_data() {
        QTest::addColumn<int>("card");
        QTest::addColumn<QString>("fullName");
        QTest::addColumn<QString>("rankName");
        QTest::addColumn<int>("rank");
        QTest::addColumn<QString>("suitName");
        QTest::addColumn<int>("suit");
        QTest::newRow("1") << 1 << "Ace of Diamonds"
                           << "Ace" << 1 << "Diamonds" << 1;
        QTest::newRow("13") << 13 << "King of Diamonds"
                            << "King" << 13 << "Diamonds" << 1;
        QTest::newRow("14") << 14 << "Ace of Clubs"
                            << "Ace" << 1 << "Clubs" << 2;
        QTest::newRow("26") << 26 << "King of Clubs"
                            << "King" << 13 << "Clubs" << 2;
        QTest::newRow("27") << 27 << "Ace of Hearts"
                            << "Ace" << 1 << "Hearts" << 3;
        QTest::newRow("40") << 40 << "Ace of Spades"
                            << "Ace" << 1 << "Spades" << 4;
        QTest::newRow("49") << 49 << "Ten of Spades"
                            << "Ten" << 10 << "Spades" << 4;
        QTest::newRow("52") << 52 << "King of Spades"
                            << "King" << 13 << "Spades" << 4;
    }
    void cardRecords() {
        MakeCards();
        QFETCH(int, card);
        const CardRec& c = G.Cards[card];
        QTEST(c.FullName, "fullName");
        QTEST(c.RankName, "rankName");
        QTEST(int(c.Rank), "rank");
        QTEST(c.SuitName, "suitName");
        QTEST(int(c.Suit), "suit");
    }

    void cardRecordsWholePack() {
        G.Cards[5].Holder = 3; // MakeCards fills the names only; where a card is stays
        MakeCards();
        QSet<QString> names;
        const QStringList ranks{"Ace",   "Two",  "Three", "Four", "Five",  "Six", "Seven",
                                "Eight", "Nine", "Ten",   "Jack", "Queen", "King"};
        const QStringList suits{"Diamonds", "Clubs", "Hearts", "Spades"};
        for (int n = 1; n <= 52; ++n) {
            const CardRec& c = G.Cards[n];
            QCOMPARE(int(c.Suit), (n - 1) / 13 + 1);
            QCOMPARE(int(c.Rank), (n - 1) % 13 + 1);
            QCOMPARE(c.RankName, ranks.at(c.Rank - 1));
            QCOMPARE(c.SuitName, suits.at(c.Suit - 1));
            QCOMPARE(c.FullName, c.RankName + " of " + c.SuitName);
            names.insert(c.FullName);
        }
        QCOMPARE(names.size(), 52);
        QCOMPARE(int(G.Cards[5].Holder), 3);
        QVERIFY(G.Cards[0].FullName.isEmpty()); // element 0 is not a card
    }

    void resetGivesStartUpValues() {
        MakeCards();
        G.Cards[7].Holder = 2;
        G.PlayerName = "Ann";
        G.PlayerNames[1] = "Ann";
        G.GamesWon = {0, 1, 2, 3, 4};
        G.GameOn = true;
        G.GameScore[2] = 40;
        G.HandNumber = 7;
        G.HandSize = 4;
        G.Dealer = 3;
        G.Trumps = 2;
        G.Bids[4] = 3;
        G.TricksMade[1] = 2;
        G.CardsLeft[3] = 5;
        G.SuitCount[2] = 6;
        G.HandOver = true;
        G.TrickSeat1 = G.TrickSeat4 = 2;
        G.TrickCard1 = G.TrickCard4 = -1;
        G.LedSuit = 5;
        G.Turn = -1;
        G.WinningCard = 12;
        G.TrickWinner = 4;
        G.ContinueFlag = true;
        G.PauseMs = 150;
        G.PauseStart = -5;
        G.NextTop4 = G.NextTop2 = 2460;
        G.NextLeft1 = 1600;
        G.NextLeft3 = 3240;
        G.ButtonPressed = 2;

        ResetGameState();

        for (int i = 0; i <= 52; ++i) {
            const CardRec& c = G.Cards[i];
            QVERIFY(c.FullName.isEmpty() && c.RankName.isEmpty() && c.SuitName.isEmpty());
            QCOMPARE(int(c.Rank) + int(c.Suit) + int(c.Holder), 0);
        }
        QVERIFY(G.PlayerName.isEmpty());
        for (int s = 0; s <= 4; ++s) {
            QVERIFY(G.PlayerNames[s].isEmpty());
            QCOMPARE(G.GamesWon[s], qint16(0));
            QCOMPARE(G.GameScore[s], qint16(0));
            QCOMPARE(G.Bids[s], qint16(0));
            QCOMPARE(G.TricksMade[s], qint16(0));
            QCOMPARE(G.CardsLeft[s], qint16(0));
            QCOMPARE(G.SuitCount[s], qint16(0));
        }
        QVERIFY(!G.GameOn && !G.HandOver && !G.ContinueFlag);
        for (qint16 v :
             {G.HandNumber, G.HandSize,   G.Dealer,      G.Trumps,       G.TrickSeat1, G.TrickSeat2,
              G.TrickSeat3, G.TrickSeat4, G.TrickCard1,  G.TrickCard2,   G.TrickCard3, G.TrickCard4,
              G.LedSuit,    G.Turn,       G.WinningCard, G.TrickWinner,  G.PauseMs,    G.NextTop4,
              G.NextTop2,   G.NextLeft1,  G.NextLeft3,   G.ButtonPressed})
            QCOMPARE(v, qint16(0));
        QCOMPARE(G.PauseStart, 0);
    }

    void nextSeatGoesClockwise() {
        QCOMPARE(NextSeat(1), qint16(2));
        QCOMPARE(NextSeat(2), qint16(3));
        QCOMPARE(NextSeat(3), qint16(4));
        QCOMPARE(NextSeat(4), qint16(1));
        // Round the table from any seat comes back to it after four steps, through every seat.
        for (int s = 1; s <= 4; ++s) {
            QSet<int> seen;
            int seat = s;
            for (int k = 0; k < 4; ++k) {
                seen.insert(seat);
                seat = NextSeat(seat);
            }
            QCOMPARE(seat, s);
            QCOMPARE(seen.size(), 4);
        }
    }

    void showInfoSelectsAndShowsTheNewLine() {
        Table& t = TableForm();
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        QListWidget* list = t.List1;
        QCOMPARE(list->count(), 0);

        ShowInfo("first line");
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->currentRow(), 0);
        ShowInfo("second line");
        QCOMPARE(list->count(), 2);
        QCOMPARE(list->currentRow(), 1);
        QCOMPARE(list->currentItem()->text(), QString("second line"));
        QCOMPARE(list->selectedItems().size(), 1);
        QCOMPARE(list->selectedItems().first(), list->item(1));
        QCOMPARE(list->item(0)->text(), QString("first line"));

        // More lines than the list can show: the newest is still the one in view.
        for (int i = 3; i <= 15; ++i)
            ShowInfo(QString("line %1").arg(i));
        QCOMPARE(list->count(), 15);
        QCOMPARE(list->currentRow(), 14);
        QCOMPARE(list->selectedItems().size(), 1);
        QTRY_VERIFY(list->viewport()->rect().contains(list->visualItemRect(list->item(14))));
        QVERIFY(!list->viewport()->rect().intersects(list->visualItemRect(list->item(0))));
    }

    void pauseOfZeroReturnsAtOnce() {
        Waits::PaceScale = 1.0;
        EventCounter counter;
        G.PauseMs = 0;
        QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
        QElapsedTimer clock;
        clock.start();
        Pause();
        Waits::WaitMs(0);
        PlayCardDownSound();
        QVERIFY(clock.elapsed() < 20);
        QCOMPARE(counter.received, 0); // nothing was handled
        QCOMPARE(Sound::LastRequested(), QString("CardDown.wav"));
        QCoreApplication::sendPostedEvents(&counter, QEvent::User);
        QCOMPARE(counter.received, 1);

        // Shortened by the tests, a pause of 150 still lets the window breathe once.
        Waits::PaceScale = 0.0;
        G.PauseMs = 150;
        QCoreApplication::postEvent(&counter, new QEvent(QEvent::User));
        clock.restart();
        Pause();
        QVERIFY(clock.elapsed() < 100);
        QCOMPARE(counter.received, 2);
    }

    void pauseLastsItsLengthAndKeepsEventsFlowing() {
        Waits::PaceScale = 1.0;
        Table& t = TableForm();
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        t.BtnContinue->show();
        auto* painter = new PaintCounter;
        painter->setParent(t.Client);
        painter->setGeometry(700, 10, 20, 20);
        painter->show();
        QTest::qWait(50);
        const int paintsBefore = painter->paints;

        int ticks = 0;
        QTimer repeating;
        QObject::connect(&repeating, &QTimer::timeout, [&] { ++ticks; });
        repeating.start(10);
        bool clickedDuringPause = false;
        QTimer::singleShot(40, &t, [&] {
            painter->update();
            QTest::mouseClick(t.BtnContinue, Qt::LeftButton);
            clickedDuringPause = true;
        });

        G.PauseMs = 150;
        G.ContinueFlag = false;
        QElapsedTimer clock;
        clock.start();
        const qint32 before = TickCount();
        Pause();
        const qint64 took = clock.elapsed();
        repeating.stop();

        // The pause counts whole milliseconds of the tick, so it may be up to one short.
        QVERIFY2(took >= 149 && took <= 250, qPrintable(QString::number(took)));
        QVERIFY(G.PauseStart - before >= 0 && G.PauseStart - before < 10); // the pause's own start
        QVERIFY(clickedDuringPause);
        QVERIFY(G.ContinueFlag);                                  // Carry On answered during the pause
        QVERIFY(!t.BtnContinue->isVisible());                     // and hid itself at once
        QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks))); // timers kept firing throughout
        QVERIFY(painter->paints > paintsBefore);                  // and the window kept drawing
        QCOMPARE(G.PauseMs, qint16(150));
    }

    void soundsAreFollowedByOnePause() {
        Waits::PaceScale = 1.0;
        G.PauseMs = 60;
        const std::pair<void (*)(), const char*> sounds[] = {{PlayDealSound, "CardDeal1.wav"},
                                                             {PlayRiffleSound, "RIFFLE.wav"},
                                                             {PlayCardDownSound, "CardDown.wav"}};
        for (const auto& [play, file] : sounds) {
            QElapsedTimer clock;
            clock.start();
            play();
            const qint64 took = clock.elapsed();
            QCOMPARE(Sound::LastRequested(), QString(file));
            QVERIFY2(took >= 59 && took < 160, qPrintable(QString("%1: %2 ms").arg(file).arg(took)));
        }
    }

    void waitsDoNotSpinTheCpu() {
        Waits::PaceScale = 1.0;
        QElapsedTimer wall;
        wall.start();
        double cpu = CpuMs();
        Waits::WaitMs(500);
        double used = CpuMs() - cpu;
        QVERIFY(wall.elapsed() >= 500);
        QVERIFY2(used < 50, qPrintable(QString("WaitMs(500) used %1 ms of CPU").arg(used)));

        // The game's own path: Pause() with a length of 500.
        G.PauseMs = 500;
        wall.restart();
        cpu = CpuMs();
        Pause();
        used = CpuMs() - cpu;
        QVERIFY(wall.elapsed() >= 499); // whole ticks: up to a millisecond short
        QVERIFY2(used < 50, qPrintable(QString("Pause() of 500 used %1 ms of CPU").arg(used)));
    }

    void carryOnWaitWakesWithoutDeadline() {
        Waits::PaceScale = 1.0;
        Table& t = TableForm();
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        t.BtnContinue->show();
        G.ContinueFlag = false;
        QTimer::singleShot(60, &t, [&] { QTest::mouseClick(t.BtnContinue, Qt::LeftButton); });
        QElapsedTimer clock;
        clock.start();
        const double cpu = CpuMs();
        Waits::WaitUntil([] { return G.ContinueFlag; });
        QVERIFY2(clock.elapsed() >= 55 && clock.elapsed() < 200,
                 qPrintable(QString::number(clock.elapsed())));
        QVERIFY(CpuMs() - cpu < 30);
    }

    void nestedPausesEndInOrder() {
        Waits::PaceScale = 1.0;
        QStringList order;
        QElapsedTimer clock;

        // An inner pause with its own length (as the deal's 5 ms steps), started while an outer
        // pause waits, and the length put back afterwards: the outer still lasts its own length.
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
        qint64 outer = clock.elapsed();
        order << "outer end";
        QCOMPARE(order, QStringList({"inner start", "inner end", "outer end"}));
        QVERIFY2(innerEnd >= 70 && innerEnd < 150, qPrintable(QString::number(innerEnd)));
        // The outer pause reads PauseStart and PauseMs afresh when it wakes, so it measures from
        // the inner pause's start (50) with the length then in force (200 again): about 250.
        QVERIFY2(outer >= 245 && outer < 400, qPrintable(QString::number(outer)));

        // An inner pause that outlasts the outer one's deadline: the inner ends first.
        order.clear();
        QTimer::singleShot(50, [&] {
            order << "inner start";
            Pause(); // 200 from 50
            order << "inner end";
        });
        clock.restart();
        Pause(); // 200 from 0
        outer = clock.elapsed();
        order << "outer end";
        QCOMPARE(order, QStringList({"inner start", "inner end", "outer end"}));
        QVERIFY2(outer >= 250 && outer < 450, qPrintable(QString::number(outer)));
    }

    void abandonedChainNeverResumes() {
        Waits::PaceScale = 1.0;
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
            G.HandNumber = 99;
        });
        QVERIFY2(clock.elapsed() < 1000, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(steps, QStringList{"before"});
        QCOMPARE(G.HandNumber, qint16(0));
        QCOMPARE(Waits::ChainDepth(), 0);

        // Over and over, and a chain that is not abandoned still waits its full time.
        for (int i = 0; i < 20; ++i) {
            QTimer::singleShot(1, [] { Waits::AbandonChain(); });
            Waits::RunChain([] { Waits::WaitMs(1000); });
            QCOMPARE(Waits::ChainDepth(), 0);
        }
        bool finished = false;
        clock.restart();
        Waits::RunChain([&] {
            Waits::WaitMs(100);
            finished = true;
        });
        QVERIFY(finished);
        QVERIFY(clock.elapsed() >= 100);

        // The chain that abandons the others (a confirmed New Game) goes on waiting normally:
        // only the chains that were waiting at that moment are given up.
        steps.clear();
        Waits::RunChain([&] {
            Waits::AbandonChain();
            steps << "asked";
            Waits::WaitMs(50);
            steps << "after";
        });
        QCOMPARE(steps, QStringList({"asked", "after"}));
    }

    void newChainStartsOnlyAfterTheOldOneUnwound() {
        Waits::PaceScale = 1.0;
        QStringList order;
        int depthOfNew = -1;
        // A menu command arriving during a pause of the chain: it abandons the old chain and
        // asks for the new one, which must not start nested inside the old one's frames.
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
        Waits::PaceScale = 1.0;
        QStringList steps;
        QTimer::singleShot(30, [] { Waits::BeginExit(); });
        G.PauseMs = 2000;
        QElapsedTimer clock;
        clock.start();
        Waits::RunChain([&] {
            Pause();
            steps << "after";
        });
        QVERIFY(clock.elapsed() < 1000);
        QVERIFY(steps.isEmpty());
        QVERIFY(Waits::Exiting());
        bool started = false;
        Waits::StartWhenUnwound([&] { started = true; });
        QTest::qWait(20);
        QVERIFY(!started); // nothing new starts once the program is ending
        Waits::Reset();
        QVERIFY(!Waits::Exiting());
    }

    void cleanupTestCase() {
        if (TableExists()) DestroyTableForm();
    }
};

QTEST_MAIN(TestFoundation)
#include "tst_foundation.moc"
