// The rules without any window: valuation and bids, the computer's choice of card, scoring, and
// random hands played out by the computer's rules against independent statements of which card
// may be played and who takes a trick. A hand lists cards by their short names: "AS TD".
#include "CoreTestSupport.h"
#include "ModVariables.h"
#include "Rules.h"

#include <QTest>
#include <numeric>
#include <random>

using namespace TestSupport;

namespace {

constexpr int D = 1, C = 2, H = 3, S = 4;

void Fresh(int trumps) {
    ResetGameState();
    MakeCards();
    G.Trumps = static_cast<qint16>(trumps);
}

void Hold(int seat, int card) {
    G.Cards[card].Holder = static_cast<quint8>(seat);
    ++G.CardsLeft[seat];
}

void Give(int seat, const QString& cards) {
    for (const QString& name : cards.split(' ', Qt::SkipEmptyParts))
        Hold(seat, Card(name));
}

qint16& Slot(int place) {
    return *std::array{&G.TrickCard1, &G.TrickCard2, &G.TrickCard3, &G.TrickCard4}[place];
}

// A trick led by seat 1 with `played` down, the other slots `unplayed` (-1 in a hand's first
// trick); returns the seat to play next. With nothing played LedSuit still names trumps.
int TrickSoFar(const QString& played, qint16 unplayed) {
    G.TrickSeat1 = 1;
    SetTrickOrder();
    const QStringList names = played.split(' ', Qt::SkipEmptyParts);
    G.LedSuit = names.isEmpty() ? G.Trumps : CardSuit(Card(names.first()));
    for (int i = 0; i < 4; ++i)
        Slot(i) = i < names.size() ? static_cast<qint16>(Card(names[i])) : unplayed;
    for (const QString& name : names)
        G.Cards[Card(name)].Holder = 5;
    return 1 + int(names.size());
}

// Who takes a trick: any trump beats every other card, then the suit led; the Ace is the highest
// of its suit; a third suit never wins.
int Winner(const std::array<int, 4>& trick) {
    const auto key = [](int card) {
        const int rank = (card - 1) % 13 + 1, suit = CardSuit(card);
        return (suit == G.Trumps ? 200 : suit == G.LedSuit ? 100 : 0) + (rank == 1 ? 14 : rank);
    };
    return *std::max_element(trick.begin(), trick.end(), [&](int a, int b) { return key(a) < key(b); });
}

// May `seat` play `card`: it holds it, and it leads, or follows suit, or holds none of the suit led.
bool Legal(int seat, int card) {
    bool holdsLed = false;
    for (int c = 1; c <= 52; ++c)
        holdsLed |= G.Cards[c].Holder == seat && CardSuit(c) == G.LedSuit;
    return G.Cards[card].Holder == seat && (seat == G.TrickSeat1 || !holdsLed || CardSuit(card) == G.LedSuit);
}

// name, hand, trumps, value
const std::tuple<const char*, const char*, int, int> kValues[] = {
    {"nothing", "2D 5C 9H QD JC 7C", S, 0},          {"single small trump", "5S 3D 4C", S, 1},
    {"three small trumps", "2S 3S 4S 9D", S, 1},     {"Aces and Kings of any suit", "AD KC 3H", S, 2},
    {"Queen of trumps only", "QS 3D QH", S, 1},      {"A K + two small trumps", "AS KS 4S 7S 2D", S, 3},
    {"six small trumps", "2S 3S 4S 5S 6S 7S", S, 3}, {"honours count for length", "AC KC QC 2C 3C", C, 5},
};

// name, hand size, seat 4 deals, bids of seats 1..3, seat 4's cards (worth 0 to 3), bid
const std::tuple<const char*, int, bool, const char*, const char*, int> kBids[] = {
    {"1 raised, 8 cards", 8, false, "0 0 0", "5S", 2},
    {"2 raised, 10 cards", 10, false, "0 0 0", "AD KD", 3},
    {"1 kept, 7 cards", 7, false, "0 0 0", "5S", 1},
    {"3 not raised, non-dealer may make the total", 10, false, "3 2 2", "AS KS 4S 7S", 3},
    {"dealer goes up", 10, true, "3 2 2", "AS KS 4S 7S", 4},
    {"dealer goes up past the hand", 1, true, "0 0 0", "4S", 2},
    {"dealer raised twice", 8, true, "3 2 0", "AD KD", 4},
    {"dealer total short of the hand", 10, true, "3 2 1", "AS KS 4S 7S", 3},
};

// name, trumps, bid, trick so far (empty: the seat leads), hand, card played
const std::tuple<const char*, int, int, const char*, const char*, const char*> kCards[] = {
    {"1a: lowest rank, Diamonds first", S, 0, "", "2S 2D 9H", "2D"},
    {"1a: Ace counts highest", S, 0, "", "AH KC", "KC"},
    {"1b: first Ace in card order", S, 1, "", "AH 5D AC", "AC"},
    {"1b: no Ace, lowest rank", S, 2, "", "3S 9D", "3S"},
    {"2a: lowest of the suit", S, 0, "9H", "AH 7H 3H KD", "3H"},
    {"2a: Ace kept back", S, 0, "9H", "AH 7H", "7H"},
    {"2b: Seven fails, Ace", S, 1, "9H", "AH 7H", "AH"},
    {"2b: highest winner from the King", S, 1, "TH", "KH 9H 4H", "KH"},
    {"2b: must beat every card down", S, 1, "9H 4H QH", "JH 2H", "2H"},
    {"2b: ruffed, lowest", S, 2, "5H 2S", "KH 9H", "9H"},
    {"2b: third-suit discard ignored", S, 1, "5H AD", "7H 2H", "7H"},
    {"3a: an Ace first", S, 0, "5S", "KC AD 4H", "AD"},
    {"3a: Kings in card order", S, 0, "5S", "KH QD KC", "KC"},
    {"3a: Queen of Spades first", C, 0, "5C", "8S QH QS 2S", "QS"},
    {"3a: small cards, descending", C, 0, "5C", "7H 3S", "3S"},
    {"3b: Spade before the Ace of Spades", D, 0, "5C", "AS 3S 4H", "3S"},
    {"3b: no ruff while a discard is left", S, 0, "5C", "KS 2D", "2D"},
    {"3c: ruff low-numbered, Ace kept", S, 1, "5H", "AS 5S 2D", "5S"},
    {"3c: the only trump is the Ace", S, 1, "5H", "AS 3D", "AS"},
    {"3c: no trump, lowest card", S, 1, "5H 2S", "AD 3C 3D", "3D"},
};

} // namespace

