// The help window and the About box: one help window however often it is opened, its text
// fitting the window; the About box loaded afresh after every close; the System Information
// button where there is no such tool.
#include "Platform.h"
#include "Waits.h"
#include "frmAbout.h"
#include "frmHelp.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>

namespace {

int CountTopLevel(const char* className) {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += w->inherits(className) && w->isVisible();
    return n;
}

} // namespace

class TestHelpAbout : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() {
        Waits::Reset();
        if (frmAbout* f = AboutFormIfOpen()) f->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        HelpForm().hide();
    }

    void helpIsOneWindowAndItsTextFits() {
        ShowHelp();
        frmHelp* first = &HelpForm();
        ShowHelp();
        QVERIFY(&HelpForm() == first && first->isVisible() && !first->isModal());
        first->btnClose->click();
        QVERIFY(!first->isVisible());
        ShowHelp();
        QCOMPARE(CountTopLevel("frmHelp"), 1);
        const QFontMetrics fm(first->font());
        for (const QString& line : HelpLines())
            QVERIFY2(fm.horizontalAdvance(line) < first->width(), qPrintable(line));
        QVERIFY(int(HelpLines().size()) * fm.lineSpacing() <= first->btnClose->y());
        QVERIFY(first->rect().contains(first->btnClose->geometry()));
    }

    void aboutIsLoadedAfreshAfterEveryClose() {
        const std::function<void(frmAbout*)> closers[] = {
            [](frmAbout* f) { f->cmdOK->click(); }, [](frmAbout* f) { QTest::keyClick(f, Qt::Key_Escape); },
            [](frmAbout* f) { QTest::keyClick(f, Qt::Key_Return); }, [](frmAbout* f) { f->close(); }};
        for (const auto& close : closers) {
            ShowAbout();
            QPointer<frmAbout> old = AboutFormIfOpen();
            ShowAbout(); // already loaded: the same box
            QVERIFY(old && AboutFormIfOpen() == old && old->isVisible() && !old->isModal());
            const QString version = old->lblVersion->text();
            old->lblVersion->setText(QStringLiteral("changed")); // must not survive the reload
            close(old);
            QVERIFY(!AboutFormIfOpen());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(old.isNull());
            ShowAbout();
            QVERIFY(AboutFormIfOpen() && AboutFormIfOpen()->isVisible());
            QCOMPARE(AboutFormIfOpen()->lblVersion->text(), version);
            QCOMPARE(CountTopLevel("frmAbout"), 1);
            cleanup();
        }
    }

    // There is no System Information tool here: the button says so in a box of its own, through
    // the game's one wait, and the About box stays.
    void sysInfoSaysUnavailable() {
        ShowAbout();
        frmAbout* f = AboutFormIfOpen();
        QStringList boxes;
        Waits::ModalHook = [&](QWidget* w) {
            if (auto* box = qobject_cast<QMessageBox*>(w))
                boxes << box->text(), box->button(QMessageBox::Ok)->click();
        };
        f->cmdSysInfo->click();
        QCOMPARE(boxes.size(), 1);
        QVERIFY(AboutFormIfOpen() == f && f->isVisible() && Waits::ChainDepth() == 0);
    }
};

QTEST_MAIN(TestHelpAbout)
#include "tst_helpabout.moc"
