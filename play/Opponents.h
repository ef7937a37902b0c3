#pragma once
// Who bids and plays for a seat the computer plays: the classic rules, or the sharp method for
// the seats set to it. The sharp method decides from the seat's own view of the table (its
// cards, the bids, the hand's record of the cards played) and runs through the view's Decide,
// which the window runs off its own thread. With no seat set, the opponents are the classic
// ones exactly.
#include "HandLog.h"
#include "Sharp.h"

#include <functional>

namespace Opponents {

void SetSharp(int seat, bool sharp);
bool IsSharp(int seat);
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

// What the sharp method would do for the player now, the hint: a decision to run aside, which
// reads nothing but what it holds. The player is no computer dealer, so the hinted bid is free
// of the restriction.
std::function<qint16()> HintBid();
std::function<qint16()> HintCard();

} // namespace Opponents
