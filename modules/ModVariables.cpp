#include "ModVariables.h"

#include "Sound.h"
#include "Table.h"
#include "Waits.h"

#include <QCoreApplication>
#include <QElapsedTimer>

GameState G;

void ResetGameState() {
    G = GameState{};
}

void MakeCards() {
    // The deal's generator is seeded once when it is first used (ModDeals); nothing to do here.
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

void ShowInfo(const QString& text) {
    QListWidget* list = TableForm().List1;
    list->addItem(text);
    list->setCurrentRow(list->count() - 1);
    // Scrolling lays out every line of the list again; a list no one sees needs none of it.
    if (list->isVisible()) list->scrollToItem(list->currentItem());
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

namespace {
// Milliseconds since PauseStart; unsigned arithmetic keeps this right across the tick's wrap.
qint64 SincePauseStart() {
    return static_cast<quint32>(static_cast<quint32>(TickCount()) - static_cast<quint32>(G.PauseStart));
}

qint64 PauseLength() {
    return static_cast<qint64>(G.PauseMs * Waits::PaceScale);
}

// PauseStart and PauseMs are read afresh each time the wait wakes, so a pause that resumes
// after a nested one measures from the nested one's start with the length then in force.
void WaitFromPauseStart() {
    if (G.PauseMs <= 0) return;
    if (PauseLength() <= 0) {
        Waits::WaitMs(G.PauseMs); // shortened by the tests: one turn of the event loop
        return;
    }
    Waits::WaitUntil([] { return SincePauseStart() >= PauseLength(); },
                     [] { return std::max<qint64>(0, PauseLength() - SincePauseStart()); });
}

void SoundThenPause(const char* file) {
    Sound::PlayFile(QString::fromLatin1(file));
    G.PauseStart = TickCount();
    WaitFromPauseStart();
}
} // namespace

void Pause() {
    G.PauseStart = TickCount();
    WaitFromPauseStart();
}

void PlayDealSound() {
    SoundThenPause("CardDeal1.wav");
}
void PlayRiffleSound() {
    SoundThenPause("RIFFLE.wav");
}
void PlayCardDownSound() {
    SoundThenPause("CardDown.wav");
}
