#pragma once
// What the table marks for a player who follows the game: whose turn it is (the seat's name
// label, and the player's hand), the dealer (a small disc beside the dealer's name), the bids
// made against the tricks of the hand ("Bids: 12 of 10"), and the last trick shown again on
// request. All are drawn from the game's state and record (G, GameRecord) whenever the game
// says it has changed (TableView::Follow); none moves or covers anything the table shows.
#include <QObject>
#include <QPointer>

#include "Twips.h"

class QAction;
class QLabel;
class QWidget;
class Table;

class TableMarks : public QObject {
  public:
    // Made by the table once its controls are laid out at zoom 1; adds Play -> Last Trick (L)
    // and Game Statistics -> Score Sheet (F3).
    explicit TableMarks(Table* table);

    // The marks afresh from the game.
    void Refresh();
    // Places and sizes at the table's zoom.
    void Place();

    // The last trick over the table until a key or a mouse button is pressed or the key that
    // showed it is let go; nothing while a question is open or before a trick has been taken.
    void ShowLastTrick();
    void HideLastTrick();
    bool LastTrickShown() const;

    QLabel* BidsLine = nullptr;   // "Bids: 12 of 10"
    QLabel* DealerMark = nullptr; // "Dealer: The Prof" to a screen reader
    QWidget* HandMark = nullptr;  // under-line of the player's hand on the player's turn
    QWidget* LastTrick = nullptr; // the overlay
    QAction* MnuLastTrick = nullptr;
    QAction* MnuScoreSheet = nullptr;
    QAction* MnuHistory = nullptr; // Game Statistics -> History, F5

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    Table* table_;
    ZoomedControls controls_;
};
