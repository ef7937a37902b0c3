#pragma once
// The table window's menu bar, which can be held as it is while the window's size changes.
// Each step of a drag of the window's edge would otherwise lay its captions out again (their
// text shaped anew) and paint them again, for a bar that looks the same at every width: held,
// it keeps its layout and shows the picture it had when the drag began, its background drawn
// on to the new width. Let go, it is laid out at the width the window rested at.

#include <QImage>
#include <QMenuBar>
#include <QPainter>
#include <QResizeEvent>

class HeldMenuBar : public QMenuBar {
  public:
    using QMenuBar::QMenuBar;

    // `picture`: the bar as it shows (null: it is painted as usual meanwhile).
    void Hold(QImage picture) {
        held_ = true;
        picture_ = std::move(picture);
    }
    void LetGo() {
        if (!held_) return;
        held_ = false;
        picture_ = QImage();
        QResizeEvent resized(size(), size());
        QMenuBar::resizeEvent(&resized);
        updateGeometry();
        update();
    }
    int heightForWidth(int width) const override {
        return held_ ? height() : QMenuBar::heightForWidth(width);
    }

  protected:
    void resizeEvent(QResizeEvent* e) override {
        if (!held_) QMenuBar::resizeEvent(e);
    }
    void paintEvent(QPaintEvent* e) override {
        if (picture_.isNull()) return QMenuBar::paintEvent(e);
        QPainter p(this);
        const QSize shown = picture_.deviceIndependentSize().toSize();
        p.drawImage(QPoint(0, 0), picture_);
        // The background beyond the captions is the same in every column: the last one, drawn on.
        if (width() > shown.width()) {
            const qreal dpr = picture_.devicePixelRatio();
            const QRect last(int((shown.width() - 1) * dpr), 0, int(dpr), picture_.height());
            p.drawImage(QRect(shown.width(), 0, width() - shown.width(), shown.height()), picture_, last);
        }
    }

  private:
    bool held_ = false;
    QImage picture_;
};
