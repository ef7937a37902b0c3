#include "Pauses.h"

#include "GameState.h"
#include "Options.h"
#include "Waits.h"

#include <algorithm>

namespace {
// Milliseconds since PauseStart; unsigned arithmetic keeps this right across the tick's wrap.
qint64 SincePauseStart() {
    return static_cast<quint32>(static_cast<quint32>(TickCount()) - static_cast<quint32>(G.PauseStart));
}

// Quick Play shortens the pause the game asks for; the tests' PaceScale shortens whatever is left.
qint64 PauseLengthNow() {
    return static_cast<qint64>(G.PauseMs * Options::PaceFactor() * Waits::PaceScale);
}
} // namespace

// PauseStart and PauseMs are read afresh each time the wait wakes, so a pause that resumes
// after a nested one measures from the nested one's start with the length then in force.
void WaitFromPauseStart() {
    if (G.PauseMs <= 0) return;
    if (PauseLengthNow() <= 0) {
        Waits::WaitMs(G.PauseMs); // shortened by the tests: one turn of the event loop
        return;
    }
    Waits::WaitUntil([] { return SincePauseStart() >= PauseLengthNow(); },
                     [] { return std::max<qint64>(0, PauseLengthNow() - SincePauseStart()); });
}
