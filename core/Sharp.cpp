// The look-ahead works on a compact copy of a hand: each seat's cards as one 64-bit mask with
// 16 bits a suit and a card's bit at its strength in play (Two 2 .. Ace 14), so that "the
// lowest card that beats the trick" or "is this the top card left of its suit" is a couple of
// bit operations. A hand of ten cards plays out in well under a microsecond.
#include "Sharp.h"

#include "GameState.h"
#include "Rules.h"
#include "SeededRandom.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>

namespace Sharp {
namespace {

using Mask = quint64;

constexpr int Ace = 14, King = 13, Queen = 12;
constexpr Mask SuitBits(int suit) { // suit 0..3
    return Mask(0x7FFC) << (16 * suit);
}
constexpr Mask AllCards = SuitBits(0) | SuitBits(1) | SuitBits(2) | SuitBits(3);

int BitOf(int card) {
    const int rank = (card - 1) % 13 + 1;
    return 16 * ((card - 1) / 13) + (rank == 1 ? Ace : rank);
}
Mask MaskOf(int card) {
    return Mask(1) << BitOf(card);
}
int CardOf(int bit) {
    const int strength = bit & 15;
    return (bit >> 4) * 13 + (strength == Ace ? 1 : strength);
}
int SuitOf(int bit) {
    return bit >> 4;
}
int Low(Mask m) {
    return std::countr_zero(m);
}
int High(Mask m) {
    return 63 - std::countl_zero(m);
}
Mask Above(int bit) {
    return ~((Mask(2) << bit) - 1);
}
Mask Below(int bit) {
    return (Mask(1) << bit) - 1;
}
bool Single(Mask m) {
    return (m & (m - 1)) == 0;
}
// The lowest (highest) card by strength across suits; ties go to the lower suit.
int LowestRank(Mask m) {
    int best = -1;
    for (int s = 0; s < 4; ++s)
        if (const Mask in = m & SuitBits(s); in && (best < 0 || (Low(in) & 15) < (best & 15))) best = Low(in);
    return best;
}
int HighestRank(Mask m) {
    int best = -1;
    for (int s = 0; s < 4; ++s)
        if (const Mask in = m & SuitBits(s); in && (best < 0 || (High(in) & 15) > (best & 15)))
            best = High(in);
    return best;
}

// One hand in play, seats 0..3 for seats 1..4.
struct Sim {
    std::array<Mask, 4> hand{};
    std::array<int, 4> bid{}, tricks{};
    Mask gone = 0; // cards every seat knows are out of play: those played and the trump card
    int trump = 0, leader = 0, count = 0, led = 0, best = 0, bestSeat = 0, tricksLeft = 0;

