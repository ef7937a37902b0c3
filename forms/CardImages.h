#pragma once
// The 56 card images of the table's image list, drawn by the program itself:
// 1..52 the faces (image i is card i), 53 the upright back, 54 the back turned a quarter
// turn clockwise, 55 upside down, 56 a quarter turn anticlockwise.
// Sizes in logical pixels: faces 55 x 79, backs 53 x 79, turned backs 79 x 53.
// Each image is drawn once, at the device pixel ratio and the table's zoom asked for, in the
// deck's colours of the moment (Four-Colour Suits, Options.h), and cached.

#include "Layout.h"

#include <QPixmap>
#include <QSize>

namespace CardImages {

constexpr int FirstBack = CardImage::FirstBack;
constexpr int Count = 56;

// Logical size of image `index` (1..56); an invalid index gives an empty size.
QSize LogicalSize(int index);

// The size image `index` is shown at on a table at `zoom`, in device-independent pixels.
QSize ShownSize(int index, double zoom);

// The image, drawn at `dpr` and `zoom` (ShownSize) on first use and cached. An invalid index
// gives a null pixmap.
const QPixmap& Image(int index, qreal dpr, double zoom = 1.0);

// Whether the image is drawn and cached already.
bool IsCached(int index, qreal dpr, double zoom = 1.0);

// Draw and cache all 56 images at `dpr` and `zoom` now.
void Prepare(qreal dpr, double zoom = 1.0);

// Drops every image drawn for another ratio, zoom or deck.
void KeepOnly(qreal dpr, double zoom);

} // namespace CardImages
