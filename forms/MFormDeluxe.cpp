#include "MFormDeluxe.h"

#include "DataFiles.h"
#include "Fonts.h"
#include "TableAccess.h"
#include "Twips.h"
#include "Waits.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QSvgRenderer>
#include <algorithm>
#include <cmath>

namespace {

const QColor Olive(128, 128, 0);
const QColor Light(240, 240, 240);
const QColor Shadow(128, 128, 128);
const QColor TitleBack(0, 0, 64);
const QColor MessageText(255, 224, 192);
const QColor CaptionText(0, 255, 0);
const QColor PictureBack(255, 255, 128);

void SetColours(QWidget* w, const QColor& back, const QColor& text) {
    QPalette pal = w->palette();
    pal.setColor(QPalette::Window, back);
    pal.setColor(QPalette::WindowText, text);
    w->setPalette(pal);
    w->setAutoFillBackground(true);
}

// A one-pixel line from a to b (horizontal or vertical) with its end point left out: that
// is what leaves the top-right corner of a raised panel light.
void DrawLine(QPainter& p, QPoint a, QPoint b, const QColor& c) {
    if (a.y() == b.y() && a.x() != b.x()) {
        const int step = b.x() > a.x() ? -1 : 1;
        const int x0 = std::min(a.x(), b.x() + step);
        const int x1 = std::max(a.x(), b.x() + step);
        p.fillRect(QRect(x0, a.y(), x1 - x0 + 1, 1), c);
    } else if (a.x() == b.x() && a.y() != b.y()) {
        const int step = b.y() > a.y() ? -1 : 1;
        const int y0 = std::min(a.y(), b.y() + step);
        const int y1 = std::max(a.y(), b.y() + step);
        p.fillRect(QRect(a.x(), y0, 1, y1 - y0 + 1), c);
    }
}

// The outline of the rectangle with corners a and b, all four corners included.
void DrawBox(QPainter& p, QPoint a, QPoint b, const QColor& c) {
    const QRect r = QRect(a, b).normalized();
    p.fillRect(QRect(r.left(), r.top(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.bottom(), r.width(), 1), c);
    p.fillRect(QRect(r.left(), r.top(), 1, r.height()), c);
    p.fillRect(QRect(r.right(), r.top(), 1, r.height()), c);
}

// Light box with dark bottom and right edges (raised), or the reverse (pressed).
void DrawEdges(QPainter& p, int w, int h, const QColor& box, const QColor& edges) {
    DrawBox(p, {0, 0}, {w - 1, h - 1}, box);
    DrawLine(p, {0, h - 1}, {w - 1, h - 1}, edges);
    DrawLine(p, {w - 1, h - 1}, {w - 1, 0}, edges);
}

QPixmap Flame(qreal dpr, double zoom) {
    const QString path = DataFiles::AssetPath(QStringLiteral("flame.svg"));
    if (!QFileInfo::exists(path)) return {};
    QSvgRenderer svg(path);
    if (!svg.isValid()) return {};
    const int side = static_cast<int>(std::lround(32 * zoom * dpr));
    QPixmap pm(side, side);
    pm.fill(Qt::transparent);
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        svg.render(&p, QRectF(0, 0, side, side));
    }
    pm.setDevicePixelRatio(dpr);
    return pm;
}

} // namespace

QFont FontThatFits(QFont font, const QRect& room, int flags, const QString& text) {
    const auto fits = [&](const QFont& f) {
        return room.contains(QFontMetrics(f).boundingRect(room, flags, text));
    };
    if (room.isEmpty() || text.isEmpty()) return font;
    while (!fits(font)) {
        if (font.pixelSize() > 6)
            font.setPixelSize(font.pixelSize() - 1);
        else if (font.pointSizeF() > 4.5)
            font.setPointSizeF(font.pointSizeF() - 0.25);
        else
            break;
    }
    return font;
}

// ---- DeluxeCaption ----

namespace {
constexpr int CaptionFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap | Qt::TextShowMnemonic;
} // namespace

DeluxeCaption::DeluxeCaption(int index, QWidget* parent)
    : QAbstractButton(parent), index_(index), design_(InPixels(DesignFont(Face::TimesNewRoman, 12))) {
    setObjectName(QStringLiteral("Label1_%1").arg(index));
    // Tab reaches it and Space presses it; Return and Escape are not button keys, so no
    // stray key answers a question.
    setFocusPolicy(Qt::TabFocus);
    setFont(design_);
}

