#pragma once
// A whole game of 19 hands played without a window, at full speed, on the game state G and
// the rules: the cards dealt by a seeded generator, each seat bidding and playing either by
// the classic rules or as a sharp opponent. The tests check the sharp opponents' choices in
// it and the strength benchmark measures them with it. It replaces the whole of G.
#include "HandLog.h"
#include "Sharp.h"

#include <QtGlobal>
#include <array>
#include <functional>
#include <vector>

namespace QuickGame {

struct Setup {
    quint64 seed = 0;
    std::array<bool, 5> sharp{}; // per seat: a sharp opponent, else the classic rules
    Sharp::Effort effort{};
    bool timeDecisions = false;
    // Called before each sharp decision, with G as the seat finds it and the decision's seed.
    std::function<void(int seat, bool bidding, const HandLog& log, quint64 seed)> beforeSharp;
};

struct Result {
    std::array<qint16, 5> score{};
    int winner = 0;             // 0 for a draw
    std::array<int, 5> exact{}; // hands in which the seat took exactly its bid
    int illegal = 0;            // choices against the rules (each replaced by a legal card)
    // The sharp decisions' times in milliseconds, when timed; the first hand's (ten cards, the
    // slowest to decide) apart from the rest.
    std::vector<double> firstCardMs;
    std::vector<double> cardMs;
    std::vector<double> firstBidMs;
    std::vector<double> bidMs;
};

Result Play(const Setup& setup);

} // namespace QuickGame
