#pragma once
// The hint: what the expert method makes of the player's choices now, shown and never played.

// On the player's turn to play: the card that makes the bid in the most ways the unseen cards
// may lie takes the keyboard's focus mark and is named in the message list with its share and
// the runner-up's. Out of turn it does nothing.
void ShowCardHint();
// While the bid is asked: the bid it would make fills the box and is named in the message list
// with its share; the player still presses Bid.
void FillBidHint();
