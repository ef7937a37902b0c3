#include "TableView.h"
#include "Decider.h"

namespace {
// The world the procedures of play reach, as set now: one record for the three, which are set
// and cleared together by whoever makes them.
struct {
    TableView* view = nullptr;
    Decider* decider = nullptr;
    Program* program = nullptr;
} current;
} // namespace

TableView& View() {
    // Play with no table is a fault of the caller: a stand-in view would bid and play for the
    // player without a word.
    if (!current.view) qFatal("The game was played with no table to show it on");
    return *current.view;
}

TableView* CurrentView() {
    return current.view;
}

void SetView(TableView* view) {
    current.view = view;
}

Decider& TheDecider() {
    // Nor is a decision taken by a stand-in: a seat would play by a method no one chose.
    if (!current.decider) qFatal("A computer's decision was asked with nowhere to run it");
    return *current.decider;
}

Decider* CurrentDecider() {
    return current.decider;
}

void SetDecider(Decider* decider) {
    current.decider = decider;
}

Program& TheProgram() {
    if (!current.program) qFatal("The program was ended with no program to end");
    return *current.program;
}

Program* CurrentProgram() {
    return current.program;
}

void SetProgram(Program* program) {
    current.program = program;
}
