// The help window and the About box: one help window however often it is opened, the
// printed rules and their layout, the About box loaded afresh after every close, and the
// System Information button on a system without the tool.

#include "Platform.h"
#include "frmAbout.h"
#include "frmHelp.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>
#include <stdexcept>

namespace {

const QStringList kHeadings = {
    "Introduction", "Players", "The Cards", "Playing the Game", "Object of the Game",
    "The Deal",     "Bidding", "The Play",  "Scoring"};

int LeadingBlanks(const QString& s) {
    int n = 0;
    while (n < s.size() && s.at(n) == QLatin1Char(' '))
        ++n;
    return n;
}

bool IsBlankLine(const QString& s) {
    return s.trimmed().isEmpty();
}

int CountTopLevel(const char* className) {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->inherits(className)) ++n;
    return n;
}

// Answers every application-modal message box that comes up while it lives: notes what the
// box said and presses its OK button.
class BoxAnswerer {
  public:
    BoxAnswerer() {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            texts << box->text();
            titles << box->windowTitle();
            names << box->objectName();
            box->button(QMessageBox::Ok)->click();
        });
        timer_.start();
    }
    QStringList texts, titles, names;

  private:
    QTimer timer_;
};

// A stand-in registry and program start for StartSysInfo.
struct FakeSystem {
    QMap<QString, QString> values; // "key|value name" -> text
    bool startSucceeds = true;
    bool readerThrows = false;
    QStringList reads;
    QStringList started;

    FakeSystem() : savedReader_(SysInfoKeyReader), savedStarter_(SysInfoStarter) {
        SysInfoKeyReader = [this](qintptr root, const QString& key, const QString& name, QString& val) {
            if (readerThrows) throw std::runtime_error("registry broken");
            reads << QStringLiteral("%1|%2|%3").arg(root == KeyRootLocalMachine ? "HKLM" : "?", key, name);
            const auto it = values.constFind(key + QLatin1Char('|') + name);
            val = it == values.constEnd() ? QString() : *it;
            return it != values.constEnd();
        };
        SysInfoStarter = [this](const QString& path) {
            started << path;
            return startSucceeds;
        };
    }
    ~FakeSystem() {
        SysInfoKeyReader = savedReader_;
        SysInfoStarter = savedStarter_;
    }

  private:
    decltype(SysInfoKeyReader) savedReader_;
    decltype(SysInfoStarter) savedStarter_;
};

const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");
const QString kMsinfoKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");

