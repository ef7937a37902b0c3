#pragma once
// The score sheet: a panel over the top of the table, open as long as the player likes, that follows
// the game as it goes. One row per hand (its cards, trumps and dealer) with each seat's bid,
// tricks and points, a bid made exactly marked, and a last row with each seat's total so far;
// the hand in play fills in as the bids and tricks come. It shows the record of the hands (GameRecord), so
// after the last hand it stays until the next game is dealt.
#include "PanelHost.h"

class QTableWidget;

// F3 and Game Statistics -> Score Sheet: opens it on `host`, or closes it when it is open.
void ToggleScoreSheet(const PanelHost& host);
// The others find the sheet on the table's window.
// The sheet afresh from the record, when it is open.
void ScoreSheetRefresh(const QWidget* window);
// Fonts, size and place at the table's zoom.
void ScoreSheetFollowZoom(const QWidget* window);
// Placed again where the table now lies, above it (after the window's size has changed).
void ScoreSheetPlace(const QWidget* window);
// The sheet and its table: the sheet only while it is open, the table once it has been opened.
QWidget* ScoreSheetIfOpen(const QWidget* window);
QTableWidget* ScoreSheetTable(const QWidget* window);
