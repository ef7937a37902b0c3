#pragma once
// Room in a window's image ahead of a drag of its edge.
//
// The window is painted into an image the X server shares with us (its backing store). Each
// time the window outgrows that image, or shrinks to half of it or less, the X11 platform
// makes a new one of exactly the window's size: the old one's memory is given back and the
// new one's is mapped afresh by the system page by page as the frame is painted into it. A
// drag of the edge changes the size some sixty times a second, and that paging, not the
// painting, would be most of each step's work.
//
// So while the size keeps changing, after each frame the image is made ready for the next
// ones: growing, a new image with room for the next several steps is made at once; shrinking,
// a new one of the present size is made before the window reaches half of the old. Its pages
// are mapped on a thread of this object's own in the time between two steps, never written
// (the kernel maps them as though they were), so the window's own painting is never raced;
// the old image's memory is given back on that thread too. When the size rests, the image
// keeps some room either way for the first step of the next drag. Elsewhere than on X11
// nothing is done.
//
// Letting go of an image costs the window's thread in proportion to the pages of it that are
// mapped: so before a new image is made in a drag, the old one's pages are unmapped on the
// thread (they are shared with the X server, which keeps them: nothing painted is lost), and
// the new image is made when that is done. Until it is, nothing paints into the window or
// replaces its image.

#include <QObject>
#include <QSize>
#include <QtGlobal>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <thread>
#include <vector>

class QImage;
class QWidget;

class WindowImage : public QObject {
  public:
    explicit WindowImage(QWidget* window);
    WindowImage(const WindowImage&) = delete;
    WindowImage& operator=(const WindowImage&) = delete;
    ~WindowImage();

    // After each frame painted while the window's size is changing.
    void AfterFrame();
    // The size has rested, before the frame that lays the window out at it.
    void Rest();
    // The window's last frame as it was painted, when it is still there to be read (not while
    // an image made ahead waits for its first frame). Valid until the next frame.
    const QImage* LastFrame() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

  private:
    qint64 Area() const;
    void Replace(qint64 pixels);
    void Unmapped();
    void AwaitUnmapped();
    void Reserve(qint64 pixels);
    void MapAhead(qint64 pixels);
    void MapNextSteps(); // as far as the next few steps of the size's change reach
    void Mapper();

    QWidget* window_;
    bool enabled_ = false;
    qint64 lastArea_ = 0; // the window's area, in pixels, at the last frame (0: none yet)
    qint64 room_ = 0;     // the pixels the image's memory holds, as far as it is known
    QSize reserved_;      // the size an image was last made ahead at
    qint64 step_ = 0;     // the change of area at the last frame
    qint64 pending_ = 0;  // the new image's pixels, made once the old one's pages are unmapped
    bool watching_ = false;
    // The range the thread is to map, the old images' memory it is to give back, and the thread.
    std::mutex mutex_;
    std::condition_variable wake_;
    void* address_ = nullptr;
    std::size_t length_ = 0;
    std::vector<void*> release_;
    void* unmapAddress_ = nullptr; // the old image whose pages the thread is to unmap
    std::size_t unmapLength_ = 0;
    std::atomic<bool> unmapping_ = false; // from the asking until it is done
    std::condition_variable unmapped_;
    bool stop_ = false;
    std::thread mapper_;
};
