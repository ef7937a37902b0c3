// Whole games played by a random player who also presses keys, clicks and answers at random
// moments inside every kind of wait; the game's state is checked after every event.
// VANTRICK_MONKEY_SEED repeats a run, VANTRICK_MONKEY_GAMES sets how many whole games to play.
#include "TestSupport.h"

#include "ModDeals.h"

#include <QApplication>
#include <QLineEdit>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>
#include <cstdio>
#include <random>

using namespace TestSupport;

namespace {

bool CarryOnShown() {
    return !TableForm().BtnContinue->isHidden();
}

class Monkey : public QObject {
  public:
    QString failure;
    int wholeGames = 0, events = 0;

    Monkey(quint32 seed, const QString& dir) : rng_(seed), dir_(dir) {
        SeedDeal(seed);
        Boot();
        QObject::connect(&tick_, &QTimer::timeout, this, [this] { Tick(); });
        tick_.start(0); // runs on every turn of every event loop, the waits' own included
    }

  private:
    std::mt19937 rng_;
    QString dir_;
    QTimer tick_;
    bool queued_ = false, exited_ = false;
    int stalled_ = 0, extraF2_ = -1, ledgerHand_ = 0;
    std::array<int, 5> ledger_{};

    bool Chance(int percent) { return int(rng_() % 1000) < 10 * percent; }
    bool PerMille(int n) { return int(rng_() % 1000) < n; }
    int Pick(int n) { return int(rng_() % unsigned(n)); }

    void Boot() {
        FreshState(dir_, 0.0);
        ExitHook = [this] { exited_ = true; };
        exited_ = false;
        TableForm().Form_Load();
        // Painting the table is most of the cost of a game here: the game goes on unseen.
        TableForm().hide();
    }

    void Fail(const QString& why) {
        if (failure.isEmpty())
            failure = QStringLiteral("after %1 events in game %2, hand %3: %4")
                          .arg(events)
                          .arg(wholeGames + 1)
                          .arg(G.HandNumber)
                          .arg(why);
        Waits::BeginExit(); // every chain unwinds; nothing more is dealt
    }

    // What must hold at every moment, whatever was pressed.
    void Check() {
        if (Waits::ChainDepth() > 2) Fail(QStringLiteral("%1 chains on the stack").arg(Waits::ChainDepth()));
        if (Waits::PlayDepth() > 1) Fail(QStringLiteral("two chains of play"));
        if (Waits::MostWakes() > 20000) Fail(QStringLiteral("a wait keeps waking"));
        if (!TableExists() || Waits::Exiting()) return;
        const Table& t = TableForm();
        std::array<int, 6> held{};
        for (int c = 1; c <= 52; ++c) {
            const int h = G.Cards[c].Holder;
            if (h > 5) return Fail(QStringLiteral("card %1 held by %2").arg(c).arg(h));
            ++held[h];
            const int image = t.CardsPic[c]->Image();
            if (h >= 2 && h <= 4 && image >= 1 && image <= 52)
                Fail(QStringLiteral("a computer's card shows"));
        }
        if (held[5] > 4) Fail(QStringLiteral("%1 cards in one trick").arg(held[5]));
        if (!G.GameOn) return;
        const int tricks = G.TricksMade[1] + G.TricksMade[2] + G.TricksMade[3] + G.TricksMade[4];
        if (tricks > G.HandSize)
            Fail(QStringLiteral("%1 tricks in a hand of %2").arg(tricks).arg(G.HandSize));
        for (int s = 1; s <= 4; ++s) {
            // While the cards are dealt (no trumps yet) a hand fills up to its size.
            const bool dealing = G.Trumps == 0;
            if (dealing ? held[s] > G.CardsLeft[s] : held[s] != G.CardsLeft[s])
                Fail(QStringLiteral("seat %1 holds %2 cards, CardsLeft %3")
                         .arg(s)
                         .arg(held[s])
                         .arg(G.CardsLeft[s]));
            const int played = G.HandSize - G.CardsLeft[s] - tricks; // to the trick on the table
            if (!dealing && (played < 0 || played > 1))
                Fail(QStringLiteral("seat %1 played %2 cards to one trick").arg(s).arg(played));
        }
    }

