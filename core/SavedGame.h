#pragma once
// The game in progress, kept in Game.dat beside Name.dat and Scores.dat so that an unfinished
// game can be carried on at the next start. It is written at the moments nothing is in
// flight (the bidding just over, a trick just taken off the table) and holds the game's record
// (PlayRecord): each hand's deal, every bid and card in order, and the seed of the sharp
// opponents' decisions. Nothing of the table and nothing of the deal's generator: the table is
// drawn again from the record, and the hands not yet dealt are dealt afresh.
//
// Plain text, one item a line, the first line naming the format and its version:
//   version 3
//   sharp <seed>
//   deal <dealer> <trump card> <the cards in the order dealt>   (one a hand, before its actions)
//   bid <seat> <bid>  /  card <seat> <card>                     (every action, in order)
//   end
// Reading plays the record through the rules, and what they refuse (or a file that is not
// exactly such a game, whole) is a file that is not there. Older versions are no game: they
// kept only the hand in play, which cannot be checked against the game's rules from its start.
#include "GameState.h"
#include "PlayRecord.h"

#include <QByteArray>
#include <array>
#include <optional>

namespace SavedGame {

struct Snapshot {
    PlayRecord::Record record;
    quint64 sharpSeed = 0; // the seed of the sharp opponents' decisions
    GameState state;       // the record played through the rules (on reading)
};

// The fields of G the record gives back, besides the cards' holders: the hand, the trick and
// the per-seat tables. Restoring copies exactly these.
inline constexpr std::array<qint16 GameState::*, 8> HandFields{
    &GameState::HandNumber, &GameState::HandSize, &GameState::Dealer,      &GameState::Trumps,
    &GameState::LedSuit,    &GameState::Turn,     &GameState::WinningCard, &GameState::TrickWinner};
inline constexpr std::array<qint16 GameState::*, 8> TrickFields{
    &GameState::TrickSeat1, &GameState::TrickSeat2, &GameState::TrickSeat3, &GameState::TrickSeat4,
    &GameState::TrickCard1, &GameState::TrickCard2, &GameState::TrickCard3, &GameState::TrickCard4};
inline constexpr std::array<std::array<qint16, 5> GameState::*, 4> SeatFields{
    &GameState::Bids, &GameState::TricksMade, &GameState::CardsLeft, &GameState::GameScore};

// A whole game's record is under 10 KB; nothing near this is ever a game.
inline constexpr qint64 MaxBytes = 32 * 1024;

QByteArray Format(const Snapshot& s);
// The file's record played through the rules, or nothing.
std::optional<Snapshot> Parse(const QByteArray& bytes);

// Game.dat, by the data files' rules.
bool Write(const QByteArray& bytes);
std::optional<Snapshot> Read();
void Remove();

} // namespace SavedGame
