// The rules without any window: valuation and bids, which card may be played, the
// computer's choice of card, the trick winner and the scoring, and whole random hands
// played out by the computer's rules.
//
// Cards are written as two letters, rank then suit: "AS" Ace of Spades, "TD" Ten of
// Diamonds, "7H", "KC". A hand is a list of them separated by blanks.
#include "ModBidding.h"
#include "ModPlayGame.h"
#include "ModVariables.h"

#include <QtTest>
#include <algorithm>
#include <numeric>
#include <random>

namespace {

constexpr int Diamonds = 1, Clubs = 2, Hearts = 3, Spades = 4;

int Card(const QString& name) {
    const int rank = QStringLiteral("A23456789TJQK").indexOf(name.at(0)) + 1;
    const int suit = QStringLiteral("DCHS").indexOf(name.at(1)) + 1;
    Q_ASSERT(name.size() == 2 && rank > 0 && suit > 0);
    return (suit - 1) * 13 + rank;
}

QStringList Names(const QString& cards) {
    return cards.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

void Fresh(int trumps) {
    ResetGameState();
    MakeCards();
    G.Trumps = static_cast<qint16>(trumps);
}

void GiveCard(int seat, int card) {
    Q_ASSERT(G.Cards[card].Holder == 0);
    G.Cards[card].Holder = static_cast<quint8>(seat);
    ++G.CardsLeft[seat];
}

void Give(int seat, const QString& cards) {
    for (const QString& name : Names(cards))
        GiveCard(seat, Card(name));
}

std::array<qint16*, 4> TrickSlots() {
    return {&G.TrickCard1, &G.TrickCard2, &G.TrickCard3, &G.TrickCard4};
}

void LeadFrom(int leader) {
    G.TrickSeat1 = static_cast<qint16>(leader);
    G.TrickSeat2 = NextSeat(G.TrickSeat1);
    G.TrickSeat3 = NextSeat(G.TrickSeat2);
    G.TrickSeat4 = NextSeat(G.TrickSeat3);
}

// A trick led by seat 1 with `played` already down and the other slots `unplayed`; returns
// the seat to play next. With nothing played, seat 1 is about to lead the first trick of
// the hand, when LedSuit still holds the trump suit.
int TrickSoFar(const QString& played, qint16 unplayed = 0) {
    LeadFrom(1);
    const QStringList names = Names(played);
    G.LedSuit = names.isEmpty() ? G.Trumps : CardSuit(Card(names.first()));
    for (int i = 0; i < 4; ++i) {
        *TrickSlots()[i] = i < names.size() ? static_cast<qint16>(Card(names[i])) : unplayed;
        if (i < names.size()) G.Cards[Card(names[i])].Holder = 5;
    }
    G.Turn = static_cast<qint16>(1 + names.size());
    return G.Turn;
}

QString NameOf(int card) {
    return card >= 1 && card <= 52 ? G.Cards[card].FullName : QString::number(card);
}

} // namespace

class TestRules : public QObject {
    Q_OBJECT

