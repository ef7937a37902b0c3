// The table window: its size, layout, captions, colours, fonts, menus and shortcuts; what
// start-up shows and in which order; the commands of the menu bar with their questions
// answered both ways; and the games-won statistics across a restart.

#include "TestSupport.h"

#include "DataFiles.h"
#include "MFormDeluxe.h"
#include "ModVariables.h"
#include "Sound.h"
#include "Table.h"
#include "Twips.h"
#include "Waits.h"
#include "frmHelp.h"

#include <QAccessible>
#include <QFile>
#include <QFrame>
#include <QInputDialog>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

namespace {

using TestSupport::ReadBytes;
using TestSupport::WriteBytes;

void StartUp() {
    Waits::RunChain([] { TableForm().Form_Load(); });
}

// The program run again: a new table and state, reading the same files.
void Restart() {
    DestroyTableForm();
    ResetGameState();
    StartUp();
}

QColor PixelAt(QWidget* w, QPoint p) {
    const QImage img = w->grab().toImage();
    const qreal dpr = img.devicePixelRatio();
    return img.pixelColor(QPoint(int(p.x() * dpr), int(p.y() * dpr)));
}

QString AccName(QObject* o) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(o);
    return a ? a->text(QAccessible::Name) : QString("<no interface>");
}

// Answers dialogs with a DialogScript and also records what the standard boxes and the
// message dialog looked like: icon, buttons, the input box's prompt and default.
struct Spy {
    TestSupport::DialogScript script;
    QList<QMessageBox::Icon> icons;
    QList<QMessageBox::StandardButtons> buttons;
    QStringList inputPrompts;
    QStringList inputDefaults;
    QList<QStringList> deluxeButtons;

    void Install() {
        Waits::ModalHook = [this](QWidget* w) {
            if (auto* m = qobject_cast<QMessageBox*>(w)) {
                icons << m->icon();
                buttons << m->standardButtons();
            } else if (auto* in = qobject_cast<QInputDialog*>(w)) {
                inputPrompts << in->labelText();
                inputDefaults << in->textValue();
            } else if (auto* d = qobject_cast<MFormDeluxe*>(w)) {
                QStringList captions;
                for (int i = 0; i < 3; ++i)
                    if (d->Pic1[i]->isVisible()) captions << d->Label1[i]->Caption();
                deluxeButtons << captions;
            }
            script.Answer(w);
        };
    }
};

} // namespace

