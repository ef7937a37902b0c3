#include "Table.h"

#include "CardImages.h"
#include "DataFiles.h"
#include "Deal.h"
#include "Fonts.h"
#include "FrmBid.h"
#include "GameState.h"
#include "Layout.h"
#include "MFormDeluxe.h"
#include "MessageDialog.h"
#include "Pacing.h"
#include "Probe.h"
#include "Resume.h"
#include "ScoreSheet.h"
#include "Seats.h"
#include "Sound.h"
#include "TableAccess.h"
#include "TableMarks.h"
#include "Tricks.h"
#include "Twips.h"
#include "Waits.h"
#include "frmAbout.h"
#include "frmHelp.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QFrame>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QScreen>
#include <QSvgRenderer>
#include <QTimer>
#include <algorithm>
#include <memory>

std::function<void()> ExitHook;

namespace {
QPointer<Table> theTable;

// While the window is being resized, cards and portraits are shown from their drawings at the
// zoom before, scaled: drawing every face, back and portrait afresh at each step of a drag
// would stall it.
bool windowResizing = false;

QColor Rgb(int r, int g, int b) {
    return QColor(r, g, b);
}

void Colour(QWidget* w, const QColor& back, const QColor& text) {
    QPalette p = w->palette();
    p.setColor(QPalette::Window, back);
    p.setColor(QPalette::Base, back);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Button, back);
    w->setPalette(p);
    w->setAutoFillBackground(true);
}

QLabel* MakeLabel(QWidget* parent, int left, int top, int width, int height, const QString& text,
                  bool autoSize) {
    auto* l = new QLabel(parent);
    // Names come from the player and from Name.dat: never markup, whatever they contain.
    l->setTextFormat(Qt::PlainText);
    l->setText(text);
    l->setProperty("autoSize", autoSize);
    l->setGeometry(PxRect(left, top, width, height));
    if (autoSize) FitToText(l);
    return l;
}

// The rounded playing area in the middle of the table.
class RoundedArea : public QFrame {
  public:
    using QFrame::QFrame;

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        // The border and the corners grow with the table, as everything on it does.
        const qreal zoom = Zoom::Factor(), pen = 4 * zoom, radius = 24 * zoom;
        p.setPen(QPen(Rgb(128, 64, 0), pen));
        p.setBrush(Rgb(0, 128, 0));
        p.drawRoundedRect(QRectF(rect()).adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2), radius, radius);
    }
};

// A portrait drawn from its SVG at the screen's pixel ratio, stretched to the control.
// The SVG is read once and drawn once per size and ratio; a repaint only copies the picture.
class Portrait : public QLabel {
  public:
    Portrait(const QString& file, QWidget* parent) : QLabel(parent), file_(file) {}

  protected:
    void paintEvent(QPaintEvent*) override {
        const qreal dpr = devicePixelRatioF();
        if (windowResizing && !picture_.isNull() && picture_.devicePixelRatio() == dpr) {
            QPainter p(this);
            p.setRenderHint(QPainter::SmoothPixmapTransform);
            p.drawPixmap(rect(), picture_);
            return;
        }
        if (picture_.isNull() || picture_.deviceIndependentSize() != QSizeF(size()) ||
            picture_.devicePixelRatio() != dpr) {
            picture_ = QPixmap((QSizeF(size()) * dpr).toSize());
            picture_.setDevicePixelRatio(dpr);
            picture_.fill(Qt::transparent);
            QPainter pp(&picture_);
            if (!svg_) svg_ = std::make_unique<QSvgRenderer>(DataFiles::AssetPath(file_));
            if (svg_->isValid()) svg_->render(&pp, QRectF(rect()));
        }
        QPainter p(this);
        p.drawPixmap(0, 0, picture_);
    }

  private:
    QString file_;
    QPixmap picture_;
    std::unique_ptr<QSvgRenderer> svg_;
};

// Runs `work` once, just after the first frame of `w` is on the screen: a queued call made
// while the first paint event is handled runs when the event that paints the frame is done.
// Start-up uses it for what the first frame does not need.
class AfterFirstFrame : public QObject {
  public:
    AfterFirstFrame(QWidget* w, std::function<void()> work) : QObject(w), work_(std::move(work)) {
        w->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::Paint && work_) {
            watched->removeEventFilter(this);
            QMetaObject::invokeMethod(
                this,
                [this] {
                    const auto work = std::move(work_);
                    work_ = nullptr;
                    deleteLater();
                    work();
                },
                Qt::QueuedConnection);
        }
        return false;
    }

  private:
    std::function<void()> work_;
};

bool keysInUse = false;
// A zoom change this soon after the last one is part of one resizing; this long after the
// last, the resizing has stopped and the new size's images are drawn.
constexpr int ResizeSettleMs = 250;

