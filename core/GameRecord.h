#pragma once
// What the game keeps of itself beyond the hand in play, for the player to follow: every hand
// of the game so far with its bids, tricks and points (the score sheet), the seat asked for
// its bid now, and the last trick taken off the table. The procedures of play keep it from G;
// the window reads it; a saved game carries it.
#include <QtGlobal>
#include <array>
#include <vector>

struct Game;

namespace GameRecord {

struct Hand {
    qint16 number = 0, cards = 0, trumps = 0, dealer = 0;
    std::array<bool, 5> bid{}; // the seat has bid
    std::array<qint16, 5> bids{}, tricks{}, points{};
    bool scored = false;
};

// The four cards of a trick in order of play (index 0..3), and who took it.
struct Trick {
    std::array<qint16, 4> seats{}, cards{};
    qint16 winner = 0; // 0: no trick taken yet this hand
};

struct Record {
    std::vector<Hand> hands;
    qint16 bidder = 0; // the seat asked for its bid now, 0 outside the bidding
    Trick last;
};

// Each from G, at its moment: the hand dealt and its trumps turned (the first hand of a game
// starts the record afresh), a seat asked for its bid (0: the bidding is over), its bid made,
// a trick taken, the trick taken off the table, the hand scored.
void HandDealt(Game& game);
void Bidding(Game& game, int seat);
void BidMade(Game& game, int seat);
void TrickTaken(Game& game);
void TrickCleared(Game& game);
void HandScored(Game& game);

// The bids made so far in the hand in play, and whether any has been made.
int BidTotal(const Game& game);
bool AnyBid(const Game& game);

// The seat to bid or play now, 0 for none: the bidder, else the seat whose turn it is while a
// trick is under way.
int SeatToAct(const Game& game);

// The four seats' totals (seat 1 first) after each hand scored so far, for the history's chart.
std::vector<std::array<int, 4>> RunningTotals(const Game& game);

} // namespace GameRecord
