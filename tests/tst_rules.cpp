// The rules without any window: valuation and bids, legal play, the computer's choice of card,
// the trick test and winner, scoring, and random hands played out by the computer's rules.
// Cards are rank then suit: "AS" Ace of Spades, "TD" Ten of Diamonds; a hand lists them with blanks.
#include "TestSupport.h"

#include "ModBidding.h"
#include "ModPlayGame.h"

#include <QtTest>
#include <numeric>
#include <random>

using TestSupport::Rows;

namespace {

constexpr int D = 1, C = 2, H = 3, S = 4;

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

qint16& Slot(int place) {
    return *std::array{&G.TrickCard1, &G.TrickCard2, &G.TrickCard3, &G.TrickCard4}[place];
}

void LeadFrom(int leader) {
    G.TrickSeat1 = static_cast<qint16>(leader);
    SetTrickOrder();
}

// A trick led by seat 1 with `played` down and the other slots `unplayed`; returns the seat to
// play next. With nothing played seat 1 leads the hand's first trick, when LedSuit still holds
// the trump suit.
int TrickSoFar(const QString& played, qint16 unplayed = 0) {
    LeadFrom(1);
    const QStringList names = Names(played);
    G.LedSuit = names.isEmpty() ? G.Trumps : CardSuit(Card(names.first()));
    for (int i = 0; i < 4; ++i) {
        Slot(i) = i < names.size() ? static_cast<qint16>(Card(names[i])) : unplayed;
        if (i < names.size()) G.Cards[Card(names[i])].Holder = 5;
    }
    G.Turn = static_cast<qint16>(1 + names.size());
    return G.Turn;
}

// name, hand, trumps, value
const std::tuple<const char*, const char*, int, int> kValues[] = {
    {"nothing", "2D 5C 9H QD JC 7C", S, 0},
    {"single small trump", "5S 3D 4C", S, 1},
    {"three small trumps", "2S 3S 4S 9D", S, 1},
    {"Aces and Kings of any suit", "AD KC 3H", S, 2},
    {"Queen of trumps", "QS 3D", S, 1},
    {"side Queens and Jacks", "QH JD JC 4H", S, 0},
    {"side Queen, other trumps", "QS 2D", H, 0},
    {"long side suit", "2D 3D 4D 5D 6D 7D", S, 0},
    {"A K + two small trumps", "AS KS 4S 7S 2D", S, 3},
    {"six small trumps", "2S 3S 4S 5S 6S 7S", S, 3},
    {"honours count for length too", "AC KC QC 2C 3C", C, 5},
    {"one card: King of trumps", "KS", S, 1},
    {"one card: Ace of trumps", "AS", S, 1},
    {"one card: small trump", "4S", S, 1},
    {"one card: small side card", "4H", S, 0},
};

// name, hand size, seat 4 deals, bids of seats 1..3, seat 4's cards, value, bid
const std::tuple<const char*, int, bool, const char*, const char*, int, int> kBids[] = {
    {"value 1 raised, 8 cards", 8, false, "0 0 0", "5S", 1, 2},
    {"value 2 raised, 10 cards", 10, false, "0 0 0", "AD KD", 2, 3},
    {"value 1 kept, 7 cards", 7, false, "0 0 0", "5S", 1, 1},
    {"value 2 kept, 7 cards", 7, false, "0 0 0", "AD KD", 2, 2},
    {"value 0 not raised", 10, false, "0 0 0", "2D", 0, 0},
    {"value 3 not raised", 10, false, "0 0 0", "AS KS 4S 7S", 3, 3},
    {"non-dealer may make the total", 10, false, "3 2 2", "AS KS 4S 7S", 3, 3},
    {"dealer after 3 2 2 in 10", 10, true, "3 2 2", "AS KS 4S 7S", 3, 4},
    {"dealer after 0 0 0 in 1", 1, true, "0 0 0", "4S", 1, 2},
    {"dealer raised twice after 3 2 0 in 8", 8, true, "3 2 0", "AD KD", 2, 4},
    {"dealer bid 0 made 1", 3, true, "1 1 1", "2D", 0, 1},
    {"dealer total short of the hand", 10, true, "3 2 1", "AS KS 4S 7S", 3, 3},
    {"dealer total above the hand", 2, true, "1 1 1", "4S", 1, 1},
};

// name, trick so far, card, trumps, unplayed slots, passes
const std::tuple<const char*, const char*, const char*, int, int, bool> kTrickTests[] = {
    {"higher card", "9H", "JH", S, 0, true},
    {"lower card", "9H", "7H", S, 0, false},
    {"King under a played Ace", "AH", "KH", S, 0, false},
    {"must beat every card down", "9H 4H QH", "JH", S, 0, false},
    {"beats every card down", "9H 4H QH", "KH", S, 0, true},
    {"trump in the trick", "5H 2S", "KH", S, 0, false},
    {"third-suit discard ignored", "5H AD", "7H", S, 0, true},
    {"trumps led, higher trump", "9S 2D", "JS", S, 0, true},
    {"trumps led, lower trump", "9S", "4S", S, 0, false},
    {"first trick, -1 slots", "5H", "6H", S, -1, true},
    {"first trick, -1 slots, lower", "5H", "4H", S, -1, false},
    {"three down, 0 slot", "3D 2D TD", "JD", H, 0, true},
};

// name, trumps, bid, trick so far (empty: the seat leads), hand, card played
const std::tuple<const char*, int, int, const char*, const char*, const char*> kCards[] = {
    {"0: last card, leading", S, 0, "", "AS", "AS"},
    {"0: last card, off suit", S, 2, "5D", "KH", "KH"},
    {"1a: lowest rank, Diamonds first", S, 0, "", "2S 2D 9H", "2D"},
    {"1a: Ace counts highest", S, 0, "", "AH KC", "KC"},
    {"1b: first Ace in card order", S, 1, "", "AH 5D AC", "AC"},
    {"1b: Ace of trumps not spared", H, 3, "", "AH 2D", "AH"},
    {"1b: no Ace, lowest rank", S, 2, "", "3S 9D", "3S"},
    {"2a: lowest of the suit", S, 0, "9H", "AH 7H 3H KD", "3H"},
    {"2a: Ace kept back", S, 0, "9H", "AH 7H", "7H"},
    {"2a: only the Ace", S, 0, "9H", "AH 4D", "AH"},
    {"2b: Seven fails, Ace", S, 1, "9H", "AH 7H", "AH"},
    {"2b: highest winner from the King", S, 1, "TH", "KH 9H 4H", "KH"},
    {"2b: King passes before the Ace", S, 1, "TH", "AH KH 4H", "KH"},
    {"2b: Queen over the Jack", S, 1, "JH 2H", "QH 4H", "QH"},
    {"2b: nothing passes, lowest", S, 1, "AH", "KH 9H 4H", "4H"},
    {"2b: ruffed, lowest", S, 2, "5H 2S", "KH 9H", "9H"},
    {"2b: ruffed, Ace still played", S, 2, "5H 2S", "AH 9H", "AH"},
    {"3a: an Ace first", S, 0, "5S", "KC AD 4H", "AD"},
    {"3a: Kings in card order", S, 0, "5S", "KH QD KC", "KC"},
    {"3a: Eight to Queen, descending", C, 0, "5C", "QH 9S", "9S"},
    {"3a: Queen of Spades first", C, 0, "5C", "8S QH QS 2S", "QS"},
    {"3a: Eight of Spades before Queen of Hearts", C, 0, "5C", "8S QH 2S", "8S"},
    {"3a: small cards, descending", C, 0, "5C", "7H 3S", "3S"},
    {"3b: Spade before the Ace of Spades", D, 0, "5C", "AS 3S 4H", "3S"},
    {"3b: any Spade before a Heart", D, 0, "5C", "AS KH", "AS"},
    {"3b: no ruff while a discard is left", S, 0, "5C", "KS 2D", "2D"},
    {"3b: only trumps", S, 0, "5C", "2S KS", "KS"},
    {"3c: ruff low-numbered, Ace kept", S, 1, "5H", "AS 5S 2D", "5S"},
    {"3c: King of trumps first", S, 1, "5H", "2S KS", "KS"},
    {"3c: the only trump is the Ace", S, 1, "5H", "AS 3D", "AS"},
    {"3c: no trump, lowest card", S, 1, "5H 2S", "AD 3C 3D", "3D"},
};

// name, trick (Spades trumps), winning card
const std::tuple<const char*, const char*, const char*> kWinners[] = {
    {"led suit: Ace", "5H AH KH 2H", "AH"},
    {"led suit: King without Ace", "5H QH KH 2H", "KH"},
    {"led suit: Ace led", "AH 5H KH 2H", "AH"},
    {"led suit: last card", "5H 6H 7H 8H", "8H"},
    {"single trump beats the Ace", "AH 2S KH QH", "2S"},
    {"higher of two trumps", "5H 3S 9S AH", "9S"},
    {"Ace of trumps above King", "5H KS AS 2H", "AS"},
    {"trumps led", "5S AH KS 2D", "KS"},
    {"third suit never, not its Ace", "5H AD 2H 3H", "5H"},
    {"all others discard", "5H AD AC KD", "5H"},
    {"nothing down yet", "", ""},
};

// name, totals, winner
const std::tuple<const char*, std::array<qint16, 5>, int> kGameWinners[] = {
    {"top shared by two", {0, 40, 40, 30, 20}, 0},
    {"all equal", {0, 40, 40, 40, 40}, 0},
    {"ties below the top", {0, 50, 30, 30, 20}, 1},
    {"by one point", {0, 30, 55, 10, 54}, 2},
    {"last seat", {0, 0, 0, 0, 1}, 4},
    {"top shared by the last two", {0, 10, 20, 60, 60}, 0},
};

} // namespace

