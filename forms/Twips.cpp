#include "Twips.h"

#include <QImage>
#include <QLabel>
#include <QPainter>
#include <QSet>

void ZoomedControls::Add(QWidget* w, bool placed) {
    const QRect px = w->geometry();
    controls_.push_back({w,
                         QRect(px.x() * TwipsPerPixel, px.y() * TwipsPerPixel, px.width() * TwipsPerPixel,
                               px.height() * TwipsPerPixel),
                         placed, w->testAttribute(Qt::WA_SetFont), w->font()});
}

void ZoomedControls::ApplyFonts() const {
    for (const Control& c : controls_) {
        if (!c.widget || !c.hasFont) continue;
        c.widget->setFont(ZoomedFont(c.font, Zoom::Factor()));
    }
}

void ZoomedControls::Apply(bool fonts) const {
    // Fonts first: a label that sizes to its text takes the size of its new font.
    if (fonts) ApplyFonts();
    for (const Control& c : controls_) {
        if (!c.widget || !c.placed) continue;
        if (c.widget->property("autoSize").toBool()) {
            c.widget->move(Px(c.twips.left()), Px(c.twips.top()));
            FitToText(c.widget);
        } else {
            c.widget->setGeometry(PxRect(c.twips.left(), c.twips.top(), c.twips.width(), c.twips.height()));
        }
    }
}

void FitToText(QWidget* label) {
    label->adjustSize();
    if (auto* l = qobject_cast<QLabel*>(label); l && l->text().isEmpty()) l->resize(0, l->height());
}

bool ZoomedControls::WarmUpFont(size_t i, qreal dpr) const {
    if (i >= controls_.size()) return false;
    const QPointer<QWidget>& w = controls_[i].widget;
    if (!w) return true;
    // The glyphs are kept per font, so one font shared by many controls is drawn once.
    static QSet<QString> warm;
    const QString key = w->font().key() + QString::number(dpr);
    if (warm.contains(key)) return true;
    warm.insert(key);
    static const QString letters = [] {
        QString s;
        for (char c = ' '; c <= '~'; ++c)
            s += QLatin1Char(c);
        return s;
    }();
    QImage scratch(QSize(8, 8) * dpr, QImage::Format_ARGB32_Premultiplied);
    scratch.setDevicePixelRatio(dpr);
    QPainter p(&scratch);
    p.setFont(w->font());
    p.drawText(0, 0, letters);
    return true;
}
