// A hand as the game plays it: the deal, the bids as the game makes them, the bid box, the
// passage from one trick to the next with the player's clicks, the end of a hand and of a game.
#include "TestSupport.h"

#include "ModBidding.h"
#include "ModDeals.h"

#include <QLineEdit>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestSupport;
using Counts = std::array<qint16, 5>;

namespace {

void Give(int seat, const QString& cards) {
    for (const QString& name : cards.split(' '))
        G.Cards[Card(name)].Holder = static_cast<quint8>(seat);
}

CardPic* Pic(int card) {
    return TableForm().CardsPic[card];
}

void Click(const char* card) {
    QTest::mouseClick(Pic(Card(card)), Qt::LeftButton, {}, QPoint(5, 5));
}

QList<int> Held(int holder) {
    QList<int> cards;
    for (int c = 1; c <= 52; ++c)
        if (G.Cards[c].Holder == holder) cards << c;
    return cards;
}

QList<int> TrickOrder() {
    return {G.TrickSeat1, G.TrickSeat2, G.TrickSeat3, G.TrickSeat4};
}

} // namespace

class TestGame : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

  private slots:
    // A fresh table with its records filled, as after start-up.
    void init() {
        FreshState(dir.path(), 0.0);
        MakeCards();
        G.PlayerName = "Ann";
        G.PlayerNames = {"", "Ann", "The Prof.", "Marigold", "The Lady"};
        TableForm().show();
    }

    void scheduleAndRandomCards() {
        QList<int> sizes;
        for (int n = 1; n <= 19; ++n)
            sizes << HandSizeFor(n);
        QCOMPARE(sizes, (QList<int>{10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
        // Every card still in the pack and every first dealer is as likely as any other.
        SeedDeal(12345);
        std::array<int, 53> count{};
        std::array<int, 5> dealers{};
        for (int i = 0; i < 52 * 1000; ++i) {
            ++count[PickRandomCard()];
            ChooseFirstDealer();
            ++dealers.at(G.Dealer);
        }
        for (int c = 1; c <= 52; ++c)
            QVERIFY_IN(count[c], 820, 1180);
        for (int s = 1; s <= 4; ++s)
            QVERIFY_IN(dealers[s], 12500, 13500);
        for (int c = 1; c <= 51; ++c)
            G.Cards[c].Holder = 3;
        for (int i = 0; i < 20; ++i)
            QCOMPARE(PickRandomCard(), qint16(52));
    }

    // New Game deals ten cards a seat; the player's stay face down until the last card is dealt,
    // and New Game asked for meanwhile is refused. The dealer leads; the computers play up to the player.
    void firstHandOfAGame() {
        DialogScript script;
        script.Install();
        Table& t = TableForm();
        bool faceSeenEarly = false, pressed = false;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            const qsizetype dealt = 52 - Held(0).size();
            if (dealt <= 0 || dealt >= 4 * G.HandSize) return;
            for (int c : Held(1))
                faceSeenEarly |= Pic(c)->Image() != 53;
            if (!pressed) t.MNuNew->trigger();
            pressed = true;
        });
        watch.start(0);
        SeedDeal(11);
        t.MNuNew->trigger();
        watch.stop();
        QVERIFY(pressed && !faceSeenEarly && script.titles.isEmpty()); // no question of a new game
        QCOMPARE(ListLines().filter("Now the bidding begins").size(), 1);
        QVERIFY(G.GameOn && G.HandNumber == 1 && G.Turn == 1 && t.MNuNew->isEnabled());
        QCOMPARE(G.TrickSeat1, G.Dealer);
        QCOMPARE(Held(5).size(), (5 - G.Dealer) % 4);
        QCOMPARE(Held(1).size() + Held(2).size() + Held(3).size() + Held(4).size() + Held(5).size(), 40);
        // The player's cards face up in one row by suit, the Ace high; the others' are backs.
        QList<int> hand = Held(1);
        const auto order = [](int c) {
            return CardSuit(c) * 20 + ((c - 1) % 13 == 0 ? 14 : (c - 1) % 13 + 1);
        };
        std::sort(hand.begin(), hand.end(), [&](int a, int b) { return order(a) < order(b); });
        for (int i = 0; i < hand.size(); ++i) {
            QVERIFY(Pic(hand[i])->Image() == hand[i] && Pic(hand[i])->Top() == Pic(hand[0])->Top());
            QVERIFY(i == 0 || Pic(hand[i])->Left() > Pic(hand[i - 1])->Left());
        }
        for (int c : Held(2) + Held(3) + Held(4))
            QVERIFY(Pic(c)->Image() > 52);
        // The one face-up card of the pack names the trump suit.
        QList<int> faceUp;
        for (int c : Held(0))
            if (Pic(c)->Image() == c && Pic(c)->isVisible()) faceUp << c;
        QCOMPARE(faceUp.size(), 1);
        QVERIFY(CardSuit(faceUp[0]) == G.Trumps && t.LblTrumps->text().endsWith(G.Cards[faceUp[0]].SuitName));
    }

    // Bids go round from the dealer's left; a computer's bid takes the long-hand raise and the
    // dealer's rule against the bids just made, and is shown and narrated.
    void biddingAsTheGameMakesIt() {
        DialogScript script;
        script.bidText = "3";
        QStringList boxAtShow;
        Waits::ModalHook = [&](QWidget* w) {
            if (auto* b = qobject_cast<FrmBid*>(w)) boxAtShow << b->TxtBid->text();
            script.Answer(w);
        };
        BidForm().TxtBid->setText("7"); // left over from an earlier bid
        G.Trumps = 4;
        G.HandSize = 8;
        G.Dealer = 3;
        Give(4, "5S");    // worth 1, raised in a long hand: 2
        Give(2, "2C");    // worth nothing: 0
        Give(3, "AD KD"); // worth 2, raised to 3; the total would be 8, so the dealer goes to 4
        BiddingSequence();
        QCOMPARE(G.Bids, (Counts{0, 3, 0, 4, 2}));
        QCOMPARE(ListLines(),
                 (QStringList{"The Lady bid 2", "Ann please make your bid above",
                              "Ann please enter your bid above.", "The Prof. bid 0", "Marigold bid 4"}));
        QCOMPARE(boxAtShow, QStringList{""});
        QVERIFY(TableForm().lblBid[3]->text().startsWith("Bid: 4 "));
    }

    void bidBoxTakesDigitsOnly() {
        FrmBid& bid = BidForm();
        bid.show();
        for (char d = '0'; d <= '9'; ++d) {
            bid.TxtBid->clear();
            QTest::keyClick(bid.TxtBid, d);
            QCOMPARE(bid.TxtBid->text(), QString(QChar(d)));
        }
        QTest::keyClicks(bid.TxtBid, "1a-2 .");
        QCOMPARE(bid.TxtBid->text(), QString("912"));
        QTest::keyClick(bid.TxtBid, Qt::Key_Backspace); // empties the box
        bid.TxtBid->insert("1x");                       // pasted: digits only there too
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Escape})
            QTest::keyClick(bid.TxtBid, key);
        QVERIFY(bid.isVisible() && bid.TxtBid->text().isEmpty());
        QVERIFY(!FrmBid::ParseBid("999999999999999999999"));
        // The Bid button: nothing typed and out of range are refused with a notice.
        DialogScript script;
        script.Install();
        const std::tuple<const char*, const char*, int> presses[] = {
            {"", "No Number.", 0}, {"14", "Wrong entry.", 0}, {"13", "", 13}, {"07", "", 7}};
        for (const auto& [text, notice, stored] : presses) {
            bid.show();
            bid.TxtBid->setText(text);
            QTest::mouseClick(bid.CmdBid, Qt::LeftButton);
            QCOMPARE(script.titles.value(0), QString(notice));
            QVERIFY(bid.isVisible() == (*notice != 0) && G.Bids[1] == stored);
            script.titles.clear();
        }
    }

    // The Prof leads, the Lady across from him takes the trick as third to play and leads the
    // next, which the player takes as second to play and so leads the third. On the way the
    // player's clicks out of turn, off suit, while Carry On waits or without a press do nothing.
    void trickPassesToTheWinner() {
        DialogScript script;
        script.Install();
        Robot robot;
        robot.playCards = robot.pressCarryOn = false;
        G.GameOn = true;
        G.Trumps = 4;
        G.HandSize = 3;
        G.CardsLeft = {0, 3, 3, 3, 3};
        G.Bids = {0, 1, 1, 1, 1};
        Give(1, "3H AC 6D");
        Give(2, "2H 3C 4C");
        Give(3, "5H 2D 3D");
        Give(4, "KH 4D 5D");
        G.TrickSeat1 = G.Turn = 2;
        SetTrickOrder();
        QTimer::singleShot(20000, &robot, [] { Waits::AbandonChain(); }); // fail rather than hang
        Click("3H");                                                      // not the player's turn
        Waits::RunChain([] { ComputerPlay(2); });                         // 2H, 5H, KH
        QVERIFY(G.Turn == 1 && Held(1).size() == 3);
        QTest::mouseRelease(Pic(Card("3H")), Qt::LeftButton, {}, QPoint(5, 5)); // no press
        Click("AC");                                                            // off suit
        QCOMPARE(script.titles, QStringList{"You have the suit"});
        When([] { return TableForm().BtnContinue->isVisible(); },
             [&] {
                 robot.pressCarryOn = true;
                 Click("AC"); // a second card while Carry On waits
             });
        Click("3H");
        QCOMPARE(G.TricksMade, (Counts{0, 0, 0, 0, 1}));
        QCOMPARE(TrickOrder(), (QList<int>{4, 1, 2, 3}));
        QVERIFY(G.TrickCard1 == Card("4D") && G.Turn == 1 && G.Cards[Card("AC")].Holder == 1);
        Click("6D"); // 4D, 6D, 3C, 2D
        QCOMPARE(G.TricksMade, (Counts{0, 1, 0, 0, 1}));
        QCOMPARE(TrickOrder(), (QList<int>{1, 2, 3, 4}));
        QVERIFY(G.Turn == 1 && Held(5).isEmpty() && Held(1) == QList<int>{Card("AC")});
        QCOMPARE(robot.carryOnPresses, 2);
        QVERIFY(ListLines().filter("won that trick").value(0).startsWith("The Lady "));
    }

    void endOfHand_data() {
        QTest::addColumn<int>("hand");
        QTest::addColumn<Counts>("totals"); // before the hand's 10 points each
        QTest::addColumn<int>("answer");    // to "Game Over": 0 another game, 1 exit
        QTest::addColumn<int>("winner");    // -1: the game goes on
        QTest::newRow("hand 18: on to 19") << 18 << Counts{0, 7, 7, 7, 7} << 0 << -1;
        QTest::newRow("shared top: draw, exit") << 19 << Counts{0, 40, 40, 30, 20} << 1 << 0;
        QTest::newRow("the Prof wins, another") << 19 << Counts{0, 30, 55, 10, 54} << 0 << 2;
        QTest::newRow("player wins, count held") << 19 << Counts{0, 50, 30, 30, 20} << 1 << 1;
    }
    void endOfHand() {
        QFETCH(int, hand);
        QFETCH(Counts, totals);
        QFETCH(int, answer);
        QFETCH(int, winner);
        const QString scores = dir.filePath("Scores.dat");
        QFile::remove(scores);
        G.GamesWon = {0, 32767, 5, 0, 12};
        QStringList board; // a hand score and a total, as the hand's end shows them
        QByteArray fileAtGameOver = "<not asked>";
        DialogScript script;
        script.answer["Game Over"] = answer;
        Waits::ModalHook = [&](QWidget* w) {
            if (board.isEmpty())
                board << TableForm().LblHandSc[3]->text() << TableForm().LblScores[2]->text();
            if (w->windowTitle() == "Game Over") fileAtGameOver = ReadBytes(scores);
            script.Answer(w);
        };
        bool exited = false;
        ExitHook = [&] { exited = true; };
        G.GameOn = true;
        G.HandNumber = static_cast<qint16>(hand);
        G.Dealer = 2;
        G.GameScore = totals;
        Waits::RunChain([] { EndOfHand(); }); // every seat bid 0 and made it: 10 points
        QVERIFY(board.value(0) == "10" && board.value(1).endsWith(" " + QString::number(totals[2] + 10)));
        if (winner < 0) {
            QCOMPARE(script.titles, QStringList{"Hand Over"});
            QCOMPARE((QList<int>{G.HandNumber, G.HandSize, G.Dealer}), (QList<int>{19, 10, 3}));
            QCOMPARE(G.GameScore, (Counts{0, 17, 17, 17, 17}));
            return;
        }
        QCOMPARE(script.titles,
                 (QStringList{"Hand Over", winner ? "Congratulations" : "A Draw.", "Game Over"}));
        Counts won{0, 32767, 5, 0, 12};
        if (winner > 1) ++won[winner];
        QCOMPARE(G.GamesWon, won);
        // A win is on disk before the last question; a draw writes nothing.
        QCOMPARE(fileAtGameOver, winner ? DataFiles::FormatScores(won) : QByteArray("<missing>"));
        QCOMPARE(exited, answer == 1);
        QVERIFY(exited || (G.GameOn && G.HandNumber == 1 && G.GameScore == Counts{}));
    }
};

QTEST_MAIN(TestGame)
#include "tst_game.moc"
