#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

class QWindow;

// Watches the whole application for the keyboard being taken up or put down (a key press,
// a mouse press), lets Return press Carry On as Space does, and hands the keyboard back when
// a window closes: without a window manager nobody else would, and keys would go nowhere.
class KeyWatch : public QObject {
  public:
    KeyWatch(QPushButton* carryOn, QWidget* table);

    // True from a key press until the next mouse press: focus marks are drawn only meanwhile.
    bool InUse() const { return inUse_; }
    void Use(bool keys);
    // The last key pressed anywhere in the program.
    int LastKey() const { return lastKey_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

    // The window below takes the keyboard: a modal one still open, else the window opened
    // last (help), else the table. A window that has gone but is still called active (a menu
    // closed with Escape) counts as none.
    void ActivateNext();

  private:
    bool inUse_ = false;
    int lastKey_ = 0;
    QPointer<QPushButton> carryOn_;
    QPointer<QWidget> table_;
    QElapsedTimer lastHide_;
    QPointer<QWidget> lastShown_;
};
