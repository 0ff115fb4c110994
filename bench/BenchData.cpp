#include "BenchData.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

QString measurementCsv(const QString &folder, int rows)
{
    const QString path = QDir(folder).filePath(QStringLiteral("measurements-%1.csv").arg(rows));
    if (QFile::exists(path))
        return path;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QRandomGenerator random(2026);
    QByteArray chunk = "Hmotnost;Vyska;M1;M2;M3;M4;M5;M6;M7;M8\n";
    for (int row = 0; row < rows; ++row) {
        chunk += QByteArray::number(40 + random.generateDouble() * 80, 'f', 1) + ';'
                 + QByteArray::number(1.45 + random.generateDouble() * 0.6, 'f', 3);
        for (int j = 0; j < 8; ++j)
            chunk += ';' + QByteArray::number(10 + random.generateDouble() * 189, 'f', 3);
        chunk += '\n';
        if (chunk.size() > (1 << 20)) {
            file.write(chunk.replace('.', ','));
            chunk.clear();
        }
    }
    file.write(chunk.replace('.', ','));
    return path;
}

QString studyCsv(const QString &folder, int rows)
{
    const QString path = QDir(folder).filePath(QStringLiteral("study-%1.csv").arg(rows));
    if (QFile::exists(path))
        return path;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    QRandomGenerator random(2026);
    const auto cell = [&random](double low, double span, int decimals) {
        return random.bounded(20) == 0 ? QByteArray()
                                       : QByteArray::number(low + random.generateDouble() * span, 'f', decimals);
    };
    QByteArray chunk = "Pohlavi;Hmotnost;Vyska;M1;M2;M3;M4;M5;M6;M7;M8\n";
    for (int row = 0; row < rows; ++row) {
        chunk += (random.bounded(2) ? "muz;" : "zena;") + cell(40, 80, 1) + ';' + cell(1.45, 0.6, 3);
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
