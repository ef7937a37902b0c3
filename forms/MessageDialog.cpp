#include "MessageDialog.h"

#include "MFormDeluxe.h"
#include "Options.h"
#include "Sound.h"
#include "Twips.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>
#include <cmath>

namespace {

// Half twips round up to the next whole twip.
int Twips(double t) {
    return static_cast<int>(std::lround(t));
}

using Shown = MFormDeluxe::Shown;

// The message wraps at the label's fixed width; its height follows the text. Returns the
// message's height in twips.
int PlaceMessage(MFormDeluxe& f, const QString& message) {
    const int messageWidth = MFormDeluxe::MessageWidth;
    f.Label2->setText(message);
    const int linePx = QFontMetrics(f.Label2->font()).height();
    const int messagePx = std::max(f.Label2->heightForWidth(Px(messageWidth)), linePx);
    const int messageHeight = TwipsOfPx(messagePx);
    f.PlaceTwips(f.Label2, QRect(90, 450, messageWidth, messageHeight));
    return messageHeight;
}

// Sizes the window and centres it on the table's screen, wholly on the screen and clear of its
// panels however large the table's zoom makes it.
void PlaceWindow(MFormDeluxe& f, int W, int H) {
    QScreen* screen = f.parentWidget() ? f.parentWidget()->screen() : f.screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect screenPx = screen ? screen->geometry() : QRect(0, 0, 800, 600);
    const int screenW = TwipsOfPx(screenPx.width());
    const int screenH = TwipsOfPx(screenPx.height());
    f.PlaceWindowTwips(screenPx, QRect(Twips((screenW - W) / 2.0), Twips((screenH - H) / 2.0), W, H));
    if (screen) f.move(KeptInside(f.geometry(), screen->availableGeometry()).topLeft());
}

// The buttons end 90 twips above the bottom edge: one centred, two around a gap of 46 at the
// middle, three with the middle one centred and gaps of 45.
void PlaceButtons(MFormDeluxe& f, const Shown& s, int W, int H) {
    f.Label1[0]->SetCaption(s.button1);
    f.Label1[1]->SetCaption(s.button2);
    f.Label1[2]->SetCaption(s.button3);
    const int buttonH = f.TwipsOf(f.Pic1[0]).height();
    const int buttonTop = H - buttonH - 90;
    const int w0 = f.TwipsOf(f.Pic1[0]).width();
    const int w1 = f.TwipsOf(f.Pic1[1]).width();
    auto placeButton = [&](int i, double left) {
        QRect r = f.TwipsOf(f.Pic1[i]);
        r.moveTo(Twips(left), buttonTop);
        f.PlaceTwips(f.Pic1[i], r);
    };
    for (int i = 0; i < 3; ++i)
        placeButton(i, f.TwipsOf(f.Pic1[i]).left());
    f.Pic1[1]->hide();
    f.Pic1[2]->hide();
    placeButton(0, W / 2.0 - w0 / 2.0);
    f.Pic1[1]->setVisible(!s.button2.isEmpty());
    f.Pic1[2]->setVisible(!s.button3.isEmpty());
    if (!s.button2.isEmpty() && !s.button3.isEmpty()) {
        placeButton(0, W / 2.0 - w1 / 2.0 - 45 - w0);
        placeButton(1, W / 2.0 - w1 / 2.0);
        placeButton(2, W / 2.0 + w1 / 2.0 + 45);
    } else if (!s.button2.isEmpty()) {
        placeButton(0, W / 2.0 - w0 - 23);
        placeButton(1, W / 2.0 + 23);
    }
}

// The window is created once and keeps its controls' places and the last captions, so
// every call lays the whole dialog out again.
void LayOut(MFormDeluxe& f) {
    const Shown& s = f.shown;
    f.FollowZoom();

    // Buttons raised, hidden ones too.
    for (int i = 0; i < 3; ++i) {
        const int w = f.Pic1[i]->width();
        const int h = f.Pic1[i]->height();
        f.Label1[i]->setGeometry(1, 1, w - 2, h - 2);
        f.Pic1[i]->SetPressed(false);
    }

    // No line of the previous frame may survive into this one.
    f.ClearFrame();

    const int W = 4500;
    const int H = PlaceMessage(f, s.message) + 1140;
    PlaceWindow(f, W, H);

    f.PlaceTwips(f.Label3, QRect(45, 60, W - 90, 300));
    f.Label3->setText(QStringLiteral("   ") + s.title);

    // The picture is centred vertically; its left stays where it is.
    QRect picture = f.TwipsOf(f.Picture1);
    picture.moveTop(Twips((H - picture.height()) / 2.0));
    f.PlaceTwips(f.Picture1, picture);
    f.ShowPicture(s.icon);

    PlaceButtons(f, s, W, H);
    f.DrawFrame();

    // What assistive technology announces for the dialog.
    f.setWindowTitle(s.title);
    f.setAccessibleName(s.title);
    f.setAccessibleDescription(s.more.isEmpty() ? s.message : s.message + QStringLiteral(". ") + s.more);
}

} // namespace

int MsgDeluxe(MFormDeluxe& f, const QString& message, const QString& button1, const QString& button2,
              const QString& button3, qint16 icon, const QString& title, const QString& more) {
    f.shown = {message, button1, button2, button3, title, more, icon};
    LayOut(f);

    // Asynchronous: the dialog shows while the sound plays.
    if (!Options::Current().soundOff) Sound::PlayFile(QStringLiteral("ringout.wav"));

    return f.ShowModal(!button3.isEmpty() ? 2 : !button2.isEmpty() ? 1 : 0);
}

void MsgDeluxeFollowZoom(MFormDeluxe& f) {
    // Nothing to do before the first message.
    if (!f.shown.button1.isEmpty() && f.isVisible()) LayOut(f);
}
