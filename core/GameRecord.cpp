#include "GameRecord.h"

#include "Game.h"
#include "Rules.h"

namespace GameRecord {

namespace {
// The hand in play's row of the sheet (a const one for a const game), or none.
template <typename Owner> auto InPlay(Owner& game) -> decltype(&game.sheet.hands.back()) {
    auto& hands = game.sheet.hands;
    return hands.empty() || hands.back().number != game.G.HandNumber ? nullptr : &hands.back();
}
} // namespace

void HandDealt(Game& game) {
    GameState& G = game.G;
    Record& r = game.sheet;
    // The last trick of the hand before stays to be looked at until one is taken in this hand.
    if (G.HandNumber == 1) r = {};
    r.bidder = 0;
    Hand h;
    h.number = G.HandNumber;
    h.cards = G.HandSize;
    h.trumps = G.Trumps;
    h.dealer = G.Dealer;
    r.hands.push_back(h);
}

void Bidding(Game& game, int seat) {
    game.sheet.bidder = static_cast<qint16>(seat);
}

void BidMade(Game& game, int seat) {
    GameState& G = game.G;
    if (Hand* h = InPlay(game)) {
        h->bid[seat] = true;
        h->bids[seat] = G.Bids[seat];
    }
}

void TrickTaken(Game& game) {
    GameState& G = game.G;
    if (Hand* h = InPlay(game)) h->tricks = G.TricksMade;
}

void TrickCleared(Game& game) {
    GameState& G = game.G;
    Trick& t = game.sheet.last;
    t.seats = {G.TrickSeat1, G.TrickSeat2, G.TrickSeat3, G.TrickSeat4};
    t.cards = {G.TrickCard1, G.TrickCard2, G.TrickCard3, G.TrickCard4};
    t.winner = G.TrickWinner;
}

void HandScored(Game& game) {
    GameState& G = game.G;
    if (Hand* h = InPlay(game)) {
        for (int s = 1; s <= 4; ++s)
            h->points[s] = HandPoints(G.Bids[s], G.TricksMade[s]);
        h->tricks = G.TricksMade;
        h->scored = true;
    }
}

int BidTotal(const Game& game) {
    const Hand* h = InPlay(game);
    int total = 0;
    for (int s = 1; h && s <= 4; ++s)
        total += h->bid[s] ? h->bids[s] : 0;
    return total;
}

bool AnyBid(const Game& game) {
    const Hand* h = InPlay(game);
    return h && (h->bid[1] || h->bid[2] || h->bid[3] || h->bid[4]);
}

int SeatToAct(const Game& game) {
    const GameState& G = game.G;
    const Record& r = game.sheet;
    if (!G.GameOn) return 0;
    if (r.bidder != 0) return r.bidder;
    // Between the fourth card and Carry On nobody is to play; nor while the cards are dealt.
    if (G.Trumps == 0 || G.TrickCard4 > 0 || G.HandOver) return 0;
    return G.Turn >= 1 && G.Turn <= 4 ? G.Turn : 0;
}

std::vector<std::array<int, 4>> RunningTotals(const Game& game) {
    std::vector<std::array<int, 4>> totals;
    std::array<int, 4> total{};
    for (const Hand& h : game.sheet.hands) {
        if (!h.scored) continue;
        for (size_t seat = 1; seat <= 4; ++seat)
            total[seat - 1] += h.points[seat];
        totals.push_back(total);
    }
    return totals;
}

} // namespace GameRecord
