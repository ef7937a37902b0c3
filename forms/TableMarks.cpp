#include "TableMarks.h"

#include "CardImages.h"
#include "Fonts.h"
#include "Game.h"
#include "GameState.h"
#include "HistoryWindow.h"
#include "Layout.h"
#include "ScoreSheet.h"
#include "Seats.h"
#include "Table.h"
#include "TableAccess.h"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <algorithm>

namespace {

const QColor DarkGreen(0, 64, 0), LightYellow(255, 255, 128), Olive(192, 192, 0), Brown(128, 64, 0);

QString Spoken(int seat) {
    return Seats::IsSeat(seat) ? QString::fromLatin1(Seats::Table[seat].spoken) : QString();
}

QLabel* NameLabel(const Table& t, int seat) {
    const std::array<QLabel*, 5> names{nullptr, t.lblPlayer, t.lblProf, t.LblMarigold, t.lblTabitha};
    return names[seat];
}

// The dealer's disc: the Carry On button's olive with a dark "D", as large as a line of text.
class DealerDisc : public QLabel {
  public:
    using QLabel::QLabel;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75);
        p.setPen(QPen(LightYellow, 1.5));
        p.setBrush(Olive);
        p.drawEllipse(r);
        p.setPen(Qt::black);
        p.setFont(font());
        p.drawText(r, Qt::AlignCenter, QStringLiteral("D"));
    }
};

// A light line over the player's hand while it is the player's turn.
class HandLine : public QWidget {
  public:
    using QWidget::QWidget;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(LightYellow);
        p.drawRoundedRect(QRectF(rect()), height() / 2.0, height() / 2.0);
    }
};

// The last trick drawn over the playing area: the four cards where they lay, each with who
// played it, the winner's card framed, and the winner named.
class LastTrickView : public QWidget {
  public:
    // The playing area and the trick's lowest card, which reaches below it.
    static constexpr int Left = 2760, Top = 2400, Width = 5280, Height = 3720;
    LastTrickView(QWidget* parent, const Game& game) : QWidget(parent), game_(game) {}

    QString Description() const {
        const GameRecord::Trick& t = game_.sheet.last;
        QStringList played;
        for (int i = 0; i < 4; ++i)
            if (Seats::IsSeat(t.seats[i]) && t.cards[i] >= 1 && t.cards[i] <= 52)
                played << Spoken(t.seats[i]) + QStringLiteral(" played ") +
                              game_.G.Cards[t.cards[i]].FullName;
        return QStringLiteral("Last trick: ") + played.join(QStringLiteral(", ")) +
               QStringLiteral("; won by ") + Spoken(t.winner);
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        const GameRecord::Trick& t = game_.sheet.last;
        const double zoom = Zoom::Factor();
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), DarkGreen);
        const qreal pen = 4 * zoom, radius = 24 * zoom;
        p.setPen(QPen(Brown, pen));
        p.setBrush(QColor(0, 128, 0));
        p.drawRoundedRect(QRectF(0, 0, Px(5280), Px(3645)).adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2),
                          radius, radius);
        p.setFont(font());
        p.setPen(LightYellow);
        p.drawText(QRect(Px(240), Px(150), Px(2400), Px(600)), Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("Last trick\nwon by ") + Spoken(t.winner));
        for (int i = 0; i < 4; ++i) {
            const int seat = t.seats[i], card = t.cards[i];
            if (!Seats::IsSeat(seat) || card < 1 || card > 52) continue;
            const Layout::Spot at = Layout::Seats[seat].trick;
            const QPoint topLeft(Px(at.left - Left), Px(at.top - Top));
            const QPixmap& face = CardImages::Image(card, devicePixelRatioF(), zoom);
            p.drawPixmap(topLeft, face);
            const QRect cardRect(topLeft, face.deviceIndependentSize().toSize());
            if (seat == t.winner) {
                p.setPen(QPen(LightYellow, 3 * zoom));
                p.setBrush(Qt::NoBrush);
                p.drawRoundedRect(QRectF(cardRect).adjusted(-2 * zoom, -2 * zoom, 2 * zoom, 2 * zoom),
                                  4 * zoom, 4 * zoom);
            }
            // Who played it: beside the card, towards the middle for the side seats.
            p.setPen(LightYellow);
            const int line = p.fontMetrics().height();
            QRect name;
            if (seat == 1 || seat == 3)
                name = QRect(cardRect.right() + Px(90), cardRect.center().y() - line / 2, Px(1300), line);
            else
                name = QRect(cardRect.left(), cardRect.bottom() + Px(45), cardRect.width() + Px(600), line);
            p.drawText(name, Qt::AlignLeft | Qt::AlignVCenter, Spoken(seat));
        }
    }

  private:
    const Game& game_;
};

} // namespace

