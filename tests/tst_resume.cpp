// A saved game is the same game: seeded whole games are saved at every save point, each save
// is put back into a fresh state and played on, and the table it draws must be the table the
// game had, and the rest of the game (every card of every trick, every bid and score, every
// later save) what the unbroken game had, given the same later deals. The record of the hands
// (the score sheet) must say what the table showed, hand by hand. A saved game the rules
// refuse, or damaged in any way, is no game; one damaged and still a game plays to its end.
#include "CoreTestSupport.h"
#include "DataFiles.h"
#include "Deal.h"
#include "Follow.h"
#include "HeadlessView.h"
#include "Opponents.h"
#include "PlayRecord.h"
#include "Resume.h"
#include "Rules.h"
#include "SavedGame.h"
#include "TakeBack.h"

#include <QTemporaryDir>
#include <map>
#include <random>

namespace {

// Logs the game as it goes: each trick's cards and winner, each hand's bids, tricks and scores;
// checks the record of the hands against the scores the table was given; and keeps the table
// as it would be seen: the cards showing, their faces, places and stacking, and the captions.
class LoggingView : public HeadlessView {
  public:
    LoggingView() : HeadlessView(game) {}
    explicit LoggingView(Player player) : HeadlessView(game, std::move(player)) {}
    QStringList log;
    QString broken;
    QMap<std::pair<Caption, int>, QString> captions;
    QList<int> stack; // the cards from the bottom up

    void SetCaption(Caption which, int seat, const QString& text) override { captions[{which, seat}] = text; }
    void CardToFront(int card) override { stack.removeAll(card), stack << card; }
    // The cards showing in their stacking order, and the captions.
    QStringList Table() const {
        QStringList out;
        for (int c : stack)
            if (CardShown(c))
                out << QString::asprintf("%d@%d,%d", ImageOf(c), CardPlace(c).left, CardPlace(c).top);
        out << captions.values(); // by caption and seat
        return out;
    }
    void WaitCarryOn() override {
        log << QString::asprintf("trick %d %d %d %d won by %d", G.TrickCard1, G.TrickCard2, G.TrickCard3,
                                 G.TrickCard4, G.TrickWinner);
        HeadlessView::WaitCarryOn();
    }
    int MsgDeluxe(const QString& m, const QString& b1, const QString& b2, const QString& b3, qint16 icon,
                  const QString& title) override {
        if (title == QLatin1String("Hand Over")) HandOver();
        return HeadlessView::MsgDeluxe(m, b1, b2, b3, icon, title);
    }

  private:
    void HandOver() {
        const auto& hands = game.sheet.hands;
        QString line = QStringLiteral("hand %1:").arg(G.HandNumber);
        int running[5] = {};
        for (const GameRecord::Hand& h : hands)
            for (int s = 1; s <= 4; ++s)
                running[s] += h.points[s];
        const GameRecord::Hand& h = hands.back();
        if (int(hands.size()) != G.HandNumber || !h.scored) broken = QStringLiteral("no row for the hand");
        for (int s = 1; s <= 4; ++s) {
            line += QStringLiteral(" %1/%2=%3").arg(G.Bids[s]).arg(G.TricksMade[s]).arg(G.GameScore[s]);
            if (!h.bid[s] || h.bids[s] != G.Bids[s] || h.tricks[s] != G.TricksMade[s] ||
                captions[{Caption::HandScore, s}] != QString::number(h.points[s]) ||
                captions[{Caption::Score, s}] != ScoreLine(G, s, qint16(running[s])))
                broken = QStringLiteral("the sheet and the table differ at hand ") + line;
        }
        log << line;
    }
};

struct Save {
    QByteArray bytes;
    qsizetype logAt;
    std::mt19937 deals; // the deal generator as it was: the later hands' deals
    QStringList table;
};

// Every save of the game of a seed, with the game's log.
std::vector<Save> SavesOf(std::uint32_t seed, LoggingView&& whole = {}) {
    ResetGameState();
    SeedDeal(game, seed);
    std::vector<Save> saves;
    game.onSaved = [&](const QByteArray& b) {
        saves.push_back({b, (whole.log << QString::fromLatin1(b)).size(), game.deal, whole.Table()});
    };
    whole.PlayGame();
    game.onSaved = nullptr;
    return saves;
}

using Lines = QList<QByteArray>;

// A line with its field i (0 the key) set to `to`.
void Set(QByteArray& line, int i, const QByteArray& to) {
    Lines f = line.split(' ');
    f[i] = to;
    line = f.join(' ');
}

} // namespace

