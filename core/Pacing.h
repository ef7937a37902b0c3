#pragma once
// How long the game waits, in milliseconds: every value PauseMs takes during play. Each
// procedure that sets another pause leaves Standard set when it is done.
#include <QtGlobal>

namespace Pacing {

constexpr qint16 Standard = 150;    // the pause after a card is put down, and the default
constexpr qint16 Pack = 200;        // before the pack is stacked (twice with the riffle)
constexpr qint16 DealStep = 5;      // each step of a card sliding to its seat
constexpr qint16 ComputerBid = 750; // each of the two pauses after a computer's bid

} // namespace Pacing
