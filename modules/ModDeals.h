#pragma once
// The start of every hand: the hand-size schedule, the dealer, the random deal, the trump
// card; and the card layout on the table (pack, corner pack, the player's hand) with the
// dealing animation.
#include <QtGlobal>
#include <array>
#include <cstdint>

// HandSize of a hand number 1..19: |n - 10| + 1.
qint16 HandSizeFor(int handNumber);
// The order in which seats receive cards and bid: the seat after the dealer first.
std::array<qint16, 4> DealOrder(int dealer);

// The deal's one random generator; tests seed it so that deals repeat exactly.
void SeedDeal(std::uint32_t seed);

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
