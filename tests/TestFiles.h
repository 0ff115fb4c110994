#pragma once
// Files a test writes into its scratch folder.

#include <QFile>
#include <QTemporaryDir>

// Writes content to name in dir and returns the path; empty when the file
// could not be written whole.
inline QString writeFile(const QTemporaryDir &dir, const QString &name, const QByteArray &content)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
        return QString();
    return path;
}
