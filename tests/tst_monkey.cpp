// Whole games played by a random player who also presses keys, clicks and answers at random
// moments inside every kind of wait; the game's state is checked after every event.
// VANTRICK_MONKEY_SEED repeats a run, VANTRICK_MONKEY_GAMES sets how many whole games to play.
#include "TestSupport.h"

#include "Deal.h"
#include "GameRecord.h"
#include "Opponents.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdarg>
#include <cstdio>
#include <random>

using namespace TestSupport;

namespace {

class Monkey : public QObject {
  public:
    QString failure;
    int wholeGames = 0, events = 0, resumes = 0;

    Monkey(quint32 seed, const QString& dir) : rng_(seed), dir_(dir) {
        SeedDeal(game, seed);
        QObject::connect(&tick_, &QTimer::timeout, this, [this] { Tick(); });
        tick_.start(0); // runs on every turn of every event loop, the waits' own included
        Boot();         // may ask about the game the last round left unfinished
    }

  private:
    std::mt19937 rng_;
    QString dir_;
    QTimer tick_;
    bool queued_ = false, exited_ = false, resumed_ = false, booting_ = false;
    int stalled_ = 0, extraF2_ = -1, ledgerHand_ = 0;
    std::array<int, 5> ledger_{};

    bool Chance(int perMille) { return int(rng_() % 1000) < perMille; }
    int Pick(int n) { return int(rng_() % unsigned(n)); }
    static bool CarryOnShown() { return !TableForm().BtnContinue->isHidden(); }

    // A restart carries the game left unfinished on (or drops it), as the player chooses.
    void Boot() {
        const QByteArray saved = ReadBytes(dir_ + "/Game.dat");
        FreshState(dir_, 0.0);
        if (saved != "<missing>") WriteBytes(dir_ + "/Game.dat", saved);
        TableForm().ExitHook = [this] { exited_ = true; };
        exited_ = false;
        booting_ = true;
        try { // a start-up killed while it asks is given up like any chain
            TableForm().Form_Load();
        } catch (const Waits::ChainAbandoned&) {
        }
        booting_ = false;
        // Painting the table is most of the cost of a game here: the game goes on unseen.
        TableForm().hide();
    }

    // A printf-style checked format: the compiler sees every call's arguments against it.
    [[gnu::format(printf, 2, 3)]] void Fail(const char* what, ...) {
        if (failure.isEmpty()) {
            va_list args;
            va_start(args, what);
            failure = QString::asprintf("hand %d: ", G.HandNumber) + QString::vasprintf(what, args);
            va_end(args);
        }
        Waits::BeginExit(); // every chain unwinds; nothing more is dealt
    }

    // What must hold at every moment, whatever was pressed.
    void Check() {
        if (Waits::ChainDepth() > 2 || Waits::PlayDepth() > 1)
            Fail("%d chains on the stack, %d of play", Waits::ChainDepth(), Waits::PlayDepth());
        if (Waits::MostWakes() > 20000) Fail("a wait keeps waking");
        if (!TableExists() || Waits::Exiting()) return;
        const Table& t = TableForm();
        std::array<int, 6> held{};
        for (int c = 1; c <= 52; ++c) {
            const int h = G.Cards[c].Holder;
            if (h > 5) return Fail("card %d held by %d", c, h);
            ++held[h];
            if (h >= 2 && h <= 4 && t.CardsPic[c]->Image() <= 52) Fail("a computer's card shows");
        }
        if (held[5] > 4) Fail("%d cards in one trick", held[5]);
        if (!G.GameOn) return;
        const int tricks = G.TricksMade[1] + G.TricksMade[2] + G.TricksMade[3] + G.TricksMade[4];
        if (tricks > G.HandSize) Fail("%d tricks in a hand of %d", tricks, G.HandSize);
        const bool dealing = G.Trumps == 0; // while the cards are dealt a hand fills up to its size
        for (int s = 1; s <= 4; ++s) {
            if (dealing ? held[s] > G.CardsLeft[s] : held[s] != G.CardsLeft[s])
                Fail("seat %d holds %d cards, CardsLeft %d", s, held[s], G.CardsLeft[s]);
            const int played = G.HandSize - G.CardsLeft[s] - tricks; // to the trick on the table
            if (!dealing && (played < 0 || played > 1))
                Fail("seat %d played %d cards to one trick", s, played);
        }
    }

