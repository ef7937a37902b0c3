#pragma once
// What the procedures of play ask of the program around them beyond its table (TableView):
// where the computers' decisions run, and the program's end.
//
// Both belong to whoever owns the threads of the run, not to the display. The window runs each
// look-ahead on a thread of its own (the window stays live meanwhile) and, ending the program,
// gives up every wait and joins those threads before its last window goes; HeadlessView has no
// threads, runs each decision where it is asked and ends a game by stopping its loop. A view
// that only shows has neither to do.
#include <QtGlobal>
#include <functional>

class Decider {
  public:
    virtual ~Decider() = default;
    // Runs a computer player's decision (seat's bid or card), which reads nothing but what it
    // was given, and returns its answer.
    virtual qint16 Decide(int seat, bool bidding, const std::function<qint16()>& decide) = 0;
};

class Program {
  public:
    virtual ~Program() = default;
    // Ends the program (the player chose Exit at the end of a game).
    virtual void Exit() = 0;
};

// The decider and the program the procedures of play use; each set once by whoever makes it
// (the window, HeadlessView). Asking for one that is not set is a fault of the caller.
Decider& TheDecider();
Decider* CurrentDecider();
void SetDecider(Decider* decider);
Program& TheProgram();
Program* CurrentProgram();
void SetProgram(Program* program);