  private slots:
    void cardNumbersAndSuits();
    void countSuits();
    void valueHand_data();
    void valueHand();
    void computerBid_data();
    void computerBid();
    void legalPlay();
    void lowestCards();
    void trickTest_data();
    void trickTest();
    void computerCard_data();
    void computerCard();
    void trickWinner_data();
    void trickWinner();
    void handPointsAndScoreLines();
    void gameWinner_data();
    void gameWinner();
    void randomHandsPlayOutLegally();
};

void TestRules::cardNumbersAndSuits() {
    // The card-letter helper must agree with the card table, or every other test lies.
    Fresh(Spades);
    QCOMPARE(G.Cards[Card("AD")].FullName, QStringLiteral("Ace of Diamonds"));
    QCOMPARE(G.Cards[Card("KS")].FullName, QStringLiteral("King of Spades"));
    QCOMPARE(G.Cards[Card("TH")].FullName, QStringLiteral("Ten of Hearts"));
    for (int card = 1; card <= 52; ++card)
        QCOMPARE(CardSuit(card), G.Cards[card].Suit);
    QCOMPARE(CardSuit(0), quint8(0));
    QCOMPARE(CardSuit(53), quint8(0));
    QCOMPARE(CardSuit(-1), quint8(0));
}

void TestRules::countSuits() {
    Fresh(Spades);
    Give(2, "AS 2S 3H");
    Give(3, "4D 5D");
    G.SuitCount = {0, 7, 7, 7, 7}; // left over from the last seat valued
    CountSuits(2);
    QCOMPARE(G.SuitCount, (std::array<qint16, 5>{0, 0, 0, 1, 2}));
}

void TestRules::valueHand_data() {
    QTest::addColumn<int>("trumps");
    QTest::addColumn<QString>("hand");
    QTest::addColumn<int>("value");
    QTest::newRow("nothing") << Spades << "2D 5C 9H QD JC 7C" << 0;
    QTest::newRow("single small trump") << Spades << "5S 3D 4C" << 1;
    QTest::newRow("three small trumps") << Spades << "2S 3S 4S 9D" << 1;
    QTest::newRow("Aces and Kings of any suit") << Spades << "AD KC 3H" << 2;
    QTest::newRow("Queen of trumps") << Spades << "QS 3D" << 1;
    QTest::newRow("side Queens and Jacks") << Spades << "QH JD JC 4H" << 0;
    QTest::newRow("side Queen, other trumps") << Hearts << "QS 2D" << 0;
    QTest::newRow("long side suit") << Spades << "2D 3D 4D 5D 6D 7D" << 0;
    QTest::newRow("A K + two small trumps") << Spades << "AS KS 4S 7S 2D" << 3;
    QTest::newRow("six small trumps") << Spades << "2S 3S 4S 5S 6S 7S" << 3;
    QTest::newRow("honours count for length too") << Clubs << "AC KC QC 2C 3C" << 5;
    QTest::newRow("one card: King of trumps") << Spades << "KS" << 1;
    QTest::newRow("one card: Ace of trumps") << Spades << "AS" << 1;
    QTest::newRow("one card: small trump") << Spades << "4S" << 1;
    QTest::newRow("one card: small side card") << Spades << "4H" << 0;
}

void TestRules::valueHand() {
    QFETCH(int, trumps);
    QFETCH(QString, hand);
    QFETCH(int, value);
    Fresh(trumps);
    Give(2, hand);
    Give(3, "AH KH"); // another seat's honours are not ours
    QCOMPARE(ValueHand(2), qint16(value));
}

void TestRules::computerBid_data() {
    // Seat 4 bids with `core`, padded with small side cards to `size`; `earlier` are the
    // bids of seats 1..3, and seat 4 is the dealer or not.
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("dealer");
    QTest::addColumn<QString>("earlier");
    QTest::addColumn<QString>("core");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("bid");
    for (int size = 8; size <= 10; ++size) {
        QTest::addRow("value 1 raised, %d cards", size) << size << false << "0 0 0"
                                                        << "5S" << 1 << 2;
        QTest::addRow("value 2 raised, %d cards", size) << size << false << "0 0 0"
                                                        << "AD KD" << 2 << 3;
    }
    QTest::newRow("value 1 kept, 7 cards") << 7 << false << "0 0 0"
                                           << "5S" << 1 << 1;
    QTest::newRow("value 2 kept, 7 cards") << 7 << false << "0 0 0"
                                           << "AD KD" << 2 << 2;
    QTest::newRow("value 0 not raised") << 10 << false << "0 0 0"
                                        << "2D" << 0 << 0;
    QTest::newRow("value 3 not raised") << 10 << false << "0 0 0"
                                        << "AS KS 4S 7S" << 3 << 3;
    QTest::newRow("non-dealer may make the total") << 10 << false << "3 2 2"
                                                   << "AS KS 4S 7S" << 3 << 3;
    QTest::newRow("dealer after 3 2 2 in 10") << 10 << true << "3 2 2"
                                              << "AS KS 4S 7S" << 3 << 4;
    QTest::newRow("dealer after 0 0 0 in 1") << 1 << true << "0 0 0"
                                             << "4S" << 1 << 2;
    QTest::newRow("dealer raised twice after 3 2 0 in 8") << 8 << true << "3 2 0"
                                                          << "AD KD" << 2 << 4;
    QTest::newRow("dealer bid 0 made 1") << 3 << true << "1 1 1"
                                         << "2D" << 0 << 1;
    QTest::newRow("dealer total short of the hand") << 10 << true << "3 2 1"
                                                    << "AS KS 4S 7S" << 3 << 3;
    QTest::newRow("dealer total above the hand") << 2 << true << "1 1 1"
                                                 << "4S" << 1 << 1;
}

void TestRules::computerBid() {
    QFETCH(int, size);
    QFETCH(bool, dealer);
    QFETCH(QString, earlier);
    QFETCH(QString, core);
    QFETCH(int, value);
    QFETCH(int, bid);
    Fresh(Spades);
    G.HandSize = static_cast<qint16>(size);
    G.Dealer = dealer ? 4 : 1;
    const QStringList bids = Names(earlier);
    for (int seat = 1; seat <= 3; ++seat)
        G.Bids[seat] = static_cast<qint16>(bids[seat - 1].toInt());
    G.Bids[4] = 7; // a stale value: the bid being made replaces it

    Give(4, core);
    // Padding: Twos to Nines of the side suits add nothing to the value.
    for (int card = 1; card <= 52 && G.CardsLeft[4] < size; ++card) {
        const int rank = (card - 1) % 13 + 1;
        if (CardSuit(card) != Spades && rank >= 2 && rank <= 9 && G.Cards[card].Holder == 0)
            GiveCard(4, card);
    }
    QCOMPARE(G.CardsLeft[4], qint16(size));
    QCOMPARE(ValueHand(4), qint16(value));
    QCOMPARE(ComputeComputerBid(4), qint16(bid));
    QCOMPARE(G.Bids[4], qint16(7)); // computing a bid stores nothing
}

void TestRules::legalPlay() {
    Fresh(Spades);
    Give(1, "5H 9H 2S KD");
    Give(2, "AC 3S");

    // Leading, even the first lead while LedSuit still names trumps: anything held.
    TrickSoFar("");
    for (const char* card : {"5H", "9H", "2S", "KD"})
        QVERIFY2(IsLegalPlay(1, Card(card)), card);
    QVERIFY(!IsLegalPlay(1, Card("AC"))); // another seat's card
    QVERIFY(!IsLegalPlay(1, Card("3D"))); // still in the pack
    QVERIFY(!IsLegalPlay(1, 0));
    QVERIFY(!IsLegalPlay(1, 53));
    QVERIFY(!IsLegalPlay(0, Card("3D")));

    // Following with the led suit in hand: only the led suit, trump or not.
    Give(4, "6H");
    LeadFrom(4);
    G.LedSuit = Hearts;
    G.TrickCard1 = static_cast<qint16>(Card("6H"));
    G.Cards[Card("6H")].Holder = 5;
    QVERIFY(IsLegalPlay(1, Card("5H")));
    QVERIFY(IsLegalPlay(1, Card("9H")));
    QVERIFY(!IsLegalPlay(1, Card("2S")));
    QVERIFY(!IsLegalPlay(1, Card("KD")));
    QVERIFY(!IsLegalPlay(1, Card("6H"))); // already in the trick

    // Void in the led suit: anything held, no obligation to ruff.
    QVERIFY(IsLegalPlay(2, Card("AC")));
    QVERIFY(IsLegalPlay(2, Card("3S")));
}

void TestRules::lowestCards() {
    Fresh(Spades);
    QCOMPARE(LowestCard(2), qint16(0));
    Give(2, "KC");
    QCOMPARE(LowestCard(2), qint16(Card("KC")));
    Give(3, "AH");
    QCOMPARE(LowestCard(3), qint16(Card("AH")));
    Give(3, "KS");
    QCOMPARE(LowestCard(3), qint16(Card("KS"))); // the Ace counts above the King
    Give(4, "2S 9D 2D 4S");
    QCOMPARE(LowestCard(4), qint16(Card("2D"))); // equal ranks: Diamonds first
    Give(1, "8D 3S");                            // trumps are not spared
    QCOMPARE(LowestCard(1), qint16(Card("3S")));

    Fresh(Spades);
    Give(2, "AH 7H 3H QD");
    QCOMPARE(LowestOfSuit(2, Hearts), qint16(Card("3H")));
    QCOMPARE(LowestOfSuit(2, Diamonds), qint16(Card("QD")));
    QCOMPARE(LowestOfSuit(2, Clubs), qint16(0));
    G.Cards[Card("7H")].Holder = 0;
    G.Cards[Card("3H")].Holder = 0;
    QCOMPARE(LowestOfSuit(2, Hearts), qint16(Card("AH")));
}

void TestRules::trickTest_data() {
    QTest::addColumn<int>("trumps");
    QTest::addColumn<QString>("trick");
    QTest::addColumn<int>("unplayed");
    QTest::addColumn<QString>("card");
    QTest::addColumn<bool>("passes");
    QTest::newRow("higher card") << Spades << "9H" << 0 << "JH" << true;
    QTest::newRow("lower card") << Spades << "9H" << 0 << "7H" << false;
    QTest::newRow("King under a played Ace") << Spades << "AH" << 0 << "KH" << false;
    QTest::newRow("must beat every card down") << Spades << "9H 4H QH" << 0 << "JH" << false;
    QTest::newRow("beats every card down") << Spades << "9H 4H QH" << 0 << "KH" << true;
    QTest::newRow("trump in the trick") << Spades << "5H 2S" << 0 << "KH" << false;
    QTest::newRow("third-suit discard ignored") << Spades << "5H AD" << 0 << "7H" << true;
    QTest::newRow("trumps led, higher trump") << Spades << "9S 2D" << 0 << "JS" << true;
    QTest::newRow("trumps led, lower trump") << Spades << "9S" << 0 << "4S" << false;
    QTest::newRow("first trick, -1 slots") << Spades << "5H" << -1 << "6H" << true;
    QTest::newRow("first trick, -1 slots, lower") << Spades << "5H" << -1 << "4H" << false;
    QTest::newRow("three down, 0 slot") << Hearts << "3D 2D TD" << 0 << "JD" << true;
}

void TestRules::trickTest() {
    QFETCH(int, trumps);
    QFETCH(QString, trick);
    QFETCH(int, unplayed);
    QFETCH(QString, card);
    QFETCH(bool, passes);
    Fresh(trumps);
    const int seat = TrickSoFar(trick, static_cast<qint16>(unplayed));
    Give(seat, card);
    QCOMPARE(PassesTrickTest(Card(card)), passes);
    // Passing means taking the trick as it stands.
    *TrickSlots()[seat - 1] = static_cast<qint16>(Card(card));
    QCOMPARE(WinnerOfTrick() == Card(card), passes);
}

void TestRules::computerCard_data() {
    // `trick` empty: the seat leads; otherwise it follows the cards listed.
    QTest::addColumn<int>("trumps");
    QTest::addColumn<int>("bid");
    QTest::addColumn<QString>("trick");
    QTest::addColumn<QString>("hand");
    QTest::addColumn<QString>("plays");
    QTest::newRow("0: last card, leading") << Spades << 0 << ""
                                           << "AS"
                                           << "AS";
    QTest::newRow("0: last card, off suit") << Spades << 2 << "5D"
                                            << "KH"
                                            << "KH";
    QTest::newRow("1a: lowest rank, Diamonds first") << Spades << 0 << ""
                                                     << "2S 2D 9H"
                                                     << "2D";
    QTest::newRow("1a: Ace counts highest") << Spades << 0 << ""
                                            << "AH KC"
                                            << "KC";
    QTest::newRow("1b: first Ace in card order") << Spades << 1 << ""
                                                 << "AH 5D AC"
                                                 << "AC";
    QTest::newRow("1b: Ace of trumps not spared") << Hearts << 3 << ""
                                                  << "AH 2D"
                                                  << "AH";
    QTest::newRow("1b: no Ace, lowest rank") << Spades << 2 << ""
                                             << "3S 9D"
                                             << "3S";
    QTest::newRow("2a: lowest of the suit") << Spades << 0 << "9H"
                                            << "AH 7H 3H KD"
                                            << "3H";
    QTest::newRow("2a: Ace kept back") << Spades << 0 << "9H"
                                       << "AH 7H"
                                       << "7H";
    QTest::newRow("2a: only the Ace") << Spades << 0 << "9H"
                                      << "AH 4D"
                                      << "AH";
    QTest::newRow("2b: Seven fails, Ace") << Spades << 1 << "9H"
                                          << "AH 7H"
                                          << "AH";
    QTest::newRow("2b: highest winner from the King") << Spades << 1 << "TH"
                                                      << "KH 9H 4H"
                                                      << "KH";
    QTest::newRow("2b: King passes before the Ace") << Spades << 1 << "TH"
                                                    << "AH KH 4H"
                                                    << "KH";
    QTest::newRow("2b: Queen over the Jack") << Spades << 1 << "JH 2H"
                                             << "QH 4H"
                                             << "QH";
    QTest::newRow("2b: nothing passes, lowest") << Spades << 1 << "AH"
                                                << "KH 9H 4H"
                                                << "4H";
    QTest::newRow("2b: ruffed, lowest") << Spades << 2 << "5H 2S"
                                        << "KH 9H"
                                        << "9H";
    QTest::newRow("2b: ruffed, Ace still played") << Spades << 2 << "5H 2S"
                                                  << "AH 9H"
                                                  << "AH";
    QTest::newRow("3a: an Ace first") << Spades << 0 << "5S"
                                      << "KC AD 4H"
                                      << "AD";
    QTest::newRow("3a: Kings in card order") << Spades << 0 << "5S"
                                             << "KH QD KC"
                                             << "KC";
    QTest::newRow("3a: Eight to Queen, descending") << Clubs << 0 << "5C"
                                                    << "QH 9S"
                                                    << "9S";
    QTest::newRow("3a: Queen of Spades first") << Clubs << 0 << "5C"
                                               << "8S QH QS 2S"
                                               << "QS";
    QTest::newRow("3a: Eight of Spades before Queen of Hearts") << Clubs << 0 << "5C"
                                                                << "8S QH 2S"
                                                                << "8S";
    QTest::newRow("3a: small cards, descending") << Clubs << 0 << "5C"
                                                 << "7H 3S"
                                                 << "3S";
    QTest::newRow("3b: Spade before the Ace of Spades") << Diamonds << 0 << "5C"
                                                        << "AS 3S 4H"
                                                        << "3S";
    QTest::newRow("3b: any Spade before a Heart") << Diamonds << 0 << "5C"
                                                  << "AS KH"
                                                  << "AS";
    QTest::newRow("3b: no ruff while a discard is left") << Spades << 0 << "5C"
                                                         << "KS 2D"
                                                         << "2D";
    QTest::newRow("3b: only trumps") << Spades << 0 << "5C"
                                     << "2S KS"
                                     << "KS";
    QTest::newRow("3c: ruff low-numbered, Ace kept") << Spades << 1 << "5H"
                                                     << "AS 5S 2D"
                                                     << "5S";
    QTest::newRow("3c: King of trumps first") << Spades << 1 << "5H"
                                              << "2S KS"
                                              << "KS";
    QTest::newRow("3c: the only trump is the Ace") << Spades << 1 << "5H"
                                                   << "AS 3D"
                                                   << "AS";
    QTest::newRow("3c: no trump, lowest card") << Spades << 1 << "5H 2S"
                                               << "AD 3C 3D"
                                               << "3D";
}

void TestRules::computerCard() {
    QFETCH(int, trumps);
    QFETCH(int, bid);
    QFETCH(QString, trick);
    QFETCH(QString, hand);
    QFETCH(QString, plays);
    // Tricks already taken change nothing: a seat whose bid is made still plays to win.
    for (const int made : {0, bid, bid + 2}) {
        Fresh(trumps);
        const int seat = TrickSoFar(trick);
        G.Bids[seat] = static_cast<qint16>(bid);
        G.TricksMade[seat] = static_cast<qint16>(made);
        Give(seat, hand);
        const int card = ChooseComputerCard(seat);
        QCOMPARE(NameOf(card), G.Cards[Card(plays)].FullName);
        QVERIFY(IsLegalPlay(seat, card));
    }
}

void TestRules::trickWinner_data() {
    QTest::addColumn<int>("trumps");
    QTest::addColumn<QString>("trick");
    QTest::addColumn<QString>("winner");
    QTest::newRow("led suit: Ace") << Spades << "5H AH KH 2H"
                                   << "AH";
    QTest::newRow("led suit: King without Ace") << Spades << "5H QH KH 2H"
                                                << "KH";
    QTest::newRow("led suit: Ace led") << Spades << "AH 5H KH 2H"
                                       << "AH";
    QTest::newRow("led suit: last card") << Spades << "5H 6H 7H 8H"
                                         << "8H";
    QTest::newRow("single trump beats the Ace") << Spades << "AH 2S KH QH"
                                                << "2S";
    QTest::newRow("higher of two trumps") << Spades << "5H 3S 9S AH"
                                          << "9S";
    QTest::newRow("Ace of trumps above King") << Spades << "5H KS AS 2H"
                                              << "AS";
    QTest::newRow("trumps led") << Spades << "5S AH KS 2D"
                                << "KS";
    QTest::newRow("third suit never, not its Ace") << Spades << "5H AD 2H 3H"
                                                   << "5H";
    QTest::newRow("all others discard") << Spades << "5H AD AC KD"
                                        << "5H";
    QTest::newRow("nothing down yet") << Spades << ""
                                      << "";
}

void TestRules::trickWinner() {
    QFETCH(int, trumps);
    QFETCH(QString, trick);
    QFETCH(QString, winner);
    Fresh(trumps);
    TrickSoFar(trick);
    QCOMPARE(WinnerOfTrick(), qint16(winner.isEmpty() ? 0 : Card(winner)));
}

void TestRules::handPointsAndScoreLines() {
    QCOMPARE(HandPoints(0, 0), qint16(10));
    QCOMPARE(HandPoints(0, 1), qint16(1));
    QCOMPARE(HandPoints(3, 3), qint16(13));
    QCOMPARE(HandPoints(3, 2), qint16(2));
    QCOMPARE(HandPoints(3, 4), qint16(4));
    QCOMPARE(HandPoints(10, 10), qint16(20));

    Fresh(Spades);
    G.PlayerName = QStringLiteral("Player");
    QCOMPARE(ScoreLine(1, 42), QStringLiteral("Player :42"));
    QCOMPARE(ScoreLine(2, 42), QStringLiteral("The Prof : 42"));
    QCOMPARE(ScoreLine(3, 42), QStringLiteral("Marigold : 42"));
    QCOMPARE(ScoreLine(4, 42), QStringLiteral("Tabitha :  42"));
    QCOMPARE(ScoreLine(2, 0), QStringLiteral("The Prof : 0"));
    QCOMPARE(ScoreLine(4, 190), QStringLiteral("Tabitha :  190"));
}

void TestRules::gameWinner_data() {
    QTest::addColumn<QList<int>>("totals");
    QTest::addColumn<int>("winner");
    QTest::newRow("top shared by two") << QList<int>{40, 40, 30, 20} << 0;
    QTest::newRow("all equal") << QList<int>{40, 40, 40, 40} << 0;
    QTest::newRow("ties below the top") << QList<int>{50, 30, 30, 20} << 1;
    QTest::newRow("by one point") << QList<int>{30, 55, 10, 54} << 2;
    QTest::newRow("last seat") << QList<int>{0, 0, 0, 1} << 4;
    QTest::newRow("top shared by the last two") << QList<int>{10, 20, 60, 60} << 0;
}

void TestRules::gameWinner() {
    QFETCH(QList<int>, totals);
    QFETCH(int, winner);
    Fresh(Spades);
    for (int seat = 1; seat <= 4; ++seat)
        G.GameScore[seat] = static_cast<qint16>(totals[seat - 1]);
    QCOMPARE(GameWinner(), winner);
}

namespace {

int Strength(int card) {
    return (card - 1) % 13 == 0 ? 14 : (card - 1) % 13 + 1;
}

// What the choice of `card` by `seat` must look like whatever the details of the rules, as
// the trick stands before it is played; an empty answer when it is fine.
QString CheckChoice(int seat, int card, int place) {
    const bool bidZero = G.Bids[seat] == 0;
    const auto held = [seat](auto wanted) {
        for (int c = 1; c <= 52; ++c)
            if (G.Cards[c].Holder == seat && wanted(c)) return true;
        return false;
    };
    const auto ofSuit = [](int suit) { return [suit](int c) { return CardSuit(c) == suit; }; };
    if (G.CardsLeft[seat] == 1 || place == 0) {
        if (place == 0 && !bidZero && G.CardsLeft[seat] > 1 &&
            held([](int c) { return Strength(c) == 14; }) && Strength(card) != 14)
            return QStringLiteral("a leader with a bid kept its Ace");
        return {};
    }
    if (held(ofSuit(G.LedSuit))) {
        if (bidZero && Strength(card) == 14 &&
            held([](int c) { return CardSuit(c) == G.LedSuit && Strength(c) != 14; }))
            return QStringLiteral("ducking seat gave up its Ace of the led suit");
        if (!bidZero) {
            // If some card of the suit would take the trick as it stands, the seat takes it.
            bool couldWin = false;
            qint16& slot = *TrickSlots()[place];
            const qint16 unplayed = slot;
            for (int c = 1; c <= 52; ++c) {
                if (G.Cards[c].Holder != seat || CardSuit(c) != G.LedSuit) continue;
                slot = static_cast<qint16>(c);
                couldWin = couldWin || WinnerOfTrick() == c;
            }
            slot = static_cast<qint16>(card);
            const bool wins = WinnerOfTrick() == card;
            slot = unplayed;
            if (couldWin && !wins) return QStringLiteral("missed a card that takes the trick");
        }
        return {};
    }
    if (!bidZero && held(ofSuit(G.Trumps)) && CardSuit(card) != G.Trumps)
        return QStringLiteral("did not ruff");
    if (bidZero && G.LedSuit != G.Trumps && CardSuit(card) == G.Trumps &&
        held([](int c) { return CardSuit(c) != G.Trumps; }))
        return QStringLiteral("ruffed while a discard was left");
    return {};
}

} // namespace

void TestRules::randomHandsPlayOutLegally() {
    for (unsigned seed = 1; seed <= 600; ++seed) {
        std::mt19937 random(seed);
        Fresh(0);
        const int size = 1 + static_cast<int>(seed % 10);
        G.HandSize = static_cast<qint16>(size);
        G.Dealer = static_cast<qint16>(1 + random() % 4);

        // Deal one card at a time from the dealer's left, then turn up trumps.
        std::vector<int> pack(52);
        std::iota(pack.begin(), pack.end(), 1);
        std::shuffle(pack.begin(), pack.end(), random);
        int next = 0;
        for (int round = 0; round < size; ++round)
            for (int seat = NextSeat(G.Dealer), n = 0; n < 4; ++n, seat = NextSeat(seat)) {
                G.Cards[pack[next++]].Holder = static_cast<quint8>(seat);
                ++G.CardsLeft[seat];
            }
        G.Trumps = CardSuit(pack[next]);
        G.LedSuit = G.Trumps;

        // Everybody bids by the computer's rule, the dealer last.
        for (int seat = NextSeat(G.Dealer), n = 0; n < 4; ++n, seat = NextSeat(seat))
            G.Bids[seat] = ComputeComputerBid(seat);
        QVERIFY2(G.Bids[1] + G.Bids[2] + G.Bids[3] + G.Bids[4] != size, qPrintable(QString::number(seed)));

        G.TrickCard1 = G.TrickCard2 = G.TrickCard3 = G.TrickCard4 = -1;
        int leader = G.Dealer;
        for (int trick = 0; trick < size; ++trick) {
            LeadFrom(leader);
            const std::array<int, 4> order{G.TrickSeat1, G.TrickSeat2, G.TrickSeat3, G.TrickSeat4};
            for (int place = 0; place < 4; ++place) {
                const int seat = order[place];
                const QString where =
                    QStringLiteral("seed %1 trick %2 seat %3").arg(seed).arg(trick).arg(seat);
                G.Turn = static_cast<qint16>(seat);
                const int card = ChooseComputerCard(seat);
                QVERIFY2(IsLegalPlay(seat, card), qPrintable(where + QStringLiteral(": ") + NameOf(card)));
                const QString why = CheckChoice(seat, card, place);
                QVERIFY2(why.isEmpty(), qPrintable(where + QStringLiteral(": ") + why));

                --G.CardsLeft[seat];
                G.Cards[card].Holder = 5;
                if (place == 0) G.LedSuit = CardSuit(card);
                *TrickSlots()[place] = static_cast<qint16>(card);
            }

            // The winner is in the trick and is the strongest trump, else the strongest of
            // the led suit.
            const int winner = WinnerOfTrick();
            const std::array<int, 4> cards{G.TrickCard1, G.TrickCard2, G.TrickCard3, G.TrickCard4};
            const bool ruffed =
                std::any_of(cards.begin(), cards.end(), [](int c) { return CardSuit(c) == G.Trumps; });
            const int winningSuit = ruffed ? G.Trumps : G.LedSuit;
            const auto at = std::find(cards.begin(), cards.end(), winner);
            QVERIFY(at != cards.end());
            QCOMPARE(int(CardSuit(winner)), winningSuit);
            for (const int c : cards)
                if (CardSuit(c) == winningSuit) QVERIFY(Strength(c) <= Strength(winner));

            leader = order[at - cards.begin()];
            ++G.TricksMade[leader];
            for (const int c : cards)
                G.Cards[c].Holder = 0;
            G.TrickCard1 = G.TrickCard2 = G.TrickCard3 = G.TrickCard4 = 0;
            for (int seat = 1; seat <= 4; ++seat)
                QCOMPARE(int(G.CardsLeft[seat]),
                         int(std::count_if(G.Cards.begin() + 1, G.Cards.end(),
                                           [seat](const CardRec& c) { return c.Holder == seat; })));
        }
        QCOMPARE(G.TricksMade[1] + G.TricksMade[2] + G.TricksMade[3] + G.TricksMade[4], size);
        for (int seat = 1; seat <= 4; ++seat)
            QCOMPARE(G.CardsLeft[seat], qint16(0));
    }
}

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
