#pragma once
// The rules of Vantrick: functions that read the game state G and card and seat numbers and
// return a result, touching no widget, no file and no clock. A function that shows, waits,
// plays a sound or draws a random card is a procedure of play and belongs in its module.
//
// Card numbers are (suit - 1) * 13 + rank: suits 1 Diamonds, 2 Clubs, 3 Hearts, 4 Spades;
// ranks 1 Ace, 2..10, 11 Jack, 12 Queen, 13 King. In that order the Ace is the lowest card
// of its suit; in play it is the highest.
#include "GameState.h"

#include <QString>
#include <QtGlobal>
#include <array>

// --- The hand ---

int CardNumber(int suit, int rank);
// The ranks from the lowest card in play to the highest: Two..King, then the Ace.
inline constexpr std::array<int, 13> RanksLowToHigh{2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 1};

// HandSize of a hand number 1..19: |n - 10| + 1.
qint16 HandSizeFor(int handNumber);
// The order in which seats receive cards and bid: the seat after the dealer first.
std::array<qint16, 4> DealOrder(int dealer);

// --- Bidding ---

// Suit 1..4 of a card number, 0 for anything that is not 1..52.
quint8 CardSuit(int card);
// Counts the seat's cards per suit into G.SuitCount(1..4).
void CountSuits(GameState& G, int seat);
// The seat's raw bid by the counting rule.
qint16 ValueHand(GameState& G, int seat);
// The bid a computer seat makes now: ValueHand, the long-hand raise, then the dealer's
// restriction against the bids already in G.Bids.
qint16 ComputeComputerBid(GameState& G, int seat);

// --- Play ---

// The seats after the leader G.TrickSeat1, clockwise, into G.TrickSeat2..4.
void SetTrickOrder(GameState& G);
// May `seat` play `card` now? The card must be in the seat's hand; a seat that does not
// lead must follow LedSuit when it holds it.
bool IsLegalPlay(const GameState& G, int seat, int card);
// The winning card among the four trick cards (G.TrickCard1..4) with G.Trumps and G.LedSuit.
qint16 WinnerOfTrick(const GameState& G);

// The card a computer seat chooses to play now, and the tests its choice is made of:
// - LowestCard, the seat's lowest card (rank Two..King then Ace; Diamonds, Clubs, Hearts,
//   Spades within a rank), 0 when it holds none;
// - LowestOfSuit, its lowest card of the suit other than its Ace, else its Ace, else 0;
// - PassesTrickTest, would `card` (of the led suit, not the Ace) win the trick as it stands?
qint16 ChooseComputerCard(const GameState& G, int seat);
qint16 LowestCard(const GameState& G, int seat);
qint16 LowestOfSuit(const GameState& G, int seat, int suit);
bool PassesTrickTest(const GameState& G, int card);

// --- Scoring ---

// Points for one seat's hand: tricks, plus 10 when they equal the bid.
qint16 HandPoints(qint16 bid, qint16 tricks);
// The seat with a total strictly above every other, or 0 for a draw.
int GameWinner(const GameState& G);
// The line under a seat's name ("Bid: 2 Tricks made: 1") and its line on the score board
// ("The Prof : 42").
QString BidLine(const GameState& G, int seat);
QString ScoreLine(const GameState& G, int seat, qint16 total);
