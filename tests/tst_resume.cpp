// A saved game is the same game: seeded whole games are saved at every save point, each save
// is put back into a fresh state and played on, and the table it draws must be the table the
// game had, and the rest of the game (every card of every trick, every bid and score, every
// later save) what the unbroken game had, given the same later deals. The record of the hands
// (the score sheet) must say what the table showed, hand by hand. A saved game the rules
// refuse, or damaged in any way, is no game; one damaged and still a game plays to its end.
#include "CoreTestSupport.h"
#include "DataFiles.h"
#include "Deal.h"
#include "GameRecord.h"
#include "HeadlessView.h"
#include "Opponents.h"
#include "PlayRecord.h"
#include "Resume.h"
#include "Rules.h"
#include "SavedGame.h"

#include <QTemporaryDir>
#include <map>
#include <random>

namespace {

// Logs the game as it goes: each trick's cards and winner, each hand's bids, tricks and scores;
// checks the record of the hands against the scores the table was given; and keeps the table
// as it would be seen: the cards showing, their faces, places and stacking, and the captions.
class LoggingView : public HeadlessView {
  public:
    QStringList log;
    QString broken;
    std::array<QString, 5> handScore, score;
    std::map<std::pair<Caption, int>, QString> captions;
    std::array<int, 53> z{};
    int front = 0;

    void SetCaption(Caption which, int seat, const QString& text) override {
        if (which == Caption::HandScore) handScore[seat] = text;
        if (which == Caption::Score) score[seat] = text;
        captions[{which, seat}] = text;
    }
    void CardToFront(int card) override { z[card] = ++front; }
    QStringList Table() const {
        std::vector<std::pair<int, int>> shown;
        for (int c = 1; c <= 52; ++c)
            if (CardShown(c)) shown.push_back({z[c], c});
        std::sort(shown.begin(), shown.end());
        QStringList out;
        for (auto [_, c] : shown)
            out << QStringLiteral("%1@%2,%3").arg(ImageOf(c)).arg(CardPlace(c).left).arg(CardPlace(c).top);
        for (const auto& [key, text] : captions)
            out << QStringLiteral("%1.%2 %3").arg(int(key.first)).arg(key.second).arg(text);
        return out;
    }
    void WaitCarryOn() override {
        log << QStringLiteral("trick %1 %2 %3 %4 won by %5")
                   .arg(G.TrickCard1)
                   .arg(G.TrickCard2)
                   .arg(G.TrickCard3)
                   .arg(G.TrickCard4)
                   .arg(G.TrickWinner);
        HeadlessView::WaitCarryOn();
    }
    int MsgDeluxe(const QString& m, const QString& b1, const QString& b2, const QString& b3, qint16 icon,
                  const QString& title) override {
        if (title == QLatin1String("Hand Over")) HandOver();
        return HeadlessView::MsgDeluxe(m, b1, b2, b3, icon, title);
    }

  private:
    void HandOver() {
        const auto& hands = GameRecord::Current().hands;
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
                handScore[s] != QString::number(h.points[s]) || score[s] != ScoreLine(s, qint16(running[s])))
                broken = QStringLiteral("hand %1 seat %2: the sheet says %3/%4 %5, the table %6, %7")
                             .arg(G.HandNumber)
                             .arg(s)
                             .arg(h.bids[s])
                             .arg(h.tricks[s])
                             .arg(running[s])
                             .arg(handScore[s], score[s]);
        }
        log << line;
    }
};

struct Save {
    QByteArray bytes;
    qsizetype logAt;
    std::string deals; // the deal generator as it was: the later hands' deals
    QStringList table;
};

// Every save of the game of a seed, with the game's log.
std::vector<Save> SavesOf(std::uint32_t seed, LoggingView& whole) {
    ResetGameState();
    SeedDeal(seed);
    std::vector<Save> saves;
    OnGameSaved = [&](const QByteArray& b) {
        saves.push_back({b, whole.log.size(), DealState(), whole.Table()});
    };
    whole.PlayGame();
    OnGameSaved = nullptr;
    return saves;
}

} // namespace

