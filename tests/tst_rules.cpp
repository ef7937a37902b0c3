// The rules without any window: valuation and bids, the computer's choice of card, scoring, and
// random hands played out by the computer's rules against independent statements of which card
// may be played and who takes a trick. A hand lists cards by their short names: "AS TD".
#include "CoreTestSupport.h"
#include "GameState.h"
#include "Rules.h"

#include <numeric>
#include <random>

using namespace TestSupport;

namespace {

constexpr int D = 1, C = 2, H = 3, S = 4;

void Fresh(int trumps, int size = 0, int dealer = 0) {
    ResetGameState();
    MakeCards(G);
    G.Trumps = static_cast<qint16>(trumps);
    G.HandSize = static_cast<qint16>(size);
    G.Dealer = static_cast<qint16>(dealer);
}

void Hold(int seat, int card) {
    G.Cards[card].Holder = static_cast<quint8>(seat);
    ++G.CardsLeft[seat];
}

void Give(int seat, const QString& cards) {
    for (const QString& name : cards.split(' ', Qt::SkipEmptyParts))
        Hold(seat, Card(name));
}

qint16* const kSlots[] = {&G.TrickCard1, &G.TrickCard2, &G.TrickCard3, &G.TrickCard4};

// A trick led by seat 1 with `played` down, the other slots `unplayed` (-1 in a hand's first
// trick); returns the seat to play next. With nothing played LedSuit still names trumps.
int TrickSoFar(const QString& played, qint16 unplayed) {
    G.TrickSeat1 = 1;
    SetTrickOrder(G);
    const QStringList names = played.split(' ', Qt::SkipEmptyParts);
    G.LedSuit = names.isEmpty() ? G.Trumps : CardSuit(Card(names.first()));
    for (int i = 0; i < 4; ++i)
        *kSlots[i] = i < names.size() ? static_cast<qint16>(Card(names[i])) : unplayed;
    for (const QString& name : names)
        G.Cards[Card(name)].Holder = 5;
    return 1 + int(names.size());
}

// Who takes a trick: any trump beats every other card, then the suit led; the Ace is the highest
// of its suit; a third suit never wins. Within a suit (card + 11) % 13 runs from the Two up to the Ace.
int Winner(const std::array<int, 4>& trick) {
    return *std::ranges::max_element(trick, {}, [](int card) {
        return (CardSuit(card) == G.Trumps ? 200 : CardSuit(card) == G.LedSuit ? 100 : 0) + (card + 11) % 13;
    });
}

// May `seat` play `card`: it holds it, and it leads, or follows suit, or holds none of the suit led.
bool Legal(int seat, int card) {
    bool holdsLed = false;
    for (int c = 1; c <= 52; ++c)
        holdsLed |= G.Cards[c].Holder == seat && CardSuit(c) == G.LedSuit;
    return G.Cards[card].Holder == seat && (seat == G.TrickSeat1 || !holdsLed || CardSuit(card) == G.LedSuit);
}

// clang-format off
// name, trumps, hand size, dealer, bids of seats 1..3, seat 4's cards, bid; below eight cards a
// non-dealer bids the hand's value.
const std::tuple<const char*, int, int, int, std::array<qint16, 3>, const char*, int> kBids[] = {
    {"nothing", S, 7, 1, {}, "2D 5C 9H QD JC 7C", 0}, {"A K side", S, 7, 1, {}, "AD KC", 2},
    {"1 small trump", S, 7, 1, {}, "5S", 1}, {"6 small trumps", S, 7, 1, {}, "2S 3S 4S 5S 6S 7S", 3},
    {"3 small", S, 7, 1, {}, "2S 3S 4S 9D", 1}, {"Q trumps", S, 7, 1, {}, "QS 3D QH", 1},
    {"AKxx trumps", S, 7, 1, {}, "AS KS 4S 7S", 3}, {"honours long", C, 7, 1, {}, "AC KC QC 2C 3C", 5},
    {"1 up, 8 cards", S, 8, 1, {}, "5S", 2}, {"3 not up", S, 10, 1, {3, 2, 2}, "AS KS 4S 7S", 3},
    {"dealer up", S, 10, 4, {3, 2, 2}, "AS KS 4S 7S", 4}, {"dealer past hand", S, 1, 4, {}, "4S", 2},
    {"dealer 2 up", S, 8, 4, {3, 2, 0}, "AD KD", 4}, {"dealer short", S, 10, 4, {3, 2, 1}, "AS KS 4S 7S", 3}};

// name, trumps, bid, trick so far (empty: the seat leads), hand, card played
const std::tuple<const char*, int, int, const char*, const char*, const char*> kCards[] = {
    {"1a low, D first", S, 0, "", "2S 2D 9H", "2D"}, {"1a Ace high", S, 0, "", "AH KC", "KC"},
    {"1b first Ace", S, 1, "", "AH 5D AC", "AC"}, {"1b no Ace, low", S, 2, "", "3S 9D", "3S"},
    {"2a lowest", S, 0, "9H", "AH 7H 3H KD", "3H"}, {"2b 7 fails, Ace", S, 1, "9H", "AH 7H", "AH"},
    {"2b King wins", S, 1, "TH", "KH 9H 4H", "KH"}, {"2b beat all", S, 1, "9H 4H QH", "JH 2H", "2H"},
    {"2b ruffed, low", S, 2, "5H 2S", "KH 9H", "9H"}, {"2b discard ignored", S, 1, "5H AD", "7H 2H", "7H"},
    {"3a Ace first", S, 0, "5S", "KC AD 4H", "AD"}, {"3a Kings in order", S, 0, "5S", "KH QD KC", "KC"},
    {"3a QS first", C, 0, "5C", "8S QH QS 2S", "QS"}, {"3a small, down", C, 0, "5C", "7H 3S", "3S"},
    {"3a an Eight is middling", C, 0, "5C", "2H 8D 3S", "8D"},
    {"3b S before AS", D, 0, "5C", "AS 3S 4H", "3S"}, {"3b no ruff", S, 0, "5C", "KS 2D", "2D"},
    {"3c low ruff", S, 1, "5H", "AS 5S 2D", "5S"}, {"3c only trump Ace", S, 1, "5H", "AS 3D", "AS"},
    {"3c none, low", S, 1, "5H 2S", "AD 3C 3D", "3D"}};
// clang-format on

} // namespace