    int Turn() const { return (leader + count) & 3; }
    bool Beats(int bit, int current) const {
        return SuitOf(bit) == SuitOf(current) ? bit > current : SuitOf(bit) == trump;
    }
    void Play(int bit) {
        const int seat = Turn();
        hand[seat] &= ~(Mask(1) << bit);
        gone |= Mask(1) << bit;
        if (count == 0 || Beats(bit, best)) {
            if (count == 0) led = SuitOf(bit);
            best = bit;
            bestSeat = seat;
        }
        if (++count == 4) {
            ++tricks[bestSeat];
            leader = bestSeat;
            count = 0;
            --tricksLeft;
        }
    }
    Mask Legal() const {
        const Mask follow = count ? hand[Turn()] & SuitBits(led) : 0;
        return follow ? follow : hand[Turn()];
    }
    int Points(int seat) const { return tricks[seat] + (tricks[seat] == bid[seat] ? 10 : 0); }
};

// The quick player every seat is given in the play-outs: it reads only its own cards and the
// cards gone. Short of its bid, or already over it (each further trick is still a point), it
// takes what it can cheaply; with the bid made exactly it ducks.
int QuickChoice(const Sim& s) {
    const int me = s.Turn();
    const Mask h = s.hand[me];
    const Mask legal = s.Legal();
    if (Single(legal)) return Low(legal);
    const bool duck = s.bid[me] == s.tricks[me];
    const Mask trumps = h & SuitBits(s.trump), side = h & ~trumps;

    if (s.count == 0) {
        if (!duck) {
            // A card no other seat can beat in its suit; side suits first, they may be ruffed
            // later, and trumps are worth keeping for ruffing.
            const Mask out = AllCards & ~(s.gone | h);
            int master = -1;
            for (int suit = 0; suit < 4; ++suit) {
                const Mask in = h & SuitBits(suit);
                if (!in || (out & SuitBits(suit) & Above(High(in)))) continue;
                if (master < 0 || SuitOf(master) == s.trump) master = High(in);
            }
            if (master >= 0) return master;
        }
        return side ? LowestRank(side) : Low(h);
    }

    const bool last = s.count == 3;
    if (h & SuitBits(s.led)) {
        const Mask f = legal;
        if (SuitOf(s.best) != s.led) return duck ? High(f) : Low(f); // ruffed: none of these can win
        if (!duck) {
            const Mask over = f & Above(s.best);
            if (!over) return Low(f);
            return last ? Low(over) : High(f);
        }
        const Mask under = f & Below(s.best);
        if (under) return High(under);
        return last ? High(f) : Low(f);
    }

    const bool bestIsTrump = SuitOf(s.best) == s.trump;
    if (!duck) {
        const Mask ruff = bestIsTrump ? trumps & Above(s.best) : trumps;
        if (ruff) return Low(ruff);
        return side ? LowestRank(side) : Low(trumps);
    }
    if (side) return HighestRank(side);
    if (bestIsTrump)
        if (const Mask under = trumps & Below(s.best)) return High(under);
    return last ? High(trumps) : Low(trumps);
}

void PlayOut(Sim& s) {
    // An empty hand to play from means a view that no real table gives: stop rather than guess.
    while (s.tricksLeft > 0 && s.hand[s.Turn()])
        s.Play(QuickChoice(s));
}

// How good the end of a play-out is for `me`: its own hand points, less a share of the
// others'. A point the others miss is nearly as good as one more of its own in a game won by
// the highest total.
constexpr double kOthersWeight = 0.5;
double Outcome(const Sim& s, int me) {
    int others = 0;
    for (int seat = 0; seat < 4; ++seat)
        if (seat != me) others += s.Points(seat);
    return s.Points(me) - kOthersWeight * others / 3.0;
}

// How the expert judges the end of a play-out: by its chance of winning the game. Each seat's
// game total after the hand is set against every other's, the hands still to come taken as a
// spread of kHandSpread points of difference a hand, and the chances of beating each of the
// others multiplied. Early in a game this counts every point of every seat; in the last hands
// it plays to overtake the leader or to keep ahead, as the standing asks.
constexpr double kHandSpread = 6.0, kPointsTieBreak = 1e-6;
struct Judge {
    bool game = false; // false: the sharp method's Outcome
    std::array<double, 4> total{};
    double spread = 1;

