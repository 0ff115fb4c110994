#pragma once
// Letters drawn as strokes in a 10 x 14 cell: no font is needed, so a picture
// is the same on every machine, also where no font is installed. Digits, "-",
// the capitals the program's pictures use, and ",", "+" and "e" for the
// numbers that name groups.

#include <QColor>
#include <QPainterPath>
#include <QPointF>
#include <QString>

class QPainter;

QPainterPath strokeGlyph(QChar c);
// How far the next letter starts.
qreal strokeAdvance(QChar c);
// The text with its top left corner at topLeft, cells scaled by scale, strokes
// penWidth pixels wide.
void drawStrokeText(QPainter &p, QPointF topLeft, const QString &text, qreal scale, const QColor &colour,
                    qreal penWidth = 1.4);