// Watches the whole application for the keyboard being taken up or put down (a key press,
// a mouse press), lets Return press Carry On as Space does, and hands the keyboard back when
// a window closes: without a window manager nobody else would, and keys would go nowhere.
class KeyWatch : public QObject {
  public:
    KeyWatch(QPushButton* carryOn, QWidget* table) : QObject(table), carryOn_(carryOn), table_(table) {
        qApp->installEventFilter(this);
    }

  protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        const QEvent::Type type = e->type();
        if (type == QEvent::KeyPress) {
            Use(true);
            auto* key = static_cast<QKeyEvent*>(e);
            if (watched == carryOn_ && carryOn_->isVisible() && !key->isAutoRepeat() &&
                (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
                carryOn_->click();
                return true;
            }
        } else if (type == QEvent::MouseButtonPress) {
            Use(false);
        } else if (type == QEvent::Hide && watched != table_ && watched->isWidgetType()) {
            auto* w = static_cast<QWidget*>(watched);
            if (w->isWindow() && (w->windowType() == Qt::Dialog || w->windowType() == Qt::Window))
                QTimer::singleShot(0, this, [this] { ActivateNext(); });
        }
        return false;
    }

    // The window below takes the keyboard: a modal one still open, else the table.
    void ActivateNext() {
        if (QApplication::activeWindow() || !table_) return;
        QWidget* next = QApplication::activeModalWidget();
        if (!next) next = table_;
        if (next->isVisible()) next->activateWindow();
    }

  private:
    static void Use(bool keys) {
        if (keys == keysInUse) return;
        keysInUse = keys;
        if (auto* pic = qobject_cast<CardPic*>(QApplication::focusWidget())) pic->update();
    }
    QPointer<QPushButton> carryOn_;
    QPointer<QWidget> table_;
};

// The window's area below the menu bar: the table's own green, with the table centred on it.
class ClothArea : public QWidget {
  public:
    ClothArea(QWidget* parent, std::function<void()> resized)
        : QWidget(parent), resized_(std::move(resized)) {}
    QSize sizeHint() const override { return DesignSize(); }
    QSize minimumSizeHint() const override {
        return QSize(int(std::ceil(DesignSize().width() * Zoom::Min)),
                     int(std::ceil(DesignSize().height() * Zoom::Min)));
    }
    static QSize DesignSize() {
        return QSize(Layout::TableWidth / TwipsPerPixel, Layout::TableHeight / TwipsPerPixel);
    }

    // The table laid on the cloth (a sibling above it, not a child).
    void Lay(QWidget* table) {
        table_ = table;
        // Only the margin is painted here: the table paints itself, and filling the whole
        // window twice at every step of a resize would slow the resize.
        setAutoFillBackground(false);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

  protected:
    void resizeEvent(QResizeEvent*) override { resized_(); }
    void paintEvent(QPaintEvent* e) override {
        QRegion margin = e->region();
        if (table_) margin -= QRegion(table_->geometry().translated(-pos()));
        QPainter p(this);
        for (const QRect& r : margin)
            p.fillRect(r, palette().window());
    }

  private:
    std::function<void()> resized_;
    QPointer<QWidget> table_;
};

} // namespace

bool KeyboardInUse() {
    return keysInUse;
}

// ---------------------------------------------------------------- CardPic

CardPic::CardPic(int index, QWidget* parent) : QWidget(parent), index_(index) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
    setObjectName(QStringLiteral("CardsPic%1").arg(index));
    SetImage(CardImage::FirstBack);
    Move(left_, top_);
}

void CardPic::SetImage(int image) {
    image_ = image;
    Place(QRect(pos(), CardImages::ShownSize(image, Zoom::Factor())));
    UpdateAccessibility();
    update();
}

void CardPic::Move(int left, int top) {
    left_ = left;
    top_ = top;
    Place(QRect(QPoint(Px(left), Px(top)), size()));
}

// At a fractional device pixel ratio (150 %) a card whose edge falls between two device pixels
// paints the device pixel row or column that holds its edge, while the region Qt repaints
// behind it when it moves or shrinks is rounded from the same logical rectangle the other way:
// the row was left behind as a one-pixel light line. The old place is repainted with a margin
// of one pixel all round.
void CardPic::Place(const QRect& r) {
    const QRect old = geometry();
    if (r == old) return;
    setGeometry(r);
    if (isVisible() && parentWidget()) parentWidget()->update(old.adjusted(-1, -1, 1, 1));
}

void CardPic::ZOrder() {
    raise();
}

void CardPic::Rezoom() {
    Place(QRect(QPoint(Px(left_), Px(top_)), CardImages::ShownSize(image_, Zoom::Factor())));
}

