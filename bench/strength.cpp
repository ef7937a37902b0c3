// How strong the sharp opponents are against the classic computer rules, and how long they
// take to decide. Plays whole games headless, each dealt from its own seed:
//   - one sharp seat against three classic seats, the sharp seat moving round the table from
//     game to game, so that no seat's place (first to bid, dealer of the first hand) favours it;
//   - one classic seat against three sharp seats.
// Prints the figures as a Markdown table. Run by ./scripts/bench --strength.
//
//   bench_strength [--games N] [--reverse N] [--seed S] [--card-samples N] [--bid-samples N]
#include "QuickGame.h"

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
    lo = mid - half;
    hi = mid + half;
}

double Slowest1Pct(std::vector<double> ms) {
    if (ms.empty()) return 0;
    std::ranges::sort(ms);
    return ms[std::min(ms.size() - 1, size_t(std::ceil(0.99 * double(ms.size()))) - 1)];
}

void Append(std::vector<double>& to, const std::vector<double>& from) {
    to.insert(to.end(), from.begin(), from.end());
}

} // namespace

int main(int argc, char** argv) {
    int games = 2000, reverse = 500;
    quint64 seed = 20261208;
    Sharp::Effort effort;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--games"))
            games = std::max(1, std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--reverse"))
            reverse = std::max(0, std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--seed"))
            seed = std::strtoull(argv[i + 1], nullptr, 10);
        else if (!std::strcmp(argv[i], "--card-samples"))
            effort.cardSamples = std::max(1, std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--bid-samples"))
            effort.bidSamples = std::max(1, std::atoi(argv[i + 1]));
    }

    std::vector<double> firstCard, card, firstBid, bid;
    int wins = 0, draws = 0, sharpExact = 0, classicExact = 0;
    double sharpScore = 0, classicScore = 0;
    for (int g = 0; g < games; ++g) {
        QuickGame::Setup setup;
        setup.seed = seed + quint64(g);
        const int me = g % 4 + 1;
        setup.sharp[me] = true;
        setup.timeDecisions = true;
        setup.effort = effort;
        const QuickGame::Result r = QuickGame::Play(setup);
        if (r.illegal) {
            std::fprintf(stderr, "game %d: %d choices against the rules\n", g, r.illegal);
            return 2;
        }
        wins += r.winner == me;
        draws += r.winner == 0;
        for (int seat = 1; seat <= 4; ++seat) {
            (seat == me ? sharpScore : classicScore) += r.score[seat];
            (seat == me ? sharpExact : classicExact) += r.exact[seat];
        }
        Append(firstCard, r.firstCardMs);
        Append(card, r.cardMs);
        Append(firstBid, r.firstBidMs);
        Append(bid, r.bidMs);
        if ((g + 1) % 200 == 0) std::fprintf(stderr, "%d of %d games\n", g + 1, games);
    }

    int classicWins = 0;
    for (int g = 0; g < reverse; ++g) {
        QuickGame::Setup setup;
        setup.seed = seed + quint64(games + g);
        const int classic = g % 4 + 1;
        for (int seat = 1; seat <= 4; ++seat)
            setup.sharp[seat] = seat != classic;
        setup.timeDecisions = true;
        setup.effort = effort;
        const QuickGame::Result r = QuickGame::Play(setup);
        if (r.illegal) {
            std::fprintf(stderr, "game %d: %d choices against the rules\n", games + g, r.illegal);
            return 2;
        }
        classicWins += r.winner == classic;
        Append(firstCard, r.firstCardMs);
        Append(card, r.cardMs);
        Append(firstBid, r.firstBidMs);
        Append(bid, r.bidMs);
        if ((g + 1) % 100 == 0) std::fprintf(stderr, "%d of %d games, three sharp seats\n", g + 1, reverse);
    }
    Append(card, firstCard);
    Append(bid, firstBid);

    double lo = 0, hi = 0;
    Interval(wins, games, lo, hi);
    const double hands = 19.0 * games;
    std::printf("| Measure | Value |\n|---|---:|\n");
    std::printf("| Games, one sharp seat against three classic (seeds %llu..%llu) | %d |\n",
                static_cast<unsigned long long>(seed), static_cast<unsigned long long>(seed + games - 1),
                games);
    std::printf("| Sharp seat's win rate (a draw is no win; %d draws) | %.1f %% (95 %%: %.1f..%.1f) |\n",
                draws, 100.0 * wins / games, 100 * lo, 100 * hi);
    std::printf("| Sharp seat's mean game score | %.1f |\n", sharpScore / games);
    std::printf("| Classic seats' mean game score | %.1f |\n", classicScore / (3.0 * games));
    std::printf("| Sharp seat's exact bids per hand | %.1f %% |\n", 100 * sharpExact / hands);
    std::printf("| Classic seats' exact bids per hand | %.1f %% |\n", 100 * classicExact / (3 * hands));
    if (reverse > 0) {
        Interval(classicWins, reverse, lo, hi);
        std::printf("| Games, one classic seat against three sharp (seeds %llu..%llu) | %d |\n",
                    static_cast<unsigned long long>(seed + games),
                    static_cast<unsigned long long>(seed + games + reverse - 1), reverse);
        std::printf("| Classic seat's win rate | %.1f %% (95 %%: %.1f..%.1f) |\n",
                    100.0 * classicWins / reverse, 100 * lo, 100 * hi);
    }
    std::printf("| Card decision, first hand (10 cards): slowest 1 %% of %zu | %.2f ms |\n", firstCard.size(),
                Slowest1Pct(firstCard));
    std::printf("| Card decision, every hand: slowest 1 %% of %zu | %.2f ms |\n", card.size(),
                Slowest1Pct(card));
    std::printf("| Bid, first hand (10 cards): slowest 1 %% of %zu | %.2f ms |\n", firstBid.size(),
                Slowest1Pct(firstBid));
    std::printf("| Bid, every hand: slowest 1 %% of %zu | %.2f ms |\n", bid.size(), Slowest1Pct(bid));
    return 0;
}
