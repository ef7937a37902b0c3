#pragma once
// Bidding: the computer opponents' bids and the order of bidding; the player's bid comes
// from the view's bid dialog.
#include "Rules.h"

struct Game;

// Computes, stores and announces a computer seat's bid, with its beep and two pauses.
void ComputerBid(Game& game, int seat);

// The four bids of the hand, from the seat after the dealer round to the dealer; from
// `firstBidder` on when it is a seat (the bids before it already made).
void BiddingSequence(Game& game, int firstBidder = 0);
