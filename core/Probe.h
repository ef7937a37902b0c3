#pragma once
// The seam between the game and the benchmark's probe (bench/Probe.cpp, built only with
// cmake -DVANTRICK_PROBE=ON; see scripts/bench).
//
// The game calls these at the moments the benchmark times: the table first shown, the pack
// painted in place, the deal, the bidding, each card played, the Carry On wait. In the
// normal build they are empty inline functions and leave nothing in the program.

#include <QObject>

namespace Probe {

#ifdef VT_PROBE
// Once, from main(), once the table window exists.
void Install(QObject* table);
// A named moment of the game; `seat` says whose card or bid it is where that matters.
void Mark(const char* what, int seat = 0);
// One step of a card flying to its seat in the deal (each step is one pause).
void DealStep();
#else
inline void Install(QObject*) {}
inline void Mark(const char*, int = 0) {}
inline void DealStep() {}
#endif

} // namespace Probe
