#include "Hint.h"

#include "FrmBid.h"
#include "Opponents.h"
#include "Table.h"
#include "TableAccess.h"
#include "Waits.h"

#include <QApplication>
#include <QLineEdit>
#include <memory>

namespace {
// Runs the look-ahead on one of the table's threads (it takes milliseconds) and hands the
// answer to `use` on the window's thread, unless the game has moved on meanwhile: the hint is
// for the moment it was asked at, and for no other. A hint asked while one is being worked
// out is not asked again.
void RunAside(std::function<qint16()> decide, std::function<void(qint16)> use) {
    Table& t = TableForm();
    if (t.HintRunning) return;
    const auto moment = [] {
        return std::tuple(G.HandNumber, G.CardsLeft[1], G.Turn, Opponents::Log().plays.size());
    };
    auto answer = std::make_shared<qint16>(0);
    t.HintRunning = true;
    t.Jobs.Run([decide = std::move(decide), answer] { *answer = decide(); }, &t,
               [&t, use = std::move(use), answer, asked = moment(), moment] {
                   t.HintRunning = false;
                   if (moment() != asked || Waits::Exiting()) return;
                   if (G.HintsUsed < 32767) ++G.HintsUsed;
                   use(*answer);
               });
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
        Announce(dialog.TxtBid, QStringLiteral("Hint: bid %1").arg(bid)); // the box is already focused
    });
}
