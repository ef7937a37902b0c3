// The Play menu's choices of pace, help and opponents (Options.h): their items, what a change
// does at once, and the dimming of the cards that may not be played.
#include "Opponents.h"
#include "Options.h"
#include "Pacing.h"
#include "Playable.h"
#include "Rules.h"
#include "Table.h"
#include "Waits.h"

#include <QAccessible>
#include <QActionGroup>
#include <QMenu>
#include <QSignalBlocker>

bool ShownNotPlayable(const GameState& G, int card) {
    return Options::Current().showPlayable && G.GameOn && G.Turn == 1 && card >= 1 && card <= 52 &&
           G.Cards[card].Holder == 1 && !IsLegalPlay(G, 1, card);
}

void RefreshPlayable(const QWidget* client, const GameState& G) {
    for (CardPic* pic : PlayerHandPics(client, G)) {
        pic->update();
        QAccessibleEvent named(pic, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&named);
    }
}

void Table::AddChoiceItems() {
    const auto item = [this](const QString& text, bool Options::Choices::*field) {
        QAction* a = MnuPlay->addAction(text);
        a->setCheckable(true);
        connect(a, &QAction::toggled, this, [this, field](bool on) {
            Options::Current().*field = on;
            Options::Save(Options::Current());
            ChoicesChanged();
        });
        return a;
    };
    MnuQuickPlay = item(QStringLiteral("&Quick Play"), &Options::Choices::quickPlay);
    MnuCarryOnByItself = item(QStringLiteral("&Carry On by Itself"), &Options::Choices::carryOnByItself);
    MnuShowPlayable = item(QStringLiteral("Show &Playable Cards"), &Options::Choices::showPlayable);
    // The opponents: one level of three, the classic rules the first.
    MnuOpponents = MnuPlay->addMenu(QStringLiteral("&Opponents"));
    auto* const levels = new QActionGroup(MnuOpponents);
    const auto level = [this, levels](const QString& text, Sharp::Level l) {
        QAction* a = MnuOpponents->addAction(text);
        a->setCheckable(true);
        levels->addAction(a);
        connect(a, &QAction::toggled, this, [this, l](bool on) {
            if (!on || Options::Current().opponents == l) return;
            Options::Current().opponents = l;
            Options::Save(Options::Current());
            ChoicesChanged();
        });
        return a;
    };
    MnuClassicOpponents = level(QStringLiteral("&Classic"), Sharp::Level::Classic);
    MnuSharpOpponents = level(QStringLiteral("&Sharp"), Sharp::Level::Sharp);
    MnuExpertOpponents = level(QStringLiteral("&Expert"), Sharp::Level::Expert);
    // --- Choices every player can make ---
    // Sound is shown ticked when on, while the kept choice is "off", so that a missing setting
    // keeps the sounds.
    MnuSound = MnuPlay->addAction(QStringLiteral("Soun&d"));
    MnuSound->setCheckable(true);
    connect(MnuSound, &QAction::toggled, this, [this](bool on) {
        Options::Current().soundOff = !on;
        Options::Save(Options::Current());
        ChoicesChanged();
    });
    MnuFourColour = item(QStringLiteral("&Four-Colour Suits"), &Options::Choices::fourColour);
    // Look Time: one of a few lengths, each a radio item naming its time, so that a screen
    // reader and the keyboard (arrows, or the number's key) choose as the mouse does.
    MnuLookTime = MnuPlay->addMenu(QStringLiteral("Look T&ime"));
    MnuLookTime->setAccessibleName(QStringLiteral("Look Time"));
    auto* looks = new QActionGroup(MnuLookTime);
    const auto look = [this, looks](const QString& text, int ms) {
        QAction* a = MnuLookTime->addAction(text);
        a->setCheckable(true);
        a->setData(ms);
        looks->addAction(a);
        connect(a, &QAction::toggled, this, [this, ms](bool on) {
            if (!on) return;
            Options::Current().lookTimeMs = ms;
            Options::Save(Options::Current());
            ChoicesChanged();
        });
    };
    look(QStringLiteral("&Standard: 1.5 seconds, 0.8 with Quick Play"), 0);
    for (const int ms : Pacing::LookTimes) {
        const QString time = QString::number(ms / 1000.0);
        // A whole number of seconds is its own key; 1.5, whose figures are taken, has the E.
        const QString unit = ms == 1000 ? QStringLiteral(" second") : QStringLiteral(" seconds");
        look(ms % 1000 ? time + QStringLiteral(" s&econds") : QLatin1Char('&') + time + unit, ms);
    }
    // --- end of choices every player can make ---
    ShowChoices();
}

void Table::ShowChoices() {
    const Options::Choices& c = Options::Current();
    const std::pair<QAction*, bool> items[] = {{MnuQuickPlay, c.quickPlay},
                                               {MnuCarryOnByItself, c.carryOnByItself},
                                               {MnuShowPlayable, c.showPlayable},
                                               {MnuSound, !c.soundOff},
                                               {MnuFourColour, c.fourColour}};
    for (const auto& [a, on] : items) {
        const QSignalBlocker quiet(a);
        a->setChecked(on);
    }
    for (QAction* a : MnuLookTime->actions()) {
        const QSignalBlocker quiet(a);
        a->setChecked(a->data().toInt() == c.lookTimeMs);
    }
    // The opponents' item is checked through its group, which unchecks the others; it keeps
    // nothing, being the level in force already.
    const std::array levels{MnuClassicOpponents, MnuSharpOpponents, MnuExpertOpponents};
    levels[size_t(c.opponents)]->setChecked(true);
    ChoicesChanged();
}

void Table::ChoicesChanged() {
    // A pause or the Carry On wait under way looks at its length again: a change takes
    // effect at once, not from the next pause or trick.
    Waits::Notify();
    RefreshPlayable(Client, G);
    // The cards on show are drawn again in the deck's colours of the moment (each deck's
    // images are drawn once and kept, so turning the choice back costs nothing).
    for (int i = 1; i <= 52; ++i)
        CardsPic[i]->update();
    Client->update();
    // The opponents' next bid or card is decided by the method chosen now.
    for (int seat = 2; seat <= 4; ++seat)
        Opponents::SetLevel(game, seat, Options::Current().opponents);
}
