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

struct Game;

// Seeds the deal's generator (Game::deal), so that deals repeat exactly.
void SeedDeal(Game& game, std::uint32_t seed);

// Deals a hand, has it bid, and leads its first trick; the first hand of a game also
// starts the game.
void StartHand(Game& game);
// The hand from its bidding on: the bids from `firstBidder` (0: the seat after the dealer; a
// bid taken back asks again from the player), then the dealer's lead.
void BidAndLead(Game& game, int firstBidder);
void ChooseFirstDealer(Game& game);
void NextHandSize(Game& game);
qint16 PickRandomCard(Game& game);
void ShowTrumps(Game& game);

void ShowPack(Game& game);
void MovePackToCorner(Game& game);
void ShowPlayerHand(Game& game);
// Deals the hand from the pack ShowPack has just stacked in the middle; the cards in the order
// dealt.
std::vector<qint8> DealCards(Game& game);
// The table as the hand's deal left it (the cards in their places, the pack in the corner,
// the trump card turned up), drawn at once.
void LayOutDeal(Game& game, const PlayRecord::Deal& d);
// The table as the hand in play stands, drawn at once from G and the record of play
// (game.record): its deal laid out, then each card played since taken to the trick
// as play took it, the trick in play showing and those gathered gone. A saved game carried on
// and a decision taken back come back onto the table this way.
void LayOutHand(Game& game);
// Slides `card` from `from` to the seat, step by step, and lands it in the seat's row or column.
void DealCardToSeat(Game& game, int seat, int card, Layout::Spot from);
