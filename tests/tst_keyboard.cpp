// A whole hand played with keys alone through the real widgets, then the menus by their access
// keys; and what a walk of the accessibility tree finds on the table meanwhile.
#include "ScoreSheet.h"
#include "Seats.h"
#include "TableMarks.h"
#include "TestSupport.h"
#include "frmAbout.h"
#include "frmHelp.h"

#if __has_include(<qpa/qplatformaccessibility.h>)
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>
#define VT_ACCESSIBILITY_ON() QGuiApplicationPrivate::platformIntegration()->accessibility()->setActive(true)
#else
#define VT_ACCESSIBILITY_ON() QSKIP("needs Qt's private headers (qt6-base-private-dev)")
#endif
#include <QApplication>
#include <QMenu>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace TestSupport;

// Every node of the tree, by its name.
static void Walk(QAccessibleInterface* a, QHash<QString, QAccessibleInterface*>& out) {
    out.insert(a->text(QAccessible::Name), a);
    for (int i = 0; i < a->childCount(); ++i) {
        QAccessibleInterface* c = a->child(i);
        // Qt's own item views number their cells in a way of their own.
        QVERIFY(c && c->parent() == a && (a->indexOfChild(c) == i || a->role() == QAccessible::List));
        Walk(c, out);
    }
}

// Keys go only where the focus is.
static void Key(Qt::Key key) {
    QTest::keyClick(QApplication::focusWidget(), key);
}

// What the table shows to assistive technology now: the names that must be there, and no
// name of a card lying face down anywhere.
static void CheckTree() {
    Table& t = TableForm();
    QHash<QString, QAccessibleInterface*> all;
    Walk(QAccessible::queryAccessibleInterface(&t), all);
    const QString names = all.keys().join('\n');
    int trumps = 0, held[5] = {};
    for (int c = 1; c <= 52; ++c) {
        const quint8 holder = G.Cards[c].Holder;
        const QString& name = G.Cards[c].FullName;
        held[holder % 5]++;
        trumps += all.contains("Trumps: " + name);
        const bool faceUp = t.CardsPic[c]->Image() == c && (holder < 2 || holder > 4);
        QVERIFY2(faceUp || !names.contains(name), qPrintable(name));
        const QAccessibleInterface* mine = all.value(name);
        QVERIFY(holder != 1 || (mine && mine->state().focusable && mine->role() == QAccessible::Button));
    }
    // The trump and the cards of the trick are pictures: they cannot be pressed.
    for (auto it = all.constBegin(); it != all.constEnd(); ++it)
        if (it.key().startsWith("Trumps: ") || it.key().startsWith("Played by "))
            QVERIFY(it.value()->role() == QAccessible::Graphic &&
                    it.value()->actionInterface()->actionNames().isEmpty());
    const QAccessibleInterface* group = all.value("Your hand, your turn");
    QVERIFY(group && group->role() == QAccessible::Grouping && group->childCount() == held[1]);
    QVERIFY(trumps == 1 && !all.contains("Card back")); // no back is a node of its own
    const QString seats[5] = {"", "you", "The Prof", "Marigold", "The Lady"};
    for (auto [card, seat] : {std::pair{G.TrickCard1, G.TrickSeat1}, {G.TrickCard2, G.TrickSeat2}})
        QVERIFY(card <= 0 || all.contains("Played by " + seats[seat] + ": " + G.Cards[card].FullName));
    for (int seat = 2; seat <= 4; ++seat)
        QVERIFY(all.contains(QString("%1: %2 cards").arg(seats[seat]).arg(held[seat])));
    QVERIFY(all.contains("The Prof: " + t.lblBid[2]->text()) && all.contains("You: " + t.lblBid[1]->text()));
    const QAccessibleInterface* scores = all.value("Scores");
    QVERIFY(scores && scores->role() == QAccessible::List && scores->childCount() == 4);
    QVERIFY(all.contains("The Lady, hand score " + t.LblHandSc[4]->text())); // the label says "Tabitha"
    // Only what has the keyboard says so; a dialog kept hidden offers nothing.
    for (const QAccessibleInterface* a : std::as_const(all))
        QVERIFY2(!a->state().focused || a->object() == QApplication::focusWidget(),
                 qPrintable(a->text(QAccessible::Name)));
    QCOMPARE(QAccessible::queryAccessibleInterface(&TableForm().DeluxeForm())->childCount(), 0);
    // Whose turn, the dealer and the bids against the tricks, each by its name.
    QVERIFY(all.contains("You, to play") && !all.contains("The Prof, to play") && all.contains("The Lady"));
    QVERIFY(all.contains(QString("Dealer: ") + Seats::Table[G.Dealer].spoken));
    const int bids = G.Bids[1] + G.Bids[2] + G.Bids[3] + G.Bids[4];
    QVERIFY(all.contains(QString("Bids: %1 of %2").arg(bids).arg(G.HandSize)));
}

