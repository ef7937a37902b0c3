#pragma once
// Show Playable Cards: on the player's turn the cards of the hand that the follow-suit rule
// forbids are dimmed and named as not playable. They can still be focused and clicked: the
// click gives the follow-suit notice, as without the choice.
#include <QtGlobal>

class QWidget;
struct GameState;

// Whether `card` is one of the player's that is shown as not playable now.
bool ShownNotPlayable(const GameState& G, int card);

// How much of a card not playable shows over the cloth: enough to read it, little enough that
// it looks out of play on every face and at every zoom.
inline constexpr qreal NotPlayableOpacity = 0.35;

// The hand's pictures and their names follow the turn and the choice: call when either changes.
void RefreshPlayable(const QWidget* client, const GameState& G);
