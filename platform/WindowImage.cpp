#include "WindowImage.h"

#include <QBackingStore>
#include <QEvent>
#include <QGuiApplication>
#include <QImage>
#include <QWidget>
#include <QWindow>
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <utility>

#if defined(Q_OS_LINUX)
#include <sys/mman.h>
#include <unistd.h>
#ifndef MADV_POPULATE_WRITE
#define MADV_POPULATE_WRITE 23
#endif
#endif

namespace {

QImage* StoreImage(QBackingStore* store) {
    QPaintDevice* device = store ? store->paintDevice() : nullptr;
    return device && device->devType() == QInternal::Image ? static_cast<QImage*>(device) : nullptr;
}

#if defined(Q_OS_LINUX)
std::size_t PageSize() {
    static const auto size = std::size_t(sysconf(_SC_PAGESIZE));
    return size;
}
#endif

} // namespace

WindowImage::WindowImage(QWidget* window) : window_(window) {
#if defined(Q_OS_LINUX)
    enabled_ = QGuiApplication::platformName() == QLatin1String("xcb");
#endif
    if (enabled_) mapper_ = std::thread([this] { Mapper(); });
}

WindowImage::~WindowImage() {
    window_->removeEventFilter(this);
    if (QWindow* handle = window_->windowHandle()) handle->removeEventFilter(this);
    if (!mapper_.joinable()) return;
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    mapper_.join();
}

const QImage* WindowImage::LastFrame() const {
    QBackingStore* store = window_->isVisible() ? window_->backingStore() : nullptr;
    const QImage* image = store && store->size() != reserved_ ? StoreImage(store) : nullptr;
    return image && !image->isNull() ? image : nullptr;
}

qint64 WindowImage::Area() const {
    return qint64(window_->width()) * window_->height();
}

void WindowImage::Rest() {
    QBackingStore* store = enabled_ ? window_->backingStore() : nullptr;
    const qint64 area = Area();
    pending_ = 0;
    if (!store || area <= 0) return;
    lastArea_ = area;
    // Room for a first step either way: growing a tenth, or shrinking to the point where the
    // image would be more than twice the window.
    if (room_ < area * 23 / 20 || room_ >= area * 8 / 5) Reserve(area * 5 / 4);
    MapAhead(area);
}

void WindowImage::AfterFrame() {
    QBackingStore* store = enabled_ ? window_->backingStore() : nullptr;
    const qint64 area = Area();
    if (!store || area <= 0 || pending_) return;
    // The platform's own rule: a new image of the window's size when it outgrew the old one or
    // came down to half of it.
    if (area > room_ || area * 2 <= room_) room_ = area;
    const qint64 step = lastArea_ ? area - lastArea_ : 0;
    lastArea_ = area;
    step_ = step;
    if (step > 0 && area + 2 * step > room_) {
        // Growing: room for the next steps, less than twice the present size so that a turn
        // back does not make another.
        return Replace(std::min(area * 19 / 10, area + std::max(3 * step, area * 6 / 10)));
    } else if (step < 0 && (area + 2 * step) * 2 <= room_) {
        // Shrinking, and soon at half the image: a new one of the present size, which serves
        // down to half of it.
        return Replace(area);
    }
    MapNextSteps();
}

void WindowImage::MapNextSteps() {
    MapAhead(std::min(room_, lastArea_ + 3 * std::abs(step_)));
}

void WindowImage::Replace(qint64 pixels) {
    const QImage* image = StoreImage(window_->backingStore());
    if (!image || image->isNull()) {
        Reserve(pixels);
        return MapNextSteps();
    }
    // Whatever could paint into the window or replace its image meanwhile waits for the thread.
    if (!watching_ && window_->windowHandle()) {
        window_->installEventFilter(this);
        window_->windowHandle()->installEventFilter(this);
        watching_ = true;
    }
    pending_ = pixels;
    {
        const std::lock_guard lock(mutex_);
        unmapAddress_ = const_cast<uchar*>(image->constBits());
        unmapLength_ = std::size_t(image->sizeInBytes());
        unmapping_ = true;
    }
    wake_.notify_one();
}

