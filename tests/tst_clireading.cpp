// kostimer-cli apply reading its file: the same numbers under any locale,
// fields that are not numbers reported (and refused with --strict), results
// alike across the blocks the file is computed in, and memory that follows
// the size of the file whatever its shape.

#include "CliRun.h"

#include <QtTest>

#include <sys/resource.h>

namespace {

CliRun runUnder(const QString &locale, const QStringList &arguments)
{
    CliSetup setup;
    // Freed memory is given back at once, so that the peak is the tool's own.
    setup.environment = {{"LC_ALL", locale}, {"LANG", locale}, {"ASAN_OPTIONS", "quarantine_size_mb=0"}};
    return runCli(arguments, setup);
}

// The largest resident size of any child waited for so far, in bytes.
qint64 peakOfChildren()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return qint64(usage.ru_maxrss) * 1024;
}

} // namespace

class TestCliReading : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString file(const QString &name, const QByteArray &content) { return writeFile(m_dir, name, content); }

private slots:
    // Memory first: the peak of the children only grows, and the files here
    // are the largest this suite gives the tool.
    void memoryFollowsTheFile_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QStringList>("columns");
        // One header line of five million fields: as a list of texts it took
        // thirty times its size.
        QByteArray wide;
        for (int i = 0; i < 5000000; ++i)
            wide += "1;";
        wide += "1\n1;2\n";
        QTest::newRow("one line of 5 M fields") << wide << QStringList{"-c", "1", "-c", "2"};
        // Four million blank rows: a row per byte, each an input and an output.
        QTest::newRow("4 M blank rows") << (QByteArray("a;b\n") + QByteArray(4000000, '\n'))
                                        << QStringList{"-c", "1", "-c", "1"};
    }

    void memoryFollowsTheFile()
    {
        QFETCH(QByteArray, content);
        QFETCH(QStringList, columns);
        const QString path = file("big.csv", content);
        const CliRun r = runUnder("C.UTF-8", QStringList{"apply", "2", path, "--output", m_dir.filePath("big-out.csv")}
                                              + columns);
        QCOMPARE(r.exitCode, 0);
        const qint64 bound = 4 * qint64(content.size()) + (qint64(100) << 20);
        QVERIFY2(peakOfChildren() < bound,
                 qPrintable(QStringLiteral("%1 MB of %2 MB").arg(peakOfChildren() >> 20).arg(bound >> 20)));
    }

    void sameNumbersUnderEveryLocale_data()
    {
        QTest::addColumn<QString>("locale");
        for (const char *locale : {"cs_CZ.UTF-8", "C.UTF-8", "C", "en_US.UTF-8", "de_DE.UTF-8"})
            QTest::newRow(locale) << locale;
    }

    // BMI by hand: 70.5 / 1.75^2 = 23.0204; 80 / 1.8^2 = 24.6914; 1,500 is
    // 1.5 (no group), so 90 / 2.25 = 40; 1 000,5 is grouped by a space.
    // Every field is a number, so --strict lets them through.
    void sameNumbersUnderEveryLocale()
    {
        QFETCH(QString, locale);
        const QString path = file("lide.csv", "Hmotnost;V\xC3\xBD\xC5\xA1ka\n70,5;1,75\n80;1.8\n90;1,500\n"
                                              "1 000,5;1\n");
        const CliRun r = runUnder(locale, {"apply", "2", path, "--strict"});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(r.out, QByteArray("70,5;1,75;23,0204\n80;1,8;24,6914\n90;1,5;40\n1000,5;1;1000,5\n"));
        QCOMPARE(r.err, QByteArray());
    }

    void fieldsThatAreNotNumbers_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("report");
        QTest::newRow("text and empty") << QByteArray("a;b;c\n70;1,7x;9\n;1,8;x\n")
                                        << QByteArray(": 2\n  \xC5\x99\xC3\xA1" "dek 1, sloupec \xE2\x80\x9E" "b"
                                                      "\xE2\x80\x9C: \xE2\x80\x9E" "1,7x\xE2\x80\x9C\n  \xC5\x99\xC3\xA1"
                                                      "dek 2, sloupec \xE2\x80\x9E" "a\xE2\x80\x9C: \xE2\x80\x9E"
                                                      "\xE2\x80\x9C\n");
        // Only the first five are listed; the column the method does not take is not looked at.
        QTest::newRow("many") << QByteArray("a;b;c\n") + QByteArray("x;1;y\n").repeated(8) << QByteArray(": 8\n");
    }

    void fieldsThatAreNotNumbers()
    {
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, report);
        const QString path = file("chyby.csv", content);
        const CliRun r = runUnder("cs_CZ.UTF-8", {"apply", "2", path});
        QCOMPARE(r.exitCode, 0);
        QVERIFY2(r.err.contains(report), r.err);
        QCOMPARE(r.err.count("\n  "), qMin(r.err.count('\n') - 1, 6));

        // --strict: exit 1 and the output file as it was.
        const QString output = file("vysledek.csv", "puvodni\n");
        const CliRun strict = runUnder("cs_CZ.UTF-8", {"apply", "2", path, "--strict", "--output", output});
        QCOMPARE(strict.exitCode, 1);
        QVERIFY2(strict.err.contains("--strict"), strict.err);
        QCOMPARE(contentOf(output), QByteArray("puvodni\n"));
    }

    // The file is computed in blocks of rows: every row must land where it
    // belongs, and a method that takes the rows as one whole gets them all.
    void blocksJoinSeamlessly_data()
    {
        QTest::addColumn<QString>("method");
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("line");
        // Row i holds i and 1: method 3 (WHR) gives i / 1 = i.
        for (int row : {0, 65535, 65536, 65537, 131071, 131072, 199999})
            QTest::addRow("ratio, row %d", row) << "3" << row
                                                << QByteArray::number(row) + ";1;" + QByteArray::number(row);
        // Centroid of (i, 1) for i = 0 .. 199999: the root of the sum of
        // (i - 99999.5)^2, which is n(n^2 - 1)/12 for n = 200000.
        QTest::newRow("centroid in row 0") << "101" << 0 << QByteArray("0;1;2,58199e+07");
        QTest::newRow("centroid, other rows 0") << "101" << 65536 << QByteArray("65536;1;0");
    }

    void blocksJoinSeamlessly()
    {
        QFETCH(QString, method);
        QFETCH(int, row);
        QFETCH(QByteArray, line);
        static QString path;
        if (path.isEmpty()) {
            QByteArray content("x;y\n");
            for (int i = 0; i < 200000; ++i)
                content += QByteArray::number(i) + ";1\n";
            path = file("radky.csv", content);
        }
        const CliRun r = runUnder("cs_CZ.UTF-8", {"apply", method, path});
        QCOMPARE(r.exitCode, 0);
        const QList<QByteArray> lines = r.out.split('\n');
        QCOMPARE(lines.size(), 200001);
        QCOMPARE(lines.at(row), line);
    }
};

QTEST_GUILESS_MAIN(TestCliReading)
#include "tst_clireading.moc"
