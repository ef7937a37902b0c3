// The benchmark's probe: built only with -DVANTRICK_PROBE=ON, inert even then unless
// VANTRICK_BENCH=1. The game calls it through modules/Probe.h; see scripts/bench.
//
// What it measures, and how without disturbing what it measures:
// - Times are CLOCK_MONOTONIC, the clock the benchmark script reads before it starts the
//   process, so "from process start" is one subtraction.
// - CPU is CLOCK_PROCESS_CPUTIME_ID: utime + stime of all the process's threads, as
//   /proc/<pid>/stat counts them, but in nanoseconds instead of 10 ms ticks.
// - Peak memory is VmHWM from /proc/self/status.
// - The event loop's longest block: every event loop of the GUI thread, nested or not, ends
//   each turn in the poll of the one GLib main context, where it sleeps until there is
//   something to do. The probe wraps that poll: the time from one poll's return to the next
//   poll's start is time in which the loop could not look at new input. This costs two
//   clock reads per turn of the loop (and two of the thread's CPU clock, which tell work
//   from waiting) and wakes nothing, so the CPU figures are not disturbed (a ping timer
//   would be, and would miss blocks shorter than its period).
// - The driver plays the human's part as a player would with the mouse: it sends mouse
//   clicks to the real widgets, from timers of its own, only when the game waits for them.
//
// The run: start-up, 1 s of settling, 5 s at rest, New Game (with a fixed deal), the human
// bids first, waits 5 s before the first Carry On, plays on to the end of the hand; at the
// "Hand Over" notice it writes "key value" lines and ends the program. Environment:
//   VANTRICK_BENCH=1                 drive and measure (nothing happens without it)
//   VANTRICK_BENCH_OUT=file          where the figures go (standard output without it)
//   VANTRICK_BENCH_REST_MS, VANTRICK_BENCH_CARRYON_MS   the two 5 s windows
//   VANTRICK_BENCH_SEED              another deal (0: the default one)
//   VANTRICK_BENCH_STOP=startup      end as soon as the pack is painted (profiling start-up)
//   VANTRICK_BENCH_TRACE=1           also every mark, and the events of each block > 3 ms
//   VANTRICK_BENCH_TIMEOUT_MS        give up after this long (120 s)
//   VANTRICK_BENCH_DRAG_STEPS=N      that continuous resizing N steps long, zoom 1 to 2 and back
//                                    over and over (profiling a drag; 40 without it)
//   VANTRICK_BENCH_RESIZE=1          before the hand, resize the window from zoom 1 to 2 and back
//                                    (each re-layout timed to its painted frame), then resize it
//                                    continuously (the longest block after the first step), and
//                                    play the hand at zoom 1.5
// The Play menu's choices are the game's own, read from its settings file (the script points
// XDG_CONFIG_HOME at one of its own). With Carry On by Itself the driver never presses Carry On:
// the hand must go on by itself, and the presses are counted.

// GLib first: its headers use names that Qt's keywords would turn into macros.
#include <glib.h>

#include "Probe.h"

#include "Deal.h"
#include "FrmBid.h"
#include "GameState.h"
#include "MFormDeluxe.h"
#include "Options.h"
#include "Pacing.h"
#include "Table.h"
#include "Tricks.h"
#include "Waits.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <random>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace Probe {

