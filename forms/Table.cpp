#include "Table.h"

#include "AfterFirstFrame.h"
#include "CardImages.h"
#include "ClothArea.h"
#include "DataFiles.h"
#include "Deal.h"
#include "Fonts.h"
#include "FrmBid.h"
#include "Game.h"
#include "HeldMenuBar.h"
#include "Layout.h"
#include "MFormDeluxe.h"
#include "MessageDialog.h"
#include "Options.h"
#include "Pacing.h"
#include "Playable.h"
#include "Portrait.h"
#include "Probe.h"
#include "Resume.h"
#include "RoundedArea.h"
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
#include <QWindow>
#include <algorithm>
#include <memory>

namespace {

QColor Rgb(int r, int g, int b) {
    return QColor(r, g, b);
}

// The table's cloth.
QColor DarkGreen() {
    return Rgb(0, 64, 0);
}

// A seat's name as the table shows it before the first hand.
QString DesignName(int seat) {
    return QString::fromLatin1(Seats::Table[seat].design);
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

} // namespace

// ---------------------------------------------------------------- Table

void SetCaption(QLabel* label, const QString& text) {
    label->setText(text);
    Table::AutoSize(label);
}

void Table::AutoSize(QLabel* l) {
    if (l->property("autoSize").toBool()) FitToText(l);
}

Table::Table(Game& game) : game(game), G(game.G) {
    InstallTableAccessibility();
    // Every table opens at the design size; the start-up fits it to the screen.
    Zoom::Current() = Zoom::Default;
    setWindowTitle(QStringLiteral("Vantrick!"));
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
    static_cast<ClothArea*>(Cloth)->AfterPictureFrame([this] { image_.AfterFrame(); });

    Shape1 = new RoundedArea(Client);
    Shape1->setGeometry(PxRect(2760, Layout::PlayingAreaTop, 5280, 3645));
    Shape1->setAttribute(Qt::WA_TransparentForMouseEvents);
    Shape1->setAccessibleName(QStringLiteral("Playing area"));

    MakeSeatLabels();
    MakePortraits();
    MakeScoreBoard();
    MakeCardsAndCarryOn();
    MakeMessageList();
    setMenuBar(new HeldMenuBar(this));
    MakeMenus();

    connect(&preparing_, &QTimer::timeout, this, [this] { PrepareNext(); });
    rested_.setSingleShot(true);
    connect(&rested_, &QTimer::timeout, this, [this] { ResizingRested(); });

    // Every control but the cards (which keep their own places in twips), as designed.
    controls_.Capture(Client, [](QWidget* w) { return !qobject_cast<CardPic*>(w); });
    controls_.Capture(FramScores);
    Marks = new TableMarks(this);
    Client->raise();
    // The design size (adjustSize would hold a top-level window to part of the screen).
    resize(sizeHint());
    SetView(this), SetDecider(this), SetProgram(this);
}

// The seats' names and the bid lines under them.
void Table::MakeSeatLabels() {
    const QColor darkGreen = DarkGreen(), lightYellow = Rgb(255, 255, 128);
    lblPlayer = MakeLabel(Client, 840, 7680, 0, 0, DesignName(1), true);
    lblPlayer->setFont(DesignFont(Face::Verdana, 11.25, Bold));
    lblProf = MakeLabel(Client, 0, 4440, 0, 0, DesignName(2), true);
    LblMarigold = MakeLabel(Client, 2280, 960, 0, 0, DesignName(3), true);
    lblTabitha = MakeLabel(Client, 9720, 4440, 0, 0, DesignName(4), true);
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
}

// The three opponents' portraits.
void Table::MakePortraits() {
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
}

// The score board at top right, and the hand size and trumps below it.
void Table::MakeScoreBoard() {
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
        LblScores[s] = MakeLabel(FramScores, 120, rowTops[s], 1935, 255, DesignName(s), false);
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
        Colour(l, DarkGreen(), Rgb(255, 255, 192));
}

// The 52 card pictures and Carry On: a card clicked or Carry On pressed goes to its handler.
void Table::MakeCardsAndCarryOn() {
    for (int i = 1; i <= 52; ++i) {
        CardsPic[i] = new CardPic(i, Client, G, [this] { return keys_ && keys_->InUse(); });
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
    keys_ = new KeyWatch(BtnContinue, this);
    connect(BtnContinue, &QPushButton::clicked, this, [this] { BtnContinue_Click(); });
}

// The message list at the foot of the table, each new line announced.
void Table::MakeMessageList() {
    List1 = new QListWidget(Client);
    List1->setObjectName(QStringLiteral("List1"));
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
    // A line wider than the list (the status line, a long name) wraps rather than bringing a
    // sideways scroll bar over the lines below it; every other line fits as it always has.
    List1->setWordWrap(true);
    connect(List1->model(), &QAbstractItemModel::rowsInserted, List1,
            [this](const QModelIndex&, int, int last) { AnnounceListLine(List1, last); });
}

// The menus and their keys.
void Table::MakeMenus() {
    // Menus.
    auto run = [this](void (Table::*handler)()) {
        return [this, handler] { Waits::RunChain([this, handler] { (this->*handler)(); }); };
    };
    // Captions carry access keys (Alt+letter); the words are the same.
    MnuPlay = menuBar()->addMenu(QStringLiteral("&Play"));
    MNuNew = MnuPlay->addAction(QStringLiteral("&New Game"), run(&Table::MNuNew_Click));
    MNuNew->setShortcut(QKeySequence(Qt::Key_F2));
    MnuHint = MnuPlay->addAction(QStringLiteral("&Hint"), run(&Table::MnuHint_Click));
    MnuHint->setShortcut(QKeySequence(Qt::Key_H));
    MnuTakeBack = MnuPlay->addAction(QStringLiteral("&Take Back"), run(&Table::MnuTakeBack_Click));
    QList<QKeySequence> undoKeys{QKeySequence(Qt::CTRL | Qt::Key_Z)};
    for (const QKeySequence& k : QKeySequence::keyBindings(QKeySequence::Undo))
        if (!undoKeys.contains(k)) undoKeys.append(k);
    MnuTakeBack->setShortcuts(undoKeys);
    MnuTakeBack->setEnabled(false);
    MnuPlay->addSeparator();
    AddChoiceItems();
    MnuPlay->addSeparator();
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
    // A menu closed with Escape leaves the menu bar holding the keyboard with nothing on it
    // marked: the keys would seem to go nowhere. The keyboard goes back where it was (the
    // player's hand) at once, unless another menu of the bar opened meanwhile. A menu left
    // with the arrow keys for a plain command of the bar (Change Your Name) keeps the bar's
    // keyboard, so that Return can choose it.
    for (QMenu* menu : {MnuPlay, MnuHelp, MnuStats})
        connect(menu, &QMenu::aboutToHide, this, [this] {
            if (Keys().LastKey() != Qt::Key_Escape) return;
            QTimer::singleShot(0, this, [this] {
                if (!menuBar()->hasFocus() || QApplication::activePopupWidget()) return;
                QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(menuBar(), &escape);
            });
        });
}

void Table::Form_Load() {
    // The 52 card pictures already exist, every one showing the back.
    Options::Current() = Options::Load();
    ShowChoices();
    // Every sentence and label is made from this form of the name (the file keeps the name).
    G.PlayerName = DataFiles::InSentence(DataFiles::LoadName());
    LoadStatistics(G);
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
    MakeCards(G);
    for (int i = 1; i <= 52; ++i)
        CardsPic[i]->SetImage(CardImage::FirstBack); // names follow the filled records

    // The first frame shows only card backs (drawn when first painted). The other pictures, the
    // fonts' glyphs and the dialogs' windows are made while the pack is riffled, so that no card
    // is ever drawn in the middle of play: not before the first frame is on the screen and the
    // program has been idle a moment (PrepareForZoom waits), and then one at a time between
    // events, so that the riffle runs on smoothly beside them.
    new AfterFirstFrame(Client, [this] {
        // The icon too: the window system asks for it at several sizes, each drawn from the
        // picture, which held up the first frame by a few milliseconds.
        setWindowIcon(QIcon(DataFiles::AssetPath(QStringLiteral("vantrick.svg"))));
        dialogsToWarm_ = 2;
        PrepareForZoom();
    });
    FitWindowToScreen();
    show();
    activateWindow(); // keyboard focus too, with or without a window manager
    // Once more when the frame's size is known.
    FitWindowToScreen();
    Sound::Preload();
    ShowPack(game);
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
    if (answer != 0 || !RestoreSavedGame(game)) {
        DropSavedGame(game);
        return;
    }
    CarryOnWhenFree();
}

void Table::CarryOnWhenFree() {
    // From the event loop, as a chain of play of its own; while a question is open or another
    // chain plays (a command that came first), it waits its turn, unless the game was given up.
    QTimer::singleShot(0, this, [this] {
        if (!CarryOnPending(game)) return;
        bool ran = false;
        Waits::RunChain([this, &ran] { ran = Waits::RunPlay([this] { CarryOnSavedGame(game); }); });
        if (!ran && CarryOnPending(game)) QTimer::singleShot(50, this, [this] { CarryOnWhenFree(); });
    });
}

QList<CardPic*> Table::PlayerHandPics() const {
    return ::PlayerHandPics(Client, G);
}

PanelHost Table::Panels() {
    return {this, Client, &game, [this] { HandTakesFocus(); }};
}

FrmBid& Table::BidForm() {
    if (!bidForm_) {
        bidForm_ = new FrmBid(this, Client);
        bidForm_->AskHint = [this] { FillBidHint(); };
        bidForm_->SayStatus = [this] { ShowInfo(TableStatus(game)); };
        bidForm_->Loaded = [this] {
            ShowInfo(G.PlayerName + QStringLiteral(" please enter your bid above."));
        };
        bidForm_->Notice = [this](const QString& message, const QString& title) {
            MsgDeluxe(message, QStringLiteral("Right"), QString(), QString(), 1, title);
        };
        bidForm_->FollowZoom();
    }
    return *bidForm_;
}

MFormDeluxe& Table::DeluxeForm() {
    if (!deluxeForm_) deluxeForm_ = new MFormDeluxe(this);
    return *deluxeForm_;
}

Table::~Table() {
    if (CurrentView() == this) SetView(nullptr);
    if (CurrentDecider() == this) SetDecider(nullptr);
    if (CurrentProgram() == this) SetProgram(nullptr);
}

void Table::ExitProgram() {
    Waits::BeginExit();
    closingByProgram_ = true;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this) w->hide();
    close();
    if (ExitHook)
        ExitHook();
    else
        QCoreApplication::exit(0);
}
