#pragma once

#include "CsvImport.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdio>

// kostimer-cli somatotypes FILE.csv [-c COL -c COL -c COL] [--by COL] [--rows]
//                         [--output FILE] [--digits full]
int runSomatotypesCommand(const QStringList &args, std::FILE *out, std::FILE *err);

// What chart and somatotypes share.

// A file of somatotypes: the import dialect with its header line, or value
// rows as the program exports them (a first line of numbers).
struct SomatotypeFile {
    explicit SomatotypeFile(const QByteArray &bytes);
    bool hasHeader;
    CsvImport table; // value rows behind an empty header line
};

// The file's column (0-based) that COL names: a number from 1, or the exact
// text of a header (a text of digits alone is always a number). Throws
// UsageError when the file has no such column; what names the use of the
// column in the message ("--by").
int fileColumn(const SomatotypeFile &file, const QString &fileName, const QString &named, const QString &what);