bool CardPic::Covered() const {
    const QObjectList& siblings = parentWidget()->children();
    for (qsizetype i = siblings.indexOf(const_cast<CardPic*>(this)) + 1; i < siblings.size(); ++i) {
        const auto* above = qobject_cast<const CardPic*>(siblings[i]);
        if (above && above->isVisible() && above->geometry() == geometry()) return true;
    }
    return false;
}

void CardPic::UpdateAccessibility() {
    // A hidden card is only ever a card back to assistive technology.
    const bool faceUp = image_ >= 1 && image_ <= 52;
    setAccessibleName(faceUp ? G.Cards[image_].FullName : QStringLiteral("Card back"));
}

void CardPic::paintEvent(QPaintEvent*) {
    // A card lying exactly under another (the pack, a pile) would be painted over at once.
    if (Covered()) return;
    QPainter p(this);
    const qreal dpr = devicePixelRatioF();
    p.drawPixmap(0, 0,
                 windowResizing ? CardImages::Scaled(image_, dpr, Zoom::Factor())
                                : CardImages::Image(image_, dpr, Zoom::Factor()));
    if (!hasFocus() || !KeyboardInUse()) return;
    // The focus mark: a brown band, the playing area's border colour, that shows on every
    // face, lined with the labels' light yellow where it meets the picture. Drawn in
    // logical pixels, so it keeps its weight at every scale.
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r = QRectF(rect());
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(128, 64, 0), 3));
    p.drawRoundedRect(r.adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
    p.setPen(QPen(QColor(255, 255, 128), 1.5));
    p.drawRoundedRect(r.adjusted(3.75, 3.75, -3.75, -3.75), 2, 2);
}

// Left/Right, Home/End go through the hand on the player's turn; Return or Space plays the
// focused card exactly as a click on it would.
void CardPic::keyPressEvent(QKeyEvent* e) {
    const int key = e->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        if (!e->isAutoRepeat()) Activate();
        return;
    }
    if (key != Qt::Key_Left && key != Qt::Key_Right && key != Qt::Key_Home && key != Qt::Key_End) {
        QWidget::keyPressEvent(e);
        return;
    }
    const QList<CardPic*> hand = PlayerHandPics(parentWidget());
    if (G.Turn != 1 || hand.isEmpty()) return;
    const int at = int(hand.indexOf(this));
    const int last = int(hand.size()) - 1;
    int to = 0;
    if (at >= 0 && key == Qt::Key_Left) to = std::max(at - 1, 0);
    if (at >= 0 && key == Qt::Key_Right) to = std::min(at + 1, last);
    if (key == Qt::Key_End) to = last;
    hand[to]->setFocus(Qt::OtherFocusReason);
}

void CardPic::mousePressEvent(QMouseEvent* e) {
    pressed_ = e->button() == Qt::LeftButton;
    e->accept();
}

void CardPic::mouseReleaseEvent(QMouseEvent* e) {
    const bool click = pressed_ && e->button() == Qt::LeftButton && rect().contains(e->position().toPoint());
    pressed_ = false;
    if (click) emit clicked(index_);
}

// ---------------------------------------------------------------- Table

void SetCaption(QLabel* label, const QString& text) {
    label->setText(text);
    Table::AutoSize(label);
}

void Table::AutoSize(QLabel* l) {
    if (l->property("autoSize").toBool()) FitToText(l);
}