class TestRules : public QObject {
    Q_OBJECT

  private slots:
    void cardsAndSuitCounts() {
        // The card-letter helper must agree with the card table, or every other test lies.
        Fresh(S);
        QCOMPARE(G.Cards[Card("TH")].FullName, QStringLiteral("Ten of Hearts"));
        for (int card = 1; card <= 52; ++card)
            QCOMPARE(CardSuit(card), G.Cards[card].Suit);
        QVERIFY(CardSuit(0) == 0 && CardSuit(53) == 0 && CardSuit(-1) == 0);
        Give(2, "AS 2S 3H");
        Give(3, "4D 5D");
        G.SuitCount = {0, 7, 7, 7, 7}; // left over from the last seat valued
        CountSuits(2);
        QCOMPARE(G.SuitCount, (std::array<qint16, 5>{0, 0, 0, 1, 2}));
    }

    void valueHand_data() { Rows(kValues); }
    void valueHand() {
        QFETCH(int, i);
        const auto& [name, hand, trumps, value] = kValues[i];
        Fresh(trumps);
        Give(2, hand);
        Give(3, "AH KH"); // another seat's honours are not ours
        QCOMPARE(ValueHand(2), qint16(value));
    }

    void computerBid_data() { Rows(kBids); }
    void computerBid() {
        QFETCH(int, i);
        const auto& [name, size, dealer, earlier, cards, value, bid] = kBids[i];
        Fresh(S);
        G.HandSize = static_cast<qint16>(size);
        G.Dealer = dealer ? 4 : 1;
        for (int seat = 1; seat <= 3; ++seat)
            G.Bids[seat] = static_cast<qint16>(Names(earlier)[seat - 1].toInt());
        G.Bids[4] = 7; // a stale value: the bid being made replaces it
        Give(4, cards);
        // Padding to the hand's size: Twos to Nines of the side suits add nothing to the value.
        for (int card = 1; card <= 52 && G.CardsLeft[4] < size; ++card)
            if (CardSuit(card) != S && (card - 1) % 13 >= 1 && (card - 1) % 13 <= 8 && !G.Cards[card].Holder)
                GiveCard(4, card);
        QCOMPARE(ValueHand(4), qint16(value));
        QCOMPARE(ComputeComputerBid(4), qint16(bid));
        QCOMPARE(G.Bids[4], qint16(7)); // computing a bid stores nothing
    }

