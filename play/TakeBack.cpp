#include "TakeBack.h"

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

struct Moment {
    GameState state;
    GameRecord::Record record;
    HandLog log;
    PlayRecord::Record play;
    std::optional<QByteArray> saved; // Game.dat as it stood
};

// The marks of the hand in play, the moment now asked last.
std::vector<Moment>& Marks() {
    static std::vector<Moment> marks;
    return marks;
}

const QString SavedFile = QStringLiteral("Game.dat");

void Restore(const Moment& m) {
    // The names, the statistics and the pacing are the program's, not the moment's.
    const GameState now = G;
    G = m.state;
    G.PlayerName = now.PlayerName;
    G.PlayerNames = now.PlayerNames;
    G.GamesWon = now.GamesWon;
    G.PauseMs = now.PauseMs;
    G.PauseStart = now.PauseStart;
    G.HintsUsed = now.HintsUsed;
    G.TakeBacksUsed = static_cast<qint16>(std::min(32767, now.TakeBacksUsed + 1));
    GameRecord::Current() = m.record;
    Opponents::Log() = m.log;
    PlayRecord::Current() = m.play;
    if (DataFiles::Writing()) {
        if (m.saved)
            SavedGame::Write(*m.saved);
        else
            SavedGame::Remove();
    }

    // The table drawn from the game as it stood, as a saved game is drawn.
    LayOutHand();
    TableView& v = View();
    const GameRecord::Hand& hand = GameRecord::Current().hands.back();
    for (int seat = 1; seat <= 4; ++seat) {
        v.SetCaption(Caption::Bid, seat, QString());
        if (hand.bid[size_t(seat)]) ShowBidLabel(seat);
    }
    v.Follow();
}

} // namespace

void Mark() {
    Moment m;
    m.state = G;
    m.record = GameRecord::Current();
    m.log = Opponents::Log();
    m.play = PlayRecord::Current();
    if (DataFiles::Writing()) m.saved = DataFiles::ReadFile(SavedFile, SavedGame::MaxBytes);
    Marks().push_back(std::move(m));
}

void Forget() {
    Marks().clear();
}

bool Possible() {
    const auto& marks = Marks();
    // The last mark is the moment now, unless a game has been carried on since.
    return G.GameOn && G.Turn == 1 && !G.HandOver && marks.size() >= 2 &&
           marks.back().play == PlayRecord::Current();
}

bool Undo() {
    if (!Possible()) return false;
    auto& marks = Marks();
    marks.pop_back(); // the card asked for now
    const Moment back = std::move(marks.back());
    marks.pop_back(); // marked again as it is asked again
    Restore(back);
    ShowInfo(G.PlayerName + QStringLiteral(" took back the last move."));
    if (G.Turn == 1) {
        Mark();
        ShowInfo(G.PlayerName + QStringLiteral(" please click on card you wish to play."));
        View().HandTakesFocus();
        return true;
    }
    BidAndLead(1);
    return true;
}

} // namespace TakeBack
