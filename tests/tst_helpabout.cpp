// The help window and the About box: one help window however often it is opened, its text
// fitting the window; the About box loaded afresh after every close; the System Information
// button where there is no such tool.
#include "Platform.h"
#include "Waits.h"
#include "frmAbout.h"
#include "frmHelp.h"

#include <QtTest>

class TestHelpAbout : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() { Waits::Reset(); }

    void helpIsOneWindowAndItsTextFits() {
        ShowHelp();
        frmHelp* help = &HelpForm();
        help->btnClose->click();
        QVERIFY(!help->isVisible());
        ShowHelp();
        QVERIFY(&HelpForm() == help && help->isVisible() && !help->isModal());
        const QFontMetrics fm(help->font());
        for (const QString& line : HelpLines())
            QVERIFY2(fm.horizontalAdvance(line) < help->width(), qPrintable(line));
        QVERIFY(int(HelpLines().size()) * fm.lineSpacing() <= help->btnClose->y() &&
                help->rect().contains(help->btnClose->geometry()));
    }

    // However the About box is closed, it is unloaded, and the next one shows the version afresh.
    void aboutIsLoadedAfreshAfterEveryClose() {
        const std::function<void(frmAbout*)> closers[] = {
            [](frmAbout* f) { f->cmdOK->click(); }, [](frmAbout* f) { QTest::keyClick(f, Qt::Key_Escape); },
            [](frmAbout* f) { QTest::keyClick(f, Qt::Key_Return); }, [](frmAbout* f) { f->close(); }};
        for (const auto& close : closers) {
            ShowAbout();
            QPointer<frmAbout> old = AboutFormIfOpen();
            ShowAbout(); // already loaded: the same box
            QVERIFY(old && AboutFormIfOpen() == old && old->isVisible() && !old->isModal());
            old->lblVersion->setText(QString()); // must not survive the reload
            close(old);
            QVERIFY(!AboutFormIfOpen());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(old.isNull());
            ShowAbout();
            QVERIFY(AboutFormIfOpen()->isVisible() &&
                    AboutFormIfOpen()->lblVersion->text().endsWith(AppVersion()));
        }
    }

    // There is no System Information tool here: the button says so in a box of its own, through
    // the game's one wait, and the About box stays.
    void sysInfoSaysUnavailable() {
        ShowAbout();
        frmAbout* f = AboutFormIfOpen();
        int boxes = 0;
        Waits::ModalHook = [&](QWidget* w) {
            boxes += w->inherits("QMessageBox");
            w->close();
        };
        f->cmdSysInfo->click();
        QVERIFY(boxes == 1 && AboutFormIfOpen() == f && f->isVisible() && Waits::ChainDepth() == 0);
    }
};

QTEST_MAIN(TestHelpAbout)
#include "tst_helpabout.moc"
