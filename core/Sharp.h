#pragma once
// The sharp opponents: a computer player that bids and plays for the exact bid by looking
// ahead. It decides from a View, which holds only what its seat can know at the table: its
// own cards, the turned-up trump card, the bids made so far and every card played this hand.
// For each choice it deals the cards it cannot see among the other hands in many ways that
// agree with what it has seen (counting most the deals that fit the bids made), plays each of
// them out quickly, and takes the choice with the best average outcome. Every decision is a pure function of
// the view and a seed, so it can run on any thread and repeats itself exactly.
#include "GameState.h"
#include "HandLog.h"

#include <QtGlobal>
#include <array>
#include <vector>

namespace Sharp {

// How a computer seat decides: by the classic rules, by the sharp method, or by the expert one.
enum class Level : qint8 { Classic, Sharp, Expert };

struct View {
    qint8 seat = 0;                    // the deciding seat, 1..4
    qint8 handSize = 0;                // cards dealt to each seat this hand
    qint8 dealer = 0;                  // 1..4; the dealer leads the first trick
    qint8 trumps = 0;                  // suit 1..4
    qint8 trumpCard = 0;               // the turned-up card, in no hand
    std::array<qint16, 5> bids{};      // per seat; meaningful where hasBid
    std::array<bool, 5> hasBid{};      // the seats that have bid already
    std::array<qint16, 5> tricks{};    // tricks taken so far this hand
    std::vector<HandLog::Play> played; // every card down this hand, in order, the current trick last
    qint8 leader = 0;                  // the seat that leads (or led) the current trick
    std::array<quint8, 5> voids{};     // bit suit-1 set: that seat has shown out of the suit
    std::vector<qint8> hand;           // the seat's own cards, ascending card numbers
    std::array<qint16, 5> scores{};    // each seat's game score before this hand
    qint8 handsAfter = 0;              // hands still to come after this one
    bool operator==(const View&) const = default;
};

// The view of `seat` from the game state G and the hand's record, while it is bidding: the
// seats before it in the bidding order have bid, the others not yet.
View ViewForBid(const GameState& G, int seat, const HandLog& log);
// The view of `seat` during the play, when every bid is known.
View ViewForPlay(const GameState& G, int seat, const HandLog& log);

// How many ways of dealing the unseen cards each decision plays out. The defaults keep a card
// decision within a few milliseconds and a bid within some ten in a Release build at ten
// cards; four times fewer lose about two points a game against the classic rules.
struct Effort {
    int cardSamples = 400;
    int bidSamples = 600;
};

// The card to play now: always one the seat may legally play (0 only for an empty hand).
qint16 ChooseCard(const View& view, quint64 seed, const Effort& effort = {});
// The bid, 0..13. With dealerRestricted, a dealer never makes the four bids add up to the
// hand size, the restriction every computer dealer obeys.
qint16 ChooseBid(const View& view, quint64 seed, bool dealerRestricted, const Effort& effort = {});

// The expert method: the sharp one with more deals sampled (kExpertCard and kExpertBid times
// the effort's); once kSolveTricks tricks or fewer are left, each sampled deal played out
// exactly, every seat taking the card best for itself rather than the quick one; and every end
// judged by the seat's chance of winning the game from the standing (the scores and the hands
// still to come) rather than by the hand's points alone.
inline constexpr int kExpertCard = 3, kExpertBid = 4, kSolveTricks = 3;
// What a decision weighed: each choice open to the seat, its worth (the average outcome the
// choice is taken by) and the weighted share of the sampled deals in which the seat's bid is
// made after it. `best` is the choice taken: the highest worth, the first of equals.
struct Estimate {
    std::vector<qint16> choices;
    std::vector<double> worth, made;
    size_t best = 0;
    qint16 Choice() const { return choices.empty() ? 0 : choices[best]; }
};
Estimate ExpertCard(const View& view, quint64 seed, const Effort& effort = {});
Estimate ExpertBid(const View& view, quint64 seed, bool dealerRestricted, const Effort& effort = {});

} // namespace Sharp
