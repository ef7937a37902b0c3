// Whole games played by the procedures of play with no window, seat 1 by a random legal player
// and by the computer's own rules, watched card by card against the game's own bookkeeping:
// where every card is, whose turn it is, who takes each trick, the hand's and the game's scores.
// The checks keep their own record of the hands and state the rules afresh, so a procedure that
// loses a card, plays out of turn or scores wrongly fails with the seed that shows it.
#include "CoreTestSupport.h"
#include "DataFiles.h"
#include "Deal.h"
#include "HeadlessView.h"
#include "PlayRecord.h"
#include "Tricks.h"

#include <QTemporaryDir>
#include <cstdlib>
#include <random>

namespace {

// The message is made only for a broken rule: making it for every check would cost more than
// the games.
#define CHECK(ok, what)                                                                                      \
    do {                                                                                                     \
        if (!(ok)) throw QString(what);                                                                      \
    } while (false)

int Suit(int card) {
    return (card - 1) / 13 + 1;
}

// A view that checks the game at every card, trick and hand.
class WatchingView : public HeadlessView {
  public:
    using HeadlessView::HeadlessView;
    long long cards = 0;

    void PlaySound(SoundId sound) override {
        if (sound == SoundId::CardDown) CardDown();
    }
    void WaitCarryOn() override {
        TrickDone();
        HeadlessView::WaitCarryOn();
    }
    int MsgDeluxe(const QString& m, const QString& b1, const QString& b2, const QString& b3, qint16 icon,
                  const QString& title) override {
        if (title == QLatin1String("Hand Over")) HandDone();
        if (title == QLatin1String("Game Over"))
            CHECK(handCount_ == 19 && !G.GameOn, QStringLiteral("game over early"));
        if (title == QLatin1String("A Draw.") || title == QLatin1String("Congratulations")) GameResult(title);
        return HeadlessView::MsgDeluxe(m, b1, b2, b3, icon, title);
    }

  private:
    // The test's own record of where each card is: 0 out of play, 1..4 a seat's hand, 5 the trick.
    std::array<int, 53> where_{};
    std::array<int, 5> left_{};
    std::vector<std::pair<int, int>> trick_; // seat, card
    std::array<int, 5> bidsSeen_{}, scoresBefore_{};
    int handCount_ = 0, dealer_ = 0, leader_ = 0;

    // The first card of a hand, the leader's, has just come to the trick: everything else is
    // dealt and bid.
    void HandStarts() {
        ++handCount_;
        CHECK(G.HandNumber == handCount_ && G.HandSize == std::abs(handCount_ - 10) + 1,
              QStringLiteral("hand %1 has %2 cards").arg(G.HandNumber).arg(G.HandSize));
        CHECK(handCount_ == 1 || G.Dealer == dealer_ % 4 + 1,
              QStringLiteral("the deal did not pass clockwise"));
        dealer_ = G.Dealer;
        leader_ = G.Dealer;
        left_ = {};
        for (int c = 1; c <= 52; ++c) {
            const int holder = G.Cards[c].Holder == Holders::Trick ? leader_ : G.Cards[c].Holder;
            where_[c] = holder <= 4 ? holder : -1;
            if (holder >= 1 && holder <= 4) ++left_[holder];
        }
        for (int s = 1; s <= 4; ++s) {
            CHECK(left_[s] == G.HandSize, QStringLiteral("seat %1 was dealt %2").arg(s).arg(left_[s]));
            bidsSeen_[s] = G.Bids[s];
            scoresBefore_[s] = G.GameScore[s];
        }
    }

    void CardDown() {
        ++cards;
        if (trick_.empty() && left_[1] + left_[2] + left_[3] + left_[4] == 0) HandStarts();
        // Exactly one card has come to the trick since the last one.
        int card = 0;
        for (int c = 1; c <= 52; ++c)
            if (G.Cards[c].Holder == Holders::Trick && where_[c] != Holders::Trick) {
                CHECK(card == 0, QStringLiteral("two cards came to the trick at once"));
                card = c;
            }
        CHECK(card != 0, QStringLiteral("a card was played but none came to the trick"));
        const int seat = trick_.empty() ? leader_ : trick_.back().first % 4 + 1;
        CHECK(where_[card] == seat, QStringLiteral("seat %1 played %2, not its card").arg(seat).arg(card));
        if (!trick_.empty()) {
            const int led = Suit(trick_.front().second);
            bool canFollow = false;
            for (int c = 1; c <= 52; ++c)
                canFollow = canFollow || (where_[c] == seat && Suit(c) == led);
            CHECK(!canFollow || Suit(card) == led, QStringLiteral("seat %1 did not follow suit").arg(seat));
        }
        where_[card] = Holders::Trick;
        --left_[seat];
        trick_.push_back({seat, card});
        // Every card is in exactly one place: a hand as recorded, the trick, or out of play.
        for (int c = 1; c <= 52; ++c)
            CHECK(
                G.Cards[c].Holder == std::max(where_[c], 0),
                QStringLiteral("card %1 is held by %2, not %3").arg(c).arg(G.Cards[c].Holder).arg(where_[c]));
        for (int s = 1; s <= 4; ++s)
            CHECK(G.CardsLeft[s] == left_[s],
                  QStringLiteral("seat %1 CardsLeft %2").arg(s).arg(G.CardsLeft[s]));
    }

