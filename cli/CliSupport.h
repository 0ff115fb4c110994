#pragma once
// What the commands of kostimer-cli share: exit codes, usage faults, messages
// and the one way a table leaves the tool.

#include "NumberFormat.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <functional>

enum ExitCode { Done = 0, FileFault = 1, UsageFault = 2 };

// A usage fault: runCli prints the message on one line and exits with 2.
struct UsageError {
    QString message;
};

void print(std::FILE *stream, const QString &text);

// --output FILE, --header, --verdicts, --digits full.
struct OutputOptions {
    QString path; // empty: standard output
    bool header = false;
    bool verdicts = false;
    NumberDigits digits = NumberDigits::Six;
};

// Takes the output option at args[*i] (and its value, advancing *i); false
// when args[*i] is none of them. Throws UsageError on a bad value.
bool takeOutputOption(const QStringList &args, qsizetype *i, OutputOptions *options);

// Row r of a table: its values and how many there are.
using RowAccess = std::function<const double *(qsizetype r, int *length)>;

// Writes a table of `type` as CSV export writes it (value rows), with the
// column names first when asked and the verdict columns as their texts when
// asked. Returns the exit code, with a message on err when writing failed.
int writeTable(const OutputOptions &options, qint32 type, const QStringList &columnNames, qsizetype rows,
               const RowAccess &row, std::FILE *out, std::FILE *err);
