// The two data files: the bytes written, every way an old or damaged file is read, where the
// files are read from, and what happens when a write fails.
#include "CoreTestSupport.h"
#include "DataFiles.h"
#include "GameState.h"
#include "History.h"

#include <QTemporaryDir>
#include <csignal>
#include <sys/resource.h>

using namespace TestSupport;
using namespace DataFiles;
using Counts = std::array<qint16, 5>;

namespace {

// clang-format off
// name, file bytes, the name read (nullopt: no usable name)
const std::tuple<const char*, QByteArray, std::optional<QString>> kNames[] = {
    {"comma, blanks in quotes", "\"  Smith, Ann  \"\n", "  Smith, Ann  "}, {"empty quotes", "\"\"\r\n", ""},
    {"blanks before quotes, rest ignored", "   \"Ann\",\"Bob\"\r\n\"Eve\"\r\n", "Ann"},
    {"unquoted with comma", "Ann, Smith\r\n", "Ann"}, {"no closing quote", "\"Ann\r\n", "Ann"},
    {"Latin-1 from an old file", "\"Zo\xeb\"\r\n", QString::fromUtf8("Zoë")},
    {"empty file", "", std::nullopt}, {"only blanks", "    \r\n", std::nullopt},
    {"control characters dropped", QByteArray("\"A\0n\tn\x1b\"\r\n", 10), "Ann"},
    {"cut at a whole character", "\"" + QByteArray("\xF0\x9F\x98\x80").repeated(40) + "\"",
     QString::fromUtf8("\xF0\x9F\x98\x80").repeated(32)}};

// name, file bytes, the four counts read
const std::tuple<const char*, QByteArray, Counts> kScores[] = {
    {"empty", "", {}}, {"short", "4,2\r\n", {0, 4, 2, 0, 0}}, {"bad fields", "x,3,,7\r\n", {0, 0, 3, 0, 7}},
    {"trailing junk, negative", "2,3x,-4,5\r\n", {0, 2, 0, 0, 5}},
    {"held at the top", "40000,32767,32768,99999999999999999999999\r\n", {0, 32767, 32767, 32767, 32767}},
    {"extra fields, second line", "1,2,3,4,5\r\n9,9,9,9\r\n", {0, 1, 2, 3, 4}},
    {"not text", QByteArray("\x00\xff\xfe,\x01", 5), {}}};
// clang-format on

} // namespace

class TestDataFiles : public QObject {
    Q_OBJECT
    QTemporaryDir dir_, programDir_;

    QString PathOf(const QString& name) const { return dir_.filePath(name); }
    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

  private slots:
    // A written history reads back; bad lines are skipped; the summary counts wins, draws, runs.
    void history() {
        auto game = [](std::array<int, 4> sc, int opponents) {
            History::Game g;
            g.when = 1700000000;
            g.opponents = opponents;
            g.scores = sc;
            g.exactHands = {1, 19};
            g.totals = {{1, 2, 3, 4}, sc};
            return g;
        };
        const QList<History::Game> games{game({50, 40, 30, 20}, 0), game({50, 40, 30, 20}, 2),
                                         game({10, 40, 30, 20}, 1), game({40, 40, 30, 20}, 0),
                                         game({60, 10, 0, 0}, 0)};
        QByteArray bytes = History::Format(games);
        bytes.insert(bytes.indexOf('\n') + 1, "junk;;\n\x01\xff;1;1\n1;3;0;0;0;1,2,3,4;;\n");
        const auto back = History::Parse(bytes);
        QCOMPARE(back.size(), 5);
        QCOMPARE(History::Format(back), History::Format(games));
        const auto s = History::Summarise(back);
        QCOMPARE(std::tuple(s.played, s.won, s.drawn, s.longestRun, s.bestScore), std::tuple(5, 3, 1, 2, 60));
        QCOMPARE(std::tuple(s.wonAgainst, s.playedAgainst[1], s.handsExact),
                 std::tuple(std::array{2, 0, 1}, 1, 10));
        QVERIFY(History::Parse(QByteArray(100, '\0')).isEmpty());
        QVERIFY(History::Append(games.at(0)) && History::Append(games.at(4)));
        QCOMPARE(History::Load().size(), 2);
        QCOMPARE(History::Load().at(1).scores, games.at(4).scores);
        QVERIFY(History::Clear() && History::Load().isEmpty());
    }
    void init() {
        EmptyDir(dir_.path());
        EmptyDir(programDir_.path());
        SetDataDirOverride(dir_.path());
    }

    void parseName_data() { Rows(kNames); }
    void parseName() { QCOMPARE(ParseName(std::get<1>(Row(kNames))), std::get<2>(Row(kNames))); }

    void parseScores_data() { Rows(kScores); }
    void parseScores() { QCOMPARE(ParseScores(std::get<1>(Row(kScores))), std::get<2>(Row(kScores))); }