class TestRules : public QObject {
    Q_OBJECT

  private slots:
    void cardNames() {
        Fresh(S);
        QCOMPARE(G.Cards[Card("AD")].FullName + ", " + G.Cards[Card("TH")].FullName + ", " +
                     G.Cards[Card("KS")].FullName,
                 QStringLiteral("Ace of Diamonds, Ten of Hearts, King of Spades"));
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
        const auto& [name, size, dealer, earlier, cards, bid] = kBids[i];
        Fresh(S);
        G.HandSize = static_cast<qint16>(size);
        G.Dealer = dealer ? 4 : 1;
        for (int seat = 1; seat <= 3; ++seat)
            G.Bids[seat] = static_cast<qint16>(QString(earlier).split(' ')[seat - 1].toInt());
        Give(4, cards);
        // Padding to the hand's size: Twos to Nines of the side suits add nothing to the value.
        for (int card = 1; card <= 52 && G.CardsLeft[4] < size; ++card)
            if (CardSuit(card) != S && (card - 1) % 13 >= 1 && (card - 1) % 13 <= 8 && !G.Cards[card].Holder)
                Hold(4, card);
        QCOMPARE(ComputeComputerBid(4), qint16(bid));
    }

    void computerCard_data() { Rows(kCards); }
    void computerCard() {
        QFETCH(int, i);
        const auto& [name, trumps, bid, trick, hand, plays] = kCards[i];
        // Tricks already taken change nothing: a seat whose bid is made still plays to win.
        for (const int made : {0, bid + 2}) {
            Fresh(trumps);
            const int seat = TrickSoFar(trick, i % 2 ? -1 : 0);
            G.Bids[seat] = static_cast<qint16>(bid);
            G.TricksMade[seat] = static_cast<qint16>(made);
            Give(seat, hand);
            QCOMPARE(G.Cards[qBound(0, int(ChooseComputerCard(seat)), 52)].FullName,
                     G.Cards[Card(plays)].FullName);
        }
    }

