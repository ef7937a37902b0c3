#pragma once
// One game of Vantrick, whole: the fields of the game as it stands (G, with the game's own
// names and widths), the record it is made of (the deals and every bid and card, which replay
// to G), the score sheet the player follows, how each computer seat decides and from which
// seed, what the table has shown of the hand in play, the deal's generator, and the moments
// Take Back can return to.
//
// Whoever runs games owns one (the window, each test, the benchmark) and hands it to the
// procedures of play, which keep it as they go; nothing of a game lives anywhere else. A copy
// is a snapshot: Take Back keeps copies, and puts one back.
#include "GameRecord.h"
#include "GameState.h"
#include "HandLog.h"
#include "PlayRecord.h"
#include "Sharp.h"

#include <QByteArray>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <random>
#include <vector>

struct Game {
    Game();

    GameState G;
    // The deals and the actions of the game so far; replayed through the rules they give G.
    PlayRecord::Record record;
    // Every hand so far with its bids, tricks and points, the seat asked to bid, the last trick.
    GameRecord::Record sheet;

    // How each computer seat bids and plays (element 0 unused), how far the look-ahead goes,
    // and the seed of its decisions: independent of the deal's, so that no seat can work back
    // from its own decisions to the order of the pack.
    std::array<Sharp::Level, 5> levels{};
    Sharp::Effort effort;
    quint64 sharpSeed = 0;
    // The hand in play as the table has shown it: the trump card and every card put down.
    HandLog log;
    // The deal's one random generator; tests seed it so that deals repeat exactly.
    std::mt19937 deal;

    // The player's decisions in the hand in play, each with the game as it stood when the
    // player was asked and Game.dat as it was then (nothing kept when no file is written).
    struct Moment {
        std::shared_ptr<const Game> game;
        std::optional<QByteArray> saved;
    };
    std::vector<Moment> takeBack;
    // A saved game has been put back on the table and has not gone on yet.
    bool carryOnPending = false;
    // Told of every save point with the saved game's bytes (tests, the benchmark).
    std::function<void(const QByteArray&)> onSaved;
};