// An ampersand is shown as itself: a caption must never turn into a keyboard shortcut.
void DeluxeCaption::SetCaption(const QString& caption) {
    QString escaped = caption;
    escaped.replace(QLatin1Char('&'), QStringLiteral("&&"));
    setText(escaped);
    FitFont();
}

void DeluxeCaption::FitFont() {
    const QFont fitted = FontThatFits(ZoomedFont(design_, Zoom::Factor()), rect(), CaptionFlags, text());
    if (fitted != font()) setFont(fitted);
}

// The table's zoom sets the font afresh; the caption may then need a smaller one.
void DeluxeCaption::changeEvent(QEvent* e) {
    QAbstractButton::changeEvent(e);
    if (e->type() == QEvent::FontChange) FitFont();
}

void DeluxeCaption::resizeEvent(QResizeEvent* e) {
    QAbstractButton::resizeEvent(e);
    FitFont();
}

QString DeluxeCaption::Caption() const {
    QString shown = text();
    shown.replace(QStringLiteral("&&"), QStringLiteral("&"));
    return shown;
}

void DeluxeCaption::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(font());
    p.setPen(CaptionText);
    p.drawText(rect(), CaptionFlags, text());
    if (hasFocus()) {
        // The focus mark: a dotted light yellow line just inside the panel's edges.
        p.setPen(QPen(PictureBack, 1, Qt::DotLine));
        p.drawRect(rect().adjusted(1, 1, -2, -2));
    }
}

// Any mouse button draws the button pressed; only the primary one can go on to a click.
void DeluxeCaption::mousePressEvent(QMouseEvent* e) {
    emit MouseDown(index_);
    if (e->button() == Qt::LeftButton)
        QAbstractButton::mousePressEvent(e);
    else
        e->accept();
}

// ---- DeluxePanel ----

DeluxePanel::DeluxePanel(QWidget* parent) : QWidget(parent) {
    SetColours(this, Olive, CaptionText);
}

void DeluxePanel::SetPressed(bool pressed) {
    pressed_ = pressed;
    PlaceCaption();
    update();
}

void DeluxePanel::resizeEvent(QResizeEvent*) {
    PlaceCaption();
}

// Raised, the caption lies inside the one-pixel edges; pressed, one pixel right and down.
void DeluxePanel::PlaceCaption() {
    const int w = width(), h = height();
    for (auto* caption : findChildren<DeluxeCaption*>(Qt::FindDirectChildrenOnly))
        caption->setGeometry(pressed_ ? QRect(2, 2, w - 3, h - 3) : QRect(1, 1, w - 2, h - 2));
}

void DeluxePanel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (pressed_)
        DrawEdges(p, width(), height(), Shadow, Light);
    else
        DrawEdges(p, width(), height(), Light, Shadow);
}

// ---- DeluxeTitle ----

DeluxeTitle::DeluxeTitle(QWidget* parent) : QLabel(parent) {
    setContentsMargins(1, 1, 1, 1);
}

void DeluxeTitle::paintEvent(QPaintEvent* e) {
    QLabel::paintEvent(e);
    QPainter p(this);
    DrawBox(p, {0, 0}, {width() - 1, height() - 1}, Qt::black);
}

// ---- MFormDeluxe ----