    double operator()(const Sim& s, int me) const {
        if (!game) return Outcome(s, me);
        const double mine = total[me] + s.Points(me);
        double chance = 1;
        for (int seat = 0; seat < 4; ++seat)
            if (seat != me) chance *= 0.5 * std::erfc((total[seat] + s.Points(seat) + 0.5 - mine) / spread);
        // A game past winning (or won whatever happens) still has its points to play for.
        return chance + kPointsTieBreak * Outcome(s, me);
    }
};
Judge GameJudge(const View& v) {
    Judge j;
    j.game = true;
    for (int seat = 0; seat < 4; ++seat)
        j.total[seat] = v.scores[seat + 1];
    // Difference of two totals over n hands: sqrt(2 n) hand spreads; erfc takes it over sqrt 2.
    j.spread = std::max(0.5, kHandSpread * std::sqrt(2.0 * std::max(0, int(v.handsAfter)))) * std::sqrt(2.0);
    return j;
}

// The counting rule that computer seats bid by, applied to a sampled hand: the guess at the
// bid of a seat that has not bid yet.
int CountingBid(Mask h, int trump, int handSize) {
    int count = 0;
    for (int suit = 0; suit < 4; ++suit)
        count += int((h >> (16 * suit + Ace)) & 1) + int((h >> (16 * suit + King)) & 1);
    count += int((h >> (16 * trump + Queen)) & 1);
    const int trumps = std::popcount(h & SuitBits(trump));
    if (trumps >= 4) count += trumps - 3;
    if (count == 0 && trumps > 0) count = 1;
    if ((count == 1 || count == 2) && handSize >= 8) ++count;
    return count;
}

// The weight of a deal in which a seat's bid is off the count of its hand by 0, 1, 2, 3 or
// more tricks. Halving at each step was the best of those measured against the classic rules;
// much steeper, and too few deals keep any weight.
constexpr double kBidMiss[4] = {1.0, 0.5, 0.25, 0.125};

// Deals the cards unseen from the viewer's seat to the other hands in ways consistent with
// the view: each seat gets as many as it still holds, and none of a suit it has shown out of.
class Dealer {
  public:
    explicit Dealer(const View& v) : me_(v.seat - 1) {
        base_.trump = v.trumps - 1;
        for (const qint8 card : v.hand)
            base_.hand[me_] |= MaskOf(card);
        base_.gone = v.trumpCard >= 1 && v.trumpCard <= 52 ? MaskOf(v.trumpCard) : 0;
        std::array<int, 4> held{};
        held.fill(v.handSize);
        for (const auto& p : v.played) {
            base_.gone |= MaskOf(p.card);
            playedBy_[p.seat - 1] |= MaskOf(p.card);
            --held[p.seat - 1];
        }
        for (int seat = 0; seat < 4; ++seat)
            if (seat != me_ && v.hasBid[seat + 1]) bidders_.push_back(seat);
        handSize_ = v.handSize;
        for (int seat = 0; seat < 4; ++seat) {
            base_.bid[seat] = v.bids[seat + 1];
            base_.tricks[seat] = v.tricks[seat + 1];
        }
        const size_t done = v.played.size() / 4 * 4;
        base_.leader = v.leader - 1;
        base_.tricksLeft = v.handSize - int(done / 4);
        for (size_t i = done; i < v.played.size(); ++i) {
            const int bit = BitOf(v.played[i].card);
            if (base_.count == 0 || base_.Beats(bit, base_.best)) {
                if (base_.count == 0) base_.led = SuitOf(bit);
                base_.best = bit;
                base_.bestSeat = v.played[i].seat - 1;
            }
            ++base_.count;
        }
        const Mask unseen = AllCards & ~(base_.gone | base_.hand[me_]);
        for (int bit = 0; bit < 64; ++bit)
            if (unseen >> bit & 1) unseen_.push_back(bit);
        // The seats with most suits shown out are dealt first: they can take the fewest cards.
        for (int seat = 0; seat < 4; ++seat)
            if (seat != me_) order_.push_back(seat);
        std::ranges::stable_sort(order_, [&v](int a, int b) {
            return std::popcount(v.voids[a + 1]) > std::popcount(v.voids[b + 1]);
        });
        for (int seat = 0; seat < 4; ++seat) {
            need_[seat] = std::max(0, held[seat]);
            allowed_[seat] = AllCards;
            for (int suit = 0; suit < 4; ++suit)
                if (v.voids[seat + 1] >> suit & 1) allowed_[seat] &= ~SuitBits(suit);
        }
    }

