#pragma once
// What the procedures of play show, and what they ask the player: the table the game is shown
// on, the waits between moves, the sounds, and the player's answers. It only shows and asks:
// the procedures never read back what it shows (they know where they put every card, and G
// says the rest), the computers' decisions and the program's end go through Decider.h. The
// window implements it (forms/Table); HeadlessView implements it with no window at all, so
// that whole games can be played by tests and the benchmark with QtCore alone.
//
// Places are in twips on the table (see Layout.h); images are card numbers 1..52 or the
// backs from CardImage::FirstBack. Answers come back as return values.
#include <QString>
#include <QtGlobal>

#include "GameState.h"
#include "Layout.h"

// The labels the game writes into. Per-seat ones take the seat 1..4.
enum class Caption {
    SeatName,  // the name beside a seat (lblPlayer, lblProf, LblMarigold, lblTabitha)
    Bid,       // the bid and tricks line under a seat's name
    HandScore, // a seat's points of the last hand on the score board
    Score,     // a seat's line on the score board
    Rounds,    // "A 10 card Hand."
    Trumps,    // "Trumps:- Hearts"
};

enum class SoundId { Deal, Riffle, CardDown };

class TableView {
  public:
    virtual ~TableView() = default;

    // --- Cards: each of the 52 has one picture, which stays the same card ---
    virtual void SetCardImage(int card, int image) = 0;
    virtual void MoveCard(int card, Layout::Spot at) = 0;
    // Brings the card's picture in front of every other.
    virtual void CardToFront(int card) = 0;
    virtual void ShowCard(int card, bool shown) = 0;

    // --- Words ---
    virtual void SetCaption(Caption which, int seat, const QString& text) = 0;
    // A line at the end of the message list, which scrolls to it.
    virtual void ShowInfo(const QString& text) = 0;
    virtual void ClearInfo() = 0;

    // --- Time ---
    // Waits `ms` milliseconds from now (G.PauseStart), the window staying live.
    virtual void Pause(int ms) = 0;
    // Starts a sound; returns at once.
    virtual void PlaySound(SoundId sound) = 0;
    virtual void Beep() = 0;

    // --- The player ---
    // Shows Carry On and returns once it has been pressed.
    virtual void WaitCarryOn() = 0;
    // Asks the player's bid and returns it once Bid has been pressed.
    virtual qint16 AskBid() = 0;
    // The game's message dialog: returns the index (0..2) of the button pressed. An empty
    // caption means no such button.
    virtual int MsgDeluxe(const QString& message, const QString& button1, const QString& button2,
                          const QString& button3, qint16 icon, const QString& title) = 0;
    // The player's turn to play has come: the hand takes the keyboard.
    virtual void HandTakesFocus() = 0;

    // --- Following the game ---
    // Whose turn it is, the dealer, the bids or the record of the hands (GameRecord) has
    // changed: the marks on the table and the score sheet are shown afresh. A view that shows
    // none of them does nothing.
    virtual void Follow() {}

    // --- The menu ---
    virtual void EnablePlayMenu(bool enabled) = 0;
};

// The view the procedures of play use; set once by whoever makes it.
TableView& View();
// The view set now, or none.
TableView* CurrentView();
void SetView(TableView* view);

// The procedures' own shorthand: a line of the message list; a pause of G.PauseMs; a sound
// followed by that pause.
inline void ShowInfo(const QString& text) {
    View().ShowInfo(text);
}
inline void Pause(const GameState& G) {
    View().Pause(G.PauseMs);
}
inline void PlaySoundThenPause(const GameState& G, SoundId sound) {
    View().PlaySound(sound);
    Pause(G);
}