class TestResume : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

  private slots:
    void initTestCase() {
        DataFiles::SetDataDirOverride(dir_.path());
        DataFiles::SetWriting(false);
        game.sharpSeed = 29; // the same saves in every run
    }

    // The first two games with the sharp opponents, whose look-ahead reads the cards played and
    // its seed: both must come back with the game.
    void resumedGameIsTheSameGame() {
        game.effort = Sharp::Effort{20, 20};
        for (std::uint32_t seed : {5u, 6u, 1u, 2u, 3u, 4u}) {
            for (int s = 2; s <= 4; ++s)
                Opponents::SetLevel(game, s, seed > 4 ? Sharp::Level::Sharp : Sharp::Level::Classic);
            LoggingView whole;
            const std::vector<Save> saves = SavesOf(seed, std::move(whole)); // bound, not moved
            QVERIFY2(whole.broken.isEmpty(), qPrintable(whole.broken));
            QVERIFY(saves.size() > 19 * 2 && whole.log.size() > 19 && game.sheet.hands.size() == 19);

            for (size_t k = 0; k < saves.size(); ++k) {
                ResetGameState();
                LoggingView resumed;
                game.onSaved = [&](const QByteArray& b) { resumed.log << QString::fromLatin1(b); };
                QStringList table; // as the restored game draws it
                QVERIFY(resumed.PlayGame([&] {
                    if (!RestoreSavedGame(game, saves[k].bytes)) return;
                    table = resumed.Table();
                    game.deal = saves[k].deals;
                    CarryOnSavedGame(game);
                }));
                QVERIFY2(resumed.broken.isEmpty(), qPrintable(resumed.broken));
                QCOMPARE(table, saves[k].table);
                QCOMPARE(resumed.log,
                         whole.log.mid(saves[k].logAt)); // every later trick, bid, score and save
            }
        }
        game.onSaved = nullptr;
    }

    // Take Back after a card, after a bid and twice running, in games with a sharp seat: the table
    // as it was at the decision, the same cards played again, the game must end exactly as the
    // unbroken one did. It is refused while
    // the player bids and while a trick waits, and never reaches back past the hand's first bid.
    void takeBackBuysNoNewLuck() {
        game.effort = Sharp::Effort{20, 20};
        Opponents::SetLevel(game, 3, Sharp::Level::Sharp);
        for (std::uint32_t seed : {7u, 8u}) {
            game.sharpSeed = seed;
            ResetGameState();
            SeedDeal(game, seed);
            QVERIFY(HeadlessView(game).PlayGame());
            const PlayRecord::Record whole = game.record;
            const auto scores = G.GameScore;
            ResetGameState();
            SeedDeal(game, seed);
            int turns = 0, undone = 0, asked = 0, refused = 0, farBack = 0, redrawn = 0;
            const auto refuse = [&] { ++asked, refused += !TakeBack::Undo(game); };
            // The table at each decision must be the table it was when first asked.
            std::map<size_t, QStringList> tables;
            const LoggingView* shown = nullptr;
            const auto same = [&] {
                const QStringList now = shown->Table();
                redrawn += tables.try_emplace(game.record.actions.size(), now).first->second != now;
            };
            HeadlessView::Player player;
            player.bid = [&] {
                refuse(), same();
                return Opponents::BidFor(game, 1);
            };
            player.card = [&] {
                const int back = ++turns % 5 == 1 ? 1 : turns % 7 == 3 ? 2 : turns % 11 == 0 ? 30 : 0;
                const int hand = G.HandNumber;
                same();
                for (int i = 0; i < back; ++i)
                    undone += TakeBack::Undo(game), same();
                if (back == 30) farBack += G.HandNumber == hand && G.CardsLeft[1] == G.HandSize ? 1 : -99;
                return Opponents::CardFor(game, 1);
            };
            struct Watching : LoggingView {
                using LoggingView::LoggingView;
                std::function<void()> carryOn;
                void WaitCarryOn() override { carryOn(), HeadlessView::WaitCarryOn(); }
            } view(player);
            shown = &view;
            view.carryOn = refuse;
            QVERIFY(view.PlayGame());
            QVERIFY(game.record == whole);
            QCOMPARE(G.GameScore, scores);
            QVERIFY(farBack > 5 && undone > 40 && asked == refused && refused > 190 &&
                    G.TakeBacksUsed == undone && tables.size() > 19 && redrawn == 0);
            QVERIFY(std::holds_alternative<GameState>(PlayRecord::Replay(whole)));
        }
        Opponents::SetLevel(game, 3, Sharp::Level::Classic);
    }

    // What the rules refuse is no game: each case damages a save of the third hand (of eight
    // cards) after two tricks, whose deal is line L, its bids L+1.., its cards L+5... And
    // Game.dat is read by the data files' rules: bounded, a regular file.
    void refusedSaves() {
        const QByteArray save = SavesOf(7)[11 + 10 + 2].bytes; // hands 1 and 2 have 11 and 10 saves
        const Lines lines = save.split('\n');
        const qsizetype L = save.left(save.lastIndexOf("\ndeal")).count('\n') + 1;
        const auto field = [&](qsizetype line, int i) { return lines[line].split(' ')[i]; };
        const std::pair<const char*, std::function<void(Lines&)>> cases[] = {
            {"as it was", [](Lines&) {}},
            {"a computer bids 13 of 8", [&](Lines& l) { Set(l[L + 1 + (field(L + 1, 1) == "1")], 2, "13"); }},
            {"a card played twice", [&](Lines& l) { Set(l[L + 9], 2, field(L + 5, 2)); }},
            {"the trump card played", [&](Lines& l) { Set(l[L + 5], 2, field(L, 2)); }},
            {"dealer out of turn", [&](Lines& l) { Set(l[L], 1, field(L, 1) == "1" ? "3" : "1"); }},
            {"hand size out of order", [&](Lines& l) { l[L].truncate(l[L].lastIndexOf(' ')); }},
            {"a card out of turn", [&](Lines& l) { l.swapItemsAt(L + 5, L + 6); }},
            {"a bid out of turn", [&](Lines& l) { l.swapItemsAt(L + 1, L + 2); }},
            {"cut mid-trick", [&](Lines& l) { l.removeAt(L + 12); }},
            {"an action after the hand", [&](Lines& l) { l.insert(l.size() - 2, "bid 1 0"); }},
            {"version 2 (the table's pictures, its totals)", [](Lines& l) { l[1] = "version 2"; }}};
        for (const auto& [name, change] : cases) {
            Lines l = lines;
            change(l);
            const auto s = SavedGame::Parse(l.join('\n'));
            QVERIFY2(bool(s) == (name == cases[0].first) && (!s || s->state.HandNumber == 3), name);
        }
        DataFiles::SetWriting(true);
        const QString path = dir_.filePath("Game.dat");
        QVERIFY(SavedGame::Write(save) && SavedGame::Read() && SavedGameHand() == 3);
        SavedGame::Remove();
        QVERIFY(!QFile::exists(path) && !SavedGame::Read());
        TestSupport::WriteBytes(path, save + QByteArray(SavedGame::MaxBytes, ' '));
        QVERIFY(!SavedGame::Read() && QFile::remove(path) && QDir().mkdir(path) && !SavedGame::Read());
        QDir().rmdir(path);
        DataFiles::SetWriting(false);
    }

    // Saves of whole games damaged at random: byte flips, cuts, a number set to a hostile value,
    // lines swapped or repeated. None may crash, and every one still a game plays to its end
    // as a game the rules accept, from the file's record on.
    void damagedSaves() {
        const std::vector<Save> saves = SavesOf(21);
        std::mt19937 rnd(29);
        const auto any = [&](qsizetype n) { return qsizetype(rnd() % quint32(std::max<qsizetype>(n, 1))); };
        const QByteArray hostile[] = {"-1", "0", "1", "4", "13", "14", "52", "53", "99999999999", "x", ""};
        int damaged = 0, accepted = 0;
        for (int i = 0; damaged < 10000; ++i) {
            const QByteArray& from = saves[size_t(any(qsizetype(saves.size())))].bytes;
            QByteArray b = from;
            Lines l = b.split('\n');
            const qsizetype at = any(l.size() - 1), to = any(l.size() - 1), kind = i % 5;
            if (kind == 0) b[any(b.size())] ^= char(1 << any(8));
            if (kind == 1) b.truncate(any(b.size()));
            if (kind == 2) Set(l[at], int(any(l[at].count(' ') + 1)), hostile[any(std::size(hostile))]);
            if (kind == 3) l.swapItemsAt(at, to);
            if (kind == 4) l.insert(to, l[at]);
            b = kind < 2 ? b : l.join('\n');
            if (b == from) continue;
            ++damaged;
            const auto s = SavedGame::Parse(b);
            if (!s) continue;
            ++accepted;
            ResetGameState();
            QVERIFY(HeadlessView(game).PlayGame(
                [&] { RestoreSavedGame(game, b) ? CarryOnSavedGame(game) : void(); }));
            const auto replayed = PlayRecord::Replay(game.record);
            const auto* g = std::get_if<GameState>(&replayed);
            QVERIFY2(g && g->HandNumber == 19 && g->GameScore == G.GameScore &&
                         std::equal(s->record.actions.begin(), s->record.actions.end(),
                                    game.record.actions.begin()),
                     b.constData());
            // and any earlier point of it is a game to take back to
            const auto back = PlayRecord::Prefix(game.record, size_t(i % 600));
            QVERIFY(std::holds_alternative<GameState>(PlayRecord::Replay(back, true)));
        }
        QVERIFY(accepted > 0 && accepted < damaged);
        qInfo("saves: %d damaged, %d accepted, all consistent", damaged, accepted);
    }
};

QTEST_GUILESS_MAIN(TestResume)
#include "tst_resume.moc"
