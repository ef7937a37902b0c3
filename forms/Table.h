#pragma once
// The table window: the card table with its labels, 52 card pictures, the message list,
// the Carry On button and the menus. Its controls keep their design names so that the
// game procedures read like the game's own design (LblTrumps->setText(...)).
//
// It shows one Game, which its owner (the program's main, a test) makes first and keeps
// while the table lives; the table is the view, the decider and the program of the procedures
// of play meanwhile. Its panels and dialogs are its own and are handed what they need of it.

#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QPushButton>
#include <QTimer>
#include <array>
#include <functional>

#include "CardPic.h"
#include "Decider.h"
#include "KeyWatch.h"
#include "PanelHost.h"
#include "Sharp.h"
#include "TableView.h"
#include "Twips.h"
#include "WindowImage.h"
#include "Workers.h"

#include <QPointer>

class FrmBid;
class MFormDeluxe;
class QAction;
class TableMarks;
struct Game;
struct GameState;
class QFrame;
class QMenu;

class Table : public QMainWindow, public TableView, public Decider, public Program {
    Q_OBJECT
  public:
    explicit Table(Game& game);
    ~Table() override;
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    // The game on the table, and its fields (the procedures' G).
    Game& game;
    GameState& G;

    // What the game shows and asks on this window (TableView).
    void SetCardImage(int card, int image) override;
    void MoveCard(int card, Layout::Spot at) override;
    void CardToFront(int card) override;
    void ShowCard(int card, bool shown) override;
    void SetCaption(Caption which, int seat, const QString& text) override;
    void ShowInfo(const QString& text) override;
    void ClearInfo() override;
    void Pause(int ms) override;
    void PlaySound(SoundId sound) override;
    void Beep() override;
    void WaitCarryOn() override;
    qint16 AskBid() override;
    int MsgDeluxe(const QString& message, const QString& button1, const QString& button2,
                  const QString& button3, qint16 icon, const QString& title) override;
    void HandTakesFocus() override;
    void Follow() override;
    void EnablePlayMenu(bool enabled) override;
    // The computers' decisions run on Jobs, joined when the table goes (Decider); the program
    // ends as ExitProgram() ends it (Program).
    qint16 Decide(int seat, bool bidding, const std::function<qint16()>& decide) override;
    void Exit() override;

    // Controls, by their design names. Index 0 of the per-seat arrays is unused.
    QWidget* Client = nullptr; // the 11175 x 8970 twips client area, centred on the cloth
    QWidget* Cloth = nullptr;  // the window's whole area below the menu bar, in the table's green
    QFrame* Shape1 = nullptr;
    std::array<CardPic*, 53> CardsPic{};
    QLabel* lblPlayer = nullptr;
    QLabel* lblProf = nullptr;
    QLabel* LblMarigold = nullptr;
    QLabel* lblTabitha = nullptr;
    std::array<QLabel*, 5> lblBid{};
    QLabel* ImgProf = nullptr;
    QLabel* ImgComps3 = nullptr; // ImgComps(3), seat 3's portrait
    QLabel* ImgComps0 = nullptr; // ImgComps(0), seat 4's portrait
    QFrame* FramScores = nullptr;
    std::array<QLabel*, 5> LblScores{};
    std::array<QLabel*, 5> LblHandSc{};
    QLabel* LblRounds = nullptr;
    QLabel* LblTrumps = nullptr;
    QPushButton* BtnContinue = nullptr;
    QListWidget* List1 = nullptr;

    QMenu* MnuPlay = nullptr;
    QAction* MNuNew = nullptr;
    QAction* MnuHint = nullptr;
    QAction* MnuTakeBack = nullptr;         // enabled while there is a decision of the player's to take back
    QAction* MnuQuickPlay = nullptr;        // the choices of Options.h, checkable
    QAction* MnuCarryOnByItself = nullptr;  //
    QAction* MnuShowPlayable = nullptr;     //
    QMenu* MnuOpponents = nullptr;          // one of three, exclusive:
    QAction* MnuClassicOpponents = nullptr; //   the classic rules,
    QAction* MnuSharpOpponents = nullptr;   //   the sharp method,
    QAction* MnuExpertOpponents = nullptr;  //   the expert method
    QAction* MnuSound = nullptr;            // ticked unless the player turned the sounds off
    QAction* MnuFourColour = nullptr;       // Four-Colour Suits, checkable
    QMenu* MnuLookTime = nullptr;           // Look Time: the standard look or a time of one's own
    QAction* MnuExit = nullptr;
    QMenu* MnuHelp = nullptr;
    QAction* MnuVTHelp = nullptr;
    QAction* MnuChangeName = nullptr;
    QMenu* MnuStats = nullptr;
    QAction* MnuWon = nullptr;
    QAction* MnuDelete = nullptr;
    QAction* MnuAbout = nullptr;