Table::Table() {
    InstallTableAccessibility();
    // Every table opens at the design size; the start-up fits it to the screen.
    Zoom::Current() = Zoom::Default;
    setWindowTitle(QStringLiteral("Vantrick!"));
    setWindowIcon(QIcon(DataFiles::AssetPath(QStringLiteral("vantrick.svg"))));
    setFont(DesignFont(Face::Verdana, 9.75, Bold));

    Cloth = new ClothArea(this, [this] { FitTableToWindow(); });
    Cloth->setObjectName(QStringLiteral("Cloth"));
    Colour(Cloth, Rgb(0, 64, 0), Rgb(255, 255, 128));
    setCentralWidget(Cloth);
    Client = new QWidget(this);
    Client->setObjectName(QStringLiteral("Table"));
    Client->setFixedSize(Px(Layout::TableWidth), Px(Layout::TableHeight));
    Colour(Client, Rgb(0, 64, 0), Rgb(255, 255, 128));
    Client->setFont(font());
    static_cast<ClothArea*>(Cloth)->Lay(Client);

    Shape1 = new RoundedArea(Client);
    Shape1->setGeometry(PxRect(2760, 2400, 5280, 3645));
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Shape1->setAccessibleName(QStringLiteral("Playing area"));

    const QColor darkGreen = Rgb(0, 64, 0), lightYellow = Rgb(255, 255, 128);
    auto design = [](int seat) { return QString::fromLatin1(Seats::Table[seat].design); };
    lblPlayer = MakeLabel(Client, 840, 7680, 0, 0, design(1), true);
    lblPlayer->setFont(DesignFont(Face::Verdana, 11.25, Bold));
    lblProf = MakeLabel(Client, 0, 4440, 0, 0, design(2), true);
    LblMarigold = MakeLabel(Client, 2280, 960, 0, 0, design(3), true);
    lblTabitha = MakeLabel(Client, 9720, 4440, 0, 0, design(4), true);
    lblBid[1] = MakeLabel(Client, 3000, 7680, 0, 0, QString(), true);
    lblBid[2] = MakeLabel(Client, 0, 4800, 1395, 960, QString(), false);
    lblBid[3] = MakeLabel(Client, 3240, 120, 0, 0, QString(), true);
    lblBid[4] = MakeLabel(Client, 9720, 4800, 1395, 1080, QString(), false);
    for (QLabel* l :
         {lblPlayer, lblProf, LblMarigold, lblTabitha, lblBid[1], lblBid[2], lblBid[3], lblBid[4]})
        Colour(l, darkGreen, lightYellow);
    Colour(lblProf, Rgb(0, 64, 64), lightYellow);
    for (QLabel* l : {lblProf, LblMarigold, lblTabitha}) {
        l->setFont(DesignFont(Face::Verdana, 9.75, Bold | Italic));
        AutoSize(l);
    }
    for (int s = 1; s <= 4; ++s)
        lblBid[s]->setProperty("bidSeat", s); // whose bid, for assistive technology
    for (QLabel* l : {lblBid[2], lblBid[4]}) {
        l->setWordWrap(true);
        l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }
    AutoSize(lblPlayer);

    ImgProf = new Portrait(QStringLiteral("prof.svg"), Client);
    ImgProf->setGeometry(PxRect(0, 3600, 675, 825));
    ImgProf->setToolTip(QString::fromLatin1(Seats::Table[2].portrait));
    ImgComps3 = new Portrait(QStringLiteral("marigold.svg"), Client);
    ImgComps3->setGeometry(PxRect(2280, 120, 825, 840));
    ImgComps3->setToolTip(QString::fromLatin1(Seats::Table[3].portrait));
    ImgComps0 = new Portrait(QStringLiteral("lady.svg"), Client);
    ImgComps0->setGeometry(PxRect(10440, 3480, 525, 855));
    ImgComps0->setToolTip(QString::fromLatin1(Seats::Table[4].portrait));
    ImgProf->setAccessibleName(QStringLiteral("Portrait of the Prof"));
    ImgComps3->setAccessibleName(QStringLiteral("Portrait of Marigold"));
    ImgComps0->setAccessibleName(QStringLiteral("Portrait of the Lady"));

    FramScores = new QFrame(Client);
    FramScores->setObjectName(QStringLiteral("FramScores"));
    FramScores->setGeometry(PxRect(7800, 0, 3255, 1695));
    FramScores->setFrameShape(QFrame::Box);
    FramScores->setFrameShadow(QFrame::Sunken);
    Colour(FramScores, Rgb(192, 192, 0), Qt::black);
    FramScores->setToolTip(QStringLiteral("The  scores"));
    const QString frameCaption = QStringLiteral("Game Score            Hand Score");
    FramScores->setAccessibleName(frameCaption);
    auto* caption = new QLabel(FramScores);
    caption->setTextFormat(Qt::PlainText);
    caption->setText(frameCaption);
    caption->setFont(DesignFont(Face::Verdana, 8.25, Bold | Underlined));
    caption->setObjectName(QStringLiteral("FramScoresCaption"));
    caption->setProperty("autoSize", true);
    caption->move(Px(120), 0);
    caption->adjustSize();
    const int rowTops[5] = {0, 240, 600, 960, 1320};
    for (int s = 1; s <= 4; ++s) {
        LblScores[s] = MakeLabel(FramScores, 120, rowTops[s], 1935, 255, design(s), false);
        LblHandSc[s] = MakeLabel(FramScores, 2160, rowTops[s], 615, 255, QString(), false);
        for (QLabel* l : {LblScores[s], LblHandSc[s]}) {
            Colour(l, Rgb(255, 255, 192), Qt::black);
            l->setFont(DesignFont(Face::Verdana, 9, Bold));
        }
    }

    LblRounds = MakeLabel(Client, 8040, 1800, 3255, 375, QString(), false);
    LblRounds->setToolTip(QStringLiteral("Current number cards dealt this hand"));
    LblTrumps = MakeLabel(Client, 8040, 2160, 3135, 255, QString(), false);
    for (QLabel* l : {LblRounds, LblTrumps})
        Colour(l, darkGreen, Rgb(255, 255, 192));

    for (int i = 1; i <= 52; ++i) {
        CardsPic[i] = new CardPic(i, Client);
        // Only the first picture shows until the pack is laid out.
        CardsPic[i]->setVisible(i == 1);
        connect(CardsPic[i], &CardPic::clicked, this, [this](int index) {
            // A card played is a chain of play: refused while one is already running.
            Waits::RunChain([this, index] { Waits::RunPlay([this, index] { CardsPic_Click(index); }); });
        });
    }

    BtnContinue = new QPushButton(QStringLiteral("Carr&y On"), Client);
    BtnContinue->setGeometry(PxRect(4800, 3840, 1095, 735));
    BtnContinue->setToolTip(QStringLiteral("Click to play next trick"));
    BtnContinue->setFont(DesignFont(Face::Verdana, 9, Bold));
    BtnContinue->setStyleSheet(QStringLiteral("QPushButton { background-color: rgb(192,192,0); color: black;"
                                              " border: 2px outset rgb(224,224,96); }"
                                              "QPushButton:pressed { border-style: inset; }"
                                              "QPushButton:focus { border-color: rgb(255,255,160); }"));
    BtnContinue->hide();
    new KeyWatch(BtnContinue, this);
    connect(BtnContinue, &QPushButton::clicked, this, [this] { BtnContinue_Click(); });

    List1 = new QListWidget(Client);
    List1->setGeometry(PxRect(0, 8040, 11175, 915));
    List1->setToolTip(QStringLiteral("General Instructions and record of game"));
    List1->setFont(DesignFont(Face::TimesNewRoman, 12, Bold));
    List1->setAccessibleName(QStringLiteral("Messages"));
    List1->setFocusPolicy(Qt::NoFocus);
    QPalette lp = List1->palette();
    lp.setColor(QPalette::Base, Rgb(0, 0, 128));
    lp.setColor(QPalette::Text, Rgb(128, 255, 255));
    lp.setColor(QPalette::Highlight, Rgb(0, 0, 96));
    lp.setColor(QPalette::HighlightedText, Qt::white);
    List1->setPalette(lp);
    List1->setFrameShape(QFrame::NoFrame);
    connect(List1->model(), &QAbstractItemModel::rowsInserted, List1,
            [this](const QModelIndex&, int, int last) { AnnounceListLine(List1, last); });

    // Menus.
    auto run = [this](void (Table::*handler)()) {
        return [this, handler] { Waits::RunChain([this, handler] { (this->*handler)(); }); };
    };
    // Captions carry access keys (Alt+letter); the words are the same.
    MnuPlay = menuBar()->addMenu(QStringLiteral("&Play"));
    MNuNew = MnuPlay->addAction(QStringLiteral("&New Game"), run(&Table::MNuNew_Click));
    MNuNew->setShortcut(QKeySequence(Qt::Key_F2));
    MnuExit = MnuPlay->addAction(QStringLiteral("E&xit"), run(&Table::MnuExit_Click));
    MnuExit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_X));
    MnuHelp = menuBar()->addMenu(QStringLiteral("&Help"));
    MnuVTHelp = MnuHelp->addAction(QStringLiteral("Vantrick &Help"), run(&Table::MnuVTHelp_Click));
    MnuVTHelp->setShortcut(QKeySequence(Qt::Key_F1));
    MnuChangeName = menuBar()->addAction(QStringLiteral("&Change Your Name"));
    connect(MnuChangeName, &QAction::triggered, this, run(&Table::MnuChangeName_Click));
    MnuStats = menuBar()->addMenu(QStringLiteral("Game &Statistics"));
    MnuWon = MnuStats->addAction(QStringLiteral("Number Games &Won"), run(&Table::MnuWon_Click));
    MnuWon->setShortcut(QKeySequence(Qt::Key_F4));
    MnuDelete = MnuStats->addAction(QStringLiteral("&Delete Statistics"), run(&Table::MnuDelete_Click));
    MnuAbout = menuBar()->addAction(QStringLiteral("&About Vantrick"));
    connect(MnuAbout, &QAction::triggered, this, run(&Table::MnuAbout_Click));
    for (QAction* a : {MNuNew, MnuExit, MnuVTHelp, MnuWon, MnuDelete})
        a->setShortcutContext(Qt::ApplicationShortcut);
    // F10 opens the first menu that can be opened, as on every desktop.
    auto* menuKey = new QAction(this);
    menuKey->setShortcut(QKeySequence(Qt::Key_F10));
    addAction(menuKey);
    connect(menuKey, &QAction::triggered, this, [this] {
        for (QAction* a : menuBar()->actions())
            if (a->menu() && a->isEnabled()) {
                menuBar()->setActiveAction(a);
                return;
            }
    });

    connect(&preparing_, &QTimer::timeout, this, [this] { PrepareNext(); });

    // Every control but the cards (which keep their own places in twips), as designed.
    controls_.Capture(Client, [](QWidget* w) { return !qobject_cast<CardPic*>(w); });
    controls_.Capture(FramScores);
    Marks = new TableMarks(this);
    Client->raise();
    // The design size (adjustSize would hold a top-level window to part of the screen).
    resize(sizeHint());
}

