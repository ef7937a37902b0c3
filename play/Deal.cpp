#include "Deal.h"

#include "Bidding.h"
#include "Follow.h"
#include "Layout.h"
#include "Opponents.h"
#include "Pacing.h"
#include "PlayRecord.h"
#include "Probe.h"
#include "SavedGame.h"
#include "Seats.h"
#include "TableView.h"
#include "TakeBack.h"
#include "Tricks.h"

#include <array>
#include <random>
#include <sstream>
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

// A card comes to rest in its seat: at the seat's next place, as the seat shows it, on top; the
// next place moves on. The deal and a hand drawn again from the record both land cards so.
void LandCard(TableView& v, int seat, int card) {
    const Layout::Seat& to = Layout::Seats[seat];
    qint16& next = NextPlace(seat);
    v.MoveCard(card, to.row ? Layout::Spot{next, to.firstCard.top} : Layout::Spot{to.firstCard.left, next});
    v.SetCardImage(card, to.landedImage);
    next = static_cast<qint16>(next + to.cardStep);
    v.CardToFront(card);
}

// Every card back in the pack, face down, no trick on the table, and the seats' counts of the
// last hand cleared.
void GatherCards() {
    TableView& v = View();
    // No suit is led before the trump card is turned up.
    G.LedSuit = 5;
    G.Turn = 0;
    G.ContinueFlag = false;
    G.HandOver = false;
    G.WinningCard = 0;
    G.TrickCard1 = G.TrickCard2 = G.TrickCard3 = G.TrickCard4 = -1;
    G.TrickSeat1 = G.TrickSeat2 = G.TrickSeat3 = G.TrickSeat4 = 0;
    G.Trumps = 0;
    G.TrickWinner = 0;
    for (int seat = 1; seat <= 4; ++seat)
        NextPlace(seat) = static_cast<qint16>(Layout::Seats[seat].row ? Layout::Seats[seat].firstCard.left
                                                                      : Layout::Seats[seat].firstCard.top);
    v.ClearInfo();
    for (int i = 1; i <= 52; ++i) {
        v.SetCardImage(i, CardImage::FirstBack);
        G.Cards[i].Holder = Holders::Pack;
    }
    ShowPack();
    for (int s = 1; s <= 4; ++s) {
        G.TricksMade[s] = 0;
        G.Bids[s] = 0;
        G.SuitCount[s] = 0;
        v.SetCaption(Caption::HandScore, s, QStringLiteral("0"));
        v.SetCaption(Caption::Bid, s, QString());
    }
}

// A new game's score board, and the seats' names back in their places.
void ShowSeats() {
    TableView& v = View();
    if (!G.GameOn) {
        G.HintsUsed = G.TakeBacksUsed = 0;
        for (int s = 1; s <= 4; ++s) {
            G.GameScore[s] = 0;
            v.SetCaption(Caption::Score, s,
                         s == 1 ? G.PlayerName : QString::fromLatin1(Seats::Table[s].board));
        }
        G.HandNumber = 0;
    }
    for (int s = 1; s <= 4; ++s)
        v.SetCaption(Caption::SeatName, s,
                     s == 1 ? G.PlayerName : QString::fromLatin1(Seats::Table[s].table));
}

// The deal passes clockwise; the first dealer of a game is drawn at random. The dealer's line
// has one wording when the deal passes on and another (with its capital D) at a game's
// first hand; seat 1's line starts with the player's name.
void AnnounceDealer() {
    if (G.GameOn)
        G.Dealer = NextSeat(G.Dealer);
    else
        ChooseFirstDealer();
    const Seats::Names& names = Seats::Table[G.Dealer];
    const QString line = QString::fromLatin1(G.GameOn ? names.dealing : names.firstDealing);
    ShowInfo(G.Dealer == 1 ? G.PlayerName + line : line);
    G.GameOn = true;
}

// Deals the hand and turns up the trump card; false if the pack ran out, which cannot happen.
bool DealAndTurnTrumps(std::vector<qint8>& order) {
    TableView& v = View();
    v.EnablePlayMenu(false);
    ShowPack();
    order = DealCards();
    const qint16 trumpCard = PickRandomCard();
    if (trumpCard == 0) {
        v.EnablePlayMenu(true);
        return false;
    }
    G.Trumps = CardSuit(trumpCard);
    G.LedSuit = G.Trumps;
    Opponents::Log().Start(trumpCard);
    MovePackToCorner();
    Pause();
    v.SetCardImage(trumpCard, trumpCard);
    v.MoveCard(trumpCard, Layout::TrumpCard);
    v.CardToFront(trumpCard);
    PlaySoundThenPause(SoundId::Deal);
    ShowTrumps();
    ShowInfo(QStringLiteral("Now the bidding begins"));
    v.EnablePlayMenu(true);
    return true;
}
} // namespace

