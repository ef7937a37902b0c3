#include "Game.h"

Game::Game() {
    // Each program's games differ: both the deal and the sharp seats' decisions start from the
    // system's randomness (and the clock, where that is weak), each drawn on its own.
    std::random_device rd;
    std::seed_seq seq{rd(), rd(), rd(), rd(), static_cast<unsigned>(TickCount())};
    deal.seed(seq);
    sharpSeed = (quint64(rd()) << 32) ^ rd();
}