void Table::ApplyZoom(double zoom, bool resizing) {
    Probe::Mark("zoom-begin");
    Zoom::Current() = zoom;
    windowResizing = resizing;
    Client->setFixedSize(Px(Layout::TableWidth), Px(Layout::TableHeight));
    // While the window is being resized the text keeps its size: setting every label and line
    // again in a new font at each step would stall the drag. The fonts follow when it stops.
    controls_.Apply(!resizing);
    for (int i = 1; i <= 52; ++i)
        CardsPic[i]->Rezoom();
    Marks->Place();
    if (!resizing) FinishZoom();
    PrepareForZoom();
    Probe::Mark("zoom-end");
}

void Table::FinishZoom() {
    CardImages::KeepOnly(devicePixelRatioF(), Zoom::Factor());
    BidFormFollowZoom();
    MsgDeluxeFollowZoom();
    HelpFollowZoom();
    ScoreSheetFollowZoom();
}

void Table::PrepareForZoom() {
    // Not while the window is still being resized: each step would start again.
    prepared_ = 0;
    preparing_.start(ResizeSettleMs);
}

void Table::PrepareNext() {
    const qreal dpr = devicePixelRatioF();
    // Images already drawn (those the table shows were drawn as it was painted) take no turn.
    while (prepared_ < CardImages::Count && CardImages::IsCached(prepared_ + 1, dpr, Zoom::Factor()))
        ++prepared_;
    preparing_.setInterval(0);
    if (windowResizing) {
        // The resizing has stopped: the text takes its size, the portraits are drawn afresh.
        windowResizing = false;
        controls_.Apply();
        FinishZoom();
        for (QLabel* portrait : {ImgProf, ImgComps3, ImgComps0})
            portrait->update();
    }
    // First the cards on show that were drawn scaled, each repainted as soon as its image is.
    for (int i = 1; i <= 52; ++i) {
        const int image = CardsPic[i]->Image();
        if (!CardsPic[i]->isVisible() || CardImages::IsCached(image, dpr, Zoom::Factor())) continue;
        CardImages::Image(image, dpr, Zoom::Factor());
        for (int j = i; j <= 52; ++j)
            if (CardsPic[j]->Image() == image) CardsPic[j]->update();
        return;
    }
    if (prepared_ < CardImages::Count) {
        CardImages::Image(++prepared_, dpr, Zoom::Factor());
        return;
    }
    if (!controls_.WarmUpFont(size_t(prepared_++ - CardImages::Count), dpr)) preparing_.stop();
}