    void scoring() {
        // Ten for an exact bid, zero made included; one over is as bad as one under.
        const int points[][3] = {{0, 0, 10}, {0, 1, 1}, {3, 3, 13}, {3, 2, 2}, {3, 4, 4}};
        for (const auto& [bid, tricks, want] : points)
            QCOMPARE(HandPoints(qint16(bid), qint16(tricks)), qint16(want));
        // The game winner stands strictly above all others; a shared top is a draw.
        const std::pair<std::array<qint16, 5>, int> totals[] = {{{0, 40, 40, 30, 20}, 0},
                                                                {{0, 50, 30, 30, 20}, 1},
                                                                {{0, 30, 55, 10, 54}, 2},
                                                                {{0, 0, 0, 0, 1}, 4}};
        for (const auto& [scores, winner] : totals) {
            G.GameScore = scores;
            QCOMPARE(GameWinner(), winner);
        }
    }

    // Random hands dealt, bid and played out by the computer's rules: whether a card may be
    // played, the dealer's bid and each trick's winner follow the rules as stated above.
    void randomHandsPlayOutByTheRules() {
        for (unsigned seed = 1; seed <= 600; ++seed) {
            const QByteArray where = "seed " + QByteArray::number(seed);
            std::mt19937 random(seed);
            Fresh(0);
            const int size = 1 + static_cast<int>(seed % 10);
            G.HandSize = static_cast<qint16>(size);
            G.Dealer = static_cast<qint16>(1 + random() % 4);
            std::vector<int> pack(52);
            std::iota(pack.begin(), pack.end(), 1);
            std::shuffle(pack.begin(), pack.end(), random);
            for (int n = 0; n < 4 * size; ++n)
                Hold(1 + n % 4, pack[n]);
            G.Trumps = G.LedSuit = CardSuit(pack[4 * size]);
            for (int seat = NextSeat(G.Dealer), n = 0; n < 4; ++n, seat = NextSeat(seat))
                G.Bids[seat] = ComputeComputerBid(seat);
            QVERIFY2(G.Bids[1] + G.Bids[2] + G.Bids[3] + G.Bids[4] != size, where);

            G.TrickCard1 = G.TrickCard2 = G.TrickCard3 = G.TrickCard4 = -1;
            for (int trick = 0, leader = G.Dealer; trick < size; ++trick) {
                G.TrickSeat1 = static_cast<qint16>(leader);
                SetTrickOrder();
                std::array<int, 4> cards{}, seats{};
                for (int place = 0, seat = leader; place < 4; ++place, seat = NextSeat(seat)) {
                    for (int card = 1; card <= 52; ++card)
                        QVERIFY2(IsLegalPlay(seat, card) == Legal(seat, card), where);
                    const int card = ChooseComputerCard(seat);
                    QVERIFY2(Legal(seat, card), where);
                    --G.CardsLeft[seat];
                    G.Cards[card].Holder = 5;
                    if (place == 0) G.LedSuit = CardSuit(card);
                    Slot(place) = static_cast<qint16>(cards[place] = card);
                    seats[place] = seat;
                }
                QCOMPARE(WinnerOfTrick(), qint16(Winner(cards)));
                leader = seats[std::find(cards.begin(), cards.end(), Winner(cards)) - cards.begin()];
                for (int card : cards)
                    G.Cards[card].Holder = 0;
                G.TrickCard1 = G.TrickCard2 = G.TrickCard3 = G.TrickCard4 = 0;
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
