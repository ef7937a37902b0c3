#pragma once
// A picture scaled to a size off the window's thread.
//
// Drawing a picture scaled costs the window's thread some seven times what drawing it as it is
// costs (each pixel of the result is looked up in the source), and a window dragged larger asks
// for a new size some sixty times a second. So the scaling is done here, on a thread this object
// owns and joins: the latest size asked for is made, any earlier one still waiting is dropped,
// and the result is handed to `done` on `context`'s thread through its event loop. The images
// given back for disposal are freed on that thread too: freeing a window-sized image gives its
// pages back to the system, which is work of the same size as drawing it.

#include <QImage>
#include <QSize>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class QObject;

class PictureScaler {
  public:
    // `done` gets each scaled picture, on `context`'s thread. `context` outlives this object
    // (it owns it), so it is there whenever the thread posts to it.
    PictureScaler(QObject* context, std::function<void(QImage)> done);
    PictureScaler(const PictureScaler&) = delete;
    PictureScaler& operator=(const PictureScaler&) = delete;
    ~PictureScaler();

    // `picture` at `size` (device pixels, nearest pixel: the look of a picture drawn scaled),
    // in place of any request not yet begun.
    void Request(const QImage& picture, QSize size);
    // Frees `image` on the scaling thread (the caller keeps no other copy of it).
    void Dispose(QImage image);

  private:
    void Run();

    QObject* context_;
    std::function<void(QImage)> done_;
    std::mutex mutex_;
    std::condition_variable wake_;
    QImage picture_; // the request waiting, if `size_` is valid
    QSize size_;
    std::vector<QImage> disposed_;
    bool stop_ = false;
    std::thread thread_; // last: started when the rest is ready, joined before the rest goes
};