void Table::FitTableToWindow() {
    if (!Client) return;
    const QRect area = Cloth->geometry();
    const double zoom = Zoom::ToFill(area.size(), ClothArea::DesignSize());
    if (zoom != Zoom::Factor()) {
        // A change soon after the last one is a drag (or a resizing animation) under way.
        const bool resizing = lastFit_.isValid() && lastFit_.elapsed() < ResizeSettleMs;
        lastFit_.start();
        ApplyZoom(zoom, resizing);
    }
    Client->move(area.x() + (area.width() - Client->width()) / 2,
                 area.y() + (area.height() - Client->height()) / 2);
}

void Table::FitWindowToScreen() {
    QScreen* screen = this->screen();
    if (!screen) return;
    // The frame and the menu bar keep their size at every zoom.
    const QSize frame = frameGeometry().size() - geometry().size();
    const QSize fixed = frame + QSize(0, menuBar()->heightForWidth(width()));
    const double zoom = Zoom::AtStart(screen->availableGeometry().size(), fixed, ClothArea::DesignSize());
    if (zoom != Zoom::Factor()) ApplyZoom(zoom);
    resize(Client->size() + QSize(0, fixed.height() - frame.height()));
    QRect placed = frameGeometry();
    placed.setSize(size() + frame);
    placed.moveCenter(screen->availableGeometry().center());
    move(placed.topLeft());
}

void EnablePlayMenu(bool enabled) {
    Table& t = TableForm();
    t.MnuPlay->setEnabled(enabled);
    t.MnuPlay->menuAction()->setEnabled(enabled);
    t.MNuNew->setEnabled(enabled);
    t.MnuExit->setEnabled(enabled);
}

