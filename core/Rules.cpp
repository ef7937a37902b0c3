// The rules walk the pack by card number because the computer's choices are defined by
// card-number order: Diamonds Ace..King, then Clubs, Hearts and Spades.
#include "Rules.h"

#include "GameState.h"
#include "Seats.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int Ace = 1;
constexpr int Queen = 12;
constexpr int King = 13;

int CardRank(int card) {
    return (card - 1) % 13 + 1;
}
// Strength in play: the Ace beats the King although it is numbered below the Two.
int PlayStrength(int card) {
    return CardRank(card) == Ace ? 14 : CardRank(card);
}

bool IsCard(int card) {
    return card >= 1 && card <= 52;
}
bool IsSuit(int suit) {
    return suit >= 1 && suit <= 4;
}
using Seats::IsSeat;
bool Holds(const GameState& G, int seat, int card) {
    return IsCard(card) && G.Cards[card].Holder == seat;
}

bool HoldsSuit(const GameState& G, int seat, int suit) {
    for (int card = 1; card <= 52; ++card)
        if (Holds(G, seat, card) && CardSuit(card) == suit) return true;
    return false;
}

// The seat's first card in ascending card-number order that `wanted` accepts, or 0.
template <typename Pred> qint16 FirstAscending(const GameState& G, int seat, Pred wanted) {
    for (int card = 1; card <= 52; ++card)
        if (Holds(G, seat, card) && wanted(card)) return static_cast<qint16>(card);
    return 0;
}

// The same walk in descending card-number order: Spades King..Ace, Hearts, Clubs, Diamonds.
template <typename Pred> qint16 FirstDescending(const GameState& G, int seat, Pred wanted) {
    for (int card = 52; card >= 1; --card)
        if (Holds(G, seat, card) && wanted(card)) return static_cast<qint16>(card);
    return 0;
}

bool AnyCard(int) {
    return true;
}
bool IsAce(int card) {
    return CardRank(card) == Ace;
}
bool IsKing(int card) {
    return CardRank(card) == King;
}
bool IsTrump(const GameState& G, int card) {
    return CardSuit(card) == G.Trumps;
}
bool IsLedSuit(const GameState& G, int card) {
    return CardSuit(card) == G.LedSuit;
}

// The cards already down in the current trick; unplayed slots hold 0 (or -1 in the first
// trick of a hand) and are left for the callers to skip.
std::array<int, 4> TrickCards(const GameState& G) {
    return {G.TrickCard1, G.TrickCard2, G.TrickCard3, G.TrickCard4};
}

} // namespace

// ---------------------------------------------------------------------------------------
// The hand

int CardNumber(int suit, int rank) {
    return (suit - 1) * 13 + rank;
}

qint16 HandSizeFor(int handNumber) {
    return static_cast<qint16>(std::abs(handNumber - 10) + 1);
}

std::array<qint16, 4> DealOrder(int dealer) {
    std::array<qint16, 4> order{};
    qint16 seat = NextSeat(dealer);
    for (auto& s : order) {
        s = seat;
        seat = NextSeat(seat);
    }
    return order;
}

// ---------------------------------------------------------------------------------------
// Bidding

quint8 CardSuit(int card) {
    return IsCard(card) ? static_cast<quint8>((card - 1) / 13 + 1) : 0;
}

void CountSuits(GameState& G, int seat) {
    for (int suit = 1; suit <= 4; ++suit)
        G.SuitCount[suit] = 0;
    for (int card = 1; card <= 52; ++card)
        if (Holds(G, seat, card)) ++G.SuitCount[CardSuit(card)];
}

