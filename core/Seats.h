#pragma once
// The four seats and every way the game names them. Seat 1 is the player, whose name is the
// player's own; the others are the three opponents, each with a name for every place the game
// puts it (the table, the score board, the message list, the dealer's and the winner's lines).
// The wordings are the game's own and differ from place to place on purpose, slips included.
#include <array>

namespace Seats {

struct Names {
    const char* design;       // beside the seat and on the score board before the first hand
    const char* table;        // beside the seat at the start of a hand
    const char* greeting;     // beside the seat when the program starts ("" for the player)
    const char* board;        // on the score board at the start of a game
    const char* scoreLabel;   // before the total on the score board ("" for the player)
    const char* messages;     // in the message list: "The Prof. played ..."
    const char* spoken;       // for a screen reader: "Played by The Prof"
    const char* dealing;      // the dealer's line when the deal passes on
    const char* firstDealing; // the dealer's line at the first hand of a game
    const char* winner;       // after the player's name in the game's last notice
    const char* portrait;     // the portrait's tooltip
};

// Index 0 is unused. Where seat 1 has a line, the player's name goes before it.
inline constexpr std::array<Names, 5> Table{{
    {},
    {"Player", "", "", "", "", "", "You", " you are dealing.", " you are Dealing.", "", ""},
    {"Prof. Quimby", "Prof.Quimby", "How do you do ", "Prof Quimby", "The Prof : ", "The Prof.", "The Prof",
     "The Prof. is dealing.", "The Prof  is Dealing.", " The Prof.", "The handsome Professor"},
    {"Marigold", "Marigold", "Hellooo Barnaby", "Marigold", "Marigold : ", "Marigold", "Marigold",
     "Bautiful Marigold is dealing.", "Beautiful Marigold is Dealing.", " The beautiful Marigold",
     "Beautiful Marigold"},
    {"Lady Tabitha", "Lady Tabitha", "Hello there ", "Tabitha", "Tabitha :  ", "The Lady", "The Lady",
     "Her Ladyship is dealing.", "Her Ladyship is Dealing.", " Her Ladyship", "Her Ladyship"},
}};

constexpr bool IsSeat(int seat) {
    return seat >= 1 && seat <= 4;
}

} // namespace Seats
