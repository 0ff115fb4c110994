// kostimer-cli chart: the somatochart picture of a file's somatotypes.

#include "CliRun.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TestCliChart : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    using Run = CliRun;

    static Run run(const QStringList &arguments) { return runCli(arguments); }

    QString file(const QString &name, const QByteArray &content) { return writeFile(m_dir, name, content); }

    // Draws the chart of the CSV content and returns the picture.
    QImage chart(const QByteArray &csv)
    {
        static int n = 0;
        const QString out = m_dir.filePath(QStringLiteral("graf%1.png").arg(++n));
        const Run r = run({"chart", file(QStringLiteral("data%1.csv").arg(n), csv), out});
        [&] {
            QCOMPARE(r.err, QByteArray());
            QCOMPARE(r.exitCode, 0);
        }();
        return QImage(out);
    }

    static bool anyBlue(const QImage &image)
    {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) == qRgb(0, 0, 255))
                    return true;
        return false;
    }

private slots:
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

    void bothDialectsGiveOnePicture()
    {
        const QImage withHeader = chart("endomorfie;mezomorfie;ektomorfie\n7;1;1\n2,5;3;4\n");
        const QImage valueRows = chart("7;1;1\n2,5;3;4\n");
        QVERIFY(!withHeader.isNull());
        QVERIFY(withHeader == valueRows);
        // 7-1-1 at (137.998, 635.678).
        QVERIFY(withHeader.pixel(133, 636) == qRgb(0, 0, 255) || withHeader.pixel(132, 636) == qRgb(0, 0, 255));
    }

    void shortRowsAreSkipped()
    {
        const QImage image = chart("a;b\n4;4\n1;7\n");
        QCOMPARE(image.size(), QSize(839, 768));
        QVERIFY(!anyBlue(image));
        QVERIFY(!anyBlue(chart("")));
    }

    void svgPicture()
    {
        const QString out = m_dir.filePath("graf.svg");
        const Run r = run({"chart", file("s.csv", "4;4;4\n"), out});
        QCOMPARE(r.exitCode, 0);
        QFile f(out);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray svg = f.readAll();
        QVERIFY(svg.startsWith("<?xml"));
        QVERIFY(svg.contains("viewBox=\"0 0 839 768\""));
        QVERIFY(svg.contains("#0000ff"));
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
    }

    void faults()
    {
        QFETCH(QStringList, arguments);
        arguments.replaceInStrings(QStringLiteral("@"), file("ok.csv", "4;4;4\n"));
        const Run r = run(arguments);
        QTEST(r.exitCode, "exitCode");
        QCOMPARE(r.err.count('\n'), 1);
        QCOMPARE(r.out, QByteArray());
    }

    void helpNamesTheCommand()
    {
        const Run r = run({"--help"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.contains("kostimer-cli chart"));
    }
};

QTEST_GUILESS_MAIN(TestCliChart)
#include "tst_clichart.moc"
