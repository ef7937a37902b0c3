#include "TakeBack.h"

#include "Game.h"

#include "DataFiles.h"
#include "Deal.h"
#include "GameRecord.h"
#include "Opponents.h"
#include "PlayRecord.h"
#include "SavedGame.h"
#include "TableView.h"
#include "Tricks.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace TakeBack {
namespace {

const QString SavedFile = QStringLiteral("Game.dat");

void Restore(Game& game, const Game::Moment& moment) {
    GameState& G = game.G;
    const Game& m = *moment.game;
    // The game's fields, its records and the hand's log as they stood; the names, the
    // statistics and the pacing are the program's, not the moment's, and the opponents' methods
    // and seeds and the deal's generator are as they are now (nothing draws from the generator
    // within a hand).
    const GameState now = G;
    G = m.G;
    G.PlayerName = now.PlayerName;
    G.PlayerNames = now.PlayerNames;
    G.GamesWon = now.GamesWon;
    G.PauseMs = now.PauseMs;
    G.PauseStart = now.PauseStart;
    G.HintsUsed = now.HintsUsed;
    G.TakeBacksUsed = static_cast<qint16>(std::min(32767, now.TakeBacksUsed + 1));
    game.sheet = m.sheet;
    game.log = m.log;
    game.record = m.record;
    if (DataFiles::Writing()) {
        if (moment.saved)
            SavedGame::Write(*moment.saved);
        else
            SavedGame::Remove();
    }

    // The table drawn from the game as it stood, as a saved game is drawn.
    LayOutHand(game);
    TableView& v = View();
    const GameRecord::Hand& hand = game.sheet.hands.back();
    for (int seat = 1; seat <= 4; ++seat) {
        v.SetCaption(Caption::Bid, seat, QString());
        if (hand.bid[size_t(seat)]) ShowBidLabel(game, seat);
    }
    v.Follow();
}

} // namespace

void Mark(Game& game) {
    Game::Moment m;
    // The earlier marks are the game's own and need no copy in each one.
    auto marks = std::move(game.takeBack);
    game.takeBack.clear();
    m.game = std::make_shared<const Game>(game);
    game.takeBack = std::move(marks);
    if (DataFiles::Writing()) m.saved = DataFiles::ReadFile(SavedFile, SavedGame::MaxBytes);
    game.takeBack.push_back(std::move(m));
}

void Forget(Game& game) {
    game.takeBack.clear();
}

bool Possible(Game& game) {
    GameState& G = game.G;
    const auto& marks = game.takeBack;
    // The last mark is the moment now, unless a game has been carried on since.
    return G.GameOn && G.Turn == 1 && !G.HandOver && marks.size() >= 2 &&
           marks.back().game->record == game.record;
}

bool Undo(Game& game) {
    GameState& G = game.G;
    if (!Possible(game)) return false;
    auto& marks = game.takeBack;
    marks.pop_back(); // the card asked for now
    const Game::Moment back = std::move(marks.back());
    marks.pop_back(); // marked again as it is asked again
    Restore(game, back);
    ShowInfo(G.PlayerName + QStringLiteral(" took back the last move."));
    if (G.Turn == 1) {
        Mark(game);
        ShowInfo(G.PlayerName + QStringLiteral(" please click on card you wish to play."));
        View().HandTakesFocus();
        return true;
    }
    BidAndLead(game, 1);
    return true;
}

} // namespace TakeBack