void SeedDeal(std::uint32_t seed) {
    // The deal only: the opponents' decisions have a seed of their own (Opponents::Seed). Were
    // they seeded from the deal's seed, a seat could work back from its own decisions' seed to
    // the order of the pack.
    Generator().seed(seed);
}

std::string DealState() {
    std::ostringstream out;
    out << Generator();
    return out.str();
}

bool SetDealState(const std::string& state) {
    if (!SavedGame::IsGeneratorState(state)) return false;
    std::mt19937 gen;
    std::istringstream in(state);
    in >> gen;
    if (in.fail()) return false;
    Generator() = gen;
    return true;
}

void StartHand() {
    GatherCards();
    ShowSeats();
    AnnounceDealer();
    NextHandSize();
    View().Follow(); // the dealer's mark
    std::vector<qint8> order;
    if (!DealAndTurnTrumps(order)) return;
    Note(GameRecord::HandDealt);
    PlayRecord::Dealt(Opponents::Log().trumpCard, std::move(order));
    TakeBack::Forget();
    BidAndLead(0);
}

void BidAndLead(int firstBidder) {
    BiddingSequence(firstBidder);
    Probe::Mark("bidding-end");
    SaveGame();

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
    View().SetCaption(Caption::Rounds, 0, QStringLiteral("A %1 card Hand.").arg(G.HandSize));
}

qint16 PickRandomCard() {
    // Every card still in the pack is equally likely. At least 11 of the 52 are always left,
    // so a thousand draws all missing is beyond chance; the pack is then searched instead,
    // and an empty pack (a state that cannot arise) gives 0 rather than a draw without end.
    std::uniform_int_distribution<int> card(1, 52);
    for (int draw = 0; draw < 1000; ++draw) {
        const int c = card(Generator());
        if (c >= 1 && c <= 52 && G.Cards[c].Holder == Holders::Pack) return static_cast<qint16>(c);
    }
    std::vector<qint16> pack;
    for (qint16 c = 1; c <= 52; ++c)
        if (G.Cards[c].Holder == Holders::Pack) pack.push_back(c);
    Q_ASSERT_X(!pack.empty(), "PickRandomCard", "the pack is empty");
    if (pack.empty()) return 0;
    return pack[std::uniform_int_distribution<size_t>(0, pack.size() - 1)(Generator())];
}

void ShowTrumps() {
    static const char* const words[] = {"Diamonds", "Clubs", "Hearts", "Spades"};
    if (G.LedSuit < 1 || G.LedSuit > 4) return;
    View().SetCaption(Caption::Trumps, 0,
                      QStringLiteral("Trumps:- ") + QString::fromLatin1(words[G.LedSuit - 1]));
}

namespace {
// Where every card of the pack lies when the pack is stacked from `at`, from the bottom up:
// each a step right of and above the one below.
std::vector<std::pair<int, Layout::Spot>> PackPlaces(Layout::Spot at) {
    std::vector<std::pair<int, Layout::Spot>> places;
    for (int card = 1; card <= 52; ++card) {
        if (G.Cards[card].Holder != Holders::Pack) continue;
        const int k = static_cast<int>(places.size());
        places.emplace_back(card,
                            Layout::Spot{at.left + Layout::PackStep * k, at.top - Layout::PackStep * k});
    }
    return places;
}

// Stacks every card of the pack from `at`.
void StackPack(Layout::Spot at) {
    TableView& v = View();
    for (const auto& [card, place] : PackPlaces(at)) {
        v.MoveCard(card, place);
        v.CardToFront(card);
        v.ShowCard(card, true);
    }
}
} // namespace

void ShowPack() {
    PauseLength pause(Pacing::Pack);
    PlaySoundThenPause(SoundId::Riffle);
    Pause();
    StackPack(Layout::PackMiddle);
}

void MovePackToCorner() {
    PauseLength pause(Pacing::Pack);
    Pause();
    StackPack(Layout::PackCorner);
}

