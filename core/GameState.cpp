#include "GameState.h"

#include <QElapsedTimer>

void MakeCards(GameState& G) {
    static const char* const suitWords[] = {"Diamonds", "Clubs", "Hearts", "Spades"};
    static const char* const rankWords[] = {"Ace",   "Two",  "Three", "Four", "Five",  "Six", "Seven",
                                            "Eight", "Nine", "Ten",   "Jack", "Queen", "King"};
    int card = 1;
    for (int suit = 1; suit <= 4; ++suit) {
        for (int rank = 1; rank <= 13; ++rank, ++card) {
            CardRec& c = G.Cards[card];
            c.SuitName = QString::fromLatin1(suitWords[suit - 1]);
            c.Suit = static_cast<quint8>(suit);
            c.Rank = static_cast<qint16>(rank);
            c.RankName = QString::fromLatin1(rankWords[rank - 1]);
            c.FullName = c.RankName + QStringLiteral(" of ") + c.SuitName;
        }
    }
}

qint32 TickCount() {
    // Milliseconds on a monotonic clock, cut to 32 bits like the platform tick it stands for.
    static QElapsedTimer clock = [] {
        QElapsedTimer t;
        t.start();
        return t;
    }();
    return static_cast<qint32>(static_cast<quint32>(clock.elapsed() & 0xffffffffu));
}
