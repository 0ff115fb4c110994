#pragma once
// The import dialect: a header row, ";" between fields (no quoting, empty
// fields kept), lines ending in LF or CR LF, every further line one row of
// numbers read by NumberReader. The table's width is the number of fields of
// its first data row; other rows keep as many values as they have fields.

#include "NumberReader.h"
#include "TextEncoding.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <vector>

// A field that held no number (empty, or text) and was read as 0.
struct UnreadField {
    qsizetype row;
    int column;
    QString text; // as the file held it
};

class CsvImport {
public:
    explicit CsvImport(QByteArray fileBytes, const QLocale &locale = QLocale());

    const QStringList &headers() const { return m_headers; }
    qsizetype rowCount() const { return qsizetype(m_lineStarts.size()) - 1; }
    // Fields of the first data row; 0 when there is none.
    int width() const { return m_width; }
    TextEncoding encoding() const { return m_text.encoding; }

    // Every row with all its fields, as read; the fields read as 0 for want of
    // a number are listed in *unread when asked for.
    QList<QList<double>> rows(QList<UnreadField> *unread = nullptr) const;

    // The listed columns (0-based) of every row, row after row, into
    // out[rowCount() * columns.size()]. A row too short for a column gives 0.
    void readColumns(const std::vector<int> &columns, double *out) const;

private:
    // The field's number; *read false when it held none (0 is returned).
    double fieldValue(const char *begin, const char *end, bool *read = nullptr) const;
    // Line i of the body, without its line end.
    void line(qsizetype i, const char **begin, const char **end) const;

    ImportText m_text;
    NumberReader m_numbers;
    QStringList m_headers;
    std::vector<qsizetype> m_lineStarts; // one per body line, then one past the last line end
    int m_width = 0;
};