class TestRules : public QObject {
    Q_OBJECT

  private slots:
    void computerBid_data() { Rows(kBids); }
    void computerBid() {
        const auto& [name, trumps, size, dealer, earlier, cards, bid] = Row(kBids);
        Fresh(trumps, size, dealer);
        std::copy(earlier.begin(), earlier.end(), &G.Bids[1]);
        Give(4, cards);
        Give(3, "AH KH"); // another seat's honours are not ours
        // Small cards of side suits to the hand's size add nothing to the value.
        Give(4, QString("3H 4H 5H 6H 7H 8H 4D 5D 6D 7D ").left(3 * (size - G.CardsLeft[4])));
        QCOMPARE(ComputeComputerBid(G, 4), qint16(bid));
    }

    void computerCard_data() { Rows(kCards); }
    void computerCard() {
        const auto& [name, trumps, bid, trick, hand, plays] = Row(kCards);
        // Tricks already taken change nothing, in the first trick or a later one: a seat whose bid
        // is made still plays to win.
        for (const int made : {0, bid + 2}) {
            Fresh(trumps);
            const int seat = TrickSoFar(trick, made ? 0 : -1);
            G.Bids[seat] = static_cast<qint16>(bid);
            G.TricksMade[seat] = static_cast<qint16>(made);
            Give(seat, hand);
            QCOMPARE(ChooseComputerCard(G, seat), qint16(Card(plays)));
        }
    }

    void namesAndWinner() {
        Fresh(S);
        QCOMPARE(G.Cards[Card("AD")].FullName + ", " + G.Cards[Card("TH")].FullName + ", " +
                     G.Cards[Card("KS")].FullName,
                 QStringLiteral("Ace of Diamonds, Ten of Hearts, King of Spades"));
        // (A hand's points are checked seat by seat in tst_engine's whole games.)
        // The game winner stands strictly above all others, the last seat too (a shared top is a
        // draw, and the other seats win: tst_game's endOfHand).
        G.GameScore = {0, 0, 0, 0, 1};
        QCOMPARE(GameWinner(G), 4);
    }

    // Random hands dealt, bid and played out by the computer's rules: whether a card may be
    // played, the dealer's bid and each trick's winner follow the rules as stated above.
    void randomHandsPlayOutByTheRules() {
        for (unsigned seed = 1; seed <= 600; ++seed) {
            const QByteArray where = "seed " + QByteArray::number(seed);
            const int size = 1 + static_cast<int>(seed % 10);
            Fresh(0, size, 1 + static_cast<int>(seed / 10 % 4));
            std::vector<int> pack(52);
            std::iota(pack.begin(), pack.end(), 1);
            std::shuffle(pack.begin(), pack.end(), std::mt19937(seed));
            for (int n = 0; n < 4 * size; ++n)
                Hold(1 + n % 4, pack[n]);
            G.Trumps = G.LedSuit = CardSuit(pack[4 * size]);
            for (int seat = NextSeat(G.Dealer), n = 0; n < 4; ++n, seat = NextSeat(seat))
                G.Bids[seat] = ComputeComputerBid(G, seat);
            QVERIFY2(G.Bids[1] + G.Bids[2] + G.Bids[3] + G.Bids[4] != size, where);

            G.TrickCard1 = G.TrickCard2 = G.TrickCard3 = G.TrickCard4 = -1;
            for (int trick = 0, leader = G.Dealer; trick < size; ++trick) {
                G.TrickSeat1 = static_cast<qint16>(leader);
                SetTrickOrder(G);
                std::array<int, 4> cards{}, seats{};
                for (int place = 0, seat = leader; place < 4; ++place, seat = NextSeat(seat)) {
                    for (int card = 1; card <= 52; ++card)
                        QVERIFY2(IsLegalPlay(G, seat, card) == Legal(seat, card), where);
                    const int card = ChooseComputerCard(G, seat);
                    QVERIFY2(Legal(seat, card), where);
                    --G.CardsLeft[seat];
                    G.Cards[card].Holder = 5;
                    if (place == 0) G.LedSuit = CardSuit(card);
                    *kSlots[place] = static_cast<qint16>(cards[place] = card);
                    seats[place] = seat;
                }
                QCOMPARE(WinnerOfTrick(G), qint16(Winner(cards)));
                leader = seats[std::ranges::find(cards, Winner(cards)) - cards.begin()];
                for (int place = 0; place < 4; ++place)
                    G.Cards[std::exchange(*kSlots[place], qint16(0))].Holder = 0;
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
