#pragma once
#include "Layout.h"
#include "Twips.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QWidget>
#include <cmath>
#include <functional>

// The window's area below the menu bar: the table's own green, with the table centred on it.
class ClothArea : public QWidget {
  public:
    ClothArea(QWidget* parent, std::function<void()> resized)
        : QWidget(parent), resized_(std::move(resized)) {}
    QSize sizeHint() const override { return DesignSize(); }
    QSize minimumSizeHint() const override {
        return QSize(int(std::ceil(DesignSize().width() * Zoom::Min)),
                     int(std::ceil(DesignSize().height() * Zoom::Min)));
    }
    static QSize DesignSize() {
        return QSize(Layout::TableWidth / TwipsPerPixel, Layout::TableHeight / TwipsPerPixel);
    }

    // The table laid on the cloth (a sibling above it, not a child).
    void Lay(QWidget* table) {
        table_ = table;
        // Only the margin is painted here: the table paints itself, and filling the whole
        // window twice at every step of a resize would slow the resize.
        setAutoFillBackground(false);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    // While the window is being resized the cloth lies over the table and shows `picture` (the
    // table when the resizing began) at the size the table will take: one picture scaled is
    // the same work however many cards lie on the table. A null picture shows the table again.
    void ShowPicture(QImage picture) {
        picture_ = std::move(picture);
        update();
    }
    bool ShowingPicture() const { return !picture_.isNull(); }
    // Runs after each frame the picture was painted in, once the frame is on its way.
    void AfterPictureFrame(std::function<void()> f) { afterFrame_ = std::move(f); }
    // Where the table lies on the cloth at the zoom that fills it: centred, or from the top left
    // corner when the cloth is smaller than the table at its smallest.
    static QRect TablePlace(QSize cloth, QSize table) {
        return QRect(QPoint(std::max(0, (cloth.width() - table.width()) / 2),
                            std::max(0, (cloth.height() - table.height()) / 2)),
                     table);
    }

  protected:
    void resizeEvent(QResizeEvent*) override { resized_(); }
    void paintEvent(QPaintEvent* e) override {
        QRegion margin = e->region();
        QPainter p(this);
        if (!picture_.isNull()) {
            const double zoom = Zoom::ToFill(size(), DesignSize());
            const QRect place =
                TablePlace(size(), QSize(int(std::lround(Layout::TableWidth * zoom / TwipsPerPixel)),
                                         int(std::lround(Layout::TableHeight * zoom / TwipsPerPixel))));
            p.drawImage(place, picture_);
            margin -= place;
            if (afterFrame_) QMetaObject::invokeMethod(this, afterFrame_, Qt::QueuedConnection);
        } else if (table_) {
            margin -= QRegion(table_->geometry().translated(-pos()));
        }
        for (const QRect& r : margin)
            p.fillRect(r, palette().window());
    }

  private:
    std::function<void()> resized_;
    QPointer<QWidget> table_;
    QImage picture_;
    std::function<void()> afterFrame_;
};
