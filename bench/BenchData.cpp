#include "BenchData.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace {

// The table at path, written once: with `study`, a text column first and 5 %
// of the number cells empty.
QString writeTable(const QString &path, int rows, bool study)
{
    if (QFile::exists(path))
        return path;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QRandomGenerator random(2026);
    const auto cell = [&](double low, double span, int decimals) {
        return study && random.bounded(20) == 0
                   ? QByteArray()
                   : QByteArray::number(low + random.generateDouble() * span, 'f', decimals);
    };
    QByteArray chunk = study ? "Pohlavi;" : "";
    chunk += "Hmotnost;Vyska;M1;M2;M3;M4;M5;M6;M7;M8\n";
    for (int row = 0; row < rows; ++row) {
        if (study)
            chunk += random.bounded(2) ? "muz;" : "zena;";
        chunk += cell(40, 80, 1) + ';' + cell(1.45, 0.6, 3);
        for (int j = 0; j < 8; ++j)
            chunk += ';' + cell(10, 189, 3);
        chunk += '\n';
        if (chunk.size() > (1 << 20)) {
            file.write(chunk.replace('.', ','));
            chunk.clear();
        }
    }
    file.write(chunk.replace('.', ','));
    return path;
}

} // namespace

QString measurementCsv(const QString &folder, int rows)
{
    return writeTable(QDir(folder).filePath(QStringLiteral("measurements-%1.csv").arg(rows)), rows, false);
}

QString studyCsv(const QString &folder, int rows)
{
    return writeTable(QDir(folder).filePath(QStringLiteral("study-%1.csv").arg(rows)), rows, true);
}
