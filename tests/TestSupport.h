#pragma once
// Shared set-up for the widget tests: a fresh table and game state, sound muted, the data files
// and settings in a temporary directory, the Play menu's choices off, pauses shortened; dialogs
// answered through their real widgets.
#include "CoreTestSupport.h"
#include "DataFiles.h"
#include "FrmBid.h"
#include "GameState.h"
#include "MFormDeluxe.h"
#include "Options.h"
#include "Sound.h"
#include "Table.h"
#include "Tricks.h"
#include "Waits.h"

#include <QAccessible>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <optional>

// The suite's table, on the suite's game: made on first use, destroyed by FreshState.
inline QPointer<Table>& SuiteTable() {
    static QPointer<Table> table;
    return table;
}
inline Table& TableForm() {
    if (!SuiteTable()) {
        SuiteTable() = new Table(TheGame());
        SuiteTable()->ExitHook = [] {};
    }
    return *SuiteTable();
}
inline bool TableExists() {
    return !SuiteTable().isNull();
}
inline void DestroyTableForm() {
    delete SuiteTable().data();
}

// A try of QtTest's waits as long as WaitFor: a busy machine may need seconds.
#undef QTRY_VERIFY
#define QTRY_VERIFY(expr) QTRY_VERIFY_WITH_TIMEOUT((expr), 120000)

namespace TestSupport {

inline void FreshState(const QString& dataDir, double pace = 0.0) {
    if (TableExists()) DestroyTableForm();
    Waits::Reset();
    Waits::PaceScale = pace;
    ResetGameState();
    Sound::SetMuted(true);
    DataFiles::SetDataDirOverride(dataDir);
    QFile::remove(dataDir + QStringLiteral("/Game.dat")); // no game left over from another test
    // The Play menu's choices all off, kept in the test's own directory, never the user's.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dataDir + QStringLiteral("/config")));
    Options::Current() = {};
}

inline QString AccName(QObject* o) {
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(o);
    return a ? a->text(QAccessible::Name) : QStringLiteral("<no interface>");
}

inline QColor PixelAt(QWidget* w, QPoint p) {
    const QImage img = w->grab().toImage();
    const qreal dpr = img.devicePixelRatio();
    return img.pixelColor(QPoint(int(p.x() * dpr), int(p.y() * dpr)));
}

inline QStringList ListLines() {
    QStringList lines;
    for (int i = 0; i < TableForm().List1->count(); ++i)
        lines << TableForm().List1->item(i)->text();
    return lines;
}

// Answers every modal dialog through its real widgets and records what was asked.
struct DialogScript {
    QStringList titles;         // titles of the message dialogs and standard boxes, in order
    QStringList messages;       // their messages
    QHash<QString, int> answer; // message-dialog title -> button index to click (default 0)
    QString bidText = QStringLiteral("1");
    QMessageBox::StandardButton boxAnswer = QMessageBox::Ok; // for QMessageBox (Ok/Yes or Cancel/No)
    std::optional<QString> inputText;                        // QInputDialog text; nullopt = Cancel

    void Install() {
        Waits::ModalHook = [this](QWidget* w) { Answer(w); };
    }

    void Answer(QWidget* w) {
        if (auto* d = qobject_cast<MFormDeluxe*>(w)) {
            titles << d->windowTitle();
            messages << d->Label2->text();
            QTest::mouseClick(d->Label1[answer.value(titles.last(), 0)], Qt::LeftButton);
        } else if (auto* b = qobject_cast<FrmBid*>(w)) {
            b->TxtBid->setText(bidText);
            QTest::mouseClick(b->CmdBid, Qt::LeftButton);
        } else if (auto* m = qobject_cast<QMessageBox*>(w)) {
            titles << m->windowTitle();
            messages << m->text();
            QAbstractButton* button = m->button(boxAnswer);
            QTest::mouseClick(
                button ? button
                       : m->button(boxAnswer == QMessageBox::Ok ? QMessageBox::Yes : QMessageBox::Ok),
                Qt::LeftButton);
        } else if (auto* in = qobject_cast<QInputDialog*>(w)) {
            titles << in->windowTitle();
            if (inputText) in->setTextValue(*inputText);
            inputText ? in->accept() : QTest::keyClick(in, Qt::Key_Escape);
        }
    }
};

// Runs action once, from a timer of its own, as soon as pred() holds; works inside the
// game's nested waits, where a test function's own code cannot run.
inline void When(std::function<bool()> pred, std::function<void()> action) {
    auto* poll = new QTimer(qApp);
    poll->setInterval(2);
    QObject::connect(poll, &QTimer::timeout, poll, [poll, pred, action] {
        if (!pred()) return;
        poll->stop();
        poll->deleteLater();
        QTimer::singleShot(0, qApp, action);
    });
    poll->start();
}

// Runs the event loop until pred() holds or the time runs out: the time only ends a test that
// hangs, so it is far beyond what a busy machine needs (QtTest's own tries too).
inline bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 120000) {
    return QTest::qWaitFor(pred, timeoutMs);
}

} // namespace TestSupport
