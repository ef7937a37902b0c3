#include "frmHelp.h"

#include "Fonts.h"
#include "Twips.h"

#include <QGuiApplication>
#include <QScreen>

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPointer>
#include <algorithm>

namespace {

struct HelpSection {
    const char* heading;
    int indent; // blanks before the heading, so that it stands roughly in the middle
    QStringList body;
};

// The lines are broken here, once, at no more than 142 characters: the window prints them
// as they stand and sizes itself to the widest.
const HelpSection kSections[] = {
    {"Introduction",
     55,
     {" This trick-taking game travels under a good many names and is played in a good many countries. "
      "Whatever "
      "it is called, it is a great game."}},
    {"Players",
     57,
     {" Four players take part, each one playing for himself. At this table you sit down with three computer "
      "opponents: Professor Quimby, the",
      " beautiful Marigold and Lady Tabitha. Between them they will give you a good game."}},
    {"The Cards",
     56,
     {" The game uses an ordinary pack of 52 cards. In every suit the cards rank from the highest to the "
      "lowest: "
      "A K Q J 10 9 8 7 6 5 4 3 2."}},
    {"Playing the Game",
     54,
     {" A game is made up of a series of hands. In the first hand each player receives 10 cards, in the next "
      "9, "
      "and so on down through 8, 7,",
      " 6, 5, 4, 3 and 2 to a single card; after that the hands grow again through 2, 3, 4, 5, 6, 7, 8 and 9 "
      "back "
      "to 10 cards. A whole game",
      " usually lasts between 20 and 30 minutes."}},
    {"Object of the Game",
     54,
     {" In every hand each player names the number of tricks he expects to win, and then tries to win "
      "exactly "
      "that number, no more and no",
      " fewer (see Scoring)."}},
    {"The Deal",
     57,
     {" The cards are shuffled and cut, and the dealer of the first hand is picked at random. The cards are "
      "dealt "
      "one at a time until every",
      " player holds the number of cards for that hand. The next card of the pack is then turned face up: "
      "its suit "
      "is trumps for the hand, and",
      " a trump beats any card of the other three suits. The cards that were not dealt stay face down beside "
      "the "
      "turned-up trump."}},
    {"Bidding",
     57,
     {" The bidding begins with the player on the dealer's left and goes round clockwise to the dealer, who "
      "bids "
      "last. A bid is a number of tricks.",
      " Every player must bid, and a bid of zero is allowed. A computer dealer, however, may not make a bid "
      "that "
      "would bring the total of all the",
      " bids to the number of tricks there are to be won in the hand; you may, when you deal."}},
    {"The Play",
     57,
     {" The dealer leads to the first trick and may lead any suit. Play goes round clockwise. Each player "
      "must "
      "follow the suit that was led if he",
      " can; if he cannot, he may play any card he likes, a trump included. The highest trump played wins "
      "the "
      "trick; when no trump has been played,",
      " the highest card of the suit led wins it. The winner of each trick leads to the next, until all the "
      "tricks have been played."}},
    {"Scoring",
     57,
     {" A player scores 1 point for every trick he wins, and a bonus of 10 points when he wins exactly the "
      "number "
      "of tricks he bid. With a bid",
      " of 2, for instance, 2 tricks score 12 points, while 1 trick scores only 1 point and 3 tricks only 3. "
      "So "
      "even a player whose bid has",
      " already failed has good reason to go on winning tricks and spoil the bids of the others."}},
    {"Playing on this computer",
     54,
     {" F2 deals a new game. When your bid is asked for, type it and press Bid. Play a card by clicking it, "
      "or "
      "choose it with Left, Right, Home or",
      " End and play it with Return or Space. Press Carry On after each trick. F4 shows the games won.",
      " H gives a hint from the strongest player, the expert: in the bid box it fills in its bid and says in",
      " how many of 10 ways the unseen cards may lie it is made; on your turn it marks the card that makes",
      " your bid in the most ways, and names it below with its share and the next best card's. You still",
      " bid and play yourself. Play, Opponents chooses how the Prof, Marigold and the Lady bid and play:",
      " Classic by the old rules, Sharp by looking ahead at the ways the unseen cards may lie, Expert by",
      " looking further and playing for the game, all from nothing but what they could see at a real",
      " table. The choice is kept from game to game.",
      " Hint can be chosen only on your turn to play. L, or Play, Last Trick, shows the last trick taken, "
      "who",
      " played each card and who won it, until the next key, click or Escape. F3, or Game Statistics, Score",
      " Sheet, lays a sheet of every hand's bids, tricks and points over the table; F3 or Escape puts it "
      "away.",
      " Play, Quick Play shortens every pause; Carry On by Itself goes on after a short look at each trick;",
      " Show Playable Cards darkens the cards you may not play. These choices are kept from game to game.",
      " The seat to bid or play has its name dark on light yellow, a light line runs over your hand on your",
      " turn, and a small D disc sits beside the dealer's name. A game you leave unfinished is kept, and at",
      " the next start you are asked whether to carry on with it."}},
    {"Take Back and History",
     54,
     {" Ctrl+Z, or Play, Take Back, on your turn to play takes back your last card, or your bid if you have",
      " played no card since; the others then play as before, so the same card gives the same game. F5, or",
      " Game Statistics, History, shows your record over every finished game and a chart of a game's",
      " running totals: the game under way, or one chosen from the list. Escape closes it."}},
    {"Sound",
     54,
     {" Play, Sound (on by default) turned off makes the game quiet: no sound and no beep. It is kept too."}},
    {"Suit Colours and Look Time",
     44,
     {" Play, Four-Colour Suits draws hearts red, diamonds blue, clubs green and spades black, to tell the "
      "four suits apart at a glance.",
      " Play, Look Time sets how long Carry On by Itself shows a finished trick: Standard is 1.5 seconds, "
      "0.8 with Quick Play; a time of",
      " your own, from 1 to 5 seconds, holds with Quick Play too, as the look is for reading the trick. Both "
      "choices are kept too."}},
    {"Screen readers",
     52,
     {" S (status) says how the hand stands: whose turn it is, the trick so far, each player's bid and "
      "tricks",
      " and the scores, in one line of the messages. S is a key no desktop or screen reader takes for "
      "itself.",
      " A screen reader such as Orca speaks each new message, the hints, the last trick and the hand's "
      "result."}},
};

// Room around the printed text and below it for the Close button, in multiples of the
// font's own measures so that it scales with the font.
int TextLeft(const QFontMetrics& fm) {
    return fm.averageCharWidth() * 2;
}
int TextTop(const QFontMetrics& fm) {
    return fm.lineSpacing();
}

} // namespace