void UnloadAbout() {
    if (frmAbout* f = AboutFormIfOpen()) f->cmdOK->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

class TestHelpAbout : public QObject {
    Q_OBJECT
  private slots:
    void cleanup() {
        UnloadAbout();
        HelpForm().hide();
    }

    void helpIsOneWindowHiddenAndShownAgain() {
        ShowHelp();
        frmHelp* first = &HelpForm();
        ShowHelp();
        QCOMPARE(&HelpForm(), first);
        QVERIFY(first->isVisible());
        QVERIFY(!first->isModal());
        QCOMPARE(CountTopLevel("frmHelp"), 1);

        first->btnClose->click();
        QVERIFY(!first->isVisible());
        QCOMPARE(&HelpForm(), first); // hidden, not unloaded

        ShowHelp();
        QVERIFY(first->isVisible());
        QCOMPARE(&HelpForm(), first);
        QCOMPARE(CountTopLevel("frmHelp"), 1);
        QCOMPARE(first->btnClose->text(), QStringLiteral("&Close"));
    }

    void helpTextHasTheNineSectionsInTheirLayout() {
        const QStringList lines = HelpLines();
        QVERIFY(!lines.isEmpty());

        QStringList headings;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString& line = lines.at(i);
            QVERIFY2(line.size() <= 142,
                     qPrintable(QStringLiteral("line %1 is %2 long").arg(i).arg(line.size())));
            if (IsBlankLine(line)) continue;
            const int blanks = LeadingBlanks(line);
            if (blanks > 1) {
                // A heading: near the middle, an empty line below it, an empty line above it
                // unless it opens the text, and a body line after that.
                QVERIFY2(blanks >= 54 && blanks <= 57, qPrintable(line));
                headings << line.mid(blanks);
                QVERIFY(i + 2 < lines.size());
                QVERIFY(IsBlankLine(lines.at(i + 1)));
                QCOMPARE(LeadingBlanks(lines.at(i + 2)), 1);
                if (i > 0)
                    QVERIFY(IsBlankLine(lines.at(i - 1)));
                else
                    QCOMPARE(headings.size(), 1);
            } else {
                QVERIFY2(blanks == 1,
                         qPrintable(QStringLiteral("body line %1 does not start with one blank").arg(i)));
                QVERIFY(!headings.isEmpty());
            }
        }
        QCOMPARE(headings, kHeadings);
        QVERIFY(!IsBlankLine(lines.last()));
    }

    void helpWindowShowsEveryLine() {
        frmHelp& help = HelpForm();
        ShowHelp();
        const QStringList lines = HelpLines();

        // The window's font is the one asked for, or its stand-in, and bold.
        const QFontInfo info(help.font());
        QVERIFY2(info.family() == QLatin1String("Verdana") || info.family() == QLatin1String("DejaVu Sans"),
                 qPrintable(info.family()));
        QVERIFY(info.bold());

        // Every line fits across, all of them fit above the Close button, the button fits inside.
        const QFontMetrics fm(help.font());
        for (const QString& line : lines)
            QVERIFY2(fm.horizontalAdvance(line) < help.width(), qPrintable(line));
        QVERIFY(static_cast<int>(lines.size()) * fm.lineSpacing() <= help.btnClose->y());
        QVERIFY(help.rect().contains(help.btnClose->geometry()));

        // The painting: every printed line leaves ink at its own place, every empty line none.
        // Line i's capitals occupy rows first + i * lineSpacing .. + capHeight, where
        // first is the top of the first heading's ink.
        const QImage img = help.grab().toImage();
        const QRgb background = img.pixel(img.width() - 1, 0);
        auto rowHasInk = [&](int y) {
            for (int x = 0; x < img.width(); ++x)
                if (qAbs(qGray(img.pixel(x, y)) - qGray(background)) > 60) return true;
            return false;
        };
        int first = 0;
        while (first < img.height() && !rowHasInk(first))
            ++first;
        QVERIFY(first < help.btnClose->y());
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const int top = first + static_cast<int>(i) * fm.lineSpacing();
            bool ink = false;
            for (int y = top; y <= top + fm.capHeight() - 2 && y < img.height(); ++y)
                ink = ink || rowHasInk(y);
            QVERIFY2(ink == !IsBlankLine(lines.at(i)), qPrintable(QStringLiteral("line %1").arg(i)));
        }
    }

    void helpTextReachesScreenReaders() {
        const frmHelp& help = HelpForm();
        QCOMPARE(help.accessibleName(), QStringLiteral("Vantrick Help"));
        const QString description = help.accessibleDescription();
        qsizetype from = 0;
        for (const QString& heading : kHeadings) {
            const qsizetype at = description.indexOf(heading, from);
            QVERIFY2(at >= 0, qPrintable(heading));
            from = at + heading.size();
        }
        for (const QString& line : HelpLines())
            QVERIFY(description.contains(line.trimmed()));
    }

    void aboutLoadsItsCaptions() {
        ShowAbout();
        frmAbout* f = AboutFormIfOpen();
        QVERIFY(f);
        QVERIFY(f->isVisible());
        QVERIFY(!f->isModal());
        QCOMPARE(f->windowTitle(), QStringLiteral("About VantrickII"));
        QCOMPARE(f->lblTitle->text(), QStringLiteral("VantrickII"));
        QCOMPARE(f->lblVersion->text(), QStringLiteral("Version %1.%2.%3")
                                            .arg(VT_VERSION_MAJOR)
                                            .arg(VT_VERSION_MINOR)
                                            .arg(VT_VERSION_PATCH));
        QCOMPARE(f->lblDescription->text(),
                 QStringLiteral("A completely addicitve and fun card game for all ages."));
        QVERIFY(!f->lblDisclaimer->text().isEmpty());
        QCOMPARE(f->cmdOK->text(), QStringLiteral("OK"));
        QVERIFY(f->cmdOK->isDefault());
        QCOMPARE(f->cmdSysInfo->text(), QStringLiteral("&System Info..."));
        QCOMPARE(f->picIcon->accessibleName(), QStringLiteral("Vantrick icon"));
        QVERIFY(!f->Line1->accessibleName().isEmpty());

        // Showing it again while it is loaded keeps the same box.
        ShowAbout();
        QCOMPARE(AboutFormIfOpen(), f);
        QCOMPARE(CountTopLevel("frmAbout"), 1);
    }

    void aboutIsUnloadedByOkEscapeEnterAndCloseBox_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("OK button") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("Enter") << 2;
        QTest::newRow("close box") << 3;
    }
    void aboutIsUnloadedByOkEscapeEnterAndCloseBox() {
        QFETCH(int, how);
        ShowAbout();
        QPointer<frmAbout> old = AboutFormIfOpen();
        QVERIFY(old);
        old->lblTitle->setText(QStringLiteral("changed")); // must not survive the reload

        switch (how) {
        case 0:
            old->cmdOK->click();
            break;
        case 1:
            QTest::keyClick(old, Qt::Key_Escape);
            break;
        case 2:
            QTest::keyClick(old, Qt::Key_Return);
            break;
        default:
            old->close();
            break;
        }
        QVERIFY(!AboutFormIfOpen());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(old.isNull());

        ShowAbout();
        frmAbout* again = AboutFormIfOpen();
        QVERIFY(again);
        QVERIFY(again->isVisible());
        QCOMPARE(again->windowTitle(), QStringLiteral("About VantrickII"));
        QCOMPARE(again->lblTitle->text(), QStringLiteral("VantrickII"));
        QVERIFY(again->lblVersion->text().startsWith(QStringLiteral("Version ")));
        QCOMPARE(CountTopLevel("frmAbout"), 1);
    }

    void sysInfoOnThisSystemSaysUnavailableAndAboutStays() {
        ShowAbout();
        frmAbout* f = AboutFormIfOpen();
        BoxAnswerer answer;
        f->cmdSysInfo->click();
#ifndef Q_OS_WIN
        QCOMPARE(answer.texts, QStringList{kUnavailable});
        QCOMPARE(answer.titles, QStringList{QStringLiteral("VantrickII")});
        QCOMPARE(answer.names, QStringList{QStringLiteral("SysInfoUnavailable")});
#endif
        QCOMPARE(AboutFormIfOpen(), f);
        QVERIFY(f->isVisible());
    }

    void sysInfoFindsTheToolOrSaysUnavailable() {
        QTemporaryDir tmp;
        QVERIFY(tmp.isValid());
        // The registered location is a directory; the tool is looked for as location + "\MSINFO32.EXE".
        const QString location = tmp.path() + QStringLiteral("/tools");
        QVERIFY(QDir(tmp.path()).mkdir(QStringLiteral("tools")));
        const QString toolInLocation = location + QStringLiteral("\\MSINFO32.EXE");
        const QString emptyLocation = tmp.path() + QStringLiteral("/empty");
        QVERIFY(QDir(tmp.path()).mkdir(QStringLiteral("empty")));
        {
            QFile tool(toolInLocation);
            QVERIFY(tool.open(QIODevice::WriteOnly));
        }

        ShowAbout();
        frmAbout* f = AboutFormIfOpen();

        { // Neither value: the message; both places were asked, in order.
            FakeSystem sys;
            BoxAnswerer answer;
            f->cmdSysInfo->click();
            QCOMPARE(answer.texts, QStringList{kUnavailable});
            QVERIFY(sys.started.isEmpty());
            QCOMPARE(sys.reads,
                     (QStringList{"HKLM|" + kMsinfoKey + "|PATH", "HKLM|" + kLocationKey + "|MSINFO"}));
        }
        { // The tool's own path registered: started from there, no message, no second read.
            FakeSystem sys;
            sys.values[kMsinfoKey + "|PATH"] = QStringLiteral("C:\\Tools\\msinfo32.exe");
            BoxAnswerer answer;
            f->cmdSysInfo->click();
            QVERIFY(answer.texts.isEmpty());
            QCOMPARE(sys.started, QStringList{QStringLiteral("C:\\Tools\\msinfo32.exe")});
            QCOMPARE(sys.reads.size(), 1);
        }
        { // A location without the tool in it: the message.
            FakeSystem sys;
            sys.values[kLocationKey + "|MSINFO"] = emptyLocation;
            BoxAnswerer answer;
            f->cmdSysInfo->click();
            QCOMPARE(answer.texts, QStringList{kUnavailable});
            QVERIFY(sys.started.isEmpty());
        }
        { // A location holding the tool: started.
            FakeSystem sys;
            sys.values[kLocationKey + "|MSINFO"] = location;
            BoxAnswerer answer;
            f->cmdSysInfo->click();
            QVERIFY(answer.texts.isEmpty());
            QCOMPARE(sys.started, QStringList{toolInLocation});
        }
        { // The tool is there but will not start: the message.
            FakeSystem sys;
            sys.values[kMsinfoKey + "|PATH"] = toolInLocation;
            sys.startSucceeds = false;
            BoxAnswerer answer;
            f->cmdSysInfo->click();
            QCOMPARE(answer.texts, QStringList{kUnavailable});
        }
        { // An error inside does not escape: the message, and the box carries on.
            FakeSystem sys;
            sys.readerThrows = true;
            BoxAnswerer answer;
            f->cmdSysInfo->click();
            QCOMPARE(answer.texts, QStringList{kUnavailable});
        }
        QCOMPARE(AboutFormIfOpen(), f);
        QVERIFY(f->isVisible());
    }

    void getKeyValueFailsCleanly() {
        QString val = QStringLiteral("stale");
        QVERIFY(!GetKeyValue(KeyRootLocalMachine, QStringLiteral("SOFTWARE\\Vantrick\\No Such Key\\Anywhere"),
                             QStringLiteral("PATH"), val));
        QVERIFY(val.isEmpty());
#ifndef Q_OS_WIN
        // No registry here, so not even the system's own keys can be read.
        val = QStringLiteral("stale");
        QVERIFY(!GetKeyValue(KeyRootLocalMachine, kMsinfoKey, QStringLiteral("PATH"), val));
        QVERIFY(val.isEmpty());
#endif
    }
};

QTEST_MAIN(TestHelpAbout)
#include "tst_helpabout.moc"