qint16 ValueHand(GameState& G, int seat) {
    int count = 0;
    // Aces and Kings are the sure tricks, whatever their suit.
    for (int suit = 1; suit <= 4; ++suit) {
        if (Holds(G, seat, CardNumber(suit, Ace))) ++count;
        if (Holds(G, seat, CardNumber(suit, King))) ++count;
    }
    // The Queen of trumps is the only Queen that reliably survives the Ace and King.
    if (IsSuit(G.Trumps) && Holds(G, seat, CardNumber(G.Trumps, Queen))) ++count;

    // Long trumps win tricks of their own once the others run out; the honours already
    // counted above still count towards the length.
    CountSuits(G, seat);
    const int trumps = IsSuit(G.Trumps) ? G.SuitCount[G.Trumps] : 0;
    if (trumps >= 4) count += trumps - 3;

    // Any trump at all gives a hope of one trick.
    if (count == 0 && trumps > 0) count = 1;
    return static_cast<qint16>(count);
}

qint16 ComputeComputerBid(GameState& G, int seat) {
    qint16 bid = ValueHand(G, seat);

    // In a long hand a modest holding tends to pick up one more trick than it shows.
    if ((bid == 1 || bid == 2) && G.HandSize >= 8) ++bid;

    // The dealer bids last and may not let the bids add up to the tricks available, so
    // that someone must miss; he always goes up, even beyond the size of the hand.
    if (seat == G.Dealer && IsSeat(seat)) {
        int total = bid;
        for (int other = 1; other <= 4; ++other)
            if (other != seat) total += G.Bids[other];
        if (total == G.HandSize) ++bid;
    }
    return bid;
}

// ---------------------------------------------------------------------------------------
// Play

void SetTrickOrder(GameState& G) {
    if (!IsSeat(G.TrickSeat1)) return;
    G.TrickSeat2 = NextSeat(G.TrickSeat1);
    G.TrickSeat3 = NextSeat(G.TrickSeat2);
    G.TrickSeat4 = NextSeat(G.TrickSeat3);
}

bool IsLegalPlay(const GameState& G, int seat, int card) {
    if (!IsSeat(seat) || !Holds(G, seat, card)) return false;
    // The leader may lead anything; a follower who can follow suit must.
    if (seat != G.TrickSeat1 && HoldsSuit(G, seat, G.LedSuit)) return CardSuit(card) == G.LedSuit;
    return true;
}

qint16 LowestCard(const GameState& G, int seat) {
    // Ranks Two upwards to King, then the Ace: the Ace is the strongest card, so it is the
    // last one to give away. Trumps get no special treatment.
    for (const int rank : RanksLowToHigh) {
        for (int suit = 1; suit <= 4; ++suit)
            if (Holds(G, seat, CardNumber(suit, rank))) return static_cast<qint16>(CardNumber(suit, rank));
    }
    return 0;
}

qint16 LowestOfSuit(const GameState& G, int seat, int suit) {
    if (!IsSuit(suit)) return 0;
    for (int rank = 2; rank <= King; ++rank)
        if (Holds(G, seat, CardNumber(suit, rank))) return static_cast<qint16>(CardNumber(suit, rank));
    return Holds(G, seat, CardNumber(suit, Ace)) ? static_cast<qint16>(CardNumber(suit, Ace)) : 0;
}

bool PassesTrickTest(const GameState& G, int card) {
    const auto cards = TrickCards(G);
    // Only the three cards before ours can be down when a follower chooses.
    for (auto it = cards.begin(); it != cards.begin() + 3; ++it) {
        const int played = *it;
        if (!IsCard(played)) continue;
        // Someone has ruffed: no card of a plain led suit can take the trick any more.
        if (CardSuit(played) == G.Trumps && G.LedSuit != G.Trumps) return false;
        if (CardSuit(played) == G.LedSuit && PlayStrength(played) > PlayStrength(card)) return false;
    }
    return true;
}

