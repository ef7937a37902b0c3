// The table window: its size, title, menus and shortcuts, the card pictures' names; what
// start-up shows and in which order; the menu commands with their questions answered both ways.
#include "TestSupport.h"

#include "frmHelp.h"

#include <QMenuBar>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestSupport;

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

// Answers like a DialogScript and also records the standard boxes' icons and buttons, the input
// box's prompt and the captions of the message dialog's buttons.
struct Spy : DialogScript {
    QList<QMessageBox::Icon> icons;
    QList<QMessageBox::StandardButtons> buttons;
    QStringList inputPrompts;
    QList<QStringList> deluxeButtons;

    explicit Spy(QMessageBox::StandardButton box = QMessageBox::Ok) {
        boxAnswer = box;
        Waits::ModalHook = [this](QWidget* w) {
            if (auto* m = qobject_cast<QMessageBox*>(w)) {
                icons << m->icon();
                buttons << m->standardButtons();
            } else if (auto* in = qobject_cast<QInputDialog*>(w)) {
                inputPrompts << in->labelText() + "|" + in->textValue();
            } else if (auto* d = qobject_cast<MFormDeluxe*>(w)) {
                QStringList captions;
                for (int i = 0; i < 3; ++i)
                    if (d->Pic1[i]->isVisible()) captions << d->Label1[i]->Caption();
                deluxeButtons << captions;
            }
            Answer(w);
        };
    }
};

const QString kStats = " you have won %1 games. Quimby has won %2 games. Marigodl has won %3 games. "
                       "Tabitha has won %4 games.";

} // namespace

