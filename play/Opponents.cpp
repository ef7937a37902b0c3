#include "Opponents.h"

#include "Game.h"

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
// One seed per decision: the same game asks the same questions in the same order.
quint64 DecisionSeed(Game& game, int seat, bool bidding) {
    GameState& G = game.G;
    return SeededRandom::Mix(game.sharpSeed,
                             quint64(G.HandNumber) * 8 + quint64(seat) * 2 + (bidding ? 1 : 0),
                             game.log.plays.size());
}

std::function<qint16()> BidJob(Game& game, int seat) {
    return [view = Sharp::ViewForBid(game.G, seat, game.log), s = DecisionSeed(game, seat, true),
            e = game.effort, l = game.levels[seat]] {
        return l == Sharp::Level::Expert ? Sharp::ExpertBid(view, s, true, e).Choice()
                                         : Sharp::ChooseBid(view, s, true, e);
    };
}

std::function<qint16()> CardJob(Game& game, int seat) {
    return [view = Sharp::ViewForPlay(game.G, seat, game.log), s = DecisionSeed(game, seat, false),
            e = game.effort, l = game.levels[seat]] {
        return l == Sharp::Level::Expert ? Sharp::ExpertCard(view, s, e).Choice()
                                         : Sharp::ChooseCard(view, s, e);
    };
}
} // namespace

void SetLevel(Game& game, int seat, Sharp::Level l) {
    if (seat >= 1 && seat <= 4) game.levels[seat] = l;
}

Sharp::Level LevelOf(const Game& game, int seat) {
    return seat >= 1 && seat <= 4 ? game.levels[seat] : Sharp::Level::Classic;
}

qint16 BidFor(Game& game, int seat) {
    GameState& G = game.G;
    return LevelOf(game, seat) != Sharp::Level::Classic ? TheDecider().Decide(seat, true, BidJob(game, seat))
                                                        : ComputeComputerBid(G, seat);
}

qint16 CardFor(Game& game, int seat) {
    GameState& G = game.G;
    return LevelOf(game, seat) != Sharp::Level::Classic
               ? TheDecider().Decide(seat, false, CardJob(game, seat))
               : ChooseComputerCard(G, seat);
}

std::function<Sharp::Estimate()> HintBid(Game& game) {
    return [view = Sharp::ViewForBid(game.G, 1, game.log), s = DecisionSeed(game, 1, true), e = game.effort] {
        return Sharp::ExpertBid(view, s, false, e);
    };
}

std::function<Sharp::Estimate()> HintCard(Game& game) {
    return [view = Sharp::ViewForPlay(game.G, 1, game.log), s = DecisionSeed(game, 1, false),
            e = game.effort] { return Sharp::ExpertCard(view, s, e); };
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

QString CardHintText(const Game& game, const Sharp::Estimate& e) {
    const GameState& G = game.G;
    const std::vector<size_t> order = HintOrder(e);
    if (order.empty() || e.made.size() != e.choices.size()) return {};
    const auto name = [&G](qint16 card) {
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