    // At the hand-over notice every seat has gained its tricks, and 10 more for its exact bid.
    void CheckScores() {
        if (G.HandNumber == 1)
            ledger_ = {};
        else if (ledgerHand_ != G.HandNumber - 1)
            Fail(QStringLiteral("a hand was skipped"));
        int tricks = 0;
        for (int s = 1; s <= 4; ++s) {
            tricks += G.TricksMade[s];
            ledger_[s] += G.TricksMade[s] + (G.TricksMade[s] == G.Bids[s] ? 10 : 0);
            if (G.GameScore[s] != ledger_[s])
                Fail(QStringLiteral("seat %1 scored %2").arg(s).arg(G.GameScore[s]));
        }
        if (tricks != G.HandSize)
            Fail(QStringLiteral("%1 tricks made in a hand of %2").arg(tricks).arg(G.HandSize));
        ledgerHand_ = G.HandNumber;
    }

    // The player can act: a dialog waits for an answer, Carry On or a card is awaited, or a
    // new game can be started.
    bool PlayerCanAct(QWidget* modal) const {
        return modal || CarryOnShown() || (Waits::ChainDepth() == 0 && (G.Turn == 1 || !G.GameOn));
    }

    void Tick() {
        if (queued_) return;
        Check();
        if (!failure.isEmpty()) return;
        if (exited_) {
            if (Waits::ChainDepth() == 0) Boot();
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        stalled_ = PlayerCanAct(modal) ? 0 : stalled_ + 1;
        if (stalled_ > 5000) return Fail(QStringLiteral("no way for the player to act"));
        std::function<void()> act;
        if (extraF2_ >= 0 && extraF2_-- == 0) // the player pressing F2 twice or three times
            act = [this] { NewGame(); };
        else if (PerMille(6))
            act = StrayEvent();
        else if (modal && Chance(40))
            act = [this, modal = QPointer<QWidget>(modal)] { Answer(modal); };
        else if (CarryOnShown() && Chance(40))
            act = [] { TableForm().BtnContinue->click(); };
        else if (Waits::ChainDepth() == 0 && G.Turn == 1 && Chance(40))
            act = [this] { ClickCard(Chance(80) ? ChooseComputerCard(1) : 1 + Pick(52)); };
        else if (Waits::ChainDepth() == 0 && !G.GameOn && !modal)
            act = [this] { NewGame(); };
        if (!act) return;
        queued_ = true;
        // From a timer of its own, so that this one keeps ticking inside the waits it starts.
        QTimer::singleShot(0, this, [this, act] {
            queued_ = false;
            if (exited_ || !failure.isEmpty() || !TableExists()) return;
            ++events;
            act();
        });
    }

    void NewGame() {
        if (Chance(50)) extraF2_ = Pick(6);
        TableForm().MNuNew->trigger();
    }

    void ClickCard(int card) {
        if (card >= 1 && card <= 52)
            QTest::mouseClick(TableForm().CardsPic[card], Qt::LeftButton, {}, QPoint(5, 5));
    }

    std::function<void()> StrayEvent() {
        Table& t = TableForm();
        switch (Pick(9)) {
        case 0:
            return [this] { NewGame(); };
        case 1:
            return [&t] { t.MnuExit->trigger(); };
        case 2:
            return [&t] { t.close(); };
        case 3:
            return [&t] { t.MnuVTHelp->trigger(); };
        case 4:
            return [&t] { t.MnuWon->trigger(); };
        case 5:
            return [&t] { t.MnuChangeName->trigger(); };
        case 6:
            return [&t] { t.MnuDelete->trigger(); };
        case 7:
            return [&t] { CarryOnShown() ? t.BtnContinue->click() : void(); };
        default:
            return [this] { ClickCard(1 + Pick(52)); };
        }
    }

    // Answers mostly carry on with the game; giving it up is rare, so that most games end.
    void Answer(QWidget* w) {
        if (!w || !w->isVisible()) return;
        if (auto* d = qobject_cast<MFormDeluxe*>(w)) {
            const QString title = d->Label3->text().trimmed();
            if (title == QLatin1String("Hand Over")) CheckScores();
            int button = 0;
            if (title == QLatin1String("New Game?") || title == QLatin1String("Really Exit?"))
                button = Chance(3) ? 0 : 1;
            else if (title == QLatin1String("Game Over"))
                button = Chance(4) ? 1 : 0;
            else if (d->Pic1[1]->isVisible())
                button = Pick(d->Pic1[2]->isVisible() ? 3 : 2);
            if (title == QLatin1String("Game Over")) {
                ++wholeGames;
                if (button == 0 && Chance(50)) extraF2_ = Pick(6);
            }
            QTest::mouseClick(d->Label1[button], Qt::LeftButton);
        } else if (auto* b = qobject_cast<FrmBid*>(w)) {
            static const char* const bad[] = {"", "14", "99", "0013", "123456789"};
            b->TxtBid->setText(Chance(85) ? QString::number(Pick(14)) : QString::fromLatin1(bad[Pick(5)]));
            QTest::mouseClick(b->CmdBid, Qt::LeftButton);
        } else if (auto* m = qobject_cast<QMessageBox*>(w)) {
            const bool yes = Chance(m->objectName() == QLatin1String("ShutDownQuestion") ? 3 : 50);
            QAbstractButton* button = m->button(yes ? QMessageBox::Ok : QMessageBox::Cancel);
            if (!button) button = m->button(yes ? QMessageBox::Yes : QMessageBox::No);
            if (button) QTest::mouseClick(button, Qt::LeftButton);
        } else if (auto* in = qobject_cast<QInputDialog*>(w)) {
            static const char* const names[] = {"Ann", "<img src=/dev/zero>", "<h1>Big</h1>", "\"Quoted\"",
                                                ""};
            in->setTextValue(Chance(20) ? QString(200, QLatin1Char('x'))
                                        : QString::fromLatin1(names[Pick(5)]));
            Chance(80) ? in->accept() : in->reject();
        }
    }
};

} // namespace

class TestMonkey : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

