#include "SomatoChart.h"

#include "StrokeText.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QtMath>

#include <cmath>

using namespace SomatoChart;

namespace {

const QColor ink(43, 48, 58);
const QColor triangleColour(31, 111, 120);
const QColor gridColour(226, 229, 234);
const QColor scaleColour(120, 126, 136);
const QColor axisColour(150, 156, 166);

// The chart's scales: grid lines at every unit of x and every second unit of y.
constexpr int firstX = -8, lastX = 8;
constexpr int firstY = -10, lastY = 16;

QPointF at(double x, double y)
{
    return QPointF(originX + x * unitX, originY - y * unitY);
}

QPointF pointOf(double endomorphy, double mesomorphy, double ectomorphy)
{
    return chartPoint(Somatotype{endomorphy, mesomorphy, ectomorphy});
}


// Width of a text drawn at the scale (one cell is 14 units high).
qreal textWidth(const QString &text, qreal scale)
{
    qreal w = 0;
    for (QChar c : text)
        w += strokeAdvance(c);
    return (w - 3) * scale;
}


// A text centred on a point.
void drawTextAround(QPainter &p, QPointF centre, const QString &text, qreal scale, const QColor &colour)
{
    drawStrokeText(p, centre - QPointF(textWidth(text, scale) / 2, 7 * scale), text, scale, colour);
}

QPointF unit(QPointF v)
{
    const qreal length = std::hypot(v.x(), v.y());
    return length > 0 ? v / length : QPointF();
}

// A side of the triangle: the arc from a to b, bulging away from the centre,
// on a circle whose radius is the side's length.
struct Side {
    QPointF centre;
    qreal radius;
};

Side sideOf(QPointF a, QPointF b, QPointF inside)
{
    const QPointF middle = (a + b) / 2;
    const qreal chord = std::hypot(b.x() - a.x(), b.y() - a.y());
    QPointF normal(-(b.y() - a.y()), b.x() - a.x());
    normal = unit(normal);
    if (QPointF::dotProduct(normal, inside - middle) < 0)
        normal = -normal;
    const qreal depth = std::sqrt(chord * chord - chord * chord / 4);
    return Side{middle + normal * depth, chord};
}

// Qt's arc angles: degrees, counter-clockwise, y upwards.
qreal angleOf(const Side &side, QPointF point)
{
    return qRadiansToDegrees(std::atan2(-(point.y() - side.centre.y()), point.x() - side.centre.x()));
}

void arcTo(QPainterPath &path, const Side &side, QPointF from, QPointF to)
{
    const qreal start = angleOf(side, from);
    qreal sweep = angleOf(side, to) - start;
    while (sweep > 180)
        sweep -= 360;
    while (sweep < -180)
        sweep += 360;
    const QRectF box(side.centre - QPointF(side.radius, side.radius), QSizeF(2 * side.radius, 2 * side.radius));
    path.arcTo(box, start, sweep);
}

// Where the ray from `from` through `through` leaves the side's circle.
QPointF exitPoint(const Side &side, QPointF from, QPointF through)
{
    const QPointF d = unit(through - from);
    const QPointF f = from - side.centre;
    const qreal b = QPointF::dotProduct(f, d);
    const qreal c = QPointF::dotProduct(f, f) - side.radius * side.radius;
    const qreal t = -b + std::sqrt(std::max<qreal>(0, b * b - c));
    return from + d * t;
}

void drawScales(QPainter &p)
{
    const QPointF topLeft = at(firstX, lastY);
    const QPointF bottomRight = at(lastX, firstY);
    p.setPen(QPen(gridColour, 1));
    for (int x = firstX; x <= lastX; ++x)
        p.drawLine(QPointF(at(x, 0).x(), topLeft.y()), QPointF(at(x, 0).x(), bottomRight.y()));
    for (int y = firstY; y <= lastY; y += 2)
        p.drawLine(QPointF(topLeft.x(), at(0, y).y()), QPointF(bottomRight.x(), at(0, y).y()));
    for (int x = firstX; x <= lastX; x += 2)
        drawTextAround(p, QPointF(at(x, 0).x(), bottomRight.y() + 12), QString::number(x), 0.7, scaleColour);
    // The lowest line of y has no number: it would meet the numbers of x.
    for (int y = firstY + 2; y <= lastY; y += 2) {
        const QString text = QString::number(y);
        drawStrokeText(p, QPointF(topLeft.x() - 6 - textWidth(text, 0.7), at(0, y).y() - 4.9), text, 0.7, scaleColour);
    }
}

} // namespace

bool somatotypeOfRow(const double *values, int length, Somatotype *somatotype)
{
    if (!values || length < 3)
        return false;
    *somatotype = Somatotype{values[length - 3], values[length - 2], values[length - 1]};
    return true;
}

