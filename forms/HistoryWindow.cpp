#include "HistoryWindow.h"

#include "Fonts.h"
#include "Game.h"
#include "History.h"
#include "Seats.h"
#include "Twips.h"

#include <QAction>
#include <QApplication>
#include <QDateTime>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QPushButton>
#include <QTableWidget>

namespace {

QString Name(int seat) {
    return seat == 1 ? QStringLiteral("You") : QString::fromLatin1(Seats::Table[seat].spoken);
}

// Each seat's line: a colour and a dash of its own, so that the lines tell apart in grey too.
struct Pen {
    QColor colour;
    Qt::PenStyle dash;
};
const Pen Pens[5] = {{},
                     {QColor(0, 0, 160), Qt::SolidLine},
                     {QColor(176, 0, 0), Qt::DashLine},
                     {QColor(0, 112, 0), Qt::DotLine},
                     {QColor(128, 0, 128), Qt::DashDotLine}};

// The four running totals over the hands, drawn; a screen reader reads the table beside it.
class Chart : public QWidget {
  public:
    explicit Chart(QWidget* parent) : QWidget(parent) {
        setObjectName(QStringLiteral("HistoryChart"));
        setAccessibleName(QStringLiteral("Chart of the running totals"));
        setAccessibleDescription(QStringLiteral("The same figures are in the table below the chart."));
        setMinimumSize(60, 40);
    }
    void Show(const QList<std::array<int, 4>>& totals) {
        totals_ = totals;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(rect(), QColor(255, 255, 192));
        const QFontMetrics m(font());
        int low = 0, high = 10;
        for (const auto& t : totals_)
            for (int v : t)
                low = std::min(low, v), high = std::max(high, v);
        const int nameWidth = m.horizontalAdvance(QStringLiteral("Marigold 999")) + 6;
        const QRect plot = rect().adjusted(m.horizontalAdvance(QStringLiteral("-999")) + 8, m.height(),
                                           -nameWidth, -2 * m.height());
        if (plot.width() < 10 || plot.height() < 10) return;
        auto x = [&](int hand) { return plot.left() + plot.width() * hand / 19.0; };
        auto y = [&](int v) { return plot.bottom() - plot.height() * double(v - low) / (high - low); };
        p.setPen(QColor(128, 128, 0));
        p.drawRect(plot);
        p.setPen(Qt::black);
        p.drawLine(QPointF(plot.left(), y(0)), QPointF(plot.right(), y(0)));
        for (int v : {low, 0, high})
            p.drawText(QRectF(0, y(v) - m.height() / 2.0, plot.left() - 4, m.height()),
                       Qt::AlignRight | Qt::AlignVCenter, QString::number(v));
        for (int hand : {1, 5, 10, 15, 19})
            p.drawText(QRectF(x(hand) - 20, plot.bottom() + 2, 40, m.height()), Qt::AlignCenter,
                       QString::number(hand));
        p.drawText(QRectF(plot.left(), plot.bottom() + m.height(), plot.width(), m.height()), Qt::AlignCenter,
                   totals_.isEmpty() ? QStringLiteral("No hand scored yet") : QStringLiteral("Hand"));
        if (totals_.isEmpty()) return;
        // The names at the lines' ends, moved apart where two ends are close.
        std::array<double, 4> at{};
        for (int s = 0; s < 4; ++s)
            at[size_t(s)] = y(totals_.last()[size_t(s)]);
        std::array<int, 4> order{0, 1, 2, 3};
        std::sort(order.begin(), order.end(), [&](int a, int b) { return at[size_t(a)] < at[size_t(b)]; });
        for (int i = 1; i < 4; ++i)
            at[size_t(order[size_t(i)])] =
                std::max(at[size_t(order[size_t(i)])], at[size_t(order[size_t(i - 1)])] + m.height());
        for (int s = 1; s <= 4; ++s) {
            QPen pen(Pens[s].colour, std::max(2.0, m.height() / 8.0), Pens[s].dash);
            p.setPen(pen);
            QPainterPath path(QPointF(x(0), y(0)));
            for (int h = 0; h < totals_.size(); ++h)
                path.lineTo(x(h + 1), y(totals_.at(h)[size_t(s - 1)]));
            p.drawPath(path);
            p.setPen(Pens[s].colour);
            p.drawText(QPointF(x(int(totals_.size())) + 4, at[size_t(s - 1)] + m.ascent() / 2.0),
                       Name(s) + QLatin1Char(' ') + QString::number(totals_.last()[size_t(s - 1)]));
        }
    }

