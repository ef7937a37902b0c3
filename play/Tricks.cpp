#include "Tricks.h"

#include "Game.h"

#include "DataFiles.h"
#include "Deal.h"
#include "Decider.h"
#include "Follow.h"
#include "History.h"
#include "Layout.h"
#include "Opponents.h"
#include "Options.h"
#include "Pacing.h"
#include "PlayRecord.h"
#include "Probe.h"
#include "Seats.h"
#include "TableView.h"
#include "TakeBack.h"

#include <QDateTime>

void ShowBidLabel(Game& game, int seat) {
    GameState& G = game.G;
    if (Seats::IsSeat(seat)) View().SetCaption(Caption::Bid, seat, BidLine(G, seat));
}

void ShowPlayedCard(Game& game, int card, int seat) {
    GameState& G = game.G;
    if (!G.GameOn) return;
    PauseLength pause(G, Pacing::Standard);
    if (Seats::IsSeat(seat)) {
        Probe::Mark("card-begin", seat);
        TableView& v = View();
        v.SetCardImage(card, card);
        v.MoveCard(card, Layout::Seats[seat].trick);
        v.CardToFront(card);
        // The card-down sound with its pause, and one more pause: the card stays a moment
        // before the next one comes.
        PlaySoundThenPause(G, SoundId::CardDown);
        Pause(G);
        Probe::Mark("card-end", seat);
    }
    if (seat == 1) ShowPlayerHand(game);
}

void PlayCard(Game& game, int seat, int card) {
    GameState& G = game.G;
    if (!G.GameOn) return;
    G.CardsLeft[seat] = static_cast<qint16>(G.CardsLeft[seat] - 1);
    G.Cards[card].Holder = Holders::Trick;
    game.log.Add(seat, card);
    PlayRecord::CardPlayed(game, seat, card);
    ShowInfo(G.PlayerNames[seat] + QStringLiteral(" played ") + G.Cards[card].FullName);
    ShowPlayedCard(game, card, seat);
    if (seat == G.TrickSeat1) {
        G.LedSuit = CardSuit(card);
        G.TrickCard1 = static_cast<qint16>(card);
    } else if (seat == G.TrickSeat2) {
        G.TrickCard2 = static_cast<qint16>(card);
    } else if (seat == G.TrickSeat3) {
        G.TrickCard3 = static_cast<qint16>(card);
    } else {
        G.TrickCard4 = static_cast<qint16>(card);
        FindTrickWinner(game);
        return;
    }
    G.Turn = NextSeat(seat);
    View().Follow();
    if (G.Turn == 1) {
        TakeBack::Mark(game);
        ShowInfo(G.PlayerName + QStringLiteral(" please click on card you whist to play."));
        View().HandTakesFocus();
        return;
    }
    ComputerPlay(game, G.Turn);
}

void ComputerPlay(Game& game, int seat) {
    PlayCard(game, seat, Opponents::CardFor(game, seat));
}

void FindTrickWinner(Game& game) {
    GameState& G = game.G;
    G.TrickWinner = 0;
    G.WinningCard = WinnerOfTrick(G);
    TrickWon(game);
}

namespace {
// Carry On has been pressed: the trick's cards leave the table.
void ClearTrick(Game& game) {
    GameState& G = game.G;
    for (qint16 card : {G.TrickCard1, G.TrickCard2, G.TrickCard3, G.TrickCard4}) {
        if (card < 1 || card > 52) continue;
        View().ShowCard(card, false);
        G.Cards[card].Holder = Holders::Pack;
    }
    G.TrickCard1 = G.TrickCard2 = G.TrickCard3 = G.TrickCard4 = 0;
    G.ContinueFlag = false;
}
} // namespace

void TrickWon(Game& game) {
    GameState& G = game.G;
    if (G.WinningCard == G.TrickCard1)
        G.TrickWinner = G.TrickSeat1;
    else if (G.WinningCard == G.TrickCard2)
        G.TrickWinner = G.TrickSeat2;
    else if (G.WinningCard == G.TrickCard3)
        G.TrickWinner = G.TrickSeat3;
    else
        G.TrickWinner = G.TrickSeat4;
    G.TricksMade[G.TrickWinner] = static_cast<qint16>(G.TricksMade[G.TrickWinner] + 1);
    Note(game, GameRecord::TrickTaken);
    ShowBidLabel(game, G.TrickWinner);
    ShowInfo(G.PlayerNames[G.TrickWinner] + QStringLiteral(" won that trick and will now lead a card."));

    G.ContinueFlag = false;
    View().WaitCarryOn();

    Note(game, GameRecord::TrickCleared);
    ClearTrick(game);
    if (G.TricksMade[1] + G.TricksMade[2] + G.TricksMade[3] + G.TricksMade[4] == G.HandSize)
        G.HandOver = true;
    SaveGame(game);
    if (G.HandOver) {
        EndOfHand(game);
        return;
    }
    LeadTrick(game, G.TrickWinner, " please click on card you wish to play.");
}

