// The two data files: the exact bytes written, every way an old or damaged file is read, and
// what happens when the data directory cannot be written.
#include "TestSupport.h"

#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

using namespace TestSupport;
using Counts = std::array<qint16, 5>;

namespace {

// Limits the size of any file this process writes, so that a write fails part way through
// (running as root, permissions would not stop it).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        handler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ok = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, handler_);
    }
    bool ok = false;

  private:
    rlimit previous_{};
    void (*handler_)(int) = nullptr;
};

// name, file bytes, the name read (nullopt: no usable name)
const std::tuple<const char*, QByteArray, std::optional<QString>> kNames[] = {
    {"quoted, CRLF", "\"Ann\"\r\n", "Ann"},
    {"quoted, LF", "\"Ann\"\n", "Ann"},
    {"quoted, no line end", "\"Ann\"", "Ann"},
    {"comma inside quotes", "\"Smith, Ann\"\r\n", "Smith, Ann"},
    {"blanks inside quotes", "\"  Ann Lee  \"\r\n", "  Ann Lee  "},
    {"blanks before quotes", "   \"Ann\"\r\n", "Ann"},
    {"rest of the line ignored", "\"Ann\",\"Bob\"\r\n", "Ann"},
    {"second line ignored", "\"Ann\"\r\n\"Bob\"\r\n", "Ann"},
    {"unquoted with comma", "Ann, Smith\r\n", "Ann"},
    {"unquoted, trailing blanks", "  Ann Lee   \r\n", "Ann Lee"},
    {"unquoted, LF", "Bob\n", "Bob"},
    {"empty quotes", "\"\"\r\n", ""},
    {"no closing quote", "\"Ann\r\n", "Ann"},
    {"UTF-8 accents", "\"Zo\xc3\xab \xc3\x85ngstr\xc3\xb6m\"\r\n", QString::fromUtf8("Zoë Ångström")},
    {"Latin-1 from an old file", "\"Zo\xeb\"\r\n", QString::fromUtf8("Zoë")},
    {"empty file", "", std::nullopt},
    {"only a line end", "\r\n", std::nullopt},
    {"only blanks", "    \r\n", std::nullopt},
};

// name, file bytes, the four counts read
const std::tuple<const char*, QByteArray, Counts> kScores[] = {
    {"good line", "3,5,0,12\r\n", {0, 3, 5, 0, 12}},
    {"LF only", "3,5,0,12\n", {0, 3, 5, 0, 12}},
    {"no line end", "3,5,0,12", {0, 3, 5, 0, 12}},
    {"empty", "", {}},
    {"blank line", "\r\n", {}},
    {"short", "4,2\r\n", {0, 4, 2, 0, 0}},
    {"one field", "7", {0, 7, 0, 0, 0}},
    {"malformed fields", "x,3,,7\r\n", {0, 0, 3, 0, 7}},
    {"trailing junk", "2,3x,4,5\r\n", {0, 2, 0, 4, 5}},
    {"negative", "-4,3,-1,2\r\n", {0, 0, 3, 0, 2}},
    {"huge", "40000,32767,32768,99999999999\r\n", {0, 32767, 32767, 32767, 32767}},
    {"beyond 64 bits", "99999999999999999999999,1,2,3\r\n", {0, 32767, 1, 2, 3}},
    {"spaces", " 3 , 5,0 ,  12 \r\n", {0, 3, 5, 0, 12}},
    {"extra fields", "1,2,3,4,5,6\r\n", {0, 1, 2, 3, 4}},
    {"second line ignored", "1,2,3,4\r\n9,9,9,9\r\n", {0, 1, 2, 3, 4}},
    {"not text", QByteArray("\x00\xff\xfe,\x01", 5), {}},
};

} // namespace

