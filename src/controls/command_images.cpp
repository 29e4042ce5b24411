#include "controls/command_images.h"

#include <QPainter>
#include <QPainterPath>
#include <QPainterPathStroker>
#include <QPixmap>

#include <cmath>
#include <functional>

namespace kavio::qt {

namespace {

// Outlines run along pixel centres (x.5), so a one-unit pen covers whole pixels at every scale.
const QColor kInk(64, 64, 64);
const QColor kAccent(36, 116, 204);
const QColor kAccentLight(196, 222, 248);
const QColor kPaper(255, 255, 255);
const QColor kFolder(240, 196, 84);
const QColor kFolderFront(250, 218, 130);
const QColor kStop(204, 52, 40);

using Painting = std::function<void(QPainter&)>;

QIcon drawIcon(int size, const Painting& paint)
{
    QIcon icon;
    for (int scale : {1, 2, 4}) {
        QPixmap pixmap(size * scale, size * scale);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(scale, scale);
        paint(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

QPen inkPen(qreal width = 1.0, const QColor& color = kInk)
{
    return QPen(color, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

QPen roundPen(qreal width, const QColor& color)
{
    return QPen(color, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void shape(QPainter& p, const QPainterPath& path, const QColor& fill, const QColor& stroke = kInk)
{
    p.setPen(inkPen(1.0, stroke));
    p.setBrush(fill);
    p.drawPath(path);
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

// A sheet of paper with a folded top-right corner and a few text lines.
void page(QPainter& p, qreal l, qreal t, qreal r, qreal b, int lines = 3,
          const QColor& lineColor = kAccent)
{
    const qreal fold = 3;
    shape(p, polygon({{l, t}, {r - fold, t}, {r, t + fold}, {r, b}, {l, b}}), kPaper);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(r - fold, t), QPointF(r - fold, t + fold), QPointF(r, t + fold)}));
    p.setPen(inkPen(1.0, lineColor));
    for (int i = 0; i < lines; ++i) {
        const qreal y = t + 4 + 2 * i;
        if (y >= b - 1)
            break;
        p.drawLine(QPointF(l + 2, y), QPointF(r - 2 - (i == lines - 1 ? 2 : 0), y));
    }
}

void plus(QPainter& p, qreal cx, qreal cy, qreal arm, const QColor& color = kAccent)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    p.drawRect(QRectF(cx - arm, cy - 1, 2 * arm, 2));
    p.drawRect(QRectF(cx - 1, cy - arm, 2, 2 * arm));
}

void cross(QPainter& p, qreal l, qreal t, qreal r, qreal b, qreal width, const QColor& color)
{
    p.setPen(QPen(color, width, Qt::SolidLine, Qt::FlatCap));
    p.drawLine(QPointF(l, t), QPointF(r, b));
    p.drawLine(QPointF(r, t), QPointF(l, b));
}

// A vertical arrow, pointing up; the caller mirrors it for down.
void arrowUp(QPainter& p)
{
    shape(p, polygon({{8, 1.5}, {14.5, 8}, {10.5, 8}, {10.5, 14.5}, {5.5, 14.5}, {5.5, 8}, {1.5, 8}}),
          kAccent);
}

void clipboard(QPainter& p, qreal l, qreal t, qreal r, qreal b)
{
    shape(p, polygon({{l, t + 1}, {r, t + 1}, {r, b}, {l, b}}), kFolderFront);
    const qreal mid = (l + r) / 2;
    shape(p, polygon({{mid - 2.5, t - 0.5}, {mid + 2.5, t - 0.5}, {mid + 2.5, t + 2}, {mid - 2.5, t + 2}}),
          kInk);
}

// A curved arrow turning back to the left; mirrored for redo.
void undoArrow(QPainter& p)
{
    QPainterPath curve;
    curve.moveTo(13, 13.5);
    curve.cubicTo(15, 8, 11.5, 5.5, 6, 5.5);
    p.setPen(roundPen(2.2, kAccent));
    p.setBrush(Qt::NoBrush);
    p.drawPath(curve);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawPolygon(QPolygonF({QPointF(0.8, 5.5), QPointF(6.8, 0.8), QPointF(6.8, 10.2)}));
}

void gear(QPainter& p)
{
    const QPointF c(8, 8);
    const int teeth = 8;
    QPolygonF outline;
    for (int i = 0; i < teeth * 4; ++i) {
        // Each tooth: two points on the tip circle, two on the root circle.
        const double angle = (i - 0.5) * M_PI * 2 / (teeth * 4) + M_PI / (teeth * 4);
        const double radius = (i % 4 == 0 || i % 4 == 1) ? 7.3 : 5.2;
        outline << c + QPointF(radius * std::cos(angle), radius * std::sin(angle));
    }
    QPainterPath body;
    body.addPolygon(outline);
    body.closeSubpath();
    QPainterPath hole;
    hole.addEllipse(c, 2.2, 2.2);
    shape(p, body.subtracted(hole), QColor(120, 120, 120));
}

void wrench(QPainter& p)
{
    QPainterPath handle;
    handle.moveTo(3, 13);
    handle.lineTo(9, 7);
    QPainterPathStroker stroker;
    stroker.setWidth(3.4);
    stroker.setCapStyle(Qt::RoundCap);
    QPainterPath tool = stroker.createStroke(handle);
    QPainterPath head;
    head.addEllipse(QPointF(10.5, 5.5), 4.2, 4.2);
    tool = tool.united(head);
    // The jaw opening, turned along the handle.
    QPainterPath jaw;
    jaw.addRect(QRectF(-1.6, -5, 3.2, 5));
    QTransform turn;
    turn.translate(10.5, 5.5);
    turn.rotate(45);
    tool = tool.subtracted(turn.map(jaw));
    shape(p, tool.simplified(), kAccent);
}

void paintCommand(QPainter& p, int index)
{
    switch (index) {
    case 0: {  // SetTitle: a title letter and a pen
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawRect(QRectF(1, 1, 10, 2));
        p.drawRect(QRectF(5, 1, 2, 11));
        QPainterPath pen = polygon({{8, 15}, {8.5, 12.5}, {13.5, 7.5}, {15.5, 9.5}, {10.5, 14.5}});
        shape(p, pen, kAccent);
        break;
    }
    case 1: arrowUp(p); break;
    case 2:
        p.translate(0, 16);
        p.scale(1, -1);
        arrowUp(p);
        break;
    case 3: {  // PageListLeft: a window with its list on the left
        shape(p, polygon({{1.5, 2.5}, {14.5, 2.5}, {14.5, 13.5}, {1.5, 13.5}}), kPaper);
        shape(p, polygon({{1.5, 2.5}, {6.5, 2.5}, {6.5, 13.5}, {1.5, 13.5}}), kAccent);
        p.setPen(inkPen(1.0, kPaper));
        for (qreal y : {5.5, 7.5, 9.5})
            p.drawLine(QPointF(3, y), QPointF(5, y));
        p.setPen(inkPen(1.0, QColor(160, 160, 160)));
        for (qreal y : {5.5, 7.5, 9.5, 11.5})
            p.drawLine(QPointF(8.5, y), QPointF(12.5, y));
        break;
    }
    case 4: {  // Cut: scissors
        p.setPen(roundPen(1.6, kInk));
        p.drawLine(QPointF(5.6, 10), QPointF(11, 1.5));
        p.drawLine(QPointF(10.4, 10), QPointF(5, 1.5));
        p.setPen(inkPen(1.6, kAccent));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QPointF(4.3, 12.2), 2.3, 2.3);
        p.drawEllipse(QPointF(11.7, 12.2), 2.3, 2.3);
        break;
    }
    case 5:  // Copy: two sheets
        page(p, 1.5, 0.5, 9.5, 11.5, 2, QColor(160, 160, 160));
        page(p, 5.5, 4.5, 14.5, 15.5, 4);
        break;
    case 6:  // Paste: a sheet on a clipboard
        clipboard(p, 1.5, 1.5, 11.5, 14.5);
        page(p, 6.5, 5.5, 14.5, 15.5, 4);
        break;
    case 7: undoArrow(p); break;
    case 8:
        p.translate(16, 0);
        p.scale(-1, 1);
        undoArrow(p);
        break;
    case 9:  // RemovePage: a sheet struck out
        page(p, 1.5, 0.5, 11.5, 14.5, 4, QColor(160, 160, 160));
        cross(p, 8, 8, 15, 15, 2.2, kStop);
        break;
    case 10: {  // FileOpen: an open folder
        shape(p, polygon({{0.5, 2.5}, {5.5, 2.5}, {7, 4.5}, {13.5, 4.5}, {13.5, 13.5}, {0.5, 13.5}}),
              kFolder);
        shape(p, polygon({{0.5, 13.5}, {3, 7.5}, {15.5, 7.5}, {13.5, 13.5}}), kFolderFront);
        break;
    }
    case 11: {  // FileSaveAs: a diskette
        shape(p, polygon({{1.5, 1.5}, {12.5, 1.5}, {14.5, 3.5}, {14.5, 14.5}, {1.5, 14.5}}), kAccent);
        shape(p, polygon({{4.5, 1.5}, {11.5, 1.5}, {11.5, 5.5}, {4.5, 5.5}}), kAccentLight);
        shape(p, polygon({{3.5, 8.5}, {12.5, 8.5}, {12.5, 14.5}, {3.5, 14.5}}), kPaper);
        p.setPen(inkPen(1.0, QColor(160, 160, 160)));
        p.drawLine(QPointF(5, 10.5), QPointF(11, 10.5));
        p.drawLine(QPointF(5, 12.5), QPointF(11, 12.5));
        break;
    }
    case 12: wrench(p); break;
    case 13: {  // ShadeDisable: a window rolling up to its title bar
        shape(p, polygon({{1.5, 1.5}, {14.5, 1.5}, {14.5, 14.5}, {1.5, 14.5}}), kPaper);
        shape(p, polygon({{1.5, 1.5}, {14.5, 1.5}, {14.5, 4.5}, {1.5, 4.5}}), kAccent);
        shape(p, polygon({{8, 6.5}, {11.5, 10}, {9.5, 10}, {9.5, 13}, {6.5, 13}, {6.5, 10}, {4.5, 10}}),
              kInk);
        break;
    }
    case 14: gear(p); break;
    case 15: {  // About: information
        p.setPen(inkPen(1.0, kAccent.darker(130)));
        p.setBrush(kAccent);
        p.drawEllipse(QPointF(8, 8), 7, 7);
        p.setPen(Qt::NoPen);
        p.setBrush(kPaper);
        p.drawRect(QRectF(7, 3, 2, 2));
        p.drawRect(QRectF(7, 6, 2, 7));
        break;
    }
    case 16: {  // HelpContents: a question mark
        p.setPen(inkPen(1.0, kInk));
        p.setBrush(kPaper);
        p.drawEllipse(QPointF(8, 8), 7, 7);
        QPainterPath hook;
        hook.moveTo(5.2, 6);
        hook.cubicTo(5.2, 2.6, 10.8, 2.6, 10.8, 5.8);
        hook.cubicTo(10.8, 7.8, 8, 7.8, 8, 10);
        p.setPen(QPen(kAccent, 2, Qt::SolidLine, Qt::FlatCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(hook);
        p.setPen(Qt::NoPen);
        p.setBrush(kAccent);
        p.drawRect(QRectF(7, 11, 2, 2));
        break;
    }
    default: break;
    }
}

void maximizeGlyph(QPainter& p)
{
    p.setPen(inkPen());
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(1.5, 1.5, 9, 9));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(1, 1, 10, 3));
}

void restoreGlyph(QPainter& p)
{
    p.setPen(inkPen());
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF({QPointF(3.5, 3), QPointF(3.5, 0.5), QPointF(10.5, 0.5), QPointF(10.5, 7.5),
                              QPointF(9, 7.5)}));
    p.drawRect(QRectF(1.5, 3.5, 7, 7));
    p.setPen(Qt::NoPen);
    p.setBrush(kInk);
    p.drawRect(QRectF(1, 3, 8, 2.5));
}

void paintTitleButton(QPainter& p, TitleButton button)
{
    switch (button) {
    case TitleButton::NewPage:
        page(p, 1.5, 0.5, 9.5, 11.5, 0);
        plus(p, 8, 8, 3);
        break;
    case TitleButton::PasteNewPage:
        clipboard(p, 1.5, 1.5, 9.5, 11.5);
        plus(p, 8, 8, 3);
        break;
    case TitleButton::CopyPage:
        page(p, 0.5, 0.5, 7.5, 8.5, 0);
        page(p, 3.5, 3.5, 10.5, 11.5, 0);
        break;
    case TitleButton::Hide:
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        p.drawRect(QRectF(2, 8, 8, 2));
        break;
    case TitleButton::Maximize: maximizeGlyph(p); break;
    case TitleButton::Exit: cross(p, 2, 2, 10, 10, 1.8, kInk); break;
    }
}

}  // namespace

QIcon CommandImage(int index)
{
    if (index < 0 || index >= kCommandImageCount)
        return QIcon();
    return drawIcon(kCommandImageSize, [index](QPainter& p) { paintCommand(p, index); });
}

QIcon TitleButtonImage(TitleButton button)
{
    return drawIcon(kTitleButtonImageSize, [button](QPainter& p) { paintTitleButton(p, button); });
}

QIcon FormStateImage(int state)
{
    switch (state) {
    case 0: return drawIcon(kTitleButtonImageSize, maximizeGlyph);
    case 1: return drawIcon(kTitleButtonImageSize, restoreGlyph);
    default: return QIcon();
    }
}

}  // namespace kavio::qt
