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
#include <numeric>
#include <optional>
#include <vector>

namespace TakeBack {
namespace {

// A card as the table showed it: its picture, its place and whether it was face up.
struct Picture {
    qint16 image = 0;
    qint32 left = 0, top = 0;
    bool shown = false;
};

struct Moment {
    GameState state;
    std::array<Picture, 53> pictures{};
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

    // The cards where they lay, each pile stacked in the order it was laid, the trick on top.
    TableView& v = View();
    std::array<int, 52> order{};
    std::iota(order.begin(), order.end(), 1);
    const auto key = [&](int c) {
        const quint8 h = G.Cards[size_t(c)].Holder;
        const Picture& p = m.pictures[size_t(c)];
        return std::pair{p.shown ? 1 + h : 0, h == Holders::Pack ? 0 : p.left + p.top};
    };
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return key(a) < key(b); });
    for (int c : order) {
        const Picture& p = m.pictures[size_t(c)];
        v.SetCardImage(c, p.image);
        v.MoveCard(c, {p.left, p.top});
        v.ShowCard(c, p.shown);
        v.CardToFront(c);
    }
    for (int c = 1; c <= 52; ++c) // the trump card on top of the corner pack
        if (m.pictures[size_t(c)].image == c && G.Cards[size_t(c)].Holder == Holders::Pack &&
            m.pictures[size_t(c)].shown)
            v.CardToFront(c);
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
    const TableView& v = View();
    for (int c = 1; c <= 52; ++c) {
        const Layout::Spot at = v.CardPlace(c);
        m.pictures[size_t(c)] = {qint16(v.ImageOf(c)), at.left, at.top, v.CardShown(c)};
    }
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
