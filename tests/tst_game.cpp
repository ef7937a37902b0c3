// A hand as the game plays it: the deal, the bids as the game makes them, the bid box, the
// passage from one trick to the next with the player's clicks, the end of a hand and of a game.
#include "TestSupport.h"

#include "Bidding.h"
#include "Deal.h"
#include "HeadlessView.h"
#include "Resume.h"
#include "TableMarks.h"

#include <QLineEdit>
#include <QTemporaryDir>

using namespace TestSupport;
using Counts = std::array<qint16, 5>;

namespace {

// The cards of seats 1, 2, 3 and 4 in that order, by short name.
void Give(const QStringList& hands) {
    for (int seat = 1; seat <= hands.size(); ++seat)
        for (const QString& name : hands[seat - 1].split(' ', Qt::SkipEmptyParts))
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

// The hand that ends, the totals before its 10 points a seat, the answer to "Game Over" (0 another
// game, 1 exit), the winner (-1: the game goes on) and the questions asked.
const std::tuple<const char*, int, Counts, int, int, const char*> kEndings[] = {
    {"hand 18: on to 19", 18, {0, 7, 7, 7, 7}, 0, -1, "Hand Over"},
    {"shared top: draw, exit", 19, {0, 40, 40, 30, 20}, 1, 0, "Hand Over,A Draw.,Game Over"},
    {"the Prof wins, another", 19, {0, 30, 55, 10, 54}, 0, 2, "Hand Over,Congratulations,Game Over"},
    {"player wins, count held", 19, {0, 50, 30, 30, 20}, 1, 1, "Hand Over,Congratulations,Game Over"}};

// The saved game offered at start-up: the file (whole or cut short), the answer, whether asked.
const std::tuple<const char*, bool, int, bool> kSaved[] = {
    {"carried on", true, 0, true}, {"dropped", true, 1, true}, {"cut short: not asked", false, 0, false}};

} // namespace

class TestGame : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    DialogScript script;

  private slots:
    // A fresh table with its records filled, as after start-up.
    void init() {
        FreshState(dir.path(), 0.0);
        MakeCards(G);
        G.PlayerName = "Ann";
        G.PlayerNames = {"", "Ann", "The Prof.", "Marigold", "The Lady"};
        TableForm().show();
        script = DialogScript();
        script.Install();
    }

    // (The hands' sizes are checked hand by hand in tst_engine's whole games.)
    void randomCards() {
        // Every card still in the pack and every first dealer is as likely as any other.
        SeedDeal(game, 12345);
        std::array<int, 53> count{};
        std::array<int, 5> dealers{};
        for (int i = 0; i < 52 * 1000; ++i) {
            ++count[PickRandomCard(game)];
            ChooseFirstDealer(game);
            ++dealers.at(G.Dealer);
        }
        for (int c = 1; c <= 52; ++c)
            QVERIFY_IN(count[c], 820, 1180);
        for (int s = 1; s <= 4; ++s)
            QVERIFY_IN(dealers[s], 12500, 13500);
        for (int c = 1; c <= 51; ++c)
            G.Cards[c].Holder = 3;
        QCOMPARE(PickRandomCard(game), qint16(52));
    }

    // Bids go round from the dealer's left; a computer's bid takes the long-hand raise and the
    // dealer's rule against the bids just made, and is shown and narrated. The player's box opens
    // empty, and nothing typed or out of range is refused with a notice.
    void biddingAsTheGameMakesIt() {
        QStringList boxAtShow;
        Waits::ModalHook = [&](QWidget* w) {
            auto* box = qobject_cast<FrmBid*>(w);
            if (!box) return script.Answer(w);
            boxAtShow << box->TxtBid->text();
            // The close box, Alt+F4 and Escape give no bid: only Bid ends the dialog.
            box->close();
            QTest::keyClick(box, Qt::Key_Escape);
            QVERIFY(box->isVisible());
            for (const char* text : {"", "14", "999999999", "03"}) {
                box->TxtBid->setText(text);
                QTest::mouseClick(box->CmdBid, Qt::LeftButton);
            }
        };
        TableForm().BidForm().TxtBid->setText("7"); // left over from an earlier bid
        G.Trumps = 4;
        G.HandSize = 8;
        G.Dealer = 3;
        // The Lady's 5S is worth 1, raised in a long hand to 2; the Prof's 2C nothing; Marigold's
        // AD KD 2, raised to 3, but the total would be 8, so the dealer goes to 4.
        Give({"", "2C", "AD KD", "5S"});
        BiddingSequence(game);
        QCOMPARE(G.Bids, (Counts{0, 3, 0, 4, 2}));
        QCOMPARE(ListLines(),
                 (QStringList{"The Lady bid 2", "Ann please make your bid above",
                              "Ann please enter your bid above.", "The Prof. bid 0", "Marigold bid 4"}));
        QCOMPARE(boxAtShow, QStringList{""});
        QCOMPARE(script.titles, (QStringList{"No Number.", "Wrong entry.", "Wrong entry."}));
        QVERIFY(TableForm().lblBid[3]->text().startsWith("Bid: 4 "));
    }

