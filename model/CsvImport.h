#pragma once
// The value rows of a project's table entries, read back: a first line (the
// callers put an empty one there), ";" between fields (no quoting, empty
// fields kept), lines ending in LF or CR LF, every further line one row of
// numbers read by NumberReader. Files people send are read by CsvReader.h;
// this reader knows only what the program itself writes. The table's width
// is the number of fields of its first data row; other rows keep as many
// values as they have fields.
//
// The file is kept as its bytes and read line after line when asked: nothing
// per line or per field is stored, so a file of any shape takes little more
// memory than its bytes.

#include "CsvReader.h"
#include "NumberReader.h"
#include "TextEncoding.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <vector>

class CsvImport {
public:
    explicit CsvImport(QByteArray fileBytes);

    qsizetype rowCount() const { return m_rowCount; }
    // Fields of the first data row; 0 when there is none.
    int width() const { return m_width; }

    // Where the next row to read starts: rows are read in order, a block at a time.
    struct Position {
        qsizetype row = 0;
        qsizetype offset = -1; // -1: at the first data row
    };
    // The listed columns (0-based) of up to maxRows rows from *position on,
    // row after row, into out[rows read * columns.size()]; advances *position
    // and returns the number of rows read. A row too short for a column gives
    // 0. Fields of those columns that held no number are appended to *unread
    // (with the file's column) when asked for.
    qsizetype readColumns(const std::vector<int> &columns, double *out, qsizetype maxRows, Position *position,
                          QList<UnreadField> *unread = nullptr) const;
    // The same for every row: out[rowCount() * columns.size()].
    void readColumns(const std::vector<int> &columns, double *out, QList<UnreadField> *unread = nullptr) const;

private:
    // The field's number; *read false when it held none (0 is returned).
    double fieldValue(const char *begin, const char *end, bool *read = nullptr) const;
    // The line starting at offset, without its line end; returns where the next one starts.
    qsizetype line(qsizetype offset, const char **begin, const char **end) const;
    QString fieldText(const char *begin, const char *end) const;

    ImportText m_text;
    NumberReader m_numbers;
    qsizetype m_headerEnd = 0;  // the header line, without its line end
    qsizetype m_bodyStart = 0;  // the first data line
    qsizetype m_rowCount = 0;
    int m_width = 0;
};
