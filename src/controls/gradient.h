#pragma once

#include "config/ini_file.h"

#include <QColor>

#include <vector>

class QPainter;
class QPalette;
class QRect;

namespace kavio::qt {

enum TGradientDirection { gdHorizontal = 0, gdVertical = 1 };

// Fills `rect` with `count` gradient segments through the colours colors[0] … colors[count]
// (direction 0: the colour changes from left to right; 1: from top to bottom) and returns the
// milliseconds spent.
//
// A count of 0 (or less) fills the rectangle with the first colour. Otherwise the extent n
// (width or height) is cut into segments of n / count positions from the rectangle's start;
// the n % count positions after the last segment stay unpainted. Within a segment of s
// positions from colour A to colour B, position i gets A + trunc(i * step / 10000) per
// channel, step being (B - A) / (s - 1) * 10000 rounded to a whole number, so the first
// position is A exactly and the last is B up to rounding. A segment of one position takes its
// start colour. A segment whose colours are not both given is left unpainted, and no colours
// at all paint nothing.
int GradientFill(QPainter& painter, const QRect& rect, int direction, int count,
                 const std::vector<QColor>& colors);

// A colour value of the settings and scheme files as a QColor: an explicit colour as it is;
// a system colour (FF in the top byte) as the matching colour of `palette`; clNone, clDefault
// and any other value as an invalid QColor, which the painting code reads as "no colour".
QColor ToQColor(TColor color, const QPalette& palette);
// The same against the application's palette.
QColor ToQColor(TColor color);

}  // namespace kavio::qt