    // The hint, in the bid box and at the player's turn, shows the expert method's choice and
    // changes nothing else: the box is filled but no bid is made, the card takes the focus and is
    // named but not played, and the game's state is as it was.
    void hintShowsAndNeverPlays() {
        QString hinted;
        Waits::ModalHook = [&](QWidget* w) {
            auto* box = qobject_cast<FrmBid*>(w);
            if (!box) return script.Answer(w);
            QTest::keyClick(box->TxtBid, Qt::Key_H);
            When([box] { return !box->TxtBid->text().isEmpty(); },
                 [&, box] {
                     hinted = box->TxtBid->text();
                     QVERIFY(box->isVisible() && G.Bids[1] == 0);
                     QTest::mouseClick(box->CmdBid, Qt::LeftButton);
                 });
        };
        SeedDeal(game, 11);
        G.GameOn = false;
        do {
            QVERIFY(WaitFor([] { return Waits::PlayDepth() == 0; }));
            TableForm().MNuNew->trigger();
            QVERIFY(WaitFor([] { return G.Turn == 1 || TableForm().BtnContinue->isVisible(); }));
        } while (G.Turn != 1); // a deal whose first card is the player's
        QVERIFY_IN(hinted.toInt(), 0, 14);
        QCOMPARE(G.Bids[1], qint16(hinted.toInt()));
        const GameState before = G;
        const int lines = TableForm().List1->count();
        TableForm().MnuHint->trigger();
        QVERIFY(WaitFor([&] { return TableForm().List1->count() > lines; }));
        const QString line = ListLines().last();
        auto* focused = qobject_cast<CardPic*>(QApplication::focusWidget());
        QVERIFY(focused &&
                line.startsWith("Hint: the " + G.Cards[focused->Index()].FullName + " (your bid made in "));
        QVERIFY(std::ranges::any_of(ListLines(), [&](const QString& l) {
            return l.startsWith("Hint: bid " + hinted + " (made in ");
        }));
        QVERIFY(IsLegalPlay(G, 1, focused->Index()) && TableForm().Keys().InUse());
        for (int c = 1; c <= 52; ++c)
            QCOMPARE(G.Cards[c].Holder, before.Cards[c].Holder);
        QVERIFY(G.Turn == 1 && G.CardsLeft == before.CardsLeft && G.TrickCard1 == before.TrickCard1);
    }

    // Typed or pasted, only digits reach the bid box; Return and Escape neither answer nor close it.
    void bidBoxTakesDigitsOnly() {
        FrmBid& bid = TableForm().BidForm();
        bid.show();
        QTest::keyClicks(bid.TxtBid, "0123a-4567 .8");
        QCOMPARE(bid.TxtBid->text(), QString("012345678"));
        QTest::keyClick(bid.TxtBid, Qt::Key_Backspace); // empties the box
        bid.TxtBid->insert("1x");                       // pasted
        QTest::keyClicks(bid.TxtBid, "9\r\x1b");
        QVERIFY(bid.isVisible() && bid.TxtBid->text() == "9");
        for (const auto& [text, value] : {std::pair{"13", 13}, {"007", 7}, {"99999999999999999999", -1}})
            QCOMPARE(FrmBid::ParseBid(text).value_or(-1), value);
    }

