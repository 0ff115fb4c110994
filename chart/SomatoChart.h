#pragma once
// The somatochart: the curved triangle of the somatotypes with its three axes
// and reference points, and a square for every plotted somatotype. One
// geometry serves the chart's background image (drawn at build time), the
// somatotype dialog and kostimer-cli chart, so the markers always fall where
// the picture says.
//
// Chart coordinates: x = ectomorphy - endomorphy, y = 2 mesomorphy -
// endomorphy - ectomorphy. Image pixels: y grows downwards.

#include "PictureFile.h"
#include "SomatotypeAnalysis.h"

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

class QPainter;

namespace SomatoChart {

constexpr int width = 839;
constexpr int height = 768;
// Somatotype 4-4-4, the chart's origin.
constexpr double originX = 424.0;
constexpr double originY = 476.0;
// Pixels per unit of x (to the right) and of y (upwards).
constexpr double unitX = 47.667;
constexpr double unitY = 26.613;
// The side of a marker's square.
constexpr double markerSize = 10.0;

} // namespace SomatoChart

// The last three values of a row: endomorphy, mesomorphy and ectomorphy (the
// last columns of a Heath-Carter result). False for a row of fewer values.
bool somatotypeOfRow(const double *values, int length, Somatotype *somatotype);

// Where a somatotype lies in the image, and its marker's square around it.
QPointF chartPoint(const Somatotype &somatotype);
QRectF markerRect(const Somatotype &somatotype);

// The background: white paper, scales, the curved triangle, its axes and the
// reference somatotypes, in a width x height area from (0, 0).
void drawSomatochart(QPainter &painter);
// One unfilled blue square per somatotype, in order.
void drawMarkers(QPainter &painter, const std::vector<Somatotype> &somatotypes);

// A group of a sample on the chart: its mean drawn as a filled mark of the
// group's own colour and shape, outlined, with the group's name beside it and
// in the legend. Names are drawn in the stroke font: digits, "-", ",", "+" and
// "e" (groups are named by numbers).
struct ChartGroup {
    QString name;
    Somatotype mean;
};

// The colour and the mark of the group at index: eight colours and five
// shapes, so that the first forty groups all look different.
QColor groupColour(int index);
// The group's mark around a point, and where it and its name are drawn.
void drawGroupMark(QPainter &painter, int index, QPointF centre);
QRectF groupMarkRect(QPointF centre);
void drawGroupMean(QPainter &painter, int index, const ChartGroup &group);
QRectF groupMeanRect(const ChartGroup &group);
// The legend in the top right corner: each group's mark and name.
void drawGroupLegend(QPainter &painter, const std::vector<ChartGroup> &groups);
QRectF groupLegendRect(const std::vector<ChartGroup> &groups);

// What a picture shows: a square per somatotype and, when there are groups,
// every group's mean and the legend; the squares of a group's members take
// its colour, the others stay blue.
struct ChartContent {
    std::vector<Somatotype> somatotypes;
    std::vector<int> groupOf; // per somatotype: its group, -1 for none; may be empty
    std::vector<ChartGroup> groups;
};

// The picture on the background, as the dialog and kostimer-cli save it.
void drawChartContent(QPainter &painter, const ChartContent &content);

class QIODevice;

// Writes the background with the markers (and the groups) as a PNG or an SVG
// picture of width x height. To a path it is written beside the target and put
// in its place only when complete. False, with the reason in *error, when it
// could not be written.
bool writeChart(const QString &path, ChartFormat format, const ChartContent &content, QString *error = nullptr);
bool writeChart(QIODevice *device, ChartFormat format, const ChartContent &content, QString *error = nullptr);
