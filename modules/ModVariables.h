#pragma once
// The program-wide game state and the small services every part of the game uses:
// card names, the message list, the pauses and the sound effects.
//
// All state lives in one struct, `G`, so that a test can put the whole game back to
// its start-up values with `ResetGameState()`. The names and integer widths are the
// game's own; every per-seat table is indexed by seat 1..4 (element 0 is unused) and
// `Cards` by card number 1..52.
//
// The state, the card records, and TickCount need only QtCore and are built into
// the vantrick_core library with the rules (GameState.cpp); ShowInfo, Pause and the sounds
// reach the table and the sound system (ModVariables.cpp).

#include <QString>
#include <QtGlobal>
#include <array>

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
};

extern GameState G;

// Puts every variable back to zero, false or empty, as at program start.
void ResetGameState();

// Seat after seat s, clockwise.
constexpr qint16 NextSeat(int s) {
    return static_cast<qint16>((s % 4) + 1);
}

// Fills the names, ranks and suits of the 52 card records.
void MakeCards();

// Adds a line to the table's message list and selects it.
void ShowInfo(const QString& text);

// Waits PauseMs milliseconds while the window keeps handling events.
void Pause();

void PlayDealSound();
void PlayRiffleSound();
void PlayCardDownSound();

// The millisecond tick of the pauses: monotonic, 32 bits, wraps like a platform tick.
qint32 TickCount();
