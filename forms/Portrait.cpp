#include "Portrait.h"

#include "DataFiles.h"

#include <QPainter>
#include <QSvgRenderer>

Portrait::Portrait(const QString& file, QWidget* parent) : QLabel(parent), file_(file) {}

Portrait::~Portrait() = default;

void Portrait::paintEvent(QPaintEvent*) {
    const qreal dpr = devicePixelRatioF();
    if (picture_.isNull() || picture_.deviceIndependentSize() != QSizeF(size()) ||
        picture_.devicePixelRatio() != dpr) {
        picture_ = QPixmap((QSizeF(size()) * dpr).toSize());
        picture_.setDevicePixelRatio(dpr);
        picture_.fill(Qt::transparent);
        QPainter pp(&picture_);
        if (!svg_) svg_ = std::make_unique<QSvgRenderer>(DataFiles::AssetPath(file_));
        if (svg_->isValid()) svg_->render(&pp, QRectF(rect()));
    }
    QPainter p(this);
    p.drawPixmap(0, 0, picture_);
}
