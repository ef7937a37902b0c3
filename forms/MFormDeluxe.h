#pragma once
// The program's own message dialog window: a borderless olive window with a title strip,
// the message, the flame picture and up to three buttons drawn as raised panels.
// MsgDeluxe (Module2) lays it out and shows it; only a click on a caption (or Space on the
// caption that has the focus) answers it.
//
// Every position is kept in twips, as the layout computes it, and mapped to pixels with
// Px(). Half twips (the three-button row puts lefts at 292.5, 1612.5, 2932.5) are rounded
// up to the next whole twip when stored.

#include <QAbstractButton>
#include <QHash>
#include <QLabel>
#include <QRect>
#include <QWidget>
#include <array>

#include "Twips.h"

// `font`, made smaller if need be (never below a few pixels) until `text` drawn with `flags`
// fits inside `room`: rounding sizes to whole pixels at some zooms leaves a box a pixel or two
// short of the text it was designed for.
QFont FontThatFits(QFont font, const QRect& room, int flags, const QString& text);

// The caption of one button: the part the player clicks. It is a real button to assistive
// technology (named by its caption) but looks like plain green text inside its panel. It
// takes focus with Tab and is pressed with Space; no other key answers the dialog.
class DeluxeCaption : public QAbstractButton {
    Q_OBJECT
  public:
    DeluxeCaption(int index, QWidget* parent);
    void SetCaption(const QString& caption);
    QString Caption() const;

  signals:
    // Any mouse button pressed on the caption.
    void MouseDown(int index);

  protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
    void changeEvent(QEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

  private:
    // The font at the table's zoom, or smaller when the caption would not fit its panel.
    void FitFont();
    int index_;
    QFont design_; // at zoom 1
};

// The panel of one button, drawn raised or pressed.
class DeluxePanel : public QWidget {
    Q_OBJECT
  public:
    explicit DeluxePanel(QWidget* parent);
    void SetPressed(bool pressed);

  protected:
    void paintEvent(QPaintEvent*) override;
    // The caption fills the panel inside its edges, whatever size the panel is given.
    void resizeEvent(QResizeEvent*) override;

  private:
    void PlaceCaption();
    bool pressed_ = false;
};

// The title strip: a label with a one-pixel black border.
class DeluxeTitle : public QLabel {
    Q_OBJECT
  public:
    explicit DeluxeTitle(QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* e) override;
};

class MFormDeluxe : public QWidget {
    Q_OBJECT
  public:
    explicit MFormDeluxe(QWidget* parent);

    // The message wraps at this width (twips); its height follows the text.
    static constexpr int MessageWidth = 3375;

    // Controls, by their design names.
    DeluxeTitle* Label3 = nullptr; // title strip
    QLabel* Label2 = nullptr;      // message
    QLabel* Picture1 = nullptr;    // the picture
    std::array<DeluxePanel*, 3> Pic1{};
    std::array<DeluxeCaption*, 3> Label1{};

    // Event handlers.
    void Label1_Click(int Index);
    void Label1_MouseDown(int Index);

    // Layout in twips: a control's place inside the window, and the window's place on its
    // screen (left, top from the screen's corner) with its size.
    void PlaceTwips(QWidget* control, const QRect& twips);
    QRect TwipsOf(const QWidget* control) const { return twips_.value(control); }
    void PlaceWindowTwips(const QRect& screenPx, const QRect& twips);

    // The window's frame: cleared before a new layout, drawn for the laid-out size.
    void ClearFrame();
    void DrawFrame();

    // Shows picture `icon` of the image list (only 1, the flame, exists) at the window's
    // current pixel ratio; any other index leaves just the background.
    void ShowPicture(int icon);

    // Shows the dialog modally and returns once it is answered. If the wait ends without
    // an answer (the program is shutting down) the last button shown counts as pressed:
    // that is never the button that confirms anything destructive.
    // Returns the index (0..2) of the button pressed.
    int ShowModal(int lastButton);

    // Creates the window and loads the fonts of the message and its captions by laying out a
    // sample once, so that the first notice of a game does not pay for it in the middle of
    // play. Shows nothing.
    void WarmUp();

    // Fonts at the table's zoom (MsgDeluxe places the controls).
    void FollowZoom();

  protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    ZoomedControls fonts_;
    QHash<const QWidget*, QRect> twips_;
    QRect window_;
    bool frameDrawn_ = false;
    bool answered_ = false;
    int pressed_ = 0;

  public:
    // What the dialog shows now, kept so that it can be laid out again at a new zoom.
    struct Shown {
        QString message, button1, button2, button3, title, more;
        qint16 icon = 1;
    };
    Shown shown;
};
