#pragma once
#include <QEvent>
#include <QObject>
#include <QWidget>
#include <functional>

// Runs `work` once, just after the first frame of `w` is on the screen: a queued call made
// while the first paint event is handled runs when the event that paints the frame is done.
// Start-up uses it for what the first frame does not need.
class AfterFirstFrame : public QObject {
  public:
    AfterFirstFrame(QWidget* w, std::function<void()> work) : QObject(w), work_(std::move(work)) {
        w->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Paint && work_) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [this] {
                    const auto work = std::move(work_);
                    work_ = nullptr;
                    deleteLater();
                    work();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

  private:
    std::function<void()> work_;
};
