#include "ModPlayGame.h"

#include "DataFiles.h"
#include "Layout.h"
#include "ModDeals.h"
#include "ModVariables.h"
#include "Module2.h"
#include "Pacing.h"
#include "Probe.h"
#include "Table.h"
#include "Waits.h"

void ShowBidLabel(int seat) {
    if (seat >= 1 && seat <= 4) SetCaption(TableForm().lblBid[seat], BidLine(seat));
}

void ShowPlayedCard(int card, int seat) {
    if (!G.GameOn) return;
    if (seat >= 1 && seat <= 4) {
        Probe::Mark("card-begin", seat);
        CardPic* pic = TableForm().CardsPic[card];
        pic->SetImage(card);
        pic->Move(Layout::Seats[seat].trick.left, Layout::Seats[seat].trick.top);
        pic->ZOrder();
        PlayCardDownSound();
        Pause();
        Probe::Mark("card-end", seat);
    }
    if (seat == 1) ShowPlayerHand();
    G.PauseMs = Pacing::Standard;
}

void PlayCard(int seat, int card) {
    if (!G.GameOn) return;
    G.CardsLeft[seat] = static_cast<qint16>(G.CardsLeft[seat] - 1);
    G.Cards[card].Holder = 5;
    ShowInfo(G.PlayerNames[seat] + QStringLiteral(" played ") + G.Cards[card].FullName);
    ShowPlayedCard(card, seat);
    if (seat == G.TrickSeat1) {
        G.LedSuit = CardSuit(card);
        G.TrickCard1 = static_cast<qint16>(card);
    } else if (seat == G.TrickSeat2) {
        G.TrickCard2 = static_cast<qint16>(card);
    } else if (seat == G.TrickSeat3) {
        G.TrickCard3 = static_cast<qint16>(card);
    } else {
        G.TrickCard4 = static_cast<qint16>(card);
        FindTrickWinner();
        return;
    }
    G.Turn = NextSeat(seat);
    if (G.Turn == 1) {
        ShowInfo(G.PlayerName + QStringLiteral(" please click on card you whist to play."));
        HandTakesFocus();
        return;
    }
    ComputerPlay(G.Turn);
}

void ComputerPlay(int seat) {
    PlayCard(seat, ChooseComputerCard(seat));
}

void FindTrickWinner() {
    G.WinningCard = 0;
    G.TrickWinner = 0;
    G.WinningCard = WinnerOfTrick();
    TrickWon();
}

void TrickWon() {
    Table& t = TableForm();
    if (G.WinningCard == G.TrickCard1)
        G.TrickWinner = G.TrickSeat1;
    else if (G.WinningCard == G.TrickCard2)
        G.TrickWinner = G.TrickSeat2;
    else if (G.WinningCard == G.TrickCard3)
        G.TrickWinner = G.TrickSeat3;
    else
        G.TrickWinner = G.TrickSeat4;
    G.TricksMade[G.TrickWinner] = static_cast<qint16>(G.TricksMade[G.TrickWinner] + 1);
    ShowBidLabel(G.TrickWinner);
    ShowInfo(G.PlayerNames[G.TrickWinner] + QStringLiteral(" won that trick and will now lead a card."));

    G.ContinueFlag = false;
    t.BtnContinue->show();
    t.BtnContinue->raise();
    t.BtnContinue->setFocus();
    Probe::Mark("carry-on-shown");
    Waits::WaitUntil([] { return G.ContinueFlag; });

    for (qint16 card : {G.TrickCard1, G.TrickCard2, G.TrickCard3, G.TrickCard4}) {
        if (card < 1 || card > 52) continue;
        t.CardsPic[card]->hide();
        G.Cards[card].Holder = 0;
    }
    G.TrickCard1 = G.TrickCard2 = G.TrickCard3 = G.TrickCard4 = 0;
    G.ContinueFlag = false;
    if (G.TricksMade[1] + G.TricksMade[2] + G.TricksMade[3] + G.TricksMade[4] == G.HandSize)
        G.HandOver = true;
    if (G.HandOver) {
        EndOfHand();
        return;
    }
    LeadTrick(G.TrickWinner, " please click on card you wish to play.");
}

void LeadTrick(int seat, const char* prompt) {
    G.TrickSeat1 = static_cast<qint16>(seat);
    G.Turn = static_cast<qint16>(seat);
    SetTrickOrder();
    if (G.Turn == 1) {
        ShowInfo(G.PlayerName + QLatin1String(prompt));
        HandTakesFocus();
        return;
    }
    ComputerPlay(G.Turn);
}

void EndOfHand() {
    Table& t = TableForm();
    for (int s = 1; s <= 4; ++s) {
        const qint16 points = HandPoints(G.Bids[s], G.TricksMade[s]);
        G.GameScore[s] = static_cast<qint16>(G.GameScore[s] + points);
        SetCaption(t.LblHandSc[s], QString::number(points));
        SetCaption(t.LblScores[s], ScoreLine(s, G.GameScore[s]));
    }
    MsgDeluxe(
        QStringLiteral("The hand is over and you can see current scores at top right hand of the screen"),
        QStringLiteral("Right"), QString(), QString(), 1, QStringLiteral("Hand Over"));
    if (G.HandNumber == 19) {
        G.GameOn = false;
        const int winner = GameWinner();
        if (winner != 0) {
            // Held below the 16-bit limit; a failed write keeps the count in memory.
            if (G.GamesWon[winner] < 32767) G.GamesWon[winner] = static_cast<qint16>(G.GamesWon[winner] + 1);
            SaveStatistics();
            static const char* const who[5] = {"", "", " The Prof.", " The beautiful Marigold",
                                               " Her Ladyship"};
            const QString message =
                winner == 1
                    ? QStringLiteral("Well done ") + G.PlayerName +
                          QStringLiteral(
                              " you won that game and it has been recorded in the statistics. See menu.")
                    : QStringLiteral("Unfortunately ") + G.PlayerName + QString::fromLatin1(who[winner]) +
                          QStringLiteral(
                              " won that game and it has been recorded in the statistics. See menu.");
            MsgDeluxe(message, QStringLiteral("Right"), QString(), QString(), 1,
                      QStringLiteral("Congratulations"));
        } else {
            MsgDeluxe(QStringLiteral("Unfortunately ") + G.PlayerName +
                          QStringLiteral(" that game was drawn so nothing will be added to the statistics."),
                      QStringLiteral("Right"), QString(), QString(), 1, QStringLiteral("A Draw."));
        }
        MsgDeluxe(
            G.PlayerName + QStringLiteral(" This game is over do you wish to play another game or exit"),
            QStringLiteral("Another"), QStringLiteral("Exit"), QString(), 1, QStringLiteral("Game Over"));
        if (G.ButtonPressed != 0) {
            ExitProgram();
            return;
        }
    }
    StartHand();
}