    // At the hand-over notice every seat has gained its tricks, and 10 more for its exact bid.
    void CheckScores() {
        if (G.HandNumber == 1) ledger_ = {};
        if (G.HandNumber != 1 && ledgerHand_ != G.HandNumber - 1) Fail("a hand was skipped");
        ledgerHand_ = G.HandNumber;
        int tricks = 0;
        for (int s = 1; s <= 4; ++s) {
            tricks += G.TricksMade[s];
            ledger_[s] += G.TricksMade[s] + (G.TricksMade[s] == G.Bids[s] ? 10 : 0);
            if (G.GameScore[s] != ledger_[s]) Fail("seat %d scored %d", s, G.GameScore[s]);
        }
        if (tricks != G.HandSize) Fail("%d tricks made in a hand of %d", tricks, G.HandSize);
    }

    void Tick() {
        if (queued_) return;
        if (resumed_ && G.GameOn) { // the ledger goes on from the hands before the one carried on
            resumed_ = false;
            ledger_ = {};
            for (const GameRecord::Hand& h : game.sheet.hands)
                for (int seat = 1; seat <= 4 && h.number < G.HandNumber; ++seat)
                    ledger_[seat] += h.points[seat];
            ledgerHand_ = G.HandNumber - 1;
            ++resumes;
        }
        Check();
        // After an exit the player starts the game again, from a timer of its own: the start-up may ask about
        // the unfinished game, and this tick must be free to answer.
        if (exited_ && failure.isEmpty() && Waits::ChainDepth() == 0 && !booting_) {
            queued_ = true;
            return QTimer::singleShot(0, this, [this] { queued_ = false, Boot(); });
        }
        if (exited_ || !failure.isEmpty()) return;
        QWidget* modal = QApplication::activeModalWidget();
        const bool idle = Waits::ChainDepth() == 0;
        // The player can always act: answer a dialog, press Carry On, play a card or start a game.
        stalled_ = modal || CarryOnShown() || (idle && (G.Turn == 1 || !G.GameOn)) ? 0 : stalled_ + 1;
        if (stalled_ > 5000) return Fail("no way for the player to act");
        if (extraF2_ >= 0 && extraF2_-- == 0) return Queue([this] { NewGame(); }); // F2 twice or more
        if (Chance(6)) return Queue(StrayEvent());
        if (Chance(3)) return Queue([this] { ToggleChoice(); });
        if (modal && Chance(400)) return Queue([this, modal = QPointer<QWidget>(modal)] { Answer(modal); });
        if (CarryOnShown() && Chance(400)) return Queue([] { TableForm().BtnContinue->click(); });
        if (idle && G.Turn == 1 && Chance(400))
            return Queue([this] { ClickCard(Chance(800) ? ChooseComputerCard(G, 1) : 1 + Pick(52)); });
        if (idle && !G.GameOn && !modal) Queue([this] { NewGame(); });
    }

    // From a timer of its own, so that the ticks go on inside the waits the event starts.
    void Queue(const std::function<void()>& act) {
        queued_ = true;
        QTimer::singleShot(0, this, [this, act] {
            queued_ = false;
            if (exited_ || !failure.isEmpty() || !TableExists()) return;
            ++events;
            act();
        });
    }

    // One of the Play menu's choices turned over at any moment, a deal or a look at a trick
    // included (toggle() goes through even while the menu is disabled).
    void ToggleChoice() {
        Table& t = TableForm();
        QList<QAction*> items{t.MnuQuickPlay,        t.MnuCarryOnByItself, t.MnuShowPlayable,
                              t.MnuClassicOpponents, t.MnuSharpOpponents,  t.MnuExpertOpponents,
                              t.MnuFourColour};
        items += t.MnuLookTime->actions();
        items[Pick(int(items.size()))]->toggle();
    }

    void NewGame() {
        if (Chance(500)) extraF2_ = Pick(6);
        TableForm().MNuNew->trigger();
    }

    void ClickCard(int card) {
        if (card >= 1 && card <= 52)
            QTest::mouseClick(TableForm().CardsPic[card], Qt::LeftButton, {}, QPoint(5, 5));
    }

    // A command or click at any moment: the menus, the close box, any card, a step of a drag of
    // the window's edge (the table's picture shown until the size rests, then laid out anew).
    std::function<void()> StrayEvent() {
        Table& t = TableForm();
        QAction* const menu[] = {t.MnuExit,   t.MnuVTHelp, t.MnuWon,     t.MnuChangeName,
                                 t.MnuDelete, t.MnuHint,   t.MnuTakeBack};
        const int k = Pick(11);
        if (k < 7) return [a = menu[k]] { a->trigger(); };
        if (k == 7) return [this] { NewGame(); };
        if (k == 8) return [&t] { t.close(); };
        if (k == 9)
            return [&t, zoom = 0.9 + Pick(8) / 10.0] {
                t.resize(QSize(int(745 * zoom), int(598 * zoom) + t.menuBar()->height()));
            };
        return [this] { ClickCard(1 + Pick(52)); };
    }

