// The order of a hand follows the table's: the deal from the dealer's left, the trump card
// from the rest of the pack, the bids from the dealer's left round to the dealer, and the
// dealer leading the first trick.
#include "QuickGame.h"

#include "GameState.h"
#include "Rules.h"
#include "SeededRandom.h"

#include <QElapsedTimer>

namespace QuickGame {
namespace {

qint16 DrawFromPack(SeededRandom& rng) {
    std::vector<qint16> pack;
    for (qint16 card = 1; card <= 52; ++card)
        if (G.Cards[card].Holder == 0) pack.push_back(card);
    return pack[size_t(rng.Below(int(pack.size())))];
}

void StartHand(SeededRandom& rng, HandLog& log) {
    ++G.HandNumber;
    G.HandSize = HandSizeFor(G.HandNumber);
    if (G.HandNumber > 1) G.Dealer = NextSeat(G.Dealer);
    for (int card = 1; card <= 52; ++card)
        G.Cards[card].Holder = 0;
    for (int seat = 1; seat <= 4; ++seat) {
        G.Bids[seat] = G.TricksMade[seat] = 0;
        G.CardsLeft[seat] = G.HandSize;
    }
    G.TrickCard1 = G.TrickCard2 = G.TrickCard3 = G.TrickCard4 = -1;
    for (int round = 0; round < G.HandSize; ++round)
        for (const qint16 seat : DealOrder(G.Dealer))
            G.Cards[DrawFromPack(rng)].Holder = quint8(seat);
    const qint16 trump = DrawFromPack(rng);
    G.Trumps = G.LedSuit = CardSuit(trump);
    log.Start(trump);
}

double Ms(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// The first card in card-number order that the seat may play: what replaces a choice against
// the rules, so that a faulty player cannot stop the game.
qint16 AnyLegal(int seat) {
    for (qint16 card = 1; card <= 52; ++card)
        if (IsLegalPlay(seat, card)) return card;
    return 0;
}

} // namespace

Result Play(const Setup& setup) {
    Result result;
    ResetGameState();
    MakeCards();
    SeededRandom rng(setup.seed);
    HandLog log;
    G.GameOn = true;
    G.Dealer = qint16(1 + rng.Below(4));
    QElapsedTimer timer;

    for (int hand = 1; hand <= 19; ++hand) {
        StartHand(rng, log);
        for (const qint16 seat : DealOrder(G.Dealer)) {
            if (!setup.sharp[seat]) {
                G.Bids[seat] = ComputeComputerBid(seat);
                continue;
            }
            const quint64 seed = SeededRandom::Mix(setup.seed, hand, seat, 99);
            if (setup.beforeSharp) setup.beforeSharp(seat, true, log, seed);
            timer.start();
            const qint16 bid = Sharp::ChooseBid(Sharp::ViewForBid(seat, log), seed, true, setup.effort);
            if (setup.timeDecisions) (hand == 1 ? result.firstBidMs : result.bidMs).push_back(Ms(timer));
            int total = bid;
            for (int other = 1; other <= 4; ++other)
                if (other != seat) total += G.Bids[other];
            if (bid < 0 || bid > 13 || (seat == G.Dealer && total == G.HandSize)) ++result.illegal;
            G.Bids[seat] = bid;
        }

        G.TrickSeat1 = G.Dealer;
        SetTrickOrder();
        for (int trick = 0; trick < G.HandSize; ++trick) {
            qint16* const places[] = {&G.TrickCard1, &G.TrickCard2, &G.TrickCard3, &G.TrickCard4};
            const qint16 seats[] = {G.TrickSeat1, G.TrickSeat2, G.TrickSeat3, G.TrickSeat4};
            for (int k = 0; k < 4; ++k) {
                const qint16 seat = G.Turn = seats[k];
                qint16 card = 0;
                if (setup.sharp[seat]) {
                    const quint64 seed = SeededRandom::Mix(setup.seed, hand, seat, log.plays.size());
                    if (setup.beforeSharp) setup.beforeSharp(seat, false, log, seed);
                    timer.start();
                    card = Sharp::ChooseCard(Sharp::ViewForPlay(seat, log), seed, setup.effort);
                    if (setup.timeDecisions)
                        (hand == 1 ? result.firstCardMs : result.cardMs).push_back(Ms(timer));
                } else {
                    card = ChooseComputerCard(seat);
                }
                if (!IsLegalPlay(seat, card)) {
                    ++result.illegal;
                    card = AnyLegal(seat);
                }
                --G.CardsLeft[seat];
                G.Cards[card].Holder = 5;
                if (k == 0) G.LedSuit = CardSuit(card);
                *places[k] = card;
                log.Add(seat, card);
            }
            const qint16 winning = WinnerOfTrick();
            int winner = 0;
            for (int k = 0; k < 4; ++k) {
                if (*places[k] == winning) winner = seats[k];
                G.Cards[*places[k]].Holder = 0;
                *places[k] = 0;
            }
            ++G.TricksMade[winner];
            G.TrickSeat1 = qint16(winner);
            SetTrickOrder();
        }

        for (int seat = 1; seat <= 4; ++seat) {
            G.GameScore[seat] = qint16(G.GameScore[seat] + HandPoints(G.Bids[seat], G.TricksMade[seat]));
            result.exact[seat] += G.Bids[seat] == G.TricksMade[seat];
        }
    }
    G.GameOn = false;
    result.score = G.GameScore;
    result.winner = GameWinner();
    return result;
}

} // namespace QuickGame
