#pragma once
// Work run off the window's thread on threads this object owns. A look-ahead takes
// milliseconds; on the window's thread it would hold up the painting and the input. Each job
// has a thread of its own, kept until it is done and joined by the owner: the next Run reaps
// the finished ones, and the destructor waits for the rest, so no thread outlives the object
// that started it and none posts to an application that is being destroyed.
#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class Workers {
  public:
    Workers() = default;
    Workers(const Workers&) = delete;
    Workers& operator=(const Workers&) = delete;
    ~Workers();

    // Runs `job` on a thread of its own; once it is done, `done` runs on `context`'s thread
    // through its event loop, unless `context` has gone meanwhile.
    void Run(std::function<void()> job, QObject* context, std::function<void()> done);
    // Jobs started and not yet reaped: running, or finished and waiting to be joined.
    std::size_t Count();

  private:
    struct Slot {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> finished;
    };
    void Reap(bool all);

    std::mutex mutex_;
    std::vector<Slot> slots_;
};
