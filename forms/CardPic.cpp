#include "CardPic.h"

#include "CardImages.h"
#include "FocusRing.h"
#include "GameState.h"
#include "Playable.h"
#include "TableAccess.h"
#include "Twips.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

CardPic::CardPic(int index, QWidget* parent, const GameState& G, std::function<bool()> keysInUse)
    : QWidget(parent), G(G), keysInUse_(std::move(keysInUse)), index_(index) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setObjectName(QStringLiteral("CardsPic%1").arg(index));
    SetImage(CardImage::FirstBack);
    Move(left_, top_);
}

void CardPic::SetImage(int image) {
    image_ = image;
    Place(QRect(pos(), CardImages::ShownSize(image, Zoom::Factor())));
    UpdateAccessibility();
    RenewCardAccessible(this);
    update();
}

void CardPic::Move(int left, int top) {
    left_ = left;
    top_ = top;
    Place(QRect(QPoint(Px(left), Px(top)), size()));
    RenewCardAccessible(this); // a card moves when it is played or gathered
}

// At a fractional device pixel ratio (150 %) a card whose edge falls between two device pixels
// paints the device pixel row or column that holds its edge, while the region Qt repaints
// behind it when it moves or shrinks is rounded from the same logical rectangle the other way:
// the row was left behind as a one-pixel light line. The old place is repainted with a margin
// of one pixel all round.
void CardPic::Place(const QRect& r) {
    const QRect old = geometry();
    if (r == old) return;
    setGeometry(r);
    if (isVisible() && parentWidget()) parentWidget()->update(old.adjusted(-1, -1, 1, 1));
}

void CardPic::ZOrder() {
    raise();
}

void CardPic::Rezoom() {
    Place(QRect(QPoint(Px(left_), Px(top_)), CardImages::ShownSize(image_, Zoom::Factor())));
}

bool CardPic::Covered() const {
    const QObjectList& siblings = parentWidget()->children();
    for (qsizetype i = siblings.indexOf(const_cast<CardPic*>(this)) + 1; i < siblings.size(); ++i) {
        const auto* above = qobject_cast<const CardPic*>(siblings[i]);
        if (above && above->isVisible() && above->geometry() == geometry()) return true;
    }
    return false;
}

void CardPic::UpdateAccessibility() {
    // A hidden card is only ever a card back to assistive technology.
    const bool faceUp = image_ >= 1 && image_ <= 52;
    const QString name = faceUp ? G.Cards[image_].FullName : QStringLiteral("Card back");
    // Only a name that changes is sent: every new hand turns all 52 cards to their backs, and
    // 52 notices of names that did not change made a screen reader, busy with them, pass over
    // the dealer's line that follows.
    if (name != accessibleName()) setAccessibleName(name);
}

void CardPic::paintEvent(QPaintEvent*) {
    // A card lying exactly under another (the pack, a pile) would be painted over at once.
    if (Covered()) return;
    QPainter p(this);
    const qreal dpr = devicePixelRatioF();
    if (image_ == index_ && ShownNotPlayable(G, index_)) p.setOpacity(NotPlayableOpacity);
    p.drawPixmap(0, 0, CardImages::Image(image_, dpr, Zoom::Factor()));
}

// The keyboard's mark follows the card: given, taken, moved, resized, hidden.
bool CardPic::event(QEvent* e) {
    const bool handled = QWidget::event(e);
    switch (e->type()) {
    case QEvent::FocusIn:
    case QEvent::FocusOut:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Hide:
        FocusRing::Follow(this);
        break;
    default:
        break;
    }
    return handled;
}

// Left/Right, Home/End go through the hand on the player's turn; Return or Space plays the
// focused card exactly as a click on it would.
void CardPic::keyPressEvent(QKeyEvent* e) {
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        if (!e->isAutoRepeat()) Activate();
        return;
    }
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Home && key != Qt::Key_End) {
        QWidget::keyPressEvent(e);
        return;
    }
    const QList<CardPic*> hand = PlayerHandPics(parentWidget(), G);
    if (G.Turn != 1 || hand.isEmpty()) return;
    const int at = int(hand.indexOf(this));
    const int last = int(hand.size()) - 1;
    int to = 0;
    if (at >= 0 && key == Qt::Key_Left) to = std::max(at - 1, 0);
    if (at >= 0 && key == Qt::Key_Right) to = std::min(at + 1, last);
    if (key == Qt::Key_End) to = last;
    hand[to]->setFocus(Qt::OtherFocusReason);
}

void CardPic::mousePressEvent(QMouseEvent* e) {
    pressed_ = e->button() == Qt::LeftButton;
    e->accept();
}

void CardPic::mouseReleaseEvent(QMouseEvent* e) {
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    if (click) emit clicked(index_);
}

QList<CardPic*> PlayerHandPics(const QWidget* client, const GameState& G) {
    QList<CardPic*> hand;
    if (!client) return hand;
    for (CardPic* pic : client->findChildren<CardPic*>(Qt::FindDirectChildrenOnly))
        if (G.Cards[pic->Index()].Holder == 1 && pic->Image() == pic->Index() && !pic->isHidden())
            hand << pic;
    std::stable_sort(hand.begin(), hand.end(), [](CardPic* a, CardPic* b) { return a->Left() < b->Left(); });
    return hand;
}
