// The card artwork is drawn here rather than shipped as bitmaps: every image is painted with
// QPainter straight into a pixmap of the screen's device resolution, so the cards stay crisp at
// any scale factor and never show an enlarged 1x bitmap.
//
// All coordinates below are logical pixels of the card (55 x 79 for a face, 53 x 79 for the
// back); the painter's device pixel ratio takes care of the device resolution.

#include "CardImages.h"

#include "Options.h"

#include <QFont>
#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QtMath>
#include <array>
#include <cmath>
#include <map>
#include <tuple>
#include <vector>

namespace CardImages {

namespace {

constexpr qreal FaceW = 55;
constexpr qreal FaceH = 79;
constexpr qreal BackW = 53;
constexpr qreal BackH = 79;
constexpr qreal Radius = 4; // corner radius of the card outline

enum Suit { Diamonds = 1, Clubs = 2, Hearts = 3, Spades = 4 };

bool IsRed(int suit) {
    return suit == Diamonds || suit == Hearts;
}

// The ink of a suit's signs, letters and pips. The four-colour deck keeps hearts red and spades
// black and gives diamonds a blue and clubs a green dark enough to read on white and far enough
// apart to tell each from the other at a glance.
QColor InkOf(int suit, bool fourColour) {
    if (fourColour && suit == Diamonds) return QColor(18, 78, 200);
    if (fourColour && suit == Clubs) return QColor(12, 128, 48);
    return IsRed(suit) ? QColor(200, 20, 40) : QColor(22, 22, 28);
}

// ---------------------------------------------------------------------------------------------
// Suit symbols: each a path one unit high, centred on the origin, point/top towards negative y.
// Built once; drawing a pip only scales and moves it.

QPainterPath MakeHeart() {
    QPainterPath p;
    p.moveTo(0, 0.5);
    p.cubicTo(-0.12, 0.3, -0.5, 0.08, -0.5, -0.2);
    p.cubicTo(-0.5, -0.42, -0.34, -0.5, -0.24, -0.5);
    p.cubicTo(-0.1, -0.5, -0.02, -0.4, 0, -0.3);
    p.cubicTo(0.02, -0.4, 0.1, -0.5, 0.24, -0.5);
    p.cubicTo(0.34, -0.5, 0.5, -0.42, 0.5, -0.2);
    p.cubicTo(0.5, 0.08, 0.12, 0.3, 0, 0.5);
    p.closeSubpath();
    return p;
}

QPainterPath MakeDiamond() {
    // Slightly concave sides read as a card diamond rather than a plain rhombus.
    QPainterPath p;
    p.moveTo(0, -0.5);
    p.quadTo(0.16, -0.2, 0.39, 0);
    p.quadTo(0.16, 0.2, 0, 0.5);
    p.quadTo(-0.16, 0.2, -0.39, 0);
    p.quadTo(-0.16, -0.2, 0, -0.5);
    p.closeSubpath();
    return p;
}

QPainterPath MakeStem(qreal top, qreal halfWidth) {
    // A stem flaring out towards its foot at y = 0.5, with concave sides.
    QPainterPath p;
    p.moveTo(-0.05, top);
    p.lineTo(0.05, top);
    p.quadTo(0.07, 0.4, halfWidth, 0.5);
    p.lineTo(-halfWidth, 0.5);
    p.quadTo(-0.07, 0.4, -0.05, top);
    p.closeSubpath();
    return p;
}

QPainterPath MakeClub() {
    const qreal r = 0.215;
    QPainterPath leaves;
    leaves.addEllipse(QPointF(0, -0.5 + r), r, r);
    leaves.addEllipse(QPointF(-0.5 + r, 0.08), r, r);
    leaves.addEllipse(QPointF(0.5 - r, 0.08), r, r);
    QPainterPath centre;
    centre.addEllipse(QPointF(0, 0.02), 0.12, 0.12);
    return leaves.united(centre).united(MakeStem(-0.05, 0.19)).simplified();
}

QPainterPath MakeSpade() {
    QPainterPath blade;
    blade.moveTo(0, -0.5);
    blade.cubicTo(0.1, -0.34, 0.5, -0.12, 0.5, 0.13);
    blade.cubicTo(0.5, 0.3, 0.37, 0.37, 0.25, 0.37);
    blade.cubicTo(0.12, 0.37, 0.04, 0.3, 0, 0.2);
    blade.cubicTo(-0.04, 0.3, -0.12, 0.37, -0.25, 0.37);
    blade.cubicTo(-0.37, 0.37, -0.5, 0.3, -0.5, 0.13);
    blade.cubicTo(-0.5, -0.12, -0.1, -0.34, 0, -0.5);
    blade.closeSubpath();
    return blade.united(MakeStem(0.1, 0.17)).simplified();
}

const QPainterPath& SuitPath(int suit) {
    static const std::array<QPainterPath, 5> paths = {QPainterPath(), MakeDiamond(), MakeClub(), MakeHeart(),
                                                      MakeSpade()};
    return paths[suit];
}

// A suit symbol `height` logical pixels high centred on `centre`, turned over if `down`.
void DrawSuit(QPainter& p, int suit, QPointF centre, qreal height, bool down, const QColor& colour) {
    QTransform t;
    t.translate(centre.x(), centre.y());
    if (down) t.rotate(180);
    t.scale(height, height);
    p.fillPath(t.map(SuitPath(suit)), colour);
}

// ---------------------------------------------------------------------------------------------
// Corner indices. The rank is drawn as an outline of a bold sans font so that it scales exactly
// with the card; each rank's outline is made once at a large size and normalised so that its
// cap height is one unit with the baseline at y = 0.

QFont IndexFont() {
    QFont f;
    f.setFamilies({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                   QStringLiteral("Helvetica")});
    f.setStyleHint(QFont::SansSerif);
    f.setWeight(QFont::Bold);
    f.setPixelSize(200);
    return f;
}

QString RankText(int rank) {
    switch (rank) {
    case 1:
        return QStringLiteral("A");
    case 11:
        return QStringLiteral("J");
    case 12:
        return QStringLiteral("Q");
    case 13:
        return QStringLiteral("K");
    default:
        return QString::number(rank);
    }
}

const QPainterPath& RankPath(int rank) {
    static const std::array<QPainterPath, 14> paths = [] {
        std::array<QPainterPath, 14> out;
        const QFont font = IndexFont();
        const QFontMetricsF fm(font);
        const qreal cap = fm.capHeight() > 0 ? fm.capHeight() : fm.ascent() * 0.72;
        for (int rank = 1; rank <= 13; ++rank) {
            QPainterPath text;
            text.addText(0, 0, font, RankText(rank));
            // "10" is set tighter so the two digits fit the narrow corner.
            if (rank == 10) {
                QPainterPath one, zero;
                one.addText(0, 0, font, QStringLiteral("1"));
                zero.addText(0, 0, font, QStringLiteral("0"));
                const qreal gap = cap * 0.03;
                text = one.translated(-one.boundingRect().left(), 0);
                text.addPath(
                    zero.translated(text.boundingRect().right() + gap - zero.boundingRect().left(), 0));
            }
            QTransform t;
            t.scale(1 / cap, 1 / cap);
            t.translate(-text.boundingRect().center().x(), 0);
            out[rank] = t.map(text);
        }
        return out;
    }();
    return paths[rank];
}

void DrawIndex(QPainter& p, int suit, int rank, const QColor& ink) {
    const qreal cx = 6.5;   // centre of the index column
    const qreal capH = 8.6; // height of a capital
    const qreal maxW = 9.4; // widest the rank may be
    const qreal baseline = 3.3 + capH;
    const QPainterPath& rp = RankPath(rank);
    const qreal w = rp.boundingRect().width() * capH;
    const qreal sx = w > maxW ? capH * maxW / w : capH;
    QTransform t;
    t.translate(cx, baseline);
    t.scale(sx, capH);
    p.fillPath(t.map(rp), ink);
    DrawSuit(p, suit, QPointF(cx, baseline + 5.4), 7, false, ink);
}

// ---------------------------------------------------------------------------------------------
// Faces

void DrawFaceBlank(QPainter& p, qreal w, qreal h) {
    QPainterPath outline;
    outline.addRoundedRect(QRectF(0.5, 0.5, w - 1, h - 1), Radius - 0.5, Radius - 0.5);
    p.fillPath(outline, QColor(255, 255, 255));
    p.setPen(QPen(QColor(140, 140, 140), 1));
    p.drawPath(outline);
    p.setPen(Qt::NoPen);
}

// Pip positions of the number cards in units of the pip field: x -1 left, 0 middle, 1 right
// column; y 0 top to 1 bottom.
struct Pip {
    qreal x, y;
};

std::vector<Pip> PipLayout(int rank) {
    const qreal third = 1.0 / 3, twoThirds = 2.0 / 3;
    std::vector<Pip> pips;
    auto side = [&pips](std::initializer_list<qreal> rows) {
        for (qreal y : rows) {
            pips.push_back({-1, y});
            pips.push_back({1, y});
        }
    };
    auto middle = [&pips](std::initializer_list<qreal> rows) {
        for (qreal y : rows)
            pips.push_back({0, y});
    };
    switch (rank) {
    case 2:
        middle({0, 1});
        break;
    case 3:
        middle({0, 0.5, 1});
        break;
    case 4:
        side({0, 1});
        break;
    case 5:
        side({0, 1});
        middle({0.5});
        break;
    case 6:
        side({0, 0.5, 1});
        break;
    case 7:
        side({0, 0.5, 1});
        middle({0.25});
        break;
    case 8:
        side({0, 0.5, 1});
        middle({0.25, 0.75});
        break;
    case 9:
        side({0, third, twoThirds, 1});
        middle({0.5});
        break;
    case 10:
        side({0, third, twoThirds, 1});
        middle({1.0 / 6, 5.0 / 6});
        break;
    default:
        break;
    }
    return pips;
}

void DrawPips(QPainter& p, int suit, int rank, const QColor& ink) {
    if (rank == 1) {
        const qreal size = suit == Spades ? 32 : 26;
        DrawSuit(p, suit, QPointF(FaceW / 2, FaceH / 2), size, false, ink);
        if (suit == Spades) {
            // The Ace of Spades traditionally stands out: a larger pip with a small spade cut out.
            DrawSuit(p, suit, QPointF(FaceW / 2, FaceH / 2 - 2), 8, false, QColor(255, 255, 255));
            DrawSuit(p, suit, QPointF(FaceW / 2, FaceH / 2 - 2), 4.5, false, ink);
        }
        return;
    }
    const qreal left = 18.3, right = FaceW - 18.3;
    const qreal top = 12.8, bottom = FaceH - 12.8;
    const qreal size = rank >= 9 ? 9.2 : 10.4;
    for (const Pip& pip : PipLayout(rank)) {
        const qreal x = (left + right) / 2 + pip.x * (right - left) / 2;
        const qreal y = top + pip.y * (bottom - top);
        // Pips below the middle face the other way, so the card reads the same either way up.
        DrawSuit(p, suit, QPointF(x, y), size, pip.y > 0.5 + 1e-9, ink);
    }
}

// Colours of the court figures: red suits dress in reds with blue, black suits in blues and
// greens, so a glance tells the suit colour even from the picture.
struct Palette {
    QColor robe, robeDark, trim, accent, hair, background;
};

Palette PaletteOf(int suit) {
    const QColor gold(222, 172, 44);
    switch (suit) {
    case Diamonds:
        return {QColor(196, 32, 44), QColor(140, 18, 30), gold,
                QColor(36, 78, 160), QColor(120, 78, 40), QColor(253, 246, 228)};
    case Hearts:
        return {QColor(184, 24, 70), QColor(128, 12, 46),  gold,
                QColor(34, 120, 74), QColor(176, 112, 52), QColor(253, 242, 236)};
    case Clubs:
        return {QColor(34, 78, 168), QColor(20, 46, 110), gold,
                QColor(30, 126, 76), QColor(92, 64, 40),  QColor(240, 246, 236)};
    default: // Spades
        return {QColor(40, 44, 62),   QColor(16, 18, 28),    gold,
                QColor(54, 110, 196), QColor(196, 196, 200), QColor(238, 242, 250)};
    }
}

const QColor Skin(248, 218, 186);
const QColor Line(40, 34, 30);

void DrawFaceFeatures(QPainter& p, qreal headY) {
    p.setPen(Qt::NoPen);
    p.setBrush(Line);
    p.drawEllipse(QPointF(-1.6, headY - 0.6), 0.55, 0.6);
    p.drawEllipse(QPointF(1.6, headY - 0.6), 0.55, 0.6);
    p.setPen(QPen(Line, 0.5, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(-0.9, headY + 2.3), QPointF(0.9, headY + 2.3));
    p.setPen(Qt::NoPen);
}

// One half of a double-ended court figure, drawn upright above the origin (y from about -33 to 0,
// x from -15.5 to 15.5); the caller draws it a second time turned about the origin.
void DrawCourtHalf(QPainter& p, int suit, int rank, const Palette& c, const QColor& ink) {
    const qreal headY = -21.5;
    const QPen outline(Line, 0.45);

    // Robe over the shoulders, meeting the other half in the middle.
    QPainterPath robe;
    robe.moveTo(-15.5, 0);
    robe.lineTo(-15.5, -8);
    robe.cubicTo(-15.5, -13.5, -10, -15.5, -4.5, -16);
    robe.lineTo(4.5, -16);
    robe.cubicTo(10, -15.5, 15.5, -13.5, 15.5, -8);
    robe.lineTo(15.5, 0);
    robe.closeSubpath();

    // Hair behind the head and shoulders comes first.
    if (rank == 12) {
        QPainterPath hair;
        hair.moveTo(-5.8, headY - 1);
        hair.cubicTo(-7, -14, -8.5, -12, -9, -10);
        hair.lineTo(9, -10);
        hair.cubicTo(8.5, -12, 7, -14, 5.8, headY - 1);
        hair.cubicTo(5.8, headY - 7.5, -5.8, headY - 7.5, -5.8, headY - 1);
        p.setPen(outline);
        p.setBrush(c.hair);
        p.drawPath(hair);
    }

    if (rank == 11) {
        // The Jack's doublet is parti-coloured.
        p.setPen(Qt::NoPen);
        p.setBrush(c.robe);
        p.drawPath(robe);
        p.save();
        p.setClipPath(robe);
        p.setBrush(c.accent);
        p.drawRect(QRectF(0, -20, 16, 20));
        p.restore();
        p.setPen(outline);
        p.setBrush(Qt::NoBrush);
        p.drawPath(robe);
    } else {
        QLinearGradient g(-15.5, 0, 15.5, 0);
        const QColor main = rank == 13 ? c.robe : c.accent;
        const QColor dark = rank == 13 ? c.robeDark : c.accent.darker(150);
        g.setColorAt(0, dark);
        g.setColorAt(0.45, main);
        g.setColorAt(1, dark);
        p.setPen(outline);
        p.setBrush(g);
        p.drawPath(robe);
        // A band of the other colour edged with gold runs down the front.
        QPainterPath band;
        band.addRect(QRectF(-5, -16, 10, 16));
        p.setPen(Qt::NoPen);
        p.setBrush(rank == 13 ? c.accent : c.robe);
        p.drawPath(band.intersected(robe));
        p.setPen(QPen(c.trim, 0.9));
        p.drawLine(QPointF(-5, -16), QPointF(-5, 0));
        p.drawLine(QPointF(5, -16), QPointF(5, 0));
    }

    // Collar.
    QPainterPath collar;
    collar.moveTo(-6.5, -16.1);
    collar.lineTo(0, -10.5);
    collar.lineTo(6.5, -16.1);
    collar.lineTo(4, -16.8);
    collar.lineTo(0, -13.6);
    collar.lineTo(-4, -16.8);
    collar.closeSubpath();
    p.setPen(outline);
    p.setBrush(rank == 12 ? QColor(255, 255, 255) : c.trim);
    p.drawPath(collar);

    // Neck and head.
    p.setPen(Qt::NoPen);
    p.setBrush(Skin);
    p.drawRect(QRectF(-1.8, headY + 3, 3.6, 3.5));
    p.setPen(outline);
    p.drawEllipse(QPointF(0, headY), 4.3, 5);
    DrawFaceFeatures(p, headY);

    // The big suit symbol on a medallion at the chest.
    p.setPen(QPen(c.trim, 0.9));
    p.setBrush(QColor(255, 253, 245));
    p.drawEllipse(QPointF(0, -5.6), 4.6, 4.6);
    DrawSuit(p, suit, QPointF(0, -5.6), 6.4, false, ink);

    p.setPen(outline);
    switch (rank) {
    case 13: { // King: tall crown with three points, a full beard and a sceptre.
        QPainterPath beard;
        beard.moveTo(-4.3, headY + 0.3);
        beard.cubicTo(-4.6, headY + 6, -1.5, headY + 8.2, 0, headY + 8.4);
        beard.cubicTo(1.5, headY + 8.2, 4.6, headY + 6, 4.3, headY + 0.3);
        beard.cubicTo(3, headY + 2.4, -3, headY + 2.4, -4.3, headY + 0.3);
        p.setBrush(c.hair);
        p.drawPath(beard);
        p.setPen(QPen(Line, 0.5, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(-0.9, headY + 2.6), QPointF(0.9, headY + 2.6));
        p.setPen(outline);
        QPolygonF crown;
        crown << QPointF(-5, headY - 3.6) << QPointF(-5.6, headY - 10.6) << QPointF(-2.6, headY - 7.2)
              << QPointF(0, headY - 11.6) << QPointF(2.6, headY - 7.2) << QPointF(5.6, headY - 10.6)
              << QPointF(5, headY - 3.6);
        p.setBrush(c.trim);
        p.drawPolygon(crown);
        p.setBrush(c.robeDark);
        p.drawRect(QRectF(-5, headY - 5.2, 10, 1.6));
        p.setPen(Qt::NoPen);
        p.setBrush(c.accent);
        p.drawEllipse(QPointF(0, headY - 7.6), 0.9, 0.9);
        // Sceptre.
        p.setPen(QPen(c.trim.darker(140), 1.3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(11.5, -1), QPointF(11.5, -25));
        p.setPen(outline);
        p.setBrush(c.trim);
        p.drawEllipse(QPointF(11.5, -26.5), 1.9, 1.9);
        p.drawLine(QPointF(11.5, -28.4), QPointF(11.5, -30.4));
        p.drawLine(QPointF(10.5, -29.5), QPointF(12.5, -29.5));
        break;
    }
    case 12: { // Queen: low tiara set with pearls, long hair and a flower.
        QPainterPath tiara;
        tiara.moveTo(-4.6, headY - 3.4);
        tiara.cubicTo(-4.4, headY - 6.2, 4.4, headY - 6.2, 4.6, headY - 3.4);
        tiara.lineTo(3.6, headY - 3.0);
        tiara.cubicTo(3.4, headY - 4.8, -3.4, headY - 4.8, -3.6, headY - 3.0);
        tiara.closeSubpath();
        p.setBrush(c.trim);
        p.drawPath(tiara);
        p.setPen(QPen(c.trim.darker(130), 0.4));
        p.setBrush(QColor(255, 255, 255));
        for (qreal x : {-3.0, 0.0, 3.0}) {
            const qreal y = headY - 6.4 + std::abs(x) * 0.33;
            p.drawEllipse(QPointF(x, y), 1.05, 1.05);
        }
        // Flower on a long stem.
        p.setPen(QPen(QColor(40, 120, 60), 0.9, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QPainterPath stem;
        stem.moveTo(10.5, -1);
        stem.cubicTo(12.5, -9, 9.5, -17, 11, -24);
        p.drawPath(stem);
        p.setPen(QPen(Line, 0.35));
        p.setBrush(c.robe);
        for (int i = 0; i < 5; ++i) {
            const qreal a = qDegreesToRadians(i * 72.0 - 90);
            p.drawEllipse(QPointF(11 + 1.7 * std::cos(a), -25.5 + 1.7 * std::sin(a)), 1.35, 1.35);
        }
        p.setBrush(c.trim);
        p.drawEllipse(QPointF(11, -25.5), 1.0, 1.0);
        break;
    }
    default: { // Jack: feathered cap, short hair and a halberd.
        p.setBrush(c.hair);
        p.drawEllipse(QPointF(-4.1, headY + 0.2), 1.3, 2.3);
        p.drawEllipse(QPointF(4.1, headY + 0.2), 1.3, 2.3);
        QPainterPath feather;
        feather.moveTo(2, headY - 6);
        feather.cubicTo(3.5, headY - 8.5, 5, headY - 11, 7.2, headY - 12.4);
        feather.cubicTo(6.6, headY - 10, 5.4, headY - 7.4, 3.4, headY - 4.8);
        feather.closeSubpath();
        p.setBrush(c.trim);
        p.drawPath(feather);
        QPainterPath cap;
        cap.moveTo(-6.2, headY - 3.2);
        cap.cubicTo(-6.4, headY - 8.4, 5, headY - 9.4, 6.2, headY - 3.2);
        cap.closeSubpath();
        p.setBrush(c.robe);
        p.drawPath(cap);
        p.setBrush(c.trim);
        p.drawRect(QRectF(-5.9, headY - 3.9, 11.8, 1.3));
        // Halberd.
        p.setPen(QPen(QColor(110, 74, 40), 1.1, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(-11.5, -1), QPointF(-11.5, -28));
        p.setPen(outline);
        p.setBrush(QColor(205, 210, 220));
        QPainterPath blade;
        blade.moveTo(-11.5, -31.5);
        blade.lineTo(-10.6, -27.5);
        blade.cubicTo(-8, -27, -7.5, -24.5, -7.8, -22.5);
        blade.lineTo(-11.5, -23.5);
        blade.closeSubpath();
        p.drawPath(blade);
        break;
    }
    }
    p.setPen(Qt::NoPen);
}

void DrawCourt(QPainter& p, int suit, int rank, const QColor& ink) {
    const Palette c = PaletteOf(suit);
    const QRectF frame(11.5, 6, FaceW - 23, FaceH - 12);
    p.fillRect(frame, c.background);
    p.save();
    p.setClipRect(frame);
    for (int half = 0; half < 2; ++half) {
        p.save();
        p.translate(frame.center());
        p.rotate(180 * half);
        DrawCourtHalf(p, suit, rank, c, ink);
        // Each end carries its own small suit sign in the free corner of the picture.
        DrawSuit(p, suit, QPointF(rank == 11 ? 10.4 : -10.4, -27.8), 6, false, ink);
        p.restore();
    }
    p.restore();
    p.setPen(QPen(ink, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame);
    p.setPen(QPen(c.trim, 0.6));
    p.drawLine(QPointF(frame.left(), frame.center().y()), QPointF(frame.right(), frame.center().y()));
    p.setPen(Qt::NoPen);
}

void DrawFace(QPainter& p, int card, bool fourColour) {
    const int suit = (card - 1) / 13 + 1;
    const int rank = (card - 1) % 13 + 1;
    const QColor ink = InkOf(suit, fourColour);
    DrawFaceBlank(p, FaceW, FaceH);
    if (rank >= 11)
        DrawCourt(p, suit, rank, ink);
    else
        DrawPips(p, suit, rank, ink);
    DrawIndex(p, suit, rank, ink);
    p.save();
    p.translate(FaceW, FaceH);
    p.rotate(180);
    DrawIndex(p, suit, rank, ink);
    p.restore();
}

// ---------------------------------------------------------------------------------------------
// The back: a navy lattice with dark red studs inside a gold rule, and a crest whose crown marks
// the top of the design, so the turned backs show which way each opponent sits.

void DrawBack(QPainter& p) {
    DrawFaceBlank(p, BackW, BackH);
    const QColor navy(24, 40, 96);
    const QColor gold(214, 170, 60);
    const QRectF field(3, 3, BackW - 6, BackH - 6);
    QPainterPath fieldPath;
    fieldPath.addRoundedRect(field, 2.5, 2.5);
    p.fillPath(fieldPath, navy);

    p.save();
    p.setClipPath(fieldPath);
    const qreal step = 5.3;
    p.setPen(QPen(QColor(70, 98, 170), 0.7));
    const qreal cx = BackW / 2, cy = BackH / 2;
    for (int i = -16; i <= 16; ++i) {
        const qreal off = i * step;
        p.drawLine(QPointF(cx + off - 60, cy - 60), QPointF(cx + off + 60, cy + 60));
        p.drawLine(QPointF(cx + off + 60, cy - 60), QPointF(cx + off - 60, cy + 60));
    }
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 30, 44));
    for (int i = -16; i <= 16; ++i)
        for (int j = -16; j <= 16; ++j) {
            // Studs sit where the lattice lines cross.
            const qreal x = cx + (i + j) * step / 2, y = cy + (j - i) * step / 2;
            if (x < field.left() || x > field.right() || y < field.top() || y > field.bottom()) continue;
            p.drawEllipse(QPointF(x, y), 0.9, 0.9);
        }
    p.restore();

    p.setPen(QPen(gold, 0.8));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(field.adjusted(2.2, 2.2, -2.2, -2.2), 1.5, 1.5);

    // Crest: a medallion with a V, crowned.
    const QPointF centre(cx, cy + 3);
    p.setPen(QPen(gold, 1.0));
    p.setBrush(navy);
    p.drawEllipse(centre, 10.5, 13.5);
    p.setPen(QPen(gold, 0.5));
    p.drawEllipse(centre, 8.8, 11.8);
    QPolygonF vee;
    vee << QPointF(-6.2, -6.8) << QPointF(-2.8, -6.8) << QPointF(0, 2.6) << QPointF(2.8, -6.8)
        << QPointF(6.2, -6.8) << QPointF(1.5, 7) << QPointF(-1.5, 7);
    p.setPen(Qt::NoPen);
    p.setBrush(gold);
    p.drawPolygon(vee.translated(centre));

    const qreal base = centre.y() - 13.5; // the crown stands on the medallion
    QPolygonF crown;
    crown << QPointF(-6, base) << QPointF(-7, base - 7.5) << QPointF(-3.3, base - 4) << QPointF(0, base - 9)
          << QPointF(3.3, base - 4) << QPointF(7, base - 7.5) << QPointF(6, base);
    p.setPen(QPen(navy, 0.5));
    p.setBrush(gold);
    p.drawPolygon(crown.translated(cx, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 30, 44));
    for (qreal x : {-7.0, 0.0, 7.0}) {
        const qreal y = x == 0 ? base - 9.6 : base - 8.1;
        p.drawEllipse(QPointF(cx + x, y), 1.1, 1.1);
    }
    p.setBrush(QColor(150, 30, 44));
    p.drawEllipse(QPointF(cx, base - 2.2), 1.2, 1.2);
}

// ---------------------------------------------------------------------------------------------

QPixmap Render(int index, qreal dpr, double zoom, bool fourColour) {
    const QSize logical = LogicalSize(index);
    const QSize shown = ShownSize(index, zoom);
    QPixmap pm(QSize(qCeil(shown.width() * dpr), qCeil(shown.height() * dpr)));
    pm.setDevicePixelRatio(dpr);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    p.setPen(Qt::NoPen);
    // The design's coordinates are those of zoom 1; the shown size is whole pixels, so the two
    // axes may scale a hair differently.
    p.scale(qreal(shown.width()) / logical.width(), qreal(shown.height()) / logical.height());
    if (index < FirstBack) {
        DrawFace(p, index, fourColour);
        return pm;
    }
    // The turned backs are the upright design painted through a turned transform, at full
    // resolution: 54 top to the right, 55 upside down, 56 top to the left.
    switch (index) {
    case 54:
        p.translate(BackH, 0);
        p.rotate(90);
        break;
    case 55:
        p.translate(BackW, BackH);
        p.rotate(180);
        break;
    case 56:
        p.translate(0, BackW);
        p.rotate(-90);
        break;
    default:
        break;
    }
    DrawBack(p);
    return pm;
}

// Ratios are cached to a hundredth so that tiny floating differences of the same screen share
// one set of images.
int RatioKey(qreal dpr) {
    return qRound(dpr * 100);
}

qreal SaneRatio(qreal dpr) {
    return std::isfinite(dpr) && dpr >= 0.25 && dpr <= 16 ? dpr : 1.0;
}

// Zooms are cached to a ten-thousandth: every size is worked out from the rounded zoom, so
// the size of a card on the table and of its image always agree.
int ZoomKey(double zoom) {
    return std::isfinite(zoom) && zoom >= 0.1 && zoom <= 20 ? int(std::lround(zoom * 10000)) : 10000;
}

// Only the GUI thread draws and reads the images (QPixmap belongs to it), so there is no lock.
// The deck's colours are part of the key, so that turning Four-Colour Suits over and back
// draws each deck once.
using Key = std::tuple<int, int, bool>; // ratio, zoom, four colours
std::map<Key, std::array<QPixmap, Count + 1>>& Cache() {
    static std::map<Key, std::array<QPixmap, Count + 1>> cache;
    return cache;
}

Key KeyOf(qreal dpr, double zoom) {
    return {RatioKey(SaneRatio(dpr)), ZoomKey(zoom), Options::Current().fourColour};
}

} // namespace

QSize LogicalSize(int index) {
    if (index >= 1 && index < FirstBack) return QSize(int(FaceW), int(FaceH));
    if (index == 53 || index == 55) return QSize(int(BackW), int(BackH));
    if (index == 54 || index == 56) return QSize(int(BackH), int(BackW));
    return QSize();
}

QSize ShownSize(int index, double zoom) {
    const double z = ZoomKey(zoom) / 10000.0;
    const QSize logical = LogicalSize(index);
    return QSize(int(std::lround(logical.width() * z)), int(std::lround(logical.height() * z)));
}

const QPixmap& Image(int index, qreal dpr, double zoom) {
    static const QPixmap null;
    if (index < 1 || index > Count) return null;
    const Key key = KeyOf(dpr, zoom);
    QPixmap& slot = Cache()[key][index];
    if (slot.isNull())
        slot = Render(index, std::get<0>(key) / 100.0, std::get<1>(key) / 10000.0, std::get<2>(key));
    return slot;
}

bool IsCached(int index, qreal dpr, double zoom) {
    const auto it = Cache().find(KeyOf(dpr, zoom));
    return index >= 1 && index <= Count && it != Cache().end() && !it->second[index].isNull();
}

void Prepare(qreal dpr, double zoom) {
    for (int i = 1; i <= Count; ++i)
        Image(i, dpr, zoom);
}

void KeepOnly(qreal dpr, double zoom) {
    const Key keep = KeyOf(dpr, zoom);
    std::erase_if(Cache(), [&](const auto& entry) { return entry.first != keep; });
}

} // namespace CardImages
