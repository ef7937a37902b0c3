#pragma once
// Take Back: the game put back to the player's last decision in the hand (their last card, or
// their bid while they have played no card since), as if it had not been made.
//
// Each time the player is asked to decide, the moment is marked: the game state, the records of
// the hand and the saved game as it stood. Going back restores the mark before the decision now
// asked for, and draws the table from it as a saved game is drawn; what the computers did
// before it stands, and after it they decide again from the same seeds (their decisions depend
// on nothing else), so the same card played again gives the same game. Marks never outlive
// their hand.

struct Game;
namespace TakeBack {

// The player is asked for a bid or a card now.
void Mark(Game& game);
// A new hand is dealt (or a game carried on): nothing before it can be taken back.
void Forget(Game& game);
// The player is to play a card and has made a decision earlier in this hand. The window adds
// that no chain of play runs and no question is open.
bool Possible(Game& game);
// Goes back one decision, and goes on from there: a card's turn waits for the card again; a bid
// asks it again and plays the hand on (run it as the chain of play). False when not Possible(Game& game).
bool Undo(Game& game);

} // namespace TakeBack
