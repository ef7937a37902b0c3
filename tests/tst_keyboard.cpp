// A whole hand played with keys alone through the real widgets, then the menus by their access
// keys; and what a walk of the accessibility tree finds on the table meanwhile.
#include "TestSupport.h"
#include "frmAbout.h"

#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>

using namespace TestSupport;

namespace {
using Tree = QHash<QString, QAccessibleInterface*>; // every node of the tree, by its name

void Walk(QAccessibleInterface* a, Tree& out) {
    out.insert(a->text(QAccessible::Name), a);
    for (int i = 0; i < a->childCount(); ++i) {
        QAccessibleInterface* c = a->child(i);
        // Qt's own item views number their cells in a way of their own.
        QVERIFY(c && c->parent() == a && (a->indexOfChild(c) == i || a->role() == QAccessible::List));
        Walk(c, out);
    }
}

void Key(Qt::Key key, Qt::KeyboardModifiers mod = {}) {
    QTest::keyClick(QApplication::focusWidget(), key, mod); // only where the focus is
}

// What the table shows to assistive technology now: the names that must be there, and no
// name of a card lying face down anywhere.
void CheckTree() {
    Table& t = TableForm();
    Tree all;
    Walk(QAccessible::queryAccessibleInterface(&t), all);
    int trumps = 0, held[5] = {};
    for (int c = 1; c <= 52; ++c) {
        const quint8 holder = G.Cards[c].Holder;
        held[holder % 5]++;
        trumps += all.contains("Trumps: " + G.Cards[c].FullName);
        const bool faceDown = t.CardsPic[c]->Image() != c || (holder >= 2 && holder <= 4);
        for (const QString& name : all.keys())
            QVERIFY2(!faceDown || !name.contains(G.Cards[c].FullName), qPrintable(name));
        const QAccessibleInterface* mine = all.value(G.Cards[c].FullName);
        QVERIFY(holder != 1 || (mine && mine->state().focusable && mine->role() == QAccessible::Button));
    }
    const QAccessibleInterface* group = all.value("Your hand");
    QVERIFY(group && group->role() == QAccessible::Grouping && group->childCount() == held[1]);
    QCOMPARE(trumps, 1);
    QVERIFY(!all.contains("Card back")); // no back is a node of its own
    const QString seats[5] = {"", "you", "The Prof", "Marigold", "The Lady"};
    for (auto [card, seat] : {std::pair{G.TrickCard1, G.TrickSeat1}, {G.TrickCard2, G.TrickSeat2}})
        QVERIFY(card <= 0 || all.contains("Played by " + seats[seat] + ": " + G.Cards[card].FullName));
    for (int seat = 2; seat <= 4; ++seat)
        QVERIFY(all.contains(QString("%1: %2 cards").arg(seats[seat]).arg(held[seat])));
    QVERIFY(all.contains("The Prof: " + t.lblBid[2]->text()) && all.contains("You: " + t.lblBid[1]->text()));
    const QAccessibleInterface* scores = all.value("Scores");
    QVERIFY(scores && scores->role() == QAccessible::List && scores->childCount() == 4);
    QVERIFY(all.contains(t.LblScores[3]->text().simplified() + ", hand score " + t.LblHandSc[3]->text()));
}
} // namespace

