#include "Pauses.h"

#include "GameState.h"
#include "Options.h"
#include "Waits.h"

#include <algorithm>

namespace {
// Milliseconds since PauseStart; unsigned arithmetic keeps this right across the tick's wrap.
qint64 SincePauseStart(const qint32& pauseStart) {
    return static_cast<quint32>(static_cast<quint32>(TickCount()) - static_cast<quint32>(pauseStart));
}

// The tick at which the last pause was due to end, while the pauses follow one another.
quint32 lastDeadline = 0;
bool chained = false;
} // namespace

// Quick Play shortens the pause the game asks for; the tests' PaceScale shortens whatever is left.
qint64 PauseLengthNow(int ms) {
    return static_cast<qint64>(ms * Options::PaceFactor() * Waits::PaceScale);
}

void PauseFromNow(qint32& pauseStart, int ms) {
    // A pause that begins within a tick of the end of the one before (the steps of a card
    // sliding to its seat) is measured from that one's deadline: moving and painting the card
    // then belong to the pause, and a run of short steps lasts the sum of their lengths however
    // busy the machine, instead of gaining a little at every step.
    const quint32 now = static_cast<quint32>(TickCount());
    const bool follows = chained && now - lastDeadline <= 1u;
    pauseStart = static_cast<qint32>(follows ? lastDeadline : now);
    chained = false; // an abandoned pause leaves nothing to follow on from
    WaitFromPauseStart(pauseStart, ms);
    lastDeadline =
        static_cast<quint32>(pauseStart) + static_cast<quint32>(std::max<qint64>(0, PauseLengthNow(ms)));
    chained = PauseLengthNow(ms) > 0;
}

// PauseStart and the choices are read afresh each time the wait wakes, so a pause that resumes
// after a nested one measures from the nested one's start, and Quick Play changed meanwhile
// shortens the pause under way.
void WaitFromPauseStart(const qint32& pauseStart, int ms) {
    if (ms <= 0) return;
    if (PauseLengthNow(ms) <= 0) {
        Waits::WaitMs(ms); // shortened by the tests: one turn of the event loop
        return;
    }
    Waits::WaitUntil(
        [&pauseStart, ms] { return SincePauseStart(pauseStart) >= PauseLengthNow(ms); },
        [&pauseStart, ms] { return std::max<qint64>(0, PauseLengthNow(ms) - SincePauseStart(pauseStart)); });
}
