#pragma once
// Who bids and plays for a seat the computer plays: the classic rules, or the sharp or the
// expert method for the seats set to it. Both methods decide from the seat's own view of the
// table (its cards, the bids, the hand's record of the cards played) and run through the
// Decider (Decider.h), which the window runs off its own thread. With every seat Classic, the
// opponents are the classic ones exactly.
#include "HandLog.h"
#include "Sharp.h"

#include <QString>
#include <functional>

namespace Opponents {

void SetLevel(int seat, Sharp::Level level);
Sharp::Level LevelOf(int seat);
// The look-ahead's size (tests make it small, to play many games).
void SetEffort(const Sharp::Effort& effort);

// The sharp decisions' seed, independent of the deal's: drawn afresh at start-up, set by a
// saved game carried on and by tests, so that a seeded game repeats decision for decision.
void Seed(quint64 seed);
quint64 SeedNow();

// The hand's record: started when the trump card is turned up, a card added as each is played.
HandLog& Log();

// The bid and the card of a computer seat now, by its method; a computer dealer obeys the
// dealer's restriction.
qint16 BidFor(int seat);
qint16 CardFor(int seat);

// What the expert method makes of the player's choices now, the hint: an estimate to work out
// aside, which reads nothing but what it holds. The player is no computer dealer, so the
// hinted bid is free of the restriction.
std::function<Sharp::Estimate()> HintBid();
std::function<Sharp::Estimate()> HintCard();
// The card choices best first for the hint: the most ways of making the bid, then the worth.
std::vector<size_t> HintOrder(const Sharp::Estimate& e);
// "Hint: the Five of Diamonds (your bid made in 7 of 10 ways the cards may lie; the King: 4 of
// 10)": the hinted card and the runner-up, named by its rank alone when of the same suit.
QString CardHintText(const Sharp::Estimate& e);
// "Hint: bid 2 (made in 6 of 10)": the expert's own bid.
QString BidHintText(const Sharp::Estimate& e);

} // namespace Opponents
