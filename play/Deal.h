#pragma once
// The start of every hand: the hand-size schedule, the dealer, the random deal, the trump
// card; and the card layout on the table (pack, corner pack, the player's hand) with the
// dealing animation.
#include "Rules.h"

#include <QtGlobal>
#include <cstdint>

// The deal's one random generator; tests seed it so that deals repeat exactly.
void SeedDeal(std::uint32_t seed);

// Deals a hand, has it bid, and leads its first trick; the first hand of a game also
// starts the game.
void StartHand();
void ChooseFirstDealer();
void NextHandSize();
qint16 PickRandomCard();
void ShowTrumps();

void ShowPack();
void MovePackToCorner();
void ShowPlayerHand();
void DealCards();
void DealCardToSeat(int seat, int card);
