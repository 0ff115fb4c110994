#pragma once
// Runs kostimer-cli as a script does (Czech locale, no display) and keeps what
// it wrote and its exit code; and writes the files it is given.

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

struct CliRun {
    int exitCode;
    QByteArray out;
    QByteArray err;
};

inline CliRun runCli(const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("LC_ALL", "cs_CZ.UTF-8");
    env.remove("QT_QPA_PLATFORM"); // the tool needs no display at all
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(KOSTIMER_CLI), arguments);
    if (!process.waitForFinished(60000))
        return {-1, {}, {}};
    return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

// Writes content to name in dir and returns the path.
inline QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(content);
    return path;
}
