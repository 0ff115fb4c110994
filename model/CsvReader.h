#pragma once
// Reads a table from the CSV files people send each other: a spreadsheet's
// export (";" and a decimal comma, Windows-1250 or UTF-8), R's write.csv (","
// between fields, "." decimals, quoted texts, NA), a tab-separated file, and
// whatever line ends and byte-order marks they come with. Every command and
// the window's import read a file through readCsvTable, so the same file
// reads the same everywhere.
//
// The table is rectangular: as many columns as the header row has fields
// (the first row's fields when there is no header). A row with fewer fields
// has missing cells at its end, a row with more keeps only the table's
// columns; both are reported with their line.
//
// A table has at most MaxCsvColumns columns: a file whose first row has more
// fields is refused, with the count, before anything is kept per column.
//
// A column is of one kind. A column whose non-empty cells all read as numbers
// is a number column; one where most non-empty cells are not numbers is a
// text column; the few cells of a number column that are not numbers are
// missing and reported. Missing is NaN in the values: an empty field, "NA",
// and a cell of a number column that holds no number.

#include "NumberReader.h"
#include "TextEncoding.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <opencv2/core.hpp>

#include <functional>
#include <map>
#include <optional>
#include <vector>

// How numbers are written: by the one number rule (a decimal comma first, then
// a point, digits grouped by blanks), or with "." alone as the decimal mark
// (files with "," between fields, where a comma cannot be a decimal mark).
enum class DecimalMark { CommaOrPoint, Point };

enum class ColumnKind { Number, Text };

struct CsvDialect {
    char separator = ';';
    DecimalMark decimal = DecimalMark::CommaOrPoint;
    TextEncoding encoding = TextEncoding::Utf8;
    bool header = true;
};

// What the user (the import dialog, --sep) decides; anything unset is found
// from the file.
struct CsvReadOptions {
    std::optional<char> separator;
    std::optional<DecimalMark> decimal;
    // A byte-order mark decides over it.
    std::optional<TextEncoding> encoding;
    std::optional<bool> header;
    // At most this many data rows are read (a preview); -1: all of them.
    qsizetype maxRows = -1;
    // The columns (from 0) whose cells are read; empty: all of them. The
    // table keeps its width, its headers and its short and long rows as the
    // whole file gives them, and the listed columns their kinds, texts and
    // unread cells; every other column is passed over: a number column of
    // missing values, no report of its cells. Indices past the table's width
    // are left out.
    std::vector<int> columns;
};

// The most columns a table may have. A spreadsheet holds at most 16,384
// columns and a study some thousands (a few thousand landmarks, each with
// three coordinates); a file with more is no table of measurements but
// something else, or one long line, whose header texts and column records
// would take some seventy times its size. At this bound they take a few MB.
constexpr int MaxCsvColumns = 100000;
// The values may take at most this many bytes per byte of the file, and the
// allowance on top: a full row costs at least a byte per cell, so only a file
// of rows far shorter than its header comes near it.
constexpr qint64 MaxValueBytesPerFileByte = 64;
constexpr qint64 ValueBytesAllowance = qint64(64) << 20;

// The texts of a text column, each distinct text once; a cell is the index of
// its text, -1 for an empty cell or NA.
struct TextColumn {
    QStringList texts;
    std::vector<qint32> cells;

    QString text(qsizetype row) const
    {
        const qint32 i = row >= 0 && size_t(row) < cells.size() ? cells[size_t(row)] : -1;
        return i >= 0 ? texts.at(i) : QString();
    }
};

// A cell of a number column that held something that is not a number; it is
// missing (NaN) in the values.
struct UnreadField {
    qsizetype row;
    int column;
    QString text; // as the file held it
};

// A data row whose field count differs from the table's width.
struct RaggedRow {
    qsizetype row;  // data row, from 0
    qsizetype line; // line of the file where the row starts, from 1
    qsizetype fields;
};

struct CsvTable {
    CsvDialect dialect;
    // One per column; the column's number (from 1) where there is no header.
    QStringList headers;
    std::vector<ColumnKind> kinds;
    // rows x headers.size(), CV_64F, continuous; NaN where a cell is missing
    // and in every cell of a text column.
    cv::Mat values;
    // The text columns by their column.
    std::map<int, TextColumn> texts;
    // Cells of number columns that were not numbers, by row and column.
    QList<UnreadField> unread;
    // Rows shorter than the table (their last cells are missing) and longer
    // (their surplus fields are not read).
    QList<RaggedRow> shortRows;
    QList<RaggedRow> longRows;
    qsizetype rows() const { return values.rows; }
    int width() const { return int(headers.size()); }
};

// Reads the file's bytes. False, with the reason (Czech) in *error, only when
// the table would not fit in memory; an empty file is a table without columns.
bool readCsvTable(QByteArray bytes, const CsvReadOptions &options, CsvTable *table, QString *error = nullptr);

// How a regular file is read whole: in blocks of at most blockBytes, one after
// another into the one buffer of the file's size, the file looked at after
// each. afterBlock, when set, is called after every block but the last (a test
// changes the file there).
struct FileBlocks {
    qint64 blockBytes = qint64(1) << 20;
    std::function<void()> afterBlock;
};

enum class FileReading { Done, Failed, Changed };

// Reads the regular file open as descriptor fd from its start: size bytes, the
// size it had when the caller looked. Changed when it is not as it was then
// (its size, or its modification time to the nanosecond, moved before the
// reading, between blocks or after it, or it holds more than size bytes):
// such a file is refused rather than read half old, half new. Failed when
// reading failed (errno tells why).
FileReading readRegularFile(int fd, qint64 size, QByteArray *bytes, const FileBlocks &blocks = {});

// Reads the file at path whole and then as readCsvTable does. False, with the
// reason (Czech) in *error, also when the file cannot be opened or read, or
// changed while it was read.
bool readCsvFile(const QString &path, const CsvReadOptions &options, CsvTable *table, QString *error = nullptr,
                 const FileBlocks &blocks = {});

// When a file reads as a single column although another separator would split
// it, that separator; 0 otherwise. The import dialog says why the file reads
// as one column and suggests it.
char suggestedSeparator(const QByteArray &bytes, const CsvDialect &read);

// The separator's name as the dialogs and messages show it: "středník",
// "čárka", "tabulátor", "svislá čára".
QString separatorName(char separator);
