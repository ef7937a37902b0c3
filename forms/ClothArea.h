#pragma once
#include "Layout.h"
#include "Twips.h"

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

  protected:
    void resizeEvent(QResizeEvent*) override { resized_(); }
    void paintEvent(QPaintEvent* e) override {
        QRegion margin = e->region();
        if (table_) margin -= QRegion(table_->geometry().translated(-pos()));
        QPainter p(this);
        for (const QRect& r : margin)
            p.fillRect(r, palette().window());
    }

  private:
    std::function<void()> resized_;
    QPointer<QWidget> table_;
};
