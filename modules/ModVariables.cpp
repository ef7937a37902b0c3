#include "ModVariables.h"

#include "Sound.h"
#include "Table.h"
#include "Waits.h"

// The services that reach the table, wait or play a sound; the state itself is in GameState.cpp.

void ShowInfo(const QString& text) {
    QListWidget* list = TableForm().List1;
    list->addItem(text);
    list->setCurrentRow(list->count() - 1);
    // Scrolling lays out every line of the list again; a list no one sees needs none of it.
    if (list->isVisible()) list->scrollToItem(list->currentItem());
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
