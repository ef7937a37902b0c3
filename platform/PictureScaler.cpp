#include "PictureScaler.h"

#include <QMetaObject>
#include <QObject>
#include <utility>

PictureScaler::PictureScaler(QObject* context, std::function<void(QImage)> done)
    : context_(context), done_(std::move(done)), thread_([this] { Run(); }) {}

PictureScaler::~PictureScaler() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

void PictureScaler::Request(const QImage& picture, QSize size) {
    {
        const std::lock_guard lock(mutex_);
        picture_ = picture;
        size_ = size;
    }
    wake_.notify_one();
}

void PictureScaler::Dispose(QImage image) {
    if (image.isNull()) return;
    {
        const std::lock_guard lock(mutex_);
        disposed_.push_back(std::move(image));
    }
    wake_.notify_one();
}

void PictureScaler::Run() {
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || size_.isValid() || !disposed_.empty(); });
        if (stop_) return;
        std::vector<QImage> disposed;
        disposed.swap(disposed_);
        QImage picture;
        std::swap(picture, picture_);
        const QSize size = std::exchange(size_, QSize());
        lock.unlock();
        disposed.clear();
        if (!picture.isNull() && !size.isEmpty()) {
            QImage scaled = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::FastTransformation);
            scaled.setDevicePixelRatio(1);
            // The picture is moved on to `done`, which keeps it or gives it back to be freed here.
            QMetaObject::invokeMethod(
                context_, [done = done_, scaled = std::move(scaled)]() mutable { done(std::move(scaled)); },
                Qt::QueuedConnection);
        }
        lock.lock();
    }
}