QPointF chartPoint(const Somatotype &s)
{
    const double x = (s.ectomorphy - s.endomorphy) * unitX + originX;
    const double y = originY - ((2 * s.mesomorphy - s.ectomorphy) - s.endomorphy) * unitY;
    return QPointF(x, y);
}

QRectF markerRect(const Somatotype &somatotype)
{
    const QPointF centre = chartPoint(somatotype);
    return QRectF(centre.x() - markerSize / 2, centre.y() - markerSize / 2, markerSize, markerSize);
}

void drawSomatochart(QPainter &p)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(QRectF(0, 0, width, height), Qt::white);
    drawScales(p);

    const QPointF endo = pointOf(7, 1, 1);
    const QPointF meso = pointOf(1, 7, 1);
    const QPointF ecto = pointOf(1, 1, 7);
    const QPointF origin = pointOf(4, 4, 4);
    const QPointF centroid = (endo + meso + ecto) / 3;
    const Side left = sideOf(endo, meso, centroid);
    const Side right = sideOf(meso, ecto, centroid);
    const Side bottom = sideOf(ecto, endo, centroid);

    // The axes: from each corner through 4-4-4 to the opposite side.
    p.setPen(QPen(axisColour, 1.2, Qt::DashLine));
    p.drawLine(meso, exitPoint(bottom, meso, origin));
    p.drawLine(endo, exitPoint(right, endo, origin));
    p.drawLine(ecto, exitPoint(left, ecto, origin));

    QPainterPath triangle(endo);
    arcTo(triangle, left, endo, meso);
    arcTo(triangle, right, meso, ecto);
    arcTo(triangle, bottom, ecto, endo);
    triangle.closeSubpath();
    p.setPen(QPen(triangleColour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(triangle);

    // Reference somatotypes: the corners, 4-4-4, the middles of the sides and
    // the points half way from 4-4-4 to the corners, all on the axes.
    const struct {
        int endomorphy, mesomorphy, ectomorphy;
        qreal dx, dy; // where the label stands, from the point
    } references[] = {
        {7, 1, 1, -24, 14}, {1, 7, 1, 0, -16}, {1, 1, 7, 24, 14}, {4, 4, 4, 38, 0},
        {4, 4, 1, 20, -14}, {1, 4, 4, -20, -14}, {4, 1, 4, 34, 0}, {4, 1, 1, -20, -14},
        {1, 4, 1, 34, 0},   {1, 1, 4, 20, -14},
    };
    for (const auto &r : references) {
        const QPointF point = pointOf(r.endomorphy, r.mesomorphy, r.ectomorphy);
        p.setPen(Qt::NoPen);
        p.setBrush(ink);
        p.drawEllipse(point, 2.5, 2.5);
        drawTextAround(p, point + QPointF(r.dx, r.dy),
                       QStringLiteral("%1-%2-%3").arg(r.endomorphy).arg(r.mesomorphy).arg(r.ectomorphy), 0.8, ink);
    }

    // The three components, by their corners.
    drawTextAround(p, meso + QPointF(0, -40), QStringLiteral("MEZOMORFIE"), 1.0, triangleColour);
    drawTextAround(p, endo + QPointF(-10, 44), QStringLiteral("ENDOMORFIE"), 1.0, triangleColour);
    drawTextAround(p, ecto + QPointF(10, 44), QStringLiteral("EKTOMORFIE"), 1.0, triangleColour);
    p.restore();
}

void drawMarkers(QPainter &p, const std::vector<Somatotype> &somatotypes)
{
    p.save();
    QPen pen;
    pen.setColor(Qt::blue);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    for (const Somatotype &s : somatotypes)
        p.drawRect(markerRect(s));
    p.restore();
}

bool writeChart(QIODevice *device, ChartFormat format, const std::vector<Somatotype> &somatotypes)
{
    if (format == ChartFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(device);
        svg.setSize(QSize(width, height));
        svg.setViewBox(QRect(0, 0, width, height));
        svg.setResolution(96); // one pixel of the picture is one CSS pixel
        svg.setTitle(QString::fromUtf8("Sheldonův trojúhelník"));
        QPainter painter;
        if (!painter.begin(&svg))
            return false;
        drawSomatochart(painter);
        drawMarkers(painter, somatotypes);
        return painter.end();
    }
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&image);
    drawSomatochart(painter);
    drawMarkers(painter, somatotypes);
    painter.end();
    return image.save(device, "PNG");
}

bool writeChart(const QString &path, ChartFormat format, const std::vector<Somatotype> &somatotypes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!writeChart(&file, format, somatotypes)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}
