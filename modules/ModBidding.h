#pragma once
// Bidding: the computer opponents' valuation and bids, the order of bidding and the
// human's bid through FrmBid.
#include <QtGlobal>

// Suit 1..4 of a card number, 0 for anything that is not 1..52.
quint8 CardSuit(int card);

// Counts the seat's cards per suit into G.SuitCount(1..4).
void CountSuits(int seat);

// The seat's raw bid by the counting rule (reads the game state only).
qint16 ValueHand(int seat);

// The bid a computer seat makes now: ValueHand, the long-hand raise, then the dealer's
// restriction against the bids already in G.Bids (reads the game state only).
qint16 ComputeComputerBid(int seat);

// Computes, stores and announces a computer seat's bid, with its beep and two pauses.
void ComputerBid(int seat);

// The four bids of the hand, from the seat after the dealer round to the dealer.
void BiddingSequence();
