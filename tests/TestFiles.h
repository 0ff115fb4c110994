#pragma once
// Files a test writes into its scratch folder and reads back.

#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>

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

// The whole file; empty when it cannot be read.
inline QByteArray contentOf(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The offset of the middle byte of the named entry's packed data in a zip
// archive (found through its central directory); -1 when there is no such entry.
inline qsizetype middleOfEntry(const QByteArray &zip, const QByteArray &name)
{
    const auto field16 = [&](qsizetype p) { return qFromLittleEndian<quint16>(zip.constData() + p); };
    const auto field32 = [&](qsizetype p) { return qFromLittleEndian<quint32>(zip.constData() + p); };
    for (qsizetype p = zip.indexOf("PK\x01\x02"); p >= 0; p = zip.indexOf("PK\x01\x02", p + 4)) {
        if (zip.mid(p + 46, field16(p + 28)) != name)
            continue;
        const qsizetype local = field32(p + 42);
        return local + 30 + field16(local + 26) + field16(local + 28) + field32(p + 20) / 2;
    }
    return -1;
}
