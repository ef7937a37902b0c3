#pragma once
// The game's pauses on the event loop: the window stays live while one runs.

#include <QtGlobal>

// How long a pause of `ms` lasts with the choices in force now, in milliseconds.
qint64 PauseLengthNow(int ms);

// Starts a pause of `ms` now (or, right after another pause, at that one's deadline) and waits
// it out.
void PauseFromNow(int ms);

// Waits until `ms` milliseconds (shortened by Quick Play, Options::PaceFactor, and scaled by
// Waits::PaceScale) have passed since G.PauseStart.
void WaitFromPauseStart(int ms);
