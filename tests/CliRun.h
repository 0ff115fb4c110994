#pragma once
// Runs kostimer-cli as a script does (Czech locale, no display) and keeps what
// it wrote and its exit code.

#include "TestFiles.h"

#include <QList>
#include <QPair>
#include <QProcess>

#include <functional>

#include <sys/resource.h>

struct CliRun {
    int exitCode; // -1: it did not finish in time, or died of a signal
    QByteArray out;
    QByteArray err;
};

// What a run needs beyond the arguments.
struct CliSetup {
    // Standard output goes to this file, appended to, and is not kept.
    QString standardOutputFile;
    // Added to the environment.
    QList<QPair<QString, QString>> environment;
    // Runs in the child before the program starts (resource limits, signals).
    std::function<void()> childSetup;
    // Runs this program with the arguments instead of kostimer-cli.
    QString program;
};

inline CliRun runCli(const QStringList &arguments, const CliSetup &setup = {})
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "cs_CZ.UTF-8");
    env.remove("QT_QPA_PLATFORM"); // the tool needs no display at all
    for (const auto &[name, value] : setup.environment)
        env.insert(name, value);
    process.setProcessEnvironment(env);
    if (!setup.standardOutputFile.isEmpty())
        process.setStandardOutputFile(setup.standardOutputFile, QIODevice::Append);
    if (setup.childSetup)
        process.setChildProcessModifier(setup.childSetup);
    process.start(setup.program.isEmpty() ? QStringLiteral(KOSTIMER_CLI) : setup.program, arguments);
    if (!process.waitForFinished(60000)) {
        process.kill();
        process.waitForFinished();
        return {-1, {}, process.readAllStandardError()};
    }
    const QByteArray err = process.readAllStandardError();
    if (process.exitStatus() != QProcess::NormalExit)
        return {-1, process.readAllStandardOutput(), err};
    return {process.exitCode(), process.readAllStandardOutput(), err};
}

// The largest resident size of any child waited for so far, in bytes: it
// only grows, so a suite measures its smallest runs first.
inline qint64 peakOfChildren()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

// Standard error without the note of chart and somatotypes that says which
// columns they took as the components (or that there are no three): for the
// tests that look at everything else.
inline QByteArray withoutComponentNote(const QByteArray &err)
{
    QByteArray rest;
    for (const QByteArray &line : err.split('\n')) {
        if (line.isEmpty() || line.contains("slo\xC5\xBEky somatotypu ze sloupc\xC5\xAF")
            || line.contains("nem\xC3\xA1 t\xC5\x99i \xC4\x8D\xC3\xADseln\xC3\xA9 sloupce"))
            continue;
        rest += line + '\n';
    }
    return rest;
}

// Somatotypes of `groups` groups of one row each ("skupina;endo;mezo;ekto"),
// for the bounds of work and memory over many groups.
inline QByteArray manyGroupsCsv(int groups)
{
    QByteArray csv = "skupina;endo;mezo;ekto\n";
    for (int g = 0; g < groups; ++g)
        csv += QByteArray::number(g) + ';' + QByteArray::number(1 + g % 7) + ";" + QByteArray::number(2 + g % 5) + ";"
               + QByteArray::number(1 + g % 3) + ",5\n";
    return csv;
}