    // Answers mostly carry on with the game; giving it up is rare, so that most games end.
    void Answer(QWidget* w) {
        if (!w || !w->isVisible()) return;
        if (auto* d = qobject_cast<MFormDeluxe*>(w)) {
            const QString title = d->Label3->text().trimmed();
            int button = d->Pic1[1]->isVisible() ? Pick(d->Pic1[2]->isVisible() ? 3 : 2) : 0;
            if (title == "Hand Over") CheckScores();
            resumed_ = resumed_ || (title == "Unfinished Game" && button == 0);
            if (title == "New Game?" || title == "Really Exit?") button = Chance(30) ? 0 : 1;
            if (title == "New Game?" && button == 0) extraF2_ = 0; // and F2 again at once
            if (title == "Game Over") ++wholeGames;
            if (title == "Game Over") button = Chance(40) ? 1 : 0;
            if (title == "Game Over" && button == 0 && Chance(500)) extraF2_ = Pick(6);
            QTest::mouseClick(d->Label1[button], Qt::LeftButton);
        } else if (auto* b = qobject_cast<FrmBid*>(w)) {
            static const char* const bad[] = {"", "14", "99", "0013", "123456789"};
            b->TxtBid->setText(Chance(850) ? QString::number(Pick(14)) : QString::fromLatin1(bad[Pick(5)]));
            QTest::mouseClick(b->CmdBid, Qt::LeftButton);
        } else if (auto* m = qobject_cast<QMessageBox*>(w)) {
            const bool yes = Chance(m->objectName() == "ShutDownQuestion" ? 30 : 500);
            QAbstractButton* button = m->button(yes ? QMessageBox::Ok : QMessageBox::Cancel);
            if (!button) button = m->button(yes ? QMessageBox::Yes : QMessageBox::No);
            if (button) QTest::mouseClick(button, Qt::LeftButton);
        } else if (auto* in = qobject_cast<QInputDialog*>(w)) {
            static const char* const names[] = {"Ann", "<img src=/dev/zero>", "<b>Big</b>", "\"Quoted\"", ""};
            in->setTextValue(Chance(200) ? QString(200, u'x') : QString::fromLatin1(names[Pick(5)]));
            Chance(800) ? in->accept() : in->reject();
        }
    }
};

} // namespace

class TestMonkey : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

    quint32 seed = 0;

  private slots:
    // The games are played in rounds of a few, each a test function's run of its own, so that
    // no one run nears QtTest's watchdog however busy the machine is.
    void wholeGamesWithRandomEvents_data() {
        bool given = false;
        seed = qEnvironmentVariable("VANTRICK_MONKEY_SEED").toUInt(&given);
        if (!given) seed = QRandomGenerator::global()->generate();
#ifdef __SANITIZE_ADDRESS__
        int games = 50; // a slower build: kept short on a busy machine
#else
        int games = 200;
#endif
        // The events are under test, not the look-ahead: a small one keeps the expert's turns short.
        game.effort = Sharp::Effort{40, 40};
        if (qEnvironmentVariableIsSet("VANTRICK_MONKEY_GAMES"))
            games = qEnvironmentVariableIntValue("VANTRICK_MONKEY_GAMES");
        QTest::addColumn<int>("games");
        QTest::addColumn<quint32>("round");
        for (int first = 0; first < games; first += 20)
            QTest::addRow("%d", first / 20) << qMin(20, games - first) << quint32(first / 20);
    }
    void wholeGamesWithRandomEvents() {
        QFETCH(int, games);
        QFETCH(quint32, round);
        Monkey monkey(seed + round, dir.path());
        while (monkey.wholeGames < games && monkey.failure.isEmpty())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        // Not through qInfo: the platform's warnings may have used up the test's message budget.
        std::printf("%d whole games, %d events, %d games carried on (VANTRICK_MONKEY_SEED=%u, round %u)\n",
                    monkey.wholeGames, monkey.events, monkey.resumes, seed, round);
        QVERIFY(WaitFor([] { return Waits::ChainDepth() == 0; }));
        QVERIFY2(monkey.failure.isEmpty(), qPrintable(monkey.failure));
    }
};

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
