#pragma once
// The Bland–Altman plot of two measurements of a variable (Bland & Altman
// 1986): for each subject the difference of the two (second minus first)
// against their mean, with the mean difference and the 95 % limits of
// agreement (mean ± 1.96 SD of the differences) as lines across. The window
// "Chyba měření" shows it and saves it as a PNG or an SVG picture.

#include "MeasurementError.h"
#include "PictureFile.h"

#include <QRectF>
#include <QString>

class QIODevice;
class QPainter;

namespace BlandAltman {
constexpr int width = 800;
constexpr int height = 560;
} // namespace BlandAltman

struct BlandAltmanPlot {
    QString title; // the variable
    BlandAltmanPoints points;
    double meanDifference = MeasurementError::none;
    double lowerLimit = MeasurementError::none;
    double upperLimit = MeasurementError::none;
};

// The axes' titles, in Czech.
QString blandAltmanXTitle();
QString blandAltmanYTitle();

// Draws the plot into area: white paper, scales, the points and the three
// lines, each line named with its value at the right.
void drawBlandAltman(QPainter &painter, const BlandAltmanPlot &plot, const QRectF &area);

// Writes the plot, width x height, as a PNG or an SVG picture; to a path
// beside the target, put in its place only when complete. False, with the
// reason in *error, when it could not be written.
bool writeBlandAltman(QIODevice *device, ChartFormat format, const BlandAltmanPlot &plot, QString *error = nullptr);
bool writeBlandAltman(const QString &path, ChartFormat format, const BlandAltmanPlot &plot, QString *error = nullptr);