void Table::Form_Load() {
    // The 52 card pictures already exist, every one showing the back.
    G.PlayerName = DataFiles::LoadName();
    LoadStatistics();
    G.PlayerNames[1] = G.PlayerName;
    for (int s = 2; s <= 4; ++s)
        G.PlayerNames[s] = QString::fromLatin1(Seats::Table[s].messages);
    ::SetCaption(lblPlayer, G.PlayerName);
    // The Prof greets the player by name; the others say their own hello.
    ::SetCaption(lblProf, QString::fromLatin1(Seats::Table[2].greeting) + G.PlayerName);
    ::SetCaption(LblMarigold, QString::fromLatin1(Seats::Table[3].greeting));
    ::SetCaption(lblTabitha, QString::fromLatin1(Seats::Table[4].greeting));
    for (int i = 1; i <= 52; ++i)
        G.Cards[i].Holder = Holders::Pack;
    G.PauseMs = Pacing::Standard;
    MakeCards();
    for (int i = 1; i <= 52; ++i)
        CardsPic[i]->SetImage(CardImage::FirstBack); // names follow the filled records

    // The first frame shows only card backs (drawn when first painted); the other pictures are
    // drawn while the pack is riffled, so that no card is ever drawn in the middle of play.
    new AfterFirstFrame(Client, [this] {
        CardImages::Prepare(Client->devicePixelRatioF(), Zoom::Factor());
        PrepareForZoom(); // the fonts' glyphs
        // The dialogs' windows too, so that their first showing does not stall a hand.
        DeluxeForm().WarmUp();
        BidForm().WarmUp();
    });
    FitWindowToScreen();
    show();
    activateWindow(); // keyboard focus too, with or without a window manager
    // Once more when the frame's size is known.
    FitWindowToScreen();
    Sound::Preload();
    ShowPack();
    Probe::Mark("pack-stacked");
    ShowInfo(G.PlayerName +
             QStringLiteral(
                 " welcome to another round of Vantrick. Just press F2 or use Play menu to deal the cards"));
    OfferSavedGame();
}

void Table::OfferSavedGame() {
    const std::optional<int> hand = SavedGameHand();
    if (!hand) return;
    const int answer = MsgDeluxe(
        G.PlayerName + QStringLiteral(" your last game was not finished. Do you wish to carry on with "
                                      "it, at hand %1 of 19?")
                           .arg(*hand),
        QStringLiteral("Yes"), QStringLiteral("No"), QString(), 1, QStringLiteral("Unfinished Game"));
    // A file that changed in the meantime may no longer be a game: then it is dropped too.
    if (answer != 0 || !RestoreSavedGame()) {
        DropSavedGame();
        return;
    }
    CarryOnWhenFree();
}

void Table::CarryOnWhenFree() {
    // From the event loop, as a chain of play of its own; while a question is open or another
    // chain plays (a command that came first), it waits its turn, unless the game was given up.
    QTimer::singleShot(0, this, [this] {
        if (!CarryOnPending()) return;
        bool ran = false;
        Waits::RunChain([&ran] { ran = Waits::RunPlay(CarryOnSavedGame); });
        if (!ran && CarryOnPending()) QTimer::singleShot(50, this, [this] { CarryOnWhenFree(); });
    });
}

void Table::MNuNew_Click() {
    // A hand already under way (even the first, before its game counts as on) is never dealt
    // over: New Game then asks, and a confirmed new game starts once the old chain is gone.
    if (!G.GameOn && Waits::PlayDepth() == 0) {
        Waits::RunPlay(StartHand);
        return;
    }
    const int answer = MsgDeluxe(
        G.PlayerName +
            QStringLiteral(" you are in the middle of a game, are you sure you wish to start a new one?"),
        QStringLiteral("Yes"), QStringLiteral("Oops No"), QString(), 1, QStringLiteral("New Game?"));
    if (answer == 0) {
        G.GameOn = false;
        DropSavedGame();     // a game given up is not offered again
        BtnContinue->hide(); // a trick left waiting for Carry On is given up with its game
        // Whatever part of the old hand is waiting (a pause, Carry On) is given up; the new
        // game starts once it has unwound.
        Waits::AbandonChain();
        Waits::StartWhenUnwound([] { Waits::RunPlay(StartHand); });
    }
}

void Table::MnuExit_Click() {
    if (!G.GameOn) {
        ExitProgram();
        return;
    }
    if (MsgDeluxe(G.PlayerName +
                      QStringLiteral(" you are in the middle of a game, are you sure you wish to exit?"),
                  QStringLiteral("Exit"), QStringLiteral("Cancel"), QString(), 1,
                  QStringLiteral("Really Exit?")) == 0)
        ExitProgram();
}

void Table::closeEvent(QCloseEvent* e) {
    if (closingByProgram_ || Waits::Exiting()) {
        e->accept();
        return;
    }
    e->ignore();
    Waits::RunChain([this] {
        QMessageBox box(
            QMessageBox::Critical, QStringLiteral("Do you really wish to shut everything down?"),
            QStringLiteral("If you click OK then everything will shut down, else click on Cancel and "
                           "carry on with your game  "),
            QMessageBox::Ok | QMessageBox::Cancel, this);
        box.setObjectName(QStringLiteral("ShutDownQuestion"));
        if (Waits::RunDialog(box) == QMessageBox::Ok) ExitProgram();
    });
    // The window was already closing when OK was chosen: let this close go through.
    if (Waits::Exiting()) e->accept();
}

