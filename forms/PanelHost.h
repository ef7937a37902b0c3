#pragma once
// What a panel lying over the table (the score sheet, the history) is given by the table that
// opens it: the window it is a part of, the table's area in that window (where it lies, and
// where the keyboard goes back to), the game it follows, and what gives the keyboard back to
// the player's hand when it closes. Later calls find the panel among the window's children.
#include <QPointer>
#include <QWidget>
#include <functional>

struct Game;

struct PanelHost {
    QWidget* window = nullptr;
    QPointer<QWidget> client;
    const Game* game = nullptr;
    std::function<void()> handTakesFocus;
};

// The window's panel of that name, if it has been made.
template <typename Panel> Panel* PanelOf(const QWidget* window, const char* name) {
    return window ? static_cast<Panel*>(
                        window->findChild<QWidget*>(QLatin1String(name), Qt::FindDirectChildrenOnly))
                  : nullptr;
}
