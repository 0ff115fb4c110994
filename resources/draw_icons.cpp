// Draws the program's icons and logo at build time, at 1x and 2x for
// high-density screens (Qt picks name@2x.png by itself). Every picture is made
// of vector shapes here, so it stays sharp at any size.
//
// Usage: draw_icons OUTPUT_FOLDER [SIZE...]
// Each SIZE adds the application's icon of SIZE x SIZE pixels as
// kostimer-SIZE.png, for the desktop's icon theme.

#include "Palette.h"
#include "SomatoChart.h"
#include "StrokeText.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <cstdio>
#include <functional>

namespace {

using Palette::ink;
using Palette::teal;
const QColor tealLight(120, 186, 190);
const QColor orange(224, 122, 47);
const QColor bone(246, 238, 220);
const QColor paper(255, 255, 255);

QPen outline(qreal width = 2.5)
{
    return QPen(ink, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

// A sheet of paper with a folded corner.
void sheet(QPainter &p, QRectF r)
{
    const qreal fold = r.width() * 0.28;
    QPainterPath path;
    path.moveTo(r.topLeft());
    path.lineTo(r.right() - fold, r.top());
    path.lineTo(r.right(), r.top() + fold);
    path.lineTo(r.bottomRight());
    path.lineTo(r.bottomLeft());
    path.closeSubpath();
    p.setPen(outline());
    p.setBrush(paper);
    p.drawPath(path);
    QPainterPath corner;
    corner.moveTo(r.right() - fold, r.top());
    corner.lineTo(r.right() - fold, r.top() + fold);
    corner.lineTo(r.right(), r.top() + fold);
    p.setBrush(bone);
    p.drawPath(corner);
}

// Grid lines of a table inside r.
void tableGrid(QPainter &p, QRectF r, int rows, int columns)
{
    p.setPen(QPen(teal, 2));
    p.setBrush(tealLight);
    p.drawRect(QRectF(r.left(), r.top(), r.width(), r.height() / (rows + 1)));
    for (int i = 1; i <= rows; ++i) {
        const qreal y = r.top() + r.height() * i / (rows + 1);
        p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
    }
    for (int j = 1; j < columns; ++j) {
        const qreal x = r.left() + r.width() * j / columns;
        p.drawLine(QPointF(x, r.top()), QPointF(x, r.bottom()));
    }
    p.setBrush(Qt::NoBrush);
    p.drawRect(r);
}

void arrow(QPainter &p, QPointF from, QPointF to, QColor colour, qreal width)
{
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawLine(from, to);
    QLineF line(to, from);
    QLineF left = line;
    left.setLength(width * 2.4);
    left.setAngle(line.angle() + 35);
    QLineF right = line;
    right.setLength(width * 2.4);
    right.setAngle(line.angle() - 35);
    p.drawLine(left);
    p.drawLine(right);
}

void importData(QPainter &p, QSizeF)
{
    sheet(p, QRectF(22, 6, 42, 50));
    tableGrid(p, QRectF(28, 20, 30, 30), 4, 3);
    arrow(p, QPointF(3, 30), QPointF(24, 30), orange, 5);
}

// A disk: body, shutter and label.
void disk(QPainter &p, QRectF r)
{
    QPainterPath body;
    body.moveTo(r.topLeft());
    body.lineTo(r.right() - 9, r.top());
    body.lineTo(r.right(), r.top() + 9);
    body.lineTo(r.bottomRight());
    body.lineTo(r.bottomLeft());
    body.closeSubpath();
    p.setPen(outline());
    p.setBrush(teal);
    p.drawPath(body);
    p.setBrush(bone);
    p.drawRect(QRectF(r.left() + r.width() * 0.22, r.top() + 2, r.width() * 0.5, r.height() * 0.3));
    p.setBrush(teal);
    p.setPen(Qt::NoPen);
    p.drawRect(QRectF(r.left() + r.width() * 0.52, r.top() + 6, r.width() * 0.12, r.height() * 0.18));
    p.setPen(outline());
    p.setBrush(paper);
    p.drawRoundedRect(QRectF(r.left() + r.width() * 0.14, r.top() + r.height() * 0.5, r.width() * 0.72,
                             r.height() * 0.42),
                      3, 3);
    p.setPen(QPen(tealLight, 2));
    for (int i = 1; i <= 2; ++i) {
        const qreal y = r.top() + r.height() * (0.56 + 0.12 * i);
        p.drawLine(QPointF(r.left() + r.width() * 0.24, y), QPointF(r.left() + r.width() * 0.76, y));
    }
}

void save(QPainter &p, QSizeF)
{
    disk(p, QRectF(12, 8, 46, 50));
}

void saveAs(QPainter &p, QSizeF)
{
    disk(p, QRectF(6, 8, 46, 50));
    // A pencil across the corner.
    p.save();
    p.translate(52, 40);
    p.rotate(-45);
    p.setPen(outline(2));
    p.setBrush(orange);
    p.drawRect(QRectF(-4, -20, 8, 28));
    p.setBrush(bone);
    QPainterPath tip;
    tip.moveTo(-4, 8);
    tip.lineTo(4, 8);
    tip.lineTo(0, 16);
    tip.closeSubpath();
    p.drawPath(tip);
    p.restore();
}

void openProject(QPainter &p, QSizeF)
{
    p.setPen(outline());
    p.setBrush(QColor(232, 176, 92));
    QPainterPath back;
    back.moveTo(6, 14);
    back.lineTo(24, 14);
    back.lineTo(29, 20);
    back.lineTo(56, 20);
    back.lineTo(56, 54);
    back.lineTo(6, 54);
    back.closeSubpath();
    p.drawPath(back);
    sheet(p, QRectF(16, 10, 30, 30));
    p.setBrush(QColor(245, 200, 120));
    QPainterPath front;
    front.moveTo(6, 54);
    front.lineTo(14, 28);
    front.lineTo(62, 28);
    front.lineTo(56, 54);
    front.closeSubpath();
    p.drawPath(front);
}

void document(QPainter &p, QSizeF)
{
    sheet(p, QRectF(12, 4, 40, 56));
    tableGrid(p, QRectF(18, 20, 28, 32), 4, 2);
}

void unitConversion(QPainter &p, QSizeF)
{
    // A ruler under two opposed arrows.
    p.setPen(outline());
    p.setBrush(QColor(245, 214, 120));
    p.drawRoundedRect(QRectF(6, 40, 58, 18), 3, 3);
    p.setPen(QPen(ink, 2));
    for (int i = 0; i <= 10; ++i) {
        const qreal x = 11 + i * 4.8;
        p.drawLine(QPointF(x, 40), QPointF(x, i % 5 == 0 ? 52 : 46));
    }
    arrow(p, QPointF(12, 14), QPointF(58, 14), teal, 5);
    arrow(p, QPointF(58, 28), QPointF(12, 28), orange, 5);
}

void studyOfLiving(QPainter &p, QSizeF)
{
    // A standing figure with a measuring rod beside it.
    p.setPen(outline());
    p.setBrush(orange);
    p.drawEllipse(QPointF(28, 12), 7, 7);
    QPainterPath body;
    body.moveTo(20, 22);
    body.lineTo(36, 22);
    body.lineTo(40, 42);
    body.lineTo(34, 42);
    body.lineTo(34, 62);
    body.lineTo(29, 62);
    body.lineTo(28, 46);
    body.lineTo(27, 62);
    body.lineTo(22, 62);
    body.lineTo(22, 42);
    body.lineTo(16, 42);
    body.closeSubpath();
    p.setBrush(teal);
    p.drawPath(body);
    p.setPen(QPen(ink, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(54, 4), QPointF(54, 63));
    p.setPen(QPen(ink, 2));
    for (int i = 0; i < 7; ++i)
        p.drawLine(QPointF(54, 8 + i * 9), QPointF(48, 8 + i * 9));
    arrow(p, QPointF(44, 20), QPointF(44, 4), orange, 2.5);
}

void spatialData(QPainter &p, QSizeF)
{
    // Axes with three landmarks and the triangle they span.
    arrow(p, QPointF(8, 60), QPointF(8, 6), ink, 3);
    arrow(p, QPointF(8, 60), QPointF(64, 60), ink, 3);
    const QPointF a(18, 48), b(54, 40), c(32, 14);
    p.setPen(QPen(teal, 3, Qt::DashLine, Qt::RoundCap));
    p.drawPolygon(QPolygonF({a, b, c}));
    p.setPen(outline(2));
    p.setBrush(orange);
    for (QPointF point : {a, b, c})
        p.drawEllipse(point, 5, 5);
}


void logo(QPainter &p, QSizeF)
{
    // A long bone across a sliding calliper, then the word mark.
    p.save();
    p.translate(34, 30);
    p.setPen(outline(2.5));
    p.setBrush(bone);
    QPainterPath boneShape;
    boneShape.addRoundedRect(QRectF(-22, -4, 44, 8), 3, 3);
    for (qreal x : {-22.0, 22.0})
        for (qreal y : {-5.0, 5.0})
            boneShape.addEllipse(QPointF(x, y), 6, 6);
    boneShape.setFillRule(Qt::WindingFill);
    p.drawPath(boneShape.simplified());
    p.setPen(QPen(teal, 3, Qt::SolidLine, Qt::SquareCap));
    p.drawLine(QPointF(-28, -16), QPointF(28, -16));
    p.drawLine(QPointF(-24, -16), QPointF(-24, -9));
    p.drawLine(QPointF(24, -16), QPointF(24, -9));
    p.restore();

    drawStrokeText(p, QPointF(72, 17), QStringLiteral("KOSTIMER"), 1.9, ink, 3.0);
    p.setPen(QPen(orange, 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(72, 50), QPointF(270, 50));
}

// The application's icon, for the window and the desktop: the logo's bone
// under a sliding calliper on a rounded tile. Drawn in 64 x 64; pixels is the
// size it ends up at, so that the strokes keep at least one pixel when small.
void application(QPainter &p, QSizeF pixels)
{
    const qreal pixel = 64.0 / pixels.width();
    p.setPen(QPen(ink, qMax(2.0, pixel)));
    p.setBrush(teal);
    p.drawRoundedRect(QRectF(3, 3, 58, 58), 12, 12);

    p.setPen(QPen(orange, qMax(4.5, 1.5 * pixel), Qt::SolidLine, Qt::SquareCap));
    p.drawLine(QPointF(12, 15), QPointF(52, 15));
    p.drawLine(QPointF(16, 15), QPointF(16, 27));
    p.drawLine(QPointF(48, 15), QPointF(48, 27));

    p.save();
    p.translate(32, 40);
    p.setPen(QPen(ink, qMax(2.5, pixel), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(bone);
    QPainterPath boneShape;
    boneShape.addRoundedRect(QRectF(-17, -4, 34, 8), 3, 3);
    for (qreal x : {-17.0, 17.0})
        for (qreal y : {-5.0, 5.0})
            boneShape.addEllipse(QPointF(x, y), 6.5, 6.5);
    boneShape.setFillRule(Qt::WindingFill);
    p.drawPath(boneShape.simplified());
    p.restore();
}

struct Icon {
    const char *name;
    int width;
    int height;
    std::function<void(QPainter &, QSizeF)> draw;
};

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: draw_icons OUTPUT_FOLDER [SIZE...]\n");
        return 2;
    }
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    const Icon icons[] = {
        {"vstupni-data-70x60px", 70, 60, importData},
        {"ulozit-70x67px", 70, 67, save},
        {"ulozit-jako-70x67px", 70, 67, saveAs},
        {"otevrit-projekt", 64, 64, openProject},
        {"document", 64, 64, document},
        {"prevody-jednotek-70x67px", 70, 67, unitConversion},
        {"studium-ziveho-70x67px", 70, 67, studyOfLiving},
        {"uprava-dat-70x67px", 70, 67, spatialData},
        {"logo", 280, 60, logo},
        {"kostimer", 64, 64, [](QPainter &p, QSizeF size) { application(p, size); }},
        // The somatotype dialog's background: the markers are placed by the
        // same geometry.
        {"sheldon", SomatoChart::width, SomatoChart::height, [](QPainter &p, QSizeF) { drawSomatochart(p); }},
    };
    for (const Icon &icon : icons) {
        for (int scale : {1, 2}) {
            QImage image(icon.width * scale, icon.height * scale, QImage::Format_ARGB32_Premultiplied);
            image.fill(Qt::transparent);
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.scale(scale, scale);
            icon.draw(painter, QSizeF(icon.width, icon.height));
            painter.end();
            image.setDevicePixelRatio(scale);
            const QString file = QString::fromLatin1(icon.name) + (scale == 2 ? "@2x.png" : ".png");
            if (!image.save(folder.filePath(file))) {
                std::fprintf(stderr, "draw_icons: cannot write %s\n", qPrintable(folder.filePath(file)));
                return 1;
            }
        }
    }
    for (int i = 2; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size < 8 || size > 1024) {
            std::fprintf(stderr, "draw_icons: not an icon size: %s\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 64.0, size / 64.0);
        application(painter, QSizeF(size, size));
        painter.end();
        const QString file = folder.filePath(QStringLiteral("kostimer-%1.png").arg(size));
        if (!image.save(file)) {
            std::fprintf(stderr, "draw_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
