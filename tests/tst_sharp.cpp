// The sharp opponents: choices within the rules over many whole games, decisions that depend
// on nothing a seat cannot see, repeatable under a seed, and the exact-bid aim in plain cases.
#include "CoreTestSupport.h"
#include "DataFiles.h"
#include "Deal.h"
#include "HeadlessView.h"
#include "Opponents.h"
#include "SeededRandom.h"

#include <QTemporaryDir>

#include <algorithm>

using namespace TestSupport;
constexpr auto C = Sharp::Level::Classic, S = Sharp::Level::Sharp, X = Sharp::Level::Expert;

namespace {

// Deals the cards the seat cannot see (the other hands and the pack, the trump card apart)
// afresh: each other seat keeps its number of cards and gets none of a suit it has shown out of.
bool RearrangeUnseen(int seat, const Sharp::View& view, SeededRandom& rng) {
    std::vector<int> pool, others;
    for (int card = 1; card <= 52; ++card) {
        const int holder = G.Cards[card].Holder;
        if ((holder == 0 && card != view.trumpCard) || (holder >= 1 && holder <= 4 && holder != seat))
            pool.push_back(card);
    }
    for (int s = 1; s <= 4; ++s)
        if (s != seat) others.push_back(s);
    std::ranges::sort(others, {}, [&view](int s) { return -std::popcount(unsigned(view.voids[s])); });
    for (int attempt = 0; attempt < 100; ++attempt) {
        for (size_t i = pool.size(); i > 1; --i)
            std::swap(pool[i - 1], pool[size_t(rng.Below(int(i)))]);
        std::vector<int> rest = pool;
        std::array<std::vector<int>, 5> dealt;
        bool ok = true;
        for (const int s : others) {
            for (auto it = rest.begin(); it != rest.end() && int(dealt[s].size()) < G.CardsLeft[s];) {
                if (view.voids[s] >> (CardSuit(*it) - 1) & 1) {
                    ++it;
                    continue;
                }
                dealt[s].push_back(*it);
                it = rest.erase(it);
            }
            ok = ok && int(dealt[s].size()) == G.CardsLeft[s];
        }
        if (!ok) continue;
        for (const int card : rest)
            G.Cards[card].Holder = 0;
        for (const int s : others)
            for (const int card : dealt[s])
                G.Cards[card].Holder = quint8(s);
        return true;
    }
    return false;
}

// Whole games through the procedures of play with the sharp method at the seats marked; every
// sharp decision passes through `watch` (seat, bidding, the decision) before it is taken, and
// is checked against the rules after.
struct SharpGame : HeadlessView {
    std::function<void(int, bool, const std::function<qint16()>&)> watch;
    std::vector<qint16> answers;
    QString broken;

    qint16 Decide(int seat, bool bidding, const std::function<qint16()>& decide) override {
        if (watch) watch(seat, bidding, decide);
        const qint16 answer = decide();
        answers.push_back(answer);
        if (bidding) {
            int total = answer;
            for (int s = 1; s <= 4; ++s)
                total += s == seat ? 0 : G.Bids[s];
            if (answer < 0 || answer > 13 || (seat == G.Dealer && total == G.HandSize))
                broken = QStringLiteral("seat %1 bid %2").arg(seat).arg(answer);
        } else if (!IsLegalPlay(G, seat, answer)) {
            broken = QStringLiteral("seat %1 played %2").arg(seat).arg(answer);
        }
        return answer;
    }

    explicit SharpGame(Player player = {}) : HeadlessView(game, std::move(player)) {}
    bool Play(quint32 seed, const std::array<Sharp::Level, 5>& levels) {
        ResetGameState();
        SeedDeal(game, seed);
        game.sharpSeed = seed * 7919;
        for (int s = 1; s <= 4; ++s)
            Opponents::SetLevel(game, s, levels[s]);
        return PlayGame() && broken.isEmpty();
    }
};

} // namespace

