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
#include "HandLog.h"

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
    HandLog log;           // the trump card and the cards played this hand, as the sharp opponents read them
    quint64 sharpSeed = 0; // the seed of the sharp opponents' decisions
    std::string deal;      // the deal generator's state, as the standard library streams it
};

// The fields of G a saved game keeps besides the cards, in the order of its lines: the hand
// (then HandOver and ContinueFlag), the trick, where the next dealt cards go, and the per-seat
// tables. Restoring copies exactly these.
inline constexpr std::array<qint16 GameState::*, 8> HandFields{
    &GameState::HandNumber, &GameState::HandSize, &GameState::Dealer,      &GameState::Trumps,
    &GameState::LedSuit,    &GameState::Turn,     &GameState::WinningCard, &GameState::TrickWinner};
inline constexpr std::array<qint16 GameState::*, 8> TrickFields{
    &GameState::TrickSeat1, &GameState::TrickSeat2, &GameState::TrickSeat3, &GameState::TrickSeat4,
    &GameState::TrickCard1, &GameState::TrickCard2, &GameState::TrickCard3, &GameState::TrickCard4};
inline constexpr std::array<qint16 GameState::*, 4> NextFields{&GameState::NextTop4, &GameState::NextTop2,
                                                               &GameState::NextLeft1, &GameState::NextLeft3};
inline constexpr std::array<std::array<qint16, 5> GameState::*, 5> SeatFields{
    &GameState::Bids, &GameState::TricksMade, &GameState::CardsLeft, &GameState::GameScore,
    &GameState::SuitCount};

// The generator's state runs to about 7 KB; nothing near this is ever a game.
inline constexpr qint64 MaxBytes = 32 * 1024;

// Is this the deal generator's state as the standard library streams it: 624 words of 32 bits
// and a position? The library reads each word into a wider integer, and a word beyond 32 bits
// would have the generator give numbers beyond its range (a card drawn beyond the pack).
bool IsGeneratorState(const std::string& text);

QByteArray Format(const Snapshot& s);
std::optional<Snapshot> Parse(const QByteArray& bytes);

// Game.dat, by the data files' rules.
bool Write(const QByteArray& bytes);
std::optional<Snapshot> Read();
void Remove();

} // namespace SavedGame
