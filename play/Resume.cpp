#include "Resume.h"

#include "DataFiles.h"
#include "Deal.h"
#include "Opponents.h"
#include "Rules.h"
#include "SavedGame.h"
#include "Seats.h"
#include "TableView.h"
#include "Tricks.h"

#include <algorithm>
#include <numeric>

std::function<void(const QByteArray&)> OnGameSaved;

namespace {
bool pending = false;
} // namespace

QByteArray SavedGameBytes() {
    SavedGame::Snapshot s;
    s.state = G;
    const TableView& v = View();
    for (int c = 1; c <= 52; ++c) {
        const Layout::Spot at = v.CardPlace(c);
        s.pictures[c] = {qint16(v.ImageOf(c)), at.left, at.top, v.CardShown(c)};
    }
    s.record = GameRecord::Current();
    s.log = Opponents::Log();
    s.sharpSeed = Opponents::SeedNow();
    s.deal = DealState();
    return SavedGame::Format(s);
}

void SaveGame() {
    // Games played without files (the tests' thousands, the benchmark) skip the making too.
    if (!G.GameOn || (!DataFiles::Writing() && !OnGameSaved)) return;
    const QByteArray bytes = SavedGameBytes();
    SavedGame::Write(bytes);
    if (OnGameSaved) OnGameSaved(bytes);
}

void DropSavedGame() {
    pending = false;
    SavedGame::Remove();
}

std::optional<int> SavedGameHand() {
    const auto s = SavedGame::Read();
    return s ? std::optional<int>(s->state.HandNumber) : std::nullopt;
}

namespace {
bool Restore(const SavedGame::Snapshot& s) {
    if (!SetDealState(s.deal)) return false;
    const GameState& g = s.state;
    G.GameOn = true;
    for (const auto& fields : {SavedGame::HandFields, SavedGame::TrickFields})
        for (auto f : fields)
            G.*f = g.*f;
    for (auto f : SavedGame::NextFields)
        G.*f = g.*f;
    for (auto f : SavedGame::SeatFields)
        G.*f = g.*f;
    G.HandOver = g.HandOver;
    G.ContinueFlag = g.ContinueFlag;
    GameRecord::Current() = s.record;
    Opponents::Log() = s.log;
    Opponents::Seed(s.sharpSeed);

    // The cards where they lay, each pile stacked in the order it was laid: the pack from its
    // first card, a hand along its row or down its column.
    TableView& v = View();
    std::array<int, 52> order{};
    std::iota(order.begin(), order.end(), 1);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const auto key = [&](int c) {
            const quint8 h = g.Cards[c].Holder;
            const SavedGame::Picture& p = s.pictures[c];
            return std::pair{p.shown ? 1 + h : 0, h == Holders::Pack ? 0 : p.left + p.top};
        };
        return key(a) < key(b);
    });
    for (int c : order) {
        const SavedGame::Picture& p = s.pictures[c];
        G.Cards[c].Holder = g.Cards[c].Holder;
        v.SetCardImage(c, p.image);
        v.MoveCard(c, {p.left, p.top});
        v.ShowCard(c, p.shown);
        v.CardToFront(c);
    }
    // The trump card lies on top of the corner pack.
    for (int c = 1; c <= 52; ++c)
        if (s.pictures[c].image == c && g.Cards[c].Holder == Holders::Pack && s.pictures[c].shown)
            v.CardToFront(c);

    static const char* const suits[] = {"Diamonds", "Clubs", "Hearts", "Spades"};
    v.ClearInfo();
    for (int seat = 1; seat <= 4; ++seat) {
        v.SetCaption(Caption::SeatName, seat,
                     seat == 1 ? G.PlayerName : QString::fromLatin1(Seats::Table[seat].table));
        // The board shows names until the first hand is scored, then the totals.
        v.SetCaption(Caption::Score, seat,
                     G.HandNumber > 1 ? ScoreLine(seat, G.GameScore[seat])
                     : seat == 1      ? G.PlayerName
                                      : QString::fromLatin1(Seats::Table[seat].board));
        v.SetCaption(Caption::HandScore, seat, QStringLiteral("0"));
        v.SetCaption(Caption::Bid, seat, QString());
        if (s.record.hands.back().bid[seat]) ShowBidLabel(seat);
    }
    v.SetCaption(Caption::Rounds, 0, QStringLiteral("A %1 card Hand.").arg(G.HandSize));
    v.SetCaption(Caption::Trumps, 0, QStringLiteral("Trumps:- ") + QString::fromLatin1(suits[G.Trumps - 1]));
    v.EnablePlayMenu(true);
    v.Follow();
    pending = true;
    return true;
}
} // namespace

bool RestoreSavedGame() {
    const auto s = SavedGame::Read();
    return s && Restore(*s);
}

bool RestoreSavedGame(const QByteArray& bytes) {
    const auto s = SavedGame::Parse(bytes);
    return s && Restore(*s);
}

bool CarryOnPending() {
    return pending;
}

void CarryOnSavedGame() {
    pending = false;
    // The step that followed the save point (StartHand after the bidding, TrickWon after
    // Carry On).
    if (G.HandOver)
        EndOfHand();
    else if (G.TrickWinner == 0)
        LeadTrick(G.Dealer, " Click card you wish to play.");
    else
        LeadTrick(G.TrickWinner, " please click on card you wish to play.");
}
