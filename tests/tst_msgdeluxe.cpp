// The message dialog: the layout for one, two and three buttons and for a long message, the
// pressed look of a button, which clicks answer it and which inputs do not.
#include "TestSupport.h"

#include "Module2.h"
#include "Twips.h"

#include <QFileInfo>
#include <QScreen>
#include <QtTest>

using TestSupport::PixelAt;

namespace {

const QColor Olive(128, 128, 0), Light(240, 240, 240), Shadow(128, 128, 128);
const char* const kShort = "Tom has won 3 games.";
const char* const kLong =
    "You have played a card of another suit although you still hold a card of the suit that "
    "was led, and that is not allowed in this game. Please play a card of the led suit instead.";

// Shows one dialog; `whileOpen` runs once it is on screen and must answer it. If it does not (a
// check inside failed and returned early), it is answered here so that the test fails instead of
// hanging; the return value says whether that was needed.
bool Run(const QString& message, const QStringList& buttons, const QString& title,
         const std::function<void(MFormDeluxe&)>& whileOpen) {
    bool leftOpen = false;
    Waits::ModalHook = [&](QWidget* w) {
        auto* f = qobject_cast<MFormDeluxe*>(w);
        if (!f) return;
        whileOpen(*f);
        if ((leftOpen = f->isVisible())) f->Label1_Click(0);
    };
    MsgDeluxe(message, buttons.value(0), buttons.value(1), buttons.value(2), 1, title);
    Waits::ModalHook = nullptr;
    return !leftOpen;
}

void Click(MFormDeluxe& f, int i) {
    QTest::mouseClick(f.Label1[i], Qt::LeftButton);
}

// Raised is a light box with dark bottom and right edges, pressed the reverse; either way the
// top-right corner keeps the box's colour.
void CheckEdges(DeluxePanel* panel, const QColor& box, const QColor& edges) {
    const int w = panel->width(), h = panel->height();
    for (QPoint p : {QPoint(0, 0), QPoint(w - 1, 0), QPoint(0, h / 2)})
        QCOMPARE(PixelAt(panel, p), box);
    for (QPoint p : {QPoint(0, h - 1), QPoint(w - 1, h / 2), QPoint(w - 1, h - 1)})
        QCOMPARE(PixelAt(panel, p), edges);
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
        QTest::addColumn<QList<double>>("lefts"); // half twips are rounded up
        QTest::newRow("one") << QStringList{"Right"} << QList<double>{1612.5};
        QTest::newRow("two") << QStringList{"Another", "Exit"} << QList<double>{952, 2273};
        QTest::newRow("three") << QStringList{"Yes", "No", "Maybe"} << QList<double>{292.5, 1612.5, 2932.5};
    }
    // Each shown button at its place, 90 twips above the bottom, and each answering with its index.
    void buttonRow() {
        QFETCH(QStringList, captions);
        QFETCH(QList<double>, lefts);
        const int shown = int(captions.size());
        for (int answer = 0; answer < shown; ++answer) {
            G.ButtonPressed = -1;
            QVERIFY(Run(kShort, captions, "Game Statistics", [&](MFormDeluxe& f) {
                QCOMPARE(f.width(), Px(4500));
                QCOMPARE(f.HeightTwips(), f.MessageHeightTwips() + 1140);
                for (int i = 0; i < 3; ++i) {
                    QCOMPARE(f.Pic1[i]->isVisible(), i < shown);
                    if (i >= shown) continue;
                    QCOMPARE(f.ButtonLeftTwips(i), int(std::lround(lefts[i])));
                    QCOMPARE(f.Pic1[i]->x(), Px(f.ButtonLeftTwips(i)));
                    QCOMPARE(f.ButtonTopTwips(i), f.HeightTwips() - 300 - 90);
                    QCOMPARE(f.Pic1[i]->geometry().bottom(), f.height() - 7);
                    QCOMPARE(f.Label1[i]->Caption(), captions[i]);
                }
                // The row is centred on the window, whatever the count.
                QVERIFY(std::abs(f.Pic1[0]->x() - (f.width() - 1 - f.Pic1[shown - 1]->geometry().right())) <=
                        1);
                Click(f, answer);
            }));
            QCOMPARE(G.ButtonPressed, qint16(answer));
            QVERIFY(!DeluxeForm().isVisible());
        }
    }

