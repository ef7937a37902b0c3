// The help window and the About box: one help window however often it is opened, the printed
// rules and their layout, the About box loaded afresh after every close, and the System
// Information button with and without the tool.
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

const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");
const QString kPathKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO");

int LeadingBlanks(const QString& s) {
    int n = 0;
    while (n < s.size() && s.at(n) == QLatin1Char(' '))
        ++n;
    return n;
}

int CountTopLevel(const char* className) {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        n += w->inherits(className);
    return n;
}

// Answers the message boxes shown through the game's modal wait: notes what each said and
// presses OK, or gives up the waiting chain instead.
struct BoxAnswerer {
    QStringList texts, titles;
    explicit BoxAnswerer(bool abandon = false) {
        Waits::ModalHook = [this, abandon](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) return;
            texts << box->text();
            titles << box->windowTitle() + (QApplication::activeModalWidget() == box ? "" : " (not modal)");
            if (abandon)
                Waits::AbandonChain();
            else
                box->button(QMessageBox::Ok)->click();
        };
    }
    ~BoxAnswerer() { Waits::ModalHook = nullptr; }
};

// A registry ("key|value" -> text) and program start of our own in place of the platform's.
struct FakeSystem {
    QMap<QString, QString> values;
    bool startSucceeds = true, readerThrows = false;
    QStringList reads, started;
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
    }
    ~FakeSystem() {
        SysInfoKeyReader = savedReader;
        SysInfoStarter = savedStarter;
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

    void helpIsOneWindowHiddenAndShownAgain() {
        ShowHelp();
        frmHelp* first = &HelpForm();
        ShowHelp();
        QVERIFY(&HelpForm() == first && first->isVisible() && !first->isModal());
        first->btnClose->click();
        QVERIFY(!first->isVisible());
        ShowHelp();
        QVERIFY(first->isVisible());
        QCOMPARE(CountTopLevel("frmHelp"), 1);
        // The painted text reaches a screen reader through the description, in order.
        QCOMPARE(first->accessibleName(), QStringLiteral("Vantrick Help"));
        qsizetype from = 0;
        for (const QString& line : HelpLines()) {
            from = first->accessibleDescription().indexOf(line.trimmed(), from);
            QVERIFY2(from >= 0, qPrintable(line));
        }
    }

    // Ten sections, each a heading standing near the middle; every line fits the window and is
    // painted where it belongs.
    void helpTextAndItsLayout() {
        const QStringList lines = HelpLines();
        QStringList headings;
        for (const QString& line : lines)
            if (LeadingBlanks(line) >= 50) headings << line.trimmed();
        QCOMPARE(headings, QStringList({"Introduction", "Players", "The Cards", "Playing the Game",
                                        "Object of the Game", "The Deal", "Bidding", "The Play", "Scoring",
                                        "Playing on this computer"}));
        frmHelp& help = HelpForm();
        ShowHelp();
        QVERIFY(help.font().bold());
        const QFontMetrics fm(help.font());
        for (const QString& line : lines)
            QVERIFY2(fm.horizontalAdvance(line) < help.width(), qPrintable(line));
        QVERIFY(int(lines.size()) * fm.lineSpacing() <= help.btnClose->y());
        QVERIFY(help.rect().contains(help.btnClose->geometry()));
        // Every printed line leaves ink where its capitals stand, every empty line none; line i
        // stands i line spacings below the top of the first heading's ink (in device pixels).
        const QImage img = help.grab().toImage();
        const qreal dpr = img.devicePixelRatio();
        const int background = qGray(img.pixel(img.width() - 1, 0));
        auto inkBetween = [&](int y0, int y1) {
            for (int y = y0; y <= y1 && y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x)
                    if (qAbs(qGray(img.pixel(x, y)) - background) > 60) return true;
            return false;
        };
        int first = 0;
        while (first < img.height() && !inkBetween(first, first))
            ++first;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const int top = first + qRound(qreal(i) * fm.lineSpacing() * dpr);
            QVERIFY2(inkBetween(top, top + qRound((fm.capHeight() - 2) * dpr)) ==
                         !lines[i].trimmed().isEmpty(),
                     qPrintable(lines[i]));
        }
    }

    void aboutIsLoadedAfreshAfterEveryClose() {
        const std::function<void(frmAbout*)> closers[] = {
            [](frmAbout* f) { f->cmdOK->click(); }, [](frmAbout* f) { QTest::keyClick(f, Qt::Key_Escape); },
            [](frmAbout* f) { QTest::keyClick(f, Qt::Key_Return); }, [](frmAbout* f) { f->close(); }};
        for (const auto& close : closers) {
            ShowAbout();
            QPointer<frmAbout> old = AboutFormIfOpen();
            QVERIFY(old && old->isVisible() && !old->isModal());
            ShowAbout(); // already loaded: the same box
            QCOMPARE(AboutFormIfOpen(), old.data());
            old->lblVersion->setText(QStringLiteral("changed")); // must not survive the reload
            close(old);
            QVERIFY(!AboutFormIfOpen());
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(old.isNull());

            ShowAbout();
            const frmAbout* f = AboutFormIfOpen();
            QVERIFY(f && f->isVisible());
            QCOMPARE(CountTopLevel("frmAbout"), 1);
            QCOMPARE(f->windowTitle(), QStringLiteral("About VantrickII"));
            QCOMPARE(f->lblTitle->text(), QStringLiteral("VantrickII"));
            QCOMPARE(f->lblVersion->text(), QStringLiteral("Version %1.%2.%3")
                                                .arg(VT_VERSION_MAJOR)
                                                .arg(VT_VERSION_MINOR)
                                                .arg(VT_VERSION_PATCH));
            QCOMPARE(f->picIcon->accessibleName(), QStringLiteral("Vantrick icon"));
            cleanup();
        }
    }

    void sysInfoOnThisSystem() {
        ShowAbout();
        frmAbout* f = AboutFormIfOpen();
        BoxAnswerer answer;
        f->cmdSysInfo->click();
#ifndef Q_OS_WIN
        // No registry, so no tool: the standard box under the application's title, modal.
        QCOMPARE(answer.texts, QStringList{kUnavailable});
        QCOMPARE(answer.titles, QStringList{QStringLiteral("VantrickII")});
        QString val = QStringLiteral("stale");
        QVERIFY(!GetKeyValue(KeyRootLocalMachine, kPathKey.section('|', 0, 0), QStringLiteral("PATH"), val));
        QVERIFY(val.isEmpty());
#endif
        QVERIFY(AboutFormIfOpen() == f && f->isVisible());
    }

    void sysInfoFindsTheToolOrSaysUnavailable_data() {
        QTest::addColumn<QString>("path");     // the tool's registered path, "" = none
        QTest::addColumn<QString>("location"); // "tools" (holds the tool), "empty" or "" = none
        QTest::addColumn<bool>("startSucceeds");
        QTest::addColumn<bool>("readerThrows");
        QTest::addColumn<QString>("started"); // "" = the message instead
        QTest::newRow("nothing registered") << QString() << QString() << true << false << QString();
        QTest::newRow("path registered") << "C:\\Tools\\msinfo32.exe"
                                         << "tools" << true << false << "C:\\Tools\\msinfo32.exe";
        QTest::newRow("location without the tool") << QString() << "empty" << true << false << QString();
        QTest::newRow("location with the tool") << QString() << "tools" << true << false << "tools";
        QTest::newRow("tool will not start") << QString() << "tools" << false << false << QString();
        QTest::newRow("registry error") << QString() << "tools" << true << true << QString();
    }
    void sysInfoFindsTheToolOrSaysUnavailable() {
        QFETCH(QString, path);
        QFETCH(QString, location);
        QFETCH(QString, started);
        // The location is a directory; the tool is looked for in it as location + "\MSINFO32.EXE".
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkdir("tools") && QDir(tmp.path()).mkdir("empty"));
        const QString tool = tmp.filePath("tools") + QStringLiteral("\\MSINFO32.EXE");
        QFile file(tool);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        FakeSystem sys;
        if (!path.isEmpty()) sys.values[kPathKey] = path;
        if (!location.isEmpty()) sys.values[kLocationKey] = tmp.filePath(location);
        QFETCH(bool, startSucceeds);
        QFETCH(bool, readerThrows);
        sys.startSucceeds = startSucceeds;
        sys.readerThrows = readerThrows;
        ShowAbout();
        frmAbout* f = AboutFormIfOpen();
        BoxAnswerer answer;
        f->cmdSysInfo->click();
        QCOMPARE(answer.texts, started.isEmpty() ? QStringList{kUnavailable} : QStringList());
        if (!started.isEmpty()) QCOMPARE(sys.started, QStringList{started == "tools" ? tool : started});
        // The tool's own path is asked for first; the location only when that is missing.
        if (!readerThrows)
            QCOMPARE(sys.reads,
                     path.isEmpty() ? (QStringList{kPathKey, kLocationKey}) : QStringList{kPathKey});
        QCOMPARE(AboutFormIfOpen(), f);
    }

    void sysInfoMessageGivesWayWhenTheWaitIsAbandoned() {
        // New Game or Exit confirmed elsewhere while the message is up: the message goes,
        // nothing else is shown, and the About box carries on.
        ShowAbout();
        frmAbout* f = AboutFormIfOpen();
        FakeSystem sys;
        BoxAnswerer answer(true);
        f->cmdSysInfo->click();
        QCOMPARE(answer.texts, QStringList{kUnavailable});
        QVERIFY(f->findChildren<QMessageBox*>().isEmpty());
        QCOMPARE(Waits::ChainDepth(), 0);
        QVERIFY(AboutFormIfOpen() == f && f->isVisible());
    }
};

QTEST_MAIN(TestHelpAbout)
#include "tst_helpabout.moc"
