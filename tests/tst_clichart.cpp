// kostimer-cli chart: the somatochart picture of a file's somatotypes.

#include "CliRun.h"
#include "SomatoChart.h"

#include <QImage>
#include <QTemporaryDir>
#include <QtTest>

class TestCliChart : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString file(const QString &name, const QByteArray &content) { return writeFile(m_dir, name, content); }

    // Draws the chart of the CSV content and returns the picture.
    QImage chart(const QByteArray &csv)
    {
        static int n = 0;
        const QString out = m_dir.filePath(QStringLiteral("graf%1.png").arg(++n));
        const CliRun r = runCli({"chart", file(QStringLiteral("data%1.csv").arg(n), csv), out});
        [&] {
            QCOMPARE(withoutComponentNote(r.err), QByteArray());
            QCOMPARE(r.exitCode, 0);
        }();
        return QImage(out);
    }

    static bool anyOf(const QImage &image, QRgb colour, const QRect &area)
    {
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (image.pixel(x, y) == colour)
                    return true;
        return false;
    }

private slots:
    // First, before any other run of the tool: the peak memory of the
    // children only grows. The chart of 3000 groups of one row draws their
    // means and never compares them. The fault: all 4,498,500 pairs were
    // compared and kept (40 bytes each, some 180 MB) for a picture that
    // shows none of them.
    void manyGroupsAreNotCompared()
    {
        CliSetup setup;
        // Freed memory is given back at once, so that the peak is the tool's own.
        setup.environment = {{"ASAN_OPTIONS", "quarantine_size_mb=0"}};
        QCOMPARE(runCli({"chart", file("malo.csv", "4;4;4\n"), m_dir.filePath("malo.png")}, setup).exitCode, 0);
        const qint64 few = peakOfChildren();
        constexpr int groups = 3000;
        const QByteArray csv = manyGroupsCsv(groups);
        const CliRun r =
            runCli({"chart", file("skupiny.csv", csv), m_dir.filePath("skupiny.png"), "--by", "skupina"}, setup);
        QCOMPARE(r.exitCode, 0);
        const qint64 peak = peakOfChildren();
        QVERIFY2(peak < few + (qint64(64) << 20),
                 qPrintable(QStringLiteral("%1 MB, %2 MB for one row").arg(peak >> 20).arg(few >> 20)));
        QVERIFY(!QImage(m_dir.filePath("skupiny.png")).isNull());
    }

    // A Heath-Carter result as the program exports it: 13 values a row, the
    // last three the somatotype. 4-4-4 at (424, 476) and 1-7-1 at (424,
    // 156.644): the squares' left edges run at x = 419.
    void exportedResult()
    {
        const QImage image = chart("10;12;15;30;36;9,5;7;175;70;8;4;4;4\n"
                                   "10;12;15;30;36;9,5;7;175;70;8;1;7;1\n");
        QCOMPARE(image.size(), QSize(839, 768));
        QCOMPARE(image.pixel(419, 476), qRgb(0, 0, 255));
        QCOMPARE(image.pixel(419, 157), qRgb(0, 0, 255));
        // The right edge, 10 pixels on.
        QVERIFY(image.pixel(429, 476) == qRgb(0, 0, 255) || image.pixel(428, 476) == qRgb(0, 0, 255));
        QVERIFY(image.pixel(424, 476) != qRgb(0, 0, 255)); // not filled
    }

    // A header row or none, the same picture; rows too short for a somatotype
    // (and an empty file) give none.
    void dialectsAndShortRows()
    {
        const QImage withHeader = chart("endomorfie;mezomorfie;ektomorfie\n7;1;1\n2,5;3;4\n");
        QVERIFY(!withHeader.isNull());
        QVERIFY(withHeader == chart("7;1;1\n2,5;3;4\n"));
        // 7-1-1 at (137.998, 635.678).
        QVERIFY(withHeader.pixel(133, 636) == qRgb(0, 0, 255) || withHeader.pixel(132, 636) == qRgb(0, 0, 255));
        for (const QImage &image : {chart("a;b\n4;4\n1;7\n"), chart("")}) {
            QCOMPARE(image.size(), QSize(839, 768));
            QVERIFY(!anyOf(image, qRgb(0, 0, 255), image.rect()));
        }
    }

    // A row with a component of 0 or less is no somatotype: it is not drawn,
    // and standard error tells its row, column and value. The fault: −1-7-1
    // was drawn, at X 2, Y 14.
    void componentsOfZeroOrLess()
    {
        const QString out = m_dir.filePath("zaporna.png");
        const CliRun r = runCli({"chart", file("zaporna.csv", "endo;mezo;ekto\n4;4;4\n-1;7;1\n"), out});
        QCOMPARE(r.exitCode, 0);
        QCOMPARE(QString::fromUtf8(withoutComponentNote(r.err)),
                 QStringLiteral("kostimer-cli: zaporna.csv: řádků se složkou somatotypu 0 nebo zápornou (složka je "
                                "vždy kladná), které se nepočítají: 1\n"
                                "  řádek 2, sloupec „endo“: -1\n"));
        QVERIFY(QImage(out) == chart("endo;mezo;ekto\n4;4;4\n"));
    }

    void svgPicture()
    {
        const QString out = m_dir.filePath("graf.svg");
        const CliRun r = runCli({"chart", file("s.csv", "4;4;4\n"), out});
        QCOMPARE(r.exitCode, 0);
        const QByteArray svg = contentOf(out);
        QVERIFY(svg.startsWith("<?xml"));
        QVERIFY(svg.contains("viewBox=\"0 0 839 768\""));
        QVERIFY(svg.contains("#0000ff"));
    }

    // Groups by numbers, by texts (in Czech order: muž before žena), and of
    // a file whose separator --sep gives.
    void groupMeans_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("options");
        QTest::newRow("numbers") << QByteArray("pohlaví;endo;mezo;ekto\n1;4;4;4\n1;2;6;2\n2;7;1;1\n2;5;3;1\n;1;1;7\n")
                                 << QStringList{};
        QTest::newRow("texts") << QByteArray("pohlaví;endo;mezo;ekto\nžena;7;1;1\nmuž;4;4;4\nmuž;2;6;2\nžena;5;3;1\n"
                                             ";1;1;7\n")
                               << QStringList{};
        QTest::newRow("texts, --sep") << QByteArray("pohlaví|endo|mezo|ekto\nmuž|4|4|4\nmuž|2|6|2\nžena|7|1|1\n"
                                                    "žena|5|3|1\nNA|1|1|7\n")
                                      << QStringList{"--sep", "|"};
        // The fault: with the group column last, the last three columns made
        // the group number the ectomorphy.
        QTest::newRow("group column last") << QByteArray("endo;mezo;ekto;pohlaví\n4;4;4;1\n2;6;2;1\n7;1;1;2\n5;3;1;2\n"
                                                         "1;1;7;\n")
                                           << QStringList{};
    }

    // Group 1: 4-4-4 and 2-6-2, mean 3-5-3 at X 0, Y 4: (424, 476 − 4 · 26.613 = 369.548).
    // Group 2: 7-1-1 and 5-3-1, mean 6-2-1 at X −5, Y −3: (424 − 5 · 47.667 = 185.665,
    // 476 + 3 · 26.613 = 555.839). 1-1-7 has no group (a missing key), which
    // standard error tells.
    void groupMeans()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, options);
        const QString out = m_dir.filePath("skupiny.png");
        const CliRun r = runCli(QStringList{"chart", file("skupiny.csv", csv), out, "--by", "pohlaví"} + options);
        QCOMPARE(r.exitCode, 0);
        // The components are the columns so named, never the group column.
        QVERIFY2(r.err.contains(QStringLiteral("složky somatotypu ze sloupců „endo“, „mezo“ a „ekto“.").toUtf8()),
                 r.err);
        QCOMPARE(withoutComponentNote(r.err).count('\n'), 1);
        QVERIFY2(r.err.contains(QStringLiteral("řádků bez skupiny (hodnota ve sloupci „pohlaví“ chybí)").toUtf8())
                     && r.err.endsWith(": 1\n"),
                 r.err);
        const QImage image(out);
        const QRgb first = groupColour(0).rgb();
        const QRgb second = groupColour(1).rgb();
        QVERIFY(first != second);
        // Each mean a filled mark of its group's colour.
        QCOMPARE(image.pixel(424, 370), first);
        QCOMPARE(image.pixel(186, 556), second);
        // The members' squares take the colour: the left edge of 4-4-4 at x = 419.
        QCOMPARE(image.pixel(419, 476), first);
        // A row without a group stays blue: 1-1-7's left edge at x = 705.002.
        QVERIFY(image.pixel(705, 636) == qRgb(0, 0, 255) || image.pixel(706, 636) == qRgb(0, 0, 255));
        // The legend in the top right corner shows both.
        const QRect corner(839 - 150, 0, 150, 100);
        QVERIFY(anyOf(image, first, corner));
        QVERIFY(anyOf(image, second, corner));
        // The same file without --by has neither mark.
        const QString plainOut = m_dir.filePath("bez-skupin.png");
        QCOMPARE(runCli(QStringList{"chart", file("bez-skupin.csv", csv), plainOut} + options).exitCode, 0);
        const QImage plain(plainOut);
        QVERIFY(!anyOf(plain, first, plain.rect()));
        QVERIFY(!anyOf(plain, second, plain.rect()));
    }

    void faults_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("no such file") << QStringList{"chart", "/no/such/file.csv", "x.png"} << 1;
        QTest::newRow("picture that cannot be written") << QStringList{"chart", "@", "/no/such/folder/x.png"} << 1;
        QTest::newRow("no picture named") << QStringList{"chart", "@"} << 2;
        QTest::newRow("one argument too many") << QStringList{"chart", "@", "x.png", "y.png"} << 2;
        QTest::newRow("an option") << QStringList{"chart", "@", "--output"} << 2;
        QTest::newRow("--by a column the file lacks") << QStringList{"chart", "@", "x.png", "--by", "4"} << 2;
        QTest::newRow("--by without a column") << QStringList{"chart", "@", "x.png", "--by"} << 2;
    }

    void faults()
    {
        QFETCH(QStringList, arguments);
        arguments.replaceInStrings(QStringLiteral("@"), file("ok.csv", "4;4;4\n"));
        const CliRun r = runCli(arguments);
        QTEST(r.exitCode, "exitCode");
        QCOMPARE(withoutComponentNote(r.err).count('\n'), 1);
        QCOMPARE(r.out, QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestCliChart)
#include "tst_clichart.moc"
