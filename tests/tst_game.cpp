// A hand from New Game to the last trick, whole games, and the abandoning of waits.
#include "TestSupport.h"

#include "ModBidding.h"
#include "ModDeals.h"

#include <QLineEdit>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestSupport;
using Counts = std::array<qint16, 5>;

namespace {

// Fresh table with its records filled, as after start-up, without the start-up pause.
void Boot(const QString& dir) {
    FreshState(dir, 0.0);
    MakeCards();
    G.PlayerName = "Ann";
    G.PlayerNames = {"", "Ann", "The Prof.", "Marigold", "The Lady"};
    G.PauseMs = 150;
    TableForm().show();
}

void Give(int seat, std::initializer_list<int> cards) {
    for (int c : cards)
        G.Cards[c].Holder = static_cast<quint8>(seat);
}

CardPic* Pic(int card) {
    return TableForm().CardsPic[card];
}

// Where a card's picture stands and what it shows: left, top (twips), image.
QList<int> Place(int card) {
    return {Pic(card)->Left(), Pic(card)->Top(), Pic(card)->Image()};
}

// The lefts a card's picture takes while `move` runs, each once, in order.
QList<int> LeftsDuring(int card, const std::function<void()>& move) {
    QList<int> lefts;
    QTimer sample;
    QObject::connect(&sample, &QTimer::timeout, [&] {
        if (lefts.isEmpty() || lefts.last() != Pic(card)->Left()) lefts << Pic(card)->Left();
    });
    sample.start(0);
    move();
    return lefts;
}

const QRegularExpression kBidLine(" bid \\d+$");

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
        QCOMPARE(DealOrder(1), (std::array<qint16, 4>{2, 3, 4, 1}));
        QCOMPARE(DealOrder(3), (std::array<qint16, 4>{4, 1, 2, 3}));
        QCOMPARE(DealOrder(4), (std::array<qint16, 4>{1, 2, 3, 4}));
        G.HandNumber = 9;
        NextHandSize();
        QCOMPARE(TableForm().LblRounds->text(), QString("A 1 card Hand."));
        NextHandSize();
        QCOMPARE((QList<int>{G.HandNumber, G.HandSize, G.CardsLeft[3]}), (QList<int>{11, 2, 2}));
    }

    void randomCardsAndDealers() {
        SeedDeal(12345);
        std::array<int, 53> count{};
        for (int i = 0; i < 52 * 2000; ++i)
            ++count[PickRandomCard()];
        // Each card about 2000 times; the King of Spades is no exception.
        double chi2 = 0;
        for (int c = 1; c <= 52; ++c) {
            QVERIFY_IN(count[c], 1701, 2300);
            chi2 += (count[c] - 2000.0) * (count[c] - 2000.0) / 2000.0;
        }
        QVERIFY_IN(chi2, 0, 90); // 51 degrees of freedom
        for (int c = 1; c <= 51; ++c)
            G.Cards[c].Holder = 3;
        for (int i = 0; i < 20; ++i)
            QCOMPARE(PickRandomCard(), qint16(52));

        // The same seed deals the same cards.
        ResetGameState();
        QList<int> a, b;
        for (QList<int>* draws : {&a, &b}) {
            SeedDeal(7);
            for (int i = 0; i < 10; ++i)
                *draws << PickRandomCard();
        }
        QCOMPARE(a, b);

        SeedDeal(99);
        std::array<int, 5> dealers{};
        for (int i = 0; i < 4000; ++i) {
            ChooseFirstDealer();
            ++dealers.at(G.Dealer);
        }
        for (int s = 1; s <= 4; ++s)
            QVERIFY_IN(dealers[s], 851, 1150);
    }

    void cardTravelsInStepsAndLands() {
        // Card 1 at the bottom of the middle stack goes left in 11 steps to 2290, then to its place.
        ShowPack();
        QCOMPARE(Place(1), (QList<int>{5040, 3480, 53}));
        G.NextTop2 = 2460;
        QCOMPARE(LeftsDuring(1, [] { DealCardToSeat(2, 1); }).indexOf(2290), 10);
        QCOMPARE(Place(1), (QList<int>{1440, 2460, 54}));
        QCOMPARE(G.NextTop2, qint16(2760));
        QCOMPARE(G.Cards[1].Holder, quint8(2));
        QCOMPARE(G.PauseMs, qint16(150));
        // Card 52, on top of the stack, goes right in 9 steps to 7443 before landing at 8400.
        QCOMPARE(Place(52), (QList<int>{5193, 3327, 53}));
        G.NextTop4 = 2460;
        QCOMPARE(LeftsDuring(52, [] { DealCardToSeat(4, 52); }).indexOf(7443), 8);
        QCOMPARE(Place(52), (QList<int>{8400, 2460, 56}));
    }

    void dealOfTenLaysOutEverySeat() {
        G.Dealer = 1;
        G.HandSize = 10;
        G.NextTop4 = G.NextTop2 = 2460, G.NextLeft1 = 1600, G.NextLeft3 = 3240;
        SeedDeal(3);
        ShowPack();
        // The player's cards stay face down until the very last card has been dealt.
        bool faceSeenEarly = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            for (int c = 1; c <= 52; ++c)
                faceSeenEarly |= G.Cards[c].Holder == 1 && Pic(c)->Image() != 53;
        });
        watch.start(0);
        DealCards();
        watch.stop();
        QVERIFY(!faceSeenEarly);
        QCOMPARE((QList<int>{G.NextLeft1, G.NextTop2, G.NextLeft3, G.NextTop4}),
                 (QList<int>{5600, 5460, 6240, 5460}));
        // Each seat's ten cards in a row along its side (the side seats' cards share a left, the
        // others' a top): the player's face up, the others' backs turned to their seats.
        const int side[5][2] = {{}, {6400, 0}, {1440, 54}, {1000, 55}, {8400, 56}}; // fixed place, image
        std::array<QList<int>, 5> along;
        for (int c = 1; c <= 52; ++c) {
            const int seat = G.Cards[c].Holder, across = seat % 2 == 0;
            const QList<int> at = Place(c);
            if (seat)
                QCOMPARE((QList<int>{at[1 - across], at[2]}),
                         (QList<int>{side[seat][0], side[seat][1] ? side[seat][1] : c}));
            along[seat] << at[across];
        }
        for (auto& l : along)
            std::sort(l.begin(), l.end());
        QCOMPARE((QList<qsizetype>{along[0].size(), along[1].size(), along[2].size(), along[3].size(),
                                   along[4].size()}),
                 (QList<qsizetype>{12, 10, 10, 10, 10}));
        QCOMPARE((QList<int>{along[1].first(), along[1].last(), along[2].last(), along[3].last()}),
                 (QList<int>{1500, 9150, 5160, 5940}));
    }

    void playerHandAndFrontToBackOrder() {
        // The widget stacking order is the parent's child order: later is in front.
        auto depth = [](int card) { return TableForm().Client->children().indexOf(Pic(card)); };
        ShowPack();
        for (int c = 2; c <= 52; ++c)
            QVERIFY(depth(c) > depth(c - 1));
        // Suits in order, then ranks with the Ace high: King, Ace of Diamonds, Two of Clubs.
        Give(1, {13, 1, 15});
        ShowPlayerHand();
        QCOMPARE((QList<int>{Pic(13)->Left(), Pic(1)->Left(), Pic(15)->Left()}),
                 (QList<int>{1500, 2350, 3200}));
        QVERIFY(depth(15) > depth(1) && depth(1) > depth(13) && depth(13) > depth(52));
        // The player plays the middle card: the others close up.
        G.GameOn = true;
        G.Cards[1].Holder = 5;
        ShowPlayedCard(1, 1);
        QCOMPARE((QList<int>{Pic(1)->Left(), Pic(1)->Top()}), (QList<int>{4920, 4680}));
        QCOMPARE((QList<int>{Pic(13)->Left(), Pic(15)->Left()}), (QList<int>{1500, 2350}));
        // A played card lies face up in front of everything.
        G.Cards[30].Holder = 5;
        ShowPlayedCard(30, 3);
        for (int c = 1; c <= 52; ++c)
            QVERIFY(c == 30 || depth(30) > depth(c));
        QCOMPARE(Pic(30)->Image(), 30);
        QCOMPARE(Pic(30)->accessibleName(), QString("Four of Hearts"));
    }

    void packAndCornerStacks() {
        for (int c = 1; c <= 4; ++c)
            G.Cards[c].Holder = static_cast<quint8>(c); // one card a seat
        G.Cards[40].Holder = 5;                         // in the trick
        Pic(40)->Move(4920, 2520);
        MovePackToCorner();
        QCOMPARE((QList<int>{Pic(5)->Left(), Pic(5)->Top(), Pic(52)->Left()}),
                 (QList<int>{360, 120, 360 + 3 * 46}));
        QCOMPARE(Pic(40)->Left(), 4920); // the trick card is not touched
        QCOMPARE(G.PauseMs, qint16(150));
        // Played cards hidden after a trick come back with the pack.
        Pic(7)->hide();
        ShowPack();
        QVERIFY(Pic(7)->isVisible());
        QCOMPARE((QList<int>{Pic(52)->Left(), Pic(52)->Top()}), (QList<int>{5040 + 3 * 46, 3480 - 3 * 46}));
        // ShowPlayedCard does nothing while no game is on.
        G.GameOn = false;
        const QString before = Sound::LastRequested();
        ShowPlayedCard(52, 3);
        QCOMPARE(Pic(52)->Left(), 5040 + 3 * 46);
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
        QVERIFY_IN(t.elapsed(), 140, 600);
        QCOMPARE(G.Bids[2], qint16(3));
        QCOMPARE(TableForm().lblBid[2]->text(), QString("Bid: 3 Tricks made: 0"));
        QCOMPARE(ListLines(), QStringList{"The Prof. bid 3"});
        QCOMPARE(G.PauseMs, qint16(150));
    }

    void bidDialog() {
        FrmBid bid(&TableForm());
        bid.show();
        QTest::keyClicks(bid.TxtBid, "a1-2 ");
        QCOMPARE(bid.TxtBid->text(), QString("12"));
        QTest::keyClick(bid.TxtBid, Qt::Key_Backspace);
        QCOMPARE(bid.TxtBid->text(), QString());
        QTest::keyClicks(bid.TxtBid, "7");
        QTest::keyClick(bid.TxtBid, Qt::Key_Return);
        QTest::keyClick(bid.TxtBid, Qt::Key_Escape);
        QVERIFY(bid.isVisible());
        QCOMPARE(bid.TxtBid->text(), QString("7"));
        // Text arriving other than by keys must still be digits only.
        bid.TxtBid->clear();
        bid.TxtBid->insert("1x");
        QCOMPARE(bid.TxtBid->text(), QString());
        bid.TxtBid->insert("99999999999999999999");
        QVERIFY(bid.TxtBid->text().size() <= 9);
        const std::pair<const char*, std::optional<int>> parsed[] = {
            {"0", 0},           {"13", 13},           {"07", 7},
            {"0000013", 13},    {"14", std::nullopt}, {"99", std::nullopt},
            {"", std::nullopt}, {"1 ", std::nullopt}, {"999999999999999999999", std::nullopt}};
        for (const auto& [text, value] : parsed)
            QVERIFY2(FrmBid::ParseBid(text) == value, text);

        // The Bid button: nothing typed, out of range, then a good bid.
        DialogScript script;
        script.Install();
        bid.TxtBid->clear();
        G.Bids[1] = 0;
        QTest::mouseClick(bid.CmdBid, Qt::LeftButton);
        QCOMPARE(script.titles, QStringList{"No Number."});
        QVERIFY(bid.isVisible());
        bid.TxtBid->setText("14");
        QTest::mouseClick(bid.CmdBid, Qt::LeftButton);
        QCOMPARE(script.titles.last(), QString("Wrong entry."));
        QCOMPARE(script.messages.last(), QString("You must enter a number between 0 and 13."));
        QVERIFY(bid.TxtBid->text().isEmpty() && G.Bids[1] == 0);
        bid.TxtBid->setText("07");
        QTest::mouseClick(bid.CmdBid, Qt::LeftButton);
        QCOMPARE(G.Bids[1], qint16(7));
        QCOMPARE(TableForm().lblBid[1]->text(), QString("Bid: 7 Tricks made: 0"));
        QVERIFY(!bid.isVisible());
        QCOMPARE(TableForm().List1->count(), 0); // a valid human bid adds no line
    }

    void bidDialogKeptBetweenBidsStartsEmpty() {
        // The same dialog serves every bid; each bid starts from an empty box.
        QList<FrmBid*> shown;
        QStringList boxAtShow;
        Waits::ModalHook = [&](QWidget* w) {
            auto* b = qobject_cast<FrmBid*>(w);
            QVERIFY(b);
            shown << b;
            boxAtShow << b->TxtBid->text();
            b->TxtBid->setText("3");
            QTest::mouseClick(b->CmdBid, Qt::LeftButton);
        };
        for (int i = 0; i < 2; ++i)
            Waits::RunChain([] { ShowBidDialog(); });
        QCOMPARE(shown.size(), 2);
        QCOMPARE(shown[0], shown[1]);
        QCOMPARE(boxAtShow, QStringList({"", ""}));
        QCOMPARE(G.Bids[1], qint16(3));
        QVERIFY(!shown[0]->isVisible());

        // A game given up while the dialog waits takes the dialog away with it.
        Waits::ModalHook = [](QWidget*) { Waits::AbandonChain(); };
        bool after = false;
        Waits::RunChain([&] {
            ShowBidDialog();
            after = true;
        });
        QVERIFY(!after);
        QVERIFY(!BidForm().isVisible());
        Waits::ModalHook = nullptr;
    }

    void biddingOrderForEachDealer() {
        DialogScript script;
        script.bidText = "2";
        script.Install();
        const QStringList starts{"Ann please make your bid above", "The Prof. bid", "Marigold bid",
                                 "The Lady bid"};
        for (int dealer = 1; dealer <= 4; ++dealer) {
            TableForm().List1->clear();
            G.Dealer = static_cast<qint16>(dealer);
            G.HandSize = 1;
            G.Bids = {};
            BiddingSequence();
            QList<qint16> who;
            for (const QString& line : ListLines())
                for (int s = 1; s <= 4; ++s)
                    if (line.startsWith(starts[s - 1])) who << qint16(s);
            const std::array<qint16, 4> order = DealOrder(dealer);
            QCOMPARE(who, QList<qint16>(order.begin(), order.end()));
            QCOMPARE(G.Bids[1], qint16(2));
            // The human's two lines come together, the second ending in a full stop.
            const int at = int(ListLines().indexOf(starts[0]));
            QCOMPARE(ListLines().value(at + 1), QString("Ann please enter your bid above."));
        }
    }

    void firstHandOfAGame() {
        DialogScript script;
        script.Install();
        SeedDeal(11);
        Waits::RunChain([] { StartHand(); });
        QVERIFY(G.GameOn && TableForm().MnuPlay->isEnabled());
        QCOMPARE(G.HandNumber, qint16(1));
        QCOMPARE(G.HandSize, qint16(10));
        const QStringList firsts{"Ann you are Dealing.", "The Prof  is Dealing.",
                                 "Beautiful Marigold is Dealing.", "Her Ladyship is Dealing."};
        QCOMPARE(ListLines().first(), firsts.at(G.Dealer - 1));
        QVERIFY(ListLines().contains("Now the bidding begins"));
        QCOMPARE(TableForm().LblScores[2]->text(), QString("Prof Quimby"));
        QCOMPARE(TableForm().LblScores[4]->text(), QString("Tabitha"));
        QCOMPARE(TableForm().lblProf->text(), QString("Prof.Quimby"));
        // The trump card lies face up on the corner pack and belongs to no hand.
        int trump = 0;
        for (int c = 1; c <= 52; ++c)
            if (Pic(c)->Left() == 100 && Pic(c)->Top() == 150) trump = c;
        QVERIFY(trump != 0);
        QCOMPARE(Pic(trump)->Image(), trump);
        QCOMPARE(G.Cards[trump].Holder, quint8(0));
        QCOMPARE(G.Trumps, qint16(CardSuit(trump)));
        QCOMPARE(TableForm().LblTrumps->text(),
                 "Trumps:- " + QStringList({"Diamonds", "Clubs", "Hearts", "Spades"})[G.Trumps - 1]);
        // The dealer leads; a computer dealer's chain has played up to the human's turn.
        QCOMPARE(G.TrickSeat1, G.Dealer);
        QCOMPARE(G.Turn, qint16(1));
        QCOMPARE(ListLines().last(), G.Dealer == 1 ? QString("Ann Click card you wish to play.")
                                                   : QString("Ann please click on card you whist to play."));
        int played = 0;
        for (int c = 1; c <= 52; ++c)
            played += G.Cards[c].Holder == 5;
        QCOMPARE(played, (5 - G.Dealer) % 4);

        // The next hand passes the deal on and keeps the scores.
        G.GameScore = {0, 5, 6, 7, 8};
        SetCaption(TableForm().LblScores[1], "kept");
        const qint16 firstDealer = G.Dealer;
        Waits::RunChain([] { StartHand(); });
        QCOMPARE(G.Dealer, NextSeat(firstDealer));
        QCOMPARE(G.HandNumber, qint16(2));
        QCOMPARE(G.HandSize, qint16(9));
        QCOMPARE(G.GameScore[4], qint16(8));
        QCOMPARE(TableForm().LblScores[1]->text(), QString("kept"));
        const QStringList passing{"Ann you are dealing.", "The Prof. is dealing.",
                                  "Bautiful Marigold is dealing.", "Her Ladyship is dealing."};
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
        QCOMPARE(script.titles, QStringList{"You have the suit"});
        QCOMPARE(script.messages.last(), QString("Ann you have the current suit and must play it."));
        QCOMPARE(G.Cards[15].Holder, quint8(1));
        QCOMPARE(G.Turn, qint16(1));
        // The Diamond is played, the Prof plays last and the trick waits for Carry On.
        Robot robot;
        Waits::RunChain([] { TableForm().CardsPic_Click(2); });
        QCOMPARE(robot.carryOnPresses, 1);
        QVERIFY(!script.titles.contains("Hand Over"));
        QCOMPARE(G.TricksMade[4] + G.TricksMade[2], 1);
        QCOMPARE(G.Cards[2].Holder, quint8(0));
        QVERIFY(!Pic(2)->isVisible());
        QCOMPARE(G.TrickSeat1, G.TrickWinner);
    }

    void gameEndWinnersAndDraws_data() {
        QTest::addColumn<Counts>("totals"); // each seat ends the game on its total + 10
        QTest::addColumn<int>("winner");
        QTest::newRow("draw at the top") << Counts{0, 40, 40, 30, 20} << 0;
        QTest::newRow("four equal") << Counts{0, 40, 40, 40, 40} << 0;
        QTest::newRow("human wins") << Counts{0, 50, 30, 30, 20} << 1;
        QTest::newRow("the Prof wins") << Counts{0, 30, 55, 10, 54} << 2;
        QTest::newRow("Marigold wins") << Counts{0, 30, 5, 60, 54} << 3;
        QTest::newRow("the Lady wins") << Counts{0, 30, 5, 6, 54} << 4;
    }
    void gameEndWinnersAndDraws() {
        QFETCH(Counts, totals);
        QFETCH(int, winner);
        QFile::remove(dir.filePath("Scores.dat"));
        G.GamesWon = {0, 3, 5, 0, 12};
        DialogScript script;
        script.answer["Game Over"] = 1;
        QByteArray fileAtGameOver = "<not asked>";
        Waits::ModalHook = [&](QWidget* w) {
            if (auto* d = qobject_cast<MFormDeluxe*>(w); d && d->Label3->text().endsWith("Game Over"))
                fileAtGameOver = ReadBytes(dir.filePath("Scores.dat"));
            script.Answer(w);
        };
        bool exited = false;
        ExitHook = [&] { exited = true; };
        G.GameOn = true;
        G.HandNumber = 19;
        G.Bids = G.TricksMade = {0, 1, 0, 2, 0}; // every seat makes its bid: 11, 10, 12, 10
        for (int s = 1; s <= 4; ++s)             // and ends on its total + 10
            G.GameScore[s] = static_cast<qint16>(totals[s] - HandPoints(G.Bids[s], G.TricksMade[s]) + 10);
        Waits::RunChain([] { EndOfHand(); });
        QVERIFY(exited && !G.GameOn);
        QCOMPARE(TableForm().LblHandSc[1]->text(), QString("11"));
        QCOMPARE(TableForm().LblHandSc[3]->text(), QString("12"));
        QCOMPARE(TableForm().LblScores[1]->text(), QString("Ann :%1").arg(totals[1] + 10));
        QCOMPARE(script.titles,
                 (QStringList{"Hand Over", winner ? "Congratulations" : "A Draw.", "Game Over"}));
        const QStringList who{"", "", " The Prof.", " The beautiful Marigold", " Her Ladyship"};
        QCOMPARE(script.messages.at(1),
                 winner == 0
                     ? "Unfortunately Ann that game was drawn so nothing will be added to the statistics."
                 : winner == 1
                     ? "Well done Ann you won that game and it has been recorded in the statistics. See menu."
                     : "Unfortunately Ann" + who[winner] +
                           " won that game and it has been recorded in the statistics. See menu.");
        QCOMPARE(script.messages.at(2),
                 QString("Ann This game is over do you wish to play another game or exit"));
        Counts expected{0, 3, 5, 0, 12};
        if (winner) ++expected[winner];
        QCOMPARE(G.GamesWon, expected);
        // A win is on disk before the last question is asked; a draw writes nothing.
        QCOMPARE(fileAtGameOver, winner ? DataFiles::FormatScores(expected) : QByteArray("<missing>"));
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
        QCOMPARE(script.titles.first(), QString("Hand Over"));
        QCOMPARE(script.messages.first(),
                 QString("The hand is over and you can see current scores at top right hand of the screen"));
        QVERIFY(!script.titles.contains("Game Over"));
        // The next hand of the same game was dealt: hand 19, ten cards, the deal passed on.
        QCOMPARE(G.HandNumber, qint16(19));
        QCOMPARE(G.HandSize, qint16(10));
        QCOMPARE(G.Dealer, qint16(3));
        QCOMPARE(G.GameScore, (Counts{0, 19, 8, 7, 17}));
        QCOMPARE(TableForm().LblScores[3]->text(), QString("Marigold : 7"));
    }

    void winCountHeldAndKeptWhenTheFileCannotBeWritten() {
        // The data directory lies under a plain file: nothing can be written there.
        WriteBytes(dir.filePath("blocker"), "x");
        DataFiles::SetDataDirOverride(dir.filePath("blocker/data"));
        DialogScript script;
        script.Install();
        G.GamesWon = {0, 32767, 4, 0, 0};
        G.GameOn = true;
        G.HandNumber = 19;
        G.GameScore = {0, 90, 10, 10, 10};
        Waits::RunChain([] { EndOfHand(); });
        QCOMPARE(G.GamesWon[1], qint16(32767)); // held at the top
        QCOMPARE(script.titles.at(1), QString("Congratulations"));
        G.GameScore = {0, 10, 90, 10, 10};
        G.GameOn = true;
        G.HandNumber = 19;
        script.answer["Game Over"] = 1;
        bool exited = false;
        ExitHook = [&] { exited = true; };
        Waits::RunChain([] { EndOfHand(); });
        QVERIFY(exited);
        QCOMPARE(G.GamesWon[2], qint16(5)); // counted in memory although the file could not be written
    }

    void wholeGameFromNewGameToGameOver() {
        DialogScript script;
        script.answer["Game Over"] = 1; // Exit
        script.Install();
        bool exited = false;
        ExitHook = [&] { exited = true; };
        QFile::remove(dir.filePath("Scores.dat"));
        G.GamesWon = {};
        Robot robot;
        SeedDeal(2024);
        TableForm().MNuNew->trigger();
        QVERIFY(WaitFor([&] { return exited; }, 120000));
        // Nothing but the hand-over notice until the last hand; the player never played out of
        // turn or off suit.
        const qsizetype n = script.titles.size();
        QCOMPARE(script.titles.mid(0, n - 2), QStringList(19, "Hand Over"));
        QCOMPARE(script.titles.at(n - 1), QString("Game Over"));
        QCOMPARE(robot.carryOnPresses, 109);
        QVERIFY(!G.GameOn);
        const int winner = GameWinner();
        QCOMPARE(script.titles.at(n - 2), winner ? QString("Congratulations") : QString("A Draw."));
        QCOMPARE(G.GamesWon[winner], qint16(winner ? 1 : 0));
        QCOMPARE(ReadBytes(dir.filePath("Scores.dat")),
                 winner ? DataFiles::FormatScores(G.GamesWon) : QByteArray("<missing>"));
        // The board shows every seat's total.
        QCOMPARE(TableForm().LblScores[2]->text(), QString("The Prof : %1").arg(G.GameScore[2]));
        QCOMPARE(TableForm().LblScores[4]->text(), QString("Tabitha :  %1").arg(G.GameScore[4]));
        QVERIFY(WaitFor([] { return Waits::ChainDepth() == 0; }));
    }

    void newGameConfirmedDuringAComputerBid() {
        DialogScript script;
        script.answer["New Game?"] = 0;
        script.Install();
        Waits::PaceScale = 0.02; // a quick deal ...
        bool asked = false;
        int oldBidLines = -1;
        // ... and real pauses once the first computer has announced its bid; New Game is
        // confirmed in the middle of its pauses.
        When([] { return ListLines().value(TableForm().List1->count() - 1).contains(kBidLine); },
             [&] {
                 Waits::PaceScale = 1.0;
                 QTimer::singleShot(300, [&] {
                     oldBidLines = int(ListLines().filter(kBidLine).size());
                     asked = true;
                     Waits::PaceScale = 0.02;
                     TableForm().MNuNew->trigger();
                 });
             });
        SeedDeal(21);
        QTimer::singleShot(0, [] { TableForm().MNuNew->trigger(); });
        QVERIFY(WaitFor([&] { return asked && G.Turn == 1 && Waits::ChainDepth() == 0; }, 60000));
        QCOMPARE(oldBidLines, 1);
        QCOMPARE(script.titles.count("New Game?"), 1);
        // The new game dealt and bid once; the interrupted bidding never wrote again.
        QCOMPARE(G.HandNumber, qint16(1));
        QVERIFY(ListLines().first().endsWith("Dealing."));
        QCOMPARE(ListLines().filter(kBidLine).size(), 3);
        QCOMPARE(ListLines().filter("Now the bidding begins").size(), 1);
        for (int s = 2; s <= 4; ++s)
            QCOMPARE(TableForm().lblBid[s]->text(), QString("Bid: %1 Tricks made: 0").arg(G.Bids[s]));
    }

    void exitConfirmedWhileWaitingForCarryOn() {
        DialogScript script;
        script.answer["Really Exit?"] = 0;
        script.Install();
        bool exited = false;
        ExitHook = [&] { exited = true; };
        Robot robot;
        robot.pressCarryOn = false;
        int linesBefore = -1;
        Counts tricks{};
        When([] { return TableForm().BtnContinue->isVisible(); },
             [&] {
                 linesBefore = TableForm().List1->count();
                 tricks = G.TricksMade;
                 TableForm().MnuExit->trigger();
             });
        SeedDeal(5);
        QTimer::singleShot(0, [] { TableForm().MNuNew->trigger(); });
        QVERIFY(WaitFor([&] { return exited && Waits::ChainDepth() == 0; }, 60000));
        QCOMPARE(script.titles.count("Really Exit?"), 1);
        QTest::qWait(50);
        // The abandoned trick never finished: no line, no trick counted.
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
                 script.answer["New Game?"] = 1; // "Oops No": nothing changes
                 TableForm().MNuNew->trigger();
                 refusedKeptHand = TableForm().BtnContinue->isVisible() && G.GameScore[2] == 33;
                 script.answer["New Game?"] = 0;
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
        QCOMPARE(G.TricksMade, Counts{});
        QVERIFY(!TableForm().BtnContinue->isVisible());
    }
};

QTEST_MAIN(TestGame)
#include "tst_game.moc"