    void TrickDone() {
        CHECK(trick_.size() == 4, QStringLiteral("a trick of %1 cards").arg(trick_.size()));
        // Any trump beats every other card, then the suit led; within a suit (card + 11) % 13 runs
        // from the Two up to the Ace.
        const int led = Suit(trick_.front().second);
        const int best = std::ranges::max_element(trick_, {}, [&](const std::pair<int, int>& p) {
                             const int s = Suit(p.second);
                             return (s == G.Trumps ? 200 : s == led ? 100 : 0) + (p.second + 11) % 13;
                         })->first;
        CHECK(G.TrickWinner == best, QStringLiteral("trick won by %1, not %2").arg(G.TrickWinner).arg(best));
        leader_ = best;
        for (const auto& p : trick_)
            where_[p.second] = -1; // out of play, in the pack again
        trick_.clear();
    }

    void HandDone() {
        int tricks = 0;
        for (int s = 1; s <= 4; ++s) {
            tricks += G.TricksMade[s];
            CHECK(left_[s] == 0, QStringLiteral("seat %1 has cards left").arg(s));
            CHECK(G.Bids[s] == bidsSeen_[s], QStringLiteral("seat %1's bid changed in play").arg(s));
            const int points = G.TricksMade[s] + (G.TricksMade[s] == G.Bids[s] ? 10 : 0);
            CHECK(G.GameScore[s] == scoresBefore_[s] + points,
                  QStringLiteral("seat %1 scored wrongly").arg(s));
        }
        CHECK(tricks == G.HandSize, QStringLiteral("%1 tricks in a hand of %2").arg(tricks).arg(G.HandSize));
        if (handCount_ == 7 || handCount_ == 19)
            CHECK(ReplayDiffers().isEmpty(),
                  QStringLiteral("the replayed record differs: ") + ReplayDiffers());
    }

    // The game's record played through the rules again gives the game as it stands.
    static QString ReplayDiffers() {
        const auto replayed = PlayRecord::Replay(game.record);
        if (auto* no = std::get_if<PlayRecord::Refused>(&replayed)) return no->why;
        const auto state = [](const GameState& s) {
            return std::tuple(s.GameOn, s.HandOver, s.HandNumber, s.HandSize, s.Dealer, s.Trumps, s.LedSuit,
                              s.Turn, s.WinningCard, s.TrickWinner, s.TrickSeat1, s.TrickSeat2, s.TrickSeat3,
                              s.TrickSeat4, s.TrickCard1, s.TrickCard2, s.TrickCard3, s.TrickCard4, s.Bids,
                              s.TricksMade, s.CardsLeft, s.GameScore);
        };
        const GameState& r = std::get<GameState>(replayed);
        if (state(r) != state(G)) return QStringLiteral("the state");
        for (int c = 1; c <= 52; ++c)
            if (r.Cards[c].Holder != G.Cards[c].Holder) return QStringLiteral("card %1").arg(c);
        return {};
    }

    void GameResult(const QString& title) {
        const int top = *std::max_element(G.GameScore.begin() + 1, G.GameScore.end());
        const int atTop = int(std::count(G.GameScore.begin() + 1, G.GameScore.end(), top));
        CHECK((atTop > 1) == (title == QLatin1String("A Draw.")),
              QStringLiteral("wrong game result: ") + title);
    }
};

} // namespace

class TestEngine : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

  private slots:
    void wholeGamesKeepEveryRule() {
        DataFiles::SetDataDirOverride(dir_.path());
        DataFiles::SetWriting(false); // each game's win is counted in memory only
        int games = qEnvironmentVariableIntValue("VANTRICK_ENGINE_GAMES");
        games = games > 0 ? games : 10000;
        long long cards = 0;
        std::mt19937 random;
        for (int seed = 1; seed <= games; ++seed) {
            ResetGameState();
            SeedDeal(game, std::uint32_t(seed));
            random.seed(std::uint32_t(seed) * 7919u);
            HeadlessView::Player randomPlayer{
                [&] { return qint16(std::uniform_int_distribution<int>(0, G.HandSize)(random)); },
                [&] {
                    std::vector<qint16> legal;
                    for (qint16 c = 1; c <= 52; ++c)
                        if (IsLegalPlay(G, 1, c)) legal.push_back(c);
                    return legal.empty()
                               ? qint16(0)
                               : legal[std::uniform_int_distribution<size_t>(0, legal.size() - 1)(random)];
                }};
            // Odd seeds: seat 1 plays at random; even seeds: by the computer's rules.
            WatchingView view(game, seed % 2 ? randomPlayer : HeadlessView::Player{});
            try {
                QVERIFY2(view.PlayGame(),
                         qPrintable(QStringLiteral("seed %1: the game did not end").arg(seed)));
            } catch (const QString& broken) {
                QFAIL(qPrintable(QStringLiteral("seed %1: %2").arg(seed).arg(broken)));
            }
            cards += view.cards;
        }
        std::printf("engine: %d whole games, %lld cards\n", games, cards);
    }
};

QTEST_GUILESS_MAIN(TestEngine)
#include "tst_engine.moc"