class TestSharp : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

  private slots:
    void initTestCase() {
        DataFiles::SetDataDirOverride(dir_.path());
        DataFiles::SetWriting(false);
    }

    // Seeded whole games with one to four sharp or expert seats, every bid and card checked
    // against the rules (a quick effort, to play many games).
    void EveryChoiceWithinTheRules() {
        game.effort = Sharp::Effort{8, 8};
        for (quint32 seed = 1; seed <= 600; ++seed) {
            std::array<Sharp::Level, 5> levels{};
            for (int seat = 1; seat <= 4; ++seat)
                if (seat == int(seed % 4) + 1 || (seed % 3 == 0)) levels[seat] = (seed + seat) % 2 ? X : S;
            SharpGame table;
            QVERIFY2(table.Play(seed, levels),
                     qPrintable(QStringLiteral("seed %1: %2").arg(seed).arg(table.broken)));
        }
    }

    // For decision after decision of whole games, the unseen cards dealt differently among the
    // other hands and the pack leave the seat's view and its choice as they were; so does the
    // deal's generator seeded afresh (the decisions' seed must tell nothing of the deal's).
    void NoPeeking() {
        int checked = 0;
        SeededRandom rng(7);
        game.effort = Sharp::Effort{40, 40};
        SharpGame table;
        table.watch = [&](int seat, bool bidding, const std::function<qint16()>& decide) {
            const HandLog& log = game.log;
            const auto view = [&] {
                return bidding ? Sharp::ViewForBid(G, seat, log) : Sharp::ViewForPlay(G, seat, log);
            };
            if (QTest::currentTestFailed()) return;
            const GameState real = G;
            const Sharp::View before = view();
            // What the view reads from the cards played agrees with the table: a seat that did
            // not follow the suit led has shown out of it, and holds none of a suit it showed out of.
            for (size_t i = 0; i < log.plays.size(); ++i) {
                const int led = CardSuit(log.plays[i / 4 * 4].card), s = log.plays[i].seat;
                if (CardSuit(log.plays[i].card) != led) QVERIFY(before.voids[s] >> (led - 1) & 1);
            }
            for (int card = 1; card <= 52; ++card)
                if (const int s = G.Cards[card].Holder; s >= 1 && s <= 4)
                    QVERIFY(!(before.voids[s] >> (CardSuit(card) - 1) & 1));
            if (!bidding) QCOMPARE(before.leader, G.TrickSeat1);
            QVERIFY(std::equal(before.tricks.begin(), before.tricks.end(), G.TricksMade.begin()));
            const qint16 choice = decide();
            if (seat == 1 && !bidding) {
                // The hint is the expert's own estimate, the card shown the one of most ways.
                SeedDeal(game, rng.Next() % 100000);
                const Sharp::Estimate e = Opponents::HintCard(game)();
                const size_t top = Opponents::HintOrder(e).front();
                QCOMPARE(e.Choice(), choice);
                QCOMPARE(e.made[top], *std::ranges::max_element(e.made));
                QVERIFY(Opponents::CardHintText(game, e).startsWith(
                    "Hint: the " + G.Cards[e.choices[top]].FullName +
                    QStringLiteral(" (your bid made in %1 of 10 ways").arg(std::lround(e.made[top] * 10))));
            }
            for (int i = 0; i < 3; ++i) {
                QVERIFY(RearrangeUnseen(seat, before, rng));
                QVERIFY(view() == before);
                QCOMPARE(decide(), choice);
                ++checked;
            }
            G = real;
        };
        for (quint32 seed = 100; seed < 103; ++seed)
            QVERIFY(table.Play(seed, {C, X, S, C, X}));
        QVERIFY(checked > 1000);
    }

    // Whole games with the player's seat (never sharp itself) played by the hint: on every turn,
    // following suit included, the hint names a card the player may play.
    void HintsWithinTheRules() {
        game.effort = Sharp::Effort{8, 8};
        for (quint32 seed = 1; seed <= 4; ++seed)
            QVERIFY(SharpGame({{}, [] { return Opponents::HintCard(game)().Choice(); }})
                        .Play(seed, {C, C, S, C, S}));
    }

    // The same seeds give the same games, decision for decision; with no seat sharp no sharp
    // decision is ever taken, and the game is the classic one.
    void RepeatsUnderASeed() {
        game.effort = Sharp::Effort{};
        std::vector<qint16> first, second;
        for (auto* trace : {&first, &second}) {
            SharpGame table;
            QVERIFY(table.Play(5, {C, X, S, X, S}));
            *trace = table.answers;
            trace->insert(trace->end(), G.GameScore.begin(), G.GameScore.end());
        }
        QCOMPARE(first, second);
        SharpGame classic;
        QVERIFY(classic.Play(5, {}) && classic.answers.empty());
    }

    // A view no table gives (no such suit, no such seat) gets a plain answer, not a look-ahead.
    void NonsenseViewsGetAPlainAnswer() {
        Sharp::View v;
        QCOMPARE(Sharp::ChooseCard(v, 1), 0);
        v.seat = 2, v.handSize = 2, v.dealer = v.leader = 1, v.trumps = 7, v.hand = {5, 9};
        QCOMPARE(Sharp::ChooseCard(v, 1), 5);
        v.trumps = 1, v.played = {{9, 3}};
        QCOMPARE(Sharp::ChooseCard(v, 1), 5);
        QCOMPARE(Sharp::ChooseBid(v, 1, true), 0);
    }

    // The hint's words: the card of most ways first, the runner-up by its rank alone when of the
    // same suit; the bid with its own share.
    void HintSaysItsOdds() {
        MakeCards(G);
        Sharp::Estimate e{
            {qint16(Card("KD")), qint16(Card("5D")), qint16(Card("3S"))}, {3, 1, 2}, {0.4, 0.7, 0.5}, 0};
        QCOMPARE(Opponents::CardHintText(game, e),
                 "Hint: the Five of Diamonds (your bid made in 7 of 10 ways the "
                 "cards may lie; the Three of Spades: 5 of 10)");
        e.made[2] = 0.2;
        QCOMPARE(Opponents::CardHintText(game, e),
                 "Hint: the Five of Diamonds (your bid made in 7 of 10 ways the "
                 "cards may lie; the King: 4 of 10)");
        QCOMPARE(Opponents::BidHintText({{0, 2, 3}, {1, 2, 1}, {0.2, 0.61, 0.3}, 1}),
                 "Hint: bid 2 (made in 6 of 10)");
    }

    // The last seat to a heart trick in a two-card hand (trumps Spades), with no trick yet:
    // short of its bid it takes the trick, with its bid made it ducks it.
    void PlaysForTheExactBid_data() {
        QTest::addColumn<QString>("hand");
        QTest::addColumn<int>("bid");
        QTest::addColumn<QString>("expected");
        QTest::newRow("follows, bid 1: wins") << "TH 2H" << 1 << "TH";
        QTest::newRow("follows, bid 0: ducks") << "TH 2H" << 0 << "2H";
        QTest::newRow("void, bid 1: ruffs") << "2S 3C" << 1 << "2S";
        QTest::newRow("void, bid 0: discards") << "2S 3C" << 0 << "3C";
        QTest::newRow("void, trump down, bid 0: underruffs") << "QS 2S" << 0 << "2S";
    }
    void PlaysForTheExactBid() {
        QFETCH(QString, hand);
        QFETCH(int, bid);
        QFETCH(QString, expected);
        ResetGameState();
        MakeCards(G);
        G.HandSize = 2;
        G.Dealer = 1;
        G.Trumps = 4;
        HandLog log;
        log.Start(Card("2D"));
        const QStringList trick = QString(QTest::currentDataTag()).contains("trump down")
                                      ? QStringList{"9H", "5H", "JS"}
                                      : QStringList{"9H", "5H", "3H"};
        for (int seat = 1; seat <= 3; ++seat)
            log.Add(seat, Card(trick[seat - 1]));
        for (const QString& name : hand.split(' '))
            G.Cards[Card(name)].Holder = 4;
        G.Bids = {0, 0, 1, 0, qint16(bid)};
        QCOMPARE(Sharp::ChooseCard(Sharp::ViewForPlay(G, 4, log), 1), Card(expected));
    }
};

QTEST_GUILESS_MAIN(TestSharp)
#include "tst_sharp.moc"