// A screen reader in small: it keeps the name it first read of each object, reading it again
// only when told that it changed, and speaks every notice.
static QHash<QAccessible::Id, QString> kept;
static QStringList spoken;
// Notices that a card back is still a card back: a flood of them at each deal made Orca pass
// over the dealer's line.
static int backsRenamed = 0;
static void Hear(QAccessibleEvent* e) {
    QAccessibleInterface* a = e->accessibleInterface();
    if (!a) return;
    const QAccessible::Id id = QAccessible::uniqueId(a);
    if (e->type() == QAccessible::NameChanged && kept.value(id) == "Card back" &&
        a->text(QAccessible::Name) == "Card back")
        ++backsRenamed;
    if (e->type() == QAccessible::NameChanged || !kept.contains(id)) kept[id] = a->text(QAccessible::Name);
    if (e->type() == QAccessible::ObjectShow && a->role() == QAccessible::Notification) spoken << kept[id];
}

class TestKeyboard : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

  private slots:
    void wholeHandFromKeys() {
        FreshState(dir_.path());
        Waits::RunChain([] { TableForm().Form_Load(); });
        Table& t = TableForm();
        QVERIFY(QTest::qWaitForWindowActive(&t));
        VT_ACCESSIBILITY_ON();
        QAccessible::installUpdateHandler(Hear);
        bool treeSeen = false, handOver = false;
        int presses = 0, played = 0;
        // Each step first sets up the next: a step may wait inside a key press for the play it
        // starts. The steps end with `alive`.
        auto alive = std::make_unique<QObject>();
        std::function<void()> step = [&] {
            QTimer::singleShot(2, alive.get(), step);
            // A player waits for the window that opened to have the keyboard.
            QWidget* modal = QApplication::activeModalWidget();
            if (!QApplication::activeWindow() || (modal && modal != QApplication::activeWindow())) return;
            if (TableForm().DeluxeForm().isVisible()) {
                const QAccessibleInterface* a =
                    QAccessible::queryAccessibleInterface(&TableForm().DeluxeForm());
                const QString told = a->text(QAccessible::Description);
                QVERIFY(a->role() == QAccessible::Dialog &&
                        told.startsWith(TableForm().DeluxeForm().Label2->text()));
                if (a->text(QAccessible::Name) == "Hand Over") // with the hand's result
                    for (int s = 1; s <= 4; ++s, handOver = true)
                        QVERIFY(told.contains(QString::asprintf(
                            "%s bid %d, took %d, %s, %d point", Seats::Table[s].spoken, G.Bids[s],
                            G.TricksMade[s], G.Bids[s] == G.TricksMade[s] ? "made it" : "missed",
                            G.TricksMade[s] + (G.Bids[s] == G.TricksMade[s]) * 10)));
                for (int i = 0; i < a->childCount(); ++i) // every control on show is named
                    QVERIFY(a->child(i)->role() != QAccessible::Button ||
                            !a->child(i)->text(QAccessible::Name).isEmpty());
                Key(Qt::Key_Return), Key(Qt::Key_Escape); // nothing
                QVERIFY(TableForm().DeluxeForm().isVisible());
                Key(Qt::Key_Tab), Key(Qt::Key_Space);
            } else if (TableForm().BidForm().isVisible()) {
                QVERIFY(QApplication::focusWidget() == TableForm().BidForm().TxtBid);
                Key(Qt::Key_1), Key(Qt::Key_Tab), Key(Qt::Key_Space);
            } else if (t.BtnContinue->isVisible()) {
                for (CardPic* p : t.PlayerHandPics()) { // out of turn: Return plays nothing
                    QTest::keyClick(p, Qt::Key_Return);
                    QVERIFY(G.Cards[p->Index()].Holder == 1);
                }
                Key(++presses % 2 ? Qt::Key_Return : Qt::Key_Space);
            } else if (G.Turn == 1 && !Waits::ChainDepth() && G.HandNumber == 1 && t.isActiveWindow()) {
                const QList<CardPic*> hand = t.PlayerHandPics();
                if (!treeSeen && G.TrickCard1 > 0) CheckTree(), treeSeen = true;
                Key(Qt::Key_End), Key(Qt::Key_Home);
                // The focused card is marked while the keys are in use, around it, leaving its
                // face whole; a mouse press hides the mark.
                const QRect around = hand[0]->geometry().adjusted(-6, -6, 6, 6);
                const QImage marked = t.Client->grab(around).toImage(), face = hand[0]->grab().toImage();
                QTest::mouseClick(t.LblRounds, Qt::LeftButton);
                QVERIFY(t.Client->grab(around).toImage() != marked && hand[0]->hasFocus());
                QCOMPARE(hand[0]->grab().toImage(), face);
                // To the card to play, by turns rightwards from the first and leftwards from the last.
                const QWidget* want = t.CardsPic[ChooseComputerCard(G, 1)];
                Key(played % 2 ? Qt::Key_End : Qt::Key_Home);
                for (int i = 0; i < hand.size() && QApplication::focusWidget() != want; ++i)
                    Key(played % 2 ? Qt::Key_Left : Qt::Key_Right);
                QVERIFY(QApplication::focusWidget() == want);
                Key(Qt::Key_Return);
                ++played;
            }
        };
        step();
        Key(Qt::Key_F2);
        QVERIFY(WaitFor([&t] {
            return G.HandNumber == 2 && G.Turn == 1 && Waits::ChainDepth() == 0 && t.isActiveWindow();
        }));
        alive.reset();
        QVERIFY(treeSeen && handOver && presses == played); // one Carry On for every trick
        QCOMPARE(backsRenamed, 0);
        // Through two hands the reader heard every line once, in order, and never the last
        // hand's words for a line of this one; the status key (S) and the hint are heard too.
        QAccessibleInterface* list = QAccessible::queryAccessibleInterface(t.List1);
        for (const QString& line : ListLines())
            QCOMPARE(kept.value(QAccessible::uniqueId(list->child(int(ListLines().indexOf(line)))), line),
                     line);
        spoken.removeIf([](const QString& s) { return s.startsWith("You bid "); }); // told, not a line
        QCOMPARE(spoken.mid(spoken.size() - ListLines().size()), ListLines());
        Key(Qt::Key_S);
        QVERIFY(spoken.last() == ListLines().last() && spoken.last().startsWith("Your turn to play; ") &&
                spoken.last().endsWith(
                    QString::asprintf("; scores: You %d, The Prof %d, Marigold %d, The Lady %d.",
                                      G.GameScore[1], G.GameScore[2], G.GameScore[3], G.GameScore[4])));
        Key(Qt::Key_H);
        QTRY_VERIFY(spoken.last().startsWith("Hint: the ") && spoken.last() == ListLines().last());

        // The last trick by a tap of L, told to assistive technology, kept until the next key (which
        // does nothing else), click or Escape; then the score sheet by F3, a table to assistive
        // technology, with the hand's points and the total under each seat, closed by Escape and by
        // F3, the table taking the keyboard back.
        QWidget* lastTrick = t.Marks->LastTrick;
        const int before = int(ListLines().size());
        for (auto put : {Qt::Key_Escape, Qt::Key_H, Qt::Key_unknown}) {
            Key(Qt::Key_L);
            const QString told = AccName(lastTrick);
            QVERIFY(lastTrick->isVisible() && told.startsWith("Last trick: ") && spoken.last() == told &&
                    told.contains("You played ") && told.contains("; won by "));
            put == Qt::Key_unknown ? QTest::mouseClick(t.Client, Qt::LeftButton) : Key(put);
            QVERIFY(!lastTrick->isVisible() && ListLines().size() == before); // no hint given
        }
        for (Qt::Key close : {Qt::Key_Escape, Qt::Key_F3}) {
            Key(Qt::Key_F3);
            QTRY_VERIFY(ScoreSheetIfOpen(&TableForm()) && ScoreSheetIfOpen(&TableForm())->isActiveWindow());
            QAccessibleInterface* sheet =
                QAccessible::queryAccessibleInterface(ScoreSheetTable(&TableForm()));
            QAccessibleTableInterface* cells = sheet->tableInterface();
            QVERIFY(sheet->role() == QAccessible::Table && cells && cells->rowCount() == 3);
            QCOMPARE(cells->cellAt(0, 5)->tableCellInterface()->columnHeaderCells().value(0)->text(
                         QAccessible::Name),
                     "You\nPoints");
            for (int row : {0, 1, 2}) // each row named by its hand, as shown and as told
                QCOMPARE(ScoreSheetTable(&TableForm())->verticalHeaderItem(row)->text() + '|' +
                             cells->cellAt(row, 5)->tableCellInterface()->rowHeaderCells()[0]->text(
                                 QAccessible::Name),
                         QStringList({"1|Hand 1", "2|Hand 2", "Total|Total"})[row]);
            for (int seat = 1; seat <= 4; ++seat)
                for (int row : {0, 2})
                    QCOMPARE(cells->cellAt(row, seat * 3 + 2)->text(QAccessible::Name),
                             QString::number(G.GameScore[seat]));
            Key(close);
            QTRY_VERIFY(!ScoreSheetIfOpen(&TableForm()) && t.isActiveWindow());
        }

        // The menus: F10 opens the first, Escape closes it; Change Your Name and About by keys.
        // However a window or menu was closed, the player's hand has the keyboard again.
        const auto handHasKeys = [&t] {
            return t.isActiveWindow() && t.PlayerHandPics().contains(QApplication::focusWidget());
        };
        QVERIFY(handHasKeys());
        Key(Qt::Key_F10);
        QTRY_VERIFY(QApplication::activePopupWidget() == t.MnuPlay);
        QTest::keyClick(t.MnuPlay, Qt::Key_Escape);
        QTRY_VERIFY(handHasKeys());
        Waits::ModalHook = [](QWidget* w) {
            When([w] { return w->isActiveWindow(); }, [] { Key(Qt::Key_Space); });
        };
        Key(Qt::Key_F4); // Number Games Won, answered
        QTRY_VERIFY(handHasKeys());
        QTest::keyClick(&t, Qt::Key_H, Qt::AltModifier);
        QTRY_VERIFY(QApplication::activePopupWidget() == t.MnuHelp);
        QTest::keyClick(t.MnuHelp, Qt::Key_H);
        QTRY_VERIFY(HelpForm().isActiveWindow());
        QTest::keyClick(&HelpForm(), Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(!HelpForm().isVisible() && handHasKeys());
        Waits::ModalHook = [](QWidget* w) {
            QTimer::singleShot(0, w, [w] {
                if (qobject_cast<QInputDialog*>(w)) QTest::keyClicks(QApplication::focusWidget(), "Kim");
                if (qobject_cast<MFormDeluxe*>(w)) Key(Qt::Key_Tab); // to the second button, No
                Key(qobject_cast<MFormDeluxe*>(w) ? Qt::Key_Space : Qt::Key_Return); // Yes, then OK
            });
        };
        QTest::keyClick(&t, Qt::Key_C, Qt::AltModifier);
        QTRY_VERIFY(G.PlayerName == "Kim" && t.isActiveWindow()); // the table has the keyboard back
        QTest::keyClick(&t, Qt::Key_S, Qt::AltModifier);          // Game Statistics, Delete Statistics, No
        QTRY_VERIFY(QApplication::activePopupWidget() == t.MnuStats);
        G.ButtonPressed = 0;
        QTest::keyClick(t.MnuStats, Qt::Key_D);
        QTRY_VERIFY(G.ButtonPressed == 1 && t.isActiveWindow());
        QTest::keyClick(&t, Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(AboutFormIfOpen() && AboutFormIfOpen()->isActiveWindow());
        Key(Qt::Key_Return);
        QTRY_VERIFY(!AboutFormIfOpen());
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