    // Whose turn, the dealer, the bids against the tricks, the last trick, and the score sheet's
    // menu (TableMarks).
    TableMarks* Marks = nullptr;

    // The computers' look-ahead decisions and the hint run on these threads, off the window's;
    // the table joins them when it goes. One hint at a time: H again (or its key repeat) while
    // one is being worked out asks nothing more.
    Workers Jobs;
    bool HintRunning = false;

    // Event handlers.
    void Form_Load();
    // At start-up, after the greeting: an unfinished game is offered, and carried on or dropped.
    void OfferSavedGame();
    void CarryOnWhenFree();
    void MNuNew_Click();
    void MnuExit_Click();
    void MnuHint_Click();
    void MnuTakeBack_Click();
    // Take Back enabled exactly when it can be done now.
    void RefreshTakeBack();
    void MnuChangeName_Click();
    void MnuVTHelp_Click();
    void MnuAbout_Click();
    void MnuWon_Click();
    void MnuDelete_Click();
    void BtnContinue_Click();
    void CardsPic_Click(int Index);

    // The Play menu's choices (TableOptions.cpp): their items added to the menu; their checks
    // set from Options::Current() without saving; what a change does at once.
    void AddChoiceItems();
    void ShowChoices();
    void ChoicesChanged();

    // Brings a label that sizes to its text back to its text's size.
    static void AutoSize(QLabel* l);

    // Lays the table out again at `zoom`: every control, font and card, and the dialogs.
    void ApplyZoom(double zoom);
    // The table at the largest zoom that fits the window, centred on the cloth; while the
    // window's size is changing, its picture instead (ClothArea::ShowPicture).
    void FitTableToWindow();
    // What a zoom change does once the window has its new size: the images of other sizes let
    // go, the dialogs made to follow.
    void FinishZoom();
    // Sizes the window for the screen it opens on: the design size when it fits, otherwise the
    // largest zoom that does.
    void FitWindowToScreen();
    // The window manager's frame has become known or changed: the window is fitted again.
    void FrameKnown();

    // The keyboard's watch: whether the keys are in use, and who takes the keyboard when a
    // window closes.
    KeyWatch& Keys() { return *keys_; }
    // The bid dialog and the message dialog, made on first use and then kept hidden between
    // uses (making a window anew each time held up the table for milliseconds).
    FrmBid& BidForm();
    MFormDeluxe& DeluxeForm();
    // The player's face-up cards on the table, left to right.
    QList<CardPic*> PlayerHandPics() const;
    // What the panels lying over the table (the score sheet, the history) are given.
    PanelHost Panels();
    // The hint, on the player's turn to play: the card that makes the bid in the most ways
    // takes the focus mark and is named with its odds (Hint.cpp).
    void ShowCardHint();
    // While the bid is asked: the hinted bid fills the box and is named.
    void FillBidHint();
    // Closes every window and ends the program at once (abandoning any chain that waits);
    // tests set ExitHook in place of ending the event loop.
    void ExitProgram();
    std::function<void()> ExitHook;

  protected:
    void closeEvent(QCloseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    // The table's parts, made in this order by the constructor.
    void MakeSeatLabels();
    void MakePortraits();
    void MakeScoreBoard();
    void MakeCardsAndCarryOn();
    void MakeMessageList();
    void MakeMenus();
    // A size kept this long ends a resizing: the table is laid out at it.
    static constexpr int ResizeSettleMs = 250;
    // Between events, one at a time: the card images and the glyphs of the table's fonts at
    // the zoom just set, so that no card or message of the game is the first to need them.
    void PrepareForZoom();
    void PrepareNext();
    QTimer preparing_;
    // The window's size has not changed for ResizeSettleMs: the table is laid out at its size.
    void ResizingRested();
    // A part of the window (the table, the menu bar) as the window shows it, for a picture of it
    // to stand in for it while the size changes.
    QImage Shown(QWidget* part);
    QTimer rested_;
    // The window's image kept ready for the next steps of a drag of its edge.
    WindowImage image_{this};
    int prepared_ = 0;
    int dialogsToWarm_ = 0; // the message and bid dialogs' windows, made once after start-up
    QSize fittedFrame_;     // the window manager's frame the window was last fitted with
    ZoomedControls controls_;
    bool closingByProgram_ = false;
    KeyWatch* keys_ = nullptr;
    QPointer<FrmBid> bidForm_;
    QPointer<MFormDeluxe> deluxeForm_;
    // Runs the hint's look-ahead on one of Jobs and hands the answer to `use`, unless the game
    // has moved on meanwhile.
    void RunHint(std::function<Sharp::Estimate()> decide, std::function<void(const Sharp::Estimate&)> use);
};

// Sets a label's caption; a label that sizes to its text is resized to it.
void SetCaption(QLabel* label, const QString& text);