MFormDeluxe::MFormDeluxe(QWidget* parent) : QWidget(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    const Zoom::AtDesignSize design;
    setObjectName(QStringLiteral("MFormDeluxe"));
    InstallTableAccessibility(); // a dialog to assistive technology, not a bare window
    setWindowModality(Qt::ApplicationModal);
    SetColours(this, Olive, MessageText);

    Label3 = new DeluxeTitle(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setTextFormat(Qt::PlainText);
    Label3->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    Label3->setFont(InPixels(DesignFont(Face::TimesNewRoman, 9.75, Bold | Italic | Underlined)));
    SetColours(Label3, TitleBack, Qt::white);

    Label2 = new QLabel(this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setTextFormat(Qt::PlainText);
    Label2->setWordWrap(true);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label2->setFont(InPixels(DesignFont(Face::Verdana, 11.25)));
    SetColours(Label2, Olive, MessageText);

    // A 32 x 32 picture inside a one-pixel border: 510 twips square.
    Picture1 = new QLabel(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setAccessibleName(QStringLiteral("Flame"));
    Picture1->setFrameStyle(QFrame::Box | QFrame::Plain);
    Picture1->setLineWidth(1);
    Picture1->setAlignment(Qt::AlignCenter);
    SetColours(Picture1, PictureBack, Qt::black);
    PlaceTwips(Picture1, QRect(3900, 0, 510, 510));

    for (int i = 0; i < 3; ++i) {
        Pic1[i] = new DeluxePanel(this);
        Pic1[i]->setObjectName(QStringLiteral("Pic1_%1").arg(i));
        PlaceTwips(Pic1[i], QRect(0, 0, 1275, 300));
        Label1[i] = new DeluxeCaption(i, Pic1[i]);
        connect(Label1[i], &DeluxeCaption::MouseDown, this, &MFormDeluxe::Label1_MouseDown);
        connect(Label1[i], &QAbstractButton::clicked, this, [this, i] { Label1_Click(i); });
    }
    fonts_.Capture(this);
    for (DeluxePanel* panel : Pic1)
        fonts_.Capture(panel);
}

void MFormDeluxe::FollowZoom() {
    fonts_.ApplyFonts();
}

void MFormDeluxe::PlaceTwips(QWidget* control, const QRect& twips) {
    twips_.insert(control, twips);
    control->setGeometry(PxRect(twips.left(), twips.top(), twips.width(), twips.height()));
}

void MFormDeluxe::PlaceWindowTwips(const QRect& screenPx, const QRect& twips) {
    window_ = twips;
    setGeometry(screenPx.left() + Px(twips.left()), screenPx.top() + Px(twips.top()), Px(twips.width()),
                Px(twips.height()));
}

void MFormDeluxe::ClearFrame() {
    frameDrawn_ = false;
    update();
}

void MFormDeluxe::DrawFrame() {
    frameDrawn_ = true;
    update();
}

void MFormDeluxe::ShowPicture(int icon) {
    Picture1->setPixmap(icon == 1 ? Flame(devicePixelRatioF(), Zoom::Factor()) : QPixmap());
}

int MFormDeluxe::ShowModal(int lastButton) {
    answered_ = false;
    // The dialog opens with the keyboard on its first button.
    Label1[0]->setFocus(Qt::OtherFocusReason);
    Waits::RunModal(this);
    if (!answered_) {
        hide();
        pressed_ = lastButton;
    }
    return pressed_;
}

void MFormDeluxe::Label1_Click(int Index) {
    if (!isVisible()) return;
    hide();
    pressed_ = Index;
    answered_ = true;
    Waits::Notify();
}

// The caption moves one pixel right and down and the panel is drawn sunken. It stays so
// until the next layout: a press released elsewhere leaves it pressed.
void MFormDeluxe::Label1_MouseDown(int Index) {
    Pic1.at(Index)->SetPressed(true);
}

// The raised frame, one pixel inside the top and left edges and two inside the bottom and
// right edges.
void MFormDeluxe::paintEvent(QPaintEvent*) {
    if (!frameDrawn_) return;
    const int W = window_.width();
    const int H = window_.height();
    QPainter p(this);
    DrawBox(p, {Px(15), Px(15)}, {Px(W - 30), Px(H - 30)}, Light);
    DrawLine(p, {Px(15), Px(H - 30)}, {Px(W - 30), Px(H - 30)}, Shadow);
    DrawLine(p, {Px(W - 30), Px(H - 30)}, {Px(W - 30), Px(30)}, Shadow);
}

// The dialog has no keyboard answer: no default button, no cancel button.
void MFormDeluxe::keyPressEvent(QKeyEvent* e) {
    e->accept();
}

// Only a button answers; a close request (Alt+F4, the window manager) would leave no answer
// and is refused, unless the whole program is ending.
void MFormDeluxe::closeEvent(QCloseEvent* e) {
    if (Waits::Exiting()) {
        e->accept();
        Waits::Notify();
        return;
    }
    e->ignore();
}

void MFormDeluxe::WarmUp() {
    ensurePolished();
    create(); // see FrmBid::WarmUp
    const QString sample =
        QStringLiteral("The quick brown fox jumps over the lazy dog. THE LAZY DOG 0123456789, yes?");
    const QString message = Label2->text();
    Label2->setText(sample);
    Label2->heightForWidth(Px(MessageWidth));
    Label2->setText(message);
    // The title and the captions (all three share one font) are painted, not laid out: their
    // fonts load when first measured.
    QFontMetrics(Label3->font()).horizontalAdvance(sample);
    QFontMetrics(Label1[0]->font()).horizontalAdvance(sample);
}
