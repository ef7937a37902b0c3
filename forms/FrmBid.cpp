#include "FrmBid.h"

#include "Fonts.h"
#include "MFormDeluxe.h"
#include "TableAccess.h"
#include "Twips.h"
#include "Waits.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpressionValidator>

// A title bar without a close box: the window manager offers no way out but Bid.
FrmBid::FrmBid(QWidget* owner, QWidget* announceOn)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint), announceOn_(announceOn) {
    const Zoom::AtDesignSize design;
    setObjectName(QStringLiteral("FrmBid"));
    setWindowTitle(QStringLiteral("Enter your Bid."));
    setFont(DesignFont(Face::TimesNewRoman, 9.75));
    setFixedSize(Px(3255), Px(1935));
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(128, 255, 255));
    p.setColor(QPalette::WindowText, Qt::black);
    setPalette(p);
    setAutoFillBackground(true);

    TxtBid = new QLineEdit(this);
    TxtBid->setObjectName(QStringLiteral("TxtBid"));
    TxtBid->setGeometry(PxRect(2400, 360, 615, 375));
    TxtBid->setFont(DesignFont(Face::TimesNewRoman, 12));
    TxtBid->setAccessibleName(QStringLiteral("Your bid"));
    TxtBid->setInputMethodHints(Qt::ImhDigitsOnly);
    // Text that arrives other than by typing (paste, drop, input methods) must still be digits.
    TxtBid->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), TxtBid));
    TxtBid->setMaxLength(9);
    TxtBid->installEventFilter(this);

    LblBidTxt = new QLabel(
        QStringLiteral("Please enter your bid for this hand. It must be a number between 0 and 13. "
                       "If you make a mistake press left arrow key."),
        this);
    LblBidTxt->setGeometry(PxRect(0, 120, 2295, 1215));
    LblBidTxt->setWordWrap(true);
    LblBidTxt->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LblBidTxt->setContentsMargins(4, 0, 2, 0);
    LblBidTxt->setAutoFillBackground(true);
    LblBidTxt->setPalette(p);
    LblBidTxt->setBuddy(TxtBid);

    CmdBid = new QPushButton(QStringLiteral("Bid"), this);
    CmdBid->setObjectName(QStringLiteral("CmdBid"));
    CmdBid->setGeometry(PxRect(960, 1440, 1215, 375));
    // A bid is given only by pressing Bid: Enter never answers the dialog.
    CmdBid->setAutoDefault(false);
    CmdBid->setDefault(false);
    connect(CmdBid, &QPushButton::clicked, this, [this] { CmdBid_Click(); });

    setTabOrder(TxtBid, CmdBid);
    TxtBid->setFocus();
    controls_.Capture(this);
}

void FrmBid::FollowZoom() {
    setFixedSize(Px(3255), Px(1935));
    controls_.Apply();
    // The words at the dialog's zoomed font, smaller where the rounded label is too short for it.
    LblBidTxt->setFont(FontThatFits(font(), LblBidTxt->contentsRect(),
                                    int(LblBidTxt->alignment()) | Qt::TextWordWrap, LblBidTxt->text()));
}

void FrmBid::Form_Load() {
    if (Loaded) Loaded();
}

int FrmBid::TxtBid_KeyPress(int KeyAscii) {
    if (KeyAscii == 8) {
        // Backspace empties the box rather than deleting one digit.
        TxtBid->clear();
        TxtBid->setFocus();
    }
    if (KeyAscii < '0' || KeyAscii > '9') {
        TxtBid->setFocus();
        return 0;
    }
    return KeyAscii;
}

std::optional<int> FrmBid::ParseBid(const QString& text) {
    if (text.isEmpty()) return std::nullopt;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return std::nullopt;
    // Leading zeros are fine (07 is 7); the digits are compared without converting, so no
    // length of entry can overflow.
    QString digits = text;
    while (digits.size() > 1 && digits.startsWith(QLatin1Char('0')))
        digits.remove(0, 1);
    if (digits.size() > 2) return std::nullopt;
    const int value = digits.toInt();
    if (value > 13) return std::nullopt;
    return value;
}

void FrmBid::CmdBid_Click() {
    const QString message = QStringLiteral("You must enter a number between 0 and 13.");
    if (TxtBid->text().isEmpty()) {
        if (Notice) Notice(message, QStringLiteral("No Number."));
        TxtBid->setFocus();
        return;
    }
    const auto bid = ParseBid(TxtBid->text());
    if (!bid) {
        if (Notice) Notice(message, QStringLiteral("Wrong entry."));
        TxtBid->setFocus();
        TxtBid->clear();
        return;
    }
    bid_ = static_cast<qint16>(*bid);
    // The table's messages name the others' bids, not the player's: a screen reader is told it.
    if (announceOn_) Announce(announceOn_, QStringLiteral("You bid %1").arg(bid_));
    accept();
}

bool FrmBid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == TxtBid && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Left:
        case Qt::Key_Right:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
            return false; // moving about is not typing
        case Qt::Key_H:   // the hint fills the box; the player still presses Bid
            if (AskHint) AskHint();
            return true;
        case Qt::Key_S: // how the hand stands, before bidding
            if (SayStatus) SayStatus();
            return true;
        default:
            break;
        }
        int ascii = 0;
        if (key->key() == Qt::Key_Backspace)
            ascii = 8;
        else if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)
            ascii = 13;
        else if (key->key() == Qt::Key_Escape)
            ascii = 27;
        else if (!key->text().isEmpty() && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
            ascii = key->text().at(0).unicode();
        if (TxtBid_KeyPress(ascii) == 0) return true;
    }
    return QDialog::eventFilter(watched, event);
}

void FrmBid::keyPressEvent(QKeyEvent* e) {
    // There is no cancel and no default button: Escape and Enter do nothing here.
    if (e->key() == Qt::Key_Escape || e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        e->accept();
        return;
    }
    QDialog::keyPressEvent(e);
}

// Alt+F4 or a close request from the window manager would leave the bid unmade; only the
// program's own ending closes the dialog unanswered.
void FrmBid::closeEvent(QCloseEvent* e) {
    if (Waits::Exiting())
        e->accept();
    else
        e->ignore();
}

qint16 ShowBidDialog(FrmBid& dialog) {
    // Each bid starts from an empty box, as a freshly loaded form would.
    dialog.TxtBid->clear();
    dialog.TxtBid->setFocus();
    dialog.Form_Load();
    dialog.bid_ = 0;
    Waits::RunDialog(dialog);
    return dialog.bid_;
}

void FrmBid::WarmUp() {
    ensurePolished();
    // create(), not winId(): asking a window for its id makes every child of its parent (the
    // table's menu bar, cloth and play area) a native window too, each resized and flushed on
    // its own at every frame.
    create();
}
