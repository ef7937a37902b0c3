#pragma once
// A small random generator whose sequence depends on its seed alone, on every platform and
// compiler: the standard library's distributions are not specified bit for bit, and the
// sharp opponents and the headless games must repeat themselves exactly under a seed.
#include <QtGlobal>

class SeededRandom {
  public:
    explicit SeededRandom(quint64 seed) : state_(seed) {}

    quint64 Next() {
        // SplitMix64: one addition and a bijective mix, good enough for shuffling cards.
        quint64 z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // 0 <= result < n, for n >= 1; the bias of the plain remainder is below 2^-50 for a pack.
    int Below(int n) { return static_cast<int>(Next() % static_cast<quint64>(n)); }

    // A seed derived from several numbers, each changing the whole of it.
    static quint64 Mix(quint64 seed, quint64 a, quint64 b = 0, quint64 c = 0) {
        for (const quint64 v : {a, b, c})
            seed = SeededRandom(seed ^ SeededRandom(v).Next()).Next();
        return seed;
    }

  private:
    quint64 state_;
};
