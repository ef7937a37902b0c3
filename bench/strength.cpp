// How strong the sharp opponents are against the classic computer rules, and how long they
// take to decide. Plays whole games headless, each dealt from its own seed:
//   - one sharp seat against three classic seats, the sharp seat moving round the table from
//     game to game, so that no seat's place (first to bid, dealer of the first hand) favours it;
//   - one classic seat against three sharp seats.
// Prints the figures as a Markdown table. Run by ./scripts/bench --strength.
//
//   bench_strength [--games N] [--reverse N] [--seed S] [--card-samples N] [--bid-samples N]
#include "DataFiles.h"
#include "Deal.h"
#include "HeadlessView.h"
#include "Opponents.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
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
    std::vector<double> firstCard, card, firstBid, bid;
    std::array<int, 5> exact{};

    qint16 Decide(int, bool bidding, const std::function<qint16()>& decide) override {
        QElapsedTimer clock;
        clock.start();
        const qint16 answer = decide();
        const double ms = double(clock.nsecsElapsed()) / 1e6;
        (bidding ? (G.HandNumber == 1 ? firstBid : bid) : (G.HandNumber == 1 ? firstCard : card))
            .push_back(ms);
        return answer;
    }
    int MsgDeluxe(const QString& m, const QString& b1, const QString& b2, const QString& b3, qint16 icon,
                  const QString& title) override {
        if (title == QLatin1String("Hand Over"))
            for (int s = 1; s <= 4; ++s)
                exact[s] += G.TricksMade[s] == G.Bids[s];
        return HeadlessView::MsgDeluxe(m, b1, b2, b3, icon, title);
    }
};

// One whole game from `seed` with the sharp method at the seats marked.
bool PlayOne(quint64 seed, const std::array<bool, 5>& sharp, StrengthView& view) {
    ResetGameState();
    SeedDeal(static_cast<std::uint32_t>(seed));
    Opponents::Seed(seed * 7919);
    for (int s = 1; s <= 4; ++s)
        Opponents::SetSharp(s, sharp[s]);
    return view.PlayGame();
}

