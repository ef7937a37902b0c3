#include "HeadlessView.h"

#include "Game.h"

#include "Deal.h"
#include "Opponents.h"
#include "Seats.h"
#include "Tricks.h"

HeadlessView::HeadlessView(Game& game, Player player) : game_(game), player_(std::move(player)) {
    if (!player_.bid) player_.bid = [this] { return Opponents::BidFor(game_, 1); };
    if (!player_.card) player_.card = [this] { return Opponents::CardFor(game_, 1); };
}

void HeadlessView::SetCardImage(int card, int image) {
    cards_.at(card).image = image;
}

void HeadlessView::MoveCard(int card, Layout::Spot at) {
    cards_.at(card).at = at;
}

void HeadlessView::ShowCard(int card, bool shown) {
    cards_.at(card).shown = shown;
}

qint16 HeadlessView::AskBid() {
    return player_.bid();
}

int HeadlessView::MsgDeluxe(const QString&, const QString&, const QString& button2, const QString& button3,
                            qint16, const QString&) {
    return !button3.isEmpty() ? 2 : !button2.isEmpty() ? 1 : 0;
}

bool HeadlessView::PlayGame(const std::function<void()>& start) {
    Game& game = game_;
    GameState& G = game.G;
    TableView* view = CurrentView();
    Decider* decider = CurrentDecider();
    Program* program = CurrentProgram();
    SetView(this), SetDecider(this), SetProgram(this);
    exited_ = false;
    if (!start) G.GameOn = false;
    if (G.Cards[1].FullName.isEmpty()) MakeCards(G);
    if (G.PlayerName.isEmpty()) G.PlayerName = QStringLiteral("Player");
    G.PlayerNames[1] = G.PlayerName;
    for (int s = 2; s <= 4; ++s)
        G.PlayerNames[s] = QString::fromLatin1(Seats::Table[s].messages);
    bool legal = true;
    start ? start() : StartHand(game);
    // Each time the chain stops it is the player's turn, as after a deal in the window; the
    // card chosen is played as a click would play it.
    while (!exited_ && legal && G.Turn == 1) {
        const qint16 card = player_.card();
        legal = IsLegalPlay(G, 1, card);
        if (!legal) break;
        G.Turn = 0;
        PlayCard(game, 1, card);
    }
    SetView(view), SetDecider(decider), SetProgram(program);
    return legal && exited_;
}
