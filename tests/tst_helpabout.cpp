// The help window and the About box: one help window however often it is opened, the
// printed rules and their layout, the About box loaded afresh after every close, and the
// System Information button with and without the tool.

#include "Platform.h"
#include "Waits.h"
#include "frmAbout.h"
#include "frmHelp.h"

#include <QApplication>
#include <QDir>
#include <QFontInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTemporaryDir>
#include <QtTest>
#include <stdexcept>

namespace {

const QStringList kHeadings = {
    "Introduction", "Players", "The Cards", "Playing the Game", "Object of the Game",
    "The Deal",     "Bidding", "The Play",  "Scoring"};
const QString kUnavailable = QStringLiteral("System Information Is Unavailable At This Time");
const QString kPathKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO|PATH");
const QString kLocationKey = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location|MSINFO");

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
        n += w->inherits(className) ? 1 : 0;
    return n;
}

// Answers the message boxes shown through the game's modal wait: notes what each said and
// presses OK, or gives up the waiting chain instead.
struct BoxAnswerer {
    QStringList texts, titles, names;
    QList<bool> modal;
    explicit BoxAnswerer(bool abandon = false) {
        Waits::ModalHook = [this, abandon](QWidget* w) {
            auto* box = qobject_cast<QMessageBox*>(w);
            if (!box) return;
            texts << box->text();
            titles << box->windowTitle();
            names << box->objectName();
            modal << (QApplication::activeModalWidget() == box);
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
        QCOMPARE(&HelpForm(), first);
        QVERIFY(first->isVisible() && !first->isModal());

        first->btnClose->click();
        QVERIFY(!first->isVisible());
        ShowHelp();
        QVERIFY(first->isVisible());
        QCOMPARE(&HelpForm(), first);
        QCOMPARE(CountTopLevel("frmHelp"), 1);

        // The painted text reaches a screen reader through the description, in order.
        QCOMPARE(first->accessibleName(), QStringLiteral("Vantrick Help"));
        const QString description = first->accessibleDescription();
        qsizetype from = 0;
        for (const QString& line : HelpLines()) {
            from = description.indexOf(line.trimmed(), from);
            QVERIFY2(from >= 0, qPrintable(line));
        }
    }

    void helpTextHasTheNineSectionsInTheirLayout() {
        const QStringList lines = HelpLines();
        QStringList headings;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            const QString& line = lines.at(i);
            QVERIFY2(line.size() <= 142, qPrintable(line));
            const int blanks = LeadingBlanks(line);
            if (IsBlankLine(line)) continue;
            if (blanks == 1) {
                QVERIFY(!headings.isEmpty());
                continue;
            }
            // A heading near the middle: an empty line above it (unless it opens the text)
            // and below it, then a body line.
            QVERIFY2(blanks >= 54 && blanks <= 57, qPrintable(line));
            headings << line.mid(blanks);
            QVERIFY(i + 2 < lines.size() && IsBlankLine(lines.at(i + 1)) &&
                    LeadingBlanks(lines.at(i + 2)) == 1);
            QVERIFY(i == 0 ? headings.size() == 1 : IsBlankLine(lines.at(i - 1)));
        }
        QCOMPARE(headings, kHeadings);
        QVERIFY(!IsBlankLine(lines.last()));
    }

