// The table window: what start-up reads and shows, the menu commands with their questions
// answered both ways, and what a screen reader learns of the cards.
#include "History.h"
#include "HistoryWindow.h"
#include "TableMarks.h"
#include "TestSupport.h"

#include <QRegularExpression>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTextLayout>

using namespace TestSupport;
using Counts = std::array<qint16, 5>;

const std::tuple<const char*, bool, bool, bool, const char*> kExits[] = {
    {"exit, no game", false, false, false, nullptr},
    {"exit in a game, cancelled", true, false, false, "Really Exit?"},
    {"exit in a game, confirmed", true, false, true, "Really Exit?"},
    {"close box, cancelled", false, true, false, "Do you really wish to shut everything down?"},
    {"close box in a game, OK", true, true, true, "Do you really wish to shut everything down?"}};
// Typed nullopt: the name box cancelled (Cancel, Escape or its close box).
const QString kGrin = QString::fromUtf8("\xF0\x9F\x98\x80"); // one character, two UTF-16 units
const std::tuple<const char*, bool, std::optional<QString>, QString> kNames[] = {
    {"answered No", false, "Bob", "Ann"},
    {"double quote", true, "Ann \"Red\" Lee", "Ann 'Red' Lee"},
    {"commas and blanks kept", true, " Smith, Ann ", " Smith, Ann "},
    {"cancelled: kept", true, std::nullopt, "Ann"},
    {"empty: emptied", true, "", ""},
    {"control characters dropped", true, QString("A\tn") + QChar(0) + "n\x1b\n", "Ann"},
    {"cut at a whole character", true, kGrin.repeated(40), kGrin.repeated(32)},
    {"right-to-left override", true, QChar(0x202E) + QString("Bo"), QChar(0x202E) + QString("Bo")}};

// Text as shown, without the marks that keep a name's direction to itself (they show nothing).
static QString Shown(QString text) {
    return text.remove(QChar(0x2068)).remove(QChar(0x2069));
}

