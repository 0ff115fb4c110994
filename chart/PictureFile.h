#pragma once
// A drawing saved as a PNG or an SVG picture: the somatochart and the
// Bland-Altman plot are written alike.

#include <QSize>
#include <QString>

#include <functional>

class QIODevice;
class QPainter;

enum class ChartFormat { Png, Svg };

using Drawing = std::function<void(QPainter &painter)>;

// Writes what draw paints into a picture of the size (an SVG one pixel to a
// CSS pixel, with the title). False, with the reason in *error, when it could
// not be written.
bool writePicture(QIODevice *device, ChartFormat format, QSize size, const QString &title, const Drawing &draw,
                  QString *error);
// The same to a path: written beside the target and put in its place only
// when complete.
bool writePicture(const QString &path, ChartFormat format, QSize size, const QString &title, const Drawing &draw,
                  QString *error);
