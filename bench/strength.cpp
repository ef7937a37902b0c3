// How strong the sharp opponents are against the classic computer rules, and how long they
// take to decide. Plays whole games headless, each dealt from its own seed:
//   - one sharp seat against three classic seats, the sharp seat moving round the table from
//     game to game, so that no seat's place (first to bid, dealer of the first hand) favours it;
//   - one classic seat against three sharp seats;
//   - one expert seat against three sharp seats, and against three classic seats.
// Prints the figures as a Markdown table. Run by ./scripts/bench --strength.
//
//   bench_strength [--games N] [--reverse N] [--expert N] [--seed S] [--jobs J]
//                  [--card-samples N] [--bid-samples N]
//
// With --jobs J the games are shared out among J copies of this program started and waited
// for here (each game its own Game), game g to copy g % J; each copy prints what it
// counted and timed, and the figures are those of all the games, whatever J.
#include "DataFiles.h"
#include "Deal.h"
#include "Game.h"
#include "HeadlessView.h"
#include "Opponents.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtGlobal>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Wilson's 95 % interval of a proportion: sound at rates near 0 or 1 and for small counts.
void Interval(int wins, int n, double& lo, double& hi) {
    const double z = 1.96, p = double(wins) / n, d = 1 + z * z / n;
    const double mid = (p + z * z / (2 * n)) / d;
    const double half = z * std::sqrt(p * (1 - p) / n + z * z / (4.0 * n * n)) / d;
    lo = std::max(0.0, mid - half);
    hi = std::min(1.0, mid + half);
}

double Slowest1Pct(std::vector<double> ms) {
    if (ms.empty()) return 0;
    std::ranges::sort(ms);
    return ms[std::min(ms.size() - 1, size_t(std::ceil(0.99 * double(ms.size()))) - 1)];
}

// A table with no window that times each sharp decision and counts each seat's exact bids.
class StrengthView : public HeadlessView {
  public:
    explicit StrengthView(Game& game) : HeadlessView(game) {}
    // Per method (0 sharp, 1 expert): first-hand cards, cards, first-hand bids, bids.
    std::array<std::array<std::vector<double>, 4>, 2> times;
    std::array<int, 5> exact{};

    qint16 Decide(int seat, bool bidding, const std::function<qint16()>& decide) override {
        QElapsedTimer clock;
        clock.start();
        const qint16 answer = decide();
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        times[Opponents::LevelOf(Played(), seat) == Sharp::Level::Expert]
             [(bidding ? 2 : 0) + (Played().G.HandNumber != 1)]
                 .push_back(ms);
        return answer;
    }
    int MsgDeluxe(const QString& m, const QString& b1, const QString& b2, const QString& b3, qint16 icon,
                  const QString& title) override {
        if (title == QLatin1String("Hand Over"))
            for (int s = 1; s <= 4; ++s)
                exact[s] += Played().G.TricksMade[s] == Played().G.Bids[s];
        return HeadlessView::MsgDeluxe(m, b1, b2, b3, icon, title);
    }
};

using Levels = std::array<Sharp::Level, 5>;
constexpr Sharp::Level Classic = Sharp::Level::Classic, SharpLevel = Sharp::Level::Sharp,
                       Expert = Sharp::Level::Expert;

// One whole game from `seed` with each seat's method.
bool PlayOne(quint64 seed, const Levels& levels, const Sharp::Effort& effort, StrengthView& view) {
    Game& game = view.Played();
    SeedDeal(game, static_cast<std::uint32_t>(seed));
    game.sharpSeed = seed * 7919;
    game.effort = effort;
    for (int s = 1; s <= 4; ++s)
        Opponents::SetLevel(game, s, levels[s]);
    return view.PlayGame();
}