    // Missing files: "Player" and four zeros, whatever was in memory, and reading writes nothing.
    // Saving replaces the whole file atomically, leaving no temporary file behind; what is written
    // is read back unchanged (tst_table's changeName: names with commas, blanks or nothing).
    void missingFilesAndSaving() {
        G.GamesWon = {0, 9, 9, 9, 9};
        LoadStatistics(G);
        QCOMPARE(G.GamesWon, Counts{});
        QCOMPARE(LoadName(), QString("Player"));
        QVERIFY(Files().isEmpty());
        QVERIFY(SaveName("Zoe Lee") && SaveName("Al") && SaveStatistics(G));
        QCOMPARE(LoadName(), QString("Al"));
        QCOMPARE(Files(), (QStringList{"Name.dat", "Scores.dat"}));
        QCOMPARE(FormatName(QString::fromUtf8("Zoë")), QByteArray("\"Zo\xc3\xab\"\r\n"));
    }

    // The first time a per-user directory is used, the copies beside the program are read; once
    // it holds its own files, those win, and nothing is ever written beside the program.
    void firstUseReadsTheProgramDirectoryCopies() {
        SetDataDirOverride(dir_.path(), programDir_.path());
        WriteBytes(programDir_.filePath("Name.dat"), "\"Old\"\r\n");
        WriteBytes(programDir_.filePath("Scores.dat"), "1,2,3,4\r\n");
        QCOMPARE(LoadName(), QString("Old"));
        LoadStatistics(G);
        QCOMPARE(G.GamesWon, (Counts{0, 1, 2, 3, 4}));
        G.GamesWon[1] = 5;
        QVERIFY(SaveName("New") && SaveStatistics(G));
        QCOMPARE(LoadName(), QString("New"));
        QCOMPARE(ReadBytes(programDir_.filePath("Name.dat")) + ReadBytes(programDir_.filePath("Scores.dat")),
                 "\"Old\"\r\n1,2,3,4\r\n");
        QCOMPARE(ReadBytes(PathOf("Name.dat")) + ReadBytes(PathOf("Scores.dat")), "\"New\"\r\n5,2,3,4\r\n");
    }

    // A link in a file's place is replaced by the file, never written through: what it names
    // (another data file, nothing) stays as it was.
    void linksAreReplacedNotFollowed() {
        WriteBytes(PathOf("Name.dat"), "\"Ann\"\r\n");
        QVERIFY(QFile::link(PathOf("Name.dat"), PathOf("Game.dat")) &&
                QFile::link("none", PathOf("Scores.dat")));
        G.GamesWon = {0, 1, 2, 3, 4};
        QVERIFY(WriteFile("Game.dat", "game") && SaveStatistics(G) && LoadName() == "Ann");
        QVERIFY(QFile::remove(PathOf("Name.dat")) && QFile::link(PathOf("Scores.dat"), PathOf("Name.dat")));
        QVERIFY(SaveName("Bo") && ReadBytes(PathOf("Scores.dat")) == "1,2,3,4\r\n" && LoadName() == "Bo");
    }

    void unwritableDirectoryKeepsTheGameGoing() {
        // A data directory under a regular file can never be created; a missing one can.
        WriteBytes(PathOf("blocker"), "x");
        SetDataDirOverride(PathOf("blocker/data"));
        G.GamesWon = {0, 3, 5, 0, 12};
        QVERIFY(!SaveStatistics(G) && !SaveName("Ann"));
        QCOMPARE(G.GamesWon, (Counts{0, 3, 5, 0, 12})); // nothing lost in memory
        QCOMPARE(Files(), QStringList{"blocker"});
        SetDataDirOverride(PathOf("new/deeper"));
        QVERIFY(SaveName("Ann"));
        QCOMPARE(ReadBytes(PathOf("new/deeper/Name.dat")), QByteArray("\"Ann\"\r\n"));
    }

    void failedWriteLeavesTheOldFile() {
        WriteBytes(PathOf("Name.dat"), "\"Ann\"\r\n");
        WriteBytes(PathOf("Scores.dat"), "3,5,0,12\r\n");
        // Files of this process may grow to 4 bytes only, so that writes fail part way through
        // (running as root, permissions would not stop them).
        rlimit before{};
        getrlimit(RLIMIT_FSIZE, &before);
        const rlimit limit{.rlim_cur = 4, .rlim_max = before.rlim_max};
        const auto handler = std::signal(SIGXFSZ, SIG_IGN);
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) QSKIP("cannot limit the file size here");
        G.GamesWon = {0, 11, 22, 33, 44};
        const bool saved = SaveName(QString(400, 'z')) || SaveStatistics(G);
        setrlimit(RLIMIT_FSIZE, &before);
        std::signal(SIGXFSZ, handler);
        // A short write is noticed before the new file replaces the old one; nothing half
        // written is left beside them.
        QVERIFY(!saved);
        QCOMPARE(ReadBytes(PathOf("Name.dat")) + ReadBytes(PathOf("Scores.dat")), "\"Ann\"\r\n3,5,0,12\r\n");
        QCOMPARE(Files(), (QStringList{"Name.dat", "Scores.dat"}));
    }
};

QTEST_GUILESS_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
