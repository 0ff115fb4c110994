#pragma once

#include <QStringList>

#include <cstdio>

// kostimer-cli stats FILE.csv [--by COL] [--output FILE] [--digits full]
int runStatsCommand(const QStringList &args, std::FILE *out, std::FILE *err);