  private:
    QList<std::array<int, 4>> totals_;
};

QLabel* PlainLabel(QWidget* parent) {
    auto* l = new QLabel(parent);
    l->setTextFormat(Qt::PlainText);
    return l;
}

class HistoryFrame : public QFrame {
  public:
    explicit HistoryFrame(PanelHost host) : QFrame(host.window), host_(std::move(host)) {
        setObjectName(QStringLiteral("History"));
        setAccessibleName(QStringLiteral("History"));
        setFrameShape(QFrame::Box);
        setAutoFillBackground(true);
        QPalette pal = palette();
        pal.setColor(QPalette::Window, QColor(255, 255, 192));
        pal.setColor(QPalette::WindowText, Qt::black);
        setPalette(pal);
        auto* grid = new QGridLayout(this);
        // It takes the table's size whatever its parts would like: at the smallest zoom they
        // share what there is rather than run off the table.
        grid->setSizeConstraint(QLayout::SetNoConstraint);
        title_ = PlainLabel(this);
        title_->setText(QStringLiteral("History of your games"));
        title_->setAccessibleName(title_->text());
        grid->addWidget(title_, 0, 0, 1, 2);
        summary_ = PlainLabel(this);
        summary_->setObjectName(QStringLiteral("HistorySummary"));
        summary_->setWordWrap(true);
        summary_->setAlignment(Qt::AlignTop | Qt::AlignLeft);
        grid->addWidget(summary_, 1, 0);
        games_ = new QListWidget(this);
        games_->setObjectName(QStringLiteral("HistoryGames"));
        games_->setAccessibleName(QStringLiteral("Games, newest first"));
        grid->addWidget(games_, 2, 0, 2, 1);
        chart_ = new Chart(this);
        grid->addWidget(chart_, 1, 1, 2, 1);
        figures_ = new QTableWidget(this);
        figures_->setObjectName(QStringLiteral("HistoryTotals"));
        figures_->setAccessibleName(QStringLiteral("Running totals by hand"));
        figures_->setEditTriggers(QAbstractItemView::NoEditTriggers);
        figures_->setColumnCount(4);
        figures_->setHorizontalHeaderLabels({Name(1), Name(2), Name(3), Name(4)});
        figures_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
        figures_->horizontalHeader()->setMinimumSectionSize(8);
        grid->addWidget(figures_, 3, 1);
        close_ = new QPushButton(QStringLiteral("Close"), this);
        close_->setAccessibleName(QStringLiteral("Close"));
        grid->addWidget(close_, 4, 1, Qt::AlignRight);
        grid->setColumnStretch(0, 2);
        grid->setColumnStretch(1, 3);
        grid->setRowStretch(2, 3);
        grid->setRowStretch(3, 2);
        connect(close_, &QPushButton::clicked, this, [this] { Close(); });
        connect(games_, &QListWidget::currentRowChanged, this, [this](int row) { ShowGame(row); });
        auto* escape = new QAction(this);
        escape->setShortcut(QKeySequence(Qt::Key_Escape));
        escape->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        addAction(escape);
        connect(escape, &QAction::triggered, this, [this] { Close(); });
        setFocusProxy(games_);
        FollowZoom();
    }

