#include "HeadlessView.h"

namespace {
TableView* current = nullptr;
} // namespace

TableView& View() {
    // Play with no table is a fault of the caller: a stand-in view would bid and play for the
    // player without a word.
    if (!current) qFatal("The game was played with no table to show it on");
    return *current;
}

TableView* CurrentView() {
    return current;
}

void SetView(TableView* view) {
    current = view;
}
