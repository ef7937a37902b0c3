#include "PlayRecord.h"

#include "Game.h"
#include "Rules.h"

#include <algorithm>

namespace PlayRecord {

void Dealt(Game& game, int trumpCard, std::vector<qint8> order) {
    GameState& G = game.G;
    Record& r = game.record;
    if (G.HandNumber == 1) r.deals.clear(), r.actions.clear();
    Deal d;
    for (int c = 1; c <= 52; ++c)
        d.holder[size_t(c)] = static_cast<qint8>(G.Cards[size_t(c)].Holder);
    d.trumpCard = static_cast<qint8>(trumpCard);
    d.dealer = static_cast<qint8>(G.Dealer);
    d.order = std::move(order);
    r.deals.push_back(d);
}

void BidMade(Game& game, int seat) {
    GameState& G = game.G;
    game.record.actions.push_back({true, static_cast<qint8>(seat), static_cast<qint8>(G.Bids[size_t(seat)])});
}

void CardPlayed(Game& game, int seat, int card) {
    game.record.actions.push_back({false, static_cast<qint8>(seat), static_cast<qint8>(card)});
}

namespace {

Refused At(size_t action, const QString& why) {
    return {QStringLiteral("action %1: %2").arg(action).arg(why)};
}

// Sets up hand `n` from its deal as the deal leaves the game; empty when the deal is not one.
QString StartHand(GameState& G, int n, const Deal& d) {
    if (n > 19) return QStringLiteral("more than 19 hands");
    if (d.dealer < 1 || d.dealer > 4) return QStringLiteral("hand %1: no dealer").arg(n);
    if (n > 1 && d.dealer != NextSeat(G.Dealer)) return QStringLiteral("hand %1: dealer out of turn").arg(n);
    G.HandNumber = static_cast<qint16>(n);
    G.HandSize = HandSizeFor(n);
    G.Dealer = d.dealer;
    std::array<int, 5> count{};
    for (int c = 1; c <= 52; ++c) {
        const int h = d.holder[size_t(c)];
        if (h < 0 || h > 4) return QStringLiteral("hand %1: card %2 nowhere").arg(n).arg(c);
        ++count[size_t(h)];
        G.Cards[size_t(c)].Holder = static_cast<quint8>(h);
    }
    for (int s = 1; s <= 4; ++s)
        if (count[size_t(s)] != G.HandSize)
            return QStringLiteral("hand %1: seat %2 dealt wrong").arg(n).arg(s);
    if (d.trumpCard < 1 || d.trumpCard > 52 || d.holder[size_t(d.trumpCard)] != 0)
        return QStringLiteral("hand %1: trump card not in the pack").arg(n);
    if (!d.order.empty()) {
        // Each card once, to the seats in turn: with the counts above, every card held.
        const auto seats = DealOrder(d.dealer);
        std::array<bool, 53> seen{};
        if (d.order.size() != size_t(4 * G.HandSize)) return QStringLiteral("hand %1: order cut").arg(n);
        for (size_t i = 0; i < d.order.size(); ++i) {
            const int c = d.order[i];
            if (c < 1 || c > 52 || seen[size_t(c)] || d.holder[size_t(c)] != seats[i % 4])
                return QStringLiteral("hand %1: card %2 dealt out of order").arg(n).arg(c);
            seen[size_t(c)] = true;
        }
    }
    G.Trumps = CardSuit(d.trumpCard);
    G.LedSuit = G.Trumps;
    G.GameOn = true;
    G.HandOver = false;
    G.Turn = 0;
    G.WinningCard = 0;
    G.TrickWinner = 0;
    G.TrickCard1 = G.TrickCard2 = G.TrickCard3 = G.TrickCard4 = -1;
    G.TrickSeat1 = G.TrickSeat2 = G.TrickSeat3 = G.TrickSeat4 = 0;
    for (int s = 1; s <= 4; ++s) {
        G.Bids[size_t(s)] = 0;
        G.TricksMade[size_t(s)] = 0;
        G.CardsLeft[size_t(s)] = G.HandSize;
    }
    return {};
}

} // namespace

Record Prefix(const Record& r, size_t actions) {
    Record p = r;
    p.actions.resize(std::min(actions, r.actions.size()));
    size_t hands = 0;
    for (size_t a = 0; hands < r.deals.size() && a < p.actions.size(); ++hands)
        a += size_t(4 + 4 * HandSizeFor(int(hands) + 1));
    p.deals.resize(std::max<size_t>(hands, p.actions.empty() ? std::min<size_t>(1, r.deals.size()) : 0));
    return p;
}

std::variant<GameState, Refused> Replay(const Record& r, bool anywhere) {
    GameState G;
    MakeCards(G);
    size_t a = 0;
    const auto& acts = r.actions;
    for (size_t h = 0; h < r.deals.size(); ++h) {
        const int n = int(h) + 1;
        if (const QString why = StartHand(G, n, r.deals[h]); !why.isEmpty()) return Refused{why};
        // The bids, from the seat after the dealer round to the dealer.
        int total = 0;
        for (qint16 seat : DealOrder(G.Dealer)) {
            if (a == acts.size()) {
                if (anywhere && h + 1 == r.deals.size()) return G;
                return Refused{QStringLiteral("hand %1: bidding unfinished").arg(n)};
            }
            const Action& x = acts[a];
            if (!x.bid || x.seat != seat) return At(a, QStringLiteral("not the bid of seat %1").arg(seat));
            if (x.value < 0 || x.value > (seat == 1 ? 13 : G.HandSize + (seat == G.Dealer ? 1 : 0)))
                return At(a, QStringLiteral("bid out of range"));
            if (seat == G.Dealer && seat != 1 && total + x.value == G.HandSize)
                return At(a, QStringLiteral("the dealer's bid makes the bids the tricks"));
            G.Bids[size_t(seat)] = x.value;
            total += x.value;
            ++a;
        }
        // The tricks: the dealer leads the first, each winner the next.
        qint16 leader = G.Dealer;
        for (int t = 0; t < G.HandSize; ++t) {
            G.TrickSeat1 = leader;
            SetTrickOrder(G);
            const std::array<qint16, 4> seats{G.TrickSeat1, G.TrickSeat2, G.TrickSeat3, G.TrickSeat4};
            std::array<qint16*, 4> cards{&G.TrickCard1, &G.TrickCard2, &G.TrickCard3, &G.TrickCard4};
            for (int i = 0; i < 4; ++i) {
                const bool last = h + 1 == r.deals.size();
                if (a == acts.size()) {
                    // A record may stop only at the hand in play, at a trick's start.
                    if (!last || (i != 0 && !anywhere))
                        return Refused{QStringLiteral("hand %1 cut short").arg(n)};
                    return G;
                }
                const Action& x = acts[a];
                if (x.bid || x.seat != seats[size_t(i)])
                    return At(a, QStringLiteral("not the turn of seat %1").arg(x.seat));
                if (!IsLegalPlay(G, x.seat, x.value))
                    return At(a, QStringLiteral("card %1 may not be played").arg(x.value));
                if (i == 0) G.LedSuit = CardSuit(x.value);
                *cards[size_t(i)] = x.value;
                G.Cards[size_t(x.value)].Holder = Holders::Pack; // gathered with the trick
                --G.CardsLeft[size_t(x.seat)];
                // As play leaves it: the next seat's turn, none once the player has clicked the
                // trick's last card.
                G.Turn = i < 3 ? seats[size_t(i) + 1] : x.seat == 1 ? 0 : x.seat;
                ++a;
            }
            G.WinningCard = WinnerOfTrick(G);
            for (int i = 0; i < 4; ++i)
                if (*cards[size_t(i)] == G.WinningCard) G.TrickWinner = seats[size_t(i)];
            ++G.TricksMade[size_t(G.TrickWinner)];
            leader = G.TrickWinner;
            G.TrickCard1 = G.TrickCard2 = G.TrickCard3 = G.TrickCard4 = 0;
        }
        G.HandOver = true;
        for (int s = 1; s <= 4; ++s)
            G.GameScore[size_t(s)] = static_cast<qint16>(
                G.GameScore[size_t(s)] + HandPoints(G.Bids[size_t(s)], G.TricksMade[size_t(s)]));
    }
    if (a != acts.size()) return At(a, QStringLiteral("an action after the last hand"));
    return G;
}

} // namespace PlayRecord
