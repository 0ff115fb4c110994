#include "SomatoChart.h"

#include "Palette.h"
#include "StrokeText.h"

#include <QPainter>
#include <QPainterPath>
#include <QtMath>

#include <algorithm>
#include <cmath>

using namespace SomatoChart;

namespace {

using Palette::ink;
const QColor triangleColour = Palette::teal;
const QColor gridColour(226, 229, 234);
const QColor scaleColour(120, 126, 136);
const QColor axisColour(150, 156, 166);

// A group's mark, its name beside it and the legend.
constexpr qreal groupMarkRadius = 7;
constexpr qreal nameScale = 0.8;
const QPointF nameOffset(10, -20);
constexpr qreal legendMargin = 12;
constexpr qreal legendPadding = 8;
constexpr qreal legendGap = 8;
constexpr qreal legendLine = 20;

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

QColor groupColour(int index)
{
    // Told apart also by most colour-blind readers; none of them is the
    // blue of the squares without a group.
    static const QColor colours[] = {
        QColor(213, 94, 0),   QColor(0, 158, 115),  QColor(204, 121, 167), QColor(230, 159, 0),
        QColor(86, 180, 233), QColor(127, 60, 141), QColor(140, 109, 49),  QColor(231, 41, 138),
    };
    return colours[index % 8];
}

QRectF groupMarkRect(QPointF centre)
{
    // The largest shape, the diamond, with its outline.
    const qreal r = groupMarkRadius * 1.25 + 1;
    return QRectF(centre - QPointF(r, r), QSizeF(2 * r, 2 * r));
}

void drawGroupMark(QPainter &p, int index, QPointF centre)
{
    const qreal r = groupMarkRadius;
    QPainterPath path;
    switch (index % 5) {
    case 0:
        path.addEllipse(centre, r, r);
        break;
    case 1:
        path.addPolygon(QPolygonF({centre + QPointF(0, -1.2 * r), centre + QPointF(1.1 * r, 0.8 * r),
                                   centre + QPointF(-1.1 * r, 0.8 * r)}));
        break;
    case 2:
        path.addPolygon(QPolygonF({centre + QPointF(0, -1.25 * r), centre + QPointF(1.25 * r, 0),
                                   centre + QPointF(0, 1.25 * r), centre + QPointF(-1.25 * r, 0)}));
        break;
    case 3:
        path.addRect(QRectF(centre - QPointF(0.85 * r, 0.85 * r), QSizeF(1.7 * r, 1.7 * r)));
        break;
    default:
        path.addPolygon(QPolygonF({centre + QPointF(0, 1.2 * r), centre + QPointF(1.1 * r, -0.8 * r),
                                   centre + QPointF(-1.1 * r, -0.8 * r)}));
        break;
    }
    path.closeSubpath();
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ink, 1.2));
    p.setBrush(groupColour(index));
    p.drawPath(path);
    p.restore();
}

QRectF groupMeanRect(const ChartGroup &group)
{
    const QPointF centre = chartPoint(group.mean);
    const QRectF name(centre + nameOffset, QSizeF(textWidth(group.name, nameScale), 14 * nameScale));
    // The halo around the strokes, and the tail of a comma below the line.
    return groupMarkRect(centre).united(name.adjusted(-3, -3, 3, 6));
}

void drawGroupMean(QPainter &p, int index, const ChartGroup &group)
{
    const QPointF centre = chartPoint(group.mean);
    drawGroupMark(p, index, centre);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    // On a white halo: the name stays legible over the grid and the labels.
    drawStrokeText(p, centre + nameOffset, group.name, nameScale, Qt::white, 4.5);
    drawStrokeText(p, centre + nameOffset, group.name, nameScale, ink);
    p.restore();
}

QRectF groupLegendRect(const std::vector<ChartGroup> &groups)
{
    qreal names = 0;
    for (const ChartGroup &group : groups)
        names = std::max(names, textWidth(group.name, nameScale));
    const qreal w = legendPadding + 2 * groupMarkRadius + legendGap + names + legendPadding;
    const qreal h = legendPadding * 2 + legendLine * qreal(groups.size()) - (legendLine - 2 * groupMarkRadius);
    return QRectF(width - legendMargin - w, legendMargin, w, h);
}

void drawGroupLegend(QPainter &p, const std::vector<ChartGroup> &groups)
{
    if (groups.empty())
        return;
    const QRectF box = groupLegendRect(groups);
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(scaleColour, 1));
    p.setBrush(Qt::white);
    p.drawRect(box);
    p.restore();
    for (size_t i = 0; i < groups.size(); ++i) {
        const QPointF centre = box.topLeft()
                               + QPointF(legendPadding + groupMarkRadius,
                                         legendPadding + groupMarkRadius + legendLine * qreal(i));
        drawGroupMark(p, int(i), centre);
        p.save();
        p.setRenderHint(QPainter::Antialiasing);
        drawStrokeText(p, centre + QPointF(groupMarkRadius + legendGap, -7 * nameScale), groups[i].name, nameScale,
                       ink);
        p.restore();
    }
}

void drawChartContent(QPainter &p, const ChartContent &content)
{
    drawSomatochart(p);
    if (content.groups.empty()) {
        drawMarkers(p, content.somatotypes);
        return;
    }
    p.save();
    p.setBrush(Qt::NoBrush);
    for (size_t i = 0; i < content.somatotypes.size(); ++i) {
        const int group = i < content.groupOf.size() ? content.groupOf[i] : -1;
        QPen pen;
        pen.setColor(group >= 0 ? groupColour(group) : QColor(Qt::blue));
        p.setPen(pen);
        p.drawRect(markerRect(content.somatotypes[i]));
    }
    p.restore();
    for (size_t i = 0; i < content.groups.size(); ++i)
        if (!std::isnan(content.groups[i].mean.endomorphy))
            drawGroupMean(p, int(i), content.groups[i]);
    drawGroupLegend(p, content.groups);
}

bool writeChart(QIODevice *device, ChartFormat format, const ChartContent &content, QString *error)
{
    return writePicture(device, format, QSize(width, height), QStringLiteral("Sheldonův trojúhelník"),
                        [&content](QPainter &painter) { drawChartContent(painter, content); }, error);
}

bool writeChart(const QString &path, ChartFormat format, const ChartContent &content, QString *error)
{
    return writePicture(path, format, QSize(width, height), QStringLiteral("Sheldonův trojúhelník"),
                        [&content](QPainter &painter) { drawChartContent(painter, content); }, error);
}
