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

// Rows whose line holds no value (an empty line, or none at all in a file of
// an older version, which wrote nothing for such a row) hold nothing in the
// file, yet each takes memory: its check mark, its start when rows differ in
// length, a result's row every value of its method. A project of ours has
// them only where an older version kept a row without values; this many in a
// project, and more, are a file made to cost memory, which a kilobyte of
// deflated line ends would otherwise ask for by the million. The 2.6 million
// empty rows of the widest result, past what a table could once have in a
// file, fit it.
constexpr qint64 MaxRowsWithoutValues = qint64(1) << 22;
// Fields of a table's entry that hold no number: the program writes none
// (a missing value is "nan"), so a few come from a hand that edited the
// entry; more than this is no table of ours.
constexpr qsizetype MaxEntryTexts = 10000;

class CsvImport {
public:
    explicit CsvImport(QByteArray fileBytes);

    // The most bytes an entry of rows rows of at most columns values can take
    // as the program writes it: every value in at most 24 characters and its
    // separator, every line its end (CR LF at most), and 4096 bytes more.
    // Past that it is no table of ours but a bomb.
    static qint64 mostBytes(qint64 rows, qint64 columns);
    // The text kept of a field that held no number: its first this many
    // bytes, then "…". A report quotes less of it.
    static constexpr qsizetype KeptFieldBytes = 256;

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
    // 0, and so does a field that holds no number. Fields of those columns
    // that hold something other than a number are appended to *unread (with
    // the file's column and at most KeptFieldBytes of their text) when asked
    // for, until it holds maxUnread fields (-1: no end); an empty field holds
    // nothing and is not listed.
    qsizetype readColumns(const std::vector<int> &columns, double *out, qsizetype maxRows, Position *position,
                          QList<UnreadField> *unread = nullptr, qsizetype maxUnread = -1) const;
    // The same for every row: out[rowCount() * columns.size()].
    void readColumns(const std::vector<int> &columns, double *out, QList<UnreadField> *unread = nullptr) const;

private:
    // The field's number; *read false when it held none (0 is returned).
    // A field too long for any number the text rules read is not decoded.
    double fieldValue(const char *begin, const char *end, bool *read = nullptr) const;
    // The line starting at offset, without its line end; returns where the next one starts.
    qsizetype line(qsizetype offset, const char **begin, const char **end) const;
    QString fieldText(const char *begin, const char *end) const;
    // The text of a field as *unread keeps it: at most KeptFieldBytes of it.
    QString keptText(const char *begin, const char *end) const;

    ImportText m_text;
    NumberReader m_numbers;
    qsizetype m_headerEnd = 0;  // the header line, without its line end
    qsizetype m_bodyStart = 0;  // the first data line
    qsizetype m_rowCount = 0;
    int m_width = 0;
};
