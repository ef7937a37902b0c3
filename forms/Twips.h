#pragma once
// The table and its dialogs are laid out in twips (1/1440 inch). One zoom factor turns twips
// into device-independent pixels: at zoom 1, 15 twips make one pixel, the table's own size.
#include <QFont>
#include <QPointer>
#include <QRect>
#include <QWidget>
#include <cmath>
#include <vector>

constexpr int TwipsPerPixel = 15;

namespace Zoom {

// The smallest zoom the window can be made, and the zoom the table opens at when it fits.
constexpr double Min = 0.6;
constexpr double Default = 1.0;

inline double& Current() {
    static double zoom = Default;
    return zoom;
}
inline double Factor() {
    return Current();
}

// The largest zoom at which `table` (its size at zoom 1) fits `area`: the table keeps its shape.
inline double ToFill(QSize area, QSize table) {
    if (table.isEmpty()) return Default;
    return std::max(Min,
                    std::min(double(area.width()) / table.width(), double(area.height()) / table.height()));
}

// The zoom a window opens at on a screen whose available area (screen minus panels) is
// `available` pixels: the largest zoom up to 1 at which the window fits, where `fixed` is what
// does not scale (the window frame and the menu bar) and `table` the client at zoom 1.
inline double AtStart(QSize available, QSize fixed, QSize table) {
    const QSize room = available - fixed;
    if (table.isEmpty() || room.width() <= 0 || room.height() <= 0) return Min;
    const double fit = std::min(double(room.width()) / table.width(), double(room.height()) / table.height());
    return std::clamp(fit, Min, Default);
}

// While it lives, the zoom is 1: a window builds its controls at their design size under it,
// so that ZoomedControls can record them.
class AtDesignSize {
  public:
    AtDesignSize() { Current() = Default; }
    ~AtDesignSize() { Current() = saved_; }
    AtDesignSize(const AtDesignSize&) = delete;
    AtDesignSize& operator=(const AtDesignSize&) = delete;

  private:
    double saved_ = Current();
};

} // namespace Zoom

// A font at `zoom`, from its size at zoom 1.
inline QFont ZoomedFont(QFont font, double zoom) {
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * zoom);
    else if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, int(std::lround(font.pixelSize() * zoom))));
    return font;
}

// Moves `frame` (a window's outer rectangle) as little as it takes to lie wholly inside
// `room`; one larger than the room keeps its top left corner in it.
inline QRect KeptInside(QRect frame, const QRect& room) {
    frame.moveLeft(
        std::clamp(frame.left(), room.left(), std::max(room.left(), room.right() - frame.width() + 1)));
    frame.moveTop(
        std::clamp(frame.top(), room.top(), std::max(room.top(), room.bottom() - frame.height() + 1)));
    return frame;
}

inline int Px(int twips) {
    return static_cast<int>(std::lround(twips * Zoom::Factor() / TwipsPerPixel));
}
inline QRect PxRect(int left, int top, int width, int height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}
// Pixels back to twips at the current zoom.
inline int TwipsOfPx(int px) {
    return static_cast<int>(std::lround(px * TwipsPerPixel / Zoom::Factor()));
}

// Sizes a label that fits its text to its text. With no text it takes no room at all: its
// background would otherwise hide part of a neighbour (a long name runs on under the empty bid
// beside it).
void FitToText(QWidget* label);

// The controls of a window, as they were laid out at zoom 1 (place and font), so that the
// whole window can be laid out again at any zoom. The window's design places every control on
// whole pixels of zoom 1, so its place in twips is exact.
class ZoomedControls {
  public:
    // Records `root` (its font only) and each of its own controls for which `keep` is true (the
    // inner parts of a composite control look after themselves).
    template <typename Keep> void Capture(QWidget* root, Keep keep) {
        Add(root, false);
        for (QWidget* w : root->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
            if (keep(w)) Add(w, true);
    }
    void Capture(QWidget* root) {
        Capture(root, [](QWidget*) { return true; });
    }
    // Places and (unless `fonts` is false) fonts at the current zoom.
    void Apply(bool fonts = true) const;
    // Fonts only, for a window that places its controls itself.
    void ApplyFonts() const;
    // Draws the letters of control i's font once, off the screen, so that the first text shown
    // in it does not have to make its glyphs. False when there is no control i.
    bool WarmUpFont(size_t i, qreal dpr) const;

  private:
    struct Control {
        QPointer<QWidget> widget;
        QRect twips;
        bool placed;
        bool hasFont;
        QFont font;
    };
    void Add(QWidget* w, bool placed);
    std::vector<Control> controls_;
};
