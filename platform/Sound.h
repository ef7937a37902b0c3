#pragma once
// Our stand-in for the platform's "play this sound file asynchronously" call.
// One sound at a time: starting one stops the one playing. A missing or unplayable
// file, or no audio device at all, gives QApplication::beep() and never an error,
// a hang or a crash. The sound system itself is loaded lazily, after the first frame.

#include <QString>

namespace Sound {

// Start the named file from the program's directory (e.g. "RIFFLE.wav"); returns at once.
void PlayFile(const QString& fileName);

// Load the effects in the background of the event loop (called once the table is shown).
void Preload();

// Tests and the benchmark can silence the game; a muted game makes no sound and no beep.
void SetMuted(bool muted);
bool Muted();

// The name of the last file asked for (tests).
QString LastRequested();

} // namespace Sound
