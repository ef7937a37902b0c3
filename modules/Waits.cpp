#include "Waits.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace Waits {

double PaceScale = 1.0;
std::function<void(QWidget*)> ModalHook;

namespace {
quint64 epoch = 0;
int depth = 0;
bool exiting = false;
std::vector<QEventLoop*> loops;
std::function<void()> pendingStart;

void ThrowIfAbandoned(quint64 mine) {
    if (mine != epoch || exiting) throw ChainAbandoned{};
}
} // namespace

void WaitUntil(const std::function<bool()>& done, const std::function<qint64()>& remainingMs) {
    const quint64 mine = epoch;
    ThrowIfAbandoned(mine);
    while (!done()) {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
        if (remainingMs) {
            const qint64 left = remainingMs();
            if (left >= 0) timer.start(static_cast<int>(std::min<qint64>(left, 1 << 30)));
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
    QPointer<QWidget> guard(w);
    w->show();
    w->raise();
    w->activateWindow();
    if (ModalHook) {
        QTimer::singleShot(0, w, [guard] {
            if (guard && guard->isVisible() && ModalHook) ModalHook(guard.data());
        });
    }
    WaitUntil([guard] { return !guard || !guard->isVisible(); });
}

void AbandonChain() {
    ++epoch;
    Notify();
}

int ChainDepth() {
    return depth;
}

void RunChain(const std::function<void()>& f) {
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
        QTimer::singleShot(0, qApp, [start] { RunChain(start); });
    }
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