class TestTable : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    int exitCalls_ = 0;

    QString PathOf(const QString& name) const { return dir_.filePath(name); }

    void Activate(Table& t) {
        t.show();
        t.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&t));
    }

  private slots:
    void init() {
        EmptyDir(dir_.path());
        FreshState(dir_.path(), 0.0);
        exitCalls_ = 0;
        ExitHook = [this] { ++exitCalls_; };
    }
    void cleanup() { Waits::ModalHook = nullptr; }
    void cleanupTestCase() {
        if (TableExists()) DestroyTableForm();
        DataFiles::SetDataDirOverride(QString());
    }

    void windowAndMenus() {
        Table& t = TableForm();
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        QCOMPARE(t.windowTitle(), QString("Vantrick!"));
        // 11175 x 8970 twips below the menu bar, nothing more around it.
        QCOMPARE(t.Client->geometry(), QRect(0, t.menuBar()->height(), 745, 598));
        QCOMPARE(t.size(), QSize(745, 598 + t.menuBar()->height()));
        QCOMPARE(t.BtnContinue->text(), QString("Carr&y On"));
        QVERIFY(t.BtnContinue->isHidden());
        // The playing area is drawn over the cloth but never takes a click meant for a card.
        QVERIFY(t.Shape1->testAttribute(Qt::WA_TransparentForMouseEvents));

        QStringList top;
        for (QAction* a : t.menuBar()->actions())
            top << a->text().remove('&'); // captions carry access keys
        QCOMPARE(top, QStringList({"Play", "Help", "Change Your Name", "Game Statistics", "About Vantrick"}));
        QCOMPARE(t.MnuPlay->actions(), (QList<QAction*>{t.MNuNew, t.MnuExit}));
        QCOMPARE(t.MnuHelp->actions(), QList<QAction*>{t.MnuVTHelp});
        QCOMPARE(t.MnuStats->actions(), (QList<QAction*>{t.MnuWon, t.MnuDelete}));
        const std::tuple<QAction*, const char*, QKeySequence> items[] = {
            {t.MNuNew, "New Game", Qt::Key_F2},         {t.MnuExit, "Exit", Qt::CTRL | Qt::Key_X},
            {t.MnuVTHelp, "Vantrick Help", Qt::Key_F1}, {t.MnuWon, "Number Games Won", Qt::Key_F4},
            {t.MnuDelete, "Delete Statistics", {}},     {t.MnuChangeName, "Change Your Name", {}},
            {t.MnuAbout, "About Vantrick", {}}};
        for (const auto& [action, caption, key] : items) {
            QCOMPARE(action->text().remove('&'), QString(caption));
            QCOMPARE(action->shortcut(), key);
            QVERIFY(action->isEnabled());
        }
    }

    void shortcutsFollowThePlayMenu() {
        StartUp();
        Table& t = TableForm();
        Activate(t);
        // Carry On answers its access key, Alt+Y.
        t.BtnContinue->show();
        G.ContinueFlag = false;
        QTest::keyClick(&t, Qt::Key_Y, Qt::AltModifier);
        QTRY_VERIFY(G.ContinueFlag); // after the button's short press animation
        QVERIFY(t.BtnContinue->isHidden());
        // While the Play menu is disabled (dealing) its shortcuts go with it, not the others.
        EnablePlayMenu(false);
        QVERIFY(!t.MnuPlay->menuAction()->isEnabled() && !t.MNuNew->isEnabled() && !t.MnuExit->isEnabled());
        QTest::keyClick(&t, Qt::Key_F2);
        QTest::keyClick(&t, Qt::Key_X, Qt::ControlModifier);
        QVERIFY(!G.GameOn);
        QCOMPARE(exitCalls_, 0);
        // F1 opens the help window beside the table, which stays usable; F4 the statistics.
        QTest::keyClick(&t, Qt::Key_F1);
        QTRY_VERIFY(HelpForm().isVisible());
        QVERIFY(!HelpForm().isModal());
        HelpForm().hide();
        Spy spy;
        Activate(t);
        QTest::keyClick(&t, Qt::Key_F4);
        QCOMPARE(spy.titles, QStringList{"Game Statistics"});
        EnablePlayMenu(true);
        QVERIFY(t.MnuPlay->menuAction()->isEnabled() && t.MNuNew->isEnabled() && t.MnuExit->isEnabled());
        Activate(t);
        QTest::keyClick(&t, Qt::Key_F2); // no game on: deals and bids at once, up to the player's turn
        QVERIFY(G.GameOn && G.HandNumber == 1 && G.Turn == 1);
        QCOMPARE(spy.titles, QStringList{"Game Statistics"});
    }

    void accessibleNames() {
        Table& t = TableForm();
        // Pictures and controls without text have short names of their own.
        QSet<QString> names;
        for (QWidget* w : std::initializer_list<QWidget*>{t.Shape1, t.ImgProf, t.ImgComps3, t.ImgComps0,
                                                          t.FramScores, t.List1})
            names << AccName(w);
        QVERIFY(!names.contains("") && !names.contains("<no interface>") && names.size() == 6);
        for (int i = 1; i <= 52; ++i) {
            QCOMPARE(AccName(t.CardsPic[i]), QString("Card back"));
            QCOMPARE(QAccessible::queryAccessibleInterface(t.CardsPic[i])->role(), QAccessible::Button);
        }
        // Face up a card is named by its card; any back, upright or turned, is only a back.
        MakeCards();
        for (int i : {1, 27, 40, 52}) {
            t.CardsPic[i]->SetImage(i);
            QCOMPARE(AccName(t.CardsPic[i]), G.Cards[i].FullName);
        }
        for (int back = 53; back <= 56; ++back) {
            t.CardsPic[40]->SetImage(back);
            QCOMPARE(AccName(t.CardsPic[40]), QString("Card back"));
        }
    }

    void startUpWithFiles() {
        WriteBytes(PathOf("Name.dat"), "\"Ann\"\r\n");
        WriteBytes(PathOf("Scores.dat"), "3,5,0,12\r\n");
        Table& t = TableForm();
        Sound::PlayFile(QString()); // forget what earlier tests asked for (muted: no sound)
        // Watch every turn of the event loop during start-up.
        struct Snapshot {
            bool visible, riffle, named;
            int lines;
        };
        QList<Snapshot> seen;
        QTimer watch;
        QObject::connect(&watch, &QTimer::timeout, [&] {
            seen << Snapshot{t.isVisible(), Sound::LastRequested() == "RIFFLE.wav",
                             !G.Cards[52].FullName.isEmpty(), int(t.List1->count())};
        });
        watch.start(0);
        StartUp();
        watch.stop();
        // The window is up and the cards named before the pack is shown with its riffle, and
        // the welcome comes last.
        bool riffleBeforeWelcome = false;
        for (const Snapshot& s : seen) {
            if (s.riffle) QVERIFY(s.visible && s.named);
            if (s.lines > 0) QVERIFY(s.riffle);
            riffleBeforeWelcome |= s.riffle && s.lines == 0;
        }
        QVERIFY(riffleBeforeWelcome);

        QCOMPARE(G.PlayerNames, (std::array<QString, 5>{"", "Ann", "The Prof.", "Marigold", "The Lady"}));
        QCOMPARE(G.GamesWon, (std::array<qint16, 5>{0, 3, 5, 0, 12}));
        QStringList greetings;
        for (QLabel* l : {t.lblPlayer, t.LblMarigold, t.lblProf, t.lblTabitha}) {
            greetings << l->text();
            QCOMPARE(l->size(), l->sizeHint()); // each label sizes to its greeting
        }
        QCOMPARE(greetings, QStringList({"Ann", "Hellooo Barnaby", "How do you do Ann", "Hello there "}));
        QCOMPARE(ListLines(), QStringList{"Ann welcome to another round of Vantrick. Just press F2 or use "
                                          "Play menu to deal the cards"});
        QCOMPARE(t.List1->currentRow(), 0);
        QCOMPARE(G.PauseMs, qint16(150));
        QVERIFY(!G.GameOn && t.BtnContinue->isHidden());
        for (int i = 1; i <= 52; ++i)
            QVERIFY(t.CardsPic[i]->isVisible() && t.CardsPic[i]->Image() == 53);
        if (QScreen* screen = t.screen()) {
            const QPoint off = t.frameGeometry().center() - screen->availableGeometry().center();
            QVERIFY2(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1, "not centred on the screen");
        }
        // Reading writes nothing.
        QCOMPARE(ReadBytes(PathOf("Name.dat")), QByteArray("\"Ann\"\r\n"));
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("3,5,0,12\r\n"));
    }

    void startUpWithoutFiles() {
        StartUp();
        QCOMPARE(G.PlayerNames[1], QString("Player"));
        QCOMPARE(TableForm().lblProf->text(), QString("How do you do Player"));
        QVERIFY(ListLines().value(0).startsWith("Player welcome"));
        QCOMPARE(G.GamesWon, (std::array<qint16, 5>{}));
        // No file is written until the name is changed or a game is won.
        QVERIFY(!QFile::exists(PathOf("Name.dat")) && !QFile::exists(PathOf("Scores.dat")));
        // An empty stored name is kept as empty, and the greetings follow it.
        WriteBytes(PathOf("Name.dat"), "\"\"\r\n");
        Restart();
        QCOMPARE(G.PlayerName, QString());
        QCOMPARE(TableForm().lblProf->text(), QString("How do you do "));
    }

    void exitWithoutAndWithGame() {
        // No game in progress: at once, no question, by the menu or by Ctrl+X.
        StartUp();
        Spy spy;
        TableForm().MnuExit->trigger();
        QCOMPARE(exitCalls_, 1);
        QVERIFY(!TableForm().isVisible());
        init();
        StartUp();
        Spy keys;
        Activate(TableForm());
        QTest::keyClick(&TableForm(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(exitCalls_, 1);
        QVERIFY(spy.titles.isEmpty() && keys.titles.isEmpty());

        // In a game it asks; Cancel goes on, Exit ends.
        init();
        StartUp();
        G.GameOn = true;
        G.PlayerName = "Ann";
        Spy ask;
        ask.answer["Really Exit?"] = 1;
        TableForm().MnuExit->trigger();
        QCOMPARE(ask.messages,
                 QStringList{"Ann you are in the middle of a game, are you sure you wish to exit?"});
        QCOMPARE(ask.deluxeButtons, QList<QStringList>{QStringList({"Exit", "Cancel"})});
        QCOMPARE(exitCalls_, 0);
        QVERIFY(TableForm().isVisible() && !Waits::Exiting());
        ask.answer["Really Exit?"] = 0;
        TableForm().MnuExit->trigger();
        QCOMPARE(exitCalls_, 1);
        QVERIFY(Waits::Exiting());
    }

    void closeBoxAsksBothWays() {
        StartUp();
        Table& t = TableForm();
        Spy spy(QMessageBox::Cancel);
        t.close();
        QCOMPARE(spy.titles, QStringList{"Do you really wish to shut everything down?"});
        QCOMPARE(spy.messages, QStringList{"If you click OK then everything will shut down, else click on "
                                           "Cancel and carry on with your game  "});
        QCOMPARE(spy.icons, QList<QMessageBox::Icon>{QMessageBox::Critical});
        QCOMPARE(spy.buttons.value(0), QMessageBox::Ok | QMessageBox::Cancel);
        QVERIFY(t.isVisible() && !Waits::Exiting());
        QCOMPARE(exitCalls_, 0);
        QCOMPARE(Waits::ChainDepth(), 0);
        // In a game the same standard box (not the game's dialog); OK ends everything.
        G.GameOn = true;
        spy.boxAnswer = QMessageBox::Ok;
        t.close();
        QCOMPARE(spy.titles.value(1), QString("Do you really wish to shut everything down?"));
        QCOMPARE(exitCalls_, 1);
        QVERIFY(Waits::Exiting() && !t.isVisible());
    }

    void changeNameAnsweredNo() {
        WriteBytes(PathOf("Name.dat"), "Ann, Smith\r\n");
        StartUp();
        Spy spy(QMessageBox::No);
        spy.inputText = QString("Bob");
        TableForm().MnuChangeName->trigger();
        QCOMPARE(spy.titles, QStringList{"New Name"});
        QCOMPARE(spy.messages, QStringList{"If you wish to enter or change the player's name click Yes"});
        QCOMPARE(spy.icons, QList<QMessageBox::Icon>{QMessageBox::Critical});
        QCOMPARE(spy.buttons.value(0), QMessageBox::Yes | QMessageBox::No);
        QVERIFY(spy.inputPrompts.isEmpty()); // never asked for the name
        QCOMPARE(G.PlayerNames[1], QString("Ann"));
        QCOMPARE(TableForm().lblPlayer->text(), QString("Ann"));
        QCOMPARE(ReadBytes(PathOf("Name.dat")), QByteArray("Ann, Smith\r\n")); // the file keeps its bytes
    }

    void changeNameAnsweredYes() {
        StartUp();
        Spy spy(QMessageBox::Yes);
        spy.inputText = QString("Ann");
        TableForm().MnuChangeName->trigger();
        QCOMPARE(spy.titles, (QStringList{"New Name", "Player's Name"}));
        QCOMPARE(spy.inputPrompts, QStringList{"Please enter player's name.|"}); // no name offered
        QCOMPARE(G.PlayerNames[1], QString("Ann")); // the narration uses the new name at once
        QCOMPARE(TableForm().lblPlayer->text(), QString("Welcome Ann"));
        QCOMPARE(TableForm().lblPlayer->size(), TableForm().lblPlayer->sizeHint());
        Restart();
        QCOMPARE(TableForm().lblProf->text(), QString("How do you do Ann"));

        // A double quote would cut the name short at the next start: it becomes a single quote.
        // Commas and blanks are kept; Cancel stores an empty name, which stays empty.
        const std::pair<std::optional<QString>, QString> typed[] = {
            {"Ann \"Red\" Lee", "Ann 'Red' Lee"}, {" Smith, Ann ", " Smith, Ann "}, {std::nullopt, ""}};
        for (const auto& [text, stored] : typed) {
            Spy again(QMessageBox::Yes);
            again.inputText = text;
            TableForm().MnuChangeName->trigger();
            QCOMPARE(G.PlayerNames[1], stored);
            QCOMPARE(ReadBytes(PathOf("Name.dat")), "\"" + stored.toUtf8() + "\"\r\n");
            Restart();
            QCOMPARE(G.PlayerName, stored);
        }
    }

    void numberGamesWonAndDeleteAnsweredNo() {
        WriteBytes(PathOf("Scores.dat"), "3,5,0,12");
        WriteBytes(PathOf("Name.dat"), "\"Ann\"\r\n");
        StartUp();
        Spy spy;
        spy.answer["Delete Statisitcs?"] = 1;
        TableForm().MnuWon->trigger();
        TableForm().MnuDelete->trigger();
        QCOMPARE(spy.titles, (QStringList{"Game Statistics", "Delete Statisitcs?"}));
        QCOMPARE(spy.messages, (QStringList{kStats.arg(3).arg(5).arg(0).arg(12),
                                            "Ann are you sure you wish to delete all statistics of games "
                                            "won and lost?"}));
        QCOMPARE(spy.deluxeButtons, (QList<QStringList>{{"Right"}, {"Yes", "No"}}));
        QCOMPARE(G.GamesWon, (std::array<qint16, 5>{0, 3, 5, 0, 12}));
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("3,5,0,12"));
    }

    void deleteStatisticsAnsweredYes() {
        WriteBytes(PathOf("Scores.dat"), "3,5,0,12\r\n");
        StartUp();
        G.GameOn = true; // works in the middle of a game, leaving the game alone
        G.GameScore = {0, 40, 30, 20, 10};
        Spy spy;
        TableForm().MnuDelete->trigger();
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("0,0,0,0\r\n"));
        QCOMPARE(G.GameScore, (std::array<qint16, 5>{0, 40, 30, 20, 10}));
        QVERIFY(G.GameOn);
        TableForm().MnuWon->trigger();
        QCOMPARE(spy.messages.last(), kStats.arg(0).arg(0).arg(0).arg(0));
        Restart();
        QCOMPARE(G.GamesWon, (std::array<qint16, 5>{}));
    }
};

QTEST_MAIN(TestTable)
#include "tst_table.moc"
