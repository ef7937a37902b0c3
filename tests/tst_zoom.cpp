// The table's zoom: the zoom a window opens at on common screens, every place scaling with it,
// a resize in the middle of a deal, and card images drawn at the size they are shown.
#include "TestSupport.h"

#include "CardImages.h"
#include "ClothArea.h"
#include "Deal.h"
#include "Fonts.h"
#include "GameRecord.h"
#include "Layout.h"
#include "MessageDialog.h"
#include "ScoreSheet.h"
#include "TableMarks.h"

#include <QHeaderView>
#include <QLayout>
#include <QMenuBar>
#include <QScrollBar>
#include <QTableWidget>
#include <QTemporaryDir>

using namespace TestSupport;

// Common screens and their scaling: 1920x1080 at 200 %, 1366x768 at 125 %, 4K and 1280x1024 at 100 %.
static const std::pair<QSize, double> kScreens[] = {
    {{1920, 1080}, 2.0}, {{1366, 768}, 1.25}, {{3840, 2160}, 1.0}, {{1280, 1024}, 1.0}};
static const QSize TableAt1 = QSize(Layout::TableWidth, Layout::TableHeight) / TwipsPerPixel;

// Where every card lies, in twips, and what it shows, after a seeded deal of ten cards each
// (`midway` runs in the middle of it).
static QList<int> Deal(const std::function<void()>& midway = {}) {
    for (int c = 1; c <= 52; ++c) {
        G.Cards[c].Holder = 0;
        TableForm().CardsPic[c]->SetImage(53);
    }
    G.Dealer = 2, G.HandSize = 10;
    G.NextTop4 = G.NextTop2 = G.NextLeft1 = G.NextLeft3 = 1000; // both deals start alike
    SeedDeal(game, 11);
    ShowPack(game);
    int steps = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        if (++steps == 60 && midway) midway();
    });
    tick.start(0);
    DealCards(game);
    QList<int> places;
    for (CardPic* pic : TableForm().CardsPic)
        if (pic) places << pic->Left() << pic->Top() << pic->Image();
    return places;
}

// The controls under `root` on show whose text does not fit inside them, by their font's metrics.
static QStringList Cut(QWidget* root) {
    QStringList cut;
    for (QWidget* w : root->findChildren<QWidget*>()) {
        if (!w->isVisibleTo(root) || w->isWindow()) continue;
        QString text;
        int flags = Qt::TextShowMnemonic;
        QRect room = w->rect();
        if (auto* l = qobject_cast<QLabel*>(w)) {
            text = l->text(), flags = int(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0);
            room = l->contentsRect();
        } else if (auto* c = qobject_cast<DeluxeCaption*>(w)) {
            text = c->text(), flags |= Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
            // Made to fit by a pixel or two at most, not shrunk to a box of some other zoom.
            const int design =
                ZoomedFont(InPixels(DesignFont(Face::TimesNewRoman, 12)), Zoom::Factor()).pixelSize();
            if (c->font().pixelSize() < design * 0.85) cut << c->objectName() + " shrunk: " + text;
        } else if (auto* b = qobject_cast<QPushButton*>(w)) {
            text = b->text(), flags |= Qt::AlignCenter,
            room = room.adjusted(2, 2, -2, -2); // inside the border
        }
        if (text.isEmpty()) continue;
        if (!room.contains(QFontMetrics(w->font()).boundingRect(room, flags, text)))
            cut << w->objectName() + ": " + text;
    }
    return cut;
}