  private slots:
    void wholeGamesWithRandomEvents() {
        bool given = false;
        const quint32 seed = qgetenv("VANTRICK_MONKEY_SEED").toUInt(&given);
        const quint32 used = given ? seed : QRandomGenerator::global()->generate();
#ifdef __SANITIZE_ADDRESS__
        const int usual = 50; // a slower build: kept short on a busy machine
#else
        const int usual = 200;
#endif
        const int games = qEnvironmentVariableIsSet("VANTRICK_MONKEY_GAMES")
                              ? qEnvironmentVariableIntValue("VANTRICK_MONKEY_GAMES")
                              : usual;
        Monkey monkey(used, dir.path());
        while (monkey.wholeGames < games && monkey.failure.isEmpty())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QVERIFY(WaitFor([] { return Waits::ChainDepth() == 0; }));
        QVERIFY2(monkey.failure.isEmpty(),
                 qPrintable(monkey.failure + QStringLiteral(" (VANTRICK_MONKEY_SEED=%1)").arg(used)));
        // Not through qInfo: the platform's warnings may have used up the test's message budget.
        std::printf("%d whole games, %d events (VANTRICK_MONKEY_SEED=%u)\n", monkey.wholeGames, monkey.events,
                    used);
    }
};

QTEST_MAIN(TestMonkey)
#include "tst_monkey.moc"
