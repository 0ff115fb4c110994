#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

struct MethodRecord;

// kostimer-cli apply ID FILE.csv [-c COL]... [--keep COL]... [--sep C] [--output FILE]
//                    [--header] [--digits full] [--verdicts] [--strict]
int runApplyCommand(const QStringList &args, std::FILE *out, std::FILE *err);

// The method a command is asked to apply: ID must be a method of the catalog
// that computes, and columns (how many -c were given) none or one per input.
// Throws UsageError otherwise.
const MethodRecord &methodToApply(const QString &id, qsizetype columns);