    // The Prof leads, the Lady across from him takes the trick as third to play and leads the
    // next, which the player takes as second to play and so leads the third. On the way the
    // player's clicks out of turn, off suit, while Carry On waits or without a press do nothing.
    void trickPassesToTheWinner() {
        G.GameOn = true;
        G.Trumps = 4;
        G.HandSize = 3;
        Give({"3H AC 6D", "2H 3C 4C", "5H 2D 3D", "KH 4D 5D"});
        Table& t = TableForm();
        const QLabel* names[] = {t.lblPlayer, t.lblProf, t.LblMarigold, t.lblTabitha};
        for (G.Dealer = 4; G.Dealer >= 1; --G.Dealer) { // the dealer's disc nearer his name than any other
            t.Marks->Refresh();
            const QPoint disc = t.Marks->DealerMark->geometry().center();
            const auto away = [&](const QLabel* l) {
                return (l->geometry().center() - disc).manhattanLength();
            };
            QCOMPARE(qint16(std::ranges::min_element(names, {}, away) - names + 1), G.Dealer);
        }
        QObject guard;
        QTimer::singleShot(120000, &guard, [] { Waits::AbandonChain(); }); // fail rather than hang
        Click("3H");                                                       // not the player's turn
        QVERIFY(!TableForm().MnuHint->isEnabled());                        // nor a hint for it
        Waits::RunChain([] { LeadTrick(game, 2, ""); });                   // 2H, 5H, KH
        QVERIFY(G.Turn == 1 && Held(1).size() == 3 && TableForm().MnuHint->isEnabled());
        QTest::mouseRelease(Pic(Card("3H")), Qt::LeftButton, {}, QPoint(5, 5)); // no press
        Click("AC");                                                            // off suit
        QCOMPARE(script.titles, QStringList{"You have the suit"});
        const auto carryOnShown = [] { return TableForm().BtnContinue->isVisible(); };
        // While Carry On waits no seat is to play, the player last or a computer: no seat is marked.
        int turnAtCarryOn = -1;
        const auto marked = [] {
            return int(std::ranges::count_if(TableForm().findChildren<QLabel*>(),
                                             [](QLabel* l) { return l->property("turnMarked").toBool(); }));
        };
        When(carryOnShown, [&] {
            turnAtCarryOn = G.Turn + marked(); // the player's turn ended with the card played
            Click("AC");                       // a second card while Carry On waits
            TableForm().BtnContinue->click();
            When(carryOnShown, [&] { turnAtCarryOn += marked(), TableForm().BtnContinue->click(); });
        });
        Click("3H"); // 3H; the Lady leads 4D
        Click("6D"); // 6D, 3C, 2D
        QCOMPARE(G.TricksMade, (Counts{0, 1, 0, 0, 1}));
        QVERIFY(G.Turn == 1 && Held(5).isEmpty() && Held(1) == QList<int>{Card("AC")} && turnAtCarryOn == 0);
        QVERIFY(ListLines().filter("won that trick").value(0).startsWith("The Lady "));
    }