class TestZoom : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

  private slots:
    void init() {
        FreshState(dir_.path(), 0.0);
        MakeCards(G);
        TableForm().show();
    }
    void cleanupTestCase() { DestroyTableForm(); }

    void opensAtTheLargestZoomThatFits() {
        for (auto [screen, scale] : kScreens) {
            const QSize available = (QSizeF(screen) / scale).toSize() - QSize(0, 32); // a panel
            const QSize fixed(8, 60); // window frame and menu bar
            const double zoom = Zoom::AtStart(available, fixed, TableAt1);
            const auto fits = [&](double z) {
                const QSizeF needed = QSizeF(TableAt1) * z + QSizeF(fixed);
                return needed.width() <= available.width() && needed.height() <= available.height();
            };
            // The design size whenever it fits, otherwise nothing larger would do.
            QVERIFY2(zoom <= 1 && fits(zoom) && (fits(1) ? zoom == 1 : !fits(zoom + 0.005)),
                     qPrintable(QString("%1x%2: %3").arg(screen.width()).arg(screen.height()).arg(zoom)));
        }
    }

    void everyPlaceScalesWithTheZoom() {
        Table& t = TableForm();
        t.CardsPic[7]->Move(4920, 4680);
        QList<QWidget*> controls = t.Client->findChildren<QWidget*>(Qt::FindDirectChildrenOnly) +
                                   t.FramScores->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
        QList<QRect> at1;
        for (QWidget* w : controls)
            at1 << w->geometry();
        for (double zoom : {0.6, 1.37, 2.0, 1.0}) { // back at 1, nothing has moved by a pixel
            t.ApplyZoom(zoom);
            for (qsizetype i = 0; i < controls.size(); ++i) {
                const QRect now = controls[i]->geometry(), was = at1[i];
                // Labels that size themselves follow their text, except back at the design size.
                const bool sized = zoom == 1 || !controls[i]->property("autoSize").toBool();
                const double off = std::max({qAbs(now.x() - was.x() * zoom), qAbs(now.y() - was.y() * zoom),
                                             sized ? qAbs(now.width() - was.width() * zoom) : 0,
                                             sized ? qAbs(now.height() - was.height() * zoom) : 0});
                QVERIFY2(off <= (zoom == 1 ? 0 : 1),
                         qPrintable(controls[i]->objectName() + " at " + QString::number(zoom)));
            }
        }
    }

    // Every caption, on the table and in its dialogs, fits its control at every zoom.
    void captionsFitAtEveryZoom() {
        Table& t = TableForm();
        for (QLabel* l : t.lblBid)
            if (l) SetCaption(l, "Bid: 13 Tricks made: 13");
        SetCaption(t.LblScores[4], "Tabitha :  -130"), SetCaption(t.LblHandSc[4], "23");
        SetCaption(t.LblRounds, "A 10 card Hand.");
        SetCaption(t.LblTrumps, "Trumps:- Diamonds");
        t.BtnContinue->show();
        QStringList cut;
        Waits::ModalHook = [&cut](QWidget* w) {
            cut << Cut(w);
            if (auto* bid = qobject_cast<FrmBid*>(w)) bid->TxtBid->setText("1"), bid->CmdBid->click();
            if (auto* f = qobject_cast<MFormDeluxe*>(w)) QTest::mouseClick(f->Label1[0], Qt::LeftButton);
        };
        for (double zoom = Zoom::Min; zoom < 3; zoom += 0.1) {
            t.ApplyZoom(zoom);
            cut << Cut(t.Client);
            MsgDeluxe(TableForm().DeluxeForm(),
                      "Ann you are in the middle of a game, are you sure you wish to exit?", "Exit", "Cancel",
                      "", 1, "Really Exit?");
            MsgDeluxe(TableForm().DeluxeForm(), "Ann you have the current suit and must play it.", "Oops", "",
                      "", 1, "You have the suit");
            ShowBidDialog(TableForm().BidForm());
            QVERIFY2(cut.isEmpty(), qPrintable(QString::number(zoom) + ": " + cut.join(", ")));
        }
    }

    // The score sheet, at every zoom the table takes on common screens, shows every column of
    // every seat in the table's font (a little smaller only where the table is narrow), is as
    // tall as its rows (up to the room above the playing area), and leaves the trick, the
    // player's hand and the messages in view. The dealer's disc grows with the table too.
    void theSheetCoversNeitherTheTrickNorTheHand() {
        Table& t = TableForm();
        auto& hands = game.sheet.hands;
        const auto place = [&t](Layout::Spot at, QSize size) {
            return QRect(t.Client->pos() + QPoint(Px(at.left), Px(at.top)), size);
        };
        for (int played : {2, 19}) {
            GameRecord::Hand hand{0, 10, 1, 4, {0, 1, 1, 1, 1}, {0, 13, 1, 1, 1}, {0, 13, 0, 1, 1}, {}, true};
            hand.points = {0, 23, -10, -130, 20};
            hands.assign(size_t(played), hand);
            for (double zoom : {Zoom::Min, 0.66, 0.87, 1.0, 1.37, 2.0, 2.9}) {
                t.ApplyZoom(zoom);
                ToggleScoreSheet(TableForm().Panels());
                const QRect sheet = ScoreSheetIfOpen(&TableForm())->geometry();
                QTableWidget* grid = ScoreSheetTable(&TableForm());
                const QFontMetrics m(grid->font());
                const double points = grid->font().pointSizeF(), design = 8.25 * zoom;
                bool fits = t.Client->geometry().contains(sheet) &&
                            grid->horizontalScrollBar()->maximum() == 0 &&
                            (zoom < 0.9 ? points > design * 0.7 : qFuzzyCompare(points, design)) &&
                            t.Marks->DealerMark->width() == Px(240);
                for (int c = 0; c < grid->columnCount(); ++c)
                    for (int r = -1; r < grid->rowCount(); ++r)
                        fits &= grid->columnWidth(c) >=
                                m.horizontalAdvance(
                                    (r < 0 ? grid->horizontalHeaderItem(c) : grid->item(r, c))->text());
                // Every row while they fit, with no room to spare; the newest and the totals always.
                const int rows = grid->rowCount(), rowHeight = grid->rowHeight(0);
                fits &= grid->viewport()->height() < (rows + 1) * rowHeight &&
                        (played > 2 || grid->verticalScrollBar()->maximum() == 0) &&
                        grid->viewport()->rect().contains(
                            grid->visualItemRect(grid->item(rows - 2, 0))
                                .united(grid->visualItemRect(grid->item(rows - 1, 0))));
                const QSize card = CardImages::ShownSize(1, Zoom::Factor());
                QRect covered = place(Layout::SortedHand, card + QSize(Px(9 * Layout::SortedHandStep), 0)) |
                                t.List1->geometry().translated(t.Client->pos());
                for (int seat = 1; seat <= 4; ++seat)
                    covered |= place(Layout::Seats[seat].trick, card);
                QVERIFY2(fits && !sheet.intersects(covered),
                         qPrintable(QString("%1 hands, zoom %2").arg(played).arg(zoom)));
                ToggleScoreSheet(TableForm().Panels());
            }
        }
        hands.clear();
        t.ApplyZoom(1.0);
    }

    void aResizeDuringTheDealLandsEveryCardRight() {
        Table& t = TableForm();
        const QList<int> unzoomed = Deal();
        QCOMPARE(Deal([&] { t.resize(1300, 1100); }), unzoomed); // the game saw no difference
        QTRY_VERIFY(Zoom::Factor() > 1.5);
        for (CardPic* pic : t.CardsPic)
            QVERIFY(!pic || pic->geometry() == QRect(QPoint(Px(pic->Left()), Px(pic->Top())),
                                                     CardImages::ShownSize(pic->Image(), Zoom::Factor())));
        // The table is centred on the window, the margin in the table's green.
        const QRect cloth = t.Cloth->geometry();
        QVERIFY(qAbs(t.Client->geometry().center().x() - cloth.center().x()) <= 1);
        QCOMPARE(PixelAt(t.Cloth, {2, cloth.height() - 2}), QColor(0, 64, 0));
    }

    // A window made smaller than its smallest (no window manager holds it to its minimum): the
    // table goes to its smallest zoom and is cut off, never drawn over the menu bar.
    void aWindowTooSmallKeepsTheMenuClear() {
        Table& t = TableForm();
        t.layout()->setSizeConstraint(QLayout::SetNoConstraint);
        t.setMinimumSize(0, 0);
        t.resize(300, 200);
        QTRY_VERIFY(t.Cloth->height() < t.Client->height() && Zoom::Factor() == Zoom::Min &&
                    t.Client->geometry().top() > t.menuBar()->geometry().bottom() && t.Client->x() >= 0);
    }

    // A drag of the window's edge: no step lays the table out, only its picture is shown; once
    // the size rests, the table is laid out once, exactly as before, the keyboard and assistive
    // technology finding it as they left it.
    void aDragLaysTheTableOutOnceItRests() {
        Table& t = TableForm();
        const auto rested = [&t] { return !static_cast<ClothArea*>(t.Cloth)->ShowingPicture(); };
        const auto drag = [&t](double z) { t.resize(TableAt1 * z + QSize(0, t.menuBar()->height())); };
        drag(1);
        QTRY_VERIFY(rested() && Zoom::Factor() == 1);
        CardPic* card = t.CardsPic[5];
        card->Move(4920, 4680), card->SetImage(5), card->show(), card->setFocus();
        // Where the table lies among the window's parts, as assistive technology finds it.
        const auto place = [&t] { return t.children().indexOf(t.Client); };
        const int placeBefore = place();
        const QImage before = t.Client->grab().toImage();
        for (double z = 1.05; z < 1.9; z += 0.1) {
            drag(z);
            // The cloth shows the table's picture (as the test below checks), over the table left
            // as it was.
            QVERIFY(Zoom::Factor() == 1 && t.Client->size() == before.size() && !rested());
        }
        drag(1);
        QTRY_VERIFY(rested() && t.Client->grab().toImage() == before && t.focusWidget() == card &&
                    place() == placeBefore);
        drag(1.5);
        QTRY_VERIFY(rested() && Zoom::Factor() == 1.5);
        QCOMPARE(QAccessible::queryAccessibleInterface(card)->rect().size(), card->size());
    }

    // The picture shown while the size changes: at each step the one last scaled, drawn as it is,
    // centred; scaled off the window's thread to the new size, and shown so once it is ready.
    void theDragsPictureIsScaledOffTheWindowsThread() {
        ClothArea cloth(nullptr, [] {});
        cloth.resize(TableAt1);
        QImage picture(TableAt1, QImage::Format_RGB32);
        const QRect mark(100, 80, 20, 10); // the middle of the table's top left quarter
        picture.fill(Qt::white), QPainter(&picture).fillRect(mark, Qt::red);
        cloth.ShowPicture(picture);
        QCOMPARE(cloth.grab().toImage().convertToFormat(QImage::Format_RGB32), picture);
        const QSize larger = TableAt1 * 2;
        cloth.resize(larger);
        const QPoint unscaled = (QRect(QPoint(), larger).center() - picture.rect().center()) + mark.center();
        const QPoint scaled = mark.center() * 2;
        const auto red = [&cloth](QPoint p) { return cloth.grab().toImage().pixelColor(p) == Qt::red; };
        QVERIFY(red(unscaled) && !red(scaled) &&
                cloth.grab().toImage().pixelColor(2, 2) == cloth.palette().window().color());
        QTRY_VERIFY(red(scaled) && red(scaled + QPoint(18, 8)) && !red(scaled + QPoint(22, 12)) &&
                    !red(unscaled));
        cloth.ShowPicture({});
    }

    void cardsAreDrawnAtTheSizeShown() {
        Table& t = TableForm();
        t.ApplyZoom(1.73);
        for (int image : {1, 12, 53, 54}) {
            CardPic* pic = t.CardsPic[image <= 52 ? image : 20];
            pic->SetImage(image);
            pic->show();
            const qreal dpr = pic->devicePixelRatioF();
            const QImage drawn = CardImages::Image(image, dpr, Zoom::Factor()).toImage();
            QCOMPARE(drawn.size(), (QSizeF(pic->size()) * dpr).toSize());
            // Painted one to one: the middle of the card on the table is the image's own middle.
            const QRect middle(drawn.width() / 4, drawn.height() / 4, drawn.width() / 2, drawn.height() / 2);
            QCOMPARE(pic->grab().toImage().convertToFormat(drawn.format()).copy(middle), drawn.copy(middle));
        }
        // A card lying exactly on another hides it whole: the table shows the upper one.
        CardPic *pic = t.CardsPic[20], *under = t.CardsPic[21];
        const qreal dpr = pic->devicePixelRatioF();
        pic->SetImage(1);
        under->SetImage(12);
        under->Move(pic->Left(), pic->Top());
        under->show();
        pic->ZOrder();
        const QImage upper = CardImages::Image(1, dpr, Zoom::Factor()).toImage();
        const QRect middle(upper.width() / 4, upper.height() / 4, upper.width() / 2, upper.height() / 2);
        QCOMPARE(t.Client->grab(pic->geometry()).toImage().convertToFormat(upper.format()).copy(middle),
                 upper.copy(middle));
    }
};

QTEST_MAIN(TestZoom)
#include "tst_zoom.moc"
