// The Play menu's choices: kept between runs whatever the settings file holds, changing only
// what they say (the same seeded games card for card), the cards that may not be played dimmed
// and named on every turn, and the trick that carries on by itself.
#include "TestSupport.h"

#include "Deal.h"
#include "History.h"
#include "Opponents.h"
#include "Pacing.h"
#include "Pauses.h"
#include "Playable.h"

#include <QMenu>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <sys/stat.h>

using namespace TestSupport;
using Choices = Options::Choices;

namespace {

const Choices AllOn{true, true, true};

// What the settings file is, what reading it gives and whether a choice can be kept in it.
enum class Kind { Missing, Bytes, Directory, Fifo, Link };
// clang-format off
const std::tuple<const char*, Kind, QByteArray, Choices, bool> kFiles[] = {
    {"missing", Kind::Missing, {}, {}, true},
    {"as written", Kind::Bytes, "[Play]\nQuickPlay=true\nCarryOnByItself=false\nShowPlayableCards=true\n", {true, false, true}, true},
    {"garbage", Kind::Bytes, QByteArray("\x00\xff[Play\n=\n\x7f@Variant(", 20) + QByteArray(3000, '\xee'), {}, true},
    {"other words and types", Kind::Bytes, "[Play]\nQuickPlay=yes\nCarryOnByItself=1\nShowPlayableCards=@Variant(\\0\\0\\0\\x7f\\0\\0\\0\\x5QRect)\n", {}, true},
    {"huge, however true", Kind::Bytes, QByteArray("[Play]\nQuickPlay=true\n").repeated(40000), {}, false},
    {"a directory", Kind::Directory, {}, {}, false},
    {"a FIFO", Kind::Fifo, {}, {}, false},
    {"a link to another file", Kind::Link, "[Play]\nQuickPlay=true\n", {true, false, false}, true},
    {"the old sharp tick", Kind::Bytes, "[Play]\nSharpOpponents=true\n", {false, false, false, Sharp::Level::Sharp}, true},
    {"opponents by name", Kind::Bytes, "[Play]\nOpponents=Expert\nSharpOpponents=true\n", {false, false, false, Sharp::Level::Expert}, true},
    {"no such opponents", Kind::Bytes, "[Play]\nOpponents=Master\nSharpOpponents=false\n", {}, true},
};
// clang-format on

// The player's side of whole games through the real table: bids 1, plays the computer's
// choice for seat 1, presses Carry On only when the game does not carry on by itself, and
// checks the hand's dimming and names against the follow-suit rule on every turn.
struct Player : QObject {
    QStringList record; // every hand's message list and scores, at its "Hand Over"
    int presses = 0, dimmedTurns = 0, clicks = 0, takenBack = 0;
    bool takeBack = false; // Take Back before every fourth card, then the same card again
    QString fault;
    bool over = false;

    Player() {
        connect(&tick_, &QTimer::timeout, this, [this] { Tick(); });
        tick_.start(0);
        Waits::ModalHook = [this](QWidget* w) { Answer(w); };
    }

  private:
    QTimer tick_;

    void Answer(QWidget* w) {
        // Take Back is refused while a question or the bid dialog is open, however it is asked.
        const int before = G.TakeBacksUsed;
        TableForm().MnuTakeBack->setEnabled(true);
        TableForm().MnuTakeBack->trigger();
        if (G.TakeBacksUsed != before) fault = QStringLiteral("taken back under a question");
        if (auto* b = qobject_cast<FrmBid*>(w)) {
            b->TxtBid->setText("1");
            return QTest::mouseClick(b->CmdBid, Qt::LeftButton);
        }
        auto* d = qobject_cast<MFormDeluxe*>(w);
        if (!d) return;
        const QString title = d->Label3->text().trimmed();
        if (title == "Hand Over") {
            QStringList scores;
            for (int s = 1; s <= 4; ++s)
                scores << QString::number(G.GameScore[s]);
            record << ListLines().join('|') + " = " + scores.join(',');
        }
        over |= title == "Game Over";
        QTest::mouseClick(d->Label1[title == "Game Over" ? 1 : 0], Qt::LeftButton); // Exit at the end
    }

