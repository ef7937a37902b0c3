#pragma once
// The game's pauses on the event loop: the window stays live while one runs.

#include <QtGlobal>

// How long a pause of `ms` lasts with the choices in force now, in milliseconds.
qint64 PauseLengthNow(int ms);

// Starts a pause of `ms` now (or, right after another pause, at that one's deadline), setting
// the game's `pauseStart` (G.PauseStart), and waits it out.
void PauseFromNow(qint32& pauseStart, int ms);

// Waits until `ms` milliseconds (shortened by Quick Play, Options::PaceFactor, and scaled by
// Waits::PaceScale) have passed since `pauseStart`, read afresh each time the wait wakes.
void WaitFromPauseStart(const qint32& pauseStart, int ms);
