#pragma once
// The start of every hand: the hand-size schedule, the dealer, the random deal, the trump
// card; and the card layout on the table (pack, corner pack, the player's hand) with the
// dealing animation.
#include "Layout.h"
#include "PlayRecord.h"
#include "Rules.h"

#include <QtGlobal>
#include <cstdint>
#include <string>
#include <vector>

// The deal's one random generator; tests seed it so that deals repeat exactly.
void SeedDeal(std::uint32_t seed);
// The generator's whole state as text, and that state set again (a saved game goes on with
// the deals it would have had); false, and the generator untouched, for text that is not one.
std::string DealState();
bool SetDealState(const std::string& state);

// Deals a hand, has it bid, and leads its first trick; the first hand of a game also
// starts the game.
void StartHand();
// The hand from its bidding on: the bids from `firstBidder` (0: the seat after the dealer; a
// bid taken back asks again from the player), then the dealer's lead.
void BidAndLead(int firstBidder);
void ChooseFirstDealer();
void NextHandSize();
qint16 PickRandomCard();
void ShowTrumps();

void ShowPack();
void MovePackToCorner();
void ShowPlayerHand();
// Deals the hand from the pack ShowPack has just stacked in the middle; the cards in the order
// dealt.
std::vector<qint8> DealCards();
// The table as the hand's deal left it (the cards in their places, the pack in the corner,
// the trump card turned up), drawn at once.
void LayOutDeal(const PlayRecord::Deal& d);
// The table as the hand in play stands, drawn at once from G and the record of play
// (PlayRecord::Current()): its deal laid out, then each card played since taken to the trick
// as play took it, the trick in play showing and those gathered gone. A saved game carried on
// and a decision taken back come back onto the table this way.
void LayOutHand();
// Slides `card` from `from` to the seat, step by step, and lands it in the seat's row or column.
void DealCardToSeat(int seat, int card, Layout::Spot from);
