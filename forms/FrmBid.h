#pragma once
// The human's bid: a small modal dialog with a box for digits and a Bid button.
#include <QDialog>
#include <QPointer>
#include <functional>
#include <optional>

#include "Twips.h"

class QLabel;
class QLineEdit;
class QPushButton;

class FrmBid : public QDialog {
    Q_OBJECT
  public:
    // A dialog of `owner`'s, telling a screen reader the bid made on `announceOn`.
    FrmBid(QWidget* owner, QWidget* announceOn);

    // What the dialog asks of the table it bids at: a notice shown (a wrong entry), the hint
    // (H) and how the hand stands (S).
    std::function<void(const QString& message, const QString& title)> Notice;
    std::function<void()> AskHint, SayStatus;
    // Told as the dialog opens for a bid (the table's line asking for it).
    std::function<void()> Loaded;

    QLabel* LblBidTxt = nullptr;
    QLineEdit* TxtBid = nullptr;
    QPushButton* CmdBid = nullptr;

    void Form_Load();
    // The key filter: returns the key to let through, 0 to discard it.
    int TxtBid_KeyPress(int KeyAscii);
    void CmdBid_Click();

    // Whole number 0..13 from the box's text, nullopt otherwise (pure, for the click handler).
    static std::optional<int> ParseBid(const QString& text);

    // Creates the window before it is first needed, so that its first showing does not stall
    // a hand. Shows nothing.
    void WarmUp();

    // Lays the dialog out again at the table's zoom.
    void FollowZoom();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    ZoomedControls controls_;
    qint16 bid_ = 0; // the bid Bid accepted
    QPointer<QWidget> announceOn_;
    friend qint16 ShowBidDialog(FrmBid& dialog);
};

// Shows the bid dialog, emptied, modally over the table and returns the bid once it has gone.
qint16 ShowBidDialog(FrmBid& dialog);
