#include "KeyWatch.h"

#include "CardPic.h"
#include "FocusRing.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTimer>
#include <QWindow>

KeyWatch::KeyWatch(QPushButton* carryOn, QWidget* table) : QObject(table), carryOn_(carryOn), table_(table) {
    qApp->installEventFilter(this);
    // Without a window manager the focus may change a moment after a window has closed,
    // to no window at all or to the closed one (a menu's activation arriving late): the
    // table then takes it up.
    connect(qApp, &QGuiApplication::focusWindowChanged, this, [this](QWindow* now) {
        if ((!now || !now->isVisible()) && lastHide_.isValid() && lastHide_.elapsed() < 1000) ActivateNext();
    });
}

void KeyWatch::Use(bool keys) {
    if (keys == inUse_) return;
    inUse_ = keys;
    if (auto* pic = qobject_cast<CardPic*>(QApplication::focusWidget())) FocusRing::Follow(pic);
}

bool KeyWatch::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type type = e->type();
    if (type == QEvent::KeyPress) {
        Use(true);
        auto* key = static_cast<QKeyEvent*>(e);
        lastKey_ = key->key();
        if (watched == carryOn_ && carryOn_->isVisible() && !key->isAutoRepeat() &&
            (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
            carryOn_->click();
            return true;
        }
    } else if (type == QEvent::MouseButtonPress) {
        Use(false);
    } else if ((type == QEvent::Hide || type == QEvent::Show) && watched != table_ &&
               watched->isWidgetType()) {
        auto* w = static_cast<QWidget*>(watched);
        const Qt::WindowType kind = w->windowType();
        if (w->isWindow() && (kind == Qt::Dialog || kind == Qt::Window || kind == Qt::Popup)) {
            if (type == QEvent::Show) {
                if (kind != Qt::Popup) lastShown_ = w;
            } else {
                lastHide_.start();
                QTimer::singleShot(0, this, [this] { ActivateNext(); });
            }
        }
    }
    return false;
}

// The window below takes the keyboard: a modal one still open, else the window opened
// last (help), else the table. A window that has gone but is still called active (a menu
// closed with Escape) counts as none.
void KeyWatch::ActivateNext() {
    const QWidget* active = QApplication::activeWindow();
    if ((active && active->isVisible()) || !table_) return;
    QWidget* next = QApplication::activeModalWidget();
    if (!next) next = lastShown_ && lastShown_->isVisible() ? lastShown_.data() : table_.data();
    if (next->isVisible()) next->activateWindow();
}
