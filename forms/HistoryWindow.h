#pragma once
// The history of the player's games (Game Statistics -> History, F5): the summary of every
// game in History.dat, the list of the games, and a chart of the one chosen (the game under
// way first, while there is one) with the same figures as a table. It lies over the table,
// as the score sheet does, so it fits wherever the table fits and scales with it.
#include "PanelHost.h"

// Opens it on `host`, or closes it when it is open.
void ToggleHistory(const PanelHost& host);
// Fonts, size and place at the table's zoom and where the table lies on `window`.
void HistoryFollowZoom(const QWidget* window);
// The panel on `window` while it is open.
QWidget* HistoryIfOpen(const QWidget* window);
