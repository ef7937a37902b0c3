#pragma once
// What the table shows of one hand as it is played: the turned-up trump card and every card put
// down, in order, with the seat that played it. The game state forgets a trick's cards once
// the trick is gathered, but any player at the table has seen them, so a computer player that
// reasons about the hidden cards needs this record. The play layer starts it after the deal
// and adds each card as it is played.
#include <QtGlobal>
#include <vector>

struct HandLog {
    struct Play {
        qint8 seat = 0; // 1..4
        qint8 card = 0; // 1..52
        bool operator==(const Play&) const = default;
    };

    qint8 trumpCard = 0; // the card turned up for trumps: in no hand, seen by everyone
    std::vector<Play> plays;

    void Start(int trump) {
        trumpCard = static_cast<qint8>(trump);
        plays.clear();
    }
    void Add(int seat, int card) { plays.push_back({static_cast<qint8>(seat), static_cast<qint8>(card)}); }
};
