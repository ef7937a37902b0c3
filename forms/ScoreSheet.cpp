#include "ScoreSheet.h"

#include "Fonts.h"
#include "Game.h"
#include "Layout.h"
#include "Seats.h"
#include "Twips.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QPainter>
#include <QPointer>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int FirstSeatColumn = 3, PerSeat = 3;
const char* const SuitNames[] = {"", "Diamonds", "Clubs", "Hearts", "Spades"};
// The suits as the cards show them, narrower than their names (which assistive technology reads).
const char16_t SuitSigns[] = {u' ', u'\u2666', u'\u2663', u'\u2665', u'\u2660'};

QString Spoken(int seat) {
    return Seats::IsSeat(seat) ? QString::fromLatin1(Seats::Table[seat].spoken) : QString();
}

// The column heads in two lines: each seat's name once, across its three columns, over Bid,
// Tricks and Points (one name to a column would make the sheet too wide for the table).
class Heads : public QHeaderView {
  public:
    explicit Heads(QWidget* parent) : QHeaderView(Qt::Horizontal, parent) {
        setDefaultAlignment(Qt::AlignHCenter | Qt::AlignBottom);
        setSectionResizeMode(QHeaderView::Fixed);
    }
    QSize sizeHint() const override { return QHeaderView::sizeHint() + QSize(0, fontMetrics().height()); }

  protected:
    void paintEvent(QPaintEvent* e) override {
        QHeaderView::paintEvent(e);
        QPainter p(viewport());
        p.setFont(font());
        const int line = fontMetrics().height() + 2;
        for (int seat = 1; seat <= 4; ++seat) {
            const int first = FirstSeatColumn + (seat - 1) * PerSeat;
            const int left = sectionViewportPosition(first);
            const int right = sectionViewportPosition(first + PerSeat - 1) + sectionSize(first + PerSeat - 1);
            const QRect band(left, 0, right - left, line);
            p.fillRect(band, QColor(192, 192, 0));
            p.setPen(QColor(128, 128, 0));
            p.drawRect(band.adjusted(0, 0, -1, -1));
            p.setPen(Qt::black);
            p.drawText(band, Qt::AlignCenter, Spoken(seat));
        }
    }
};