TableMarks::TableMarks(Table* table) : QObject(table), table_(table) {
    QWidget* client = table->Client;
    BidsLine = new QLabel(client);
    BidsLine->setObjectName(QStringLiteral("BidsLine"));
    BidsLine->setTextFormat(Qt::PlainText);
    BidsLine->setFont(DesignFont(Face::Verdana, 8.25, Bold));
    BidsLine->setProperty("autoSize", true);
    BidsLine->setGeometry(PxRect(9660, 2460, 0, 255));
    QPalette bp = BidsLine->palette();
    bp.setColor(QPalette::WindowText, QColor(255, 255, 192));
    BidsLine->setPalette(bp);
    BidsLine->hide();
    controls_.Capture(BidsLine);

    DealerMark = new DealerDisc(client);
    DealerMark->setObjectName(QStringLiteral("DealerMark"));
    DealerMark->setFont(DesignFont(Face::Verdana, 7.5, Bold));
    DealerMark->hide();
    controls_.Capture(DealerMark);

    HandMark = new HandLine(client);
    HandMark->setObjectName(QStringLiteral("HandMark"));
    HandMark->setAccessibleName(QStringLiteral("Your turn to play"));
    HandMark->setGeometry(0, 0, 0, 0); // placed over the hand when it shows
    HandMark->hide();

    LastTrick = new LastTrickView(client, table->game);
    LastTrick->setObjectName(QStringLiteral("LastTrick"));
    LastTrick->setFont(DesignFont(Face::Verdana, 9, Bold));
    LastTrick->hide();
    controls_.Capture(LastTrick);

    // Beside Hint, above the choices: both look at the game without changing it.
    MnuLastTrick = new QAction(QStringLiteral("&Last Trick"), table->MnuPlay);
    const QList<QAction*> play = table->MnuPlay->actions();
    const auto separator =
        std::find_if(play.begin(), play.end(), [](QAction* a) { return a->isSeparator(); });
    table->MnuPlay->insertAction(separator == play.end() ? nullptr : *separator, MnuLastTrick);
    MnuLastTrick->setShortcut(QKeySequence(Qt::Key_L));
    connect(MnuLastTrick, &QAction::triggered, this, [this] { ShowLastTrick(); });
    // S (for status) tells how the hand stands, in the messages and so to a screen reader. No
    // menu item: the table shows all of it already.
    auto* status = new QAction(table);
    status->setShortcut(QKeySequence(Qt::Key_S));
    table->addAction(status);
    connect(status, &QAction::triggered, this, [this] { table_->ShowInfo(TableStatus(table_->game)); });
    MnuScoreSheet = table->MnuStats->addAction(QStringLiteral("&Score Sheet"));
    MnuScoreSheet->setShortcut(QKeySequence(Qt::Key_F3));
    MnuScoreSheet->setShortcutContext(Qt::ApplicationShortcut);
    connect(MnuScoreSheet, &QAction::triggered, this, [this] { ToggleScoreSheet(table_->Panels()); });
    MnuHistory = table->MnuStats->addAction(QStringLiteral("&History"));
    MnuHistory->setShortcut(QKeySequence(Qt::Key_F5));
    MnuHistory->setShortcutContext(Qt::ApplicationShortcut);
    connect(MnuHistory, &QAction::triggered, this, [this] { ToggleHistory(table_->Panels()); });

    qApp->installEventFilter(this);
    Place();
    Refresh();
}

void TableMarks::Place() {
    controls_.ApplyFonts();
    BidsLine->move(Px(9660), Px(2460));
    Table::AutoSize(BidsLine);
    const int disc = Px(240);
    DealerMark->resize(disc, disc);
    LastTrick->setGeometry(
        PxRect(LastTrickView::Left, LastTrickView::Top, LastTrickView::Width, LastTrickView::Height));
    Refresh();
}

