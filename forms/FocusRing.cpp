#include "FocusRing.h"

#include "CardPic.h"

#include <QPainter>

FocusRing::FocusRing(QWidget* table) : QWidget(table) {
    setObjectName(QStringLiteral("FocusRing"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    hide();
}

void FocusRing::Follow(CardPic* card) {
    QWidget* table = card->parentWidget();
    if (!table) return;
    auto* ring = static_cast<FocusRing*>(
        table->findChild<QWidget*>(QStringLiteral("FocusRing"), Qt::FindDirectChildrenOnly));
    const bool marked = card->hasFocus() && card->KeysInUse() && card->isVisible();
    if (!ring && !marked) return;
    if (!ring) ring = new FocusRing(table);
    if (!marked) {
        if (ring->card_ == card) ring->hide();
        return;
    }
    ring->card_ = card;
    ring->setGeometry(card->geometry().adjusted(-Margin, -Margin, Margin, Margin));
    ring->raise();
    ring->show();
}

void FocusRing::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect());
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(128, 64, 0), 3));
    p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), 6, 6);
    p.setPen(QPen(QColor(255, 255, 128), 1.5));
    p.drawRoundedRect(r.adjusted(3.75, 3.75, -3.75, -3.75), 4, 4);
}