class TestKeyboard : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;
    QStringList announced_;

  private slots:
    void wholeHandFromKeys() {
        FreshState(dir_.path());
        Waits::RunChain([] { TableForm().Form_Load(); });
        Table& t = TableForm();
        QVERIFY(QTest::qWaitForWindowActive(&t));
        // Every new line of the messages is what the list tells assistive technology.
        connect(t.List1->model(), &QAbstractItemModel::rowsInserted, this,
                [this, &t](const QModelIndex&, int, int row) {
                    const auto* list = QAccessible::queryAccessibleInterface(t.List1);
                    if (list->text(QAccessible::Description) == t.List1->item(row)->text())
                        announced_ << t.List1->item(row)->text();
                });
        QStringList notices;
        bool busy = false, treeSeen = false, wrongTried = false;
        int presses = 0, handSize = 0;
        QTimer player;
        connect(&player, &QTimer::timeout, [&] {
            if (busy) return;
            busy = true;
            QTimer::singleShot(0, [&] {
                busy = false;
                // A player waits for the window that opened to have the keyboard.
                QWidget* modal = QApplication::activeModalWidget();
                if (!QApplication::activeWindow() || (modal && modal != QApplication::activeWindow())) return;
                QWidget* focus = QApplication::focusWidget();
                MFormDeluxe& notice = DeluxeForm();
                FrmBid& bid = BidForm();
                if (notice.isVisible()) {
                    QCOMPARE(focus, notice.Label1[0]);
                    auto* a = QAccessible::queryAccessibleInterface(&notice);
                    QVERIFY(a->role() == QAccessible::Dialog &&
                            a->text(QAccessible::Description) == notice.Label2->text());
                    notices << a->text(QAccessible::Name);
                    Key(Qt::Key_Return), Key(Qt::Key_Escape); // nothing
                    QVERIFY(notice.isVisible());
                    Key(Qt::Key_Tab), Key(Qt::Key_Space);
                } else if (bid.isVisible()) {
                    QCOMPARE(focus, bid.TxtBid);
                    QTest::keyClicks(focus, "1");
                    Key(Qt::Key_Tab), Key(Qt::Key_Space);
                } else if (t.BtnContinue->isVisible()) {
                    QCOMPARE(focus, t.BtnContinue);
                    CardPic* held = nullptr; // a card that would be legal, out of turn: nothing
                    for (CardPic* p : PlayerHandPics(t.Client))
                        held = IsLegalPlay(1, p->Index()) ? p : held;
                    if (held) QTest::keyClick(held, Qt::Key_Return), QTest::keyClick(held, Qt::Key_End);
                    QVERIFY(!held || G.Cards[held->Index()].Holder == 1);
                    Key(++presses % 2 ? Qt::Key_Return : Qt::Key_Space);
                } else if (G.Turn == 1 && Waits::ChainDepth() == 0 && G.HandNumber == 1 &&
                           t.isActiveWindow()) {
                    const QList<CardPic*> hand = PlayerHandPics(t.Client);
                    handSize = G.HandSize;
                    QVERIFY(hand.contains(qobject_cast<CardPic*>(focus)));
                    if (!treeSeen && G.TrickCard1 > 0) CheckTree(), treeSeen = true;
                    int want = ChooseComputerCard(1);
                    for (CardPic* p : hand)
                        if (!wrongTried && !IsLegalPlay(1, p->Index())) want = p->Index(), wrongTried = true;
                    Key(Qt::Key_End), Key(Qt::Key_Home);
                    // The focused card is marked while the keys are in use; a mouse press hides it.
                    const QImage marked = hand[0]->grab().toImage();
                    QTest::mouseClick(t.LblRounds, Qt::LeftButton);
                    QVERIFY(hand[0]->grab().toImage() != marked && hand[0]->hasFocus());
                    Key(Qt::Key_Home);
                    for (int i = 0; i < hand.size() && QApplication::focusWidget() != t.CardsPic[want]; ++i)
                        Key(Qt::Key_Right);
                    Key(Qt::Key_Return);
                }
            });
        });
        player.start(2);
        Key(Qt::Key_F2);
        QVERIFY(WaitFor([&t] {
            return G.HandNumber == 2 && G.Turn == 1 && Waits::ChainDepth() == 0 && t.isActiveWindow();
        }));
        player.stop();
        QVERIFY(treeSeen);
        QVERIFY(notices.contains("Hand Over"));
        QCOMPARE(presses, handSize); // one Carry On for every trick
        for (const QString& line : ListLines())
            QVERIFY2(announced_.contains(line), qPrintable(line));

        // The menus: F10 opens the first, Escape closes it; Change Your Name and About by keys.
        Key(Qt::Key_F10);
        QTRY_COMPARE(QApplication::activePopupWidget(), t.MnuPlay);
        QTest::keyClick(t.MnuPlay, Qt::Key_Escape);
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
        QTRY_COMPARE(QApplication::activePopupWidget(), t.MnuStats);
        G.ButtonPressed = 0;
        QTest::keyClick(t.MnuStats, Qt::Key_D);
        QTRY_VERIFY(G.ButtonPressed == 1 && t.isActiveWindow());
        QTest::keyClick(&t, Qt::Key_A, Qt::AltModifier);
        QTRY_VERIFY(AboutFormIfOpen() && AboutFormIfOpen()->isActiveWindow());
        Key(Qt::Key_Return);
        QTRY_VERIFY(!AboutFormIfOpen());
        Waits::ModalHook = nullptr;
    }
};

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
