#include "Workers.h"

#include <QMetaObject>
#include <atomic>

Workers::~Workers() {
    Reap(true);
}

void Workers::Run(std::function<void()> job, QObject* context, std::function<void()> done) {
    Reap(false);
    auto finished = std::make_shared<std::atomic<bool>>(false);
    QPointer<QObject> guard(context);
    std::thread t([job = std::move(job), done = std::move(done), guard, finished] {
        job();
        // Posted to the context object, not to the application: if the context is destroyed
        // before the event is delivered, Qt drops the event with it.
        if (QObject* c = guard.data()) QMetaObject::invokeMethod(c, done, Qt::QueuedConnection);
        finished->store(true);
    });
    const std::lock_guard lock(mutex_);
    slots_.push_back({std::move(t), std::move(finished)});
}

std::size_t Workers::Count() {
    Reap(false);
    const std::lock_guard lock(mutex_);
    return slots_.size();
}

void Workers::Reap(bool all) {
    std::vector<Slot> ending;
    {
        const std::lock_guard lock(mutex_);
        for (auto it = slots_.begin(); it != slots_.end();) {
            if (all || it->finished->load()) {
                ending.push_back(std::move(*it));
                it = slots_.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (Slot& s : ending)
        s.thread.join();
}
