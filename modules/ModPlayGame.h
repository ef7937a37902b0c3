#pragma once
// Trick play: the rules of play, the computer's card choice, the trick and its winner,
// the end of a hand and of a game.
#include <QString>
#include <QtGlobal>

// --- Rules (read the game state only, touch no widget) ---

// May `seat` play `card` now? The card must be in the seat's hand; a seat that does not
// lead must follow LedSuit when it holds it.
bool IsLegalPlay(int seat, int card);

// The seat's lowest card (rank Two..King then Ace; Diamonds, Clubs, Hearts, Spades within a
// rank), 0 when it holds none.
qint16 LowestCard(int seat);
// The seat's lowest card of the suit other than its Ace, else its Ace, else 0.
qint16 LowestOfSuit(int seat, int suit);
// Would `card` (of the led suit, not the Ace) win the trick as it stands?
bool PassesTrickTest(int card);
// The card a computer seat chooses to play now.
qint16 ChooseComputerCard(int seat);

// The winning card among the four trick cards (G.TrickCard1..4) with G.Trumps and G.LedSuit.
qint16 WinnerOfTrick();

// Points for one seat's hand: tricks, plus 10 when they equal the bid.
qint16 HandPoints(qint16 bid, qint16 tricks);
// The score-board line of a seat, e.g. "The Prof : 42".
QString ScoreLine(int seat, qint16 total);
// The seat with a total strictly above every other, or 0 for a draw.
int GameWinner();

// --- The procedures of play ---
void SetTrickOrder();
void PlayCard(int seat, int card);
void ComputerPlay(int seat);
void FindTrickWinner();
void TrickWon();
void EndOfHand();
void ShowPlayedCard(int card, int seat);
