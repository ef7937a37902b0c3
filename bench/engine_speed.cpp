// Whole games per second of the procedures of play with no window: every seat, the player's
// included, by the computer's rules; seeds 1..N. The time to load the last save of hand 19 of
// the game of seed 1 (read, played through the rules, drawn on a table with no window), the mean
// of 200 loads. Then History.dat of MaxGames full games (seed 1) read and summarised. Prints one
// JSON line for scripts/bench.
#include "DataFiles.h"
#include "Deal.h"
#include "Game.h"
#include "HeadlessView.h"
#include "History.h"
#include "Resume.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <cstdio>
#include <cstdlib>
#include <random>

int main(int argc, char** argv) {
    const int games = argc > 1 ? std::atoi(argv[1]) : 2000;
    QTemporaryDir dir; // nothing is written there, but nothing is read from the user's files either
    DataFiles::SetDataDirOverride(dir.path());
    DataFiles::SetWriting(false);
    long long completed = 0;
    QElapsedTimer clock;
    clock.start();
    for (int seed = 1; seed <= games; ++seed) {
        Game game;
        SeedDeal(game, static_cast<std::uint32_t>(seed));
        HeadlessView view(game);
        completed += view.PlayGame() ? 1 : 0;
    }
    const double seconds = static_cast<double>(clock.nsecsElapsed()) / 1e9;

    QByteArray save;
    Game played;
    played.onSaved = [&](const QByteArray& bytes) {
        if (played.G.HandNumber == 19) save = bytes;
    };
    SeedDeal(played, 1);
    HeadlessView(played).PlayGame();
    constexpr int loads = 200;
    int loaded = 0;
    Game game;
    HeadlessView view(game);
    SetView(&view);
    clock.restart();
    for (int i = 0; i < loads; ++i)
        loaded += RestoreSavedGame(game, save) ? 1 : 0;
    const double loadMs = static_cast<double>(clock.nsecsElapsed()) / 1e6 / loads;
    // The history at its largest: every game of 19 hands, scores of three digits, the exact
    // hands half of them.
    std::mt19937 gen(1);
    QList<History::Game> many;
    for (qsizetype i = 0; i < History::MaxGames; ++i) {
        History::Game g;
        g.when = 1765300000 + i * 3600;
        g.opponents = int(gen() % 3);
        std::array<int, 4> total{};
        for (int hand = 1; hand <= 19; ++hand) {
            for (int& t : total)
                t += int(gen() % 3) ? 10 + int(gen() % 4) : -int(gen() % 4);
            g.totals.append(total);
            if (gen() % 2) g.exactHands.append(hand);
        }
        g.scores = total;
        many.append(g);
    }
    DataFiles::SetWriting(true);
    DataFiles::WriteFile(QStringLiteral("History.dat"), History::Format(many));
    clock.restart();
    const History::Summary summary = History::Summarise(History::Load());
    const double historyMs = static_cast<double>(clock.nsecsElapsed()) / 1e6;
    std::printf("{\"games\": %d, \"completed\": %lld, \"seconds\": %.4f, \"load_ms\": %.4f, "
                "\"history_games\": %d, \"history_ms\": %.3f}\n",
                games, completed, seconds, loadMs, summary.played, historyMs);
    return completed == games && loaded == loads ? 0 : 1;
}
