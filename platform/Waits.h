#pragma once
// Every wait of the game (pauses, the Carry On wait, the modal dialogs) is one of these:
// a nested event loop that sleeps until a deadline on a monotonic clock or until it is
// woken, so the window stays live and no CPU is spent spinning.
//
// A chain of play (everything that runs from one event handler: New Game, a card click)
// can be abandoned while it waits: New Game or Exit confirmed in the middle of a hand.
// Abandoning bumps an epoch and wakes every wait; a wait that finds its epoch gone throws
// ChainAbandoned, which unwinds the old chain back to its event handler (RunChain) without
// it touching the game state again. A new game asked for from inside a wait is started
// only after the old chain has unwound, from the top-level event loop, so the stack never
// grows from one abandoned game to the next.
//
// Two rules keep the stack to at most one chain of play (the one that deals, bids and plays)
// and one command beside it:
// - RunChain refuses a command while a modal wait (a question, a notice, the bid dialog) is
//   open. The window system already blocks input to the table then; the rule also holds for
//   commands that arrive another way (QAction::trigger from assistive technology, queued
//   events), so no command ever runs underneath an unanswered question.
// - RunPlay runs a chain of play only when none is on the stack. The second one would deal
//   or play over the first: a second deal finds a pack already dealt.

#include <QtGlobal>
#include <functional>

class QDialog;
class QWidget;

namespace Waits {

struct ChainAbandoned {};

// Tests shorten every timed wait by this factor (1.0 in the game).
extern double PaceScale;

// Wait until done() is true. remainingMs, if given, says how long until the next deadline
// at which done() should be looked at again (< 0: no deadline, wait for Notify()).
// Throws ChainAbandoned when the chain it belongs to is abandoned meanwhile.
void WaitUntil(const std::function<bool()>& done, const std::function<qint64()>& remainingMs = {});

// Wait ms milliseconds (scaled by PaceScale). 0 returns at once without handling events.
void WaitMs(qint64 ms);

// Wake every wait so that it looks at its condition again.
void Notify();

// Show a window-modal or application-modal widget and wait until it is hidden.
// The widget must call Notify() when it hides itself. A wait that is given up (its chain
// abandoned) hides the widget before the chain unwinds.
void RunModal(QWidget* w);

// Run a dialog application-modally through RunModal; returns its result code.
int RunDialog(QDialog& d);

// Called (queued, after the widget is shown) for every widget passed to RunModal, so
// tests can answer dialogs through the real widgets. Empty in the game.
extern std::function<void(QWidget*)> ModalHook;

// Abandon whatever chain is waiting now.
void AbandonChain();

// The most times any wait now on the stack has woken without its condition holding: a wait
// that spins would show here (tests bound it).
int MostWakes();

// Depth of RunChain calls now on the stack.
int ChainDepth();

// Run one event handler's chain; an abandoned chain ends here quietly. Refused (f is not
// run, false is returned) while a modal wait is open.
bool RunChain(const std::function<void()>& f);

// Run f as the chain of play, inside the caller's RunChain. Refused (false) while another
// chain of play is on the stack.
bool RunPlay(const std::function<void()>& f);

// Chains of play on the stack now (0 or 1).
int PlayDepth();

// Start `start` as soon as no chain is on the stack (at once if none but the caller's is).
void StartWhenUnwound(std::function<void()> start);

// The program is ending: every wait gives up and nothing new starts.
void BeginExit();
bool Exiting();

// Back to the start-up situation (tests).
void Reset();

} // namespace Waits
