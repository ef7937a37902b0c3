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
void RunAside(std::function<Sharp::Estimate()> decide, std::function<void(const Sharp::Estimate&)> use) {
    Table& t = TableForm();
    if (t.HintRunning) return;
    const auto moment = [] {
        return std::tuple(G.HandNumber, G.CardsLeft[1], G.Turn, Opponents::Log().plays.size());
    };
    auto answer = std::make_shared<Sharp::Estimate>();
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
    RunAside(Opponents::HintCard(), [](const Sharp::Estimate& e) {
        const std::vector<size_t> order = Opponents::HintOrder(e);
        const qint16 card = order.empty() ? 0 : e.choices[order.front()];
        if (card < 1 || card > 52 || G.Cards[card].Holder != 1) return;
        Table& t = TableForm();
        ShowFocusMark();
        t.CardsPic[card]->setFocus(Qt::OtherFocusReason);
        t.ShowInfo(Opponents::CardHintText(e));
    });
}

void FillBidHint() {
    if (!BidForm().isVisible()) return;
    RunAside(Opponents::HintBid(), [](const Sharp::Estimate& e) {
        FrmBid& dialog = BidForm();
        if (!dialog.isVisible()) return;
        TableForm().ShowInfo(Opponents::BidHintText(e));
        dialog.TxtBid->setText(QString::number(e.Choice()));
        dialog.TxtBid->setFocus();
    });
}
