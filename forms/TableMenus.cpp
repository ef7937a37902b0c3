// The table's commands: the menus' handlers, the close box, Carry On and a card clicked.
#include "DataFiles.h"
#include "Deal.h"
#include "History.h"
#include "MessageDialog.h"
#include "Playable.h"
#include "Resume.h"
#include "Seats.h"
#include "Table.h"
#include "TakeBack.h"
#include "Tricks.h"
#include "Waits.h"
#include "frmAbout.h"
#include "frmHelp.h"

#include <QCloseEvent>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>

void Table::MNuNew_Click() {
    // A hand already under way (even the first, before its game counts as on) is never dealt
    // over: New Game then asks, and a confirmed new game starts once the old chain is gone.
    if (!G.GameOn && Waits::PlayDepth() == 0) {
        Waits::RunPlay([this] { StartHand(game); });
        return;
    }
    const int answer = MsgDeluxe(
        G.PlayerName +
            QStringLiteral(" you are in the middle of a game, are you sure you wish to start a new one?"),
        QStringLiteral("Yes"), QStringLiteral("Oops No"), QString(), 1, QStringLiteral("New Game?"));
    if (answer == 0) {
        G.GameOn = false;
        DropSavedGame(game); // a game given up is not offered again
        BtnContinue->hide(); // a trick left waiting for Carry On is given up with its game
        // Whatever part of the old hand is waiting (a pause, Carry On) is given up; the new
        // game starts once it has unwound.
        Waits::AbandonChain();
        Waits::StartWhenUnwound([this] { Waits::RunPlay([this] { StartHand(game); }); });
    }
}

void Table::MnuExit_Click() {
    if (!G.GameOn) {
        ExitProgram();
        return;
    }
    // The question stays the classic one; when the game is kept it says so.
    const QString kept =
        SavedGameHand() ? QStringLiteral(" The game is kept, to carry on at the next start.") : QString();
    if (MsgDeluxe(G.PlayerName +
                      QStringLiteral(" you are in the middle of a game, are you sure you wish to exit?") +
                      kept,
                  QStringLiteral("Exit"), QStringLiteral("Cancel"), QString(), 1,
                  QStringLiteral("Really Exit?")) == 0)
        ExitProgram();
}

void Table::closeEvent(QCloseEvent* e) {
    if (closingByProgram_ || Waits::Exiting()) {
        e->accept();
        return;
    }
    e->ignore();
    Waits::RunChain([this] {
        QMessageBox box(
            QMessageBox::Critical, QStringLiteral("Do you really wish to shut everything down?"),
            QStringLiteral("If you click OK then everything will shut down, else click on Cancel and "
                           "carry on with your game  "),
            QMessageBox::Ok | QMessageBox::Cancel, this);
        box.setObjectName(QStringLiteral("ShutDownQuestion"));
        if (Waits::RunDialog(box) == QMessageBox::Ok) ExitProgram();
    });
    // The window was already closing when OK was chosen: let this close go through.
    if (Waits::Exiting()) e->accept();
}

void Table::MnuChangeName_Click() {
    QMessageBox ask(QMessageBox::Critical, QStringLiteral("New Name"),
                    QStringLiteral("If you wish to enter or change the player's name click Yes"),
                    QMessageBox::Yes | QMessageBox::No, this);
    ask.setObjectName(QStringLiteral("NewNameQuestion"));
    if (Waits::RunDialog(ask) != QMessageBox::Yes) return;

    QInputDialog input(this);
    input.setObjectName(QStringLiteral("PlayerNameInput"));
    input.setWindowTitle(QStringLiteral("Player's Name"));
    input.setLabelText(QStringLiteral("Please enter player's name."));
    input.setTextValue(QString());
    // The box holds only what a name may hold: a character too many, or one that is no part of
    // a name, never shows up in it, and the length is cut at a whole character.
    if (auto* edit = input.findChild<QLineEdit*>())
        connect(edit, &QLineEdit::textChanged, edit, [edit](const QString& text) {
            const QString kept = DataFiles::CleanName(text);
            if (kept == text) return;
            const int at = std::min(edit->cursorPosition(), int(kept.size()));
            edit->setText(kept);
            edit->setCursorPosition(at);
        });
    // Cancel, Escape and the close box keep the name as it was; OK with the box empty empties it.
    if (Waits::RunDialog(input) != QDialog::Accepted) return;
    const QString name = input.textValue(); // as the box holds it: cleaned as it was typed
    G.PlayerName = DataFiles::InSentence(name);
    G.PlayerNames[1] = G.PlayerName;
    ::SetCaption(lblPlayer, QStringLiteral("Welcome ") + G.PlayerName);
    DataFiles::SaveName(name);
}

void Table::MnuHint_Click() {
    ShowCardHint();
}

void Table::MnuTakeBack_Click() {
    // Only on the player's turn, when no chain of play runs: the hand waits for a card and
    // nothing else is under way that the going back could cut across.
    if (Waits::PlayDepth() == 0 && TakeBack::Possible(game)) Waits::RunPlay([this] { TakeBack::Undo(game); });
    RefreshTakeBack();
}

void Table::RefreshTakeBack() {
    // At the player's turn a chain of play is on the stack only while it ends (after the hand
    // takes the keyboard): the command itself waits for it to be gone.
    if (MnuTakeBack) MnuTakeBack->setEnabled(TakeBack::Possible(game));
}

void Table::MnuVTHelp_Click() {
    ShowHelp();
}

void Table::MnuAbout_Click() {
    ShowAbout();
}

void Table::MnuWon_Click() {
    const auto& w = G.GamesWon;
    MsgDeluxe(QStringLiteral(" you have won %1 games. Quimby has won %2 games. Marigodl has won %3 games. "
                             "Tabitha has won %4 games.")
                  .arg(w[1])
                  .arg(w[2])
                  .arg(w[3])
                  .arg(w[4]),
              QStringLiteral("Right"), QString(), QString(), 1, QStringLiteral("Game Statistics"));
}

void Table::MnuDelete_Click() {
    if (MsgDeluxe(
            G.PlayerName +
                QStringLiteral(" are you sure you wish to delete all statistics of games won and lost?"),
            QStringLiteral("Yes"), QStringLiteral("No"), QString(), 1,
            QStringLiteral("Delete Statisitcs?")) != 0)
        return;
    for (int s = 1; s <= 4; ++s)
        G.GamesWon[s] = 0;
    SaveStatistics(G);
    History::Clear();
}

void Table::BtnContinue_Click() {
    BtnContinue->hide();
    G.ContinueFlag = true;
    Waits::Notify();
}

void Table::CardsPic_Click(int Index) {
    if (Index < 1 || Index > 52) return;
    if (!(G.Turn == 1 && G.Cards[Index].Holder == 1)) return;
    if (!IsLegalPlay(G, 1, Index)) {
        MsgDeluxe(G.PlayerName + QStringLiteral(" you have the current suit and must play it."),
                  QStringLiteral("Oops"), QString(), QString(), 1, QStringLiteral("You have the suit"));
        return;
    }
    G.Turn = 0;
    RefreshTakeBack();
    RefreshPlayable(Client, G); // the turn is over: no card is out of play while the card goes down
    PlayCard(game, 1, Index);
}
