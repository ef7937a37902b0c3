#pragma once
// Measurement hooks of the benchmark build (cmake -DVANTRICK_PROBE=ON, see scripts/bench).
//
// The game calls these at a few moments that the benchmark times: the table first shown,
// the pack painted in place, the deal, the bidding, each card played, the Carry On wait.
// In every other build they are empty inline functions and no trace of them is left in the
// program. In the benchmark build they only record; the benchmark's own driver (playing the
// human's part, answering the dialogs, writing the figures) runs only when the environment
// variable VANTRICK_BENCH is 1.

namespace Probe {

#ifdef VT_PROBE
// Once, from main(), after the application object exists.
void Install();
// A named moment of the game; `seat` says whose card or bid it is where that matters.
void Mark(const char* what, int seat = 0);
// One step of a card flying to its seat in the deal (each step is one pause).
void DealStep();
#else
inline void Install() {}
inline void Mark(const char*, int = 0) {}
inline void DealStep() {}
#endif

} // namespace Probe