void Table::MnuChangeName_Click() {
    QMessageBox ask(QMessageBox::Critical, QStringLiteral("New Name"),
                    QStringLiteral("If you wish to enter or change the player's name click Yes"),
                    QMessageBox::Yes | QMessageBox::No, this);
    ask.setObjectName(QStringLiteral("NewNameQuestion"));
    if (Waits::RunDialog(ask) != QMessageBox::Yes) return;

    QInputDialog input(this);
    input.setObjectName(QStringLiteral("PlayerNameInput"));
    input.setWindowTitle(QStringLiteral("Player's Name"));
    input.setLabelText(QStringLiteral("Please enter player's name."));
    input.setTextValue(QString());
    if (auto* edit = input.findChild<QLineEdit*>()) edit->setMaxLength(int(DataFiles::MaxNameLength));
    QString name =
        DataFiles::LimitName(Waits::RunDialog(input) == QDialog::Accepted ? input.textValue() : QString());
    // The file keeps the name between double quotes; a quote inside it would cut it short.
    name.replace(QLatin1Char('"'), QLatin1Char('\''));
    name.remove(QLatin1Char('\r'));
    name.remove(QLatin1Char('\n'));
    G.PlayerName = name;
    G.PlayerNames[1] = name;
    ::SetCaption(lblPlayer, QStringLiteral("Welcome ") + name);
    DataFiles::SaveName(name);
}

void Table::MnuVTHelp_Click() {
    ShowHelp();
}

void Table::MnuAbout_Click() {
    ShowAbout();
}

void Table::MnuWon_Click() {
    const auto& w = G.GamesWon;
    MsgDeluxe(QStringLiteral(" you have won %1 games. Quimby has won %2 games. Marigodl has won %3 games. "
                             "Tabitha has won %4 games.")
                  .arg(w[1])
                  .arg(w[2])
                  .arg(w[3])
                  .arg(w[4]),
              QStringLiteral("Right"), QString(), QString(), 1, QStringLiteral("Game Statistics"));
}

void Table::MnuDelete_Click() {
    if (MsgDeluxe(
            G.PlayerName +
                QStringLiteral(" are you sure you wish to delete all statistics of games won and lost?"),
            QStringLiteral("Yes"), QStringLiteral("No"), QString(), 1,
            QStringLiteral("Delete Statisitcs?")) != 0)
        return;
    for (int s = 1; s <= 4; ++s)
        G.GamesWon[s] = 0;
    SaveStatistics();
}

void Table::BtnContinue_Click() {
    BtnContinue->hide();
    G.ContinueFlag = true;
    Waits::Notify();
}

void Table::CardsPic_Click(int Index) {
    if (Index < 1 || Index > 52) return;
    if (!(G.Turn == 1 && G.Cards[Index].Holder == 1)) return;
    if (!IsLegalPlay(1, Index)) {
        MsgDeluxe(G.PlayerName + QStringLiteral(" you have the current suit and must play it."),
                  QStringLiteral("Oops"), QString(), QString(), 1, QStringLiteral("You have the suit"));
        return;
    }
    G.Turn = 0;
    PlayCard(1, Index);
}

QList<CardPic*> PlayerHandPics(const QWidget* client) {
    QList<CardPic*> hand;
    if (!client) return hand;
    for (CardPic* pic : client->findChildren<CardPic*>(Qt::FindDirectChildrenOnly))
        if (G.Cards[pic->Index()].Holder == 1 && pic->Image() == pic->Index() && !pic->isHidden())
            hand << pic;
    std::stable_sort(hand.begin(), hand.end(), [](CardPic* a, CardPic* b) { return a->Left() < b->Left(); });
    return hand;
}

void HandTakesFocus() {
    if (!TableExists()) return;
    Table& t = TableForm();
    const QList<CardPic*> hand = PlayerHandPics(t.Client);
    if (hand.isEmpty() || hand.contains(qobject_cast<CardPic*>(t.focusWidget()))) return;
    hand.first()->setFocus(Qt::OtherFocusReason);
}

Table& TableForm() {
    if (!theTable) {
        theTable = new Table();
        SetView(theTable.data());
    }
    return *theTable;
}

bool TableExists() {
    return !theTable.isNull();
}

void DestroyTableForm() {
    SetView(nullptr);
    delete theTable.data();
}

void ExitProgram() {
    Waits::BeginExit();
    if (theTable) {
        theTable->closingByProgram_ = true;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != theTable.data()) w->hide();
        theTable->close();
    }
    if (ExitHook)
        ExitHook();
    else
        QCoreApplication::exit(0);
}