    void helpWindowShowsEveryLine() {
        frmHelp& help = HelpForm();
        ShowHelp();
        const QStringList lines = HelpLines();
        const QFontInfo info(help.font());
        QVERIFY2(info.family() == QLatin1String("Verdana") || info.family() == QLatin1String("DejaVu Sans"),
                 qPrintable(info.family()));
        QVERIFY(info.bold());

        // Every line fits across, all of them fit above the Close button, which fits inside.
        const QFontMetrics fm(help.font());
        for (const QString& line : lines)
            QVERIFY2(fm.horizontalAdvance(line) < help.width(), qPrintable(line));
        QVERIFY(static_cast<int>(lines.size()) * fm.lineSpacing() <= help.btnClose->y());
        QVERIFY(help.rect().contains(help.btnClose->geometry()));

        // Every printed line leaves ink where its capitals stand, every empty line none;
        // line i stands i line spacings below the top of the first heading's ink (rows of the
        // grabbed image are device pixels).
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
            const int top = first + qRound(static_cast<qreal>(i) * fm.lineSpacing() * dpr);
            QVERIFY2(inkBetween(top, top + qRound((fm.capHeight() - 2) * dpr)) == !IsBlankLine(lines.at(i)),
                     qPrintable(lines.at(i)));
        }
    }

    void aboutIsLoadedAfreshAfterEveryClose_data() {
        QTest::addColumn<int>("how");
        QTest::newRow("OK button") << 0;
        QTest::newRow("Escape") << 1;
        QTest::newRow("Enter") << 2;
        QTest::newRow("close box") << 3;
    }
    void aboutIsLoadedAfreshAfterEveryClose() {
        QFETCH(int, how);
        ShowAbout();
        QPointer<frmAbout> old = AboutFormIfOpen();
        QVERIFY(old && old->isVisible() && !old->isModal());
        ShowAbout(); // already loaded: the same box
        QCOMPARE(AboutFormIfOpen(), old.data());
        old->lblVersion->setText(QStringLiteral("changed")); // must not survive the reload

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
        QCOMPARE(answer.names, QStringList{QStringLiteral("SysInfoUnavailable")});
        QCOMPARE(answer.modal, QList<bool>{true});
        QString val = QStringLiteral("stale");
        QVERIFY(!GetKeyValue(KeyRootLocalMachine, kPathKey.section('|', 0, 0), QStringLiteral("PATH"), val));
        QVERIFY(val.isEmpty());
#endif
        QCOMPARE(AboutFormIfOpen(), f);
        QVERIFY(f->isVisible());
    }

    void sysInfoFindsTheToolOrSaysUnavailable_data() {
        QTest::addColumn<QString>("path");     // the tool's registered path, "" = none
        QTest::addColumn<QString>("location"); // "tools" (holds the tool), "empty" or "" = none
        QTest::addColumn<bool>("startSucceeds");
        QTest::addColumn<bool>("readerThrows");
        QTest::addColumn<QString>("expectStarted"); // "" = the message instead
        QTest::newRow("nothing registered") << ""
                                            << "" << true << false << "";
        QTest::newRow("path registered") << "C:\\Tools\\msinfo32.exe"
                                         << "tools" << true << false << "C:\\Tools\\msinfo32.exe";
        QTest::newRow("location without the tool") << ""
                                                   << "empty" << true << false << "";
        QTest::newRow("location with the tool") << ""
                                                << "tools" << true << false << "tools";
        QTest::newRow("tool will not start") << ""
                                             << "tools" << false << false << "";
        QTest::newRow("registry error") << ""
                                        << "tools" << true << true << "";
    }
    void sysInfoFindsTheToolOrSaysUnavailable() {
        QFETCH(QString, path);
        QFETCH(QString, location);
        QFETCH(bool, startSucceeds);
        QFETCH(bool, readerThrows);
        QFETCH(QString, expectStarted);
        // The location is a directory; the tool is looked for in it as location + "\MSINFO32.EXE".
        QTemporaryDir tmp;
        QVERIFY(QDir(tmp.path()).mkdir("tools") && QDir(tmp.path()).mkdir("empty"));
        auto inTmp = [&](const QString& s) { return s.isEmpty() || s.contains('\\') ? s : tmp.filePath(s); };
        const QString tool = inTmp("tools") + QStringLiteral("\\MSINFO32.EXE");
        QFile file(tool);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.close();

        FakeSystem sys;
        if (!path.isEmpty()) sys.values[kPathKey] = path;
        if (!location.isEmpty()) sys.values[kLocationKey] = inTmp(location);
        sys.startSucceeds = startSucceeds;
        sys.readerThrows = readerThrows;
        ShowAbout();
        frmAbout* f = AboutFormIfOpen();
        BoxAnswerer answer;
        f->cmdSysInfo->click();

        if (expectStarted.isEmpty()) {
            QCOMPARE(answer.texts, QStringList{kUnavailable});
        } else {
            QVERIFY(answer.texts.isEmpty());
            QCOMPARE(sys.started, QStringList{expectStarted == "tools" ? tool : expectStarted});
        }
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
        QCOMPARE(AboutFormIfOpen(), f);
        QVERIFY(f->isVisible());
    }
};

QTEST_MAIN(TestHelpAbout)
#include "tst_helpabout.moc"
