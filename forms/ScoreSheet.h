#pragma once
// The score sheet: a panel over the top of the table, open as long as the player likes, that follows
// the game as it goes. One row per hand (its cards, trumps and dealer) with each seat's bid,
// tricks and points, a bid made exactly marked, and a last row with each seat's total so far;
// the hand in play fills in as the bids and tricks come. It shows the record of the hands (GameRecord), so
// after the last hand it stays until the next game is dealt.
class QTableWidget;
class QWidget;

// F3 and Game Statistics -> Score Sheet: opens it, or closes it when it is open.
void ToggleScoreSheet();
// The sheet afresh from the record, when it is open.
void ScoreSheetRefresh();
// Fonts, size and place at the table's zoom.
void ScoreSheetFollowZoom();
// Placed again where the table now lies, above it (after the window's size has changed).
void ScoreSheetPlace();
// The sheet and its table: the sheet only while it is open, the table once it has been opened.
QWidget* ScoreSheetIfOpen();
QTableWidget* ScoreSheetTable();
