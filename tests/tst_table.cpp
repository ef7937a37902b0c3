// The table window: what start-up reads and shows, the menu commands with their questions
// answered both ways, and what a screen reader learns of the cards.
#include "TestSupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestSupport;
using Counts = std::array<qint16, 5>;

namespace {

void StartUp() {
    Waits::RunChain([] { TableForm().Form_Load(); });
}

// The program run again: a new table and state, reading the same files.
void Restart() {
    DestroyTableForm();
    ResetGameState();
    StartUp();
}

} // namespace

class TestTable : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    int exitCalls_ = 0;

    QString PathOf(const QString& name) const { return dir_.filePath(name); }

  private slots:
    void init() {
        EmptyDir(dir_.path());
        FreshState(dir_.path(), 0.0);
        exitCalls_ = 0;
        ExitHook = [this] { ++exitCalls_; };
    }
    void cleanup() { Waits::ModalHook = nullptr; }
    void cleanupTestCase() { DataFiles::SetDataDirOverride(QString()); }

    void startUp() {
        // Without files: "Player", no games won, and nothing is written.
        StartUp();
        QVERIFY(ListLines().value(0).startsWith("Player welcome"));
        QCOMPARE(G.GamesWon, Counts{});
        QVERIFY(!QFile::exists(PathOf("Name.dat")) && !QFile::exists(PathOf("Scores.dat")));
        // With them: the name greets the player, the counts are read, the files keep their bytes.
        WriteBytes(PathOf("Name.dat"), "\"Ann\"\r\n");
        WriteBytes(PathOf("Scores.dat"), "3,5,0,12\r\n");
        Restart();
        Table& t = TableForm();
        QVERIFY(G.PlayerNames[1] == "Ann" && t.lblPlayer->text() == "Ann" &&
                t.lblProf->text().endsWith(" Ann"));
        QVERIFY(ListLines().size() == 1 && ListLines()[0].startsWith("Ann welcome") &&
                t.List1->currentRow() == 0);
        QCOMPARE(G.GamesWon, (Counts{0, 3, 5, 0, 12}));
        QCOMPARE(ReadBytes(PathOf("Name.dat")) + ReadBytes(PathOf("Scores.dat")), "\"Ann\"\r\n3,5,0,12\r\n");
        QVERIFY(!G.GameOn && t.BtnContinue->isHidden());
        // An empty stored name is a name, and it stays empty.
        WriteBytes(PathOf("Name.dat"), "\"\"\r\n");
        Restart();
        QCOMPARE(G.PlayerName, QString());
    }

    void cardsNeverRevealThemselves() {
        Table& t = TableForm();
        for (QWidget* w : std::initializer_list<QWidget*>{t.Shape1, t.ImgProf, t.ImgComps3, t.ImgComps0,
                                                          t.FramScores, t.List1})
            QVERIFY(!AccName(w).isEmpty() && AccName(w) != "<no interface>");
        MakeCards();
        for (int i = 1; i <= 52; ++i) {
            QCOMPARE(AccName(t.CardsPic[i]), QString("Card back"));
            QCOMPARE(QAccessible::queryAccessibleInterface(t.CardsPic[i])->role(), QAccessible::Button);
        }
        for (int image : {40, 53, 54, 55, 56}) {
            t.CardsPic[40]->SetImage(image);
            QCOMPARE(AccName(t.CardsPic[40]), image == 40 ? G.Cards[40].FullName : QString("Card back"));
        }
    }

    // Exit asks only in a game, in the game's dialog; the close box always asks, in the standard box.
    void exitAndCloseBox_data() {
        QTest::addColumn<bool>("inGame");
        QTest::addColumn<bool>("closeBox");
        QTest::addColumn<bool>("confirm");
        QTest::addColumn<QStringList>("asked");
        const QStringList exitQuestion{"Really Exit?"},
            closeQuestion{"Do you really wish to shut everything down?"};
        QTest::newRow("exit, no game") << false << false << false << QStringList();
        QTest::newRow("exit in a game, cancelled") << true << false << false << exitQuestion;
        QTest::newRow("exit in a game, confirmed") << true << false << true << exitQuestion;
        QTest::newRow("close box, cancelled") << false << true << false << closeQuestion;
        QTest::newRow("close box in a game, OK") << true << true << true << closeQuestion;
    }
    void exitAndCloseBox() {
        QFETCH(bool, inGame);
        QFETCH(bool, closeBox);
        QFETCH(bool, confirm);
        QFETCH(QStringList, asked);
        StartUp();
        G.GameOn = inGame;
        DialogScript script;
        script.answer["Really Exit?"] = confirm ? 0 : 1;
        script.boxAnswer = confirm ? QMessageBox::Ok : QMessageBox::Cancel;
        script.Install();
        closeBox ? void(TableForm().close()) : TableForm().MnuExit->trigger();
        QCOMPARE(script.titles, asked);
        const bool exits = confirm || asked.isEmpty();
        QCOMPARE(exitCalls_, int(exits));
        QCOMPARE(Waits::Exiting(), exits);
        QCOMPARE(TableForm().isVisible(), !exits);
        QCOMPARE(Waits::ChainDepth(), 0);
    }

    void changeName_data() {
        QTest::addColumn<bool>("yes");
        QTest::addColumn<QString>("typed"); // "<cancel>": the name box cancelled
        QTest::addColumn<QString>("stored");
        QTest::newRow("answered No") << false << "Bob"
                                     << "Ann";
        QTest::newRow("plain") << true << "Bob"
                               << "Bob";
        QTest::newRow("double quote") << true << "Ann \"Red\" Lee"
                                      << "Ann 'Red' Lee";
        QTest::newRow("commas and blanks kept") << true << " Smith, Ann "
                                                << " Smith, Ann ";
        QTest::newRow("cancelled: empty") << true << "<cancel>"
                                          << "";
    }
    void changeName() {
        QFETCH(bool, yes);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        WriteBytes(PathOf("Name.dat"), "\"Ann\"\r\n");
        StartUp();
        DialogScript script;
        script.boxAnswer = yes ? QMessageBox::Yes : QMessageBox::No;
        if (typed != "<cancel>") script.inputText = typed;
        script.Install();
        TableForm().MnuChangeName->trigger();
        QCOMPARE(script.titles.size(), yes ? 2 : 1);
        QCOMPARE(G.PlayerNames[1], stored); // the narration uses the new name at once
        QVERIFY(TableForm().lblPlayer->text().endsWith(stored));
        Restart();
        QCOMPARE(G.PlayerName, stored);
    }

    void statistics() {
        WriteBytes(PathOf("Scores.dat"), "3,5,0,12\r\n");
        StartUp();
        G.GameOn = true; // works in the middle of a game, leaving the game alone
        G.GameScore = {0, 40, 30, 20, 10};
        DialogScript script;
        script.answer["Delete Statisitcs?"] = 1;
        script.Install();
        TableForm().MnuWon->trigger();
        TableForm().MnuDelete->trigger();
        QStringList counts;
        for (const auto& m : QRegularExpression("\\d+").globalMatch(script.messages.value(0)))
            counts << m.captured();
        QCOMPARE(counts, QStringList({"3", "5", "0", "12"}));
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("3,5,0,12\r\n"));
        script.answer.clear();
        TableForm().MnuDelete->trigger();
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("0,0,0,0\r\n"));
        QVERIFY(G.GameOn && G.GameScore == (Counts{0, 40, 30, 20, 10}));
        Restart();
        QCOMPARE(G.GamesWon, Counts{});
    }
};

QTEST_MAIN(TestTable)
#include "tst_table.moc"