class TestTable : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    int exitCalls_ = 0;
    QString PathOf(const char* name) const { return dir_.filePath(name); }
    static void StartUp() {
        Waits::RunChain([] { TableForm().Form_Load(); });
    }

    // The program run again: a new table and state, reading the same files.
    void Restart() {
        FreshState(dir_.path());
        StartUp();
    }

  private slots:
    void init() {
        EmptyDir(dir_.path());
        FreshState(dir_.path(), 0.0);
        exitCalls_ = 0;
        TableForm().ExitHook = [this] { ++exitCalls_; };
    }
    void cleanup() { Waits::ModalHook = nullptr; }

    void startUp() {
        // Without files: "Player", no games won, and nothing is written.
        StartUp();
        QVERIFY(ListLines().value(0).startsWith("Player welcome") && G.GamesWon == Counts{} &&
                QDir(dir_.path()).isEmpty());
        // With them: the name greets the player, the counts are read, the files keep their bytes.
        WriteBytes(PathOf("Name.dat"), "\"Ann\"\r\n");
        WriteBytes(PathOf("Scores.dat"), "3,5,0,12\r\n");
        Restart();
        Table& t = TableForm();
        QVERIFY(G.PlayerNames[1] == "Ann" && t.lblPlayer->text() == "Ann" &&
                t.lblProf->text().endsWith(" Ann"));
        QVERIFY(ListLines().size() == 1 && ListLines()[0].startsWith("Ann welcome") &&
                t.List1->item(0)->isSelected());
        QVERIFY(!G.GameOn && t.BtnContinue->isHidden() && G.GamesWon == (Counts{0, 3, 5, 0, 12}));
        QCOMPARE(ReadBytes(PathOf("Name.dat")) + ReadBytes(PathOf("Scores.dat")), "\"Ann\"\r\n3,5,0,12\r\n");
        WriteBytes(PathOf("Name.dat"), "\"\"\r\n"); // an empty stored name stays empty
        Restart();
        QCOMPARE(G.PlayerName, QString());
    }

    void cardsNeverRevealThemselves() {
        Table& t = TableForm();
        for (QWidget* w : QWidgetList{t.Shape1, t.ImgProf, t.ImgComps3, t.ImgComps0, t.FramScores, t.List1})
            QVERIFY(!AccName(w).isEmpty() && AccName(w) != "<no interface>");
        MakeCards(G);
        // Only a card of the hand is a button; in the trick or turned up it is a picture.
        for (int holder : {1, 5, 0})
            for (int image : {40, 53, 54, 55, 56}) {
                G.Cards[40].Holder = quint8(holder);
                t.CardsPic[40]->SetImage(image);
                QCOMPARE(QAccessible::queryAccessibleInterface(t.CardsPic[40])->role(),
                         holder == 1 && image == 40 ? QAccessible::Button : QAccessible::Graphic);
                QCOMPARE(AccName(t.CardsPic[40]), image == 40 ? G.Cards[40].FullName : QString("Card back"));
            }
        // The pack on the table before the first deal is one node.
        StartUp();
        QAccessibleInterface* table = QAccessible::queryAccessibleInterface(t.Client);
        QCOMPARE(table->child(table->childCount() - 5)->text(QAccessible::Name), "Pack: 52 cards");
        // A row of the scores says which of its numbers is which.
        QAccessibleInterface* scores = QAccessible::queryAccessibleInterface(t.FramScores);
        // It names the seat as the rest of the table does, whatever name the label shows.
        const QStringList rows[] = {{"Player :1", "1", "The Prof, game score 1, hand score 1"},
                                    {"Tabitha :  25", "", "The Prof, game score 25"},
                                    {"Marigold", "0", "The Prof, hand score 0"}};
        for (const QStringList& row : rows) {
            t.LblScores[2]->setText(row[0]);
            t.LblHandSc[2]->setText(row[1]);
            QCOMPARE(scores->child(1)->text(QAccessible::Name), row[2]);
        }
    }

    // Exit asks only in a game, in the game's dialog; the close box always asks, in the standard box.
    void exitAndCloseBox_data() { Rows(kExits); }
    void exitAndCloseBox() {
        QFETCH(int, i);
        const auto& [name, inGame, closeBox, confirm, asked] = kExits[i];
        StartUp();
        G.GameOn = inGame;
        DialogScript script;
        script.answer["Really Exit?"] = !confirm;
        script.boxAnswer = confirm ? QMessageBox::Ok : QMessageBox::Cancel;
        script.Install();
        closeBox ? void(TableForm().close()) : TableForm().MnuExit->trigger();
        QCOMPARE(script.titles, asked ? QStringList{asked} : QStringList{});
        const bool exits = confirm || !asked;
        QVERIFY(exitCalls_ == int(exits) && Waits::Exiting() == exits && TableForm().isVisible() == !exits &&
                Waits::ChainDepth() == 0);
    }

    void changeName_data() { Rows(kNames); }
    void changeName() {
        QFETCH(int, i);
        const auto& [name, yes, typed, stored] = kNames[i];
        WriteBytes(PathOf("Name.dat"), "\"Ann\"\r\n");
        StartUp();
        DialogScript script;
        script.boxAnswer = yes ? QMessageBox::Yes : QMessageBox::No;
        script.inputText = typed;
        script.Install();
        TableForm().MnuChangeName->trigger();
        // Asked for a name only after Yes; the narration uses the new name at once.
        QVERIFY(script.titles.size() == 1 + yes && Shown(TableForm().lblPlayer->text()).endsWith(stored));
        QCOMPARE(Shown(G.PlayerNames[1]), stored);
        QCOMPARE(ReadBytes(PathOf("Name.dat")), DataFiles::FormatName(stored));
        // Whatever the name holds, the sentence it starts still reads left to right after it.
        QTextLayout line(G.PlayerName + " you are in");
        line.beginLayout();
        const QTextLine laid = line.createLine();
        line.endLayout();
        QVERIFY(laid.cursorToX(int(G.PlayerName.size()) + 1) < laid.cursorToX(int(G.PlayerName.size()) + 5));
        // The empty bid beside the name takes no room: its green would hide a long name's end.
        QCOMPARE(TableForm().lblBid[1]->width(), 0);
        Restart();
        QCOMPARE(Shown(G.PlayerName), stored);
    }

    void statistics() {
        WriteBytes(PathOf("Scores.dat"), "3,5,0,12\r\n");
        QList<std::array<int, 4>> totals(19, {1, 2, 3, 4});
        WriteBytes(PathOf("History.dat"),
                   History::Format({{9, true, false, 0, 1, {1, 2, 3, 4}, {1}, totals}}) +
                       "9;0;0;0;0;<b>1</b>,2,3,4;;\n");
        StartUp();
        G.GameOn = true; // works in the middle of a game, leaving the game alone
        G.GameScore = {0, 40, 30, 20, 10};
        DialogScript script;
        script.answer["Delete Statisitcs?"] = 1;
        script.Install();
        TableForm().MnuWon->trigger();
        TableForm().MnuDelete->trigger(); // answered No
        QCOMPARE(script.messages.value(0).split(QRegularExpression("\\D+"), Qt::SkipEmptyParts).join(','),
                 "3,5,0,12");
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), "3,5,0,12\r\n");
        // F5: the game under way and the file's one good game, its totals as a table; every part
        // named, all of it on the table.
        TableForm().Marks->MnuHistory->trigger();
        QWidget* history = HistoryIfOpen(&TableForm());
        QVERIFY(history && TableForm().Client->geometry().contains(history->geometry()));
        auto* games = history->findChild<QListWidget*>();
        QCOMPARE(games->count(), 2);
        games->setCurrentRow(1);
        QVERIFY(games->item(1)->text().endsWith("place 4, sharp, taken back"));
        QCOMPARE(history->findChild<QTableWidget*>()->rowCount(), 19);
        for (QWidget* w : history->findChildren<QWidget*>())
            QVERIFY(w->accessibleName().size() || !w->isVisibleTo(history) || w->parent() != history);
        QTest::keyClick(games, Qt::Key_Escape);
        QVERIFY(!HistoryIfOpen(&TableForm()));
        script.answer.clear();
        TableForm().MnuDelete->trigger(); // now Yes
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), "0,0,0,0\r\n");
        QVERIFY(!QFile::exists(PathOf("History.dat")));
        QVERIFY(G.GamesWon == Counts{} && G.GameOn && G.GameScore == (Counts{0, 40, 30, 20, 10}));
    }
};

QTEST_MAIN(TestTable)
#include "tst_table.moc"
