#include "Opponents.h"

#include "Decider.h"
#include "GameState.h"
#include "Rules.h"
#include "SeededRandom.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <random>

namespace Opponents {
namespace {
std::array<Sharp::Level, 5> level{};
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

std::function<qint16()> BidJob(int seat) {
    return [view = Sharp::ViewForBid(seat, log), s = DecisionSeed(seat, true), e = effort, l = level[seat]] {
        return l == Sharp::Level::Expert ? Sharp::ExpertBid(view, s, true, e).Choice()
                                         : Sharp::ChooseBid(view, s, true, e);
    };
}

std::function<qint16()> CardJob(int seat) {
    return
        [view = Sharp::ViewForPlay(seat, log), s = DecisionSeed(seat, false), e = effort, l = level[seat]] {
            return l == Sharp::Level::Expert ? Sharp::ExpertCard(view, s, e).Choice()
                                             : Sharp::ChooseCard(view, s, e);
        };
}
} // namespace

void SetLevel(int seat, Sharp::Level l) {
    if (seat >= 1 && seat <= 4) level[seat] = l;
}

Sharp::Level LevelOf(int seat) {
    return seat >= 1 && seat <= 4 ? level[seat] : Sharp::Level::Classic;
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
    return LevelOf(seat) != Sharp::Level::Classic ? TheDecider().Decide(seat, true, BidJob(seat))
                                                  : ComputeComputerBid(seat);
}

qint16 CardFor(int seat) {
    return LevelOf(seat) != Sharp::Level::Classic ? TheDecider().Decide(seat, false, CardJob(seat))
                                                  : ChooseComputerCard(seat);
}

std::function<Sharp::Estimate()> HintBid() {
    return [view = Sharp::ViewForBid(1, log), s = DecisionSeed(1, true), e = effort] {
        return Sharp::ExpertBid(view, s, false, e);
    };
}

std::function<Sharp::Estimate()> HintCard() {
    return [view = Sharp::ViewForPlay(1, log), s = DecisionSeed(1, false), e = effort] {
        return Sharp::ExpertCard(view, s, e);
    };
}

std::vector<size_t> HintOrder(const Sharp::Estimate& e) {
    // The most ways of making the bid first; of equal shares, the higher worth.
    std::vector<size_t> order(e.choices.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    std::ranges::stable_sort(order, [&e](size_t a, size_t b) {
        return std::pair(e.made[a], e.worth[a]) > std::pair(e.made[b], e.worth[b]);
    });
    return order;
}

namespace {
QString InTen(double share) {
    return QString::number(std::clamp(int(std::lround(share * 10)), 0, 10));
}
} // namespace

QString CardHintText(const Sharp::Estimate& e) {
    const std::vector<size_t> order = HintOrder(e);
    if (order.empty() || e.made.size() != e.choices.size()) return {};
    const auto name = [](qint16 card) {
        return card >= 1 && card <= 52 ? G.Cards[card].FullName : QString();
    };
    const qint16 best = e.choices[order[0]];
    QString text = QStringLiteral("Hint: the %1 (your bid made in %2 of 10 ways the cards may lie")
                       .arg(name(best), InTen(e.made[order[0]]));
    if (order.size() > 1) {
        // The runner-up is named by its rank alone when it is of the same suit.
        const qint16 next = e.choices[order[1]];
        const bool sameSuit =
            best >= 1 && best <= 52 && next >= 1 && next <= 52 && G.Cards[best].Suit == G.Cards[next].Suit;
        text += QStringLiteral("; the %1: %2 of 10")
                    .arg(sameSuit ? G.Cards[next].RankName : name(next), InTen(e.made[order[1]]));
    }
    return text + QLatin1Char(')');
}

QString BidHintText(const Sharp::Estimate& e) {
    if (e.best >= e.choices.size() || e.made.size() != e.choices.size()) return {};
    return QStringLiteral("Hint: bid %1 (made in %2 of 10)")
        .arg(e.choices[e.best])
        .arg(InTen(e.made[e.best]));
}

} // namespace Opponents
