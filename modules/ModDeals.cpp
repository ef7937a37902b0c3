#include "ModDeals.h"

#include "Layout.h"
#include "ModBidding.h"
#include "ModPlayGame.h"
#include "ModVariables.h"
#include "Pacing.h"
#include "Probe.h"
#include "Table.h"

#include <QApplication>
#include <random>
#include <vector>

namespace {
std::mt19937& Generator() {
    static std::mt19937 gen = [] {
        std::random_device rd;
        std::seed_seq seq{rd(), rd(), rd(), rd(), static_cast<unsigned>(TickCount())};
        return std::mt19937(seq);
    }();
    return gen;
}

// The next-place variable of a seat: where along its row or column its next card lands.
qint16& NextPlace(int seat) {
    switch (seat) {
    case 1:
        return G.NextLeft1;
    case 2:
        return G.NextTop2;
    case 3:
        return G.NextLeft3;
    default:
        return G.NextTop4;
    }
}
} // namespace

void SeedDeal(std::uint32_t seed) {
    Generator().seed(seed);
}

void StartHand() {
    Table& t = TableForm();
    for (int seat = 1; seat <= 4; ++seat)
        NextPlace(seat) = static_cast<qint16>(Layout::Seats[seat].row ? Layout::Seats[seat].firstCard.left
                                                                      : Layout::Seats[seat].firstCard.top);
    G.TrickCard1 = G.TrickCard2 = G.TrickCard3 = G.TrickCard4 = -1;
    G.LedSuit = -1;
    G.Turn = -1;
    t.List1->clear();
    for (int i = 1; i <= 52; ++i) {
        t.CardsPic[i]->SetImage(53);
        G.Cards[i].Holder = 0;
    }
    ShowPack();
    for (int s = 1; s <= 4; ++s) {
        G.TricksMade[s] = 0;
        G.Bids[s] = 0;
        G.SuitCount[s] = 0;
        SetCaption(t.LblHandSc[s], QStringLiteral("0"));
        SetCaption(t.lblBid[s], QString());
    }
    if (!G.GameOn) {
        for (int s = 1; s <= 4; ++s)
            G.GameScore[s] = 0;
        SetCaption(t.LblScores[1], G.PlayerName);
        SetCaption(t.LblScores[2], QStringLiteral("Prof Quimby"));
        SetCaption(t.LblScores[3], QStringLiteral("Marigold"));
        SetCaption(t.LblScores[4], QStringLiteral("Tabitha"));
        G.HandNumber = 0;
    }
    G.LedSuit = 5;
    G.Turn = 0;
    G.ContinueFlag = false;
    G.HandOver = false;
    G.WinningCard = 0;
    G.TrickSeat1 = G.TrickSeat2 = G.TrickSeat3 = G.TrickSeat4 = 0;
    G.Trumps = 0;
    G.TrickWinner = 0;
    SetCaption(t.LblMarigold, QStringLiteral("Marigold"));
    SetCaption(t.lblProf, QStringLiteral("Prof.Quimby"));
    SetCaption(t.lblTabitha, QStringLiteral("Lady Tabitha"));
    SetCaption(t.lblPlayer, G.PlayerName);

    // The dealer's line: one wording when the deal passes on in a game, another (and its
    // capital D) for the first hand of a game. Seat 1's line starts with the player's name.
    static const char* const dealerLines[2][5] = {
        {"", " you are Dealing.", "The Prof  is Dealing.", "Beautiful Marigold is Dealing.",
         "Her Ladyship is Dealing."},
        {"", " you are dealing.", "The Prof. is dealing.", "Bautiful Marigold is dealing.",
         "Her Ladyship is dealing."}};
    if (G.GameOn)
        G.Dealer = NextSeat(G.Dealer);
    else
        ChooseFirstDealer();
    const QString line = QString::fromLatin1(dealerLines[G.GameOn ? 1 : 0][G.Dealer]);
    ShowInfo(G.Dealer == 1 ? G.PlayerName + line : line);
    G.GameOn = true;
    NextHandSize();

    EnablePlayMenu(false);
    ShowPack();
    DealCards();
    const qint16 trumpCard = PickRandomCard();
    if (trumpCard == 0) { // no pack left to turn a card up from: a state that cannot arise
        EnablePlayMenu(true);
        return;
    }
    G.Trumps = CardSuit(trumpCard);
    G.LedSuit = G.Trumps;
    MovePackToCorner();
    Pause();
    CardPic* trump = t.CardsPic[trumpCard];
    trump->SetImage(trumpCard);
    trump->Move(Layout::TrumpCard.left, Layout::TrumpCard.top);
    trump->ZOrder();
    PlayDealSound();
    ShowTrumps();
    ShowInfo(QStringLiteral("Now the bidding begins"));
    EnablePlayMenu(true);

    BiddingSequence();
    Probe::Mark("bidding-end");

    // The dealer leads the first trick.
    LeadTrick(G.Dealer, " Click card you wish to play.");
}

void ChooseFirstDealer() {
    std::uniform_int_distribution<int> seat(1, 4);
    G.Dealer = static_cast<qint16>(seat(Generator()));
}

