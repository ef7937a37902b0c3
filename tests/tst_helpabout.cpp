// The help window and the About box: one help window however often it is opened, its text
// fitting the window; the About box loaded afresh after every close; the System Information
// button with and without the tool.
#include "CoreTestSupport.h"
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

const QString kPathKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO");

// name, registered path, registered location ("tools" holds the tool), start succeeds, registry
// error, the program started
const std::tuple<const char*, const char*, const char*, bool, bool, const char*> kSysInfo[] = {
    {"nothing registered", "", "", true, false, ""},
    {"path registered", "C:\\msinfo32.exe", "tools", true, false, "C:\\msinfo32.exe"},
    {"location with the tool", "", "tools", true, false, "tools"},
    {"tool will not start", "", "tools", false, false, "tools"},
    {"registry error", "", "tools", true, true, ""},
};

int CountTopLevel(const char* className) {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += w->inherits(className) && w->isVisible();
    return n;
}

// A registry ("key|value" -> text) and program start of our own in place of the platform's; the
// message boxes shown through the game's wait are noted and answered.
struct FakeSystem {
    QMap<QString, QString> values;
    bool startSucceeds = true, readerThrows = false;
    QStringList reads, started, boxes;
    decltype(SysInfoKeyReader) savedReader = SysInfoKeyReader;
    decltype(SysInfoStarter) savedStarter = SysInfoStarter;
    FakeSystem() {
        SysInfoKeyReader = [this](qintptr root, const QString& key, const QString& name, QString& val) {
            if (readerThrows) throw std::runtime_error("registry broken");
            const QString k = key + QLatin1Char('|') + name;
            reads << (root == KeyRootLocalMachine ? k : QStringLiteral("wrong root"));
            val = values.value(k);
            return values.contains(k);
        };
        SysInfoStarter = [this](const QString& path) {
            started << path;
            return startSucceeds;
        };
        Waits::ModalHook = [this](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) return;
            boxes << box->text();
            box->button(QMessageBox::Ok)->click();
        };
    }
    ~FakeSystem() {
        SysInfoKeyReader = savedReader;
        SysInfoStarter = savedStarter;
        Waits::ModalHook = nullptr;
    }
};

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

    void sysInfo_data() { TestSupport::Rows(kSysInfo); }
    void sysInfo() {
        QFETCH(int, i);
        const auto& [name, path, location, startSucceeds, readerThrows, started] = kSysInfo[i];
        // The location is a directory; the tool is looked for in it as location + "\MSINFO32.EXE".
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkdir("tools"));
        const QString tool = tmp.filePath("tools") + QStringLiteral("\\MSINFO32.EXE");
        QFile file(tool);
        QVERIFY(file.open(QIODevice::WriteOnly));
        FakeSystem sys;
        if (*path) sys.values[kPathKey] = path;
        if (*location) sys.values[kLocationKey] = tmp.filePath(location);
        sys.startSucceeds = startSucceeds;
        sys.readerThrows = readerThrows;
        ShowAbout();
        frmAbout* f = AboutFormIfOpen();
        f->cmdSysInfo->click();
        // Started, or the message instead; the tool's own path is asked for before the location.
        QCOMPARE(sys.started.value(0), QString(started).replace("tools", tool));
        QCOMPARE(sys.boxes.size(), *started && startSucceeds ? 0 : 1);
        if (!readerThrows)
            QCOMPARE(sys.reads, *path ? QStringList{kPathKey} : (QStringList{kPathKey, kLocationKey}));
        QCOMPARE(AboutFormIfOpen(), f);
    }
};

QTEST_MAIN(TestHelpAbout)
#include "tst_helpabout.moc"
