// Hostile files and names: nothing but a small regular file is read, a name is never markup
// and never longer than the limit, and an empty pack ends a draw instead of spinning.
#include "TestSupport.h"

#include "ModDeals.h"

#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>

using namespace TestSupport;

namespace {
const QByteArray kTooBig = '"' + QByteArray(DataFiles::MaxFileBytes, 'a') + "\"\r\n";

// Name.dat or Scores.dat made as the row says.
void Make(const QString& path, const QByteArray& kind) {
    QFile::remove(path);
    if (kind == "fifo")
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    else if (kind == "zero")
        QVERIFY(QFile::link("/dev/zero", path));
    else if (kind == "dir")
        QVERIFY(QDir().mkdir(path));
    else
        WriteBytes(path, kind);
}
} // namespace

class TestRobust : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

  private slots:
    void init() {
        FreshState(dir.path());
        QDir(dir.path()).removeRecursively();
        QDir().mkpath(dir.path());
    }

    void onlySmallRegularFilesAreRead_data() {
        QTest::addColumn<QByteArray>("kind");
        QTest::addColumn<QString>("name");
        QTest::addColumn<qint16>("won");
        QTest::newRow("fifo") << QByteArray("fifo") << "Player" << qint16(0);
        QTest::newRow("link to /dev/zero") << QByteArray("zero") << "Player" << qint16(0);
        QTest::newRow("directory") << QByteArray("dir") << "Player" << qint16(0);
        QTest::newRow("too big") << kTooBig << "Player" << qint16(0);
        QTest::newRow("41 digits") << QByteArray("1" + QByteArray(40, '0') + ",2") << ("1" + QString(40, '0'))
                                   << qint16(32767);
        QTest::newRow("3000 digits") << QByteArray(3000, '7') << QString(64, '7') << qint16(32767);
        QTest::newRow("long name") << QByteArray("\"" + QByteArray(100, 'n') + "\"") << QString(64, 'n')
                                   << qint16(0);
    }
    void onlySmallRegularFilesAreRead() {
        QFETCH(QByteArray, kind);
        QFETCH(QString, name);
        QFETCH(qint16, won);
        Make(dir.filePath("Name.dat"), kind);
        Make(dir.filePath("Scores.dat"), kind);
        QCOMPARE(DataFiles::LoadName(), name.left(DataFiles::MaxNameLength));
        LoadStatistics();
        QCOMPARE(G.GamesWon[1], won);
        // A link to a proper file is still read.
        Make(dir.filePath("real.dat"), "\"Ann\"\r\n");
        QFile::remove(dir.filePath("Name.dat"));
        QDir(dir.path()).rmdir("Name.dat");
        QVERIFY(QFile::link(dir.filePath("real.dat"), dir.filePath("Name.dat")));
        QCOMPARE(DataFiles::LoadName(), QString("Ann"));
    }

    // A name from the file or typed in is shown as the characters it is made of, and a typed
    // one is cut to the same length as one read.
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
        };
        look();                            // the player's label and the Prof's greeting
        When([] { return G.Trumps != 0; }, // the score board too once a game is on
             [&] {
                 look();
                 Waits::AbandonChain();
             });
        QTimer::singleShot(0, [] { TableForm().MNuNew->trigger(); });
        QVERIFY(WaitFor([&] { return shown.size() > 2 && Waits::ChainDepth() == 0; }));
        QCOMPARE(shown.size(), 4);
        QCOMPARE(cut, QStringList());

        DialogScript script;
        script.inputText = QString(100, 'y');
        script.boxAnswer = QMessageBox::Yes;
        script.Install();
        QTimer::singleShot(0, [] { TableForm().MnuChangeName->trigger(); });
        QVERIFY(WaitFor([] { return G.PlayerName.startsWith('y'); }));
        QCOMPARE(G.PlayerName, QString(DataFiles::MaxNameLength, 'y'));
        QCOMPARE(DataFiles::LoadName(), G.PlayerName);
    }

    // Drawing from an empty pack, a state that cannot arise, ends (in a debug build by failing
    // loudly) rather than drawing for ever. Run in a child process so that it may abort.
    void emptyPackEndsTheDraw() {
        if (qEnvironmentVariableIsSet("VT_EMPTY_PACK_CHILD")) {
            for (int c = 1; c <= 52; ++c)
                G.Cards[c].Holder = 1;
            printf("drew %d\n", PickRandomCard());
            fflush(stdout);
            return;
        }
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VT_EMPTY_PACK_CHILD", "1");
        child.setProcessEnvironment(env);
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