class Sheet : public QFrame {
  public:
    explicit Sheet(PanelHost host) : QFrame(host.window), host_(std::move(host)) {
        setObjectName(QStringLiteral("ScoreSheet"));
        setAccessibleName(QStringLiteral("Score Sheet"));
        setFrameShape(QFrame::Box);
        grid_ = new QTableWidget(this);
        grid_->setHorizontalHeader(new Heads(grid_));
        grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        grid_->setObjectName(QStringLiteral("ScoreSheetTable"));
        grid_->setAccessibleName(QStringLiteral("Score sheet"));
        grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid_->setSelectionMode(QAbstractItemView::SingleSelection);
        grid_->setWordWrap(false);
        grid_->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
        grid_->setColumnCount(FirstSeatColumn + 4 * PerSeat);
        int column = 0;
        for (const char* head : {"Cards", "Trumps", "Dealer"})
            grid_->setHorizontalHeaderItem(column++, new QTableWidgetItem(QString::fromLatin1(head)));
        for (int seat = 1; seat <= 4; ++seat)
            for (const char* what : {"Bid", "Tricks", "Points"}) {
                auto* head = new QTableWidgetItem(QString::fromLatin1(what));
                // Read as it is seen: the seat's name over the column's own.
                head->setData(Qt::AccessibleTextRole, Spoken(seat) + QLatin1Char('\n') + QLatin1String(what));
                grid_->setHorizontalHeaderItem(column++, head);
            }
        // The table's own colours: its light yellow cells with dark text, the olive of the score
        // board for the headings.
        grid_->setStyleSheet(QStringLiteral(
            "QTableWidget { background: rgb(255,255,192); color: black; gridline-color: rgb(128,128,0); }"
            "QHeaderView::section { background: rgb(192,192,0); color: black; border: 1px solid "
            "rgb(128,128,0);"
            " padding: 1px 2px; }"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(grid_);
        setFocusProxy(grid_);
        // Escape puts it away, wherever in it the keyboard is.
        auto* escape = new QAction(this);
        escape->setShortcut(QKeySequence(Qt::Key_Escape));
        escape->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(escape);
        connect(escape, &QAction::triggered, this, [this] { Close(); });
        FollowZoom();
    }

    QTableWidget* Grid() const { return grid_; }

    // One row per hand, then the totals under each seat's points.
    void Refresh() {
        const auto& hands = host_.game->sheet.hands;
        const int rows = int(hands.size());
        grid_->setRowCount(rows + 1);
        std::array<int, 5> total{};
        for (int row = 0; row < rows; ++row) {
            const GameRecord::Hand& h = hands[size_t(row)];
            auto* head = new QTableWidgetItem(QString::number(h.number));
            head->setData(Qt::AccessibleTextRole, QStringLiteral("Hand %1").arg(h.number));
            grid_->setVerticalHeaderItem(row, head);
            Set(row, 0, QString::number(h.cards));
            const int suit = std::clamp<int>(h.trumps, 0, 4);
            Set(row, 1, QString(QChar(SuitSigns[suit])).trimmed());
            grid_->item(row, 1)->setData(Qt::AccessibleTextRole, QString::fromLatin1(SuitNames[suit]));
            Set(row, 2, Spoken(h.dealer));
            for (int seat = 1; seat <= 4; ++seat) {
                const int column = FirstSeatColumn + (seat - 1) * PerSeat;
                total[seat] += h.points[seat];
                const bool made = h.scored && h.bids[seat] == h.tricks[seat];
                Set(row, column, h.bid[seat] ? QString::number(h.bids[seat]) : QString(), made);
                Set(row, column + 1,
                    h.bid[seat] || h.tricks[seat] ? QString::number(h.tricks[seat]) : QString());
                Set(row, column + 2, h.scored ? QString::number(h.points[seat]) : QString());
            }
        }
        grid_->setVerticalHeaderItem(rows, new QTableWidgetItem(QStringLiteral("Total")));
        for (int column = 0; column < grid_->columnCount(); ++column) {
            const int seat = (column - FirstSeatColumn) / PerSeat + 1;
            const bool points = column >= FirstSeatColumn && (column - FirstSeatColumn) % PerSeat == 2;
            Set(rows, column, points ? QString::number(total[seat]) : QString());
        }
        if (isVisible()) Place();
    }

    void FollowZoom() {
        const QFont f = ZoomedFont(DesignFont(Face::Verdana, 8.25, Bold), Zoom::Factor());
        grid_->setFont(f);
        grid_->horizontalHeader()->setFont(f);
        grid_->verticalHeader()->setFont(f);
        Refresh();
    }

    // Sized to its rows and to its columns, each as narrow as its text allows, and placed on the
    // table above the playing area: the trick, the player's hand and the messages stay in view.
    // Rows beyond the room there scroll, the newest (and the totals) kept in view.
    void Place() {
        const QWidget* table = host_.client;
        if (!table) return;
        const QRect room(table->pos(), QSize(table->width(), Px(Layout::PlayingAreaTop) - Px(60)));
        // A font a little smaller where the table is too narrow for the sheet at its own.
        QSize size = Measure(room.height());
        for (int tries = 0; tries < 8 && size.width() > room.width(); ++tries) {
            QFont f = grid_->font();
            f.setPointSizeF(f.pointSizeF() * std::max(0.7, 0.97 * room.width() / size.width()));
            for (QWidget* w : {static_cast<QWidget*>(grid_), static_cast<QWidget*>(grid_->horizontalHeader()),
                               static_cast<QWidget*>(grid_->verticalHeader())})
                w->setFont(f);
            size = Measure(room.height());
        }
        QRect place(QPoint(), size.boundedTo(room.size()));
        place.moveCenter(room.center());
        place.moveTop(room.top());
        setGeometry(place);
        grid_->scrollToItem(grid_->item(grid_->rowCount() - 1, 0));
        raise();
    }

  private:
    // Each column as narrow as its text allows; the sheet's size for that, with every row up to
    // `tallest` (and a scroll bar beyond).
    QSize Measure(int tallest) {
        const QFontMetrics m(grid_->font());
        const int pad = m.horizontalAdvance(QLatin1Char('0'));
        grid_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        grid_->verticalHeader()->setDefaultSectionSize(m.height() + 4);
        grid_->resizeColumnsToContents();
        const int frames = 2 * grid_->frameWidth() + 2 * frameWidth();
        int width = grid_->verticalHeader()->sizeHint().width() + frames;
        for (int c = 0; c < grid_->columnCount(); ++c) {
            const int head = m.horizontalAdvance(grid_->horizontalHeaderItem(c)->text()) + pad;
            grid_->setColumnWidth(c, std::max(grid_->columnWidth(c), head));
            width += grid_->columnWidth(c);
        }
        const int height = grid_->horizontalHeader()->sizeHint().height() +
                           grid_->rowCount() * grid_->verticalHeader()->defaultSectionSize() + frames;
        if (height > tallest) width += grid_->verticalScrollBar()->sizeHint().width();
        return {width, std::min(height, tallest)};
    }

  public:
    // Put away; the keyboard goes back to the player's hand (or the table) if the sheet had it.
    void Close() {
        const bool hadKeys = isAncestorOf(QApplication::focusWidget());
        hide();
        if (!hadKeys) return;
        if (host_.client) host_.client->setFocus(Qt::OtherFocusReason);
        if (host_.handTakesFocus) host_.handTakesFocus();
    }

  private:
    void Set(int row, int column, const QString& text, bool made = false) {
        QTableWidgetItem* item = grid_->item(row, column);
        if (!item) {
            item = new QTableWidgetItem;
            item->setTextAlignment(Qt::AlignCenter);
            grid_->setItem(row, column, item);
        }
        item->setText(made ? text + QStringLiteral(" \u2713") : text);
        item->setData(Qt::AccessibleTextRole, made ? text + QStringLiteral(", made") : QVariant());
        // A bid made exactly: ticked, in the table's green, so that it shows at a glance.
        item->setBackground(made ? QColor(0, 128, 0) : QColor(255, 255, 192));
        item->setForeground(made ? QColor(255, 255, 128) : QColor(Qt::black));
    }
    QTableWidget* grid_;
    PanelHost host_;
};

Sheet* SheetOf(const QWidget* window) {
    return PanelOf<Sheet>(window, "ScoreSheet");
}

} // namespace

void ToggleScoreSheet(const PanelHost& host) {
    Sheet* sheet = SheetOf(host.window);
    if (sheet && sheet->isVisible()) {
        sheet->Close();
        return;
    }
    // On the table's window, not a window of its own: it goes where the table goes, with or
    // without a window manager, and never off the screen.
    if (!sheet) sheet = new Sheet(host);
    sheet->show();
    sheet->Refresh();
    sheet->Grid()->setFocus();
}

void ScoreSheetRefresh(const QWidget* window) {
    Sheet* sheet = SheetOf(window);
    if (sheet && sheet->isVisible()) sheet->Refresh();
}

void ScoreSheetFollowZoom(const QWidget* window) {
    if (Sheet* sheet = SheetOf(window)) sheet->FollowZoom();
}

void ScoreSheetPlace(const QWidget* window) {
    Sheet* sheet = SheetOf(window);
    if (sheet && sheet->isVisible()) sheet->Place();
}

QWidget* ScoreSheetIfOpen(const QWidget* window) {
    Sheet* sheet = SheetOf(window);
    return sheet && sheet->isVisible() ? sheet : nullptr;
}

QTableWidget* ScoreSheetTable(const QWidget* window) {
    Sheet* sheet = SheetOf(window);
    return sheet ? sheet->Grid() : nullptr;
}
