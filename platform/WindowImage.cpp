#include "WindowImage.h"

#include <QBackingStore>
#include <QGuiApplication>
#include <QImage>
#include <QWidget>
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
    if (!store || area <= 0) return;
    // The platform's own rule: a new image of the window's size when it outgrew the old one or
    // came down to half of it.
    if (area > room_ || area * 2 <= room_) room_ = area;
    const qint64 step = lastArea_ ? area - lastArea_ : 0;
    lastArea_ = area;
    if (step > 0 && area + 2 * step > room_) {
        // Growing: room for the next steps, less than twice the present size so that a turn
        // back does not make another.
        Reserve(std::min(area * 19 / 10, area + std::max(3 * step, area * 6 / 10)));
    } else if (step < 0 && (area + 2 * step) * 2 <= room_) {
        // Shrinking, and soon at half the image: a new one of the present size, which serves
        // down to half of it.
        Reserve(area);
    }
    MapAhead(std::min(room_, area + 3 * std::abs(step)));
}

void WindowImage::Reserve(qint64 pixels) {
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
        std::vector<void*> release;
        bool stop = false;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stop_ || length_ || !release_.empty(); });
            address = std::exchange(address_, nullptr);
            length = std::exchange(length_, 0);
            release.swap(release_);
            stop = stop_;
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
