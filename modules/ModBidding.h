#pragma once
// Bidding: the computer opponents' valuation and bids, the order of bidding and the
// human's bid through FrmBid.
#include "Rules.h"

// Computes, stores and announces a computer seat's bid, with its beep and two pauses.
void ComputerBid(int seat);

// The four bids of the hand, from the seat after the dealer round to the dealer.
void BiddingSequence();