    void legalPlay() {
        Fresh(S);
        Give(1, "5H 9H 2S KD");
        Give(2, "AC 3S");
        // Leading, even the first lead while LedSuit still names trumps: anything held.
        TrickSoFar("");
        for (const char* card : {"5H", "9H", "2S", "KD"})
            QVERIFY2(IsLegalPlay(1, Card(card)), card);
        QVERIFY(!IsLegalPlay(1, Card("AC"))); // another seat's card
        QVERIFY(!IsLegalPlay(1, Card("3D"))); // still in the pack
        QVERIFY(!IsLegalPlay(1, 0) && !IsLegalPlay(1, 53) && !IsLegalPlay(0, Card("3D")));

        // Following with the led suit in hand: only the led suit, trump or not.
        Give(4, "6H");
        LeadFrom(4);
        G.LedSuit = H;
        G.TrickCard1 = static_cast<qint16>(Card("6H"));
        G.Cards[Card("6H")].Holder = 5;
        QVERIFY(IsLegalPlay(1, Card("5H")) && IsLegalPlay(1, Card("9H")));
        QVERIFY(!IsLegalPlay(1, Card("2S")) && !IsLegalPlay(1, Card("KD")));
        QVERIFY(!IsLegalPlay(1, Card("6H"))); // already in the trick
        // Void in the led suit: anything held, no obligation to ruff.
        QVERIFY(IsLegalPlay(2, Card("AC")) && IsLegalPlay(2, Card("3S")));
    }

