#pragma once

#include <QStringList>

#include <cstdio>

// kostimer-cli project show FILE.kstx
// kostimer-cli project export FILE.kstx ENTRY [--output FILE] [--header] [--verdicts] [--digits full]
int runProjectCommand(const QStringList &args, std::FILE *out, std::FILE *err);
