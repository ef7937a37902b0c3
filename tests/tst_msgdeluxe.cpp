// The message dialog: one to three buttons laid out in a centred row below the message, each
// answering with its index; presses that are not a primary click, keys and close requests
// answer nothing; a chain given up takes it away.
#include "TestSupport.h"

#include "MessageDialog.h"

namespace {

// Shows one dialog; `whileOpen` runs once it is on screen and should answer it. If it does not
// (a check inside failed), it is answered here so that the test fails instead of hanging.
void Run(const QStringList& buttons, const std::function<void(MFormDeluxe&)>& whileOpen) {
    Waits::ModalHook = [whileOpen](QWidget* w) {
        auto* f = static_cast<MFormDeluxe*>(w); // the only modal window shown here
        whileOpen(*f);
        if (f->isVisible()) f->Label1_Click(2);
    };
    TableForm().MsgDeluxe("Tom has won 3 games.", buttons.value(0), buttons.value(1), buttons.value(2), 1,
                          "Title?");
}

} // namespace

class TestMsgDeluxe : public QObject {
    Q_OBJECT
  private slots:
    void init() { TestSupport::FreshState(QString()); }

    void buttonRow_data() {
        QTest::addColumn<QStringList>("captions");
        QTest::newRow("one") << QStringList{"Right"};
        QTest::newRow("two") << QStringList{"Another", "Exit"};
        QTest::newRow("three") << QStringList{"Yes", "No", "Maybe"};
    }
    void buttonRow() {
        QFETCH(QStringList, captions);
        const int shown = int(captions.size());
        for (int answer = 0; answer < shown; ++answer) {
            G.ButtonPressed = -1;
            Run(captions, [&](MFormDeluxe& f) {
                QStringList named;
                for (int i = 0; i < 3; ++i)
                    if (f.Pic1[i]->isVisible()) named << TestSupport::AccName(f.Label1[i]);
                QCOMPARE(named, captions);
                // One row inside the window below the message, left to right, centred on the window.
                const QRect first = f.Pic1[0]->geometry(), last = f.Pic1[shown - 1]->geometry();
                for (int i = 1; i < shown; ++i)
                    QVERIFY(f.Pic1[i]->y() == first.y() &&
                            f.Pic1[i]->x() > f.Pic1[i - 1]->geometry().right());
                QVERIFY(f.rect().contains(first.united(last)) && first.top() > f.Label2->geometry().bottom());
                QVERIFY(std::abs(first.left() - (f.width() - 1 - last.right())) <= 1);
                // A press released elsewhere, another mouse button, keys and close requests answer nothing.
                QTest::mousePress(f.Label1[answer], Qt::LeftButton);
                QTest::mouseRelease(f.Label1[answer], Qt::LeftButton, {},
                                    f.Label1[answer]->mapFrom(&f, f.Label2->geometry().center()));
                QTest::mouseClick(f.Label1[answer], Qt::RightButton);
                for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Y})
                    QTest::keyClick(&f, key);
                QVERIFY(!f.close() && f.isVisible() && G.ButtonPressed == -1);
                QTest::mouseClick(f.Label1[answer], Qt::LeftButton);
            });
            QVERIFY(G.ButtonPressed == answer && !TableForm().DeluxeForm().isVisible());
        }
    }

    void abandonedChainTakesTheDialogAway() {
        Waits::ModalHook = [](QWidget*) { Waits::AbandonChain(); };
        QVERIFY_THROWS_EXCEPTION(Waits::ChainAbandoned, MsgDeluxe(TableForm().DeluxeForm(), "?", "Exit",
                                                                  "Cancel", "", 1, "Really Exit?"));
        QVERIFY(!TableForm().DeluxeForm().isVisible());
    }
};

QTEST_MAIN(TestMsgDeluxe)
#include "tst_msgdeluxe.moc"