    // A long message makes the dialog taller by exactly the message's extra height; the buttons
    // stay at the bottom, the picture stays centred, each dialog is centred on the screen with
    // its own height, and no line is left of the shorter one's frame.
    void tallerMessage() {
        int shortH = 0, shortMessage = 0, shortPx = 0;
        QVERIFY(Run(kShort, {"Right"}, "Hand Over", [&](MFormDeluxe& f) {
            shortH = f.HeightTwips();
            shortMessage = f.MessageHeightTwips();
            shortPx = f.height();
            Click(f, 0);
        }));
        QVERIFY(Run(kLong, {"Oops"}, "You have the suit", [&](MFormDeluxe& f) {
            QVERIFY(f.MessageHeightTwips() >= 3 * shortMessage);
            QCOMPARE(f.HeightTwips() - shortH, f.MessageHeightTwips() - shortMessage);
            QCOMPARE(f.Pic1[0]->geometry().bottom(), f.height() - 7);
            QCOMPARE(f.PictureTopTwips(), int(std::lround((f.HeightTwips() - 510) / 2.0)));
            const QRect pic = f.Picture1->geometry(), screen = f.screen()->geometry();
            QVERIFY(std::abs(pic.top() - (f.height() - 1 - pic.bottom())) <= 1);
            QVERIFY(std::abs(f.x() - (screen.x() + (screen.width() - f.width()) / 2)) <= 1);
            QVERIFY(std::abs(f.y() - (screen.y() + (screen.height() - f.height()) / 2)) <= 1);
            QCOMPARE(PixelAt(&f, {1, 1}), Light);
            QCOMPARE(PixelAt(&f, {f.width() / 2, f.height() - 2}), Shadow);
            QCOMPARE(PixelAt(&f, {f.width() - 2, f.height() / 2}), Shadow);
            QCOMPARE(PixelAt(&f, {2, shortPx - 2}), Olive);
            Click(f, 0);
        }));
    }

    void titleSoundAndNames() {
        Sound::PlayFile("RIFFLE.wav");
        QVERIFY(Run(kShort, {"Yes", "Oops No"}, "New Game?", [&](MFormDeluxe& f) {
            QCOMPARE(Sound::LastRequested(), QString("ringout.wav"));
            QCOMPARE(f.Label3->text(), QString("   New Game?"));
            QCOMPARE(f.TwipsOf(f.Label3), QRect(45, 60, 4410, 300));
            QCOMPARE(f.accessibleName(), QString("New Game?"));
            QCOMPARE(f.accessibleDescription(), QString(kShort));
            for (int i = 0; i < 2; ++i) {
                QCOMPARE(QAccessible::queryAccessibleInterface(f.Label1[i])->role(), QAccessible::Button);
                QCOMPARE(TestSupport::AccName(f.Label1[i]), f.Label1[i]->Caption());
            }
            if (QFileInfo::exists(QCoreApplication::applicationDirPath() + "/flame.svg"))
                QCOMPARE(f.Picture1->pixmap().deviceIndependentSize(), QSizeF(32, 32));
            Click(f, 1);
        }));
        QCOMPARE(G.ButtonPressed, qint16(1));
    }

    // A press on a caption sinks that button whatever the mouse button; only a primary click
    // answers. The next dialog shows every button raised again.
    void pressedLook() {
        G.ButtonPressed = 1;
        QVERIFY(Run(kShort, {"Another", "Exit"}, "Game Over", [&](MFormDeluxe& f) {
            CheckEdges(f.Pic1[1], Light, Shadow);
            QCOMPARE(f.Label1[1]->geometry(), QRect(1, 1, f.Pic1[1]->width() - 2, f.Pic1[1]->height() - 2));
            // Pressed, then released over the message: still open, still sunken.
            QTest::mousePress(f.Label1[1], Qt::LeftButton);
            QTest::mouseRelease(f.Label1[1], Qt::LeftButton, {},
                                f.Label1[1]->mapFrom(&f, f.Label2->geometry().center()));
            QVERIFY(f.isVisible());
            QCOMPARE(f.Label1[1]->geometry(), QRect(2, 2, f.Pic1[1]->width() - 3, f.Pic1[1]->height() - 3));
            CheckEdges(f.Pic1[1], Shadow, Light);
            // The secondary button sinks the other one too but answers nothing.
            QTest::mouseClick(f.Label1[0], Qt::RightButton);
            QVERIFY(f.isVisible());
            CheckEdges(f.Pic1[0], Shadow, Light);
            QCOMPARE(G.ButtonPressed, qint16(1));
            Click(f, 0);
        }));
        QCOMPARE(G.ButtonPressed, qint16(0));
        QVERIFY(Run(kShort, {"Another", "Exit"}, "Game Over", [&](MFormDeluxe& f) {
            CheckEdges(f.Pic1[0], Light, Shadow);
            CheckEdges(f.Pic1[1], Light, Shadow);
            QCOMPARE(f.Label1[0]->pos(), QPoint(1, 1));
            Click(f, 1);
        }));
    }

    // Keys and close requests leave the dialog open and the previous answer untouched.
    void noKeyboardAnswer() {
        G.ButtonPressed = 1;
        QVERIFY(Run(kShort, {"Yes", "No"}, "Delete Statisitcs?", [&](MFormDeluxe& f) {
            for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
                QTest::keyClick(&f, key);
            QVERIFY(!f.close());
            QVERIFY(f.isVisible());
            QCOMPARE(G.ButtonPressed, qint16(1));
            Click(f, 0);
        }));
        QCOMPARE(G.ButtonPressed, qint16(0));
    }

    // A chain given up while its question is open takes the question away with it.
    void abandonedChainTakesTheDialogAway() {
        Waits::ModalHook = [](QWidget*) { Waits::AbandonChain(); };
        QVERIFY_THROWS_EXCEPTION(Waits::ChainAbandoned,
                                 MsgDeluxe(kShort, "Exit", "Cancel", "", 1, "Really Exit?"));
        QVERIFY(!DeluxeForm().isVisible());
    }
};

QTEST_MAIN(TestMsgDeluxe)
#include "tst_msgdeluxe.moc"
