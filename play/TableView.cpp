#include "HeadlessView.h"

namespace {
TableView* current = nullptr;
} // namespace

TableView& View() {
    // Before any table exists (or after it has gone) the game is shown nowhere.
    static HeadlessView nowhere;
    return current ? *current : nowhere;
}

void SetView(TableView* view) {
    current = view;
}
