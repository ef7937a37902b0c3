#pragma once
// The table is laid out in twips (1/1440 inch); 15 twips make one logical pixel.
#include <QRect>
#include <cmath>

constexpr int TwipsPerPixel = 15;

inline int Px(int twips) {
    return static_cast<int>(std::lround(twips / double(TwipsPerPixel)));
}
inline QRect PxRect(int left, int top, int width, int height) {
    return QRect(Px(left), Px(top), Px(width), Px(height));
}
