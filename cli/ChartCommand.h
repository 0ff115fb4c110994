#pragma once

#include <QStringList>

#include <cstdio>

// kostimer-cli chart FILE.csv OUT.png [--by COL]
int runChartCommand(const QStringList &args, std::FILE *out, std::FILE *err);
