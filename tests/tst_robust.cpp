// Hostile files and names: nothing but a small regular file is read, a name is never markup
// and an empty pack ends a draw instead of spinning.
#include "TestSupport.h"

#include "Deal.h"

#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <sys/stat.h>

using namespace TestSupport;

namespace {
// Name.dat or Scores.dat made as the row says: a FIFO, a directory, a link ("->" and what it
// names: /dev/zero, or the small file "real" beside it) or a file of the bytes given.
void Make(const QString& path, const QByteArray& kind) {
    if (kind == "fifo") QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    if (kind == "dir") QVERIFY(QDir().mkdir(path));
    if (kind.startsWith("->")) QVERIFY(QFile::link(kind.mid(2), path));
    if (kind != "fifo" && kind != "dir" && !kind.startsWith("->")) WriteBytes(path, kind);
}

// name, how the files are made, the name read, the first count read
// clang-format off
const std::tuple<const char*, QByteArray, QString, qint16> kFiles[] = {
    {"fifo", "fifo", "Player", 0}, {"directory", "dir", "Player", 0}, {"link to a file", "->real", "7", 7},
    {"/dev/zero", "->/dev/zero", "Player", 0}, {"64 KiB", '"' + QByteArray(1 << 16, 'a') + '"', "Player", 0},
    {"41 digits", "1" + QByteArray(40, '0') + ",2", "1" + QString(40, '0'), 32767},
    {"long name", '"' + QByteArray(100, 'n') + '"', QString(64, 'n'), 0}};
// clang-format on
} // namespace

class TestRobust : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

  private slots:
    void init() {
        FreshState(dir.path());
        EmptyDir(dir.path());
        WriteBytes(dir.filePath("real"), "7,1\r\n");
    }

    void onlySmallRegularFilesAreRead_data() { Rows(kFiles); }
    void onlySmallRegularFilesAreRead() {
        const auto& [row, kind, name, won] = Row(kFiles);
        Make(dir.filePath("Name.dat"), kind);
        Make(dir.filePath("Scores.dat"), kind);
        QCOMPARE(DataFiles::LoadName(), name);
        LoadStatistics(G);
        QCOMPARE(G.GamesWon[1], won);
    }

    // A name from the file is shown as the characters it is made of (a typed one is cut to the
    // same length as one read: tst_table's changeName).
    void namesArePlainTextOfBoundedLength() {
        const QString markup = "<b></b><i></i>";
        WriteBytes(dir.filePath("Name.dat"), DataFiles::FormatName(markup));
        TableForm().Form_Load();
        // The labels showing it are at least as wide as its characters: markup would show none.
        QStringList shown, cut;
        const auto look = [&] {
            for (QLabel* l : TableForm().findChildren<QLabel*>()) {
                if (!l->text().contains(markup)) continue;
                shown << l->objectName() + l->text();
                if (l->sizeHint().width() < l->fontMetrics().horizontalAdvance(l->text())) cut << l->text();
            }
            if (G.Trumps) Waits::AbandonChain();
        };
        look();                                   // the player's label and the Prof's greeting
        When([] { return G.Trumps != 0; }, look); // the score board too once a game is on
        QTimer::singleShot(0, [] { TableForm().MNuNew->trigger(); });
        QVERIFY(WaitFor([&] { return shown.size() > 2 && Waits::ChainDepth() == 0; }));
        QCOMPARE(shown.size(), 4);
        QCOMPARE(cut, QStringList());
    }

    // Drawing from an empty pack, a state that cannot arise, ends (in a debug build by failing
    // loudly) rather than drawing for ever. Run in a child process so that it may abort.
    void emptyPackEndsTheDraw() {
        if (qEnvironmentVariableIsSet("VT_EMPTY_PACK_CHILD")) {
            for (int c = 1; c <= 52; ++c)
                G.Cards[c].Holder = 1;
            printf("drew %d\n", PickRandomCard(game)); // flushed as the child exits
            return;
        }
        QProcess child;
        child.setEnvironment(QProcess::systemEnvironment() << "VT_EMPTY_PACK_CHILD=1");
        child.start(QCoreApplication::applicationFilePath(), {"emptyPackEndsTheDraw"});
        QVERIFY(child.waitForFinished(120000));
#ifdef QT_NO_DEBUG
        QVERIFY(child.readAllStandardOutput().contains("drew 0"));
#else
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);
#endif
    }
};

QTEST_MAIN(TestRobust)
#include "tst_robust.moc"
