#pragma once
// A whole table as text for the clipboard: tab between cells, a line per row,
// the header texts first, so that it pastes into a spreadsheet column by
// column. Every cell reads as the table view shows it.

#include <QLocale>
#include <QString>
#include <QVariant>

#include <functional>

class QAbstractItemModel;

// The text of one display-role value.
using CellText = std::function<QString(const QVariant &value)>;

// The text the table view's default delegate draws for value in locale: a
// number in the locale's form (decimal comma in Czech), a text as it is.
QString viewText(const QVariant &value, const QLocale &locale = QLocale());

// The header texts, then every row of the table, checked or not; each cell
// through cellText (viewText in the default locale when none is given), the
// cells of a row separated by separator. Tabs and line breaks inside a text
// become blanks, so that the columns stay apart.
QString tableAsText(const QAbstractItemModel &table, const CellText &cellText = CellText(), QChar separator = u'\t');
