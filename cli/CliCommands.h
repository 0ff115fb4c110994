#pragma once

#include <QStringList>

#include <cstdio>

// Runs kostimer-cli with its arguments (without the program name). Output goes
// to out, messages to err. Returns the exit code: 0 done, 1 a file could not be
// read or written, 2 a usage fault.
int runCli(const QStringList &arguments, std::FILE *out, std::FILE *err);
