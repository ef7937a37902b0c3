#pragma once
// Trick play: the cards played, the trick and its winner, the end of a hand and of a game.
#include "Rules.h"

// Shows a seat's bid and the tricks it has made under its name.
void ShowBidLabel(int seat);

void PlayCard(int seat, int card);
void ComputerPlay(int seat);
// `seat` leads a trick: a computer seat plays at once; the player is asked, with `prompt`
// after the name, and the hand takes the keyboard.
void LeadTrick(int seat, const char* prompt);
void FindTrickWinner();
void TrickWon();
void EndOfHand();
void ShowPlayedCard(int card, int seat);