void NextHandSize() {
    G.HandNumber = static_cast<qint16>(G.HandNumber + 1);
    G.HandSize = HandSizeFor(G.HandNumber);
    for (int s = 1; s <= 4; ++s)
        G.CardsLeft[s] = G.HandSize;
    SetCaption(TableForm().LblRounds, QStringLiteral("A %1 card Hand.").arg(G.HandSize));
}

qint16 PickRandomCard() {
    // Every card still in the pack is equally likely. At least 11 of the 52 are always left,
    // so a thousand draws all missing is beyond chance; the pack is then searched instead,
    // and an empty pack (a state that cannot arise) gives 0 rather than a draw without end.
    std::uniform_int_distribution<int> card(1, 52);
    for (int draw = 0; draw < 1000; ++draw) {
        const int c = card(Generator());
        if (G.Cards[c].Holder == 0) return static_cast<qint16>(c);
    }
    std::vector<qint16> pack;
    for (qint16 c = 1; c <= 52; ++c)
        if (G.Cards[c].Holder == 0) pack.push_back(c);
    Q_ASSERT_X(!pack.empty(), "PickRandomCard", "the pack is empty");
    if (pack.empty()) return 0;
    return pack[std::uniform_int_distribution<size_t>(0, pack.size() - 1)(Generator())];
}

void ShowTrumps() {
    static const char* const words[] = {"Diamonds", "Clubs", "Hearts", "Spades"};
    if (G.LedSuit < 1 || G.LedSuit > 4) return;
    SetCaption(TableForm().LblTrumps,
               QStringLiteral("Trumps:- ") + QString::fromLatin1(words[G.LedSuit - 1]));
}

namespace {
// Stacks every card of the pack from `at`, each a step right of and above the one below.
void StackPack(Layout::Spot at) {
    Table& t = TableForm();
    int k = 0;
    for (int card = 1; card <= 52; ++card) {
        if (G.Cards[card].Holder != 0) continue;
        CardPic* pic = t.CardsPic[card];
        pic->Move(at.left + Layout::PackStep * k, at.top - Layout::PackStep * k);
        pic->ZOrder();
        pic->show();
        ++k;
    }
}
} // namespace

void ShowPack() {
    G.PauseMs = Pacing::Pack;
    PlayRiffleSound();
    Pause();
    StackPack(Layout::PackMiddle);
    G.PauseMs = Pacing::Standard;
}

void MovePackToCorner() {
    G.PauseMs = Pacing::Pack;
    Pause();
    StackPack(Layout::PackCorner);
    G.PauseMs = Pacing::Standard;
}

void ShowPlayerHand() {
    Table& t = TableForm();
    int x = Layout::SortedHand.left;
    static const int rankOrder[13] = {2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 1};
    for (int suit = 1; suit <= 4; ++suit) {
        for (int rank : rankOrder) {
            const int card = (suit - 1) * 13 + rank;
            if (G.Cards[card].Holder != 1) continue;
            CardPic* pic = t.CardsPic[card];
            pic->SetImage(card);
            pic->Move(x, Layout::SortedHand.top);
            pic->ZOrder();
            x += Layout::SortedHandStep;
        }
    }
}

void DealCards() {
    const auto order = DealOrder(G.Dealer);
    Probe::Mark("deal-begin");
    for (int round = 0; round < G.HandSize; ++round) {
        for (qint16 seat : order) {
            const qint16 card = PickRandomCard();
            if (card == 0) return; // the pack ran out: a state that cannot arise
            DealCardToSeat(seat, card);
        }
    }
    Probe::Mark("deal-end");
    ShowPlayerHand();
}

void DealCardToSeat(int seat, int card) {
    G.PauseMs = Pacing::DealStep;
    if (seat >= 1 && seat <= 4) {
        const Layout::Seat& to = Layout::Seats[seat];
        CardPic* pic = TableForm().CardsPic[card];
        G.Cards[card].Holder = static_cast<quint8>(seat);
        // The card slides along one axis only, until it has passed the seat's stop line.
        const int direction = to.stepLeft != 0 ? to.stepLeft : to.stepTop;
        auto keepMoving = [&] {
            const int moving = to.stepLeft != 0 ? pic->Left() : pic->Top();
            return direction > 0 ? moving < to.stopLine : moving > to.stopLine;
        };
        while (keepMoving()) {
            if (seat == 1) pic->SetImage(to.landedImage); // the player's card travels face down
            pic->Move(pic->Left() + to.stepLeft * Layout::DealStep,
                      pic->Top() + to.stepTop * Layout::DealStep);
            pic->ZOrder();
            Probe::DealStep();
            Pause();
        }
        qint16& next = NextPlace(seat);
        if (to.row)
            pic->Move(next, to.firstCard.top);
        else
            pic->Move(to.firstCard.left, next);
        pic->SetImage(to.landedImage);
        next = static_cast<qint16>(next + to.cardStep);
        pic->ZOrder();
    }
    PlayDealSound();
    G.PauseMs = Pacing::Standard;
}