    void trickTest_data() { Rows(kTrickTests); }
    void trickTest() {
        QFETCH(int, i);
        const auto& [name, trick, card, trumps, unplayed, passes] = kTrickTests[i];
        Fresh(trumps);
        const int seat = TrickSoFar(trick, static_cast<qint16>(unplayed));
        Give(seat, card);
        QCOMPARE(PassesTrickTest(Card(card)), passes);
        // Passing means taking the trick as it stands.
        Slot(seat - 1) = static_cast<qint16>(Card(card));
        QCOMPARE(WinnerOfTrick() == Card(card), passes);
    }

    void computerCard_data() { Rows(kCards); }
    void computerCard() {
        QFETCH(int, i);
        const auto& [name, trumps, bid, trick, hand, plays] = kCards[i];
        // Tricks already taken change nothing: a seat whose bid is made still plays to win.
        for (const int made : {0, bid, bid + 2}) {
            Fresh(trumps);
            const int seat = TrickSoFar(trick);
            G.Bids[seat] = static_cast<qint16>(bid);
            G.TricksMade[seat] = static_cast<qint16>(made);
            Give(seat, hand);
            const int card = ChooseComputerCard(seat);
            QCOMPARE(G.Cards[qBound(0, card, 52)].FullName, G.Cards[Card(plays)].FullName);
            QVERIFY(IsLegalPlay(seat, card));
        }
    }

    void trickWinner_data() { Rows(kWinners); }
    void trickWinner() {
        QFETCH(int, i);
        const auto& [name, trick, winner] = kWinners[i];
        Fresh(S);
        TrickSoFar(trick);
        QCOMPARE(WinnerOfTrick(), qint16(*winner ? Card(winner) : 0));
    }

    void scoring() {
        // Ten for an exact bid, zero made included; one over is as bad as one under.
        const int points[][3] = {{0, 0, 10}, {0, 1, 1}, {3, 3, 13}, {3, 2, 2}, {3, 4, 4}, {10, 10, 20}};
        for (const auto& [bid, tricks, want] : points)
            QCOMPARE(HandPoints(qint16(bid), qint16(tricks)), qint16(want));
        G.PlayerName = QStringLiteral("Player");
        const QStringList lines{"Player :42", "The Prof : 42", "Marigold : 0", "Tabitha :  190"};
        for (int seat = 1; seat <= 4; ++seat)
            QCOMPARE(ScoreLine(seat, std::array<qint16, 4>{42, 42, 0, 190}[seat - 1]), lines[seat - 1]);
    }

    void gameWinner_data() { Rows(kGameWinners); }
    void gameWinner() {
        QFETCH(int, i);
        G.GameScore = std::get<1>(kGameWinners[i]);
        QCOMPARE(GameWinner(), std::get<2>(kGameWinners[i]));
    }

    // Random hands dealt, bid and played out by the computer's rules: every card chosen is legal
    // and the dealer never lets the bids add up to the hand.
    void randomHandsPlayOutLegally() {
        for (unsigned seed = 1; seed <= 600; ++seed) {
            std::mt19937 random(seed);
            Fresh(0);
            const int size = 1 + static_cast<int>(seed % 10);
            G.HandSize = static_cast<qint16>(size);
            G.Dealer = static_cast<qint16>(1 + random() % 4);
            std::vector<int> pack(52);
            std::iota(pack.begin(), pack.end(), 1);
            std::shuffle(pack.begin(), pack.end(), random);
            for (int n = 0; n < 4 * size; ++n)
                GiveCard(1 + n % 4, pack[n]);
            G.Trumps = G.LedSuit = CardSuit(pack[4 * size]);
            for (int seat = NextSeat(G.Dealer), n = 0; n < 4; ++n, seat = NextSeat(seat))
                G.Bids[seat] = ComputeComputerBid(seat);
            QVERIFY2(G.Bids[1] + G.Bids[2] + G.Bids[3] + G.Bids[4] != size,
                     qPrintable(QString::number(seed)));

            G.TrickCard1 = G.TrickCard2 = G.TrickCard3 = G.TrickCard4 = -1;
            for (int trick = 0, leader = G.Dealer; trick < size; ++trick) {
                LeadFrom(leader);
                std::array<int, 4> seats{};
                for (int place = 0, seat = leader; place < 4; ++place, seat = NextSeat(seat)) {
                    const int card = ChooseComputerCard(seat);
                    QVERIFY2(IsLegalPlay(seat, card), qPrintable(QString::number(seed)));
                    --G.CardsLeft[seat];
                    G.Cards[card].Holder = 0;
                    if (place == 0) G.LedSuit = CardSuit(card);
                    Slot(place) = static_cast<qint16>(card);
                    seats[place] = seat;
                }
                for (int place = 0; place < 4; ++place)
                    if (Slot(place) == WinnerOfTrick()) leader = seats[place];
                G.TrickCard1 = G.TrickCard2 = G.TrickCard3 = G.TrickCard4 = 0;
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
