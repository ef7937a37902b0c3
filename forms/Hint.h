#pragma once
// The hint: what the sharp method would do for the player now, shown and never played.

// On the player's turn to play: the card it would choose takes the keyboard's focus mark and is
// named in the message list. Out of turn it does nothing.
void ShowCardHint();
// While the bid is asked: the bid it would make fills the box; the player still presses Bid.
void FillBidHint();
