#pragma once
// The fields of a game as it stands: the cards, the seats' bids, tricks and scores, the trick
// on the table, and the pause under way. A Game (Game.h) holds them as `G`; the rules read
// them, the procedures of play keep them. The names and integer widths are the game's own;
// every per-seat table is indexed by seat 1..4 (element 0 is unused) and `Cards` by card
// number 1..52.

#include <QString>
#include <QtGlobal>
#include <array>

// Where a card is (CardRec::Holder): the pack, a seat's hand 1..4, or the trick on the table.
namespace Holders {
enum : quint8 { Pack = 0, Trick = 5 };
}

struct CardRec {
    QString FullName;
    QString RankName;
    qint16 Rank = 0;
    QString SuitName;
    quint8 Suit = 0;
    quint8 Holder = 0; // 0 pack, 1..4 a seat's hand, 5 the current trick
};

struct GameState {
    std::array<CardRec, 53> Cards{};
    QString PlayerName;
    std::array<QString, 5> PlayerNames{};
    std::array<qint16, 5> GamesWon{};
    bool GameOn = false;
    std::array<qint16, 5> GameScore{};
    qint16 HandNumber = 0;
    qint16 HandSize = 0;
    qint16 Dealer = 0;
    qint16 Trumps = 0;
    std::array<qint16, 5> Bids{};
    std::array<qint16, 5> TricksMade{};
    std::array<qint16, 5> CardsLeft{};
    std::array<qint16, 5> SuitCount{}; // indexed by suit 1..4
    bool HandOver = false;
    qint16 TrickSeat1 = 0, TrickSeat2 = 0, TrickSeat3 = 0, TrickSeat4 = 0;
    qint16 TrickCard1 = 0, TrickCard2 = 0, TrickCard3 = 0, TrickCard4 = 0;
    qint16 LedSuit = 0;
    qint16 Turn = 0;
    qint16 WinningCard = 0;
    qint16 TrickWinner = 0;
    bool ContinueFlag = false;
    qint16 PauseMs = 0;
    qint32 PauseStart = 0;
    qint16 NextTop4 = 0, NextTop2 = 0, NextLeft1 = 0, NextLeft3 = 0;
    qint16 ButtonPressed = 0;
    // What the player has been helped to in this game, for its line in the history.
    qint16 HintsUsed = 0;
    qint16 TakeBacksUsed = 0;
};

// Seat after seat s, clockwise.
constexpr qint16 NextSeat(int s) {
    return static_cast<qint16>((s % 4) + 1);
}

// Fills the names, ranks and suits of the 52 card records.
void MakeCards(GameState& G);

// Sets G.PauseMs for as long as it lives, then puts back the length that was set before:
// a procedure with pauses of its own never leaves them behind, not even when its chain of
// play is abandoned half-way.
class PauseLength {
  public:
    PauseLength(GameState& G, qint16 ms) : G_(G), saved_(G.PauseMs) { G.PauseMs = ms; }
    ~PauseLength() { G_.PauseMs = saved_; }
    PauseLength(const PauseLength&) = delete;
    PauseLength& operator=(const PauseLength&) = delete;

  private:
    GameState& G_;
    qint16 saved_;
};

// The millisecond tick of the pauses: monotonic, 32 bits, wraps like a platform tick.
qint32 TickCount();
