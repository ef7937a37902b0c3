#include "ScoreSheet.h"

#include "Fonts.h"
#include "GameRecord.h"
#include "GameState.h"
#include "Seats.h"
#include "Table.h"
#include "Twips.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPointer>
#include <QScreen>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int FirstSeatColumn = 3, PerSeat = 3;
const char* const SuitNames[] = {"", "Diamonds", "Clubs", "Hearts", "Spades"};

QString Spoken(int seat) {
    return Seats::IsSeat(seat) ? QString::fromLatin1(Seats::Table[seat].spoken) : QString();
}

class Sheet : public QWidget {
  public:
    explicit Sheet(QWidget* table) : QWidget(table, Qt::Window) {
        setObjectName(QStringLiteral("ScoreSheet"));
        setWindowTitle(QStringLiteral("Score Sheet"));
        grid_ = new QTableWidget(this);
        grid_->setObjectName(QStringLiteral("ScoreSheetTable"));
        grid_->setAccessibleName(QStringLiteral("Score sheet"));
        grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        grid_->setSelectionMode(QAbstractItemView::SingleSelection);
        grid_->setWordWrap(false);
        grid_->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
        QStringList heads{QStringLiteral("Cards"), QStringLiteral("Trumps"), QStringLiteral("Dealer")};
        for (int seat = 1; seat <= 4; ++seat)
            for (const char* what : {"Bid", "Tricks", "Points"})
                heads << Spoken(seat) + QLatin1Char('\n') + QLatin1String(what);
        grid_->setColumnCount(int(heads.size()));
        grid_->setHorizontalHeaderLabels(heads);
        // The table's own colours: its light yellow cells with dark text, the olive of the score
        // board for the headings.
        grid_->setStyleSheet(QStringLiteral(
            "QTableWidget { background: rgb(255,255,192); color: black; gridline-color: rgb(128,128,0); }"
            "QHeaderView::section { background: rgb(192,192,0); color: black; border: 1px solid "
            "rgb(128,128,0);"
            " padding: 2px 4px; }"));
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(grid_);
        FollowZoom();
    }

    QTableWidget* Grid() const { return grid_; }

    // One row per hand, then the totals under each seat's points.
    void Refresh() {
        const auto& hands = GameRecord::Current().hands;
        const int rows = int(hands.size());
        grid_->setRowCount(rows + 1);
        std::array<int, 5> total{};
        for (int row = 0; row < rows; ++row) {
            const GameRecord::Hand& h = hands[size_t(row)];
            grid_->setVerticalHeaderItem(row, new QTableWidgetItem(QStringLiteral("Hand %1").arg(h.number)));
            Set(row, 0, QString::number(h.cards));
            Set(row, 1, QString::fromLatin1(SuitNames[std::clamp<int>(h.trumps, 0, 4)]));
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
        grid_->scrollToItem(grid_->item(rows, 0));
    }

    void FollowZoom() {
        const QFont f = ZoomedFont(DesignFont(Face::Verdana, 8.25, Bold), Zoom::Factor());
        grid_->setFont(f);
        grid_->horizontalHeader()->setFont(f);
        grid_->verticalHeader()->setFont(f);
        Refresh();
        grid_->resizeColumnsToContents();
        grid_->resizeRowsToContents();
        // Room for all 19 hands where the screen allows.
        const QFontMetrics m(f);
        int width = grid_->verticalHeader()->sizeHint().width() + 2 * grid_->frameWidth() + 4;
        for (int c = 0; c < grid_->columnCount(); ++c)
            width += std::max(grid_->columnWidth(c), grid_->horizontalHeader()->sectionSizeHint(c));
        const int height = grid_->horizontalHeader()->sizeHint().height() + 20 * (m.height() + 8) + 8;
        QSize want(width, height);
        if (const QScreen* s = screen()) want = want.boundedTo(s->availableGeometry().size() * 0.9);
        resize(want);
    }

  protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape) {
            hide();
            return;
        }
        QWidget::keyPressEvent(e);
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
};

QPointer<Sheet> sheet;

} // namespace

void ToggleScoreSheet() {
    if (sheet && sheet->isVisible()) {
        sheet->hide();
        return;
    }
    if (!sheet) {
        sheet = new Sheet(&TableForm());
        // Beside the table where there is room, else over its right side.
        const QRect table = TableForm().frameGeometry();
        sheet->move(table.right() + 8, table.top());
        if (const QScreen* s = TableForm().screen())
            sheet->move(KeptInside(QRect(sheet->pos(), sheet->frameGeometry().size()), s->availableGeometry())
                            .topLeft());
    }
    sheet->Refresh();
    sheet->show();
    sheet->raise();
    sheet->activateWindow();
    sheet->Grid()->setFocus();
}

void ScoreSheetRefresh() {
    if (sheet && sheet->isVisible()) sheet->Refresh();
}

void ScoreSheetFollowZoom() {
    if (sheet) sheet->FollowZoom();
}

QWidget* ScoreSheetIfOpen() {
    return sheet && sheet->isVisible() ? sheet.data() : nullptr;
}

QTableWidget* ScoreSheetTable() {
    return sheet ? sheet->Grid() : nullptr;
}
