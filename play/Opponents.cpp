#include "Opponents.h"

#include "Rules.h"
#include "SeededRandom.h"
#include "TableView.h"

#include <array>
#include <random>

namespace Opponents {
namespace {
std::array<bool, 5> sharp{};
Sharp::Effort effort;
quint64 seed = [] {
    std::random_device rd;
    return (quint64(rd()) << 32) ^ rd();
}();
HandLog log;

// One seed per decision: the same game asks the same questions in the same order.
quint64 DecisionSeed(int seat, bool bidding) {
    return SeededRandom::Mix(seed, quint64(G.HandNumber) * 8 + quint64(seat) * 2 + (bidding ? 1 : 0),
                             log.plays.size());
}

std::function<qint16()> BidJob(int seat, bool restricted) {
    return [view = Sharp::ViewForBid(seat, log), s = DecisionSeed(seat, true), restricted, e = effort] {
        return Sharp::ChooseBid(view, s, restricted, e);
    };
}

std::function<qint16()> CardJob(int seat) {
    return [view = Sharp::ViewForPlay(seat, log), s = DecisionSeed(seat, false), e = effort] {
        return Sharp::ChooseCard(view, s, e);
    };
}
} // namespace

void SetSharp(int seat, bool on) {
    if (seat >= 1 && seat <= 4) sharp[seat] = on;
}

bool IsSharp(int seat) {
    return seat >= 1 && seat <= 4 && sharp[seat];
}

void SetEffort(const Sharp::Effort& e) {
    effort = e;
}

void Seed(quint64 s) {
    seed = s;
}

quint64 SeedNow() {
    return seed;
}

HandLog& Log() {
    return log;
}

qint16 BidFor(int seat) {
    return IsSharp(seat) ? View().Decide(seat, true, BidJob(seat, true)) : ComputeComputerBid(seat);
}

qint16 CardFor(int seat) {
    return IsSharp(seat) ? View().Decide(seat, false, CardJob(seat)) : ChooseComputerCard(seat);
}

std::function<qint16()> HintBid() {
    return BidJob(1, false);
}

std::function<qint16()> HintCard() {
    return CardJob(1);
}

} // namespace Opponents
