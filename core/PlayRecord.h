#pragma once
// A game is its deals and the bids and cards played, in order. From these alone the rules give
// back every field of the game as it stands: Replay plays the record through them, from the
// first deal, and refuses whatever they refuse (a card not held or out of turn, a suit not
// followed, a bid out of range, the dealer's restriction broken, a hand's size or dealer out
// of order). The procedures of play keep the record of the game in progress as they go, so
// that a game can be saved, checked and taken back to any earlier point.
#include "GameState.h"

#include <QString>
#include <array>
#include <variant>
#include <vector>

struct Game;

namespace PlayRecord {

// One hand's deal: where each card went (0 the pack, 1..4 a seat's hand), the card turned up
// for trumps (left in the pack), and the dealer.
struct Deal {
    std::array<qint8, 53> holder{}; // by card number 1..52; element 0 unused
    qint8 trumpCard = 0;
    qint8 dealer = 0;
    // The cards in the order they were dealt, round by round from the seat after the dealer:
    // the k-th card a seat is given lies at its k-th place. Empty when not known (the rules
    // need only the holders).
    std::vector<qint8> order;
    bool operator==(const Deal&) const = default;
};

// A bid (value: the bid) or a card played (value: the card number), with its seat.
struct Action {
    bool bid = false;
    qint8 seat = 0;
    qint8 value = 0;
    bool operator==(const Action&) const = default;
};

struct Record {
    std::vector<Deal> deals;     // hand 1 first; the last is the hand in play
    std::vector<Action> actions; // every bid and card of the game, in order
    std::array<bool, 5> sharp{}; // the seats that bid and play by the sharp method
    bool operator==(const Record&) const = default;
};

// Each from G, at its moment: the hand dealt with its trump card turned up (the first hand of
// a game starts the record afresh), a seat's bid made, a card played.
void Dealt(Game& game, int trumpCard, std::vector<qint8> order = {});
void BidMade(Game& game, int seat);
void CardPlayed(Game& game, int seat, int card);

// The bids a seat may make: the player any of 0..13, as the bid's dialog allows; a computer
// seat at most the hand's size, a computer dealer one above it (its restriction's way out).
inline constexpr int MaxBid = 14;

// The game the record leaves, with the game's fields as play leaves them at the same point;
// or what the rules refuse, and at which action.
struct Refused {
    QString why;
};
// A record stops at a save point (the bidding over, or a trick taken off the table); with
// `anywhere`, at any action of its last hand (a game taken back to an earlier point).
std::variant<GameState, Refused> Replay(const Record& r, bool anywhere = false);
// The record's first `actions` actions with the deals they belong to.
Record Prefix(const Record& r, size_t actions);

} // namespace PlayRecord
