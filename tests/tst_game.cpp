// A hand from New Game to the last trick, whole games, and the abandoning of waits.
#include "TestSupport.h"

#include "FrmBid.h"
#include "ModBidding.h"
#include "ModDeals.h"
#include "ModPlayGame.h"

#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>
#include <map>

using namespace TestSupport;

namespace {
QStringList ListLines() {
    QStringList lines;
    for (int i = 0; i < TableForm().List1->count(); ++i)
        lines << TableForm().List1->item(i)->text();
    return lines;
}

// Fresh table with its records filled, as after start-up, without the start-up pause.
void Boot(const QString& dir, double pace = 0.0) {
    FreshState(dir, pace);
    MakeCards();
    G.PlayerName = QStringLiteral("Ann");
    G.PlayerNames = {QString(), QStringLiteral("Ann"), QStringLiteral("The Prof."),
                     QStringLiteral("Marigold"), QStringLiteral("The Lady")};
    G.PauseMs = 150;
    TableForm().show();
}

// Gives each listed card to a seat.
void Give(int seat, std::initializer_list<int> cards) {
    for (int c : cards)
        G.Cards[c].Holder = static_cast<quint8>(seat);
}
} // namespace

class TestGame : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

  private slots:
    void init() { Boot(dir.path()); }

    void handSizeScheduleAndDealOrder() {
        QList<int> sizes;
        for (int n = 1; n <= 19; ++n)
            sizes << HandSizeFor(n);
        QCOMPARE(sizes, (QList<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        int tricks = 0;
        for (int s : sizes)
            tricks += s;
        QCOMPARE(tricks, 109);
        QCOMPARE(DealOrder(1), (std::array<qint16, 4>{2, 3, 4, 1}));
        QCOMPARE(DealOrder(2), (std::array<qint16, 4>{3, 4, 1, 2}));
        QCOMPARE(DealOrder(3), (std::array<qint16, 4>{4, 1, 2, 3}));
        QCOMPARE(DealOrder(4), (std::array<qint16, 4>{1, 2, 3, 4}));

        G.HandNumber = 9;
        NextHandSize();
        QCOMPARE(G.HandSize, qint16(1));
        QCOMPARE(TableForm().LblRounds->text(), QStringLiteral("A 1 card Hand."));
        NextHandSize();
        QCOMPARE(G.HandSize, qint16(2));
        QCOMPARE(G.CardsLeft[3], qint16(2));
    }

    void pickRandomCardIsFairAndOnlyFromThePack() {
        SeedDeal(12345);
        std::array<int, 53> count{};
        const int draws = 52 * 2000;
        for (int i = 0; i < draws; ++i)
            ++count[PickRandomCard()];
        // Each card about 2000 times; the King of Spades is no exception.
        double chi2 = 0;
        for (int c = 1; c <= 52; ++c) {
            QVERIFY2(count[c] > 1700 && count[c] < 2300, qPrintable(QString::number(c)));
            chi2 += (count[c] - 2000.0) * (count[c] - 2000.0) / 2000.0;
        }
        QVERIFY2(chi2 < 90, qPrintable(QString::number(chi2))); // 51 degrees of freedom
        for (int c = 1; c <= 51; ++c)
            G.Cards[c].Holder = 3;
        for (int i = 0; i < 20; ++i)
            QCOMPARE(PickRandomCard(), qint16(52));

        // The same seed deals the same cards.
        ResetGameState();
        MakeCards();
        SeedDeal(7);
        QList<int> a, b;
        for (int i = 0; i < 10; ++i)
            a << PickRandomCard();
        SeedDeal(7);
        for (int i = 0; i < 10; ++i)
            b << PickRandomCard();
        QCOMPARE(a, b);
    }

    void firstDealerIsUniform() {
        SeedDeal(99);
        std::array<int, 5> seen{};
        for (int i = 0; i < 4000; ++i) {
            ChooseFirstDealer();
            QVERIFY(G.Dealer >= 1 && G.Dealer <= 4);
            ++seen[G.Dealer];
        }
        for (int s = 1; s <= 4; ++s)
            QVERIFY2(seen[s] > 850 && seen[s] < 1150, qPrintable(QString::number(seen[s])));
    }

    void cardTravelsInStepsAndLands() {
        // Card 1 at the bottom of the middle stack goes left in 11 steps to 2290, then to its place.
        ShowPack();
        CardPic* pic = TableForm().CardsPic[1];
        QCOMPARE(pic->Left(), 5040);
        QCOMPARE(pic->Top(), 3480);
        QList<int> lefts;
        QTimer sample;
        QObject::connect(&sample, &QTimer::timeout, [&] {
            if (lefts.isEmpty() || lefts.last() != pic->Left()) lefts << pic->Left();
        });
        sample.start(0);
        G.NextTop2 = 2460;
        DealCardToSeat(2, 1);
        sample.stop();
        QVERIFY(lefts.contains(2290));
        QCOMPARE(lefts.indexOf(2290), 10); // 11th step (the first sample is the first step)
        QCOMPARE(pic->Left(), 1440);
        QCOMPARE(pic->Top(), 2460);
        QCOMPARE(pic->Image(), 54);
        QCOMPARE(G.NextTop2, qint16(2760));
        QCOMPARE(G.Cards[1].Holder, quint8(2));
        QCOMPARE(G.PauseMs, qint16(150));

        // Card 52, on top of the stack, goes right in 9 steps to 7443 before landing at 8400.
        CardPic* top = TableForm().CardsPic[52];
        QCOMPARE(top->Left(), 5193);
        QCOMPARE(top->Top(), 3327);
        QList<int> rights;
        QObject::connect(&sample, &QTimer::timeout, [&] {
            if (rights.isEmpty() || rights.last() != top->Left()) rights << top->Left();
        });
        sample.start(0);
        G.NextTop4 = 2460;
        DealCardToSeat(4, 52);
        sample.stop();
        QCOMPARE(rights.indexOf(7443), 8);
        QCOMPARE(top->Left(), 8400);
        QCOMPARE(top->Top(), 2460);
        QCOMPARE(top->Image(), 56);
    }

    void dealOfTenLaysOutEverySeat() {
        G.Dealer = 1;
        G.HandSize = 10;
        G.NextTop4 = 2460, G.NextTop2 = 2460, G.NextLeft1 = 1600, G.NextLeft3 = 3240;
        SeedDeal(3);
        ShowPack();
        // The player's cards stay face down until the very last card has been dealt.
        bool faceSeenEarly = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            for (int c = 1; c <= 52; ++c)
                if (G.Cards[c].Holder == 1 && TableForm().CardsPic[c]->Image() != 53) faceSeenEarly = true;
        });
        watch.start(0);
        DealCards();
        watch.stop();
        QVERIFY(!faceSeenEarly);
        QCOMPARE(G.NextLeft1, qint16(5600));
        QCOMPARE(G.NextTop2, qint16(5460));
        QCOMPARE(G.NextLeft3, qint16(6240));
        QCOMPARE(G.NextTop4, qint16(5460));
        std::array<int, 6> held{};
        QList<int> tops2, lefts3, lefts1;
        for (int c = 1; c <= 52; ++c) {
            ++held[G.Cards[c].Holder];
            CardPic* p = TableForm().CardsPic[c];
            switch (G.Cards[c].Holder) {
            case 1:
                QCOMPARE(p->Image(), c);
                QCOMPARE(p->Top(), 6400);
                lefts1 << p->Left();
                break;
            case 2:
                QCOMPARE(p->Left(), 1440);
                QCOMPARE(p->Image(), 54);
                tops2 << p->Top();
                break;
            case 3:
                QCOMPARE(p->Top(), 1000);
                QCOMPARE(p->Image(), 55);
                lefts3 << p->Left();
                break;
            case 4:
                QCOMPARE(p->Left(), 8400);
                QCOMPARE(p->Image(), 56);
                break;
            default:
                break;
            }
        }
        QCOMPARE(held[0], 12);
        for (int s = 1; s <= 4; ++s)
            QCOMPARE(held[s], 10);
        std::sort(tops2.begin(), tops2.end());
        std::sort(lefts3.begin(), lefts3.end());
        std::sort(lefts1.begin(), lefts1.end());
        QCOMPARE(tops2.last(), 5160);
        QCOMPARE(lefts3.last(), 5940);
        QCOMPARE(lefts1.first(), 1500);
        QCOMPARE(lefts1.last(), 9150);
    }

    void playerHandSortsSuitsThenRanksAceHigh() {
        Give(1, {13, 1, 15}); // King of Diamonds, Ace of Diamonds, Two of Clubs
        ShowPlayerHand();
        QCOMPARE(TableForm().CardsPic[13]->Left(), 1500);
        QCOMPARE(TableForm().CardsPic[1]->Left(), 2350);
        QCOMPARE(TableForm().CardsPic[15]->Left(), 3200);
        // The player plays the middle card: the others close up.
        G.GameOn = true;
        G.Cards[1].Holder = 5;
        ShowPlayedCard(1, 1);
        QCOMPARE(TableForm().CardsPic[1]->Left(), 4920);
        QCOMPARE(TableForm().CardsPic[1]->Top(), 4680);
        QCOMPARE(TableForm().CardsPic[13]->Left(), 1500);
        QCOMPARE(TableForm().CardsPic[15]->Left(), 2350);
    }

    void frontToBackOrder() {
        // The widget stacking order is the parent's child order: later is in front.
        auto depth = [](int card) { return TableForm().Client->children().indexOf(TableForm().CardsPic[card]); };
        ShowPack();
        for (int c = 2; c <= 52; ++c) QVERIFY(depth(c) > depth(c - 1));
        Give(1, {13, 1, 15});
        ShowPlayerHand();
        QVERIFY(depth(15) > depth(1) && depth(1) > depth(13) && depth(13) > depth(52));
        G.GameOn = true;
        G.Cards[30].Holder = 5;
        ShowPlayedCard(30, 3);
        for (int c = 1; c <= 52; ++c)
            if (c != 30) QVERIFY(depth(30) > depth(c));
        QCOMPARE(TableForm().CardsPic[30]->Image(), 30);
        QCOMPARE(TableForm().CardsPic[30]->accessibleName(), QStringLiteral("Four of Hearts"));
        QCOMPARE(TableForm().CardsPic[29]->accessibleName(), QStringLiteral("Card back"));
    }

    void packAndCornerStacks() {
        for (int c = 1; c <= 4; ++c)
            G.Cards[c].Holder = static_cast<quint8>(c); // one card a seat
        G.Cards[40].Holder = 5;                         // in the trick
        TableForm().CardsPic[40]->Move(4920, 2520);
        MovePackToCorner();
        QCOMPARE(TableForm().CardsPic[5]->Left(), 360);
        QCOMPARE(TableForm().CardsPic[5]->Top(), 120);
        QCOMPARE(TableForm().CardsPic[52]->Left(), 360 + 3 * 46);
        QCOMPARE(TableForm().CardsPic[40]->Left(), 4920); // the trick card is not touched
        QCOMPARE(G.PauseMs, qint16(150));
        // Played cards hidden after a trick come back with the pack.
        TableForm().CardsPic[7]->hide();
        ShowPack();
        QVERIFY(TableForm().CardsPic[7]->isVisible());
        QCOMPARE(TableForm().CardsPic[52]->Left(), 5040 + 3 * 46);
        QCOMPARE(TableForm().CardsPic[52]->Top(), 3480 - 3 * 46);
        // ShowPlayedCard does nothing while no game is on.
        G.GameOn = false;
        Sound::SetMuted(true);
        const QString before = Sound::LastRequested();
        ShowPlayedCard(52, 3);
        QCOMPARE(TableForm().CardsPic[52]->Left(), 5040 + 3 * 46);
        QCOMPARE(Sound::LastRequested(), before);
    }

    void computerBidShowsLabelLineAndTakesTwoPauses() {
        G.HandSize = 10;
        G.Dealer = 3;
        G.Trumps = 3;
        Give(2, {1, 14, 27, 28, 29}); // three Aces, Ace/Two/Three of trumps: 3 + no length
        Waits::PaceScale = 0.1;       // two pauses of 75 ms
        QElapsedTimer t;
        t.start();
        ComputerBid(2);
        const qint64 took = t.elapsed();
        QVERIFY2(took >= 140 && took < 600, qPrintable(QString::number(took)));
        QCOMPARE(G.Bids[2], qint16(3));
        QCOMPARE(TableForm().lblBid[2]->text(), QStringLiteral("Bid: 3 Tricks made: 0"));
        QCOMPARE(ListLines(), QStringList{QStringLiteral("The Prof. bid 3")});
        QCOMPARE(G.PauseMs, qint16(150));
    }

    void bidDialogKeys() {
        FrmBid bid(&TableForm());
        bid.show();
        QTest::keyClicks(bid.TxtBid, QStringLiteral("a1-2 "));
        QCOMPARE(bid.TxtBid->text(), QStringLiteral("12"));
        QTest::keyClick(bid.TxtBid, Qt::Key_Backspace);
        QCOMPARE(bid.TxtBid->text(), QString());
        QTest::keyClicks(bid.TxtBid, QStringLiteral("7"));
        QTest::keyClick(bid.TxtBid, Qt::Key_Return);
        QTest::keyClick(bid.TxtBid, Qt::Key_Escape);
        QVERIFY(bid.isVisible());
        QCOMPARE(bid.TxtBid->text(), QStringLiteral("7"));
        // Text arriving other than by keys must still be digits only.
        bid.TxtBid->clear();
        bid.TxtBid->insert(QStringLiteral("1x"));
        QCOMPARE(bid.TxtBid->text(), QString());
        bid.TxtBid->insert(QStringLiteral("99999999999999999999"));
        QVERIFY(bid.TxtBid->text().size() <= 9);

        QCOMPARE(FrmBid::ParseBid(QStringLiteral("0")), std::optional<int>(0));
        QCOMPARE(FrmBid::ParseBid(QStringLiteral("13")), std::optional<int>(13));
        QCOMPARE(FrmBid::ParseBid(QStringLiteral("07")), std::optional<int>(7));
        QCOMPARE(FrmBid::ParseBid(QStringLiteral("0000013")), std::optional<int>(13));
        QCOMPARE(FrmBid::ParseBid(QStringLiteral("14")), std::nullopt);
        QCOMPARE(FrmBid::ParseBid(QStringLiteral("99")), std::nullopt);
        QCOMPARE(FrmBid::ParseBid(QStringLiteral("999999999999999999999")), std::nullopt);
        QCOMPARE(FrmBid::ParseBid(QStringLiteral("")), std::nullopt);
        QCOMPARE(FrmBid::ParseBid(QStringLiteral("1 ")), std::nullopt);
    }

    void bidButtonOutcomes() {
        DialogScript script;
        script.Install();
        FrmBid bid(&TableForm());
        bid.show();
        G.Bids[1] = 0;
        QTest::mouseClick(bid.CmdBid, Qt::LeftButton);
        QCOMPARE(script.titles, QStringList{QStringLiteral("No Number.")});
        QVERIFY(bid.isVisible());
        bid.TxtBid->setText(QStringLiteral("14"));
        QTest::mouseClick(bid.CmdBid, Qt::LeftButton);
        QCOMPARE(script.titles.last(), QStringLiteral("Wrong entry."));
        QCOMPARE(script.messages.last(), QStringLiteral("You must enter a number between 0 and 13."));
        QCOMPARE(bid.TxtBid->text(), QString());
        QCOMPARE(G.Bids[1], qint16(0));
        bid.TxtBid->setText(QStringLiteral("07"));
        QTest::mouseClick(bid.CmdBid, Qt::LeftButton);
        QCOMPARE(G.Bids[1], qint16(7));
        QCOMPARE(TableForm().lblBid[1]->text(), QStringLiteral("Bid: 7 Tricks made: 0"));
        QVERIFY(!bid.isVisible());
        QCOMPARE(TableForm().List1->count(), 0); // a valid human bid adds no line
    }

    void biddingOrderForEachDealer() {
        DialogScript script;
        script.bidText = QStringLiteral("2");
        script.Install();
        for (int dealer = 1; dealer <= 4; ++dealer) {
            TableForm().List1->clear();
            G.Dealer = static_cast<qint16>(dealer);
            G.HandSize = 1;
            G.Bids = {};
            BiddingSequence();
            QStringList who;
            for (const QString& line : ListLines()) {
                if (line.endsWith(QLatin1String("please make your bid above")))
                    who << QStringLiteral("1");
                else if (line.startsWith(QLatin1String("The Prof. bid")))
                    who << QStringLiteral("2");
                else if (line.startsWith(QLatin1String("Marigold bid")))
                    who << QStringLiteral("3");
                else if (line.startsWith(QLatin1String("The Lady bid")))
                    who << QStringLiteral("4");
            }
            QStringList expected;
            for (qint16 s : DealOrder(dealer))
                expected << QString::number(s);
            QCOMPARE(who, expected);
            QCOMPARE(G.Bids[1], qint16(2));
            // The human's two lines come together, the second ending in a full stop.
            const int at = ListLines().indexOf(QStringLiteral("Ann please make your bid above"));
            QCOMPARE(ListLines().at(at + 1), QStringLiteral("Ann please enter your bid above."));
        }
    }

    void firstHandOfAGame() {
        DialogScript script;
        script.Install();
        SeedDeal(11);
        Waits::RunChain([] { StartHand(); });
        QVERIFY(G.GameOn);
        QCOMPARE(G.HandNumber, qint16(1));
        QCOMPARE(G.HandSize, qint16(10));
        QVERIFY(TableForm().MnuPlay->isEnabled());
        const QStringList firsts{
            QStringLiteral("Ann you are Dealing."), QStringLiteral("The Prof  is Dealing."),
            QStringLiteral("Beautiful Marigold is Dealing."), QStringLiteral("Her Ladyship is Dealing.")};
        QCOMPARE(ListLines().first(), firsts.at(G.Dealer - 1));
        QVERIFY(ListLines().contains(QStringLiteral("Now the bidding begins")));
        QCOMPARE(TableForm().LblScores[2]->text(), QStringLiteral("Prof Quimby"));
        QCOMPARE(TableForm().LblScores[4]->text(), QStringLiteral("Tabitha"));
        QCOMPARE(TableForm().lblProf->text(), QStringLiteral("Prof.Quimby"));
        // The trump card lies face up on the corner pack and belongs to no hand.
        int trump = 0;
        for (int c = 1; c <= 52; ++c)
            if (TableForm().CardsPic[c]->Left() == 100 && TableForm().CardsPic[c]->Top() == 150) trump = c;
        QVERIFY(trump != 0);
        QCOMPARE(TableForm().CardsPic[trump]->Image(), trump);
        QCOMPARE(G.Cards[trump].Holder, quint8(0));
        QCOMPARE(G.Trumps, qint16(CardSuit(trump)));
        static const char* const words[] = {"Diamonds", "Clubs", "Hearts", "Spades"};
        QCOMPARE(TableForm().LblTrumps->text(),
                 QStringLiteral("Trumps:- ") + QLatin1String(words[G.Trumps - 1]));
        // The dealer leads; a computer dealer's chain has played up to the human's turn.
        QCOMPARE(G.TrickSeat1, G.Dealer);
        QCOMPARE(G.Turn, qint16(1));
        if (G.Dealer == 1)
            QCOMPARE(ListLines().last(), QStringLiteral("Ann Click card you wish to play."));
        else
            QCOMPARE(ListLines().last(), QStringLiteral("Ann please click on card you whist to play."));
        int played = 0;
        for (int c = 1; c <= 52; ++c)
            played += G.Cards[c].Holder == 5;
        QCOMPARE(played, (5 - G.Dealer) % 4);

        // The next hand passes the deal on and keeps the scores.
        G.GameScore = {0, 5, 6, 7, 8};
        SetCaption(TableForm().LblScores[1], QStringLiteral("kept"));
        const qint16 firstDealer = G.Dealer;
        Waits::RunChain([] { StartHand(); });
        QCOMPARE(G.Dealer, NextSeat(firstDealer));
        QCOMPARE(G.HandNumber, qint16(2));
        QCOMPARE(G.HandSize, qint16(9));
        QCOMPARE(G.GameScore[4], qint16(8));
        QCOMPARE(TableForm().LblScores[1]->text(), QStringLiteral("kept"));
        const QStringList passing{
            QStringLiteral("Ann you are dealing."), QStringLiteral("The Prof. is dealing."),
            QStringLiteral("Bautiful Marigold is dealing."), QStringLiteral("Her Ladyship is dealing.")};
        QCOMPARE(ListLines().first(), passing.at(G.Dealer - 1));
    }

    void followSuitClicks() {
        DialogScript script;
        script.Install();
        G.GameOn = true;
        G.Trumps = 4;
        G.HandSize = 2;
        G.CardsLeft = {0, 2, 2, 2, 2};
        Give(1, {2, 15}); // Two of Diamonds, Two of Clubs
        Give(2, {3, 16});
        Give(3, {4, 17});
        Give(4, {5, 18});
        G.TrickSeat1 = 3;
        SetTrickOrder();
        G.Turn = 3;
        // Marigold leads the Four of Diamonds and the Lady follows; then it is the human's turn.
        Waits::RunChain([] { PlayCard(3, 4); });
        QCOMPARE(G.LedSuit, qint16(1));
        QCOMPARE(G.Turn, qint16(1));
        QCOMPARE(G.Cards[5].Holder, quint8(5)); // the Lady's Five of Diamonds
        // Clicks on cards that are not the human's do nothing.
        TableForm().CardsPic_Click(16);
        TableForm().CardsPic_Click(4);
        QVERIFY(script.titles.isEmpty());
        // Holding Diamonds, a Club is refused with the notice.
        TableForm().CardsPic_Click(15);
        QCOMPARE(script.titles, QStringList{QStringLiteral("You have the suit")});
        QCOMPARE(script.messages.last(), QStringLiteral("Ann you have the current suit and must play it."));
        QCOMPARE(G.Cards[15].Holder, quint8(1));
        QCOMPARE(G.Turn, qint16(1));
        // The Diamond is played; the Prof plays last, Marigold's Four... the Five wins? the
        // Five of Diamonds (the Lady) is highest so far; the trick waits for Carry On.
        Robot robot;
        Waits::RunChain([] { TableForm().CardsPic_Click(2); });
        QCOMPARE(robot.carryOnPresses, 1);
        QVERIFY(!script.titles.contains(QStringLiteral("Hand Over")));
        QCOMPARE(G.TricksMade[4] + G.TricksMade[2], 1);
        QCOMPARE(G.Cards[2].Holder, quint8(0));
        QVERIFY(!TableForm().CardsPic[2]->isVisible());
        QCOMPARE(G.TrickSeat1, G.TrickWinner);
    }

    void gameEndWinnersAndDraws_data() {
        QTest::addColumn<QList<int>>("totals"); // before the last hand's 10 points each
        QTest::addColumn<int>("winner");
        QTest::addColumn<QString>("message");
        QTest::newRow("draw at the top")
            << QList<int>{40, 40, 30, 20} << 0
            << "Unfortunately Ann that game was drawn so nothing will be added to the "
               "statistics.";
        QTest::newRow("four equal")
            << QList<int>{40, 40, 40, 40} << 0
            << "Unfortunately Ann that game was drawn so nothing will be added to the "
               "statistics.";
        QTest::newRow("human wins")
            << QList<int>{50, 30, 30, 20} << 1
            << "Well done Ann you won that game and it has been recorded in the statistics. "
               "See menu.";
        QTest::newRow("the Prof wins")
            << QList<int>{30, 55, 10, 54} << 2
            << "Unfortunately Ann The Prof. won that game and it has been recorded in the "
               "statistics. See menu.";
        QTest::newRow("Marigold wins")
            << QList<int>{30, 5, 60, 54} << 3
            << "Unfortunately Ann The beautiful Marigold won that game and it has been "
               "recorded in the statistics. See menu.";
        QTest::newRow("the Lady wins")
            << QList<int>{30, 5, 6, 54} << 4
            << "Unfortunately Ann Her Ladyship won that game and it has been recorded in "
               "the statistics. See menu.";
    }

    void gameEndWinnersAndDraws() {
        QFETCH(QList<int>, totals);
        QFETCH(int, winner);
        QFETCH(QString, message);
        QFile::remove(dir.filePath(QStringLiteral("Scores.dat")));
        G.GamesWon = {0, 3, 5, 0, 12};
        DialogScript script;
        script.answer[QStringLiteral("Game Over")] = 1;
        QByteArray fileAtGameOver = "<not asked>";
        Waits::ModalHook = [&](QWidget* w) {
            if (auto* d = qobject_cast<MFormDeluxe*>(w);
                d && d->Label3->text().endsWith(QLatin1String("Game Over")))
                fileAtGameOver = ReadBytes(dir.filePath(QStringLiteral("Scores.dat")));
            script.Answer(w);
        };
        bool exited = false;
        ExitHook = [&] { exited = true; };
        G.GameOn = true;
        G.HandNumber = 19;
        for (int s = 1; s <= 4; ++s)
            G.GameScore[s] = static_cast<qint16>(totals[s - 1]);
        G.Bids = {0, 1, 0, 2, 0};
        G.TricksMade = {0, 1, 0, 2, 0}; // every seat makes its bid: 11, 10, 12, 10
        for (int s = 1; s <= 4; ++s)
            G.GameScore[s] =
                static_cast<qint16>(G.GameScore[s] - HandPoints(G.Bids[s], G.TricksMade[s]) + 10);
        Waits::RunChain([] { EndOfHand(); });
        QVERIFY(exited);
        QVERIFY(!G.GameOn);
        QCOMPARE(TableForm().LblHandSc[1]->text(), QStringLiteral("11"));
        QCOMPARE(TableForm().LblHandSc[3]->text(), QStringLiteral("12"));
        QCOMPARE(TableForm().LblScores[1]->text(), QStringLiteral("Ann :%1").arg(totals[0] + 10));
        const QString middle = winner ? QStringLiteral("Congratulations") : QStringLiteral("A Draw.");
        QCOMPARE(script.titles,
                 (QStringList{QStringLiteral("Hand Over"), middle, QStringLiteral("Game Over")}));
        QCOMPARE(script.messages.at(1), message);
        QCOMPARE(script.messages.at(2),
                 QStringLiteral("Ann This game is over do you wish to play another game or exit"));
        std::array<qint16, 5> expected{0, 3, 5, 0, 12};
        if (winner) {
            ++expected[winner];
            // The win is on disk before the last question is asked.
            QCOMPARE(fileAtGameOver, DataFiles::FormatScores(expected));
        } else {
            QCOMPARE(fileAtGameOver, QByteArray("<missing>"));
        }
        QCOMPARE(G.GamesWon, expected);
    }

    void handEighteenOnlyAnnouncesTheHand() {
        DialogScript script;
        script.Install();
        G.GameOn = true;
        G.HandNumber = 18;
        G.Dealer = 2;
        G.GameScore = {0, 7, 7, 7, 7};
        G.Bids = {0, 2, 0, 1, 0};
        G.TricksMade = {0, 2, 1, 0, 0};
        Waits::RunChain([] { EndOfHand(); });
        QCOMPARE(script.titles.first(), QStringLiteral("Hand Over"));
        QCOMPARE(script.messages.first(),
                 QStringLiteral(
                     "The hand is over and you can see current scores at top right hand of the screen"));
        QVERIFY(!script.titles.contains(QStringLiteral("Game Over")));
        // The next hand of the same game was dealt: hand 19, ten cards, the deal passed on.
        QCOMPARE(G.HandNumber, qint16(19));
        QCOMPARE(G.HandSize, qint16(10));
        QCOMPARE(G.Dealer, qint16(3));
        QCOMPARE(G.GameScore[1], qint16(19));
        QCOMPARE(G.GameScore[2], qint16(8));
        QCOMPARE(G.GameScore[3], qint16(7));
        QCOMPARE(G.GameScore[4], qint16(17));
        QCOMPARE(TableForm().LblScores[3]->text(), QStringLiteral("Marigold : 7"));
    }

    void winCountHeldAndKeptWhenTheFileCannotBeWritten() {
        // The data directory lies under a plain file: nothing can be written there.
        const QString blocker = dir.filePath(QStringLiteral("blocker"));
        WriteBytes(blocker, "x");
        DataFiles::SetDataDirOverride(blocker + QStringLiteral("/data"));
        DialogScript script;
        script.Install();
        ExitHook = [] {};
        G.GamesWon = {0, 32767, 4, 0, 0};
        G.GameOn = true;
        G.HandNumber = 19;
        G.GameScore = {0, 90, 10, 10, 10};
        Waits::RunChain([] { EndOfHand(); });
        QCOMPARE(G.GamesWon[1], qint16(32767)); // held at the top
        QCOMPARE(script.titles.at(1), QStringLiteral("Congratulations"));
        G.GameScore = {0, 10, 90, 10, 10};
        G.GameOn = true;
        G.HandNumber = 19;
        script.answer[QStringLiteral("Game Over")] = 1;
        bool exited = false;
        ExitHook = [&] { exited = true; };
        Waits::RunChain([] { EndOfHand(); });
        QVERIFY(exited);
        QCOMPARE(G.GamesWon[2], qint16(5)); // counted in memory although the file could not be written
    }

    void wholeGameFromNewGameToGameOver() {
        DialogScript script;
        script.answer[QStringLiteral("Game Over")] = 1; // Exit
        script.Install();
        bool exited = false;
        ExitHook = [&] { exited = true; };
        QFile::remove(dir.filePath(QStringLiteral("Scores.dat")));
        G.GamesWon = {};
        Robot robot;
        SeedDeal(2024);
        TableForm().MNuNew->trigger();
        QVERIFY(WaitFor([&] { return exited; }, 120000));
        QCOMPARE(script.titles.count(QStringLiteral("Hand Over")), 19);
        QVERIFY(!script.titles.contains(QStringLiteral("You have the suit")));
        const int n = script.titles.size();
        QCOMPARE(script.titles.at(n - 1), QStringLiteral("Game Over"));
        QCOMPARE(script.titles.at(n - 3), QStringLiteral("Hand Over"));
        // Before the last hand nothing but the hand-over notice is shown.
        QCOMPARE(script.titles.mid(0, n - 3), QStringList(18, QStringLiteral("Hand Over")));
        QCOMPARE(robot.carryOnPresses, 109);
        QVERIFY(!G.GameOn);
        const int winner = GameWinner();
        if (winner) {
            QCOMPARE(script.titles.at(n - 2), QStringLiteral("Congratulations"));
            QCOMPARE(G.GamesWon[winner], qint16(1));
            QFile f(dir.filePath(QStringLiteral("Scores.dat")));
            QVERIFY(f.open(QIODevice::ReadOnly));
            QCOMPARE(f.readAll(), DataFiles::FormatScores(G.GamesWon));
        } else {
            QCOMPARE(script.titles.at(n - 2), QStringLiteral("A Draw."));
            QVERIFY(!QFile::exists(dir.filePath(QStringLiteral("Scores.dat"))));
        }
        // The board shows every seat's total.
        QCOMPARE(TableForm().LblScores[2]->text(), QStringLiteral("The Prof : %1").arg(G.GameScore[2]));
        QCOMPARE(TableForm().LblScores[4]->text(), QStringLiteral("Tabitha :  %1").arg(G.GameScore[4]));
        QVERIFY(WaitFor([] { return Waits::ChainDepth() == 0; }));
    }

    void newGameConfirmedDuringAComputerBid() {
        DialogScript script;
        script.answer[QStringLiteral("New Game?")] = 0;
        script.Install();
        Waits::PaceScale = 0.02; // a quick deal ...
        bool asked = false;
        int oldBidLines = -1;
        // ... and real pauses once the first computer has announced its bid; New Game is
        // confirmed in the middle of its pauses.
        When(
            [] {
                return TableForm().List1->count() > 0 &&
                       TableForm()
                           .List1->item(TableForm().List1->count() - 1)
                           ->text()
                           .contains(QRegularExpression(QStringLiteral(" bid \\d+$")));
            },
            [&] {
                Waits::PaceScale = 1.0;
                QTimer::singleShot(300, [&] {
                    oldBidLines = ListLines().filter(QRegularExpression(QStringLiteral(" bid \\d+$"))).size();
                    asked = true;
                    Waits::PaceScale = 0.02;
                    TableForm().MNuNew->trigger();
                });
            });
        SeedDeal(21);
        QTimer::singleShot(0, [] { TableForm().MNuNew->trigger(); });
        QVERIFY(WaitFor([&] { return asked && G.Turn == 1 && Waits::ChainDepth() == 0; }, 60000));
        QCOMPARE(oldBidLines, 1);
        QCOMPARE(script.titles.count(QStringLiteral("New Game?")), 1);
        // The new game dealt and bid once; the interrupted bidding never wrote again.
        QCOMPARE(G.HandNumber, qint16(1));
        const QStringList lines = ListLines();
        QVERIFY(lines.first().endsWith(QLatin1String("Dealing.")));
        QCOMPARE(lines.filter(QRegularExpression(QStringLiteral(" bid \\d+$"))).size(), 3);
        QCOMPARE(lines.filter(QStringLiteral("Now the bidding begins")).size(), 1);
        for (int s = 2; s <= 4; ++s)
            QCOMPARE(TableForm().lblBid[s]->text(), QStringLiteral("Bid: %1 Tricks made: 0").arg(G.Bids[s]));
    }

    void exitConfirmedWhileWaitingForCarryOn() {
        DialogScript script;
        script.answer[QStringLiteral("Really Exit?")] = 0;
        script.Install();
        bool exited = false;
        ExitHook = [&] { exited = true; };
        Robot robot;
        robot.pressCarryOn = false;
        int linesBefore = -1;
        std::array<qint16, 5> tricks{};
        When([] { return TableForm().BtnContinue->isVisible(); },
             [&] {
                 linesBefore = TableForm().List1->count();
                 tricks = G.TricksMade;
                 TableForm().MnuExit->trigger();
             });
        SeedDeal(5);
        QTimer::singleShot(0, [] { TableForm().MNuNew->trigger(); });
        QVERIFY(WaitFor([&] { return exited && Waits::ChainDepth() == 0; }, 60000));
        QCOMPARE(script.titles.count(QStringLiteral("Really Exit?")), 1);
        QTest::qWait(50);
        QCOMPARE(TableForm().List1->count(), linesBefore);
        QCOMPARE(G.TricksMade, tricks);
    }

    void newGameWhileWaitingForCarryOnStartsCleanly() {
        DialogScript script;
        script.Install();
        Robot robot;
        robot.pressCarryOn = false;
        bool refusedKeptHand = false, confirmed = false;
        When([] { return TableForm().BtnContinue->isVisible(); },
             [&] {
                 G.GameScore[2] = 33;
                 script.answer[QStringLiteral("New Game?")] = 1; // "Oops No": nothing changes
                 TableForm().MNuNew->trigger();
                 refusedKeptHand = TableForm().BtnContinue->isVisible() && G.GameScore[2] == 33;
                 script.answer[QStringLiteral("New Game?")] = 0;
                 confirmed = true;
                 robot.playCards = false; // the new game then stops at the player's first turn
                 TableForm().MNuNew->trigger();
             });
        SeedDeal(8);
        QTimer::singleShot(0, [] { TableForm().MNuNew->trigger(); });
        QVERIFY(WaitFor([&] { return confirmed && G.Turn == 1 && Waits::ChainDepth() == 0; }, 60000));
        QVERIFY(refusedKeptHand);
        QCOMPARE(G.HandNumber, qint16(1));
        QCOMPARE(G.GameScore[2], qint16(0));
        QCOMPARE(G.TricksMade[1] + G.TricksMade[2] + G.TricksMade[3] + G.TricksMade[4], 0);
        QVERIFY(!TableForm().BtnContinue->isVisible());
    }
};

QTEST_MAIN(TestGame)
#include "tst_game.moc"
