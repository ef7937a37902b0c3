#include "Hint.h"

#include "FrmBid.h"
#include "Opponents.h"
#include "Table.h"
#include "Waits.h"

#include <QApplication>
#include <QLineEdit>
#include <thread>

namespace {
// Runs the look-ahead on a thread of its own (it takes milliseconds) and hands the answer to
// `use` on the window's thread, unless the game has moved on meanwhile: the hint is for the
// moment it was asked at, and for no other.
void RunAside(std::function<qint16()> decide, std::function<void(qint16)> use) {
    const auto moment = [] {
        return std::tuple(G.HandNumber, G.CardsLeft[1], G.Turn, Opponents::Log().plays.size());
    };
    std::thread([decide = std::move(decide), use = std::move(use), asked = moment(), moment] {
        const qint16 answer = decide();
        QMetaObject::invokeMethod(
            qApp,
            [use, answer, asked, moment] {
                if (moment() == asked && !Waits::Exiting()) use(answer);
            },
            Qt::QueuedConnection);
    }).detach();
}
} // namespace

void ShowCardHint() {
    if (!TableExists() || !G.GameOn || G.Turn != 1 || QApplication::activeModalWidget()) return;
    RunAside(Opponents::HintCard(), [](qint16 card) {
        if (card < 1 || card > 52 || G.Cards[card].Holder != 1) return;
        Table& t = TableForm();
        ShowFocusMark();
        t.CardsPic[card]->setFocus(Qt::OtherFocusReason);
        t.ShowInfo(QStringLiteral("Hint: the ") + G.Cards[card].FullName);
    });
}

void FillBidHint() {
    if (!BidForm().isVisible()) return;
    RunAside(Opponents::HintBid(), [](qint16 bid) {
        FrmBid& dialog = BidForm();
        if (!dialog.isVisible()) return;
        dialog.TxtBid->setText(QString::number(bid));
        dialog.TxtBid->setFocus();
    });
}