class TestDataFiles : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString PathOf(const QString& name) const { return dir_.filePath(name); }
    QStringList Files() const { return QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden); }

  private slots:
    void init() {
        EmptyDir(dir_.path());
        FreshState(dir_.path(), 0.0);
    }
    void cleanupTestCase() { DataFiles::SetDataDirOverride(QString()); }

    void parseName_data() { Rows(kNames); }
    void parseName() {
        QFETCH(int, i);
        QCOMPARE(DataFiles::ParseName(std::get<1>(kNames[i])), std::get<2>(kNames[i]));
    }

    void formatName() {
        // Written unchanged between quotes, as UTF-8: a double quote is neither doubled nor escaped.
        QCOMPARE(DataFiles::FormatName("Ann"), QByteArray("\"Ann\"\r\n"));
        QCOMPARE(DataFiles::FormatName("A\"B"), QByteArray("\"A\"B\"\r\n"));
        QCOMPARE(DataFiles::FormatName(QString::fromUtf8("Zoë")), QByteArray("\"Zo\xc3\xab\"\r\n"));
        for (const QString& n : {QString(), QString("Smith, Ann"), QString("  Ann Lee  "), QString("O'Brien"),
                                 QString::fromUtf8("Ærøskøbing Åsa"), QString(64, 'n')})
            QCOMPARE(DataFiles::ParseName(DataFiles::FormatName(n)), std::optional<QString>(n));
        // A quote inside the name is where the reader stops: why a new name never keeps one.
        QCOMPARE(*DataFiles::ParseName(DataFiles::FormatName("Ann \"Red\" Lee")), QString("Ann "));
    }

    void parseScores_data() { Rows(kScores); }
    void parseScores() {
        QFETCH(int, i);
        QCOMPARE(DataFiles::ParseScores(std::get<1>(kScores[i])), std::get<2>(kScores[i]));
    }

    void formatScores() {
        QCOMPARE(DataFiles::FormatScores({0, 3, 5, 0, 12}), QByteArray("3,5,0,12\r\n"));
        QCOMPARE(DataFiles::FormatScores({99, 32767, 100, 7, 1}),
                 QByteArray("32767,100,7,1\r\n")); // [0] unused
    }

    void nameFile() {
        // Missing, empty, blank: "Player", and reading writes nothing.
        QCOMPARE(DataFiles::LoadName(), QString("Player"));
        QVERIFY(!QFile::exists(PathOf("Name.dat")));
        for (const QByteArray& bytes : {QByteArray(), QByteArray("   \r\n")}) {
            WriteBytes(PathOf("Name.dat"), bytes);
            QCOMPARE(DataFiles::LoadName(), QString("Player"));
        }
        // An empty name that was stored is a name, not a missing one.
        WriteBytes(PathOf("Name.dat"), "\"\"\r\n");
        QCOMPARE(DataFiles::LoadName(), QString(""));

        QVERIFY(DataFiles::SaveName(QString::fromUtf8("Zoë Lee")));
        QCOMPARE(DataFiles::LoadName(), QString::fromUtf8("Zoë Lee"));
        // The whole file is replaced, and no temporary file is left behind.
        QVERIFY(DataFiles::SaveName("Al"));
        QCOMPARE(ReadBytes(PathOf("Name.dat")), QByteArray("\"Al\"\r\n"));
        QCOMPARE(Files(), QStringList{"Name.dat"});

        // An unreadable "file" (a directory of that name) is a missing one.
        QFile::remove(PathOf("Name.dat"));
        QVERIFY(QDir(dir_.path()).mkdir("Name.dat"));
        QCOMPARE(DataFiles::LoadName(), QString("Player"));
        QVERIFY(!DataFiles::SaveName("Ann"));
        QVERIFY(QDir(dir_.path()).rmdir("Name.dat"));
    }

    void statisticsFile() {
        // Missing: four zeros, whatever was in memory, and reading writes nothing.
        G.GamesWon = {0, 9, 9, 9, 9};
        LoadStatistics();
        QCOMPARE(G.GamesWon, Counts{});
        QVERIFY(!QFile::exists(PathOf("Scores.dat")));
        WriteBytes(PathOf("Scores.dat"), "4,x\r\n");
        LoadStatistics();
        QCOMPARE(G.GamesWon, (Counts{0, 4, 0, 0, 0}));

        G.GamesWon = {0, 1, 1, 1, 1};
        QVERIFY(SaveStatistics());
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("1,1,1,1\r\n"));
        G.GamesWon = {};
        LoadStatistics();
        QCOMPARE(G.GamesWon, (Counts{0, 1, 1, 1, 1}));
        QCOMPARE(Files(), QStringList{"Scores.dat"});
    }

    void missingDataDirectoryIsCreated() {
        const QString sub = PathOf("new/deeper");
        DataFiles::SetDataDirOverride(sub);
        G.GamesWon = {0, 2, 0, 1, 0};
        QVERIFY(SaveStatistics() && DataFiles::SaveName("Ann"));
        QCOMPARE(ReadBytes(sub + "/Scores.dat"), QByteArray("2,0,1,0\r\n"));
        QCOMPARE(ReadBytes(sub + "/Name.dat"), QByteArray("\"Ann\"\r\n"));
        QVERIFY(QDir(PathOf("new")).removeRecursively());
    }

    void unwritableDirectoryKeepsTheGameGoing() {
        // A data directory under a regular file can never be created.
        WriteBytes(PathOf("blocker"), "not a directory");
        DataFiles::SetDataDirOverride(PathOf("blocker/data"));
        G.GamesWon = {0, 3, 5, 0, 12};
        QVERIFY(!SaveStatistics());
        QCOMPARE(G.GamesWon, (Counts{0, 3, 5, 0, 12})); // nothing lost in memory
        QVERIFY(!DataFiles::SaveName("Ann"));
        QCOMPARE(ReadBytes(PathOf("blocker")), QByteArray("not a directory"));
        QCOMPARE(Files(), QStringList{"blocker"});
        // Reading from there is the missing-file case.
        LoadStatistics();
        QCOMPARE(G.GamesWon, Counts{});
        QCOMPARE(DataFiles::LoadName(), QString("Player"));
    }

    void failedWriteLeavesTheOldFile() {
        WriteBytes(PathOf("Name.dat"), "\"Ann\"\r\n");
        WriteBytes(PathOf("Scores.dat"), "3,5,0,12\r\n");
        bool savedName = true, savedScores = true;
        {
            FileSizeLimit limit(4);
            if (!limit.ok) QSKIP("cannot limit the file size here");
            savedName = DataFiles::SaveName(QString(400, 'z'));
            G.GamesWon = {0, 11, 22, 33, 44};
            savedScores = SaveStatistics();
        }
        // A short write must be noticed before the new file replaces the old one, and no
        // half-written temporary file is left beside them.
        QVERIFY(!savedName && !savedScores);
        QCOMPARE(ReadBytes(PathOf("Name.dat")), QByteArray("\"Ann\"\r\n"));
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("3,5,0,12\r\n"));
        QCOMPARE(G.GamesWon, (Counts{0, 11, 22, 33, 44}));
        QCOMPARE(Files(), (QStringList{"Name.dat", "Scores.dat"}));
        // And once writing works again, so does saving.
        QVERIFY(SaveStatistics());
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("11,22,33,44\r\n"));
    }
};

QTEST_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
