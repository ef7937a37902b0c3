#pragma once
// The two data files and where they live, and where the program's own sounds and pictures are.
//
// Name.dat holds the player's name as one quoted field; Scores.dat one line of four
// comma-separated counts of games won. Both live in the program's directory; where that
// directory cannot be written (an installed game), the per-user data directory is used,
// seeded from the program directory's copies the first time. Writes are atomic, and a
// failed write never stops the game.
//
// The sounds and pictures sit beside the program, or, in a distribution's layout (the program
// in /usr/games, its files in /usr/share/games/vantrick), in the directory the build names
// relative to the program. A game installed that way keeps the data files per user even
// when it could write beside the program (as root), so removing the package leaves nothing.

#include "GameState.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <optional>

namespace DataFiles {

// The longest name kept, in UTF-16 units: longer than any real name, short enough for every
// label. Typed names and names read from Name.dat are cut to it alike, at a whole character.
inline constexpr qsizetype MaxNameLength = 64;
QString LimitName(const QString& name);

// A name as it is kept, typed or read: without control characters (shown as boxes, and a NUL
// cuts short what a screen reader is told), line or paragraph breaks, broken surrogate halves
// or direction isolates (InSentence's own), a double quote turned into an apostrophe (the file
// keeps the name between double quotes), cut to MaxNameLength.
QString CleanName(const QString& name);

// The name as it goes into the game's sentences and labels: a name with a direction of its own
// (a right-to-left script, an override) is isolated, so it can never turn the rest of a line
// round. Any other name is returned as it is.
QString InSentence(const QString& name);

// Neither file is read when it is not a regular file (a FIFO, a device, a link to one) or
// holds more than this many bytes: both formats need only a few dozen.
inline constexpr qint64 MaxFileBytes = 4096;

// Pure formats.
QByteArray FormatName(const QString& name);
// The first field of the file cut to MaxNameLength, or nullopt when the file has no usable
// field.
std::optional<QString> ParseName(const QByteArray& bytes);
QByteArray FormatScores(const std::array<qint16, 5>& won);
// Reads what it can: counts it cannot read are 0; every count is held to 0..32767, a run of
// digits of any length included.
std::array<qint16, 5> ParseScores(const QByteArray& bytes);

// The full path of one of the program's sounds or pictures.
QString AssetPath(const QString& file);

// The directory the data files are read from and written to.
QString DataDir();
// Tests point the data files somewhere else ("" goes back to the normal choice); programDir
// stands for the program's directory, where copies are looked for when the data directory has
// none (by default the data directory itself, so that a test sees only its own files).
void SetDataDirOverride(const QString& dir, const QString& programDir = QString());

// Thousands of games without a window (tests, the benchmark) keep the files as they are: each
// write then does nothing and succeeds.
void SetWriting(bool enabled);
bool Writing();

// Read Name.dat; "Player" when it is missing, empty, unreadable, too big or not a file.
QString LoadName();
// Write Name.dat atomically; false when it could not be written.
bool SaveName(const QString& name);

// GamesWon(1..4) from Scores.dat / to Scores.dat.
void LoadStatistics(GameState& G);
bool SaveStatistics(const GameState& G);

// Any data file by name, under the same rules: read only when a regular file of at most
// maxBytes; written atomically; removed (true when it is gone).
std::optional<QByteArray> ReadFile(const QString& name, qint64 maxBytes);
bool WriteFile(const QString& name, const QByteArray& bytes);
bool RemoveFile(const QString& name);

// A file of the program's is only ever written as a regular file of its own: a symbolic link
// in its place is removed first (an atomic write would write to what the link names), so the
// write puts a new file where the link was. Every writer calls this just before writing.
void UnlinkInPlace(const QString& path);

} // namespace DataFiles

using DataFiles::LoadStatistics;
using DataFiles::SaveStatistics;
