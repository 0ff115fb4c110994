#pragma once

#include "SomatotypeAnalysis.h"

#include <QString>
#include <QStringList>

#include <cstdio>
#include <vector>

struct CsvTable;

// kostimer-cli somatotypes FILE.csv [-c COL -c COL -c COL] [--by COL] [--rows] [--sep C]
//                          [--output FILE] [--digits full]
int runSomatotypesCommand(const QStringList &args, std::FILE *out, std::FILE *err);

// What chart and somatotypes share.

// Every row's somatotype from the three columns given (endomorphy,
// mesomorphy, ectomorphy). A missing component is NaN, and so is every
// component when three columns are not given.
std::vector<Somatotype> somatotypesOf(const CsvTable &table, const std::vector<int> &components);

// The components when -c names none: the number columns named as components
// ("endo…", "mezo…" or "meso…", "ekto…" or "ecto…", as the Heath-Carter
// outputs are), else the last three number columns (an exported Heath-Carter
// table ends in them); never the --by column (by; -1 for none). Says on err
// which columns it took, or that the table has no three.
std::vector<int> componentColumns(const CsvTable &table, int by, const QString &fileName, std::FILE *err);

// Tells err of the rows with a component of 0 or less, which no somatotype
// has and which are left out: how many, and the first few with their row
// (data row from 1, as the fields that are no numbers), column and value.
// Returns how many.
qsizetype reportNotRatings(const CsvTable &table, const std::vector<int> &components,
                           const std::vector<Somatotype> &somatotypes, const QString &fileName, std::FILE *err);