    // A timer's slot is not run again while it runs: what starts a chain of play is done from a
    // timer of its own, so that the ticks go on inside the chain's waits.
    void Tick() {
        if (queued_) return;
        Table& t = TableForm();
        if (!t.BtnContinue->isHidden() && !Options::Current().carryOnByItself) {
            ++presses;
            return Queue([&t] { t.BtnContinue->click(); });
        }
        if (G.Turn != 1 || Waits::ChainDepth() != 0 || over) return;
        // The rule as the player reads it: a card of the suit led, when the hand holds one.
        const int led = G.TrickSeat1 == 1 ? 0 : CardSuit(G.TrickCard1);
        bool holdsLed = false, dimmed = false;
        const QList<CardPic*> hand = t.PlayerHandPics();
        for (CardPic* pic : hand)
            holdsLed |= CardSuit(pic->Index()) == led;
        for (CardPic* pic : hand) {
            const bool shown = Options::Current().showPlayable && holdsLed && CardSuit(pic->Index()) != led;
            dimmed |= shown;
            const QString name = AccName(pic);
            if (name != G.Cards[pic->Index()].FullName + (shown ? ", not playable" : "") && fault.isEmpty())
                fault = QStringLiteral("hand %1: %2").arg(G.HandNumber).arg(name);
        }
        dimmedTurns += dimmed;
        if (takeBack && clicks % 4 == 3 && t.MnuTakeBack->isEnabled()) {
            ++clicks, ++takenBack;
            return Queue([&t] { t.MnuTakeBack->trigger(); });
        }
        ++clicks;
        Queue([&t] {
            QTest::mouseClick(t.CardsPic[ChooseComputerCard(G, 1)], Qt::LeftButton, {}, QPoint(5, 5));
        });
    }

    bool queued_ = false;
    void Queue(const std::function<void()>& act) {
        queued_ = true;
        QTimer::singleShot(0, this, [this, act] {
            queued_ = false;
            act();
        });
    }
};

// Plays the seeded game to its end with the choices in force; the player's record of it.
QStringList PlayGame(quint32 seed, Player& p) {
    SeedDeal(game, seed);
    QObject guard;
    QTimer::singleShot(900000, &guard, [] { Waits::BeginExit(); }); // fail rather than hang
    TableForm().MNuNew->trigger();
    TestSupport::WaitFor([&] { return p.over || Waits::Exiting(); }, 910000);
    return p.record;
}

double Lightness(QWidget* w) {
    const QImage img = w->grab().toImage();
    double sum = 0;
    for (int i = 0; i < img.width() * img.height(); ++i)
        sum += img.pixelColor(i % img.width(), i / img.width()).lightnessF();
    return sum / (img.width() * img.height());
}

} // namespace

class TestOptions : public QObject {
    Q_OBJECT
    QTemporaryDir dir;

  private slots:
    void init() {
        FreshState(dir.path(), 0.0);
        EmptyDir(dir.filePath("config"));
        MakeCards(G);
    }

    void settingsFile_data() { Rows(kFiles); }
    // Whatever is in the file's place, the start goes on with what can be read of it; a choice
    // is kept where the file can be written, and nothing else is touched.
    void settingsFile() {
        const auto& [name, kind, bytes, read, writable] = Row(kFiles);
        const QString path = Options::FilePath();
        QDir().mkpath(QFileInfo(path).path());
        if (kind == Kind::Bytes || kind == Kind::Link)
            WriteBytes(path + (kind == Kind::Link ? ".other" : ""), bytes);
        if (kind == Kind::Directory) QVERIFY(QDir().mkpath(path));
        if (kind == Kind::Link) QVERIFY(QFile::link(path + ".other", path));
        if (kind == Kind::Fifo) QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
        QCOMPARE(Options::Load(), read);
        Table& t = TableForm();
        t.Form_Load(); // the start-up
        QCOMPARE(Options::Current(), read);
        QAction* const levels[] = {t.MnuClassicOpponents, t.MnuSharpOpponents, t.MnuExpertOpponents};
        QCOMPARE((QList<bool>{t.MnuQuickPlay->isChecked(), t.MnuCarryOnByItself->isChecked(),
                              t.MnuShowPlayable->isChecked(), levels[int(read.opponents)]->isChecked()}),
                 (QList<bool>{read.quickPlay, read.carryOnByItself, read.showPlayable, true}));
        // Each item, chosen, is in force at once and kept; the opponents' levels exclude each other.
        for (QAction* a :
             {t.MnuQuickPlay, t.MnuCarryOnByItself, t.MnuShowPlayable, levels[(int(read.opponents) + 1) % 3]})
            if (!a->isChecked()) a->trigger();
        Choices on = AllOn;
        on.opponents = Sharp::Level((int(read.opponents) + 1) % 3);
        QCOMPARE(Options::Current(), on);
        QCOMPARE(std::ranges::count_if(levels, &QAction::isChecked), 1);
        QCOMPARE(Opponents::LevelOf(game, 3), on.opponents);
        QCOMPARE(Options::Load(), writable ? on : read);
        if (kind == Kind::Bytes && !writable) QCOMPARE(ReadBytes(path), bytes);
        if (kind == Kind::Link) QVERIFY(ReadBytes(path + ".other") == bytes && !QFileInfo(path).isSymLink());
        t.MnuQuickPlay->trigger();
        on.quickPlay = false;
        QCOMPARE(Options::Load(), writable ? on : read);
        t.MnuClassicOpponents->trigger();
    }

