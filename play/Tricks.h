#pragma once
// Trick play: the cards played, the trick and its winner, the end of a hand and of a game.
#include "Rules.h"

struct Game;

// Shows a seat's bid and the tricks it has made under its name.
void ShowBidLabel(Game& game, int seat);

void PlayCard(Game& game, int seat, int card);
void ComputerPlay(Game& game, int seat);
// `seat` leads a trick: a computer seat plays at once; the player is asked, with `prompt`
// after the name, and the hand takes the keyboard.
void LeadTrick(Game& game, int seat, const char* prompt);
void FindTrickWinner(Game& game);
void TrickWon(Game& game);
void EndOfHand(Game& game);
void ShowPlayedCard(Game& game, int card, int seat);
