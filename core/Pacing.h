#pragma once
// How long the game waits, in milliseconds: every value PauseMs takes during play. Each
// procedure that sets another pause leaves Standard set when it is done.
#include <QtGlobal>

namespace Pacing {

constexpr qint16 Standard = 150;    // the pause after a card is put down, and the default
constexpr qint16 Pack = 200;        // before the pack is stacked (twice with the riffle)
constexpr qint16 DealStep = 5;      // each step of a card sliding to its seat
constexpr qint16 ComputerBid = 750; // each of the two pauses after a computer's bid

// The player's choices of pace (Options.h). Quick Play: every pause above, times this.
constexpr double Quick = 0.4;
// Carry On by Itself: how long a finished trick stays on the table for a look before the
// game goes on, with the classic pacing and with Quick Play.
constexpr qint16 TrickLook = 1500;
constexpr qint16 QuickTrickLook = 800;
// The look times a player may choose instead (Look Time).
constexpr qint16 LookTimes[] = {1000, 1500, 2000, 3000, 4000, 5000};

} // namespace Pacing
