// A saved game is the same game: seeded whole games are saved at every save point, each save
// is put back into a fresh state and played on, and the rest of the game (every card of every
// trick, every bid and score, every later save) must be what the unbroken game had. The
// record of the hands (the score sheet) must say what the table showed, hand by hand. And a
// saved game that is damaged in any way is never taken for a game.
#include "CoreTestSupport.h"
#include "DataFiles.h"
#include "Deal.h"
#include "HeadlessView.h"
#include "Opponents.h"
#include "Resume.h"
#include "Rules.h"
#include "SavedGame.h"

#include <QTemporaryDir>

namespace {

// Logs the game as it goes: each trick's cards and winner, each hand's bids, tricks and scores;
// and checks the record of the hands against the scores the table was given.
class LoggingView : public HeadlessView {
  public:
    QStringList log;
    QString broken;
    std::array<QString, 5> handScore, score;

    void SetCaption(Caption which, int seat, const QString& text) override {
        if (which == Caption::HandScore) handScore[seat] = text;
        if (which == Caption::Score) score[seat] = text;
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
};

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
                Opponents::SetLevel(s, seed > 4 ? Sharp::Level::Sharp : Sharp::Level::Classic);
            ResetGameState();
            SeedDeal(seed);
            LoggingView whole;
            std::vector<Save> saves;
            OnGameSaved = [&](const QByteArray& b) { saves.push_back({b, whole.log.size()}); };
            QVERIFY(whole.PlayGame());
            QVERIFY2(whole.broken.isEmpty(), qPrintable(whole.broken));
            QVERIFY(saves.size() > 19 * 2 && whole.log.size() > 19);
            QCOMPARE(GameRecord::Current().hands.size(), size_t(19));

            for (size_t k = 0; k < saves.size(); ++k) {
                ResetGameState();
                SeedDeal(seed + 1000); // the saved generator, not this one, must deal
                LoggingView resumed;
                std::vector<QByteArray> later;
                OnGameSaved = [&](const QByteArray& b) { later.push_back(b); };
                bool restored = false;
                QVERIFY(resumed.PlayGame([&] {
                    restored = RestoreSavedGame(saves[k].bytes);
                    if (restored) CarryOnSavedGame();
                }));
                const QString at = QStringLiteral("seed %1, save %2").arg(seed).arg(k);
                QVERIFY2(restored && resumed.broken.isEmpty(), qPrintable(at + resumed.broken));
                QVERIFY2(resumed.log == whole.log.mid(saves[k].logAt), qPrintable(at));
                QCOMPARE(later.size(), saves.size() - k - 1);
                for (size_t j = 0; j < later.size(); ++j)
                    QVERIFY2(later[j] == saves[k + 1 + j].bytes, qPrintable(at));
            }
        }
        OnGameSaved = nullptr;
        for (int s = 2; s <= 4; ++s)
            Opponents::SetLevel(s, Sharp::Level::Classic);
    }

    // Any file cut short, any line changed, is no game; so is anything that is not a file.
    void damagedSavesAreNoGame() {
        ResetGameState();
        SeedDeal(7);
        QByteArray save;
        OnGameSaved = [&](const QByteArray& b) {
            if (G.HandNumber == 5 && save.isEmpty() && G.TrickWinner) save = b;
        };
        HeadlessView().PlayGame();
        OnGameSaved = nullptr;
        QVERIFY(SavedGame::Parse(save));
        const QList<QByteArray> lines = save.split('\n');
        for (qsizetype cut = 0; cut + 1 < save.size(); cut += 97)
            QVERIFY2(!SavedGame::Parse(save.left(cut)), qPrintable(QString::number(cut)));
        // Each line with its last number out of its range, or not a number, one at a time (the
        // places of the next cards, the seeds and the generator's words may be any number).
        for (qsizetype i = 0; i + 1 < lines.size(); ++i) {
            const bool free =
                lines[i].startsWith("next") || lines[i].startsWith("deal") || lines[i].startsWith("sharp");
            for (const QByteArray& to :
                 {QByteArray(free ? "x" : " 99"), QByteArray(free ? "x" : " -1"), QByteArray("x")}) {
                QList<QByteArray> bad = lines;
                const qsizetype space = bad[i].lastIndexOf(' ');
                bad[i] = space < 0 ? bad[i] + to : bad[i].left(space) + to;
                if (bad[i] == lines[i]) continue;
                QVERIFY2(!SavedGame::Parse(bad.join('\n')), qPrintable(lines[i] + " -> " + bad[i]));
            }
        }
        // The generator's words are 32 bits: a wider one is no game, and the deal is not drawn
        // beyond the pack (it was, and crashed at the next hand).
        for (QByteArray word : {QByteArray("99999999999"), QByteArray("4294967296"), QByteArray("625")}) {
            QList<QByteArray> bad = lines;
            for (QByteArray& l : bad)
                if (l.startsWith("deal ")) {
                    QList<QByteArray> w = l.split(' ');
                    w[word == "625" ? w.size() - 1 : 50] = word;
                    l = w.join(' ');
                }
            QVERIFY2(!SavedGame::Parse(bad.join('\n')) && !RestoreSavedGame(bad.join('\n')),
                     word.constData());
        }
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
