#pragma once
#include "Layout.h"
#include "PictureScaler.h"
#include "Twips.h"

#include <QImage>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <cmath>
#include <functional>

// The window's area below the menu bar: the table's own green, with the table centred on it.
class ClothArea : public QWidget {
  public:
    ClothArea(QWidget* parent, std::function<void()> resized)
        : QWidget(parent), resized_(std::move(resized)) {
        // A picture scaled to the last size asked for is shown once the size has kept still a
        // moment; while the window is being dragged each frame shows the one before's.
        settled_.setSingleShot(true);
        settled_.setInterval(SettleMs);
        connect(&settled_, &QTimer::timeout, this, [this] { update(); });
    }
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
    // the same work however many cards lie on the table, and that work is done off the window's
    // thread (PictureScaler). Each frame shows the picture as last scaled, centred, as it is:
    // while the edge is dragged, at the size of the step before, some 16 ms behind the edge.
    // A null picture shows the table again.
    void ShowPicture(QImage picture) {
        picture.setDevicePixelRatio(1); // its own copy: nothing is copied
        scaler_.Dispose(std::exchange(picture_, std::move(picture)));
        Keep(picture_);
        settled_.stop();
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
    void resizeEvent(QResizeEvent*) override {
        if (settled_.isActive()) settled_.start();
        resized_();
    }
    void paintEvent(QPaintEvent* e) override {
        QRegion margin = e->region();
        QPainter p(this);
        if (!picture_.isNull()) {
            const double zoom = Zoom::ToFill(size(), DesignSize());
            const QRect place =
                TablePlace(size(), QSize(int(std::lround(Layout::TableWidth * zoom / TwipsPerPixel)),
                                         int(std::lround(Layout::TableHeight * zoom / TwipsPerPixel))));
            // In the device's own pixels, so that the picture is copied, never scaled, at any
            // scale of the screen.
            const qreal dpr = devicePixelRatioF();
            const QSize want = (QSizeF(place.size()) * dpr).toSize();
            const QSize lag = want - scaled_.size(); // none once the drag rests
            const QRect drawn(
                (QPointF(place.topLeft()) * dpr + QPointF(lag.width(), lag.height()) / 2).toPoint(),
                scaled_.size());
            const QRectF shown(QPointF(drawn.topLeft()) / dpr, QSizeF(drawn.size()) / dpr);
            margin -= QRect(QPoint(int(std::ceil(shown.left())), int(std::ceil(shown.top()))),
                            QPoint(int(std::floor(shown.right())) - 1, int(std::floor(shown.bottom())) - 1));
            for (const QRect& r : margin)
                p.fillRect(r, palette().window());
            p.save();
            p.setWorldTransform(QTransform::fromScale(1 / dpr, 1 / dpr));
            p.drawImage(drawn.topLeft(), scaled_);
            p.restore();
            if (scaled_.size() != want) scaler_.Request(picture_, want);
            if (afterFrame_) QMetaObject::invokeMethod(this, afterFrame_, Qt::QueuedConnection);
            return;
        }
        if (table_) margin -= QRegion(table_->geometry().translated(-pos()));
        for (const QRect& r : margin)
            p.fillRect(r, palette().window());
    }

  private:
    static constexpr int SettleMs = 40;

    // The picture to show from now on; the one it replaces is freed off the window's thread.
    void Keep(QImage scaled) { scaler_.Dispose(std::exchange(scaled_, std::move(scaled))); }
    void Scaled(QImage scaled) {
        if (picture_.isNull()) return scaler_.Dispose(std::move(scaled));
        Keep(std::move(scaled));
        settled_.start();
    }

    std::function<void()> resized_;
    QPointer<QWidget> table_;
    QImage picture_; // the table as the resizing began
    QImage scaled_;  // the picture at the size last asked for that is ready, device pixels
    std::function<void()> afterFrame_;
    QTimer settled_;
    PictureScaler scaler_{this, [this](QImage scaled) { Scaled(std::move(scaled)); }}; // last
};