// On the window's thread, once the thread has unmapped the old image's pages.
void WindowImage::Unmapped() {
    const qint64 pixels = std::exchange(pending_, 0);
    if (!pixels || !window_->isVisible() || !window_->backingStore()) return;
    Reserve(pixels);
    MapNextSteps();
}

void WindowImage::AwaitUnmapped() {
    if (!unmapping_) return;
    std::unique_lock lock(mutex_);
    unmapped_.wait(lock, [this] { return !unmapping_; });
}

bool WindowImage::eventFilter(QObject*, QEvent* e) {
    switch (e->type()) {
    case QEvent::UpdateRequest:
    case QEvent::Expose:
    case QEvent::Resize:
    case QEvent::Paint:
        AwaitUnmapped();
        break;
    default:
        break;
    }
    return false;
}

void WindowImage::Reserve(qint64 pixels) {
    AwaitUnmapped();
    QBackingStore* store = window_->backingStore();
    void* kept = nullptr;
#if defined(Q_OS_LINUX)
    // A second mapping of a page of the old image's memory, made before the platform lets go
    // of it: the last reference to that memory, whose going frees all its pages, is then
    // dropped on the mapper's thread.
    if (const QImage* image = StoreImage(store); image && !image->isNull()) {
        kept = mremap(const_cast<uchar*>(image->constBits()), 0, PageSize(), MREMAP_MAYMOVE);
        if (kept == MAP_FAILED) kept = nullptr;
    }
#endif
    const int width = window_->width();
    // A larger image replaces the old at once; for a smaller one, through a tiny size first,
    // so that the platform lets the old image go whatever its size.
    if (pixels <= room_) store->resize(QSize(1, 1));
    store->resize(QSize(width, int((pixels + width - 1) / width)));
    room_ = qint64(width) * store->size().height();
    reserved_ = store->size();
    if (kept) {
        {
            const std::lock_guard lock(mutex_);
            release_.push_back(kept);
        }
        wake_.notify_one();
    }
}

void WindowImage::MapAhead(qint64 pixels) {
    const QImage* image = StoreImage(window_->backingStore());
    if (!image || image->isNull()) return;
    // The image is in the screen's pixels, the sizes here in the window's.
    const qreal dpr = window_->devicePixelRatioF();
    const auto bytes = std::size_t(double(pixels) * dpr * dpr) * std::size_t(image->depth() / 8);
    {
        const std::lock_guard lock(mutex_);
        address_ = const_cast<uchar*>(image->constBits());
        length_ = bytes;
    }
    wake_.notify_one();
}

void WindowImage::Mapper() {
    for (;;) {
        void* address = nullptr;
        std::size_t length = 0;
        void* unmapAddress = nullptr;
        std::size_t unmapLength = 0;
        std::vector<void*> release;
        bool stop = false;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || length_ || unmapLength_ || !release_.empty(); });
            address = std::exchange(address_, nullptr);
            length = std::exchange(length_, 0);
            unmapAddress = std::exchange(unmapAddress_, nullptr);
            unmapLength = std::exchange(unmapLength_, 0);
            release.swap(release_);
            stop = stop_;
        }
        if (unmapLength) {
#if defined(Q_OS_LINUX)
            // Only this process's view of the pages goes: the memory is shared, and a page read
            // or painted again later is mapped again as it was.
            if (!stop) madvise(unmapAddress, unmapLength, MADV_DONTNEED);
#else
            Q_UNUSED(unmapAddress);
#endif
            {
                const std::lock_guard lock(mutex_);
                unmapping_ = false;
            }
            unmapped_.notify_all();
            if (!stop)
                QMetaObject::invokeMethod(
                    this, [this] { Unmapped(); }, Qt::QueuedConnection);
        }
#if defined(Q_OS_LINUX)
        for (void* start : release)
            munmap(start, PageSize());
        if (length && !stop) {
            // Pages already mapped cost little; the range may have been given back meanwhile
            // (the call then fails, harmlessly: it never writes).
            const auto page = std::uintptr_t(PageSize());
            const auto start = reinterpret_cast<std::uintptr_t>(address);
            madvise(reinterpret_cast<void*>(start & ~(page - 1)), length + (start & (page - 1)),
                    MADV_POPULATE_WRITE);
        }
#else
        Q_UNUSED(address);
        Q_UNUSED(length);
#endif
        if (stop) return;
    }
}
