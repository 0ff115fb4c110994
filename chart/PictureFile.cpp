#include "PictureFile.h"

#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

bool writePicture(QIODevice *device, ChartFormat format, QSize size, const QString &title, const Drawing &draw,
                  QString *error)
{
    bool written = false;
    if (format == ChartFormat::Svg) {
        QSvgGenerator svg;
        svg.setOutputDevice(device);
        svg.setSize(size);
        svg.setViewBox(QRect(QPoint(0, 0), size));
        svg.setResolution(96); // one pixel of the picture is one CSS pixel
        svg.setTitle(title);
        QPainter painter;
        if (painter.begin(&svg)) {
            draw(painter);
            written = painter.end();
        }
    } else {
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&image);
        draw(painter);
        painter.end();
        written = image.save(device, "PNG");
    }
    if (!written && error)
        *error = QStringLiteral("zápis obrázku selhal (%1)").arg(device->errorString());
    return written;
}

bool writePicture(const QString &path, ChartFormat format, QSize size, const QString &title, const Drawing &draw,
                  QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = QStringLiteral("Soubor nelze vytvořit: %1").arg(file.errorString());
        return false;
    }
    if (!writePicture(&file, format, size, title, draw, error)) {
        file.cancelWriting();
        return false;
    }
    if (file.commit())
        return true;
    if (error)
        *error = QStringLiteral("Soubor nelze dokončit: %1").arg(file.errorString());
    return false;
}