namespace {

qint64 Clock(clockid_t id) {
    timespec ts{};
    clock_gettime(id, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}
qint64 NowNs() {
    return Clock(CLOCK_MONOTONIC);
}
qint64 CpuNs() {
    return Clock(CLOCK_PROCESS_CPUTIME_ID);
}
double Ms(qint64 ns) {
    return ns / 1e6;
}

// A field of /proc/self/status in kB (VmHWM, VmRSS), -1 when not found.
long StatusKb(const char* field) {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray key = QByteArray(field) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(key)) return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

// utime + stime from /proc/self/stat, in ms (10 ms resolution; a cross-check of CpuNs).
double StatCpuMs() {
    QFile f(QStringLiteral("/proc/self/stat"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    const QByteArray s = f.readAll();
    const QList<QByteArray> fields = s.mid(s.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return -1;
    const double ticks = fields[11].toDouble() + fields[12].toDouble(); // fields 14 and 15 of stat
    return ticks * 1000.0 / double(sysconf(_SC_CLK_TCK));
}

int EnvInt(const char* name, int fallback) {
    bool ok = false;
    const int v = qEnvironmentVariableIntValue(name, &ok);
    return ok ? v : fallback;
}

// ------------------------------------------------------------------ the event loop's blocks

struct Block {
    qint64 ns = 0;
    qint64 cpuNs = 0;  // the GUI thread's own CPU time in it (the rest is waiting or preempted)
    qint64 at = 0;     // when it ended
    std::string after; // the last mark before it
};

GPollFunc originalPoll = nullptr;
qint64 lastPollReturn = 0;
qint64 lastPollReturnCpu = 0;
bool measuringBlocks = false;
long polls = 0;
std::string lastMark = "start";
std::vector<Block> worst; // the longest blocks of the measured stretch, longest first
Block worstAnywhere;      // longest block of the whole run, outside the measured stretch too

// Diagnosis (VANTRICK_BENCH_TRACE=1): the events each long block delivered, with their start
// times, to find what a block is made of.
bool tracing = false;
std::vector<std::pair<qint64, std::string>> traced;
std::vector<std::string> traceDumps;

void NoteBlock(qint64 ns, qint64 cpuNs, qint64 at) {
    if (tracing && measuringBlocks && ns > 3000000) {
        std::string d = std::to_string(ns / 1000) + "us (cpu " + std::to_string(cpuNs / 1000) + "us) after " +
                        lastMark + ":";
        for (const auto& [t, what] : traced)
            d += " +" + std::to_string((t - (at - ns)) / 1000) + "us " + what;
        traceDumps.push_back(d);
    }
    traced.clear();
    if (ns > worstAnywhere.ns) worstAnywhere = {ns, cpuNs, at, lastMark};
    if (!measuringBlocks) return;
    if (worst.size() == 5 && ns <= worst.back().ns) return;
    worst.push_back({ns, cpuNs, at, lastMark});
    std::sort(worst.begin(), worst.end(), [](const Block& a, const Block& b) { return a.ns > b.ns; });
    if (worst.size() > 5) worst.pop_back();
}

gint TimedPoll(GPollFD* fds, guint count, gint timeout) {
    const qint64 enter = NowNs();
    ++polls;
    if (lastPollReturn)
        NoteBlock(enter - lastPollReturn, Clock(CLOCK_THREAD_CPUTIME_ID) - lastPollReturnCpu, enter);
    const gint result = originalPoll(fds, count, timeout);
    lastPollReturn = NowNs();
    lastPollReturnCpu = Clock(CLOCK_THREAD_CPUTIME_ID);
    return result;
}

void WatchPoll() {
    GMainContext* context = g_main_context_default();
    originalPoll = g_main_context_get_poll_func(context);
    if (originalPoll) g_main_context_set_poll_func(context, TimedPoll);
}

// ------------------------------------------------------------------ the driver

class Driver : public QObject {
  public:
    explicit Driver(Table* table) : table_(table) {}
    void Start();
    void OnMark(const std::string& what, int seat);
    void OnDealStep() { ++dealSteps_; }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // The table under test: while it exists, TableForm() is it.
    bool TableExists() const { return !table_.isNull(); }
    Table& TableForm() const { return *table_; }
    QPointer<Table> table_;
    void Put(const char* key, double value);
    void Put(const char* key, const std::string& value);
    void After(int ms, std::function<void()> f);
    void RestDone();
    void NewGame();
    void ResizeWindow(double zoom);
    void AfterRelayout(double zoom, std::function<void()> then);
    void ResizeSteps();
    void ResizeContinuously(int step);
    void DragRested();
    void Answer(QWidget* w);
    void Click(QWidget* w, QPoint at);
    void HumanTurnSoon();
    void HumanTurn();
    void CarryOnShown();
    void Finish(const char* error = nullptr);
    void Write();

    std::vector<std::pair<std::string, std::string>> out_;
    qint64 start_ = 0;
    bool shown_ = false, packArmed_ = false, packPainted_ = false, finished_ = false;
    int restMs_ = 5000, carryOnMs_ = 5000, nextCarryOnMs_ = 250, humanMs_ = 150;
    unsigned seed_ = 0;
    qint64 restCpu_ = 0;
    // The deal of the first hand.
    bool dealDone_ = false;
    qint64 dealStart_ = 0;
    long dealSteps_ = 0;
    // The bidding: from the human's bid (first, the dealer being seat 4) to the last computer bid.
    qint64 bidAnswered_ = 0, bidAnsweredCpu_ = 0;
    bool bidsDone_ = false;
    // Computer cards.
    qint64 cardStart_ = 0;
    std::vector<double> cardMs_;
    // Carry On.
    int carryOns_ = 0, carryOnPresses_ = 0;
    qint64 carryOnCpu_ = 0;
    qint64 handStart_ = 0;
    bool humanPending_ = false;
    // Resizing: a re-layout runs from the table's "zoom-begin" to the end of the next paint.
    qint64 zoomBegin_ = 0;
    bool relayoutArmed_ = false, relayoutPainting_ = false;
    std::function<void()> afterRelayout_;
    std::vector<double> relayoutMs_;
    // The drag: each step's own CPU time.
    qint64 stepCpu_ = 0;
    std::vector<double> stepCpuMs_;
    qint64 dragProcessCpu_ = 0, dragThreadCpu_ = 0; // both clocks at the first step
    bool dragEnding_ = false;
};

Driver* driver = nullptr;
qint64 mainNs = 0;

bool Enabled() {
    static const bool on = [] {
        const char* v = std::getenv("VANTRICK_BENCH");
        return v && std::string(v) == "1";
    }();
    return on;
}

void Driver::Put(const char* key, double value) {
    out_.emplace_back(key, QByteArray::number(value, 'f', 3).toStdString());
}
void Driver::Put(const char* key, const std::string& value) {
    out_.emplace_back(key, value);
}

void Driver::After(int ms, std::function<void()> f) {
    QTimer::singleShot(ms, Qt::PreciseTimer, this, std::move(f));
}

void Driver::Start() {
    start_ = NowNs();
    if (mainNs) Put("main_ns", std::to_string(mainNs));
    Put("app_ns", std::to_string(start_));
    tracing = qgetenv("VANTRICK_BENCH_TRACE") == "1";
    restMs_ = EnvInt("VANTRICK_BENCH_REST_MS", restMs_);
    carryOnMs_ = EnvInt("VANTRICK_BENCH_CARRYON_MS", carryOnMs_);
    // The first hand is always the same one: a seed whose first dealer is seat 4 (the
    // generator draws the dealer first), so the human bids first and the three computer
    // bids follow one another, and a computer leads the first trick.
    seed_ = static_cast<unsigned>(EnvInt("VANTRICK_BENCH_SEED", 0));
    if (seed_ == 0) {
        for (unsigned s = 1;; ++s) {
            std::mt19937 g(s);
            if (std::uniform_int_distribution<int>(1, 4)(g) == 4) {
                seed_ = s;
                break;
            }
        }
    }
    Put("seed", std::to_string(seed_));
    const QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance();
    Put("dispatcher", d ? d->metaObject()->className() : "none");
    WatchPoll();
    qApp->installEventFilter(this);
    Waits::ModalHook = [this](QWidget* w) { Answer(w); };
    // A run that goes wrong must still end.
    After(EnvInt("VANTRICK_BENCH_TIMEOUT_MS", 120000), [this] { Finish("timeout"); });
}

bool Driver::eventFilter(QObject* watched, QEvent* event) {
    if (tracing && traced.size() < 200)
        traced.emplace_back(NowNs(), std::to_string(int(event->type())) + "/" +
                                         watched->metaObject()->className() + "/" +
                                         watched->objectName().toStdString());
    if (event->type() != QEvent::Paint || !TableExists()) return false;
    Table& t = TableForm();
    if (relayoutPainting_ && (watched == t.Client || qobject_cast<CardPic*>(watched))) {
        relayoutPainting_ = false;
        QMetaObject::invokeMethod(
            this,
            [this] {
                relayoutMs_.push_back(Ms(NowNs() - zoomBegin_));
                if (afterRelayout_) std::exchange(afterRelayout_, nullptr)();
            },
            Qt::QueuedConnection);
    }
    // The frame is on the screen once the event that paints it has been handled: a
    // queued call made while painting runs just after that.
    if (!shown_ && watched == t.Client) {
        shown_ = true;
        QMetaObject::invokeMethod(
            this, [this] { Put("shown_ns", std::to_string(NowNs())); }, Qt::QueuedConnection);
    } else if (packArmed_ && !packPainted_ && qobject_cast<CardPic*>(watched)) {
        packPainted_ = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                Put("pack_painted_ns", std::to_string(NowNs()));
                Put("hwm_pack_kb", StatusKb("VmHWM"));
                // For profiling the start-up alone.
                if (qgetenv("VANTRICK_BENCH_STOP") == "startup") return Finish();
                // Rest: after the start-up's own after-work (the sound system) has settled.
                After(1000, [this] {
                    restCpu_ = CpuNs();
                    Put("rest_stat_cpu_ms_begin", StatCpuMs());
                    After(restMs_, [this] { RestDone(); });
                });
            },
            Qt::QueuedConnection);
    }
    return false;
}

void Driver::RestDone() {
    Put("rest_window_ms", restMs_);
    Put("rest_cpu_ms", Ms(CpuNs() - restCpu_));
    Put("rest_stat_cpu_ms_end", StatCpuMs());
    Put("hwm_startup_kb", StatusKb("VmHWM"));
    Put("rss_startup_kb", StatusKb("VmRSS"));
    Put("block_startup_max_ms", Ms(worstAnywhere.ns));
    Put("block_startup_after", worstAnywhere.after);
    if (qgetenv("VANTRICK_BENCH_RESIZE") == "1")
        ResizeSteps();
    else
        NewGame();
}

// The window's size for the table at `zoom`, as a player would drag it.
void Driver::ResizeWindow(double zoom) {
    Table& t = TableForm();
    t.resize(int(std::lround(745 * zoom)), int(std::lround(598 * zoom)) + t.menuBar()->height());
}

void Driver::AfterRelayout(double zoom, std::function<void()> then) {
    relayoutArmed_ = true;
    afterRelayout_ = std::move(then);
    ResizeWindow(zoom);
}

void Driver::ResizeSteps() {
    AfterRelayout(2.0, [this] {
        After(300, [this] {
            AfterRelayout(1.0, [this] {
                Put("relayout_up_ms", relayoutMs_.at(0));
                Put("relayout_down_ms", relayoutMs_.at(1));
                After(300, [this] { ResizeContinuously(0); });
            });
        });
    });
}

// From zoom 1 to 2 and back in steps of 1/20, one step every 16 ms, as a window edge dragged
// by the mouse; the blocks are counted from the first step on, until the table is laid out
// once the size has rested. Each step's own work is the GUI thread's CPU time from the step to
// the next (the last one's until the layout at rest begins).
void Driver::ResizeContinuously(int step) {
    // More steps only to profile a drag (VANTRICK_BENCH_DRAG_STEPS); the benchmark's are 40.
    static const int Steps =
        qEnvironmentVariableIsSet("VANTRICK_BENCH_DRAG_STEPS")
            ? std::max(2, qEnvironmentVariableIntValue("VANTRICK_BENCH_DRAG_STEPS") / 2 * 2)
            : 40;
    const qint64 cpu = Clock(CLOCK_THREAD_CPUTIME_ID);
    if (step > 1) stepCpuMs_.push_back(Ms(cpu - stepCpu_));
    stepCpu_ = cpu;
    if (step == 1) {
        dragThreadCpu_ = cpu;
        dragProcessCpu_ = CpuNs();
        worst.clear();
        measuringBlocks = true;
    }
    if (step <= Steps) {
        const int half = std::min(Steps / 2, 20); // from zoom 1 to 2 in 20 steps, and back
        const int at = step % (2 * half);
        ResizeWindow(1.0 + (at <= half ? at : 2 * half - at) / double(half));
        After(16, [this, step] { ResizeContinuously(step + 1); });
        return;
    }
    dragEnding_ = true;
}

void Driver::DragRested() {
    dragEnding_ = false;
    measuringBlocks = false;
    Put("resize_block_ms", worst.empty() ? 0.0 : Ms(worst.front().ns));
    Put("resize_block_cpu_ms", worst.empty() ? 0.0 : Ms(worst.front().cpuNs));
    Put("resize_steps", double(stepCpuMs_.size()));
    // The mean of a step, the GUI thread's and all threads' (the work done off the GUI thread).
    const double steps = std::max<double>(1, double(stepCpuMs_.size()));
    Put("drag_step_cpu_mean_ms", Ms(Clock(CLOCK_THREAD_CPUTIME_ID) - dragThreadCpu_) / steps);
    Put("drag_step_process_cpu_mean_ms", Ms(CpuNs() - dragProcessCpu_) / steps);
    // Growing, each step needs a larger image of the window than the last: Qt makes a new one,
    // whose memory the system maps afresh as it is painted. Shrinking, the last one serves down
    // to half its size.
    const auto half = stepCpuMs_.begin() + std::ptrdiff_t(stepCpuMs_.size() / 2);
    Put("drag_step_cpu_max_ms",
        stepCpuMs_.empty() ? 0.0 : *std::max_element(stepCpuMs_.begin(), stepCpuMs_.end()));
    Put("drag_step_shrinking_cpu_max_ms",
        stepCpuMs_.empty() ? 0.0 : *std::max_element(half, stepCpuMs_.end()));
    // The hand is played on a table at another zoom than the one it started at, after the
    // table has had a moment to settle.
    After(500, [this] { AfterRelayout(1.5, [this] { After(1500, [this] { NewGame(); }); }); });
}

void Driver::NewGame() {
    // New Game, through the menu command as the player would choose it.
    SeedDeal(TableForm().game, seed_);
    worst.clear();
    measuringBlocks = true;
    handStart_ = NowNs();
    TableForm().MNuNew->trigger();
}

void Driver::OnMark(const std::string& what, int seat) {
    const qint64 now = NowNs();
    if (tracing) out_.emplace_back("mark_" + what, std::to_string(now));
    if (what == "pack-stacked") {
        packArmed_ = true;
    } else if (what == "deal-begin" && !dealDone_) {
        dealStart_ = now;
        dealSteps_ = 0;
    } else if (what == "deal-end" && !dealDone_) {
        dealDone_ = true;
        const long cards = 4L * TableForm().G.HandSize;
        Put("deal_hand_size", TableForm().G.HandSize);
        Put("deal_steps", dealSteps_);
        Put("deal_cards", cards);
        // Every step waits one pause, every card one more after its deal sound (5 ms each, or
        // shortened by Quick Play).
        Put("pace_factor", Options::PaceFactor());
        Put("deal_nominal_ms", Pacing::DealStep * Options::PaceFactor() * double(dealSteps_ + cards));
        Put("deal_wall_ms", Ms(now - dealStart_));
    } else if (what == "bidding-end" && !bidsDone_) {
        bidsDone_ = true;
        if (bidAnswered_) {
            Put("bids_wall_ms", Ms(now - bidAnswered_));
            Put("bids_cpu_ms", Ms(CpuNs() - bidAnsweredCpu_));
        }
        HumanTurnSoon();
    } else if (what == "card-begin") {
        cardStart_ = now;
    } else if (what == "card-end") {
        if (seat != 1 && cardStart_) cardMs_.push_back(Ms(now - cardStart_));
        cardStart_ = 0;
        HumanTurnSoon();
    } else if (what == "carry-on-shown") {
        CarryOnShown();
    } else if (what == "carry-on-done") {
        HumanTurnSoon(); // the player may lead the next trick
    } else if (what == "resize-rested" && dragEnding_) {
        DragRested();
    } else if (what == "zoom-begin" && relayoutArmed_) {
        relayoutArmed_ = false;
        zoomBegin_ = now;
    } else if (what == "zoom-end" && zoomBegin_ && afterRelayout_) {
        relayoutPainting_ = true;
    }
}

// The human plays when the game has come back to wait for the click, from a timer of the
// driver's own, never from inside the chain that is still running.
void Driver::HumanTurnSoon() {
    if (humanPending_) return;
    humanPending_ = true;
    After(humanMs_, [this] {
        humanPending_ = false;
        HumanTurn();
    });
}

void Driver::HumanTurn() {
    if (finished_ || !TableExists()) return;
    if (TableForm().G.Turn != 1 || Waits::ChainDepth() != 0) return;
    const int card = ChooseComputerCard(TableForm().G, 1);
    if (card >= 1 && card <= 52) Click(TableForm().CardsPic[card], QPoint(5, 5));
}

void Driver::CarryOnShown() {
    ++carryOns_;
    if (Options::Current().carryOnByItself) return;
    const bool first = carryOns_ == 1;
    if (first) carryOnCpu_ = CpuNs();
    After(first ? carryOnMs_ : nextCarryOnMs_, [this, first] {
        if (first) {
            Put("carryon_window_ms", carryOnMs_);
            Put("carryon_cpu_ms", Ms(CpuNs() - carryOnCpu_));
        }
        if (TableExists() && TableForm().BtnContinue->isVisible()) {
            QPushButton* b = TableForm().BtnContinue;
            ++carryOnPresses_;
            Click(b, b->rect().center());
        }
        HumanTurnSoon();
    });
}

void Driver::Click(QWidget* w, QPoint at) {
    const QPointF local(at), global(w->mapToGlobal(at));
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(w, &release);
}

void Driver::Answer(QWidget* w) {
    if (finished_) return;
    if (auto* bid = qobject_cast<FrmBid*>(w)) {
        bid->TxtBid->setText(QStringLiteral("1"));
        if (!bidAnswered_) {
            bidAnswered_ = NowNs();
            bidAnsweredCpu_ = CpuNs();
        }
        Click(bid->CmdBid, bid->CmdBid->rect().center());
    } else if (auto* msg = qobject_cast<MFormDeluxe*>(w)) {
        if (msg->Label3->text().trimmed() == QLatin1String("Hand Over")) {
            Finish();
            return;
        }
        // A game left unfinished by an earlier run is not carried on: every run starts afresh.
        const int button = msg->Label3->text().trimmed() == QLatin1String("Unfinished Game") ? 1 : 0;
        Click(msg->Label1[button], msg->Label1[button]->rect().center());
    } else if (auto* box = qobject_cast<QMessageBox*>(w)) {
        if (QAbstractButton* b = box->button(QMessageBox::Ok)) Click(b, b->rect().center());
    }
}

void Driver::Finish(const char* error) {
    if (finished_) return;
    finished_ = true;
    measuringBlocks = false;
    if (error) Put("error", error);
    Put("hand_wall_ms", Ms(NowNs() - handStart_));
    Put("hwm_hand_kb", StatusKb("VmHWM"));
    if (!cardMs_.empty()) {
        std::vector<double> c = cardMs_;
        std::sort(c.begin(), c.end());
        Put("cards_computer", double(c.size()));
        Put("card_min_ms", c.front());
        Put("card_median_ms", c[c.size() / 2]);
        Put("card_max_ms", c.back());
    }
    Put("polls", double(polls));
    Put("carry_ons", carryOns_);
    Put("carry_on_presses", carryOnPresses_);
    // A computer's card: the pause after its sound and one more (see ShowPlayedCard), each
    // Standard, shortened by Quick Play.
    Put("card_nominal_ms", 2 * Pacing::Standard * Options::PaceFactor());
    for (size_t i = 0; i < worst.size(); ++i) {
        const std::string n = std::to_string(i + 1);
        out_.emplace_back("block" + n + "_ms", QByteArray::number(Ms(worst[i].ns), 'f', 3).toStdString());
        out_.emplace_back("block" + n + "_cpu_ms",
                          QByteArray::number(Ms(worst[i].cpuNs), 'f', 3).toStdString());
        out_.emplace_back("block" + n + "_after", worst[i].after);
        out_.emplace_back("block" + n + "_at_ms",
                          QByteArray::number(Ms(worst[i].at - handStart_), 'f', 1).toStdString());
    }
    for (size_t i = 0; i < traceDumps.size(); ++i)
        out_.emplace_back("trace" + std::to_string(i), traceDumps[i]);
    Put("done", "1");
    Write();
    TableForm().ExitProgram();
}

void Driver::Write() {
    std::string text;
    for (const auto& [k, v] : out_)
        text += k + ' ' + v + '\n';
    const QByteArray path = qgetenv("VANTRICK_BENCH_OUT");
    FILE* f = path.isEmpty() ? stdout : std::fopen(path.constData(), "w");
    if (!f) return;
    std::fputs(text.c_str(), f);
    if (f != stdout) std::fclose(f);
    std::fflush(stdout);
}

} // namespace

void Install(QObject* table) {
    if (!Enabled()) return;
    driver = new Driver(qobject_cast<Table*>(table));
    driver->setParent(qApp);
    driver->Start();
}

void Mark(const char* what, int seat) {
    if (!Enabled()) return;
    if (!mainNs) mainNs = NowNs(); // the first mark is the one at the top of main()
    lastMark = what;
    if (driver) driver->OnMark(lastMark, seat);
}

void DealStep() {
    if (driver) driver->OnDealStep();
}

} // namespace Probe
