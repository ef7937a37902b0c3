// The message dialog: one to three buttons laid out in a centred row below the message, each
// answering with its index; presses that are not a primary click, keys and close requests
// answer nothing; a chain given up takes it away.
#include "TestSupport.h"

#include "Module2.h"

#include <QtTest>

namespace {

const char* const kShort = "Tom has won 3 games.";

// Shows one dialog; `whileOpen` runs once it is on screen and should answer it. If it does not
// (a check inside failed), it is answered here so that the test fails instead of hanging.
void Run(const QString& message, const QStringList& buttons,
         const std::function<void(MFormDeluxe&)>& whileOpen) {
    Waits::ModalHook = [&](QWidget* w) {
        auto* f = qobject_cast<MFormDeluxe*>(w);
        if (!f) return;
        whileOpen(*f);
        if (f->isVisible()) f->Label1_Click(2);
    };
    MsgDeluxe(message, buttons.value(0), buttons.value(1), buttons.value(2), 1, "Title?");
    Waits::ModalHook = nullptr;
}

} // namespace

class TestMsgDeluxe : public QObject {
    Q_OBJECT
  private slots:
    void initTestCase() { Sound::SetMuted(true); }
    void init() {
        Waits::Reset();
        ResetGameState();
    }

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
            Run(kShort, captions, [&](MFormDeluxe& f) {
                QCOMPARE(f.accessibleName(), QString("Title?"));
                QCOMPARE(f.accessibleDescription(), QString(kShort));
                for (int i = 0; i < 3; ++i) {
                    QCOMPARE(f.Pic1[i]->isVisible(), i < shown);
                    if (i >= shown) continue;
                    QCOMPARE(TestSupport::AccName(f.Label1[i]), captions[i]);
                    QCOMPARE(QAccessible::queryAccessibleInterface(f.Label1[i])->role(), QAccessible::Button);
                    QCOMPARE(f.Pic1[i]->y(), f.Pic1[0]->y());
                    QVERIFY(f.rect().contains(f.Pic1[i]->geometry()));
                    QVERIFY(f.Pic1[i]->y() > f.Label2->geometry().bottom());
                    if (i) QVERIFY(f.Pic1[i]->x() > f.Pic1[i - 1]->geometry().right());
                }
                // The row is centred on the window, whatever the count.
                QVERIFY(std::abs(f.Pic1[0]->x() - (f.width() - 1 - f.Pic1[shown - 1]->geometry().right())) <=
                        1);
                QTest::mouseClick(f.Label1[answer], Qt::LeftButton);
            });
            QCOMPARE(G.ButtonPressed, qint16(answer));
            QVERIFY(!DeluxeForm().isVisible());
        }
    }

    // A press released elsewhere, another mouse button, keys and close requests answer nothing.
    void onlyAPrimaryClickAnswers() {
        G.ButtonPressed = 1;
        Run(kShort, {"Yes", "No"}, [&](MFormDeluxe& f) {
            QTest::mousePress(f.Label1[0], Qt::LeftButton);
            QTest::mouseRelease(f.Label1[0], Qt::LeftButton, {},
                                f.Label1[0]->mapFrom(&f, f.Label2->geometry().center()));
            QTest::mouseClick(f.Label1[0], Qt::RightButton);
            for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Y})
                QTest::keyClick(&f, key);
            QVERIFY(!f.close());
            QVERIFY(f.isVisible());
            QCOMPARE(G.ButtonPressed, qint16(1));
            QTest::mouseClick(f.Label1[0], Qt::LeftButton);
        });
        QCOMPARE(G.ButtonPressed, qint16(0));
    }

    void abandonedChainTakesTheDialogAway() {
        Waits::ModalHook = [](QWidget*) { Waits::AbandonChain(); };
        QVERIFY_THROWS_EXCEPTION(Waits::ChainAbandoned,
                                 MsgDeluxe(kShort, "Exit", "Cancel", "", 1, "Really Exit?"));
        QVERIFY(!DeluxeForm().isVisible());
    }
};

QTEST_MAIN(TestMsgDeluxe)
#include "tst_msgdeluxe.moc"
