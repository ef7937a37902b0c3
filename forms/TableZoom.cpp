// The table at any size: one zoom for every control, card and font, and the images of a new
// size made between events.
#include "CardImages.h"
#include "ClothArea.h"
#include "FrmBid.h"
#include "HeldMenuBar.h"
#include "HistoryWindow.h"
#include "MFormDeluxe.h"
#include "MessageDialog.h"
#include "Probe.h"
#include "ScoreSheet.h"
#include "Table.h"
#include "TableMarks.h"
#include "frmHelp.h"

#include <QApplication>
#include <QMenuBar>
#include <QScreen>
#include <QWindow>
#include <cmath>

void Table::ApplyZoom(double zoom) {
    Probe::Mark("zoom-begin");
    Zoom::Current() = zoom;
    Client->setFixedSize(Px(Layout::TableWidth), Px(Layout::TableHeight));
    // While the window is being resized the text keeps its size: setting every label and line
    // again in a new font at each step would stall the drag. The fonts follow when it stops.
    controls_.Apply();
    for (int i = 1; i <= 52; ++i)
        CardsPic[i]->Rezoom();
    Marks->Place();
    FinishZoom();
    PrepareForZoom();
    Probe::Mark("zoom-end");
}

void Table::FinishZoom() {
    CardImages::KeepOnly(devicePixelRatioF(), Zoom::Factor());
    if (bidForm_) bidForm_->FollowZoom();
    if (deluxeForm_) MsgDeluxeFollowZoom(*deluxeForm_);
    HelpFollowZoom();
    ScoreSheetFollowZoom(this);
    HistoryFollowZoom(this);
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
    if (controls_.WarmUpFont(size_t(prepared_++ - CardImages::Count), dpr)) return;
    // Last, once after start-up: the dialogs' windows, so that their first showing does not
    // stall a hand.
    if (dialogsToWarm_ == 2) DeluxeForm().WarmUp();
    if (dialogsToWarm_ == 1) BidForm().WarmUp();
    if (dialogsToWarm_ > 0) {
        --dialogsToWarm_;
        return;
    }
    preparing_.stop();
}

void Table::FitTableToWindow() {
    if (!Client) return;
    auto* cloth = static_cast<ClothArea*>(Cloth);
    const QRect area = Cloth->geometry();
    const double zoom = Zoom::ToFill(area.size(), ClothArea::DesignSize());
    if (zoom != Zoom::Factor() || cloth->ShowingPicture()) {
        // A new size: until the window has kept one size a moment (a drag of its edge sends
        // a size at every move of the mouse), the cloth lies over the table and shows its
        // picture at the new size. The table itself is laid out once, when the resizing rests.
        if (!cloth->ShowingPicture()) {
            cloth->ShowPicture(Shown(Client));
            static_cast<HeldMenuBar*>(menuBar())->Hold(Shown(menuBar()));
            Client->stackUnder(Cloth);
            if (QWidget* sheet = ScoreSheetIfOpen(this)) sheet->stackUnder(Cloth);
            if (QWidget* history = HistoryIfOpen(this)) history->stackUnder(Cloth);
            preparing_.stop();
        }
        rested_.start(ResizeSettleMs);
        return;
    }
    // Centred on the cloth; on a window smaller than the table at its smallest zoom (possible
    // without a window manager) it keeps to the cloth's top left and is cut off at the bottom
    // and the right, never drawn over the menu bar.
    Client->move(area.topLeft() + ClothArea::TablePlace(area.size(), Client->size()).topLeft());
    ScoreSheetPlace(this);
    HistoryFollowZoom(this);
}

QImage Table::Shown(QWidget* part) {
    // As the window's last frame has it (the window has its new size already, the frame not
    // yet), a copy of the image the window is painted into rather than the part painted again;
    // over the table, the score sheet on it included.
    const QRect rect = part->geometry();
    if (const QImage* frame = image_.LastFrame()) {
        const qreal dpr = frame->devicePixelRatio();
        // The menu bar has its new width already: as much of it as there was.
        const QRect place =
            QRectF(QPointF(rect.topLeft()) * dpr, QSizeF(rect.size()) * dpr).toRect() & frame->rect();
        if (!place.isEmpty()) {
            QImage copy = frame->copy(place);
            // Opaque: drawn scaled as it is, with no blending.
            if (copy.format() == QImage::Format_ARGB32_Premultiplied)
                copy.reinterpretAsFormat(QImage::Format_RGB32);
            copy.setDevicePixelRatio(dpr);
            return copy;
        }
    }
    return grab(rect).toImage();
}

void Table::ResizingRested() {
    auto* cloth = static_cast<ClothArea*>(Cloth);
    // Room in the window's image for the next drag, made before the frame that follows paints
    // all of it anyway (its pages are mapped while the table is laid out).
    image_.Rest();
    static_cast<HeldMenuBar*>(menuBar())->LetGo();
    const double zoom = Zoom::ToFill(Cloth->size(), ClothArea::DesignSize());
    if (zoom != Zoom::Factor()) ApplyZoom(zoom);
    // Back on top, as it was: the same place among the window's parts for assistive technology
    // (the score sheet above it, placed again).
    Client->raise();
    cloth->ShowPicture({});
    FitTableToWindow();
    if (!preparing_.isActive()) PrepareForZoom();
    Probe::Mark("resize-rested");
}

void Table::FitWindowToScreen() {
    QScreen* screen = this->screen();
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    // What the window manager adds round the window: its title bar and borders. Nothing is
    // known of them until it has framed the window, so this runs again when they become known
    // (FrameKnown).
    const QSize frame = frameGeometry().size() - geometry().size();
    fittedFrame_ = frame;
    // The menu bar keeps its size at every zoom, but wraps onto a second line in a narrow
    // window: its height is taken at the width the zoom gives, until the two agree.
    int menu = menuBar()->heightForWidth(width());
    double zoom = Zoom::Factor();
    for (int tries = 0; tries < 3; ++tries) {
        zoom = Zoom::AtStart(room.size(), frame + QSize(0, menu), ClothArea::DesignSize());
        const int wraps = menuBar()->heightForWidth(int(std::lround(ClothArea::DesignSize().width() * zoom)));
        if (wraps == menu) break;
        menu = std::max(menu, wraps);
    }
    if (zoom != Zoom::Factor()) ApplyZoom(zoom);
    resize(Client->size() + QSize(0, menu));
    QRect placed(QPoint(), size() + frame);
    placed.moveCenter(room.center());
    move(KeptInside(placed, room).topLeft());
}

void Table::FrameKnown() {
    // The window manager frames the window after it is shown, and only then says how large
    // the frame is: the window opened a title bar taller than the screen allows. Fitted again
    // once, as soon as the frame differs from the one it was fitted with; a window the player
    // has made full screen or maximised is left as it is.
    // Nor while the player drags the window's edge: asking the frame's size asks the X server,
    // and twice at every step of a drag.
    if (!isVisible() || !fittedFrame_.isValid() ||
        (windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen)) ||
        static_cast<const ClothArea*>(Cloth)->ShowingPicture())
        return;
    if (frameGeometry().size() - geometry().size() == fittedFrame_) return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (frameGeometry().size() - geometry().size() != fittedFrame_) FitWindowToScreen();
        },
        Qt::QueuedConnection);
}

void Table::moveEvent(QMoveEvent* e) {
    QMainWindow::moveEvent(e);
    FrameKnown();
}

void Table::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    FrameKnown();
}
