// Whole games per second of the procedures of play with no window: every seat, the player's
// included, by the computer's rules; seeds 1..N. Prints one JSON line for scripts/bench.
#include "DataFiles.h"
#include "Deal.h"
#include "HeadlessView.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::atoi(argv[1]) : 2000;
    QTemporaryDir dir; // nothing is written there, but nothing is read from the user's files either
    DataFiles::SetDataDirOverride(dir.path());
    DataFiles::SetWriting(false);
    long long completed = 0;
    QElapsedTimer clock;
    clock.start();
    for (int seed = 1; seed <= games; ++seed) {
        ResetGameState();
        SeedDeal(static_cast<std::uint32_t>(seed));
        HeadlessView view;
        completed += view.PlayGame() ? 1 : 0;
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;
    std::printf("{\"games\": %d, \"completed\": %lld, \"seconds\": %.4f}\n", games, completed, seconds);
    return completed == games ? 0 : 1;
}