void Append(std::vector<double>& to, const std::vector<double>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

// Everything the games show, gathered as they are played.
struct Tally {
    int games = 2000, reverse = 500, expert = 2000, jobs = 1, shard = 0;
    Sharp::Effort effort;
    quint64 seed = 20261208;
    std::array<std::array<std::vector<double>, 4>, 2> times;
    // Counts: sharp seat's wins, draws, exact bids, the classic seats' exact bids, the classic
    // seat's wins against three sharp, the expert seat's wins against three sharp and against
    // three classic; scores of the sharp seat and of the classic seats beside it.
    std::array<qint64, 7> n{};
    std::array<double, 2> score{};

    void Times(const StrengthView& r) {
        for (int m = 0; m < 2; ++m)
            for (int k = 0; k < 4; ++k)
                Append(times[m][k], r.times[m][k]);
    }
    // Game g of a round of `count` is this copy's to play.
    bool Mine(int g) const { return g % jobs == shard; }

    // What one copy prints for the one that started it, and reads back.
    void Write(QTextStream& out) const {
        for (const qint64 v : n)
            out << v << ' ';
        out << score[0] << ' ' << score[1] << '\n';
        for (const auto& method : times)
            for (const auto& list : method) {
                out << list.size();
                for (const double ms : list)
                    out << ' ' << ms;
                out << '\n';
            }
    }
    void Read(QTextStream& in) {
        for (qint64& v : n) {
            qint64 more = 0;
            in >> more;
            v += more;
        }
        for (double& v : score) {
            double more = 0;
            in >> more;
            v += more;
        }
        for (auto& method : times)
            for (auto& list : method) {
                qint64 size = 0;
                in >> size;
                for (qint64 i = 0; i < size; ++i) {
                    double ms = 0;
                    in >> ms;
                    list.push_back(ms);
                }
            }
    }
};

// One seat of `mine` against three of `others`, its place moving round the table, games
// seeded from `first` on; `won` counts its wins. False when a choice broke the rules.
template <typename Each>
bool Round(Tally& t, int count, quint64 first, Sharp::Level mine, Sharp::Level others, qint64& won,
           const char* what, Each each) {
    for (int g = 0; g < count; ++g) {
        if (!t.Mine(g)) continue;
        const int me = g % 4 + 1;
        Levels levels{};
        for (int seat = 1; seat <= 4; ++seat)
            levels[seat] = seat == me ? mine : others;
        Game game;
        StrengthView r(game);
        if (!PlayOne(first + quint64(g), levels, t.effort, r)) {
            std::fprintf(stderr, "game %llu: a choice against the rules\n",
                         static_cast<unsigned long long>(first + quint64(g)));
            return false;
        }
        won += GameWinner(game.G) == me;
        each(me, r);
        t.Times(r);
        if ((g + 1) % 100 < t.jobs) std::fprintf(stderr, "%d of %d games, %s\n", g + 1, count, what);
    }
    return true;
}

bool PlayAll(Tally& t) {
    const quint64 sharpFirst = t.seed, reverseFirst = t.seed + quint64(t.games),
                  expertFirst = reverseFirst + quint64(t.reverse),
                  expertClassicFirst = expertFirst + quint64(t.expert);
    const auto none = [](int, const StrengthView&) {};
    return Round(t, t.games, sharpFirst, SharpLevel, Classic, t.n[0], "one sharp seat",
                 [&t](int me, const StrengthView& r) {
                     const GameState& G = r.Played().G;
                     t.n[1] += GameWinner(G) == 0;
                     for (int seat = 1; seat <= 4; ++seat) {
                         t.score[seat != me] += G.GameScore[seat];
                         t.n[seat == me ? 2 : 3] += r.exact[seat];
                     }
                 }) &&
           Round(t, t.reverse, reverseFirst, Classic, SharpLevel, t.n[4], "one classic seat", none) &&
           Round(t, t.expert, expertFirst, Expert, SharpLevel, t.n[5], "one expert seat, three sharp",
                 none) &&
           Round(t, t.expert, expertClassicFirst, Expert, Classic, t.n[6], "one expert seat, three classic",
                 none);
}

// The copies of this program, one a shard, started and waited for; their tallies summed.
bool PlayInShards(Tally& t, const QStringList& args) {
    std::vector<std::unique_ptr<QProcess>> copies;
    for (int i = 0; i < t.jobs; ++i) {
        auto p = std::make_unique<QProcess>();
        p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p->start(QCoreApplication::applicationFilePath(),
                 args + QStringList{"--jobs", QString::number(t.jobs), "--shard", QString::number(i)});
        copies.push_back(std::move(p));
    }
    bool ok = true;
    for (auto& p : copies) {
        ok = p->waitForFinished(-1) && p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0 && ok;
        QTextStream in(p->readAllStandardOutput());
        t.Read(in);
    }
    return ok;
}

// The rows of the benchmark's table: measure, median, min, max, unit, budget, verdict. True
// when every budget is met.
bool PrintRows(Tally& t) {
    double lo = 0, hi = 0;
    const qint64 wins = t.n[0], draws = t.n[1];
    Interval(int(wins), t.games, lo, hi);
    const double hands = 19.0 * t.games;
    const double sharpMean = t.score[0] / t.games, classicMean = t.score[1] / (3.0 * t.games);
    const auto met = [](bool ok) { return ok ? "met" : "**missed**"; };
    const auto seeds = [](quint64 first, int count) {
        return QStringLiteral("seeds %1..%2").arg(first).arg(first + quint64(count) - 1).toStdString();
    };
    std::printf("| Sharp seat: games simulated (%s, the sharp seat's place rotating) | %d | | | games | ≥ "
                "2000 | %s |\n",
                seeds(t.seed, t.games).c_str(), t.games, met(t.games >= 2000));
    std::printf("| Sharp seat: win rate against three classic seats (Wilson's 95 %% interval as min and max; "
                "%lld draws, no win; a classic seat's is 25 %% by symmetry) | %.1f | %.1f | %.1f | %% | ≥ 50 "
                "| %s |\n",
                static_cast<long long>(draws), 100.0 * wins / t.games, 100 * lo, 100 * hi,
                met(100.0 * wins / t.games >= 50));
    std::printf(
        "| Sharp seat: game score above the classic seats' mean (%.1f against %.1f) | %+.1f | | | points | "
        "≥ 20 | %s |\n",
        sharpMean, classicMean, sharpMean - classicMean, met(sharpMean - classicMean >= 20));
    std::printf("| Sharp seat: exact bids (the classic seats': %.1f %%) | %.1f | | | %% of hands | | |\n",
                100 * double(t.n[3]) / (3 * hands), 100 * double(t.n[2]) / hands);
    if (t.reverse > 0) {
        Interval(int(t.n[4]), t.reverse, lo, hi);
        std::printf("| One classic seat against three sharp seats: its win rate (%d games, %s; 95 %% "
                    "interval) | %.1f | %.1f | %.1f | %% | | |\n",
                    t.reverse, seeds(t.seed + quint64(t.games), t.reverse).c_str(),
                    100.0 * double(t.n[4]) / t.reverse, 100 * lo, 100 * hi);
    }
    bool allMet = 100.0 * wins / t.games >= 50 && sharpMean - classicMean >= 20;
    for (int m = 0; m < 2; ++m) {
        auto& [firstCard, card, firstBid, bid] = t.times[m];
        if (firstCard.empty()) continue;
        const char* name = m ? "Expert" : "Sharp";
        Append(card, firstCard);
        Append(bid, firstBid);
        std::printf(
            "| %s card decision, slowest 1 %% (first hand, ten cards, of %zu; every hand %.2f ms, of %zu) | "
            "%.2f | | | ms | ≤ 50 | %s |\n",
            name, firstCard.size(), Slowest1Pct(card), card.size(), Slowest1Pct(firstCard),
            met(Slowest1Pct(firstCard) <= 50));
        std::printf(
            "| %s bid decision, slowest 1 %% (first hand, of %zu; every hand %.2f ms, of %zu) | %.2f | | | "
            "ms | ≤ 200 | %s |\n",
            name, firstBid.size(), Slowest1Pct(bid), bid.size(), Slowest1Pct(firstBid),
            met(Slowest1Pct(firstBid) <= 200));
        allMet = allMet && Slowest1Pct(firstCard) <= 50 && Slowest1Pct(firstBid) <= 200;
    }
    if (t.expert > 0) {
        const quint64 first = t.seed + quint64(t.games + t.reverse);
        std::printf("| Expert seat: games simulated (%s against three sharp seats, %s against three classic, "
                    "the expert seat's place rotating) | %d | | | games | ≥ 2000 | %s |\n",
                    seeds(first, t.expert).c_str(), seeds(first + quint64(t.expert), t.expert).c_str(),
                    t.expert, met(t.expert >= 2000));
        Interval(int(t.n[5]), t.expert, lo, hi);
        const double rate = 100.0 * double(t.n[5]) / t.expert;
        std::printf(
            "| Expert seat: win rate against three sharp seats (Wilson's 95 %% interval as min and max; "
            "a sharp seat's is 25 %% by symmetry) | %.1f | %.1f | %.1f | %% | ≥ 35, min > 25 | %s |\n",
            rate, 100 * lo, 100 * hi, met(rate >= 35 && lo > 0.25));
        Interval(int(t.n[6]), t.expert, lo, hi);
        std::printf(
            "| Expert seat: win rate against three classic seats (95 %% interval) | %.1f | %.1f | %.1f | %% "
            "| | |\n",
            100.0 * double(t.n[6]) / t.expert, 100 * lo, 100 * hi);
        allMet = allMet && rate >= 35 && lo > 0.25;
    }
    return allMet;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir; // the games' statistics are kept in memory, away from the player's
    DataFiles::SetDataDirOverride(dir.path());
    DataFiles::SetWriting(false);
    Tally t;
    Sharp::Effort& effort = t.effort;
    QStringList passOn; // what each copy is given: everything but the sharing out
    for (int i = 1; i + 1 < argc; i += 2) {
        const int v = std::atoi(argv[i + 1]);
        if (!std::strcmp(argv[i], "--jobs")) {
            t.jobs = std::clamp(v, 1, 64);
            continue;
        }
        if (!std::strcmp(argv[i], "--shard")) {
            t.shard = std::max(0, v);
            continue;
        }
        passOn << QString::fromLocal8Bit(argv[i]) << QString::fromLocal8Bit(argv[i + 1]);
        if (!std::strcmp(argv[i], "--games"))
            t.games = std::max(1, v);
        else if (!std::strcmp(argv[i], "--reverse"))
            t.reverse = std::max(0, v);
        else if (!std::strcmp(argv[i], "--expert"))
            t.expert = std::max(0, v);
        else if (!std::strcmp(argv[i], "--seed"))
            t.seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--card-samples"))
            effort.cardSamples = std::max(1, v);
        else if (!std::strcmp(argv[i], "--bid-samples"))
            effort.bidSamples = std::max(1, v);
    }
    const bool copy =
        std::any_of(argv + 1, argv + argc, [](const char* a) { return !std::strcmp(a, "--shard"); });
    if (copy) {
        if (!PlayAll(t)) return 2;
        QTextStream out(stdout);
        t.Write(out);
        return 0;
    }
    if (t.jobs > 1 ? !PlayInShards(t, passOn) : !PlayAll(t)) return 2;
    return PrintRows(t) ? 0 : 1;
}
