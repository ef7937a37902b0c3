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

struct Game;

namespace Opponents {

void SetLevel(Game& game, int seat, Sharp::Level level);
Sharp::Level LevelOf(const Game& game, int seat);
// The bid and the card of a computer seat now, by its method; a computer dealer obeys the
// dealer's restriction.
qint16 BidFor(Game& game, int seat);
qint16 CardFor(Game& game, int seat);

// What the expert method makes of the player's choices now, the hint: an estimate to work out
// aside, which reads nothing but what it holds. The player is no computer dealer, so the
// hinted bid is free of the restriction.
std::function<Sharp::Estimate()> HintBid(Game& game);
std::function<Sharp::Estimate()> HintCard(Game& game);
// The card choices best first for the hint: the most ways of making the bid, then the worth.
std::vector<size_t> HintOrder(const Sharp::Estimate& e);
// "Hint: the Five of Diamonds (your bid made in 7 of 10 ways the cards may lie; the King: 4 of
// 10)": the hinted card and the runner-up, named by its rank alone when of the same suit.
QString CardHintText(const Game& game, const Sharp::Estimate& e);
// "Hint: bid 2 (made in 6 of 10)": the expert's own bid.
QString BidHintText(const Sharp::Estimate& e);

} // namespace Opponents
