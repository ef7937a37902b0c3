#pragma once
// The game in progress saved at the moments nothing is in flight, and carried on from there.
//
// Save points: the bidding just over (the dealer is to lead) and every Carry On (the trick
// off the table; the winner is to lead, or the hand is to be scored). The game's record
// (PlayRecord) then says everything the game is, and it is what a saved game holds
// (SavedGame). Carrying on plays the record through the rules, draws the table from what they
// leave, and goes on with the step that followed the save: the hand in play goes on exactly
// as it would have; the hands after it are dealt afresh.
#include <QByteArray>
#include <functional>
#include <optional>

struct Game;

// The game as it stands, in the saved game's format.
QByteArray SavedGameBytes(Game& game);
// At a save point: Game.dat is written (and Game::onSaved told).
void SaveGame(Game& game);
// The game has ended or been given up: no saved game is left.
void DropSavedGame(Game& game);

// The hand number of the saved game in Game.dat, or nothing when there is none to carry on.
std::optional<int> SavedGameHand();
// Puts the saved game (Game.dat, or the given bytes) back into G and onto the table; false,
// with nothing changed, when there is none or it is not a game.
bool RestoreSavedGame(Game& game);
bool RestoreSavedGame(Game& game, const QByteArray& bytes);
// The chain of play of a restored game: it goes on from its save point.
void CarryOnSavedGame(Game& game);
// A game has been restored and has not gone on yet (dropping the saved game, as New Game does,
// gives that up).
bool CarryOnPending(Game& game);
