#pragma once

#include <QStringList>

#include <cstdio>

// kostimer-cli error FILE.csv -c COL -c COL [-c COL]... [--by COL] [--sep C]
//                    [--output FILE] [--digits full]
int runErrorCommand(const QStringList &args, std::FILE *out, std::FILE *err);
