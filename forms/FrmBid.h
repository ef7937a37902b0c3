#pragma once
// The human's bid: a small modal dialog with a box for digits and a Bid button.
#include <QDialog>
#include <optional>

#include "Twips.h"

class QLabel;
class QLineEdit;
class QPushButton;

class FrmBid : public QDialog {
    Q_OBJECT
  public:
    explicit FrmBid(QWidget* owner);

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
    friend qint16 ShowBidDialog();
};

// The bid dialog of the table (made on first use, then kept hidden between bids).
FrmBid& BidForm();

// The bid dialog, if it has been made, follows the table's zoom.
void BidFormFollowZoom();

// Shows the bid dialog, emptied, modally over the table and returns the bid once it has gone.
qint16 ShowBidDialog();