    Sim Deal(SeededRandom& rng) {
        Sim s = base_;
        for (int attempt = 0;; ++attempt) {
            for (size_t i = unseen_.size(); i > 1; --i)
                std::swap(unseen_[i - 1], unseen_[rng.Below(int(i))]);
            // Should the shown-out suits leave no deal after many tries (they cannot, for a
            // view taken from a real table), they are ignored rather than loop for ever.
            const bool strict = attempt < 50;
            Mask taken = 0;
            bool ok = true;
            for (const int seat : order_) {
                Mask got = 0;
                int need = need_[seat];
                for (const int bit : unseen_) {
                    if (need == 0) break;
                    const Mask m = Mask(1) << bit;
                    if ((taken & m) || (strict && !(allowed_[seat] & m))) continue;
                    got |= m;
                    --need;
                }
                ok = ok && need == 0;
                taken |= got;
                s.hand[seat] = got;
            }
            if (ok || !strict) return s;
        }
    }

    const Sim& Base() const { return base_; }

    // How well a deal agrees with the bids made: a seat's bid says much about the hand it was
    // dealt, and most bids are near what the counting rule gives. Each seat's bid off the
    // count of its hand in the deal (its cards played put back) makes the deal less likely.
    double Likelihood(const Sim& s) const {
        double weight = 1;
        for (const int seat : bidders_) {
            const int count = CountingBid(s.hand[seat] | playedBy_[seat], s.trump, handSize_);
            weight *= kBidMiss[std::min(std::abs(count - s.bid[seat]), 3)];
        }
        return weight;
    }