void Append(std::vector<double>& to, const std::vector<double>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

// Everything the games show, gathered as they are played.
struct Tally {
    int games = 2000, reverse = 500;
    quint64 seed = 20261208;
    std::vector<double> firstCard, card, firstBid, bid;
    int wins = 0, draws = 0, sharpExact = 0, classicExact = 0, classicWins = 0;
    double sharpScore = 0, classicScore = 0;

    void Times(const StrengthView& r) {
        Append(firstCard, r.firstCard);
        Append(card, r.card);
        Append(firstBid, r.firstBid);
        Append(bid, r.bid);
    }
};

// One sharp seat against three classic seats, its place moving round the table.
bool OneSharpSeat(Tally& t) {
    for (int g = 0; g < t.games; ++g) {
        const int me = g % 4 + 1;
        std::array<bool, 5> sharp{};
        sharp[me] = true;
        StrengthView r;
        if (!PlayOne(t.seed + quint64(g), sharp, r)) {
            std::fprintf(stderr, "game %d: a choice against the rules\n", g);
            return false;
        }
        const int winner = GameWinner();
        t.wins += winner == me;
        t.draws += winner == 0;
        for (int seat = 1; seat <= 4; ++seat) {
            (seat == me ? t.sharpScore : t.classicScore) += G.GameScore[seat];
            (seat == me ? t.sharpExact : t.classicExact) += r.exact[seat];
        }
        t.Times(r);
        if ((g + 1) % 200 == 0) std::fprintf(stderr, "%d of %d games\n", g + 1, t.games);
    }
    return true;
}

// One classic seat against three sharp seats.
bool OneClassicSeat(Tally& t) {
    for (int g = 0; g < t.reverse; ++g) {
        const int classic = g % 4 + 1;
        std::array<bool, 5> sharp{};
        for (int seat = 1; seat <= 4; ++seat)
            sharp[seat] = seat != classic;
        StrengthView r;
        if (!PlayOne(t.seed + quint64(t.games + g), sharp, r)) {
            std::fprintf(stderr, "game %d: a choice against the rules\n", t.games + g);
            return false;
        }
        t.classicWins += GameWinner() == classic;
        t.Times(r);
        if ((g + 1) % 100 == 0) std::fprintf(stderr, "%d of %d games, three sharp seats\n", g + 1, t.reverse);
    }
    return true;
}

// The rows of the benchmark's table: measure, median, min, max, unit, budget, verdict. True
// when every budget is met.
bool PrintRows(Tally& t) {
    double lo = 0, hi = 0;
    Interval(t.wins, t.games, lo, hi);
    const double hands = 19.0 * t.games;
    const double sharpMean = t.sharpScore / t.games, classicMean = t.classicScore / (3.0 * t.games);
    const auto met = [](bool ok) { return ok ? "met" : "**missed**"; };
    // Rows in the benchmark's table: measure, median, min, max, unit, budget, verdict.
    std::printf(
        "| Sharp seat: games simulated (seeds %llu..%llu, the sharp seat's place rotating) | %d | | | "
        "games | ≥ 2000 | %s |\n",
        static_cast<unsigned long long>(t.seed), static_cast<unsigned long long>(t.seed + t.games - 1),
        t.games, met(t.games >= 2000));
    std::printf("| Sharp seat: win rate against three classic seats (Wilson's 95 %% interval as min and max; "
                "%d draws, no win; a classic seat's is 25 %% by symmetry) | %.1f | %.1f | %.1f | %% | ≥ 50 "
                "| %s |\n",
                t.draws, 100.0 * t.wins / t.games, 100 * lo, 100 * hi, met(100.0 * t.wins / t.games >= 50));
    std::printf(
        "| Sharp seat: game score above the classic seats' mean (%.1f against %.1f) | %+.1f | | | points | "
        "≥ 20 | %s |\n",
        sharpMean, classicMean, sharpMean - classicMean, met(sharpMean - classicMean >= 20));
    std::printf("| Sharp seat: exact bids (the classic seats': %.1f %%) | %.1f | | | %% of hands | | |\n",
                100 * t.classicExact / (3 * hands), 100 * t.sharpExact / hands);
    if (t.reverse > 0) {
        Interval(t.classicWins, t.reverse, lo, hi);
        std::printf(
            "| One classic seat against three sharp seats: its win rate (%d games, seeds %llu..%llu; 95 %% "
            "interval) | %.1f | %.1f | %.1f | %% | | |\n",
            t.reverse, static_cast<unsigned long long>(t.seed + t.games),
            static_cast<unsigned long long>(t.seed + t.games + t.reverse - 1),
            100.0 * t.classicWins / t.reverse, 100 * lo, 100 * hi);
    }
    Append(t.card, t.firstCard);
    Append(t.bid, t.firstBid);
    std::printf(
        "| Sharp card decision, slowest 1 %% (first hand, ten cards, of %zu; every hand %.2f ms, of %zu) | "
        "%.2f | | | ms | ≤ 50 | %s |\n",
        t.firstCard.size(), Slowest1Pct(t.card), t.card.size(), Slowest1Pct(t.firstCard),
        met(Slowest1Pct(t.firstCard) <= 50));
    std::printf(
        "| Sharp bid decision, slowest 1 %% (first hand, of %zu; every hand %.2f ms, of %zu) | %.2f | | | "
        "ms | ≤ 200 | %s |\n",
        t.firstBid.size(), Slowest1Pct(t.bid), t.bid.size(), Slowest1Pct(t.firstBid),
        met(Slowest1Pct(t.firstBid) <= 200));
    const bool allMet = 100.0 * t.wins / t.games >= 50 && sharpMean - classicMean >= 20 &&
                        Slowest1Pct(t.firstCard) <= 50 && Slowest1Pct(t.firstBid) <= 200;
    return allMet;
}

} // namespace

int main(int argc, char** argv) {
    QTemporaryDir dir; // the games' statistics are kept in memory, away from the player's
    DataFiles::SetDataDirOverride(dir.path());
    DataFiles::SetWriting(false);
    Tally t;
    Sharp::Effort effort;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--games"))
            t.games = std::max(1, std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--reverse"))
            t.reverse = std::max(0, std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--seed"))
            t.seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--card-samples"))
            effort.cardSamples = std::max(1, std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--bid-samples"))
            effort.bidSamples = std::max(1, std::atoi(argv[i + 1]));
    }
    Opponents::SetEffort(effort);
    if (!OneSharpSeat(t) || !OneClassicSeat(t)) return 2;
    return PrintRows(t) ? 0 : 1;
}
