// The hint: what the expert method makes of the player's choices now, shown and never played.
#include "FrmBid.h"
#include "Game.h"
#include "Opponents.h"
#include "Table.h"
#include "TableAccess.h"
#include "Waits.h"

#include <QApplication>
#include <QLineEdit>
#include <memory>

// Runs the look-ahead on one of the table's threads (it takes milliseconds) and hands the
// answer to `use` on the window's thread, unless the game has moved on meanwhile: the hint is
// for the moment it was asked at, and for no other. A hint asked while one is being worked
// out is not asked again.
void Table::RunHint(std::function<Sharp::Estimate()> decide,
                    std::function<void(const Sharp::Estimate&)> use) {
    if (HintRunning) return;
    const auto moment = [this] {
        return std::tuple(G.HandNumber, G.CardsLeft[1], G.Turn, game.log.plays.size());
    };
    auto answer = std::make_shared<Sharp::Estimate>();
    HintRunning = true;
    Jobs.Run([decide = std::move(decide), answer] { *answer = decide(); }, this,
             [this, use = std::move(use), answer, asked = moment(), moment] {
                 HintRunning = false;
                 if (moment() != asked || Waits::Exiting()) return;
                 if (G.HintsUsed < 32767) ++G.HintsUsed;
                 use(*answer);
             });
}

void Table::ShowCardHint() {
    if (!G.GameOn || G.Turn != 1 || QApplication::activeModalWidget()) return;
    RunHint(Opponents::HintCard(game), [this](const Sharp::Estimate& e) {
        const std::vector<size_t> order = Opponents::HintOrder(e);
        const qint16 card = order.empty() ? 0 : e.choices[order.front()];
        if (card < 1 || card > 52 || G.Cards[card].Holder != 1) return;
        Keys().Use(true);
        CardsPic[card]->setFocus(Qt::OtherFocusReason);
        ShowInfo(Opponents::CardHintText(game, e));
    });
}

void Table::FillBidHint() {
    if (!BidForm().isVisible()) return;
    RunHint(Opponents::HintBid(game), [this](const Sharp::Estimate& e) {
        FrmBid& dialog = BidForm();
        if (!dialog.isVisible()) return;
        ShowInfo(Opponents::BidHintText(e));
        dialog.TxtBid->setText(QString::number(e.Choice()));
        dialog.TxtBid->setFocus();
    });
}