class TestResume : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

  private slots:
    void initTestCase() {
        DataFiles::SetDataDirOverride(dir_.path());
        DataFiles::SetWriting(false);
    }

    // The last two games with the sharp opponents, whose look-ahead reads the cards played and
    // its seed: both must come back with the game.
    void resumedGameIsTheSameGame() {
        Opponents::SetEffort({20, 20});
        for (std::uint32_t seed = 1; seed <= 6; ++seed) {
            for (int s = 2; s <= 4; ++s)
                Opponents::SetSharp(s, seed > 4);
            LoggingView whole;
            const std::vector<Save> saves = SavesOf(seed, whole);
            QVERIFY2(whole.broken.isEmpty(), qPrintable(whole.broken));
            QVERIFY(saves.size() > 19 * 2 && whole.log.size() > 19);
            QCOMPARE(GameRecord::Current().hands.size(), size_t(19));

            for (size_t k = 0; k < saves.size(); ++k) {
                ResetGameState();
                SeedDeal(seed + 1000);
                LoggingView resumed;
                std::vector<QByteArray> later;
                OnGameSaved = [&](const QByteArray& b) { later.push_back(b); };
                bool restored = false;
                QStringList table;
                QVERIFY(resumed.PlayGame([&] {
                    restored = RestoreSavedGame(saves[k].bytes);
                    table = resumed.Table();
                    SetDealState(saves[k].deals);
                    if (restored) CarryOnSavedGame();
                }));
                const QString at = QStringLiteral("seed %1, save %2").arg(seed).arg(k);
                QVERIFY2(restored && resumed.broken.isEmpty(), qPrintable(at + resumed.broken));
                QCOMPARE(table, saves[k].table);
                QVERIFY2(resumed.log == whole.log.mid(saves[k].logAt), qPrintable(at));
                QCOMPARE(later.size(), saves.size() - k - 1);
                for (size_t j = 0; j < later.size(); ++j)
                    QVERIFY2(later[j] == saves[k + 1 + j].bytes, qPrintable(at));
            }
        }
        OnGameSaved = nullptr;
        for (int s = 2; s <= 4; ++s)
            Opponents::SetSharp(s, false);
    }

    // What the rules refuse is no game: each case damages a save of the third hand (of eight
    // cards) after two tricks, whose deal is line L, its bids L+1.., its cards L+5...
    void refusedSaves() {
        LoggingView whole;
        QByteArray save;
        for (const Save& s : SavesOf(7, whole))
            if (s.bytes.count("\ndeal") == 3 && s.bytes.count("\ncard") == 40 + 36 + 8) save = s.bytes;
        const QList<QByteArray> lines = save.split('\n');
        qsizetype L = 0;
        while (!lines[L].startsWith("deal") || lines.indexOf(lines[L]) != lines.lastIndexOf(lines[L]) ||
               lines.mid(L + 1).join().contains("deal"))
            ++L;
        using Lines = QList<QByteArray>;
        const auto field = [&](qsizetype line, int i) { return lines[line].split(' ')[i]; };
        const auto set = [](QByteArray& line, int i, const QByteArray& to) {
            QList<QByteArray> f = line.split(' ');
            f[i] = to;
            line = f.join(' ');
        };
        const std::pair<const char*, std::function<void(Lines&)>> cases[] = {
            {"as it was", [](Lines&) {}},
            {"a computer's bid of 13 in an 8-card hand",
             [&](Lines& l) { set(l[field(L + 1, 1) == "1" ? L + 2 : L + 1], 2, "13"); }},
            {"a card played twice", [&](Lines& l) { set(l[L + 9], 2, field(L + 5, 2)); }},
            {"the trump card played", [&](Lines& l) { set(l[L + 5], 2, field(L, 2)); }},
            {"dealer out of turn",
             [&](Lines& l) { set(l[L], 1, QByteArray::number(field(L, 1).toInt() % 4 + 1)); }},
            {"hand size out of order", [&](Lines& l) { l[L].truncate(l[L].lastIndexOf(' ')); }},
            {"a card out of turn", [&](Lines& l) { l.swapItemsAt(L + 5, L + 6); }},
            {"a bid out of turn", [&](Lines& l) { l.swapItemsAt(L + 1, L + 2); }},
            {"cut mid-trick", [&](Lines& l) { l.removeAt(L + 12); }},
            {"an action after the hand", [&](Lines& l) { l.insert(l.size() - 2, "bid 1 0"); }},
            {"a card beyond the pack", [&](Lines& l) { set(l[L + 5], 2, "53"); }},
            {"version 2 (the table's pictures, its totals)", [](Lines& l) { l[1] = "version 2"; }},
            {"the generator's words",
             [](Lines& l) { l.insert(3, "deal" + QByteArray(" 4294967295").repeated(625)); }},
            {"too long", [](Lines& l) { l.last() = QByteArray(SavedGame::MaxBytes, ' '); }}};
        for (const auto& [name, change] : cases) {
            Lines l = lines;
            change(l);
            const auto s = SavedGame::Parse(l.join('\n'));
            QVERIFY2(bool(s) == (name == cases[0].first), name);
            if (s) QCOMPARE(s->state.HandNumber, 3);
        }
    }

    // Saves of whole games damaged at random: byte flips, cuts, a number set to a hostile value,
    // lines swapped or repeated. None may crash, and every one still a game plays to its end
    // as a game the rules accept, from the file's record on.
    void damagedSaves() {
        std::vector<QByteArray> saves;
        for (std::uint32_t seed : {21u, 22u}) {
            LoggingView whole;
            for (const Save& s : SavesOf(seed, whole))
                saves.push_back(s.bytes);
        }
        std::mt19937 rnd(29);
        const auto any = [&](qsizetype n) { return qsizetype(rnd() % quint32(std::max<qsizetype>(n, 1))); };
        const QByteArray hostile[] = {"-1", "0", "1", "4", "13", "14", "52", "53", "99999999999", "x", ""};
        int damaged = 0, accepted = 0;
        for (int i = 0; damaged < 10000; ++i) {
            const QByteArray& from = saves[size_t(any(qsizetype(saves.size())))];
            QByteArray b = from;
            QList<QByteArray> l = b.split('\n');
            const qsizetype at = any(l.size() - 1), to = any(l.size() - 1);
            switch (i % 5) {
            case 0:
                b[any(b.size())] = char(b[any(b.size())] ^ (1 << any(8)));
                break;
            case 1:
                b.truncate(any(b.size()));
                break;
            case 2: {
                QList<QByteArray> f = l[at].split(' ');
                f[any(f.size())] = hostile[any(std::size(hostile))];
                l[at] = f.join(' ');
                b = l.join('\n');
                break;
            }
            case 3:
                l.swapItemsAt(at, to), b = l.join('\n');
                break;
            default:
                l.insert(to, l[at]), b = l.join('\n');
            }
            if (b == from) continue;
            ++damaged;
            const auto s = SavedGame::Parse(b);
            if (!s) continue;
            ++accepted;
            ResetGameState();
            HeadlessView view;
            bool restored = false;
            QVERIFY(view.PlayGame([&] {
                if ((restored = RestoreSavedGame(b))) CarryOnSavedGame();
            }));
            const PlayRecord::Record& r = PlayRecord::Current();
            const auto replayed = PlayRecord::Replay(r);
            const auto* g = std::get_if<GameState>(&replayed);
            QVERIFY2(restored && g && g->HandNumber == 19 && g->GameScore == G.GameScore &&
                         std::equal(s->record.actions.begin(), s->record.actions.end(), r.actions.begin()),
                     b.constData());
        }
        QVERIFY(accepted > 0 && accepted < damaged);
        qInfo("saves: %d damaged, %d accepted, all consistent", damaged, accepted);
    }

    // Game.dat by the data files' rules: bounded, a regular file.
    void savedGameFile() {
        LoggingView whole;
        const QByteArray save = SavesOf(8, whole)[40].bytes;
        DataFiles::SetWriting(true);
        const QString path = dir_.filePath("Game.dat");
        QVERIFY(SavedGame::Write(save) && SavedGame::Read() && SavedGameHand() == 5);
        SavedGame::Remove();
        QVERIFY(!QFile::exists(path) && !SavedGame::Read());
        TestSupport::WriteBytes(path, save + QByteArray(SavedGame::MaxBytes, ' '));
        QVERIFY(!SavedGame::Read());
        QFile::remove(path);
        QVERIFY(QDir().mkdir(path) && !SavedGame::Read());
        QDir().rmdir(path);
        DataFiles::SetWriting(false);
    }
};

QTEST_GUILESS_MAIN(TestResume)
#include "tst_resume.moc"
