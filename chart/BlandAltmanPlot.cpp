#include "BlandAltmanPlot.h"

#include "NumberFormat.h"
#include "Palette.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

using Palette::ink;
const QColor gridColour(226, 229, 234);
const QColor zeroColour(150, 156, 166);
const QColor pointColour = Palette::teal;
const QColor limitColour(176, 58, 46);

// Room for the scales' numbers and titles, and at the right for the lines' names.
constexpr qreal leftMargin = 86;
constexpr qreal rightMargin = 150;
constexpr qreal topMargin = 44;
constexpr qreal bottomMargin = 64;
constexpr qreal pointRadius = 3.5;

QString numberText(double value)
{
    return QString::fromLatin1(formatValue(value));
}

// A scale from low to high, widened to whole steps of 1, 2 or 5 times a power
// of ten, about six of them.
struct Scale {
    double low;
    double high;
    double step;
};

Scale scaleOver(double low, double high)
{
    if (!(high > low)) {
        const double pad = low != 0 ? std::fabs(low) * 0.1 : 1.0;
        low -= pad;
        high += pad;
    }
    const double rough = (high - low) / 6;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    double step = power;
    for (double factor : {1.0, 2.0, 5.0, 10.0})
        if (rough <= factor * power) {
            step = factor * power;
            break;
        }
    return {std::floor(low / step) * step, std::ceil(high / step) * step, step};
}

} // namespace

QString blandAltmanXTitle()
{
    return QStringLiteral("Průměr obou měření");
}

QString blandAltmanYTitle()
{
    return QStringLiteral("Rozdíl (2. − 1. měření)");
}

