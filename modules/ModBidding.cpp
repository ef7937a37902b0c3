#include "ModBidding.h"

#include "FrmBid.h"
#include "ModPlayGame.h"
#include "ModVariables.h"

#include <QApplication>

void ComputerBid(int seat) {
    G.PauseMs = 750;
    G.Bids[seat] = ComputeComputerBid(seat);
    ShowBidLabel(seat);
    ShowInfo(G.PlayerNames[seat] + QStringLiteral(" bid %1").arg(G.Bids[seat]));
    QApplication::beep();
    Pause();
    Pause();
    G.PauseMs = 150;
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
