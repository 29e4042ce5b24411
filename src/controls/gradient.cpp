#include "controls/gradient.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>
#include <QPalette>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace kavio::qt {

namespace {

// Paints `extent` one-pixel lines from `start` on, from colour `a` to colour `b`.
void paintSegment(QPainter& painter, const QRect& rect, bool vertical, int start, int extent,
                  const QColor& a, const QColor& b)
{
    if (extent <= 0)
        return;
    const int from[3] = {a.red(), a.green(), a.blue()};
    const int to[3] = {b.red(), b.green(), b.blue()};
    int64_t step[3] = {0, 0, 0};
    if (extent > 1) {
        for (int c = 0; c < 3; ++c)
            step[c] = std::llround(double(to[c] - from[c]) / double(extent - 1) * 10000.0);
    }
    for (int i = 0; i < extent; ++i) {
        // Integer division truncates towards zero, as the fill rule wants.
        const auto channel = [&](int c) {
            return std::clamp(from[c] + int(i * step[c] / 10000), 0, 255);
        };
        const QColor color(channel(0), channel(1), channel(2));
        const QRect line = vertical ? QRect(rect.left(), start + i, rect.width(), 1)
                                    : QRect(start + i, rect.top(), 1, rect.height());
        painter.fillRect(line, color);
    }
}

}  // namespace

int GradientFill(QPainter& painter, const QRect& rect, int direction, int count,
                 const std::vector<QColor>& colors)
{
    QElapsedTimer timer;
    timer.start();
    if (colors.empty() || rect.isEmpty())
        return int(timer.elapsed());
    if (count <= 0) {
        painter.fillRect(rect, colors.front());
        return int(timer.elapsed());
    }
    const bool vertical = direction == gdVertical;
    const int extent = vertical ? rect.height() : rect.width();
    const int origin = vertical ? rect.top() : rect.left();
    const int size = extent / count;
    for (int k = 0; k < count && size_t(k) + 1 < colors.size(); ++k)
        paintSegment(painter, rect, vertical, origin + k * size, size, colors[size_t(k)],
                     colors[size_t(k) + 1]);
    return int(timer.elapsed());
}

QColor ToQColor(TColor color, const QPalette& palette)
{
    const uint32_t kind = color >> 24;
    if (kind == 0x00)
        return QColor(int(color & 0xFF), int(color >> 8 & 0xFF), int(color >> 16 & 0xFF));
    if (kind != 0xFF)
        return QColor();
    using P = QPalette;
    switch (color & 0xFFFFFF) {
    case 0: return palette.color(P::Midlight);                       // scroll bar
    case 1: return palette.color(P::Dark);                           // desktop
    case 2: return palette.color(P::Active, P::Highlight);           // active caption
    case 3: return palette.color(P::Mid);                            // inactive caption
    case 4: return palette.color(P::Window);                         // menu
    case 5: return palette.color(P::Base);                           // window
    case 6: return palette.color(P::Shadow);                         // window frame
    case 7: return palette.color(P::WindowText);                     // menu text
    case 8: return palette.color(P::Text);                           // window text
    case 9: return palette.color(P::HighlightedText);                // caption text
    case 10: return palette.color(P::Button);                        // active border
    case 11: return palette.color(P::Button);                        // inactive border
    case 12: return palette.color(P::Dark);                          // application workspace
    case 13: return palette.color(P::Active, P::Highlight);          // highlight
    case 14: return palette.color(P::Active, P::HighlightedText);    // highlight text
    case 15: return palette.color(P::Button);                        // button face
    case 16: return palette.color(P::Dark);                          // button shadow
    case 17: return palette.color(P::Disabled, P::Text);             // grey text
    case 18: return palette.color(P::ButtonText);                    // button text
    case 19: return palette.color(P::Disabled, P::WindowText);       // inactive caption text
    case 20: return palette.color(P::Light);                         // button highlight
    case 21: return palette.color(P::Shadow);                        // 3D dark shadow
    case 22: return palette.color(P::Midlight);                      // 3D light
    case 23: return palette.color(P::ToolTipText);                   // info text
    case 24: return palette.color(P::ToolTipBase);                   // info background
    case 26: return palette.color(P::Link);                          // hot light
    case 27: return palette.color(P::Active, P::Highlight);          // gradient active caption
    case 28: return palette.color(P::Mid);                           // gradient inactive caption
    case 29: return palette.color(P::Active, P::Highlight);          // menu highlight
    case 30: return palette.color(P::Window);                        // menu bar
    default: return QColor();
    }
}

QColor ToQColor(TColor color)
{
    return ToQColor(color, QGuiApplication::palette());
}

}  // namespace kavio::qt
