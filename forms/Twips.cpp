#include "Twips.h"

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

void ZoomedControls::Apply() const {
    // Fonts first: a label that sizes to its text takes the size of its new font.
    ApplyFonts();
    for (const Control& c : controls_) {
        if (!c.widget || !c.placed) continue;
        if (c.widget->property("autoSize").toBool()) {
            c.widget->move(Px(c.twips.left()), Px(c.twips.top()));
            c.widget->adjustSize();
        } else {
            c.widget->setGeometry(PxRect(c.twips.left(), c.twips.top(), c.twips.width(), c.twips.height()));
        }
    }
}
