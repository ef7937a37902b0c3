#pragma once
// Where the cards lie on the table, in twips from the top left corner of its client area.
// Seats: 1 the player at the bottom, 2 on the left, 3 across, 4 on the right.
#include <array>

// The images a card picture can show: 1..52 the faces (image i is card i), then the backs,
// upright, a quarter turn clockwise, upside down, a quarter turn anticlockwise.
namespace CardImage {
constexpr int FirstBack = 53;
}

namespace Layout {

struct Spot {
    int left;
    int top;
};

// The table's client area.
constexpr int TableWidth = 11175;
constexpr int TableHeight = 8970;

// The pack: each card lies PackStep further right and further up than the one below it.
constexpr Spot PackMiddle{5040, 3480};
constexpr Spot PackCorner{360, 120};
constexpr int PackStep = 3;

constexpr Spot TrumpCard{100, 150};

// The top of the playing area, the cloth where the tricks are played.
constexpr int PlayingAreaTop = 2400;

// The player's hand once it is sorted face up, one row from the left.
constexpr Spot SortedHand{1500, 6400};
constexpr int SortedHandStep = 850;

// A dealt card slides DealStep twips per step towards its seat while it is short of the
// seat's stop line, then drops into the seat's row (seats 1, 3) or column (seats 2, 4).
constexpr int DealStep = 250;

struct Seat {
    Spot firstCard;  // where the seat's first dealt card lands
    bool row;        // the cards run along Left (a row) rather than along Top (a column)
    int cardStep;    // how much further along each next card lands
    int stepLeft;    // a dealt card's move per step: -1, 0 or 1 times DealStep
    int stepTop;     //
    int stopLine;    // the Left or Top (whichever moves) the card must pass
    int landedImage; // the card's image once it has landed
    Spot trick;      // where the seat's card lies in the trick
};

// Index 0 is unused.
constexpr std::array<Seat, 5> Seats{{
    {},
    {{1600, 6400}, true, 400, 0, 1, 5880, CardImage::FirstBack, {4920, 4680}},
    {{1440, 2460}, false, 300, -1, 0, 2300, CardImage::FirstBack + 1, {3480, 3600}},
    {{3240, 1000}, true, 300, 0, -1, 840, CardImage::FirstBack + 2, {4920, 2520}},
    {{8400, 2460}, false, 300, 1, 0, 7400, CardImage::FirstBack + 3, {6360, 3600}},
}};

} // namespace Layout
