#pragma once
// The game in progress, kept in Game.dat beside Name.dat and Scores.dat so that an unfinished
// game can be carried on at the next start. It is written at the moments nothing is in
// flight (the bidding just over, a trick just taken off the table), so that the state, the
// table's cards, the record of the hands and the deal's random generator say everything there
// is: the game goes on from there exactly as it would have.
//
// Plain text, one item a line, the first line naming the format and its version. A file that
// is not exactly such a game, whole and consistent, is a file that is not there.
#include "GameRecord.h"
#include "GameState.h"

#include <QByteArray>
#include <array>
#include <optional>
#include <string>

namespace SavedGame {

// A card's picture on the table: which image, where (twips), whether it shows.
struct Picture {
    qint16 image = 0;
    qint32 left = 0, top = 0;
    bool shown = false;
};

struct Snapshot {
    GameState state; // the game's own fields; names, pacing and statistics are not kept
    std::array<Picture, 53> pictures{};
    GameRecord::Record record;
    std::string deal; // the deal generator's state, as the standard library streams it
};

// The generator's state runs to about 7 KB; nothing near this is ever a game.
inline constexpr qint64 MaxBytes = 32 * 1024;

QByteArray Format(const Snapshot& s);
std::optional<Snapshot> Parse(const QByteArray& bytes);

// Game.dat, by the data files' rules.
bool Write(const QByteArray& bytes);
std::optional<Snapshot> Read();
void Remove();

} // namespace SavedGame
