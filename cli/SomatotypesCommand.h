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

// Every row's somatotype: the three columns given (endomorphy, mesomorphy,
// ectomorphy), or none for the table's last three. A missing component is
// NaN, and so is every component of a table of fewer than three columns.
std::vector<Somatotype> somatotypesOf(const CsvTable &table, const std::vector<int> &components);

