#pragma once
// What assistive technology is told about the table and the message dialog. Nothing here
// changes what is drawn: it only names things and gives them roles.
//
// The table is presented as a player would describe it: the turned-up trump, the cards in
// the trick with who played them, "Your hand" as a group of cards, and one line for each
// opponent saying how many cards they hold. A card lying face down never becomes a node of
// its own, so no walk of the tree can find out which card it is.

class CardPic;
class QListWidget;
class QString;
class QWidget;
struct Game;
struct GameState;

// Installs the interfaces; safe to call more than once.
void InstallTableAccessibility();

// Tells assistive technology that line `row` of the message list is new.
void AnnounceListLine(QListWidget* list, int row);

// Tells a screen reader `text` once, as a notice of `owner`, wherever the keyboard is.
void Announce(QWidget* owner, const QString& text);

// Gives a card that came into the player's hand or left it a new identity for readers.
void RenewCardAccessible(CardPic* pic);

// In one sentence: whose turn it is, the trick so far, each seat's bid and tricks, the scores.
QString TableStatus(const Game& game);

// The hand just played: each seat's bid and tricks, whether it made its bid, and its points.
QString HandResult(const GameState& G);
