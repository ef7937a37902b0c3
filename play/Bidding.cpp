#include "Bidding.h"

#include "Game.h"

#include "Follow.h"
#include "Opponents.h"
#include "Pacing.h"
#include "PlayRecord.h"
#include "TableView.h"
#include "TakeBack.h"
#include "Tricks.h"

#include <algorithm>

void ComputerBid(Game& game, int seat) {
    GameState& G = game.G;
    PauseLength pause(G, Pacing::ComputerBid);
    G.Bids[seat] = Opponents::BidFor(game, seat);
    ShowBidLabel(game, seat);
    ShowInfo(G.PlayerNames[seat] + QStringLiteral(" bid %1").arg(G.Bids[seat]));
    View().Beep();
    Pause(G);
    Pause(G);
}

void BiddingSequence(Game& game, int firstBidder) {
    GameState& G = game.G;
    const auto order = DealOrder(G.Dealer);
    const auto from = std::find(order.begin(), order.end(), firstBidder);
    for (auto it = from == order.end() ? order.begin() : from; it != order.end(); ++it) {
        const qint16 seat = *it;
        Note(game, GameRecord::Bidding, seat);
        if (seat == 1) {
            TakeBack::Mark(game);
            ShowInfo(G.PlayerName + QStringLiteral(" please make your bid above"));
            G.Bids[1] = View().AskBid();
            ShowBidLabel(game, 1);
        } else {
            ComputerBid(game, seat);
        }
        PlayRecord::BidMade(game, seat);
        Note(game, GameRecord::BidMade, seat);
    }
    Note(game, GameRecord::Bidding, 0);
}
