#include "Deal.h"

#include "Game.h"

#include "Bidding.h"
#include "Follow.h"
#include "Layout.h"
#include "Opponents.h"
#include "Pacing.h"
#include "PlayRecord.h"
#include "Probe.h"
#include "Seats.h"
#include "TableView.h"
#include "TakeBack.h"
#include "Tricks.h"

#include <array>
#include <random>
#include <vector>

namespace {
std::mt19937& Generator(Game& game) {
    return game.deal;
}

// The next-place variable of a seat: where along its row or column its next card lands.
qint16& NextPlace(Game& game, int seat) {
    GameState& G = game.G;
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
void LandCard(Game& game, TableView& v, int seat, int card) {
    const Layout::Seat& to = Layout::Seats[seat];
    qint16& next = NextPlace(game, seat);
    v.MoveCard(card, to.row ? Layout::Spot{next, to.firstCard.top} : Layout::Spot{to.firstCard.left, next});
    v.SetCardImage(card, to.landedImage);
    next = static_cast<qint16>(next + to.cardStep);
    v.CardToFront(card);
}

// Every card back in the pack, face down, no trick on the table, and the seats' counts of the
// last hand cleared.
void GatherCards(Game& game) {
    GameState& G = game.G;
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
        NextPlace(game, seat) = static_cast<qint16>(
            Layout::Seats[seat].row ? Layout::Seats[seat].firstCard.left : Layout::Seats[seat].firstCard.top);
    v.ClearInfo();
    for (int i = 1; i <= 52; ++i) {
        v.SetCardImage(i, CardImage::FirstBack);
        G.Cards[i].Holder = Holders::Pack;
    }
    ShowPack(game);
    for (int s = 1; s <= 4; ++s) {
        G.TricksMade[s] = 0;
        G.Bids[s] = 0;
        G.SuitCount[s] = 0;
        v.SetCaption(Caption::HandScore, s, QStringLiteral("0"));
        v.SetCaption(Caption::Bid, s, QString());
    }
}

// A new game's score board, and the seats' names back in their places.
void ShowSeats(Game& game) {
    GameState& G = game.G;
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
void AnnounceDealer(Game& game) {
    GameState& G = game.G;
    if (G.GameOn)
        G.Dealer = NextSeat(G.Dealer);
    else
        ChooseFirstDealer(game);
    const Seats::Names& names = Seats::Table[G.Dealer];
    const QString line = QString::fromLatin1(G.GameOn ? names.dealing : names.firstDealing);
    ShowInfo(G.Dealer == 1 ? G.PlayerName + line : line);
    G.GameOn = true;
}

// Deals the hand and turns up the trump card; false if the pack ran out, which cannot happen.
bool DealAndTurnTrumps(Game& game, std::vector<qint8>& order) {
    GameState& G = game.G;
    TableView& v = View();
    v.EnablePlayMenu(false);
    ShowPack(game);
    order = DealCards(game);
    const qint16 trumpCard = PickRandomCard(game);
    if (trumpCard == 0) {
        v.EnablePlayMenu(true);
        return false;
    }
    G.Trumps = CardSuit(trumpCard);
    G.LedSuit = G.Trumps;
    game.log.Start(trumpCard);
    MovePackToCorner(game);
    Pause(G);
    v.SetCardImage(trumpCard, trumpCard);
    v.MoveCard(trumpCard, Layout::TrumpCard);
    v.CardToFront(trumpCard);
    PlaySoundThenPause(G, SoundId::Deal);
    ShowTrumps(game);
    ShowInfo(QStringLiteral("Now the bidding begins"));
    v.EnablePlayMenu(true);
    return true;
}
} // namespace

void SeedDeal(Game& game, std::uint32_t seed) {
    // The deal only: the opponents' decisions have a seed of their own (Game::sharpSeed). Were
    // they seeded from the deal's seed, a seat could work back from its own decisions' seed to
    // the order of the pack.
    Generator(game).seed(seed);
}

void StartHand(Game& game) {
    GatherCards(game);
    ShowSeats(game);
    AnnounceDealer(game);
    NextHandSize(game);
    View().Follow(); // the dealer's mark
    std::vector<qint8> order;
    if (!DealAndTurnTrumps(game, order)) return;
    Note(game, GameRecord::HandDealt);
    PlayRecord::Dealt(game, game.log.trumpCard, std::move(order));
    TakeBack::Forget(game);
    BidAndLead(game, 0);
}

void BidAndLead(Game& game, int firstBidder) {
    GameState& G = game.G;
    BiddingSequence(game, firstBidder);
    Probe::Mark("bidding-end");
    SaveGame(game);

    // The dealer leads the first trick.
    LeadTrick(game, G.Dealer, " Click card you wish to play.");
}

void ChooseFirstDealer(Game& game) {
    GameState& G = game.G;
    std::uniform_int_distribution<int> seat(1, 4);
    G.Dealer = static_cast<qint16>(seat(Generator(game)));
}

void NextHandSize(Game& game) {
    GameState& G = game.G;
    G.HandNumber = static_cast<qint16>(G.HandNumber + 1);
    G.HandSize = HandSizeFor(G.HandNumber);
    for (int s = 1; s <= 4; ++s)
        G.CardsLeft[s] = G.HandSize;
    View().SetCaption(Caption::Rounds, 0, QStringLiteral("A %1 card Hand.").arg(G.HandSize));
}

qint16 PickRandomCard(Game& game) {
    GameState& G = game.G;
    // Every card still in the pack is equally likely. At least 11 of the 52 are always left,
    // so a thousand draws all missing is beyond chance; the pack is then searched instead,
    // and an empty pack (a state that cannot arise) gives 0 rather than a draw without end.
    std::uniform_int_distribution<int> card(1, 52);
    for (int draw = 0; draw < 1000; ++draw) {
        const int c = card(Generator(game));
        if (c >= 1 && c <= 52 && G.Cards[c].Holder == Holders::Pack) return static_cast<qint16>(c);
    }
    std::vector<qint16> pack;
    for (qint16 c = 1; c <= 52; ++c)
        if (G.Cards[c].Holder == Holders::Pack) pack.push_back(c);
    Q_ASSERT_X(!pack.empty(), "PickRandomCard", "the pack is empty");
    if (pack.empty()) return 0;
    return pack[std::uniform_int_distribution<size_t>(0, pack.size() - 1)(Generator(game))];
}

void ShowTrumps(Game& game) {
    GameState& G = game.G;
    static const char* const words[] = {"Diamonds", "Clubs", "Hearts", "Spades"};
    if (G.LedSuit < 1 || G.LedSuit > 4) return;
    View().SetCaption(Caption::Trumps, 0,
                      QStringLiteral("Trumps:- ") + QString::fromLatin1(words[G.LedSuit - 1]));
}

namespace {
// Where every card of the pack lies when the pack is stacked from `at`, from the bottom up:
// each a step right of and above the one below.
std::vector<std::pair<int, Layout::Spot>> PackPlaces(Game& game, Layout::Spot at) {
    GameState& G = game.G;
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
void StackPack(Game& game, Layout::Spot at) {
    TableView& v = View();
    for (const auto& [card, place] : PackPlaces(game, at)) {
        v.MoveCard(card, place);
        v.CardToFront(card);
        v.ShowCard(card, true);
    }
}
} // namespace

void ShowPack(Game& game) {
    GameState& G = game.G;
    PauseLength pause(G, Pacing::Pack);
    PlaySoundThenPause(G, SoundId::Riffle);
    Pause(G);
    StackPack(game, Layout::PackMiddle);
}

void MovePackToCorner(Game& game) {
    GameState& G = game.G;
    PauseLength pause(G, Pacing::Pack);
    Pause(G);
    StackPack(game, Layout::PackCorner);
}

void ShowPlayerHand(Game& game) {
    GameState& G = game.G;
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

std::vector<qint8> DealCards(Game& game) {
    GameState& G = game.G;
    const auto order = DealOrder(G.Dealer);
    // Each card sets off from where ShowPack stacked it; the cards dealt before it leave it there.
    std::array<Layout::Spot, 53> stacked{};
    for (const auto& [card, place] : PackPlaces(game, Layout::PackMiddle))
        stacked[size_t(card)] = place;
    std::vector<qint8> dealt;
    Probe::Mark("deal-begin");
    for (int round = 0; round < G.HandSize; ++round) {
        for (qint16 seat : order) {
            const qint16 card = PickRandomCard(game);
            if (card == 0) return dealt; // the pack ran out: a state that cannot arise
            DealCardToSeat(game, seat, card, stacked[size_t(card)]);
            dealt.push_back(static_cast<qint8>(card));
        }
    }
    Probe::Mark("deal-end");
    ShowPlayerHand(game);
    return dealt;
}

void LayOutDeal(Game& game, const PlayRecord::Deal& d) {
    GameState& G = game.G;
    // The steps of the deal that leave something on the table, in the same order, without
    // the pauses, the sounds and the cards on their way.
    TableView& v = View();
    for (int seat = 1; seat <= 4; ++seat)
        NextPlace(game, seat) = static_cast<qint16>(
            Layout::Seats[seat].row ? Layout::Seats[seat].firstCard.left : Layout::Seats[seat].firstCard.top);
    for (int c = 1; c <= 52; ++c) {
        v.SetCardImage(c, CardImage::FirstBack);
        G.Cards[c].Holder = Holders::Pack;
    }
    StackPack(game, Layout::PackMiddle);
    const auto seats = DealOrder(d.dealer);
    for (size_t i = 0; i < d.order.size(); ++i) {
        const int seat = seats[i % 4], card = d.order[i];
        G.Cards[card].Holder = static_cast<quint8>(seat);
        LandCard(game, v, seat, card);
    }
    ShowPlayerHand(game);
    StackPack(game, Layout::PackCorner);
    v.SetCardImage(d.trumpCard, d.trumpCard);
    v.MoveCard(d.trumpCard, Layout::TrumpCard);
    v.CardToFront(d.trumpCard);
}

void LayOutHand(Game& game) {
    GameState& G = game.G;
    const PlayRecord::Record& r = game.record;
    const auto holders = G.Cards; // the deal's, while it is laid out
    LayOutDeal(game, r.deals.back());
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
        if (seat == 1) ShowPlayerHand(game);
    }
}

void DealCardToSeat(Game& game, int seat, int card, Layout::Spot from) {
    GameState& G = game.G;
    PauseLength pause(G, Pacing::DealStep);
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
            Pause(G);
        }
        LandCard(game, v, seat, card);
    }
    PlaySoundThenPause(G, SoundId::Deal);
}
