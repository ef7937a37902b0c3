#pragma once
// The game's pauses on the event loop: the window stays live while one runs.

// Waits until G.PauseMs milliseconds (shortened by Quick Play, Options::PaceFactor, and scaled
// by Waits::PaceScale) have passed since G.PauseStart.
void WaitFromPauseStart();