class TestTable : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    int exitCalls_ = 0;

    QString PathOf(const QString& name) const { return dir_.path() + "/" + name; }

    void Activate(Table& t) {
        t.show();
        t.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&t));
    }

    QWidget* Control(Table& t, const QString& name) {
        const QHash<QString, QWidget*> controls{{"Shape1", t.Shape1},
                                                {"lblPlayer", t.lblPlayer},
                                                {"lblProf", t.lblProf},
                                                {"LblMarigold", t.LblMarigold},
                                                {"lblTabitha", t.lblTabitha},
                                                {"lblBid1", t.lblBid[1]},
                                                {"lblBid2", t.lblBid[2]},
                                                {"lblBid3", t.lblBid[3]},
                                                {"lblBid4", t.lblBid[4]},
                                                {"ImgProf", t.ImgProf},
                                                {"ImgComps3", t.ImgComps3},
                                                {"ImgComps0", t.ImgComps0},
                                                {"FramScores", t.FramScores},
                                                {"LblScores1", t.LblScores[1]},
                                                {"LblScores2", t.LblScores[2]},
                                                {"LblScores3", t.LblScores[3]},
                                                {"LblScores4", t.LblScores[4]},
                                                {"LblHandSc1", t.LblHandSc[1]},
                                                {"LblHandSc4", t.LblHandSc[4]},
                                                {"LblRounds", t.LblRounds},
                                                {"LblTrumps", t.LblTrumps},
                                                {"BtnContinue", t.BtnContinue},
                                                {"List1", t.List1}};
        return controls.value(name);
    }

  private slots:
    void init() {
        QVERIFY(dir_.isValid());
        QDir d(dir_.path());
        for (const QString& f : d.entryList(QDir::Files | QDir::Hidden))
            d.remove(f);
        TestSupport::FreshState(dir_.path(), 0.0);
        exitCalls_ = 0;
        ExitHook = [this] { ++exitCalls_; };
    }

    void cleanup() { Waits::ModalHook = nullptr; }

    void windowAndClientArea() {
        Table& t = TableForm();
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        QCOMPARE(t.windowTitle(), QString("Vantrick!"));
        QCOMPARE(t.centralWidget(), t.Client);
        // 11175 x 8970 twips below the menu bar, nothing more around it.
        QCOMPARE(t.Client->size(), QSize(745, 598));
        QCOMPARE(t.Client->geometry(), QRect(0, t.menuBar()->height(), 745, 598));
        QCOMPARE(t.size(), QSize(745, 598 + t.menuBar()->height()));
        QVERIFY(!t.windowIcon().isNull());

        // The cloth: dark green where nothing stands, the playing area green with a brown rim.
        const QPoint bare(600, 467);
        QVERIFY(!t.Client->childAt(bare));
        QCOMPARE(PixelAt(t.Client, bare), QColor(0, 64, 0));
        const QRect area = t.Shape1->geometry();
        QCOMPARE(PixelAt(t.Client, QPoint(Px(3200), Px(5600))), QColor(0, 128, 0));
        QCOMPARE(PixelAt(t.Client, QPoint(area.left() + 1, area.center().y())), QColor(128, 64, 0));
        QCOMPARE(PixelAt(t.Client, QPoint(area.center().x(), area.bottom() - 1)), QColor(128, 64, 0));
        // The playing area never takes a click meant for a card.
        QVERIFY(t.Shape1->testAttribute(Qt::WA_TransparentForMouseEvents));
    }

    void controlGeometry_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QRect>("twips"); // an empty size: a label that sizes to its text
        QTest::newRow("Shape1") << "Shape1" << QRect(2760, 2400, 5280, 3645);
        QTest::newRow("lblPlayer") << "lblPlayer" << QRect(840, 7680, 0, 0);
        QTest::newRow("lblProf") << "lblProf" << QRect(0, 4440, 0, 0);
        QTest::newRow("LblMarigold") << "LblMarigold" << QRect(2280, 960, 0, 0);
        QTest::newRow("lblTabitha") << "lblTabitha" << QRect(9720, 4440, 0, 0);
        QTest::newRow("lblBid(1)") << "lblBid1" << QRect(3000, 7680, 0, 0);
        QTest::newRow("lblBid(2)") << "lblBid2" << QRect(0, 4800, 1395, 960);
        QTest::newRow("lblBid(3)") << "lblBid3" << QRect(3240, 120, 0, 0);
        QTest::newRow("lblBid(4)") << "lblBid4" << QRect(9720, 4800, 1395, 1080);
        QTest::newRow("ImgProf") << "ImgProf" << QRect(0, 3600, 675, 825);
        QTest::newRow("ImgComps(3)") << "ImgComps3" << QRect(2280, 120, 825, 840);
        QTest::newRow("ImgComps(0)") << "ImgComps0" << QRect(10440, 3480, 525, 855);
        QTest::newRow("FramScores") << "FramScores" << QRect(7800, 0, 3255, 1695);
        QTest::newRow("LblScores(1)") << "LblScores1" << QRect(120, 240, 1935, 255);
        QTest::newRow("LblScores(2)") << "LblScores2" << QRect(120, 600, 1935, 255);
        QTest::newRow("LblScores(3)") << "LblScores3" << QRect(120, 960, 1935, 255);
        QTest::newRow("LblScores(4)") << "LblScores4" << QRect(120, 1320, 1935, 255);
        QTest::newRow("LblHandSc(1)") << "LblHandSc1" << QRect(2160, 240, 615, 255);
        QTest::newRow("LblHandSc(4)") << "LblHandSc4" << QRect(2160, 1320, 615, 255);
        QTest::newRow("LblRounds") << "LblRounds" << QRect(8040, 1800, 3255, 375);
        QTest::newRow("LblTrumps") << "LblTrumps" << QRect(8040, 2160, 3135, 255);
        QTest::newRow("BtnContinue") << "BtnContinue" << QRect(4800, 3840, 1095, 735);
        QTest::newRow("List1") << "List1" << QRect(0, 8040, 11175, 915);
    }
    void controlGeometry() {
        QFETCH(QString, control);
        QFETCH(QRect, twips);
        Table& t = TableForm();
        QWidget* w = Control(t, control);
        QVERIFY(w);
        if (twips.width() == 0) {
            QCOMPARE(w->pos(), QPoint(Px(twips.left()), Px(twips.top())));
            if (auto* l = qobject_cast<QLabel*>(w); l && !l->text().isEmpty())
                QCOMPARE(w->size(), l->sizeHint()); // exactly its text's size
        } else {
            QCOMPARE(w->geometry(), PxRect(twips.left(), twips.top(), twips.width(), twips.height()));
        }
    }

    void labelsSizeToTheirText() {
        Table& t = TableForm();
        const int before = t.lblTabitha->width();
        SetCaption(t.lblTabitha, "Lady Tabitha has a much longer caption now");
        QVERIFY(t.lblTabitha->width() > before);
        QCOMPARE(t.lblTabitha->size(), t.lblTabitha->sizeHint());
        QCOMPARE(t.lblTabitha->pos(), QPoint(Px(9720), Px(4440)));
        // A fixed label keeps its box whatever it shows, and wraps inside it.
        SetCaption(t.lblBid[2], "Bid: 3 Tricks made: 2 and a good deal more text");
        QCOMPARE(t.lblBid[2]->geometry(), PxRect(0, 4800, 1395, 960));
        QVERIFY(t.lblBid[2]->wordWrap());
    }

    void captionsAndTooltips() {
        Table& t = TableForm();
        QCOMPARE(t.BtnContinue->text(), QString("Carr&y On"));
        QVERIFY(t.BtnContinue->isHidden());
        QCOMPARE(t.lblPlayer->text(), QString("Player"));
        QCOMPARE(t.lblProf->text(), QString("Prof. Quimby"));
        QCOMPARE(t.LblMarigold->text(), QString("Marigold"));
        QCOMPARE(t.lblTabitha->text(), QString("Lady Tabitha"));
        const QStringList rows{"Player", "Prof. Quimby", "Marigold", "Lady Tabitha"};
        for (int s = 1; s <= 4; ++s) {
            QCOMPARE(t.LblScores[s]->text(), rows.at(s - 1));
            QVERIFY(t.LblHandSc[s]->text().isEmpty());
            QVERIFY(t.lblBid[s]->text().isEmpty());
        }
        QVERIFY(t.LblRounds->text().isEmpty());
        QVERIFY(t.LblTrumps->text().isEmpty());
        QCOMPARE(t.List1->count(), 0);
        auto* caption = t.FramScores->findChild<QLabel*>("FramScoresCaption");
        QVERIFY(caption);
        QCOMPARE(caption->text(), QString("Game Score" + QString(12, ' ') + "Hand Score"));

        QCOMPARE(t.ImgProf->toolTip(), QString("The handsome Professor"));
        QCOMPARE(t.ImgComps3->toolTip(), QString("Beautiful Marigold"));
        QCOMPARE(t.ImgComps0->toolTip(), QString("Her Ladyship"));
        QCOMPARE(t.FramScores->toolTip(), QString("The  scores"));
        QCOMPARE(t.LblRounds->toolTip(), QString("Current number cards dealt this hand"));
        QVERIFY(t.LblTrumps->toolTip().isEmpty());
        QCOMPARE(t.BtnContinue->toolTip(), QString("Click to play next trick"));
        QCOMPARE(t.List1->toolTip(), QString("General Instructions and record of game"));
    }

    void carryOnAccessKey() {
        Table& t = TableForm();
        Activate(t);
        t.BtnContinue->show();
        G.ContinueFlag = false;
        QTest::keyClick(&t, Qt::Key_Y, Qt::AltModifier);
        QTRY_VERIFY(G.ContinueFlag); // a mnemonic clicks the button after its short press animation
        QVERIFY(t.BtnContinue->isHidden());
    }

    void colours() {
        Table& t = TableForm();
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        auto back = [](QWidget* w) { return w->palette().color(w->backgroundRole()); };
        auto text = [](QWidget* w) { return w->palette().color(w->foregroundRole()); };
        const QColor darkGreen(0, 64, 0), lightYellow(255, 255, 128), paleYellow(255, 255, 192);
        for (QLabel* l :
             {t.lblPlayer, t.LblMarigold, t.lblTabitha, t.lblBid[1], t.lblBid[2], t.lblBid[3], t.lblBid[4]}) {
            QCOMPARE(back(l), darkGreen);
            QCOMPARE(text(l), lightYellow);
            QVERIFY(l->autoFillBackground());
        }
        QCOMPARE(back(t.lblProf), QColor(0, 64, 64));
        QCOMPARE(text(t.lblProf), lightYellow);
        for (int s = 1; s <= 4; ++s) {
            for (QLabel* l : {t.LblScores[s], t.LblHandSc[s]}) {
                QCOMPARE(back(l), paleYellow);
                QVERIFY(text(l).lightness() < 64);
            }
        }
        for (QLabel* l : {t.LblRounds, t.LblTrumps}) {
            QCOMPARE(back(l), darkGreen);
            QCOMPARE(text(l), paleYellow);
        }
        QCOMPARE(t.List1->palette().color(QPalette::Base), QColor(0, 0, 128));
        QCOMPARE(t.List1->palette().color(QPalette::Text), QColor(128, 255, 255));

        // As drawn: the teal name label, the olive score frame, the navy list, the olive button.
        QCOMPARE(PixelAt(t.lblProf, QPoint(t.lblProf->width() - 1, 0)), QColor(0, 64, 64));
        QCOMPARE(PixelAt(t.FramScores, QPoint(t.FramScores->width() - 5, t.FramScores->height() - 5)),
                 QColor(192, 192, 0));
        QCOMPARE(PixelAt(t.List1, QPoint(20, 20)), QColor(0, 0, 128));
        t.BtnContinue->show();
        QCOMPARE(PixelAt(t.BtnContinue, QPoint(5, t.BtnContinue->height() / 2)), QColor(192, 192, 0));
    }

    void fonts() {
        Table& t = TableForm();
        auto check = [](const QFont& f, const QString& family, qreal points, bool bold, bool italic) {
            QCOMPARE(f.families().value(0), family);
            QVERIFY2(f.families().size() >= 2, "no fallback family");
            QCOMPARE(f.pointSizeF(), points);
            QCOMPARE(f.bold(), bold);
            QCOMPARE(f.italic(), italic);
        };
        check(t.font(), "Verdana", 9.75, true, false);
        check(t.lblPlayer->font(), "Verdana", 11.25, true, false);
        for (QLabel* l : {t.lblProf, t.LblMarigold, t.lblTabitha})
            check(l->font(), "Verdana", 9.75, true, true);
        for (int s = 1; s <= 4; ++s) {
            check(t.LblScores[s]->font(), "Verdana", 9, true, false);
            check(t.LblHandSc[s]->font(), "Verdana", 9, true, false);
        }
        auto* caption = t.FramScores->findChild<QLabel*>("FramScoresCaption");
        QVERIFY(caption);
        check(caption->font(), "Verdana", 8.25, true, false);
        QVERIFY(caption->font().underline());
        check(t.List1->font(), "Times New Roman", 12, true, false);
        check(t.BtnContinue->font(), "Verdana", 9, true, false);
        check(t.LblRounds->font(), "Verdana", 9.75, true, false); // the window's default
        // The fallbacks: the families that come with the game's dependencies.
        QVERIFY(t.font().families().contains("DejaVu Sans"));
        QVERIFY(t.List1->font().families().contains("Liberation Serif"));
    }

    void menusAndShortcuts() {
        Table& t = TableForm();
        QStringList top;
        for (QAction* a : t.menuBar()->actions())
            top << a->text();
        QCOMPARE(top, QStringList({"Play", "Help", "Change Your Name", "Game Statistics", "About Vantrick"}));
        QCOMPARE(t.menuBar()->actions().at(0), t.MnuPlay->menuAction());
        QCOMPARE(t.menuBar()->actions().at(1), t.MnuHelp->menuAction());
        QCOMPARE(t.menuBar()->actions().at(2), t.MnuChangeName);
        QCOMPARE(t.menuBar()->actions().at(3), t.MnuStats->menuAction());
        QCOMPARE(t.menuBar()->actions().at(4), t.MnuAbout);

        QCOMPARE(t.MnuPlay->actions(), (QList<QAction*>{t.MNuNew, t.MnuExit}));
        QCOMPARE(t.MnuHelp->actions(), QList<QAction*>{t.MnuVTHelp});
        QCOMPARE(t.MnuStats->actions(), (QList<QAction*>{t.MnuWon, t.MnuDelete}));
        const QList<std::pair<QAction*, QString>> items{{t.MNuNew, "New Game"},
                                                        {t.MnuExit, "Exit"},
                                                        {t.MnuVTHelp, "Vantrick Help"},
                                                        {t.MnuWon, "Number Games Won"},
                                                        {t.MnuDelete, "Delete Statistics"}};
        for (const auto& [action, caption] : items)
            QCOMPARE(action->text(), caption);

        QCOMPARE(t.MNuNew->shortcut(), QKeySequence(Qt::Key_F2));
        QCOMPARE(t.MnuExit->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_X));
        QCOMPARE(t.MnuVTHelp->shortcut(), QKeySequence(Qt::Key_F1));
        QCOMPARE(t.MnuWon->shortcut(), QKeySequence(Qt::Key_F4));
        for (QAction* a : {t.MnuDelete, t.MnuChangeName, t.MnuAbout})
            QVERIFY(a->shortcut().isEmpty());
        for (QAction* a : t.menuBar()->actions())
            QVERIFY(a->isEnabled());
        for (const auto& item : items)
            QVERIFY(item.first->isEnabled());

        // Disabling the Play menu (while dealing) takes its shortcuts with it, not the others.
        EnablePlayMenu(false);
        QVERIFY(!t.MnuPlay->menuAction()->isEnabled());
        QVERIFY(!t.MNuNew->isEnabled() && !t.MnuExit->isEnabled());
        QVERIFY(t.MnuVTHelp->isEnabled() && t.MnuWon->isEnabled());
        StartUp();
        Activate(t);
        EnablePlayMenu(false);
        QTest::keyClick(&t, Qt::Key_F2);
        QTest::keyClick(&t, Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(G.HandNumber, qint16(0));
        QVERIFY(!G.GameOn);
        QCOMPARE(exitCalls_, 0);
        EnablePlayMenu(true);
        QVERIFY(t.MnuPlay->menuAction()->isEnabled() && t.MNuNew->isEnabled() && t.MnuExit->isEnabled());

        // F1 opens the help window beside the table, which stays usable.
        QTest::keyClick(&t, Qt::Key_F1);
        QTRY_VERIFY(HelpForm().isVisible());
        QVERIFY(!HelpForm().isModal());
        HelpForm().hide();

        // F4 shows the statistics.
        Spy spy;
        spy.Install();
        Activate(t);
        QTest::keyClick(&t, Qt::Key_F4);
        QCOMPARE(spy.script.titles, QStringList{"Game Statistics"});
    }

    void accessibleNames() {
        Table& t = TableForm();
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        // Labels and buttons by the text they show.
        for (QLabel* l :
             {t.lblPlayer, t.lblProf, t.LblMarigold, t.lblTabitha, t.LblScores[1], t.LblScores[4]})
            QCOMPARE(AccName(l), l->text());
        SetCaption(t.LblRounds, "A 10 card Hand.");
        QCOMPARE(AccName(t.LblRounds), QString("A 10 card Hand."));
        QCOMPARE(AccName(t.BtnContinue), QString("Carry On"));
        QCOMPARE(QAccessible::queryAccessibleInterface(t.BtnContinue)->role(), QAccessible::Button);
        // Pictures and controls without text have short names of their own.
        for (QWidget* w : {static_cast<QWidget*>(t.Shape1), static_cast<QWidget*>(t.ImgProf),
                           static_cast<QWidget*>(t.ImgComps3), static_cast<QWidget*>(t.ImgComps0),
                           static_cast<QWidget*>(t.FramScores), static_cast<QWidget*>(t.List1)})
            QVERIFY2(!AccName(w).isEmpty() && AccName(w) != "<no interface>", qPrintable(w->objectName()));
        QVERIFY(AccName(t.ImgProf) != AccName(t.ImgComps3) && AccName(t.ImgComps3) != AccName(t.ImgComps0));

        // The message list is a list whose items are its lines.
        ShowInfo("first line");
        ShowInfo("second line");
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(t.List1);
        QCOMPARE(list->role(), QAccessible::List);
        QStringList lines;
        for (int i = 0; i < list->childCount(); ++i)
            if (list->child(i)->role() == QAccessible::ListItem)
                lines << list->child(i)->text(QAccessible::Name);
        QCOMPARE(lines, QStringList({"first line", "second line"}));

        // The menu bar's entries carry their captions.
        QAccessibleInterface* bar = QAccessible::queryAccessibleInterface(t.menuBar());
        QStringList entries;
        for (int i = 0; i < bar->childCount(); ++i)
            entries << bar->child(i)->text(QAccessible::Name);
        QCOMPARE(entries,
                 QStringList({"Play", "Help", "Change Your Name", "Game Statistics", "About Vantrick"}));
    }

    void cardPictures() {
        Table& t = TableForm();
        t.show();
        QVERIFY(QTest::qWaitForWindowExposed(&t));
        QSet<CardPic*> distinct;
        for (int i = 1; i <= 52; ++i) {
            CardPic* c = t.CardsPic[i];
            QVERIFY(c);
            QCOMPARE(c->Index(), i);
            QCOMPARE(c->parentWidget(), t.Client);
            QCOMPARE(c->Image(), 53);
            QCOMPARE(c->isVisible(), i == 1); // only the design's own element shows before start-up
            QCOMPARE(AccName(c), QString("Card back"));
            QCOMPARE(QAccessible::queryAccessibleInterface(c)->role(), QAccessible::Button);
            distinct.insert(c);
        }
        QCOMPARE(distinct.size(), 52);
        QVERIFY(!t.CardsPic[0]);
        QCOMPARE(t.CardsPic[1]->Left(), 1440);
        QCOMPARE(t.CardsPic[1]->Top(), 3840);
        QCOMPARE(t.CardsPic[1]->pos(), QPoint(Px(1440), Px(3840)));

        // Face up a card is named by its card; any back, upright or turned, is only a back.
        MakeCards();
        for (int i : {1, 13, 14, 26, 27, 40, 52}) {
            t.CardsPic[i]->SetImage(i);
            QCOMPARE(AccName(t.CardsPic[i]), G.Cards[i].FullName);
        }
        QCOMPARE(AccName(t.CardsPic[40]), QString("Ace of Spades"));
        for (int back = 53; back <= 56; ++back) {
            t.CardsPic[40]->SetImage(back);
            QCOMPARE(AccName(t.CardsPic[40]), QString("Card back"));
        }
        // Its place is kept in twips as given, the widget at the nearest pixel.
        t.CardsPic[7]->Move(5193, 3327);
        QCOMPARE(t.CardsPic[7]->Left(), 5193);
        QCOMPARE(t.CardsPic[7]->Top(), 3327);
        QCOMPARE(t.CardsPic[7]->pos(), QPoint(Px(5193), Px(3327)));
    }

    void startUpWithFiles() {
        WriteBytes(PathOf("Name.dat"), "\"Ann\"\r\n");
        WriteBytes(PathOf("Scores.dat"), "3,5,0,12\r\n");
        Table& t = TableForm();
        Sound::PlayFile(QString()); // forget what earlier tests asked for (muted: no sound)

        // Watch every turn of the event loop during start-up.
        struct Snapshot {
            bool visible;
            bool riffle;
            bool named;
            int lines;
        };
        QList<Snapshot> seen;
        QTimer watch;
        watch.setInterval(0);
        QObject::connect(&watch, &QTimer::timeout, [&] {
            seen << Snapshot{t.isVisible(), Sound::LastRequested() == "RIFFLE.wav",
                             !G.Cards[52].FullName.isEmpty(), int(t.List1->count())};
        });
        watch.start();
        StartUp();
        watch.stop();

        // The window is up and named before the pack is shown with its riffle, and the
        // welcome comes last.
        QVERIFY(!seen.isEmpty());
        bool riffleBeforeWelcome = false;
        for (const Snapshot& s : seen) {
            if (s.riffle) QVERIFY(s.visible && s.named);
            if (s.lines > 0) QVERIFY(s.riffle);
            if (s.riffle && s.lines == 0) riffleBeforeWelcome = true;
        }
        QVERIFY(riffleBeforeWelcome);

        QCOMPARE(G.PlayerName, QString("Ann"));
        QCOMPARE(G.PlayerNames[1], QString("Ann"));
        QCOMPARE(G.PlayerNames[2], QString("The Prof."));
        QCOMPARE(G.PlayerNames[3], QString("Marigold"));
        QCOMPARE(G.PlayerNames[4], QString("The Lady"));
        QCOMPARE(G.GamesWon, (std::array<qint16, 5>{0, 3, 5, 0, 12}));
        QCOMPARE(t.lblPlayer->text(), QString("Ann"));
        QCOMPARE(t.LblMarigold->text(), QString("Hellooo Barnaby"));
        QCOMPARE(t.lblProf->text(), QString("How do you do Ann"));
        QCOMPARE(t.lblTabitha->text(), QString("Hello there "));
        for (QLabel* l : {t.lblPlayer, t.LblMarigold, t.lblProf, t.lblTabitha})
            QCOMPARE(l->size(), l->sizeHint());
        QCOMPARE(t.List1->count(), 1);
        QCOMPARE(t.List1->item(0)->text(), QString("Ann welcome to another round of Vantrick. Just press F2 "
                                                   "or use Play menu to deal the cards"));
        QCOMPARE(t.List1->currentRow(), 0);
        QCOMPARE(Sound::LastRequested(), QString("RIFFLE.wav"));
        QCOMPARE(G.PauseMs, qint16(150));
        QVERIFY(!G.GameOn);
        QCOMPARE(G.Dealer, qint16(0));
        QCOMPARE(G.HandNumber, qint16(0));
        QCOMPARE(G.Cards[27].FullName, QString("Ace of Hearts"));
        QVERIFY(t.isVisible());
        QVERIFY(t.BtnContinue->isHidden());

        // The whole pack face down in the middle, each card 3 twips right of and above the one
        // below, the last on top.
        for (int i = 1; i <= 52; ++i) {
            CardPic* c = t.CardsPic[i];
            QCOMPARE(int(G.Cards[i].Holder), 0);
            QVERIFY(c->isVisible());
            QCOMPARE(c->Image(), 53);
            QCOMPARE(AccName(c), QString("Card back"));
            QCOMPARE(c->Left(), 5040 + 3 * (i - 1));
            QCOMPARE(c->Top(), 3480 - 3 * (i - 1));
        }
        QCOMPARE(t.CardsPic[1]->pos(), QPoint(Px(5040), Px(3480)));
        QCOMPARE(t.CardsPic[52]->pos(), QPoint(Px(5193), Px(3327)));
        const QRect top = t.CardsPic[52]->geometry();
        QCOMPARE(t.Client->childAt(top.topRight() + QPoint(-1, 1)), t.CardsPic[52]);

        // Centred on the screen.
        if (QScreen* screen = t.screen()) {
            const QPoint off = t.frameGeometry().center() - screen->availableGeometry().center();
            QVERIFY2(qAbs(off.x()) <= 1 && qAbs(off.y()) <= 1,
                     qPrintable(QString("%1,%2").arg(off.x()).arg(off.y())));
        }
        // Reading writes nothing.
        QCOMPARE(ReadBytes(PathOf("Name.dat")), QByteArray("\"Ann\"\r\n"));
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("3,5,0,12\r\n"));
    }

    void startUpWithoutFiles() {
        StartUp();
        Table& t = TableForm();
        QCOMPARE(G.PlayerName, QString("Player"));
        QCOMPARE(G.PlayerNames[1], QString("Player"));
        QCOMPARE(t.lblPlayer->text(), QString("Player"));
        QCOMPARE(t.lblProf->text(), QString("How do you do Player"));
        QCOMPARE(t.List1->item(0)->text(), QString("Player welcome to another round of Vantrick. Just press "
                                                   "F2 or use Play menu to deal the cards"));
        QCOMPARE(G.GamesWon, (std::array<qint16, 5>{}));
        // No file is written until the name is changed or a game is won.
        QVERIFY(!QFile::exists(PathOf("Name.dat")));
        QVERIFY(!QFile::exists(PathOf("Scores.dat")));

        // An empty stored name is kept as empty, and the greetings follow it.
        WriteBytes(PathOf("Name.dat"), "\"\"\r\n");
        Restart();
        QCOMPARE(G.PlayerName, QString());
        QCOMPARE(TableForm().lblProf->text(), QString("How do you do "));
    }

    void newGameWithoutGameInProgress() {
        StartUp();
        Table& t = TableForm();
        Spy spy;
        spy.Install();
        Activate(t);
        QTest::keyClick(&t, Qt::Key_F2); // deals and bids, then play reaches the player
        QVERIFY(!spy.script.titles.contains("New Game?"));
        QVERIFY(G.GameOn);
        QCOMPARE(G.HandNumber, qint16(1));
        QCOMPARE(G.HandSize, qint16(10));
        QCOMPARE(t.LblRounds->text(), QString("A 10 card Hand."));
        int held = 0;
        for (int i = 1; i <= 52; ++i)
            held += G.Cards[i].Holder != 0;
        QCOMPARE(held, 40);
        QCOMPARE(G.Turn, qint16(1));
        QVERIFY(G.Dealer >= 1 && G.Dealer <= 4);
        QVERIFY(t.MnuPlay->menuAction()->isEnabled() && t.MNuNew->isEnabled());
    }

    void exitWithoutAndWithGame() {
        StartUp();
        Table& t = TableForm();
        Spy spy;
        spy.Install();
        // No game in progress: at once, no question.
        t.MnuExit->trigger();
        QCOMPARE(exitCalls_, 1);
        QVERIFY(spy.script.titles.isEmpty());
        QVERIFY(!t.isVisible());

        // The same by Ctrl+X.
        init();
        StartUp();
        Spy keys;
        keys.Install();
        Activate(TableForm());
        QTest::keyClick(&TableForm(), Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(exitCalls_, 1);
        QVERIFY(keys.script.titles.isEmpty());

        // In a game it asks; Cancel goes on, Exit ends.
        init();
        StartUp();
        Table& t2 = TableForm();
        G.GameOn = true;
        G.PlayerName = "Ann";
        Spy ask;
        ask.script.answer["Really Exit?"] = 1;
        ask.Install();
        t2.MnuExit->trigger();
        QCOMPARE(ask.script.titles, QStringList{"Really Exit?"});
        QCOMPARE(ask.script.messages,
                 QStringList{"Ann you are in the middle of a game, are you sure you wish to exit?"});
        QCOMPARE(ask.deluxeButtons, QList<QStringList>{QStringList({"Exit", "Cancel"})});
        QCOMPARE(exitCalls_, 0);
        QVERIFY(t2.isVisible());
        QVERIFY(!Waits::Exiting());
        ask.script.answer["Really Exit?"] = 0;
        t2.MnuExit->trigger();
        QCOMPARE(exitCalls_, 1);
        QVERIFY(Waits::Exiting());
    }

    void closeBoxAsksBothWays() {
        StartUp();
        Table& t = TableForm();
        Spy spy;
        spy.script.boxAnswer = QMessageBox::Cancel;
        spy.Install();
        t.close();
        QCOMPARE(spy.script.titles, QStringList{"Do you really wish to shut everything down?"});
        QCOMPARE(spy.script.messages,
                 QStringList{"If you click OK then everything will shut down, else click on "
                             "Cancel and carry on with your game  "});
        QCOMPARE(spy.icons, QList<QMessageBox::Icon>{QMessageBox::Critical});
        QCOMPARE(spy.buttons.value(0), QMessageBox::Ok | QMessageBox::Cancel);
        QVERIFY(t.isVisible());
        QCOMPARE(exitCalls_, 0);
        QVERIFY(!Waits::Exiting());
        QCOMPARE(Waits::ChainDepth(), 0);

        // Asked in a game too (the standard box, not the game's dialog); OK ends everything.
        G.GameOn = true;
        spy.script.boxAnswer = QMessageBox::Ok;
        t.close();
        QCOMPARE(spy.script.titles.size(), 2);
        QCOMPARE(spy.script.titles.at(1), QString("Do you really wish to shut everything down?"));
        QCOMPARE(exitCalls_, 1);
        QVERIFY(Waits::Exiting());
        QVERIFY(!t.isVisible());
    }

    void changeNameAnsweredNo() {
        StartUp();
        Table& t = TableForm();
        Spy spy;
        spy.script.boxAnswer = QMessageBox::No;
        spy.script.inputText = QString("Bob");
        spy.Install();
        t.MnuChangeName->trigger();
        QCOMPARE(spy.script.titles, QStringList{"New Name"});
        QCOMPARE(spy.script.messages,
                 QStringList{"If you wish to enter or change the player's name click Yes"});
        QCOMPARE(spy.icons, QList<QMessageBox::Icon>{QMessageBox::Critical});
        QCOMPARE(spy.buttons.value(0), QMessageBox::Yes | QMessageBox::No);
        QVERIFY(spy.inputPrompts.isEmpty()); // never asked for the name
        QCOMPARE(G.PlayerName, QString("Player"));
        QCOMPARE(G.PlayerNames[1], QString("Player"));
        QCOMPARE(t.lblPlayer->text(), QString("Player"));
        QVERIFY(!QFile::exists(PathOf("Name.dat")));

        // An existing file keeps its bytes.
        WriteBytes(PathOf("Name.dat"), "Ann, Smith\r\n");
        Restart();
        Spy again;
        again.script.boxAnswer = QMessageBox::No;
        again.Install();
        TableForm().MnuChangeName->trigger();
        QCOMPARE(G.PlayerName, QString("Ann"));
        QCOMPARE(ReadBytes(PathOf("Name.dat")), QByteArray("Ann, Smith\r\n"));
    }

    void changeNameAnsweredYes() {
        StartUp();
        Table& t = TableForm();
        Spy spy;
        spy.script.boxAnswer = QMessageBox::Yes;
        spy.script.inputText = QString("Ann");
        spy.Install();
        t.MnuChangeName->trigger();
        QCOMPARE(spy.script.titles, (QStringList{"New Name", "Player's Name"}));
        QCOMPARE(spy.inputPrompts, QStringList{"Please enter player's name."});
        QCOMPARE(spy.inputDefaults, QStringList{QString()});
        QCOMPARE(G.PlayerName, QString("Ann"));
        QCOMPARE(G.PlayerNames[1], QString("Ann")); // the narration uses the new name at once
        QCOMPARE(t.lblPlayer->text(), QString("Welcome Ann"));
        QCOMPARE(t.lblPlayer->size(), t.lblPlayer->sizeHint());
        QCOMPARE(ReadBytes(PathOf("Name.dat")), QByteArray("\"Ann\"\r\n"));
        Restart();
        QCOMPARE(G.PlayerName, QString("Ann"));
        QCOMPARE(TableForm().lblProf->text(), QString("How do you do Ann"));

        // A double quote would cut the name short at the next start: it becomes a single quote.
        Spy quote;
        quote.script.boxAnswer = QMessageBox::Yes;
        quote.script.inputText = QString("Ann \"Red\" Lee");
        quote.Install();
        TableForm().MnuChangeName->trigger();
        QCOMPARE(G.PlayerName, QString("Ann 'Red' Lee"));
        QCOMPARE(G.PlayerNames[1], QString("Ann 'Red' Lee"));
        QCOMPARE(ReadBytes(PathOf("Name.dat")), QByteArray("\"Ann 'Red' Lee\"\r\n"));
        Restart();
        QCOMPARE(G.PlayerName, QString("Ann 'Red' Lee"));

        // Any other name is stored as typed, commas and blanks included.
        Spy comma;
        comma.script.boxAnswer = QMessageBox::Yes;
        comma.script.inputText = QString(" Smith, Ann ");
        comma.Install();
        TableForm().MnuChangeName->trigger();
        QCOMPARE(ReadBytes(PathOf("Name.dat")), QByteArray("\" Smith, Ann \"\r\n"));
        Restart();
        QCOMPARE(G.PlayerName, QString(" Smith, Ann "));

        // Cancel in the input box stores an empty name.
        Spy cancel;
        cancel.script.boxAnswer = QMessageBox::Yes;
        cancel.script.inputText = std::nullopt;
        cancel.Install();
        TableForm().MnuChangeName->trigger();
        QCOMPARE(G.PlayerName, QString());
        QCOMPARE(G.PlayerNames[1], QString());
        QCOMPARE(TableForm().lblPlayer->text(), QString("Welcome "));
        QCOMPARE(ReadBytes(PathOf("Name.dat")), QByteArray("\"\"\r\n"));
        Restart();
        QCOMPARE(G.PlayerName, QString()); // still empty, not "Player"
    }

    void numberGamesWon() {
        WriteBytes(PathOf("Scores.dat"), "3,5,0,12");
        StartUp();
        Spy spy;
        spy.Install();
        TableForm().MnuWon->trigger();
        QCOMPARE(spy.script.titles, QStringList{"Game Statistics"});
        QCOMPARE(spy.script.messages,
                 QStringList{" you have won 3 games. Quimby has won 5 games. Marigodl has won 0 "
                             "games. Tabitha has won 12 games."});
        QCOMPARE(spy.deluxeButtons, QList<QStringList>{QStringList{"Right"}});
        QCOMPARE(G.GamesWon, (std::array<qint16, 5>{0, 3, 5, 0, 12})); // showing changes nothing
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("3,5,0,12"));
    }

    void deleteStatisticsAnsweredNo() {
        WriteBytes(PathOf("Scores.dat"), "3,5,0,12");
        WriteBytes(PathOf("Name.dat"), "\"Ann\"\r\n");
        StartUp();
        Spy spy;
        spy.script.answer["Delete Statisitcs?"] = 1;
        spy.Install();
        TableForm().MnuDelete->trigger();
        QCOMPARE(spy.script.titles, QStringList{"Delete Statisitcs?"});
        QCOMPARE(spy.script.messages,
                 QStringList{"Ann are you sure you wish to delete all statistics of games won and lost?"});
        QCOMPARE(spy.deluxeButtons, QList<QStringList>{QStringList({"Yes", "No"})});
        QCOMPARE(G.GamesWon, (std::array<qint16, 5>{0, 3, 5, 0, 12}));
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("3,5,0,12"));
    }

    void deleteStatisticsAnsweredYes() {
        WriteBytes(PathOf("Scores.dat"), "3,5,0,12\r\n");
        StartUp();
        G.GameOn = true; // works in the middle of a game, leaving the game alone
        G.GameScore = {0, 40, 30, 20, 10};
        Spy spy;
        spy.script.answer["Delete Statisitcs?"] = 0;
        spy.Install();
        TableForm().MnuDelete->trigger();
        QCOMPARE(G.GamesWon, (std::array<qint16, 5>{}));
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("0,0,0,0\r\n"));
        QCOMPARE(G.GameScore, (std::array<qint16, 5>{0, 40, 30, 20, 10}));
        QVERIFY(G.GameOn);
        TableForm().MnuWon->trigger();
        QCOMPARE(spy.script.messages.last(),
                 QString(" you have won 0 games. Quimby has won 0 games. Marigodl has won 0 "
                         "games. Tabitha has won 0 games."));
        Restart();
        QCOMPARE(G.GamesWon, (std::array<qint16, 5>{}));
    }

    void countsSurviveARestart() {
        WriteBytes(PathOf("Scores.dat"), "3,5,0,12\r\n");
        StartUp();
        // A won game counts and saves at once.
        G.GamesWon[1] = static_cast<qint16>(G.GamesWon[1] + 1);
        QVERIFY(SaveStatistics());
        Restart();
        QCOMPARE(G.GamesWon, (std::array<qint16, 5>{0, 4, 5, 0, 12}));
        Spy spy;
        spy.Install();
        TableForm().MnuWon->trigger();
        QCOMPARE(spy.script.messages,
                 QStringList{" you have won 4 games. Quimby has won 5 games. Marigodl has won 0 "
                             "games. Tabitha has won 12 games."});
        // And again, unchanged by a start that wins nothing.
        Restart();
        QCOMPARE(G.GamesWon, (std::array<qint16, 5>{0, 4, 5, 0, 12}));
        QCOMPARE(ReadBytes(PathOf("Scores.dat")), QByteArray("4,5,0,12\r\n"));
    }

    void cleanupTestCase() {
        if (TableExists()) DestroyTableForm();
        DataFiles::SetDataDirOverride(QString());
    }
};

QTEST_MAIN(TestTable)
#include "tst_table.moc"