    // Sound off is kept, and then the table asks the sound layer for nothing.
    void soundChoice() {
        Table& t = TableForm();
        t.Form_Load();
        QVERIFY(t.MnuSound->isChecked());
        t.PlaySound(SoundId::Riffle);
        QCOMPARE(Sound::LastRequested(), QStringLiteral("RIFFLE.wav"));
        t.MnuSound->trigger();
        QVERIFY(Options::Load().soundOff);
        t.PlaySound(SoundId::CardDown);
        QCOMPARE(Sound::LastRequested(), QStringLiteral("RIFFLE.wav"));
    }

    // The lengths the game asks for: a pause times Quick Play's factor; the look at a finished
    // trick standard for the pace, or the Look Time chosen, with either pace; each choice kept.
    void pauseAndLookLengths() {
        Table& t = TableForm();
        Waits::PaceScale = 1, G.PauseMs = Pacing::ComputerBid;
        // quick, carry on, Look Time item (0 Standard, 1..6 the times): pause, look
        // clang-format off
        for (const auto& [quick, carry, item, pause, look] : {std::tuple{false, false, 0, 750, -1}, {true, false, 3, 300, -1},
             {false, true, 0, 750, 1500}, {true, true, 0, 300, 800}, {true, true, 2, 300, 1500}, {false, true, 6, 750, 5000}}) {
            // clang-format on
            if (t.MnuQuickPlay->isChecked() != quick) t.MnuQuickPlay->trigger();
            if (t.MnuCarryOnByItself->isChecked() != carry) t.MnuCarryOnByItself->trigger();
            t.MnuLookTime->actions().at(item)->trigger();
            QCOMPARE(std::pair(PauseLengthNow(G.PauseMs), Options::TrickLookMs()),
                     std::pair(qint64(pause), qint64(look)));
            QCOMPARE(Options::Load(), Options::Current());
        }
        WriteBytes(Options::FilePath(), "[Play]\nLookTime=2500\n"); // not a time on offer: the standard look
        QCOMPARE(Options::Load().lookTimeMs, 0);
    }

    // The items sit between New Game and Exit, each with its own access key.
    void menuItems() {
        QStringList items;
        for (QAction* a : TableForm().MnuPlay->actions())
            items << (a->isSeparator() ? "-" : a->text() + (a->isCheckable() ? "[ ]" : ""));
        QCOMPARE(items, (QStringList{"&New Game", "&Hint", "&Take Back", "&Last Trick", "-", "&Quick Play[ ]",
                                     "&Carry On by Itself[ ]", "Show &Playable Cards[ ]", "&Opponents",
                                     "Soun&d[ ]", "&Four-Colour Suits[ ]", "Look T&ime", "-", "E&xit"}));
        items.clear();
        for (QAction* a : TableForm().MnuStats->actions())
            items << a->text() + a->shortcut().toString();
        QCOMPARE(items,
                 (QStringList{"Number Games &WonF4", "&Delete Statistics", "&Score SheetF3", "&HistoryF5"}));
        QVERIFY(TableForm().MnuTakeBack->shortcuts().contains(QKeySequence(QKeySequence::Undo)));
    }

    void sameGamesEachWay_data() {
        QTest::addColumn<int>("choices"); // bits: quick play, carry on by itself, show playable
        for (int c = 1; c < 9; ++c)
            QTest::newRow(qPrintable(QString::number(c))) << c;
    }
    // A seeded whole game comes out the same, card for card, trick for trick and point for
    // point, with any choices; the hand's dimming follows the follow-suit rule on every turn;
    // with Carry On by Itself no trick needs Carry On.
    void sameGamesEachWay() {
        QFETCH(int, choices);
        constexpr quint32 seed = 20261208;
        static QStringList classic;
        TableForm().hide(); // painting the table is most of a game's cost here
        if (classic.isEmpty()) {
            Player p;
            classic = PlayGame(seed, p);
            QVERIFY(p.fault.isEmpty() && p.presses > 100 && p.dimmedTurns == 0);
            init();
            TableForm().hide();
        }
        QCOMPARE(classic.size(), 19);
        Options::Current() = {bool(choices & 1), bool(choices & 2), bool(choices & 4)};
        Player p;
        p.takeBack = choices == 8; // the messages say what was taken back: the scores must agree
        const auto scores = [](QStringList r) { return r.replaceInStrings(QRegularExpression(".* = "), ""); };
        const QStringList record = PlayGame(seed, p);
        QCOMPARE(p.takeBack ? scores(record) : record, p.takeBack ? scores(classic) : classic);
        QVERIFY2(p.fault.isEmpty(), qPrintable(p.fault));
        QVERIFY(p.takenBack == G.TakeBacksUsed && p.takenBack >= 20 * p.takeBack);
        const QList<History::Game> h = History::Load(); // the game's line in the history
        QVERIFY(!h.isEmpty() && h.last().takeBacks == p.takenBack && h.last().totals.size() == 19 &&
                h.last().quickPlay == bool(choices & 1) && h.last().scores[3] == G.GameScore[4]);
        QCOMPARE(p.dimmedTurns > 10, Options::Current().showPlayable);
    }