qint16 ChooseComputerCard(const GameState& G, int seat) {
    if (!IsSeat(seat)) return 0;
    // The only thing the computer knows of its aim is whether it wants no tricks at all.
    const bool bidZero = G.Bids[seat] == 0;

    // Rule 0: the last card plays itself.
    if (G.CardsLeft[seat] == 1) return FirstAscending(G, seat, AnyCard);

    // Rule 1: leading. Ducking seats get rid of their lowest card; the others cash an Ace.
    if (seat == G.TrickSeat1) {
        if (bidZero) return LowestCard(G, seat);
        const qint16 ace = FirstAscending(G, seat, IsAce);
        return ace != 0 ? ace : LowestCard(G, seat);
    }

    // Rule 2: following suit.
    if (HoldsSuit(G, seat, G.LedSuit)) {
        if (bidZero) return LowestOfSuit(G, seat, G.LedSuit);
        // From the King down, the first card that would take the trick as it stands; the
        // Ace comes last in this walk and is always played when reached.
        const qint16 winner = FirstDescending(G, seat, [&G](int card) {
            return IsLedSuit(G, card) && (IsAce(card) || PassesTrickTest(G, card));
        });
        return winner != 0 ? winner : FirstAscending(G, seat, [&G](int card) { return IsLedSuit(G, card); });
    }

    // Rule 3: void in the led suit.
    if (bidZero && G.LedSuit == G.Trumps) {
        // 3a. Trumps were led and this seat has none, so nothing it throws can win: the
        // safest moment to shed the high cards that could take a trick later.
        if (const qint16 card = FirstAscending(G, seat, IsAce)) return card;
        if (const qint16 card = FirstAscending(G, seat, IsKing)) return card;
        const auto middling = [](int card) { return CardRank(card) >= 8 && CardRank(card) <= Queen; };
        if (const qint16 card = FirstDescending(G, seat, middling)) return card;
        return FirstDescending(G, seat, AnyCard);
    }
    if (bidZero) {
        // 3b. Discard rather than ruff: a plain discard cannot win, so the highest go first.
        const qint16 card = FirstDescending(G, seat, [&G](int c) { return !IsTrump(G, c); });
        return card != 0 ? card : FirstDescending(G, seat, AnyCard);
    }
    // 3c. Ruff, keeping the Ace of trumps back unless it is the only trump.
    const qint16 trump = FirstDescending(G, seat, [&G](int card) { return IsTrump(G, card); });
    return trump != 0 ? trump : LowestCard(G, seat);
}

qint16 WinnerOfTrick(const GameState& G) {
    const auto cards = TrickCards(G);
    const auto inTrick = [&cards](int card) {
        return std::find(cards.begin(), cards.end(), card) != cards.end();
    };
    static constexpr int byStrength[] = {Ace, King, Queen, 11, 10, 9, 8, 7, 6, 5, 4, 3, 2};

    // Any trump beats the led suit, and only those two suits can win: a discard of a third
    // suit never takes the trick, not even its Ace.
    for (const int suit : {static_cast<int>(G.Trumps), static_cast<int>(G.LedSuit)}) {
        if (!IsSuit(suit)) continue;
        for (const int rank : byStrength)
            if (inTrick(CardNumber(suit, rank))) return static_cast<qint16>(CardNumber(suit, rank));
    }
    return 0;
}

// ---------------------------------------------------------------------------------------
// Scoring

qint16 HandPoints(qint16 bid, qint16 tricks) {
    // The bonus rewards an exact bid only: one trick over is as bad as one under.
    return static_cast<qint16>(tricks + (tricks == bid ? 10 : 0));
}

QString BidLine(const GameState& G, int seat) {
    if (!IsSeat(seat)) return QString();
    return QStringLiteral("Bid: %1 Tricks made: %2").arg(G.Bids[seat]).arg(G.TricksMade[seat]);
}

QString ScoreLine(const GameState& G, int seat, qint16 total) {
    const QString label = seat == 1 ? G.PlayerName + QStringLiteral(" :")
                                    : QString::fromLatin1(IsSeat(seat) ? Seats::Table[seat].scoreLabel : "");
    return label + QString::number(total);
}

int GameWinner(const GameState& G) {
    // A shared highest total is a draw; equal totals further down do not matter.
    for (int seat = 1; seat <= 4; ++seat) {
        bool aboveAll = true;
        for (int other = 1; other <= 4; ++other)
            if (other != seat && G.GameScore[seat] <= G.GameScore[other]) aboveAll = false;
        if (aboveAll) return seat;
    }
    return 0;
}
