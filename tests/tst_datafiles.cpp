// The two data files: the exact bytes written, every way an old or damaged file is read,
// and what happens when the data directory cannot be written.

#include "TestSupport.h"

#include "DataFiles.h"
#include "ModVariables.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>
#include <csignal>
#include <sys/resource.h>

namespace {

using TestSupport::ReadBytes;
using TestSupport::WriteBytes;

using Counts = std::array<qint16, 5>;

// Limits the size of any file this process writes, so that a write fails part way through
// (running as root, permissions would not stop it).
class FileSizeLimit {
  public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        ok_ = setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousHandler_);
    }
    bool Ok() const { return ok_; }

  private:
    rlimit previous_{};
    void (*previousHandler_)(int) = nullptr;
    bool ok_ = false;
};

} // namespace

class TestDataFiles : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString PathOf(const QString& name) const { return dir_.path() + "/" + name; }

  private slots:
    void init() {
        QVERIFY(dir_.isValid());
        QDir d(dir_.path());
        for (const QString& f : d.entryList(QDir::Files | QDir::Hidden | QDir::System))
            d.remove(f);
        TestSupport::FreshState(dir_.path(), 0.0);
    }

    void formatName() {
        QCOMPARE(DataFiles::FormatName("Ann"), QByteArray("\"Ann\"\r\n"));
        QCOMPARE(DataFiles::FormatName(""), QByteArray("\"\"\r\n"));
        QCOMPARE(DataFiles::FormatName(" Ann, Smith "), QByteArray("\" Ann, Smith \"\r\n"));
        // Written unchanged: a double quote is neither doubled nor escaped.
        QCOMPARE(DataFiles::FormatName("A\"B"), QByteArray("\"A\"B\"\r\n"));
        QCOMPARE(DataFiles::FormatName(QString::fromUtf8("Zoë")), QByteArray("\"Zo\xc3\xab\"\r\n"));
    }

    void parseName_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("hasName");
        QTest::addColumn<QString>("name");
        QTest::newRow("quoted, CRLF") << QByteArray("\"Ann\"\r\n") << true << "Ann";
        QTest::newRow("quoted, LF") << QByteArray("\"Ann\"\n") << true << "Ann";
        QTest::newRow("quoted, no line end") << QByteArray("\"Ann\"") << true << "Ann";
        QTest::newRow("comma inside quotes") << QByteArray("\"Smith, Ann\"\r\n") << true << "Smith, Ann";
        QTest::newRow("blanks inside quotes") << QByteArray("\"  Ann Lee  \"\r\n") << true << "  Ann Lee  ";
        QTest::newRow("blanks before quotes") << QByteArray("   \"Ann\"\r\n") << true << "Ann";
        QTest::newRow("rest of the line ignored") << QByteArray("\"Ann\",\"Bob\"\r\n") << true << "Ann";
        QTest::newRow("second line ignored") << QByteArray("\"Ann\"\r\n\"Bob\"\r\n") << true << "Ann";
        QTest::newRow("unquoted with comma") << QByteArray("Ann, Smith\r\n") << true << "Ann";
        QTest::newRow("unquoted, trailing blanks") << QByteArray("  Ann Lee   \r\n") << true << "Ann Lee";
        QTest::newRow("unquoted, LF") << QByteArray("Bob\n") << true << "Bob";
        QTest::newRow("empty quotes") << QByteArray("\"\"\r\n") << true << "";
        QTest::newRow("no closing quote") << QByteArray("\"Ann\r\n") << true << "Ann";
        QTest::newRow("UTF-8 accents") << QByteArray("\"Zo\xc3\xab \xc3\x85ngstr\xc3\xb6m\"\r\n") << true
                                       << QString::fromUtf8("Zoë Ångström");
        QTest::newRow("Latin-1 from an old file")
            << QByteArray("\"Zo\xeb\"\r\n") << true << QString::fromUtf8("Zoë");
        QTest::newRow("empty file") << QByteArray() << false << "";
        QTest::newRow("only a line end") << QByteArray("\r\n") << false << "";
        QTest::newRow("only blanks") << QByteArray("    \r\n") << false << "";
    }
    void parseName() {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, hasName);
        QFETCH(QString, name);
        const std::optional<QString> parsed = DataFiles::ParseName(bytes);
        QCOMPARE(parsed.has_value(), hasName);
        if (hasName) QCOMPARE(*parsed, name);
    }

    void nameRoundTrips() {
        const QStringList names{"Ann",
                                "",
                                "Smith, Ann",
                                "  Ann Lee  ",
                                " x",
                                "O'Brien",
                                QString::fromUtf8("Zoë Ångström"),
                                QString::fromUtf8("Ærøskøbing Åsa"),
                                QString(200, QLatin1Char('n'))};
        for (const QString& n : names) {
            const auto back = DataFiles::ParseName(DataFiles::FormatName(n));
            QVERIFY2(back.has_value(), qPrintable(n));
            QCOMPARE(*back, n);
        }
        // A quote inside the name is where the reader stops: why a new name never keeps one.
        QCOMPARE(*DataFiles::ParseName(DataFiles::FormatName("Ann \"Red\" Lee")), QString("Ann "));
    }

    void formatScores() {
        QCOMPARE(DataFiles::FormatScores({0, 3, 5, 0, 12}), QByteArray("3,5,0,12\r\n"));
        QCOMPARE(DataFiles::FormatScores({0, 0, 0, 0, 0}), QByteArray("0,0,0,0\r\n"));
        QCOMPARE(DataFiles::FormatScores({99, 32767, 100, 7, 1}),
                 QByteArray("32767,100,7,1\r\n")); // element 0 unused
        QCOMPARE(DataFiles::FormatScores({0, -1, 2, 3, 4}), QByteArray("-1,2,3,4\r\n"));
    }

    void parseScores_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QList<int>>("counts");
        QTest::newRow("good line") << QByteArray("3,5,0,12\r\n") << QList<int>{3, 5, 0, 12};
        QTest::newRow("LF only") << QByteArray("3,5,0,12\n") << QList<int>{3, 5, 0, 12};
        QTest::newRow("no line end") << QByteArray("3,5,0,12") << QList<int>{3, 5, 0, 12};
        QTest::newRow("empty") << QByteArray() << QList<int>{0, 0, 0, 0};
        QTest::newRow("blank line") << QByteArray("\r\n") << QList<int>{0, 0, 0, 0};
        QTest::newRow("short") << QByteArray("4,2\r\n") << QList<int>{4, 2, 0, 0};
        QTest::newRow("one field") << QByteArray("7") << QList<int>{7, 0, 0, 0};
        QTest::newRow("malformed fields") << QByteArray("x,3,,7\r\n") << QList<int>{0, 3, 0, 7};
        QTest::newRow("trailing junk") << QByteArray("2,3x,4,5\r\n") << QList<int>{2, 0, 4, 5};
        QTest::newRow("negative") << QByteArray("-4,3,-1,2\r\n") << QList<int>{0, 3, 0, 2};
        QTest::newRow("huge") << QByteArray("40000,32767,32768,99999999999\r\n")
                              << QList<int>{32767, 32767, 32767, 32767};
        QTest::newRow("spaces") << QByteArray(" 3 , 5,0 ,  12 \r\n") << QList<int>{3, 5, 0, 12};
        QTest::newRow("extra fields") << QByteArray("1,2,3,4,5,6\r\n") << QList<int>{1, 2, 3, 4};
        QTest::newRow("second line ignored")
            << QByteArray("1,2,3,4\r\n9,9,9,9\r\n") << QList<int>{1, 2, 3, 4};
        QTest::newRow("not text") << QByteArray("\x00\xff\xfe,\x01", 5) << QList<int>{0, 0, 0, 0};
    }
    void parseScores() {
        QFETCH(QByteArray, bytes);
        QFETCH(QList<int>, counts);
        const Counts won = DataFiles::ParseScores(bytes);
        QCOMPARE(won[0], qint16(0));
        QCOMPARE((QList<int>{won[1], won[2], won[3], won[4]}), counts);
    }

    void parseScoresBeyondSixtyFourBits() {
        // A count too long for any integer type is still a count above the limit.
        const Counts won = DataFiles::ParseScores("99999999999999999999999,1,2,3\r\n");
        QCOMPARE(won[1], qint16(32767));
        QCOMPARE((QList<int>{won[2], won[3], won[4]}), (QList<int>{1, 2, 3}));
    }

    void nameFile() {
        QCOMPARE(DataFiles::DataDir(), dir_.path());
        // Missing, empty, blank: "Player", and nothing is written by reading.
        QCOMPARE(DataFiles::LoadName(), QString("Player"));
        QVERIFY(!QFile::exists(PathOf("Name.dat")));
        WriteBytes(PathOf("Name.dat"), "");
        QCOMPARE(DataFiles::LoadName(), QString("Player"));
        WriteBytes(PathOf("Name.dat"), "   \r\n");
        QCOMPARE(DataFiles::LoadName(), QString("Player"));
        // An empty name that was stored is a name, not a missing one.
        WriteBytes(PathOf("Name.dat"), "\"\"\r\n");
        QCOMPARE(DataFiles::LoadName(), QString(""));
        WriteBytes(PathOf("Name.dat"), "Ann, Smith\r\n");
        QCOMPARE(DataFiles::LoadName(), QString("Ann"));

        QVERIFY(DataFiles::SaveName("Ann Lee"));
        QCOMPARE(ReadBytes(PathOf("Name.dat")), QByteArray("\"Ann Lee\"\r\n"));
        QCOMPARE(DataFiles::LoadName(), QString("Ann Lee"));
        QVERIFY(DataFiles::SaveName(QString::fromUtf8("Zoë")));
        QCOMPARE(DataFiles::LoadName(), QString::fromUtf8("Zoë"));
        // The whole file is replaced: a shorter name leaves nothing of the longer one.
        QVERIFY(DataFiles::SaveName("Al"));
        QCOMPARE(ReadBytes(PathOf("Name.dat")), QByteArray("\"Al\"\r\n"));
        // No temporary files are left behind.
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Name.dat"});

        // An unreadable "file" (a directory of that name) is a missing one.
        QFile::remove(PathOf("Name.dat"));
        QVERIFY(QDir(dir_.path()).mkdir("Name.dat"));
        QCOMPARE(DataFiles::LoadName(), QString("Player"));
        QVERIFY(!DataFiles::SaveName("Ann"));
        QVERIFY(QDir(dir_.path()).rmdir("Name.dat"));
    }

    void statisticsFile() {
        // Missing: four zeros, whatever was in memory, and no file is written by reading.
        G.GamesWon = {0, 9, 9, 9, 9};
        LoadStatistics();
        QCOMPARE(G.GamesWon, (Counts{0, 0, 0, 0, 0}));
        QVERIFY(!QFile::exists(PathOf("Scores.dat")));

        WriteBytes(PathOf("Scores.dat"), "3,5,0,12\r\n");
        LoadStatistics();
        QCOMPARE(G.GamesWon, (Counts{0, 3, 5, 0, 12}));
        WriteBytes(PathOf("Scores.dat"), "4,x\r\n");
        LoadStatistics();
        QCOMPARE(G.GamesWon, (Counts{0, 4, 0, 0, 0}));
        WriteBytes(PathOf("Scores.dat"), "");
        LoadStatistics();
        QCOMPARE(G.GamesWon, (Counts{0, 0, 0, 0, 0}));

        G.GamesWon = {0, 3, 5, 0, 12};
        QVERIFY(SaveStatistics());
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("3,5,0,12\r\n"));
        G.GamesWon = {0, 1, 1, 1, 1};
        QVERIFY(SaveStatistics());
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("1,1,1,1\r\n"));
        G.GamesWon = {};
        LoadStatistics();
        QCOMPARE(G.GamesWon, (Counts{0, 1, 1, 1, 1}));
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"Scores.dat"});
    }

    void missingDataDirectoryIsCreated() {
        const QString sub = dir_.path() + "/new/deeper";
        DataFiles::SetDataDirOverride(sub);
        G.GamesWon = {0, 2, 0, 1, 0};
        QVERIFY(SaveStatistics());
        QVERIFY(DataFiles::SaveName("Ann"));
        QCOMPARE(ReadBytes(sub + "/Scores.dat"), QByteArray("2,0,1,0\r\n"));
        QCOMPARE(ReadBytes(sub + "/Name.dat"), QByteArray("\"Ann\"\r\n"));
        QVERIFY(QDir(dir_.path() + "/new").removeRecursively());
    }

    void unwritableDirectoryKeepsTheGameGoing() {
        // A data directory under a regular file can never be created.
        const QString blocker = PathOf("blocker");
        WriteBytes(blocker, "not a directory");
        const QString dataDir = blocker + "/data";
        DataFiles::SetDataDirOverride(dataDir);

        G.GamesWon = {0, 3, 5, 0, 12};
        QVERIFY(!SaveStatistics());
        QCOMPARE(G.GamesWon, (Counts{0, 3, 5, 0, 12})); // nothing lost in memory
        QVERIFY(!DataFiles::SaveName("Ann"));
        QVERIFY(!QFileInfo::exists(dataDir));
        QCOMPARE(ReadBytes(blocker), QByteArray("not a directory"));
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"blocker"});

        // Reading from there is the missing-file case.
        LoadStatistics();
        QCOMPARE(G.GamesWon, (Counts{0, 0, 0, 0, 0}));
        QCOMPARE(DataFiles::LoadName(), QString("Player"));
    }

    void failedWriteLeavesTheOldFile() {
        WriteBytes(PathOf("Name.dat"), "\"Ann\"\r\n");
        WriteBytes(PathOf("Scores.dat"), "3,5,0,12\r\n");
        const QString longName(400, QLatin1Char('z'));
        bool savedName = true;
        bool savedScores = true;
        {
            FileSizeLimit limit(4);
            if (!limit.Ok()) QSKIP("cannot limit the file size here");
            savedName = DataFiles::SaveName(longName);
            G.GamesWon = {0, 11, 22, 33, 44};
            savedScores = SaveStatistics();
        }
        // A short write must be noticed before the new file replaces the old one.
        QVERIFY(!savedName);
        QVERIFY(!savedScores);
        QCOMPARE(ReadBytes(PathOf("Name.dat")), QByteArray("\"Ann\"\r\n"));
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("3,5,0,12\r\n"));
        QCOMPARE(G.GamesWon, (Counts{0, 11, 22, 33, 44}));
        // No half-written temporary file is left beside them.
        QCOMPARE(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden),
                 (QStringList{"Name.dat", "Scores.dat"}));
        // And once writing works again, so does saving.
        QVERIFY(SaveStatistics());
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("11,22,33,44\r\n"));
    }

    void cleanupTestCase() { DataFiles::SetDataDirOverride(QString()); }
};

QTEST_MAIN(TestDataFiles)
#include "tst_datafiles.moc"
