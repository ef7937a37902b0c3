#pragma once
// The fonts of the game's windows: two faces, each with the free font that stands in for it
// where the face itself is not installed.
#include <QFont>
#include <QStringList>
#include <cmath>

enum class Face { Verdana, TimesNewRoman };
enum FontStyle : int { Plain = 0, Bold = 1, Italic = 2, Underlined = 4 };

// `points` points of `face` in `style` (Bold | Italic | Underlined, or Plain).
inline QFont DesignFont(Face face, qreal points, int style = Bold) {
    QFont f;
    if (face == Face::Verdana) {
        f.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
        f.setStyleHint(QFont::SansSerif);
    } else {
        f.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif")});
        f.setStyleHint(QFont::Serif);
    }
    f.setPointSizeF(points);
    f.setBold(style & Bold);
    f.setItalic(style & Italic);
    f.setUnderline(style & Underlined);
    return f;
}

// The same font sized in pixels at 96 dpi (a point is 4/3 of a pixel there), the scale at
// which 15 twips make a pixel: for text that must fit boxes laid out in twips whatever the
// screen's dpi.
inline QFont InPixels(QFont f) {
    f.setPixelSize(static_cast<int>(std::lround(f.pointSizeF() * 96.0 / 72.0)));
    return f;
}
