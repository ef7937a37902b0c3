#include "Resume.h"

#include "Game.h"

#include "DataFiles.h"
#include "Deal.h"
#include "GameRecord.h"
#include "Opponents.h"
#include "PlayRecord.h"
#include "Rules.h"
#include "SavedGame.h"
#include "Seats.h"
#include "TableView.h"
#include "Tricks.h"

QByteArray SavedGameBytes(Game& game) {
    SavedGame::Snapshot s;
    s.record = game.record;
    s.sharpSeed = game.sharpSeed;
    return SavedGame::Format(s);
}

void SaveGame(Game& game) {
    GameState& G = game.G;
    // Games played without files (the tests' thousands, the benchmark) skip the making too.
    if (!G.GameOn || (!DataFiles::Writing() && !game.onSaved)) return;
    const QByteArray bytes = SavedGameBytes(game);
    SavedGame::Write(bytes);
    if (game.onSaved) game.onSaved(bytes);
}

void DropSavedGame(Game& game) {
    game.carryOnPending = false;
    SavedGame::Remove();
}

std::optional<int> SavedGameHand() {
    const auto s = SavedGame::Read();
    return s ? std::optional<int>(s->state.HandNumber) : std::nullopt;
}

namespace {
// The score sheet and the last trick, as the hands of the record left them: each hand's
// state is the record played up to that hand's end.
GameRecord::Record SheetOf(const PlayRecord::Record& r, const GameState& now) {
    GameRecord::Record sheet;
    size_t end = 0;
    for (size_t h = 0; h < r.deals.size(); ++h) {
        const bool last = h + 1 == r.deals.size();
        end = last ? r.actions.size() : end + size_t(4 + 4 * HandSizeFor(int(h) + 1));
        const auto played = last ? std::variant<GameState, PlayRecord::Refused>(now)
                                 : PlayRecord::Replay(PlayRecord::Prefix(r, end));
        const GameState& g = std::get<GameState>(played);
        GameRecord::Hand row;
        row.number = g.HandNumber;
        row.cards = g.HandSize;
        row.trumps = g.Trumps;
        row.dealer = g.Dealer;
        row.bid = {false, true, true, true, true}; // a save point is past the bidding
        row.bids = g.Bids;
        row.tricks = g.TricksMade;
        row.scored = !last;
        for (int seat = 1; seat <= 4 && row.scored; ++seat)
            row.points[seat] = HandPoints(g.Bids[seat], g.TricksMade[seat]);
        sheet.hands.push_back(row);
        // The last trick taken: its four cards are the last four actions at the hand's end.
        if (g.TrickWinner != 0) {
            sheet.last.seats = {g.TrickSeat1, g.TrickSeat2, g.TrickSeat3, g.TrickSeat4};
            for (size_t i = 0; i < 4; ++i)
                sheet.last.cards[i] = r.actions[end - 4 + i].value;
            sheet.last.winner = g.TrickWinner;
        }
    }
    return sheet;
}

bool Restore(Game& game, const SavedGame::Snapshot& s) {
    GameState& G = game.G;
    GameState g = s.state;
    // The record plays the last trick of a hand through to its points; the game saved it
    // just before, and scores the hand as it carries on.
    if (g.HandOver)
        for (int seat = 1; seat <= 4; ++seat)
            g.GameScore[seat] =
                static_cast<qint16>(g.GameScore[seat] - HandPoints(g.Bids[seat], g.TricksMade[seat]));
    game.record = s.record;
    game.sheet = SheetOf(s.record, g);
    game.sharpSeed = s.sharpSeed;
    const PlayRecord::Deal& deal = s.record.deals.back();
    HandLog& log = game.log;
    log.Start(deal.trumpCard);
    const size_t handActions =
        size_t(4 * g.HandSize - g.CardsLeft[1] - g.CardsLeft[2] - g.CardsLeft[3] - g.CardsLeft[4]);
    for (size_t a = s.record.actions.size() - handActions; a < s.record.actions.size(); ++a)
        log.Add(s.record.actions[a].seat, s.record.actions[a].value);

    G.GameOn = true;
    G.Dealer = g.Dealer;
    for (const auto& fields : {SavedGame::HandFields, SavedGame::TrickFields})
        for (auto f : fields)
            G.*f = g.*f;
    for (auto f : SavedGame::SeatFields)
        G.*f = g.*f;
    G.SuitCount = {};
    G.HandOver = g.HandOver;
    G.ContinueFlag = false;
    // Nobody is to play until the game carries on (as in play, where the turn's mark went with
    // the trick's fourth card and comes back with the next lead).
    G.Turn = 0;
    for (int c = 1; c <= 52; ++c)
        G.Cards[c].Holder = g.Cards[c].Holder;
    // The table as the deal left it, then each card played taken off it as play did.
    LayOutHand(game);
    TableView& v = View();

    static const char* const suits[] = {"Diamonds", "Clubs", "Hearts", "Spades"};
    v.ClearInfo();
    for (int seat = 1; seat <= 4; ++seat) {
        v.SetCaption(Caption::SeatName, seat,
                     seat == 1 ? G.PlayerName : QString::fromLatin1(Seats::Table[seat].table));
        // The board shows names until the first hand is scored, then the totals.
        v.SetCaption(Caption::Score, seat,
                     G.HandNumber > 1 ? ScoreLine(G, seat, G.GameScore[seat])
                     : seat == 1      ? G.PlayerName
                                      : QString::fromLatin1(Seats::Table[seat].board));
        v.SetCaption(Caption::HandScore, seat, QStringLiteral("0"));
        ShowBidLabel(game, seat);
    }
    v.SetCaption(Caption::Rounds, 0, QStringLiteral("A %1 card Hand.").arg(G.HandSize));
    v.SetCaption(Caption::Trumps, 0, QStringLiteral("Trumps:- ") + QString::fromLatin1(suits[G.Trumps - 1]));
    v.EnablePlayMenu(true);
    v.Follow();
    game.carryOnPending = true;
    return true;
}
} // namespace

bool RestoreSavedGame(Game& game) {
    const auto s = SavedGame::Read();
    return s && Restore(game, *s);
}

bool RestoreSavedGame(Game& game, const QByteArray& bytes) {
    const auto s = SavedGame::Parse(bytes);
    return s && Restore(game, *s);
}

bool CarryOnPending(Game& game) {
    return game.carryOnPending;
}

void CarryOnSavedGame(Game& game) {
    GameState& G = game.G;
    game.carryOnPending = false;
    // The step that followed the save point (StartHand after the bidding, TrickWon after
    // Carry On).
    if (G.HandOver)
        EndOfHand(game);
    else if (G.TrickWinner == 0)
        LeadTrick(game, G.Dealer, " Click card you wish to play.");
    else
        LeadTrick(game, G.TrickWinner, " please click on card you wish to play.");
}