  private:
    int me_;
    Sim base_;
    std::vector<int> unseen_;
    std::vector<int> order_;
    std::array<int, 4> need_{};
    std::array<Mask, 4> allowed_{};
    std::array<Mask, 4> playedBy_{};
    std::vector<int> bidders_;
    int handSize_ = 0;
};

// What every seat can tell from the cards played: who led each trick, who took it, and which
// suits a seat has shown out of.
void ReadPlays(View& v, const HandLog& log) {
    v.played = log.plays;
    Sim trick;
    trick.trump = v.trumps - 1;
    trick.tricksLeft = v.handSize;
    trick.leader = v.dealer - 1;
    for (const auto& p : log.plays) {
        if (p.seat < 1 || p.seat > 4 || p.card < 1 || p.card > 52) continue;
        const int bit = BitOf(p.card);
        if (trick.count > 0 && SuitOf(bit) != trick.led) v.voids[p.seat] |= quint8(1 << trick.led);
        trick.Play(bit);
    }
    v.leader = qint8(trick.leader + 1);
    for (int seat = 1; seat <= 4; ++seat)
        v.tricks[seat] = qint16(trick.tricks[seat - 1]);
}

bool IsSeat(int seat) {
    return seat >= 1 && seat <= 4;
}
bool IsCard(int card) {
    return card >= 1 && card <= 52;
}
// A view the look-ahead can work on: one that a table in play gives. Anything else gets the
// plainest answer rather than a deal built on nonsense.
bool Usable(const View& v) {
    if (!IsSeat(v.seat) || !IsSeat(v.dealer) || !IsSeat(v.leader) || v.trumps < 1 || v.trumps > 4 ||
        v.handSize < 1 || v.handSize > 13 || v.hand.empty())
        return false;
    return std::ranges::all_of(v.hand, IsCard) && std::ranges::all_of(v.played, [](const HandLog::Play& p) {
               return IsSeat(p.seat) && IsCard(p.card);
           });
}

View CommonView(const GameState& G, int seat, const HandLog& log) {
    View v;
    v.seat = qint8(seat);
    v.handSize = qint8(G.HandSize);
    v.dealer = qint8(G.Dealer);
    v.trumps = qint8(G.Trumps);
    v.trumpCard = log.trumpCard;
    for (int card = 1; card <= 52; ++card)
        if (G.Cards[card].Holder == seat) v.hand.push_back(qint8(card));
    v.scores = G.GameScore;
    v.handsAfter = qint8(std::clamp(19 - int(G.HandNumber), 0, 19)); // a game is 19 hands
    ReadPlays(v, log);
    return v;
}

} // namespace

View ViewForBid(const GameState& G, int seat, const HandLog& log) {
    View v = CommonView(G, seat, log);
    for (const qint16 s : DealOrder(G.Dealer)) {
        if (s == seat) break;
        v.hasBid[s] = true;
        v.bids[s] = G.Bids[s];
    }
    return v;
}

View ViewForPlay(const GameState& G, int seat, const HandLog& log) {
    View v = CommonView(G, seat, log);
    for (int s = 1; s <= 4; ++s) {
        v.hasBid[s] = true;
        v.bids[s] = G.Bids[s];
    }
    return v;
}

namespace {

// The exact play of a deal seen whole: every seat, at its turn, takes the card best for its own
// outcome. Of two cards next to each other in a suit in one hand, only one need be tried. The
// end it leads to: each seat's outcome, and (bit seat) the seats whose bid is made.
struct End {
    std::array<double, 4> outcome{};
    unsigned made = 0;
};
End Solve(const Sim& s, const Judge& judge) {
    End best;
    if (s.tricksLeft <= 0 || !s.hand[s.Turn()]) {
        for (int seat = 0; seat < 4; ++seat) {
            best.outcome[seat] = judge(s, seat);
            best.made |= unsigned(s.tricks[seat] == s.bid[seat]) << seat;
        }
        return best;
    }
    const int me = s.Turn();
    bool any = false;
    for (Mask m = s.Legal(); m; m &= m - 1) {
        const int bit = Low(m);
        if (m >> (bit + 1) & 1) continue;
        Sim next = s;
        next.Play(bit);
        const End e = Solve(next, judge);
        if (!any || e.outcome[me] > best.outcome[me]) best = e;
        any = true;
    }
    return best;
}

void Finish(Estimate& e, const std::vector<double>& total, const std::vector<double>& made, double weight) {
    const double w = weight > 0 ? weight : 1;
    for (size_t i = 0; i < total.size(); ++i) {
        e.worth.push_back(total[i] / w);
        e.made.push_back(made[i] / w);
    }
    // Ties go to the first choice of the walk, which keeps the choice independent of anything
    // but the totals.
    e.best = size_t(std::ranges::max_element(total) - total.begin());
}

// The card decision of both methods: `samples` deals played out quickly, or, with `solve` and
// few tricks left, `solved` deals played out exactly.
Estimate CardEstimate(const View& view, quint64 seed, int samples, bool solve, int solved,
                      const Judge& judge) {
    Estimate e;
    const int me = view.seat - 1;
    Dealer dealer(view);
    const Sim& base = dealer.Base();
    const Mask follow = base.count ? base.hand[me] & SuitBits(base.led) : 0;
    std::vector<int> legal;
    for (Mask m = follow ? follow : base.hand[me]; m; m &= m - 1) {
        legal.push_back(Low(m));
        e.choices.push_back(qint16(CardOf(Low(m))));
    }
    if (base.Turn() != me || base.tricksLeft <= 0) {
        e.choices.resize(1);
        e.worth = e.made = {0};
        return e;
    }
    const bool exact = solve && base.tricksLeft <= kSolveTricks;
    std::vector<double> total(legal.size()), made(legal.size());
    double weights = 0;
    SeededRandom rng(seed);
    for (int n = 0; n < std::max(1, exact ? solved : samples); ++n) {
        const Sim deal = dealer.Deal(rng);
        const double weight = dealer.Likelihood(deal);
        weights += weight;
        for (size_t i = 0; i < legal.size(); ++i) {
            Sim s = deal;
            s.Play(legal[i]);
            double outcome = 0;
            bool madeIt = false;
            if (exact) {
                const End end = Solve(s, judge);
                outcome = end.outcome[me];
                madeIt = end.made >> me & 1;
            } else {
                PlayOut(s);
                outcome = judge(s, me);
                madeIt = s.tricks[me] == s.bid[me];
            }
            total[i] += weight * outcome;
            made[i] += weight * madeIt;
        }
    }
    Finish(e, total, made, weights);
    return e;
}

Estimate BidEstimate(const View& view, quint64 seed, bool dealerRestricted, int samples, const Judge& judge) {
    Estimate e;
    const int me = view.seat - 1;
    const int size = std::clamp(int(view.handSize), 0, 13);
    // The bids worth weighing: none to every trick, and one above when the dealer's
    // restriction forbids the one it would rather make.
    int forbidden = -1;
    if (dealerRestricted && view.seat == view.dealer) {
        forbidden = size;
        for (int s = 1; s <= 4; ++s)
            if (s != view.seat) forbidden -= view.bids[s];
    }
    for (int b = 0; b <= std::min(13, size + 1); ++b)
        if (b != forbidden) e.choices.push_back(qint16(b));

    // The seats still to bid after this one, in order, the dealer last.
    std::vector<int> later;
    bool after = false;
    for (const qint16 s : DealOrder(view.dealer)) {
        if (after && !view.hasBid[s]) later.push_back(s - 1);
        after = after || s == view.seat;
    }

    Dealer dealer(view);
    std::vector<double> total(e.choices.size()), made(e.choices.size());
    double weights = 0;
    SeededRandom rng(seed);
    for (int n = 0; n < std::max(1, samples); ++n) {
        Sim deal = dealer.Deal(rng);
        deal.leader = view.dealer - 1;
        const double weight = dealer.Likelihood(deal);
        weights += weight;
        for (size_t i = 0; i < e.choices.size(); ++i) {
            Sim s = deal;
            s.bid[me] = e.choices[i];
            int sum = 0;
            for (int seat = 0; seat < 4; ++seat)
                if (seat == me || view.hasBid[seat + 1]) sum += s.bid[seat];
            for (const int seat : later) {
                s.bid[seat] = CountingBid(s.hand[seat], s.trump, size);
                if (seat == view.dealer - 1 && sum + s.bid[seat] == size) ++s.bid[seat];
                sum += s.bid[seat];
            }
            PlayOut(s);
            total[i] += weight * judge(s, me);
            made[i] += weight * (s.tricks[me] == s.bid[me]);
        }
    }
    Finish(e, total, made, weights);
    return e;
}

} // namespace

qint16 ChooseCard(const View& view, quint64 seed, const Effort& effort) {
    if (!Usable(view)) return view.hand.empty() ? 0 : view.hand.front();
    const int me = view.seat - 1;
    const Dealer dealer(view);
    const Sim& base = dealer.Base();
    const Mask follow = base.count ? base.hand[me] & SuitBits(base.led) : 0;
    if (Single(follow ? follow : base.hand[me])) return qint16(CardOf(Low(follow ? follow : base.hand[me])));
    return CardEstimate(view, seed, effort.cardSamples, false, 0, {}).Choice();
}

qint16 ChooseBid(const View& view, quint64 seed, bool dealerRestricted, const Effort& effort) {
    if (!Usable(view)) return 0;
    return BidEstimate(view, seed, dealerRestricted, effort.bidSamples, {}).Choice();
}

Estimate ExpertCard(const View& view, quint64 seed, const Effort& effort) {
    if (!Usable(view)) return {{qint16(view.hand.empty() ? 0 : view.hand.front())}, {0}, {0}};
    return CardEstimate(view, seed, kExpertCard * effort.cardSamples, true, effort.cardSamples / 2,
                        GameJudge(view));
}

Estimate ExpertBid(const View& view, quint64 seed, bool dealerRestricted, const Effort& effort) {
    if (!Usable(view)) return {{0}, {0}, {0}};
    return BidEstimate(view, seed, dealerRestricted, kExpertBid * effort.bidSamples, GameJudge(view));
}

} // namespace Sharp
