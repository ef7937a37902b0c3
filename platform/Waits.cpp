#include "Waits.h"

#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QScopeGuard>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <memory>
#include <vector>

#ifdef Q_OS_LINUX
#include <QSocketNotifier>
#include <sys/timerfd.h>
#include <unistd.h>
#endif

namespace Waits {

double PaceScale = 1.0;
std::function<void(QWidget*)> ModalHook;

namespace {
quint64 epoch = 0;
int depth = 0;
int playDepth = 0;
int modalDepth = 0;
bool exiting = false;
std::vector<QEventLoop*> loops;
std::vector<const int*> wakes; // wake-ups so far of every wait now on the stack
std::function<void()> pendingStart;

#ifdef Q_OS_LINUX
// Ends an event loop at a deadline to the microsecond. A QTimer cannot: the GLib event
// dispatcher rounds each wait for a timer up to a whole millisecond, and the hundreds of
// 5 ms pauses of a deal would add that up.
class PreciseWake {
  public:
    PreciseWake(qint64 ms, QEventLoop* loop) {
        fd_ = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
        if (fd_ < 0) return;
        itimerspec at{};
        at.it_value.tv_sec = static_cast<time_t>(ms / 1000);
        at.it_value.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
        if (ms <= 0) at.it_value.tv_nsec = 1; // all zero would disarm it
        if (timerfd_settime(fd_, 0, &at, nullptr) != 0) {
            close(fd_);
            fd_ = -1;
            return;
        }
        notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
        QObject::connect(notifier_.get(), &QSocketNotifier::activated, loop, [this, loop] {
            // Once only: a loop that cannot end yet (a wait nested inside it is running)
            // must not be woken again and again by a deadline that stays passed.
            notifier_->setEnabled(false);
            loop->quit();
        });
    }
    ~PreciseWake() {
        notifier_.reset();
        if (fd_ >= 0) close(fd_);
    }
    bool Armed() const { return notifier_ != nullptr; }

  private:
    int fd_ = -1;
    std::unique_ptr<QSocketNotifier> notifier_;
};
#endif

void ThrowIfAbandoned(quint64 mine) {
    if (mine != epoch || exiting) throw ChainAbandoned{};
}
} // namespace

void WaitUntil(const std::function<bool()>& done, const std::function<qint64()>& remainingMs) {
    const quint64 mine = epoch;
    ThrowIfAbandoned(mine);
    int woken = 0;
    wakes.push_back(&woken);
    const auto unregister = qScopeGuard([] { wakes.pop_back(); });
    for (; !done(); ++woken) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
#ifdef Q_OS_LINUX
        std::unique_ptr<PreciseWake> wake;
#endif
        if (remainingMs) {
            const qint64 left = std::min<qint64>(remainingMs(), 1 << 30);
#ifdef Q_OS_LINUX
            if (left >= 0) wake = std::make_unique<PreciseWake>(left, &loop);
            if (left >= 0 && !wake->Armed()) timer.start(static_cast<int>(left));
#else
            if (left >= 0) timer.start(static_cast<int>(left));
#endif
        }
        loops.push_back(&loop);
        loop.exec();
        loops.erase(std::find(loops.begin(), loops.end(), &loop));
        ThrowIfAbandoned(mine);
    }
}

void WaitMs(qint64 ms) {
    const qint64 scaled = static_cast<qint64>(ms * PaceScale);
    if (scaled <= 0) {
        if (ms > 0) {
            // A shortened pause still lets the window breathe once.
            const quint64 mine = epoch;
            QCoreApplication::processEvents();
            ThrowIfAbandoned(mine);
        }
        return;
    }
    QElapsedTimer clock;
    clock.start();
    WaitUntil([&] { return clock.elapsed() >= scaled; }, [&] { return scaled - clock.elapsed(); });
}

void Notify() {
    for (QEventLoop* l : loops)
        l->quit();
}

void RunModal(QWidget* w) {
    ++modalDepth;
    const auto closed = qScopeGuard([] { --modalDepth; });
    QPointer<QWidget> guard(w);
    w->show();
    w->raise();
    w->activateWindow();
    if (ModalHook) {
        QTimer::singleShot(0, w, [guard] {
            if (guard && guard->isVisible() && ModalHook) ModalHook(guard.data());
        });
    }
    try {
        WaitUntil([guard] { return !guard || !guard->isVisible(); });
    } catch (const ChainAbandoned&) {
        // The chain that asked is being given up: its question goes with it, also from a
        // window that is kept between uses.
        if (guard) guard->hide();
        throw;
    }
}

int RunDialog(QDialog& d) {
    d.setWindowModality(Qt::ApplicationModal);
    // A dialog that is shown again (kept between uses) must not gather one of these per use.
    const QMetaObject::Connection c = QObject::connect(&d, &QDialog::finished, [] { Notify(); });
    QPointer<QDialog> guard(&d);
    RunModal(&d);
    QObject::disconnect(c);
    return guard ? d.result() : 0;
}

void AbandonChain() {
    ++epoch;
    Notify();
}

int MostWakes() {
    int most = 0;
    for (const int* w : wakes)
        most = std::max(most, *w);
    return most;
}

int ChainDepth() {
    return depth;
}

namespace {
void Run(const std::function<void()>& f) {
    ++depth;
    try {
        f();
    } catch (const ChainAbandoned&) {
        // The chain's game was given up while it waited; nothing more of it runs.
    }
    --depth;
    if (depth == 0 && pendingStart && !exiting) {
        auto start = std::move(pendingStart);
        pendingStart = nullptr;
        // From the top-level loop, so the old chain's frames are gone first.
        QTimer::singleShot(0, qApp, [start] { Run(start); });
    }
}
} // namespace

bool RunChain(const std::function<void()>& f) {
    if (modalDepth > 0) return false; // the open question is answered first
    Run(f);
    return true;
}

bool RunPlay(const std::function<void()>& f) {
    if (playDepth > 0) return false;
    ++playDepth;
    const auto ended = qScopeGuard([] { --playDepth; });
    f();
    return true;
}

int PlayDepth() {
    return playDepth;
}

void StartWhenUnwound(std::function<void()> start) {
    if (exiting) return;
    if (depth <= 1) {
        start();
    } else {
        pendingStart = std::move(start);
    }
}

void BeginExit() {
    exiting = true;
    pendingStart = nullptr;
    AbandonChain();
}

bool Exiting() {
    return exiting;
}

void Reset() {
    exiting = false;
    pendingStart = nullptr;
    ++epoch;
    PaceScale = 1.0;
    ModalHook = nullptr;
}

} // namespace Waits
