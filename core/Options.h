#pragma once
// The player's choices of pace and help, kept from one run to the next with QSettings under
// the application's organisation and name (on Linux ~/.config/Vantrick/Vantrick.conf). All
// are off by default, and with all off the game plays and paces exactly as it always has.
//
// The settings file is read only when it is a regular file of at most MaxFileBytes; anything
// else (missing, a directory, a FIFO, too big, unreadable, garbled) gives the defaults, and a
// write that fails leaves the choices in force for this run only. Nothing here ever stops
// the start.
#include "Sharp.h"

#include <QString>
#include <QtGlobal>

namespace Options {

struct Choices {
    bool quickPlay = false;       // every pause of the game shortened by Pacing::Quick
    bool carryOnByItself = false; // after a short look at the trick the game goes on by itself
    bool showPlayable = false;    // on the player's turn the cards that may not be played are dimmed
    Sharp::Level opponents = Sharp::Level::Classic; // how the three opponents bid and play
    // Choices for every player: kept off by default so that the classic game is unchanged.
    bool soundOff = false;   // no sound and no beep (the Sound item shows it the other way round)
    bool fourColour = false; // hearts red, diamonds blue, clubs green, spades black
    // How long Carry On by Itself shows a finished trick, one of Pacing::LookTimes; 0 keeps the
    // standard look (Pacing::TrickLook, or Pacing::QuickTrickLook with Quick Play). A time of
    // the player's own holds with Quick Play too: the look is for reading the trick.
    int lookTimeMs = 0;
    bool operator==(const Choices&) const = default;
};

// A few short lines are all the file ever needs.
inline constexpr qint64 MaxFileBytes = 16 * 1024;

// The choices in force now; all off until Load() has been called.
Choices& Current();

// The settings file's full path (it need not exist).
QString FilePath();
// The choices kept in the settings file, or the defaults for whatever cannot be read.
Choices Load();
// Keeps the choices; false when they could not be written (the file is left as it was).
bool Save(const Choices& choices);

// How much every pause of the game is stretched by the choices in force: 1 in the classic
// pacing, Pacing::Quick with Quick Play.
double PaceFactor();
// How long the four cards of a finished trick stay for a look before the game carries on by
// itself, in milliseconds; -1 when it does not (Carry On by Itself is off).
qint64 TrickLookMs();

} // namespace Options
