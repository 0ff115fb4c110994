#pragma once
// The CSV file a command reads, read alike by every command: through
// readCsvTable, the reader of the program's own import, with the separator
// of --sep or the one the file shows; its columns named by number or header;
// and what standard error is told of how the file read.

#include "CsvReader.h"
#include "SampleGroups.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>
#include <optional>
#include <vector>

// The value of --sep: ";", ",", "|", "tab" or a tab itself. Throws
// UsageError for anything else.
char separatorOf(const QString &value);

// Takes --sep at args[*i] with its value (advancing *i); false when args[*i]
// is not --sep.
bool takeSeparatorOption(const QStringList &args, qsizetype *i, std::optional<char> *separator);

// Reads the table from the bytes of the file at path. False, with the reason
// on err, when it would not fit in memory or is too wide.
bool readInputTable(QByteArray bytes, const std::optional<char> &separator, const QString &path, CsvTable *table,
                    std::FILE *err);
// The same with the reader's options: a preview of the header alone
// (maxRows 0), or some columns only.
bool readInputTable(QByteArray bytes, const CsvReadOptions &options, const QString &path, CsvTable *table,
                    std::FILE *err);

// What a command that writes to outputPath (empty: standard output) reads
// first: the file at path, refused (UsageError) when the output is that file,
// then its table. False, with the reason on err, when it cannot be read.
bool readCommandInput(const QString &path, const std::optional<char> &separator, const QString &outputPath,
                      CsvTable *table, std::FILE *err);

// The options that read a file in the dialect it was read in before, so
// that a second reading finds nothing anew.
CsvReadOptions optionsOf(const CsvDialect &dialect);

// The column (from 0) that `named` names: a number from 1, or the exact text
// of a header (a text of digits alone is always a number). Throws UsageError
// when the table has no such column; `what` tells the use of the column in
// the message ("--by"), or is empty.
int tableColumn(const CsvTable &table, const QString &fileName, const QString &named, const QString &what = {});

// A column as outputs and messages name it: its header, or its number from 1
// when the header is empty.
QString columnLabel(const CsvTable &table, int column);

// Column `column` as a grouping column: a text column by its texts, a number
// column by its numbers; a missing cell is no key.
GroupingColumn groupingColumnOf(const CsvTable &table, int column);

// Row r's value in every row of a column; NaN where it is missing.
std::vector<double> columnOf(const CsvTable &table, int column);

// Tells err how the file read: a header without data rows, rows shorter or
// longer than the table with their lines, and the fields of `columns` that
// held no number. Returns how many rows and fields were told of, which
// --strict refuses.
qint64 reportReading(const CsvTable &table, const QString &fileName, const std::vector<int> &columns, std::FILE *err);

// Tells err how many rows had no group (their cell of the grouping column is
// missing): they count among all rows only.
void reportUngrouped(qsizetype rows, const QString &fileName, const GroupingColumn &grouping, std::FILE *err);