    // The file read afresh, the game under way first in the list.
    void Refresh() {
        games_->clear();
        const QList<History::Game> file = History::Load();
        const History::Summary s = History::Summarise(file);
        auto rate = [](int won, int played) {
            return played ? QStringLiteral("%1% of %2").arg(100 * won / played).arg(played)
                          : QStringLiteral("no games");
        };
        summary_->setText(
            QStringLiteral(
                "Games played: %1\nWon: %2\nDrawn: %3\nWin rate against\n  classic opponents: %4\n"
                "  sharp opponents: %5\n  expert opponents: %6\n"
                "Hands bid exactly: %7\nAverage score: %8\nBest score: %9\nLongest run of wins: %10")
                .arg(s.played)
                .arg(s.won)
                .arg(s.drawn)
                .arg(rate(s.wonAgainst[0], s.playedAgainst[0]), rate(s.wonAgainst[1], s.playedAgainst[1]),
                     rate(s.wonAgainst[2], s.playedAgainst[2]),
                     s.handsPlayed ? QStringLiteral("%1%").arg(100 * s.handsExact / s.handsPlayed)
                                   : QStringLiteral("none yet"))
                .arg(s.averageScore, 0, 'f', 1)
                .arg(s.bestScore)
                .arg(s.longestRun));
        summary_->setAccessibleName(summary_->text());
        shown_.clear();
        if (host_.game->G.GameOn) {
            History::Game now;
            for (const auto& total : GameRecord::RunningTotals(*host_.game))
                now.totals.append(total);
            shown_.append(now);
            games_->addItem(QStringLiteral("The game under way"));
        }
        for (qsizetype i = file.size() - 1; i >= 0; --i) {
            const History::Game& g = file.at(i);
            shown_.append(g);
            QString line = QDateTime::fromSecsSinceEpoch(g.when).toString(QStringLiteral("d MMM yy hh:mm")) +
                           QStringLiteral("  %1, place %2, %3")
                               .arg(g.scores[0])
                               .arg(g.Place())
                               .arg(std::array{QStringLiteral("classic"), QStringLiteral("sharp"),
                                               QStringLiteral("expert")}[size_t(g.opponents)]);
            if (g.takeBacks) line += QStringLiteral(", taken back");
            games_->addItem(line);
        }
        if (games_->count())
            games_->setCurrentRow(0);
        else
            ShowGame(-1);
    }

    void FollowZoom() {
        const QFont f = ZoomedFont(DesignFont(Face::Verdana, 8.25, Bold), Zoom::Factor());
        for (QWidget* w : findChildren<QWidget*>())
            w->setFont(f);
        QFont big = f;
        big.setPointSizeF(f.pointSizeF() * 1.4);
        title_->setFont(big);
        figures_->verticalHeader()->setDefaultSectionSize(QFontMetrics(f).height() + 4);
        const int gap = QFontMetrics(f).height() / 2;
        layout()->setContentsMargins(gap, gap, gap, gap);
        static_cast<QGridLayout*>(layout())->setSpacing(gap);
        Place();
    }

    // Over the whole table, where it lies now.
    void Place() {
        if (host_.client) setGeometry(host_.client->geometry());
        raise();
    }

    void Close() {
        const bool hadKeys = isAncestorOf(QApplication::focusWidget());
        hide();
        if (!hadKeys) return;
        if (host_.client) host_.client->setFocus(Qt::OtherFocusReason);
        if (host_.handTakesFocus) host_.handTakesFocus();
    }

  private:
    void ShowGame(int row) {
        const QList<std::array<int, 4>> totals =
            row >= 0 && row < shown_.size() ? shown_.at(row).totals : QList<std::array<int, 4>>();
        chart_->Show(totals);
        figures_->setRowCount(int(totals.size()));
        for (int h = 0; h < totals.size(); ++h) {
            figures_->setVerticalHeaderItem(h, new QTableWidgetItem(QStringLiteral("Hand %1").arg(h + 1)));
            for (int s = 0; s < 4; ++s)
                figures_->setItem(h, s, new QTableWidgetItem(QString::number(totals.at(h)[size_t(s)])));
        }
    }

    QLabel *title_, *summary_;
    QListWidget* games_;
    Chart* chart_;
    QTableWidget* figures_;
    QPushButton* close_;
    QList<History::Game> shown_;
    PanelHost host_;
};

HistoryFrame* FrameOf(const QWidget* window) {
    return PanelOf<HistoryFrame>(window, "History");
}

} // namespace

void ToggleHistory(const PanelHost& host) {
    HistoryFrame* frame = FrameOf(host.window);
    if (frame && frame->isVisible()) {
        frame->Close();
        return;
    }
    if (!frame) frame = new HistoryFrame(host);
    frame->show();
    frame->Refresh();
    frame->Place();
    frame->setFocus();
}

void HistoryFollowZoom(const QWidget* window) {
    if (HistoryFrame* frame = FrameOf(window)) frame->FollowZoom();
}

QWidget* HistoryIfOpen(const QWidget* window) {
    HistoryFrame* frame = FrameOf(window);
    return frame && frame->isVisible() ? frame : nullptr;
}
