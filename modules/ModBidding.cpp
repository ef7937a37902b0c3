#include "ModBidding.h"

#include "FrmBid.h"
#include "ModPlayGame.h"
#include "ModVariables.h"
#include "Pacing.h"

#include <QApplication>

void ComputerBid(int seat) {
    G.PauseMs = Pacing::ComputerBid;
    G.Bids[seat] = ComputeComputerBid(seat);
    ShowBidLabel(seat);
    ShowInfo(G.PlayerNames[seat] + QStringLiteral(" bid %1").arg(G.Bids[seat]));
    QApplication::beep();
    Pause();
    Pause();
    G.PauseMs = Pacing::Standard;
}

void BiddingSequence() {
    for (qint16 seat : DealOrder(G.Dealer)) {
        if (seat == 1) {
            ShowInfo(G.PlayerName + QStringLiteral(" please make your bid above"));
            ShowBidDialog();
        } else {
            ComputerBid(seat);
        }
    }
}
