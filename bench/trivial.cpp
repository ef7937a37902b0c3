// The yardstick of the benchmark: the least a Qt Widgets program of the table's size does
// before its window is on the screen. A main window with a menu bar and a central widget of
// the table's client size (11175 x 8970 twips), nothing else.
//
// Prints, one per line: main_ns (entering main), shown_ns (first frame painted), hwm_kb
// (peak resident memory one second after that), all times on CLOCK_MONOTONIC; then quits.

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace {
long long NowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

long HwmKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Notes the end of the first frame: a queued call made while the first paint event is
// handled runs once the event that paints the frame (and flushes it) is done, as in the probe.
class FirstFrame : public QObject {
  public:
    explicit FirstFrame(QWidget* watched) : watched_(watched) { watched->installEventFilter(this); }

  protected:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (o == watched_ && e->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QMetaObject::invokeMethod(
                this,
                [] {
                    std::printf("shown_ns %lld\n", NowNs());
                    QTimer::singleShot(1000, qApp, [] {
                        std::printf("hwm_kb %ld\n", HwmKb());
                        std::fflush(stdout);
                        QCoreApplication::quit();
                    });
                },
                Qt::QueuedConnection);
        }
        return false;
    }

  private:
    QWidget* watched_;
    bool seen_ = false;
};
} // namespace

int main(int argc, char* argv[]) {
    const long long mainNs = NowNs();
    QApplication app(argc, argv);
    std::printf("main_ns %lld\n", mainNs);

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Trivial"));
    auto* client = new QWidget(&window);
    client->setFixedSize(745, 598); // 11175 x 8970 twips at 15 twips a pixel
    client->setAutoFillBackground(true);
    window.setCentralWidget(client);
    QMenu* play = window.menuBar()->addMenu(QStringLiteral("Play"));
    play->addAction(QStringLiteral("New Game"));
    play->addAction(QStringLiteral("Exit"));
    window.menuBar()->addMenu(QStringLiteral("Help"))->addAction(QStringLiteral("Help"));
    FirstFrame frame(client);
    window.show();
    return QApplication::exec();
}
