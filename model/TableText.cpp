#include "TableText.h"

#include <QAbstractItemModel>

namespace {
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c == u'\t' || c == u'\n' || c == u'\r' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = u' ';
    }
    return text;
}
} // namespace

QString viewText(const QVariant &value, const QLocale &locale)
{
    // The same choices as QStyledItemDelegate::displayText, which lives with
    // the widgets.
    switch (value.userType()) {
    case QMetaType::Float:
        return locale.toString(value.toFloat());
    case QMetaType::Double:
        return locale.toString(value.toDouble(), 'g', QLocale::FloatingPointShortest);
    case QMetaType::Int:
    case QMetaType::LongLong:
        return locale.toString(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::ULongLong:
        return locale.toString(value.toULongLong());
    default:
        return value.toString();
    }
}

QString tableAsText(const QAbstractItemModel &table, const CellText &cellText, QChar separator)
{
    const CellText text = cellText ? cellText : [](const QVariant &value) { return viewText(value); };
    const int columns = table.columnCount();
    const int rows = table.rowCount();
    QString out;
    auto addLine = [&](const std::function<QVariant(int)> &cell) {
        for (int c = 0; c < columns; ++c) {
            if (c > 0)
                out += separator;
            out += oneLine(text(cell(c)));
        }
        out += u'\n';
    };
    addLine([&](int c) { return table.headerData(c, Qt::Horizontal, Qt::DisplayRole); });
    for (int r = 0; r < rows; ++r)
        addLine([&](int c) { return table.data(table.index(r, c), Qt::DisplayRole); });
    return out;
}
