#include "StrokeText.h"

#include <QPainter>
#include <QPen>

QPainterPath strokeGlyph(QChar c)
{
    QPainterPath s;
    auto line = [&](qreal x1, qreal y1, qreal x2, qreal y2) {
        s.moveTo(x1, y1);
        s.lineTo(x2, y2);
    };
    switch (c.unicode()) {
    case '0':
    case 'O':
        s.addEllipse(QRectF(0.5, 0, 9, 14));
        break;
    case '1':
        s.moveTo(2, 3);
        s.lineTo(5.5, 0);
        s.lineTo(5.5, 14);
        break;
    case '2':
        s.moveTo(1, 3.5);
        s.cubicTo(1, -1, 9, -1, 9, 4);
        s.cubicTo(9, 7, 1, 10, 0.5, 14);
        s.lineTo(9.5, 14);
        break;
    case '3':
        s.moveTo(1, 2);
        s.cubicTo(4, -1, 9, 0, 9, 3.5);
        s.cubicTo(9, 6, 6, 7, 4, 7);
        s.cubicTo(7, 7, 9.5, 8.5, 9.5, 10.5);
        s.cubicTo(9.5, 14.5, 3, 15, 0.5, 12);
        break;
    case '4':
        s.moveTo(7, 14);
        s.lineTo(7, 0);
        s.lineTo(0.5, 10);
        s.lineTo(9.5, 10);
        break;
    case '5':
        s.moveTo(9, 0);
        s.lineTo(2, 0);
        s.lineTo(1.5, 6.5);
        s.cubicTo(5, 4.5, 9.5, 6, 9.5, 9.5);
        s.cubicTo(9.5, 14.5, 3, 15, 0.5, 12);
        break;
    case '6':
        s.moveTo(8.5, 1.5);
        s.cubicTo(5, -1, 0.5, 2, 0.5, 10);
        s.addEllipse(QRectF(0.5, 6, 9, 8));
        break;
    case '7':
        s.moveTo(0.5, 0);
        s.lineTo(9.5, 0);
        s.lineTo(3.5, 14);
        break;
    case '8':
        s.addEllipse(QRectF(1.5, 0, 7, 6.5));
        s.addEllipse(QRectF(0.5, 6.5, 9, 7.5));
        break;
    case '9':
        s.addEllipse(QRectF(0.5, 0, 9, 8));
        s.moveTo(9.5, 4);
        s.cubicTo(9.5, 12, 5, 15, 1.5, 12.5);
        break;
    case '-':
        line(2, 7.5, 8, 7.5);
        break;
    case '+':
        line(5, 3.5, 5, 11.5);
        line(1, 7.5, 9, 7.5);
        break;
    case ',':
        s.moveTo(2.5, 12.5);
        s.lineTo(2.5, 14);
        s.lineTo(1, 16.5);
        break;
    case 'e':
        s.moveTo(1, 9.5);
        s.lineTo(9, 9.5);
        s.cubicTo(9, 4, 1, 4, 1, 9.5);
        s.cubicTo(1, 15, 7, 15, 9, 12.5);
        break;
    case 'D':
        s.moveTo(1, 0);
        s.lineTo(1, 14);
        s.lineTo(4, 14);
        s.cubicTo(11, 14, 11, 0, 4, 0);
        s.closeSubpath();
        break;
    case 'E':
        s.moveTo(9, 0);
        s.lineTo(1, 0);
        s.lineTo(1, 14);
        s.lineTo(9, 14);
        line(1, 7, 7, 7);
        break;
    case 'F':
        s.moveTo(9, 0);
        s.lineTo(1, 0);
        s.lineTo(1, 14);
        line(1, 7, 7, 7);
        break;
    case 'I':
        line(1.5, 0, 1.5, 14);
        break;
    case 'K':
        line(1, 0, 1, 14);
        line(9, 0, 1, 8);
        line(4, 5, 9, 14);
        break;
    case 'M':
        s.moveTo(0.5, 14);
        s.lineTo(1, 0);
        s.lineTo(5, 9);
        s.lineTo(9, 0);
        s.lineTo(9.5, 14);
        break;
    case 'N':
        s.moveTo(1, 14);
        s.lineTo(1, 0);
        s.lineTo(9, 14);
        s.lineTo(9, 0);
        break;
    case 'R':
        s.moveTo(1, 14);
        s.lineTo(1, 0);
        s.lineTo(6, 0);
        s.cubicTo(10, 0, 10, 7, 6, 7);
        s.lineTo(1, 7);
        line(5, 7, 9.5, 14);
        break;
    case 'S':
        s.moveTo(9, 2);
        s.cubicTo(7, -1, 1, -0.5, 1, 3.5);
        s.cubicTo(1, 7.5, 9, 6, 9, 10.5);
        s.cubicTo(9, 14.5, 2, 15, 0.5, 11.5);
        break;
    case 'T':
        line(0, 0, 10, 0);
        line(5, 0, 5, 14);
        break;
    case 'Z':
        s.moveTo(1, 0);
        s.lineTo(9, 0);
        s.lineTo(1, 14);
        s.lineTo(9, 14);
        break;
    default:
        break;
    }
    return s;
}

qreal strokeAdvance(QChar c)
{
    return c == u'I' || c == u',' ? 6 : 13;
}

void drawStrokeText(QPainter &p, QPointF topLeft, const QString &text, qreal scale, const QColor &colour,
              qreal penWidth)
{
    p.save();
    p.translate(topLeft);
    p.scale(scale, scale);
    p.setPen(QPen(colour, penWidth / scale, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    qreal x = 0;
    for (QChar c : text) {
        p.drawPath(strokeGlyph(c).translated(x, 0));
        x += strokeAdvance(c);
    }
    p.restore();
}
