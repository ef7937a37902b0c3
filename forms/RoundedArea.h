#pragma once
#include "Twips.h"

#include <QFrame>
#include <QPainter>

// The rounded playing area in the middle of the table.
class RoundedArea : public QFrame {
  public:
    using QFrame::QFrame;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        // The border and the corners grow with the table, as everything on it does.
        const qreal zoom = Zoom::Factor(), pen = 4 * zoom, radius = 24 * zoom;
        p.setPen(QPen(QColor(128, 64, 0), pen));
        p.setBrush(QColor(0, 128, 0));
        p.drawRoundedRect(QRectF(rect()).adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2), radius, radius);
    }
};