void drawBlandAltman(QPainter &p, const BlandAltmanPlot &plot, const QRectF &area)
{
    p.save();
    p.fillRect(area, Qt::white);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font = p.font();
    font.setPixelSize(13);
    p.setFont(font);

    // The ranges: every point, and the lines (and 0) on the difference axis.
    double xLow = HUGE_VAL, xHigh = -HUGE_VAL, yLow = 0, yHigh = 0;
    for (double m : plot.points.means) {
        xLow = std::min(xLow, m);
        xHigh = std::max(xHigh, m);
    }
    for (double d : plot.points.differences) {
        yLow = std::min(yLow, d);
        yHigh = std::max(yHigh, d);
    }
    for (double line : {plot.meanDifference, plot.lowerLimit, plot.upperLimit})
        if (std::isfinite(line)) {
            yLow = std::min(yLow, line);
            yHigh = std::max(yHigh, line);
        }
    if (plot.points.means.empty())
        xLow = xHigh = 0;
    // A little room, so that no point or line lies on the frame.
    const double xPad = (xHigh - xLow) * 0.03;
    const double yPad = (yHigh - yLow) * 0.03;
    xLow -= xPad;
    xHigh += xPad;
    yLow -= yPad;
    yHigh += yPad;
    const Scale xs = scaleOver(xLow, xHigh);
    const Scale ys = scaleOver(yLow, yHigh);

    const QRectF frame = area.adjusted(leftMargin, topMargin, -rightMargin, -bottomMargin);
    const auto at = [&](double x, double y) {
        return QPointF(frame.left() + (x - xs.low) / (xs.high - xs.low) * frame.width(),
                       frame.bottom() - (y - ys.low) / (ys.high - ys.low) * frame.height());
    };

    // Grid lines and the numbers of the scales.
    // Counted, not summed: steps added up would drift, and a scale of no
    // finite step draws no lines at all.
    const auto ticks = [](const Scale &s) {
        return std::isfinite((s.high - s.low) / s.step) ? std::min(int(std::lround((s.high - s.low) / s.step)), 50)
                                                         : -1;
    };
    for (int i = 0; i <= ticks(xs); ++i) {
        const double x = xs.low + i * xs.step;
        const QPointF bottom = at(x, ys.low);
        p.setPen(QPen(gridColour, 1));
        p.drawLine(bottom, at(x, ys.high));
        p.setPen(ink);
        const QString text = numberText(std::fabs(x) < xs.step / 1e6 ? 0 : x);
        p.drawText(QRectF(bottom.x() - 50, bottom.y() + 4, 100, 18), Qt::AlignHCenter | Qt::AlignTop, text);
    }
    for (int i = 0; i <= ticks(ys); ++i) {
        const double y = ys.low + i * ys.step;
        const QPointF left = at(xs.low, y);
        p.setPen(QPen(gridColour, 1));
        p.drawLine(left, at(xs.high, y));
        p.setPen(ink);
        const QString text = numberText(std::fabs(y) < ys.step / 1e6 ? 0 : y);
        p.drawText(QRectF(left.x() - 86, left.y() - 9, 80, 18), Qt::AlignRight | Qt::AlignVCenter, text);
    }
    p.setPen(QPen(ink, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame);
    if (ys.low < 0 && ys.high > 0) {
        p.setPen(QPen(zeroColour, 1));
        p.drawLine(at(xs.low, 0), at(xs.high, 0));
    }

    // The subjects.
    p.setPen(QPen(pointColour, 1.2));
    p.setBrush(QColor(pointColour.red(), pointColour.green(), pointColour.blue(), 90));
    for (size_t i = 0; i < plot.points.means.size() && i < plot.points.differences.size(); ++i)
        p.drawEllipse(at(plot.points.means[i], plot.points.differences[i]), pointRadius, pointRadius);

    // The mean difference and the limits of agreement, named at the right.
    const struct {
        double value;
        QString name;
        Qt::PenStyle style;
        QColor colour;
    } lines[] = {{plot.upperLimit, QStringLiteral("+1,96 SD"), Qt::DashLine, limitColour},
                 {plot.meanDifference, QStringLiteral("průměr"), Qt::SolidLine, ink},
                 {plot.lowerLimit, QStringLiteral("−1,96 SD"), Qt::DashLine, limitColour}};
    for (const auto &line : lines) {
        if (!std::isfinite(line.value))
            continue;
        const QPointF left = at(xs.low, line.value);
        const QPointF right = at(xs.high, line.value);
        p.setPen(QPen(line.colour, 1.6, line.style));
        p.drawLine(left, right);
        p.setPen(line.colour);
        p.drawText(QRectF(right.x() + 8, right.y() - 18, rightMargin - 12, 36), Qt::AlignLeft | Qt::AlignVCenter,
                   line.name + u'\n' + numberText(line.value));
    }

    // The titles.
    p.setPen(ink);
    p.drawText(QRectF(frame.left(), frame.bottom() + 28, frame.width(), 24), Qt::AlignHCenter | Qt::AlignTop,
               blandAltmanXTitle());
    p.save();
    p.translate(area.left() + 18, frame.center().y());
    p.rotate(-90);
    p.drawText(QRectF(-frame.height() / 2, -12, frame.height(), 24), Qt::AlignCenter, blandAltmanYTitle());
    p.restore();
    QFont bold = font;
    bold.setBold(true);
    bold.setPixelSize(15);
    p.setFont(bold);
    p.drawText(QRectF(frame.left(), area.top() + 10, frame.width(), 24), Qt::AlignHCenter | Qt::AlignTop,
               plot.title);
    p.restore();
}

bool writeBlandAltman(QIODevice *device, ChartFormat format, const BlandAltmanPlot &plot, QString *error)
{
    return writePicture(device, format, QSize(BlandAltman::width, BlandAltman::height),
                        QStringLiteral("Bland-Altmanův graf – %1").arg(plot.title),
                        [&plot](QPainter &painter) {
                            drawBlandAltman(painter, plot, QRectF(0, 0, BlandAltman::width, BlandAltman::height));
                        },
                        error);
}

bool writeBlandAltman(const QString &path, ChartFormat format, const BlandAltmanPlot &plot, QString *error)
{
    return writePicture(path, format, QSize(BlandAltman::width, BlandAltman::height),
                        QStringLiteral("Bland-Altmanův graf – %1").arg(plot.title),
                        [&plot](QPainter &painter) {
                            drawBlandAltman(painter, plot, QRectF(0, 0, BlandAltman::width, BlandAltman::height));
                        },
                        error);
}