void ShowPlayerHand() {
    TableView& v = View();
    int x = Layout::SortedHand.left;
    for (int suit = 1; suit <= 4; ++suit) {
        for (int rank : RanksLowToHigh) {
            const int card = CardNumber(suit, rank);
            if (G.Cards[card].Holder != 1) continue;
            v.SetCardImage(card, card);
            v.MoveCard(card, {x, Layout::SortedHand.top});
            v.CardToFront(card);
            x += Layout::SortedHandStep;
        }
    }
}

std::vector<qint8> DealCards() {
    const auto order = DealOrder(G.Dealer);
    // Each card sets off from where ShowPack stacked it; the cards dealt before it leave it there.
    std::array<Layout::Spot, 53> stacked{};
    for (const auto& [card, place] : PackPlaces(Layout::PackMiddle))
        stacked[size_t(card)] = place;
    std::vector<qint8> dealt;
    Probe::Mark("deal-begin");
    for (int round = 0; round < G.HandSize; ++round) {
        for (qint16 seat : order) {
            const qint16 card = PickRandomCard();
            if (card == 0) return dealt; // the pack ran out: a state that cannot arise
            DealCardToSeat(seat, card, stacked[size_t(card)]);
            dealt.push_back(static_cast<qint8>(card));
        }
    }
    Probe::Mark("deal-end");
    ShowPlayerHand();
    return dealt;
}

void LayOutDeal(const PlayRecord::Deal& d) {
    // The steps of the deal that leave something on the table, in the same order, without
    // the pauses, the sounds and the cards on their way.
    TableView& v = View();
    for (int seat = 1; seat <= 4; ++seat)
        NextPlace(seat) = static_cast<qint16>(Layout::Seats[seat].row ? Layout::Seats[seat].firstCard.left
                                                                      : Layout::Seats[seat].firstCard.top);
    for (int c = 1; c <= 52; ++c) {
        v.SetCardImage(c, CardImage::FirstBack);
        G.Cards[c].Holder = Holders::Pack;
    }
    StackPack(Layout::PackMiddle);
    const auto seats = DealOrder(d.dealer);
    for (size_t i = 0; i < d.order.size(); ++i) {
        const int seat = seats[i % 4], card = d.order[i];
        G.Cards[card].Holder = static_cast<quint8>(seat);
        LandCard(v, seat, card);
    }
    ShowPlayerHand();
    StackPack(Layout::PackCorner);
    v.SetCardImage(d.trumpCard, d.trumpCard);
    v.MoveCard(d.trumpCard, Layout::TrumpCard);
    v.CardToFront(d.trumpCard);
}

void LayOutHand() {
    const PlayRecord::Record& r = PlayRecord::Current();
    const auto holders = G.Cards; // the deal's, while it is laid out
    LayOutDeal(r.deals.back());
    G.Cards = holders;
    // The hand's cards played are the record's last actions (its bids come before them).
    TableView& v = View();
    const size_t played =
        size_t(4 * G.HandSize - G.CardsLeft[1] - G.CardsLeft[2] - G.CardsLeft[3] - G.CardsLeft[4]);
    for (size_t a = r.actions.size() - played; a < r.actions.size(); ++a) {
        const int card = r.actions[a].value, seat = r.actions[a].seat;
        v.SetCardImage(card, card);
        v.MoveCard(card, Layout::Seats[seat].trick);
        v.CardToFront(card);
        v.ShowCard(card, G.Cards[card].Holder == Holders::Trick);
        // The player's hand closes up behind each card the player plays.
        if (seat == 1) ShowPlayerHand();
    }
}

void DealCardToSeat(int seat, int card, Layout::Spot from) {
    PauseLength pause(Pacing::DealStep);
    TableView& v = View();
    if (seat >= 1 && seat <= 4) {
        const Layout::Seat& to = Layout::Seats[seat];
        G.Cards[card].Holder = static_cast<quint8>(seat);
        // The card slides along one axis only, until it has passed the seat's stop line.
        Layout::Spot at = from;
        const int direction = to.stepLeft != 0 ? to.stepLeft : to.stepTop;
        auto keepMoving = [&] {
            const int moving = to.stepLeft != 0 ? at.left : at.top;
            return direction > 0 ? moving < to.stopLine : moving > to.stopLine;
        };
        while (keepMoving()) {
            if (seat == 1) v.SetCardImage(card, to.landedImage); // the player's card travels face down
            at = {at.left + to.stepLeft * Layout::DealStep, at.top + to.stepTop * Layout::DealStep};
            v.MoveCard(card, at);
            v.CardToFront(card);
            Probe::DealStep();
            Pause();
        }
        LandCard(v, seat, card);
    }
    PlaySoundThenPause(SoundId::Deal);
}
