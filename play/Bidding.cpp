#include "Bidding.h"

#include "Follow.h"
#include "Opponents.h"
#include "Pacing.h"
#include "PlayRecord.h"
#include "TableView.h"
#include "TakeBack.h"
#include "Tricks.h"

#include <algorithm>

void ComputerBid(int seat) {
    PauseLength pause(Pacing::ComputerBid);
    G.Bids[seat] = Opponents::BidFor(seat);
    ShowBidLabel(seat);
    ShowInfo(G.PlayerNames[seat] + QStringLiteral(" bid %1").arg(G.Bids[seat]));
    View().Beep();
    Pause();
    Pause();
}

void BiddingSequence(int firstBidder) {
    const auto order = DealOrder(G.Dealer);
    const auto from = std::find(order.begin(), order.end(), firstBidder);
    for (auto it = from == order.end() ? order.begin() : from; it != order.end(); ++it) {
        const qint16 seat = *it;
        Note(GameRecord::Bidding, seat);
        if (seat == 1) {
            TakeBack::Mark();
            ShowInfo(G.PlayerName + QStringLiteral(" please make your bid above"));
            G.Bids[1] = View().AskBid();
            ShowBidLabel(1);
        } else {
            ComputerBid(seat);
        }
        PlayRecord::BidMade(seat);
        Note(GameRecord::BidMade, seat);
    }
    Note(GameRecord::Bidding, 0);
}