QStringList HelpLines() {
    static const QStringList lines = [] {
        QStringList out;
        for (const HelpSection& s : kSections) {
            if (!out.isEmpty()) out << QString();
            out << QString(s.indent, QLatin1Char(' ')) + QLatin1String(s.heading) << QString();
            out << s.body;
        }
        return out;
    }();
    return lines;
}

frmHelp::frmHelp() {
    setWindowTitle(QStringLiteral("Vantrick Rules - adapted from the traditional rules of the game"));
    // The text is painted, so a screen reader gets it from the window's description.
    setAccessibleName(QStringLiteral("Vantrick Help"));
    setAccessibleDescription(HelpLines().join(QLatin1Char('\n')));
    // Help must not keep the program alive once the table has gone.
    setAttribute(Qt::WA_QuitOnClose, false);

    textFont_ = DesignFont(Face::Verdana, 9);
    setFont(textFont_);

    btnClose = new QPushButton(QStringLiteral("&Close"), this);
    buttonFont_ = DesignFont(Face::TimesNewRoman, 10.5);
    btnClose->setFont(buttonFont_);
    connect(btnClose, &QPushButton::clicked, this, &frmHelp::btnClose_Click);

    SizeToText();
}

void frmHelp::SizeToText() {
    const QFontMetrics fm(font());
    const QStringList lines = HelpLines();
    int widest = 0;
    for (const QString& line : lines)
        widest = std::max(widest, fm.horizontalAdvance(line));

    const QSize button = btnClose->sizeHint().expandedTo(QSize(fm.averageCharWidth() * 12, 0));
    const int textBottom = TextTop(fm) + static_cast<int>(lines.size()) * fm.lineSpacing();
    const int w = TextLeft(fm) * 2 + widest;
    const int h = textBottom + fm.lineSpacing() + button.height() + fm.lineSpacing();

    btnClose->setGeometry((w - button.width()) / 2, textBottom + fm.lineSpacing(), button.width(),
                          button.height());
    setFixedSize(w, h);
}

void frmHelp::FollowZoom() {
    auto zoomTo = [this](double zoom) {
        btnClose->setFont(ZoomedFont(buttonFont_, zoom));
        setFont(ZoomedFont(textFont_, zoom)); // sizes the window to the text
    };
    zoomTo(Zoom::Factor());
    QScreen* screen = this->screen();
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    const QSize frame = frameGeometry().size() - size();
    const QSize outer = size() + frame;
    if (outer.width() > room.width() || outer.height() > room.height()) {
        // The text grows with its font, the frame does not; a second try takes up any rounding.
        double zoom = Zoom::Factor() * std::min(double(room.width() - frame.width()) / width(),
                                                double(room.height() - frame.height()) / height());
        for (int tries = 0; tries < 4; ++tries) {
            zoomTo(zoom);
            if (width() + frame.width() <= room.width() && height() + frame.height() <= room.height()) break;
            zoom *= 0.97;
        }
    }
    move(KeptInside(frameGeometry(), room).topLeft());
}

void frmHelp::changeEvent(QEvent* e) {
    if (e->type() == QEvent::FontChange && btnClose) SizeToText();
    QWidget::changeEvent(e);
}

void frmHelp::paintEvent(QPaintEvent*) {
    // The toolkit has already cleared the exposed part of the surface; print everything
    // again from the top, one line below the other.
    QPainter p(this);
    p.setFont(font());
    p.setPen(palette().color(QPalette::WindowText));
    const QFontMetrics fm(font());
    const int x = TextLeft(fm);
    int y = TextTop(fm);
    for (const QString& line : HelpLines()) {
        p.drawText(x, y + fm.ascent(), line);
        y += fm.lineSpacing();
    }
}

void frmHelp::btnClose_Click() {
    hide();
}

frmHelp& HelpForm() {
    static QPointer<frmHelp> form;
    if (!form) {
        form = new frmHelp();
        // Kept until the program ends; taken down before the application object goes.
        qAddPostRoutine([] { delete form.data(); });
    }
    return *form;
}

namespace {
bool helpMade = false;
} // namespace

void HelpFollowZoom() {
    if (helpMade) HelpForm().FollowZoom();
}

void ShowHelp() {
    frmHelp& f = HelpForm();
    helpMade = true;
    f.FollowZoom();
    static bool placed = false;
    if (!placed) {
        // The first time, in the middle of the screen (its top edge on the screen, where it
        // is taller); afterwards wherever the player left it.
        placed = true;
        if (QScreen* screen = QGuiApplication::primaryScreen()) {
            const QRect available = screen->availableGeometry();
            QRect frame = f.frameGeometry();
            frame.moveCenter(available.center());
            if (frame.top() < available.top()) frame.moveTop(available.top());
            f.move(frame.topLeft());
        }
    }
    f.show();
    f.raise();
    f.activateWindow();
}