void TableMarks::Refresh() {
    const Table& t = *table_;
    const Game& game = t.game;
    const GameState& G = game.G;
    const int toAct = GameRecord::SeatToAct(game);
    for (int seat = 1; seat <= 4; ++seat) {
        QLabel* name = NameLabel(t, seat);
        const bool marked = seat == toAct;
        if (name->property("turnMarked").toBool() != marked) {
            // The label's own colours, the other way round: light on the table's green becomes
            // the table's green on light.
            QPalette p = name->palette();
            const QColor back = p.color(QPalette::Window), text = p.color(QPalette::WindowText);
            p.setColor(QPalette::Window, text);
            p.setColor(QPalette::WindowText, back);
            name->setPalette(p);
            name->setProperty("turnMarked", marked);
        }
        // Named as everywhere else a screen reader meets the seat, whatever the label shows.
        const bool bidding = table_->game.sheet.bidder != 0;
        name->setAccessibleName(
            Spoken(seat) +
            (marked ? (bidding ? QStringLiteral(", to bid") : QStringLiteral(", to play")) : QString()));
    }

    // The dealer's disc beside the name: left of it below and across, by the portrait at the
    // sides, where nothing else lies.
    const bool dealing = G.GameOn && Seats::IsSeat(G.Dealer);
    if (dealing) {
        const QRect name = NameLabel(t, G.Dealer)->geometry();
        const int gap = Px(60), d = DealerMark->width();
        QPoint at;
        if (G.Dealer == 1 || G.Dealer == 3)
            at = {name.left() - gap - d, name.center().y() - d / 2};
        else if (G.Dealer == 2)
            at = {t.ImgProf->geometry().right() + gap, name.top() - gap - d};
        else
            at = {t.ImgComps0->geometry().left() - gap - d, name.top() - gap - d};
        DealerMark->move(at);
        DealerMark->setAccessibleName(QStringLiteral("Dealer: ") + Spoken(G.Dealer));
        DealerMark->raise();
    }
    DealerMark->setVisible(dealing);

    const bool bids = G.GameOn && GameRecord::AnyBid(game);
    if (bids) {
        SetCaption(BidsLine,
                   QStringLiteral("Bids: %1 of %2").arg(GameRecord::BidTotal(game)).arg(G.HandSize));
        BidsLine->setAccessibleName(BidsLine->text());
    }
    BidsLine->setVisible(bids);

    const QList<CardPic*> hand = t.PlayerHandPics();
    const bool playing = toAct == 1 && table_->game.sheet.bidder == 0 && !hand.isEmpty();
    if (playing) {
        const QRect first = hand.first()->geometry(), last = hand.last()->geometry();
        const int h = std::max(2, Px(45));
        HandMark->setGeometry(first.left(), first.top() - Px(75) - h, last.right() - first.left() + 1, h);
    }
    HandMark->setVisible(playing);
    table_->MnuHint->setEnabled(G.GameOn && G.Turn == 1); // a hint is only for a card to play now

    MnuLastTrick->setEnabled(table_->game.sheet.last.winner != 0);
    if (LastTrickShown() && table_->game.sheet.last.winner == 0) HideLastTrick();
    ScoreSheetRefresh(table_);
}

// By the menu or a tap of L alike, the trick stays until the next key, click or Escape; a
// screen reader is told who played what and who won, as the overlay shows it.
void TableMarks::ShowLastTrick() {
    if (QApplication::activeModalWidget() || table_->game.sheet.last.winner == 0) return;
    const QString description = static_cast<LastTrickView*>(LastTrick)->Description();
    LastTrick->setAccessibleName(description);
    LastTrick->raise();
    LastTrick->show();
    QAccessibleEvent shown(LastTrick, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&shown);
    Announce(LastTrick, description); // the keyboard stays on the hand
}

void TableMarks::HideLastTrick() {
    LastTrick->hide();
}

bool TableMarks::LastTrickShown() const {
    return !LastTrick->isHidden();
}

bool TableMarks::eventFilter(QObject* watched, QEvent* e) {
    const QEvent::Type type = e->type();
    if (type == QEvent::KeyPress || type == QEvent::ShortcutOverride || type == QEvent::KeyRelease) {
        if (!LastTrickShown() || type == QEvent::KeyRelease) return false; // letting go of L keeps it
        // The next key only puts the trick away: no shortcut of it runs (the override is taken),
        // and the key held down that showed it, repeating, leaves it.
        if (type == QEvent::ShortcutOverride) return e->accept(), true;
        if (!static_cast<QKeyEvent*>(e)->isAutoRepeat()) HideLastTrick();
        return true;
    } else if (type == QEvent::MouseButtonPress && LastTrickShown()) {
        HideLastTrick();
        return true;
    } else if (type == QEvent::Show && LastTrickShown() && watched->isWidgetType() &&
               static_cast<QWidget*>(watched)->isModal()) {
        HideLastTrick();
    }
    return false;
}
