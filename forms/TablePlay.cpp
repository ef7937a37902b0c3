// The table's side of the game: what the procedures of play show, wait for and ask, done
// with this window's widgets; and where the computers' decisions run.
#include "FrmBid.h"
#include "MessageDialog.h"
#include "Options.h"
#include "Pauses.h"
#include "Playable.h"
#include "Probe.h"
#include "Sound.h"
#include "Table.h"
#include "TableAccess.h"
#include "TableMarks.h"
#include "Waits.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMenu>
#include <algorithm>
#include <atomic>
#include <memory>

void Table::SetCardImage(int card, int image) {
    CardsPic.at(card)->SetImage(image);
}

void Table::MoveCard(int card, Layout::Spot at) {
    CardsPic.at(card)->Move(at.left, at.top);
}

void Table::CardToFront(int card) {
    CardsPic.at(card)->ZOrder();
}

void Table::ShowCard(int card, bool shown) {
    CardsPic.at(card)->setVisible(shown);
}

void Table::SetCaption(Caption which, int seat, const QString& text) {
    const std::array<QLabel*, 5> names{nullptr, lblPlayer, lblProf, LblMarigold, lblTabitha};
    const bool perSeat = which != Caption::Rounds && which != Caption::Trumps;
    if (perSeat && (seat < 1 || seat > 4)) return;
    QLabel* label = nullptr;
    switch (which) {
    case Caption::SeatName:
        label = names[seat];
        break;
    case Caption::Bid:
        label = lblBid[seat];
        break;
    case Caption::HandScore:
        label = LblHandSc[seat];
        break;
    case Caption::Score:
        label = LblScores[seat];
        break;
    case Caption::Rounds:
        label = LblRounds;
        break;
    case Caption::Trumps:
        label = LblTrumps;
        break;
    }
    ::SetCaption(label, text);
}

void Table::ShowInfo(const QString& text) {
    List1->addItem(text);
    // The newest line is marked by selecting it, not by making it the list's current one: a
    // current line would report the keyboard's focus to assistive technology, while the
    // keyboard stays where it is.
    QListWidgetItem* line = List1->item(List1->count() - 1);
    List1->clearSelection();
    line->setSelected(true);
    // Scrolling lays out every line of the list again; a list no one sees needs none of it.
    if (List1->isVisible()) List1->scrollToItem(line);
}

void Table::ClearInfo() {
    List1->clear();
}

void Table::Pause(int ms) {
    PauseFromNow(G.PauseStart, ms);
}

void Table::PlaySound(SoundId sound) {
    static const char* const files[] = {"CardDeal1.wav", "RIFFLE.wav", "CardDown.wav"};
    if (Options::Current().soundOff) return;
    Sound::PlayFile(QString::fromLatin1(files[static_cast<int>(sound)]));
}

void Table::Beep() {
    if (Options::Current().soundOff) return;
    QApplication::beep();
}

void Table::WaitCarryOn() {
    BtnContinue->show();
    BtnContinue->raise();
    BtnContinue->setFocus();
    Probe::Mark("carry-on-shown");
    // Carry On by Itself: the trick stays for a look, then the game goes on as if Carry On had
    // been pressed; a press during the look goes on at once. The choice is looked at afresh
    // whenever the wait wakes (a change of it wakes every wait), the look counted from the
    // moment Carry On appeared.
    QElapsedTimer shown;
    shown.start();
    const auto lookLeft = [&shown]() -> qint64 {
        const qint64 look = Options::TrickLookMs();
        if (look < 0) return -1;
        return std::max<qint64>(0, static_cast<qint64>(look * Waits::PaceScale) - shown.elapsed());
    };
    if (lookLeft() == 0) Waits::WaitMs(Options::TrickLookMs()); // shortened by the tests: one breath
    Waits::WaitUntil([&] { return G.ContinueFlag || lookLeft() == 0; }, lookLeft);
    if (!G.ContinueFlag) BtnContinue_Click();
    Probe::Mark("carry-on-done");
}

qint16 Table::Decide(int, bool, const std::function<qint16()>& decide) {
    // A look-ahead takes milliseconds: on a thread of the table's it never holds up the window.
    // If the chain is abandoned meanwhile the answer is simply dropped; the table joins the
    // thread later.
    struct Job {
        std::atomic<bool> done{false};
        qint16 answer = 0;
    };
    auto job = std::make_shared<Job>();
    Jobs.Run(
        [job, decide] {
            job->answer = decide();
            job->done = true;
        },
        this, [] { Waits::Notify(); });
    Waits::WaitUntil([job] { return job->done.load(); });
    return job->answer;
}

qint16 Table::AskBid() {
    return ShowBidDialog(BidForm());
}

int Table::MsgDeluxe(const QString& message, const QString& button1, const QString& button2,
                     const QString& button3, qint16 icon, const QString& title) {
    // The end of a hand tells a reader the hand's result, which the table shows beside it.
    const QString more = title == QLatin1String("Hand Over") ? HandResult(G) : QString();
    G.ButtonPressed =
        static_cast<qint16>(::MsgDeluxe(DeluxeForm(), message, button1, button2, button3, icon, title, more));
    return G.ButtonPressed;
}

void Table::HandTakesFocus() {
    RefreshPlayable(Client, G);
    RefreshTakeBack();
    // The first card, unless one of the hand's cards has the keyboard already.
    const QList<CardPic*> hand = PlayerHandPics();
    if (hand.isEmpty() || hand.contains(qobject_cast<CardPic*>(focusWidget()))) return;
    hand.first()->setFocus(Qt::OtherFocusReason);
}

void Table::Follow() {
    if (Marks) Marks->Refresh();
    RefreshTakeBack();
}

void Table::EnablePlayMenu(bool enabled) {
    MnuPlay->setEnabled(enabled);
    MnuPlay->menuAction()->setEnabled(enabled);
    MNuNew->setEnabled(enabled);
    MnuExit->setEnabled(enabled);
}

void Table::Exit() {
    ExitProgram();
}