    void endOfHand_data() { Rows(kEndings); }
    // The end of a hand, and of the game at the end of the 19th. The next hand is dealt: the player's
    // cards face down until the last is dealt, New Game refused meanwhile; the dealer leads and the
    // computers play up to the player.
    void endOfHand() {
        QFETCH(int, i);
        const auto& [name, ended, totals, answer, winner, asked] = kEndings[i];
        const QString scores = dir.filePath("Scores.dat");
        QFile::remove(scores);
        const Counts before = G.GamesWon = {0, 32767, 5, 0, 12};
        Table& t = TableForm();
        QStringList board; // a hand score and a total, as the hand's end shows them
        QByteArray fileAtGameOver = "<not asked>";
        script.answer["Game Over"] = answer;
        Waits::ModalHook = [&](QWidget* w) {
            if (board.isEmpty()) board << t.LblHandSc[3]->text() << t.LblScores[2]->text();
            if (w->windowTitle() == "Game Over") fileAtGameOver = ReadBytes(scores);
            script.Answer(w);
        };
        bool exited = false, faceSeenEarly = false, pressed = false;
        TableForm().ExitHook = [&] { exited = true; };
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            if (Held(0).size() == 52 || Held(0).size() <= 52 - 4 * G.HandSize) return; // not dealing
            for (int c : Held(1))
                faceSeenEarly |= Pic(c)->Image() != 53;
            if (!std::exchange(pressed, true)) t.MNuNew->trigger();
        });
        watch.start(0);
        G.GameOn = true;
        G.HandNumber = static_cast<qint16>(ended);
        G.Dealer = 2;
        G.GameScore = totals;
        SeedDeal(game, 11);
        Waits::RunChain([] { EndOfHand(game); }); // every seat bid 0 and made it: 10 points
        QVERIFY(board.value(0) == "10" && board.value(1).endsWith(" " + QString::number(totals[2] + 10)));
        QCOMPARE(script.titles.join(','), QString(asked)); // New Game refused without a question
        Counts won = before;
        if (winner > 1) ++won[winner];
        QCOMPARE(G.GamesWon, won);
        if (winner >= 0) // a win is on disk before the last question; a draw writes nothing
            QCOMPARE(fileAtGameOver, winner ? DataFiles::FormatScores(won) : QByteArray("<missing>"));
        QCOMPARE(exited, answer == 1);
        if (exited) return;
        QVERIFY(pressed && !faceSeenEarly && G.GameOn && G.Turn == 1 && t.MNuNew->isEnabled());
        QCOMPARE((QList<int>{G.HandNumber, G.HandSize, G.Dealer, G.GameScore[1], G.GameScore[4]}),
                 (winner < 0 ? QList<int>{19, 10, 3, 17, 17} : QList<int>{1, 10, G.Dealer, 0, 0}));
        QCOMPARE(G.TrickSeat1, G.Dealer);
        QCOMPARE(Held(5).size(), (5 - G.Dealer) % 4);
        // The player's cards face up in one row by suit, the Ace high.
        const auto order = [](int c) { return CardSuit(c) * 13 + (c + 11) % 13; };
        QList<int> hand = Held(1);
        std::sort(hand.begin(), hand.end(), [&](int a, int b) { return order(a) < order(b); });
        for (int i = 0; i < hand.size(); ++i)
            QVERIFY(Pic(hand[i])->Image() == hand[i] && Pic(hand[i])->Top() == Pic(hand[0])->Top() &&
                    (i == 0 || Pic(hand[i])->Left() > Pic(hand[i - 1])->Left()));
        // Of all the other cards only one of the pack shows its face, and it names the trump suit.
        QList<int> faceUp;
        for (int c : Held(0) + Held(2) + Held(3) + Held(4))
            if (Pic(c)->Image() <= 52 && Pic(c)->isVisible()) faceUp << c;
        QVERIFY(faceUp.size() == 1 && G.Cards[faceUp[0]].Holder == 0 && CardSuit(faceUp[0]) == G.Trumps);
        QVERIFY(t.LblTrumps->text().endsWith(G.Cards[faceUp[0]].SuitName));
    }

    void unfinishedGameOffered_data() { Rows(kSaved); }
    // At start-up a saved game is offered in the words "hand 5 of 19"; Yes puts the table back as
    // it was saved and plays on, No drops the file; a file that is not whole is not offered.
    void unfinishedGameOffered() {
        const auto& [name, whole, answer, asked] = Row(kSaved);
        QByteArray save;
        game.onSaved = [&](const QByteArray& b) {
            if (G.HandNumber == 5 && G.TrickWinner && save.isEmpty()) save = b;
        };
        DataFiles::SetWriting(false);
        SeedDeal(game, 5);
        HeadlessView(game).PlayGame();
        DataFiles::SetWriting(true);
        game.onSaved = nullptr;
        FreshState(dir.path(), 0.0);
        script.Install();
        script.answer["Unfinished Game"] = answer;
        const QString file = dir.filePath("Game.dat");
        WriteBytes(file, whole ? save : save.left(save.size() / 2));
        Waits::RunChain([] { TableForm().Form_Load(); });
        QCOMPARE(script.titles.contains("Unfinished Game"), asked);
        QVERIFY(!asked || script.messages.join("").contains(" at hand 5 of 19?"));
        QCOMPARE(G.GameOn, asked && answer == 0);
        QCOMPARE(QFile::exists(file), !asked || answer == 0);
        if (!G.GameOn) return;
        QCOMPARE(SavedGameBytes(game), save);
        QVERIFY(WaitFor([] { return G.Turn == 1 && Waits::ChainDepth() == 0; }));
    }
};

QTEST_MAIN(TestGame)
#include "tst_game.moc"