    void dimmedAtEveryZoom_data() {
        QTest::addColumn<double>("zoom");
        QTest::newRow("1") << 1.0;
        QTest::newRow("2") << 2.0;
    }
    // A card that may not be played is clearly darker than itself playable, at every zoom; its
    // key still plays it, which gets the follow-suit notice as a click does.
    void dimmedAtEveryZoom() {
        QFETCH(double, zoom);
        DialogScript script;
        script.Install();
        Table& t = TableForm();
        t.show();
        QVERIFY(QTest::qWaitForWindowActive(&t));
        t.ApplyZoom(zoom);
        G.GameOn = true;
        for (const char* c : {"2H", "9H", "3S"})
            G.Cards[Card(c)].Holder = 1;
        G.TrickSeat1 = 4;
        G.TrickCard1 = static_cast<qint16>(Card("5H"));
        G.LedSuit = 3;
        G.Turn = 1;
        ShowPlayerHand(game);
        CardPic* spade = t.CardsPic[Card("3S")];
        t.HandTakesFocus();
        CardPic* heart = t.CardsPic[Card("9H")];
        const double playable = Lightness(spade), heartBefore = Lightness(heart);
        t.MnuShowPlayable->trigger();
        const double dimmed = Lightness(spade);
        QVERIFY2(dimmed < 0.6 * playable, qPrintable(QStringLiteral("%1 of %2").arg(dimmed).arg(playable)));
        QCOMPARE(Lightness(heart), heartBefore);
        QTest::keyClick(spade, Qt::Key_Space);
        QCOMPARE(script.titles, QStringList{"You have the suit"});
        QCOMPARE(G.Cards[Card("3S")].Holder, quint8(1));
        G.Turn = 4, t.ShowChoices(); // not the player's turn: nothing is dimmed
        QVERIFY(Lightness(spade) == playable && !AccName(spade).contains("not playable"));
        t.MnuShowPlayable->trigger(); // off again: the card as it was
        QCOMPARE(Lightness(spade), playable);
    }

    // The wait after a trick: a look and on by itself, or a press; a change of the choice during
    // the wait counts at once; New Game during the look gives the trick up with its game.
    void carryOn_data() {
        QTest::addColumn<bool>("on");        // Carry On by Itself when Carry On appears
        QTest::addColumn<QString>("during"); // "", "toggle", "press" or "abandon", once Carry On shows
        QTest::addColumn<double>("pace");    // the tests' shortening of the look
        // "goes on" by itself, "waits" for the test's press, or "abandoned"
        QTest::addColumn<QString>("ending");
        QTest::newRow("off: waits for the press") << false << "" << 0.01 << "waits";
        QTest::newRow("on: goes on after the look") << true << "" << 0.01 << "goes on";
        QTest::newRow("on: a press during the look goes on at once")
            << true << "press" << 1000.0 << "goes on";
        QTest::newRow("turned on while Carry On waits") << false << "toggle" << 0.01 << "goes on";
        QTest::newRow("turned off during the look") << true << "toggle" << 1000.0 << "waits";
        QTest::newRow("New Game during the look") << true << "abandon" << 1000.0 << "abandoned";
    }
    void carryOn() {
        QFETCH(bool, on);
        QFETCH(QString, during);
        QFETCH(double, pace);
        QFETCH(QString, ending);
        Table& t = TableForm();
        Options::Current().carryOnByItself = on;
        t.ShowChoices();
        Waits::PaceScale = pace;
        QString how = "abandoned";
        bool late = false;
        QObject guard;
        When([&] { return !t.BtnContinue->isHidden(); },
             [&] {
                 // Any look still under way ends at once: only a wait for the press waits on.
                 if (ending == "waits") Waits::PaceScale = 0, Waits::Notify();
                 if (during == "toggle") t.MnuCarryOnByItself->trigger();
                 if (during == "press") t.BtnContinue->click();
                 if (during == "abandon") Waits::AbandonChain();
                 QTimer::singleShot(ending == "waits" ? 0 : 60000, &guard, [&] {
                     late = true;
                     t.BtnContinue->click();
                 });
             });
        G.ContinueFlag = false;
        Waits::RunChain([&] {
            t.WaitCarryOn();
            how = late ? "waits" : "goes on";
        });
        QCOMPARE(how, ending);
        QCOMPARE(t.BtnContinue->isHidden(), ending != "abandoned");
    }
};

QTEST_MAIN(TestOptions)
#include "tst_options.moc"