void LeadTrick(Game& game, int seat, const char* prompt) {
    GameState& G = game.G;
    G.TrickSeat1 = static_cast<qint16>(seat);
    G.Turn = static_cast<qint16>(seat);
    SetTrickOrder(G);
    View().Follow();
    if (G.Turn == 1) {
        TakeBack::Mark(game);
        ShowInfo(G.PlayerName + QLatin1String(prompt));
        View().HandTakesFocus();
        return;
    }
    ComputerPlay(game, G.Turn);
}

namespace {
// The finished game's line in the history: the scores hand by hand from the record of the
// hands, the hands the player bid exactly, and what the player was helped to.
void AddToHistory(Game& game) {
    GameState& G = game.G;
    History::Game h;
    h.when = QDateTime::currentSecsSinceEpoch();
    h.opponents = int(
        std::max({Opponents::LevelOf(game, 2), Opponents::LevelOf(game, 3), Opponents::LevelOf(game, 4)}));
    h.quickPlay = Options::Current().quickPlay;
    h.hints = G.HintsUsed;
    h.takeBacks = G.TakeBacksUsed;
    for (const auto& total : GameRecord::RunningTotals(game))
        h.totals.append(total);
    for (const GameRecord::Hand& hand : game.sheet.hands)
        if (hand.scored && hand.bids[1] == hand.tricks[1]) h.exactHands.append(hand.number);
    for (int s = 1; s <= 4; ++s)
        h.scores[size_t(s - 1)] = G.GameScore[size_t(s)];
    if (DataFiles::Writing()) History::Append(h);
}

// The winner is counted in the statistics (held below the 16-bit limit; a failed write keeps
// the count in memory) and told; a drawn game is told as such.
void AnnounceGameResult(Game& game) {
    GameState& G = game.G;
    TableView& v = View();
    const int winner = GameWinner(G);
    if (winner == 0) {
        v.MsgDeluxe(QStringLiteral("Unfortunately ") + G.PlayerName +
                        QStringLiteral(" that game was drawn so nothing will be added to the statistics."),
                    QStringLiteral("Right"), QString(), QString(), 1, QStringLiteral("A Draw."));
        return;
    }
    if (G.GamesWon[winner] < 32767) G.GamesWon[winner] = static_cast<qint16>(G.GamesWon[winner] + 1);
    SaveStatistics(G);
    const QString recorded =
        QStringLiteral(" won that game and it has been recorded in the statistics. See menu.");
    const QString message =
        winner == 1 ? QStringLiteral("Well done ") + G.PlayerName + QStringLiteral(" you") + recorded
                    : QStringLiteral("Unfortunately ") + G.PlayerName +
                          QString::fromLatin1(Seats::Table[winner].winner) + recorded;
    v.MsgDeluxe(message, QStringLiteral("Right"), QString(), QString(), 1, QStringLiteral("Congratulations"));
}
} // namespace

void EndOfHand(Game& game) {
    GameState& G = game.G;
    TableView& v = View();
    for (int s = 1; s <= 4; ++s) {
        const qint16 points = HandPoints(G.Bids[s], G.TricksMade[s]);
        G.GameScore[s] = static_cast<qint16>(G.GameScore[s] + points);
        v.SetCaption(Caption::HandScore, s, QString::number(points));
        v.SetCaption(Caption::Score, s, ScoreLine(G, s, G.GameScore[s]));
    }
    Note(game, GameRecord::HandScored);
    v.MsgDeluxe(
        QStringLiteral("The hand is over and you can see current scores at top right hand of the screen"),
        QStringLiteral("Right"), QString(), QString(), 1, QStringLiteral("Hand Over"));
    if (G.HandNumber == 19) {
        G.GameOn = false;
        DropSavedGame(game);
        View().Follow();
        AddToHistory(game);
        AnnounceGameResult(game);
        const int answer = v.MsgDeluxe(
            G.PlayerName + QStringLiteral(" This game is over do you wish to play another game or exit"),
            QStringLiteral("Another"), QStringLiteral("Exit"), QString(), 1, QStringLiteral("Game Over"));
        if (answer != 0) {
            TheProgram().Exit();
            return;
        }
    }
    StartHand(game);
}
