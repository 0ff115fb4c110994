// Descriptive statistics by group: the summary of a sample, the groups, what
// a table lets count (checked rows, fields that were numbers), the class
// counts of verdict columns, and kostimer-cli stats. Every expected number is
// worked out by hand or by a closed formula, as each row says.

#include "CliRun.h"
#include "MethodCatalog.h"
#include "SampleStatistics.h"
#include "TableTestSupport.h"
#include "Verdicts.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

using Values = std::vector<double>;

Q_DECLARE_METATYPE(Values)

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double largest = std::numeric_limits<double>::max(); // 1.7976931348623157e308

// The header line of kostimer-cli stats.
const QByteArray statsHeader = "skupina;sloupec;n;chybí;průměr;směrodatná odchylka;minimum;medián;maximum\n";

// first, first + step, ... (count values), shuffled: the order must not matter.
Values shuffledRange(double first, double step, int count)
{
    Values v;
    for (int i = 0; i < count; ++i)
        v.push_back(first + step * i);
    std::shuffle(v.begin(), v.end(), *QRandomGenerator::global());
    return v;
}

} // namespace

class TestSampleStatistics : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    void initTestCase() { buildMethodCatalog(); }

    void summary_data()
    {
        QTest::addColumn<Values>("values");
        QTest::addColumn<qsizetype>("n");
        QTest::addColumn<qsizetype>("missing");
        QTest::addColumn<double>("mean");
        QTest::addColumn<double>("sd");
        QTest::addColumn<double>("minimum");
        QTest::addColumn<double>("median");
        QTest::addColumn<double>("maximum");
        const auto row = [](const QString &tag, const Values &values, qsizetype n, qsizetype missing, double mean,
                            double sd, double minimum, double median, double maximum) {
            QTest::newRow(qPrintable(tag)) << values << n << missing << mean << sd << minimum << median << maximum;
        };

        // Squared deviations from 5: 9+1+1+1+0+0+4+16 = 32, over n - 1 = 7.
        row("even count", {2, 4, 4, 4, 5, 5, 7, 9}, 8, 0, 5, std::sqrt(32.0 / 7), 2, 4.5, 9);
        row("odd count", {3, 1, 2}, 3, 0, 2, 1, 1, 2, 3);
        row("one value: no deviation", {7}, 1, 0, 7, none, 7, 7, 7);
        row("no values", {}, 0, 0, none, none, none, none, none);
        row("NaN alone is no value", {none, none}, 0, 2, none, none, none, none, none);
        // {1, 3}: deviations -1 and 1, squares 2 over 1.
        row("NaN left out", {1, none, 3}, 2, 1, 2, std::sqrt(2.0), 1, 2, 3);
        row("infinity counts", {1, inf, 3}, 3, 0, inf, none, 1, 3, inf);
        row("both infinities", {inf, 1, -inf}, 3, 0, none, none, -inf, 1, inf);
        // Copies of the largest double: their mean is that double, their
        // deviation 0. The fault: summed as they are, then divided each by n,
        // three gave inf (and no deviation), seven and thirteen a mean a step
        // below the minimum.
        for (int n : {3, 7, 13})
            row(QStringLiteral("%1 copies of the largest double").arg(n), Values(size_t(n), largest), n, 0, largest, 0,
                largest, largest, largest);
        // A thousand copies of 1e306: the sum passes the largest double in the
        // pairwise blocks of 128 and in the tree that adds them.
        row("1000 copies of 1e306", Values(1000, 1e306), 1000, 0, 1e306, 0, 1e306, 1e306, 1e306);
        // Mixed signs whose sum overflows on the way (1e308 + 1e308): mean
        // 1e308 / 3; deviations 2e308 / 3 twice and −4e308 / 3, squares
        // (4 + 4 + 16) / 9 · 1e616 over 2 = 4/3 · 1e616, sd 2 / √3 · 1e308.
        row("mixed signs past the largest double", {1e308, 1e308, -1e308}, 3, 0, 1e308 / 3,
            2 / std::sqrt(3.0) * 1e308, -1e308, 1e308, 1e308);
        // The range past the largest double, the deviation at its edge: mean
        // 0, squares 2 · largest² over 2, sd the largest double itself.
        row("deviation of the largest double", {largest, 0, -largest}, 3, 0, 0, largest, -largest, 0, largest);
        // Values of 1e200 and 3e200: squares of 1e400 cannot be formed as
        // they are. Mean 2e200, deviations ±1e200, sd √(2 / 1) · 1e200.
        row("squares past the largest double", {1e200, 3e200}, 2, 0, 2e200, std::sqrt(2.0) * 1e200, 1e200, 2e200,
            3e200);
        // Large samples, past where the median is narrowed by histogram: the
        // integers -50000..50000 have mean and median 0 and the standard
        // deviation of 1..N, sqrt(N (N + 1) / 12) with N = 100001.
        row("symmetric integers", shuffledRange(-50000, 1, 100001), 100001, 0, 0,
            std::sqrt(100001.0 * 100002.0 / 12), -50000, 0, 50000);
        // 1 + i 2^-40, i = 0..99999: values alike in their first 36 bits.
        // Mean and median 1 + 49999.5 2^-40; the deviation that of 1..N times
        // 2^-40, N = 100000.
        const double step = std::ldexp(1.0, -40);
        row("close together", shuffledRange(1, step, 100000), 100000, 0, 1 + 49999.5 * step,
            std::ldexp(std::sqrt(100000.0 * 100001.0 / 12), -40), 1, 1 + 49999.5 * step, 1 + 99999 * step);
    }

    void summary()
    {
        QFETCH(Values, values);
        const Summary s = summarize(values.data(), values.data() + values.size());
        QTEST(s.n, "n");
        QTEST(s.missing, "missing");
        QTEST(s.mean, "mean");
        QTEST(s.sd, "sd");
        QTEST(s.minimum, "minimum");
        QTEST(s.median, "median");
        QTEST(s.maximum, "maximum");
        // QCOMPARE allows a relative 1e-12: the mean of finite values must
        // besides be finite and lie between them exactly, and the deviation
        // of every sample here is finite.
        if (s.n > 0 && std::isfinite(s.minimum) && std::isfinite(s.maximum)) {
            QVERIFY2(std::isfinite(s.mean) && s.minimum <= s.mean && s.mean <= s.maximum,
                     qPrintable(QString::number(s.mean, 'g', 17)));
            QVERIFY(s.n == 1 || std::isfinite(s.sd));
        }
    }

    void tableCountsCheckedNumbersOnly()
    {
        // "x" is no number, row 3 lacks B, and row 4 is unchecked.
        const QString path = writeFile(m_dir, "t.csv", "A;B\n1;10\nx;20\n3\n100;100\n5;30\n");
        TTableModel table;
        QVERIFY(table.loadCsv(path));
        table.setData(table.index(3, 0), Qt::Unchecked, Qt::CheckStateRole);
        const SampleStatistics s = tableStatistics(table);
        QCOMPARE(s.columns().size(), size_t(2));
        // A: {1, 3, 5}; B: {10, 20, 30}.
        const Summary &a = s.columns()[0].byGroup.back();
        const Summary &b = s.columns()[1].byGroup.back();
        QCOMPARE(a.n, qsizetype(3));
        QCOMPARE(a.mean, 3.0);
        QCOMPARE(b.n, qsizetype(3));
        QCOMPARE(b.mean, 20.0);
        // "x" and the field row 3 lacks are missing; the unchecked row is not.
        QCOMPARE(a.missing, qsizetype(1));
        QCOMPARE(b.missing, qsizetype(1));
    }

    // Grouped by a text column: its texts are the groups, in Czech order, and
    // a row with an empty cell joins none but counts among all rows. Empty
    // cells of the number columns are left out of n and counted as missing.
    void groupsByText()
    {
        const QString path = writeFile(m_dir, "pohlavi.csv",
                                       "Pohlaví;Hmotnost;Výška\n"
                                       "muž;80;1,80\n"
                                       "žena;60;1,65\n"
                                       "muž;90;\n"
                                       "žena;;1,70\n"
                                       ";70;1,75\n");
        TTableModel table;
        QVERIFY(table.loadCsv(path));
        QVERIFY(table.isTextColumn(0));
        const GroupingColumn sex = groupingColumn(table, 0);
        QCOMPARE(sex.name, QStringLiteral("Pohlaví"));
        const SampleStatistics s = tableStatistics(table, &sex);
        QCOMPARE(s.groupNames(), (QStringList{"muž", "žena", ""}));
        QCOMPARE(s.ungroupedRows(), qsizetype(1));
        QStringList lines;
        for (qsizetype g = 0; g < s.groupNames().size(); ++g)
            for (const SampleStatistics::Column &column : s.columns())
                lines.append(summaryFields(s.groupNames().at(g), column.name, column.byGroup[size_t(g)]).join(u';'));
        // muž, Hmotnost {80, 90}: mean 85, deviations ±5, sd √(50 / 1) = 7.07107.
        // muž, Výška {1.8}, one empty. žena, Hmotnost {60}, one empty.
        // žena, Výška {1.65, 1.7}: mean 1.675, deviations ±0.025, sd √0.00125 = 0.0353553.
        // All, Hmotnost {80, 60, 90, 70}: mean 300 / 4 = 75, squared deviations
        //   25 + 225 + 225 + 25 = 500 over 3, sd 12.9099; median (70 + 80) / 2.
        // All, Výška {1.8, 1.65, 1.7, 1.75}: mean 6.9 / 4 = 1.725, squared deviations
        //   2 · 0.075² + 2 · 0.025² = 0.0125 over 3, sd 0.0645497; median (1.7 + 1.75) / 2.
        // The text column itself is no number column.
        QCOMPARE(lines, (QStringList{"muž;Hmotnost;2;0;85;7,07107;80;85;90",
                                     "muž;Výška;1;1;1,8;;1,8;1,8;1,8",
                                     "žena;Hmotnost;1;1;60;;60;60;60",
                                     "žena;Výška;2;0;1,675;0,0353553;1,65;1,675;1,7",
                                     ";Hmotnost;4;1;75;12,9099;60;75;90",
                                     ";Výška;4;1;1,725;0,0645497;1,65;1,725;1,8"}));
    }

    void classCounts_data()
    {
        QTest::addColumn<int>("method");
        QTest::addColumn<Rows>("rows");
        QTest::addColumn<QStringList>("classes");
        QTest::addColumn<QList<qsizetype>>("counts");
        QTest::addColumn<QStringList>("shares"); // in per cent of the rows

        // Cranial indices 75, 80, 81.25, 78 (100 breadth / length): 75 is still
        // dolichocranial, 80 still mesocranial; 1, 2 and 1 of 4 rows.
        QTest::newRow("classes in the order of their limits")
            << 23 << Rows{{162.5, 200}, {150, 200}, {160, 200}, {156, 200}}
            << QStringList{QStringLiteral("dolichokranní"), QStringLiteral("mesokranní"),
                           QStringLiteral("brachykranní")}
            << QList<qsizetype>{1, 2, 1} << QStringList{"25", "50", "25"};
        // Nasal indices 50 and 60: 58 and more is no class.
        QTest::newRow("rows in no class") << 28 << Rows{{50, 100}, {60, 100}}
            << QStringList{QStringLiteral("leptorhinní (úzkonosý)"),
                           QStringLiteral("mesorhinní (středně širokonosý)"),
                           QStringLiteral("chamaerhinní (širokonosý)"), QStringLiteral("(bez třídy)")}
            << QList<qsizetype>{0, 1, 0, 1} << QStringList{"0", "50", "0", "50"};
    }

    void classCounts()
    {
        QFETCH(int, method);
        QFETCH(Rows, rows);
        QFETCH(QStringList, classes);
        QFETCH(QList<qsizetype>, counts);
        QFETCH(QStringList, shares);
        const auto table = resultTable(method, rows);
        const SampleStatistics s = tableStatistics(*table);
        // The verdict is no number column: two inputs and the index.
        QCOMPARE(s.columns().size(), size_t(3));
        QCOMPARE(s.classColumns().size(), size_t(1));
        const SampleStatistics::ClassColumn &column = s.classColumns()[0];
        QCOMPARE(column.name, QStringLiteral("Vyhodnocení"));
        QCOMPARE(column.classes, classes);
        QCOMPARE(column.rowsByGroup.back(), qsizetype(rows.size()));
        for (qsizetype k = 0; k < counts.size(); ++k) {
            QCOMPARE(column.countsByGroup.back()[size_t(k)], counts[k]);
            QCOMPARE(classCountFields(QString(), column.name, column.classes[k], counts[k], rows.size()).last(),
                     shares[k]);
        }
    }

    void everyVerdictIsAClass()
    {
        // A verdict added to verdictText but not to verdictClasses would go
        // uncounted: every text of a sweep of rows must be a listed class.
        for (qint32 type = 0; type < MethodCatalogSize; ++type)
            for (int column = 0; column < 16; ++column) {
                if (!isVerdictColumn(type, column))
                    continue;
                const QStringList classes = verdictClasses(type, column);
                QVERIFY2(!classes.isEmpty(), qPrintable(QStringLiteral("type %1").arg(type)));
                for (double x : {-1000.0, 0.0, 0.8, 0.87, 0.92, 1.0, 50.0, 72.0, 77.0, 85.0, 100.0, 230.0, 900.0}) {
                    double row[16];
                    std::fill(std::begin(row), std::end(row), x);
                    const QString text = verdictText(type, column, row, 16);
                    QVERIFY2(text.isEmpty() || classes.contains(text), qPrintable(text));
                }
            }
    }

    // kostimer-cli stats under two locales, and its faults; "@" is the file
    // of the row, which a fault leaves as it was.
    void cli_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");
        // Row 3 has an empty Výška, row 4 a Hmotnost that is text, row 6 no
        // Výška at all, row 7 no group.
        const QByteArray people = "Skupina;Hmotnost;Výška\n1;60;1,7\n2;50;1,6\n1;80;\n2;x;1,5\n10;70;inf\n9;65\n;55;1,8\n";
        // Group 1 Hmotnost {60, 80}: deviations +-10, sqrt(200) = 14.1421.
        // Group 2 Výška {1.6, 1.5}: deviations +-0.05, sqrt(0.005) = 0.0707107.
        // All Hmotnost {60, 50, 80, 70, 65, 55}: mean 380 / 6, squared
        // deviations 583.333 / 5, sd 10.8012; median (60 + 65) / 2.
        // Missing: Výška of rows 3 (group 1) and 6 (group 9), Hmotnost of row
        // 4 (group 2).
        const QByteArray statistics = statsHeader + "1;Hmotnost;2;0;70;14,1421;60;70;80\n"
                                      "1;Výška;1;1;1,7;;1,7;1,7;1,7\n"
                                      "2;Hmotnost;1;1;50;;50;50;50\n"
                                      "2;Výška;2;0;1,55;0,0707107;1,5;1,55;1,6\n"
                                      "9;Hmotnost;1;0;65;;65;65;65\n"
                                      "9;Výška;0;1;;;;;\n"
                                      "10;Hmotnost;1;0;70;;70;70;70\n"
                                      "10;Výška;1;0;inf;;inf;inf;inf\n"
                                      ";Hmotnost;6;1;63,3333;10,8012;50;62,5;80\n"
                                      ";Výška;5;2;inf;;1,5;1,7;inf\n";
        QTest::newRow("Czech locale, column by name") << "cs_CZ.UTF-8" << people
                                                      << QStringList{"stats", "@", "--by", "Skupina"} << 0 << statistics;
        QTest::newRow("C locale, column by number") << "C.UTF-8" << people << QStringList{"stats", "@", "--by", "1"} << 0
                                                    << statistics;
        const QByteArray ab = "A;B\n1;2\n";
        QTest::newRow("no such column") << "cs_CZ.UTF-8" << ab << QStringList{"stats", "@", "--by", "Věk"} << 2
                                        << QByteArray();
        QTest::newRow("an option of apply") << "cs_CZ.UTF-8" << ab << QStringList{"stats", "@", "--header"} << 2
                                            << QByteArray();
    }

    // kostimer-cli stats of the values 1..N, N = 1825200, one a row: 14 MB
    // of values, past the reader's steps of 4 MB (524288 values) in which
    // it makes the table's pages present, past the 4096 values beyond which
    // the median is narrowed by histogram, and past the 2^20 rows of the
    // blocks the tool once read. Sum N (N + 1) / 2, mean and median
    // (N + 1) / 2 = 912600.5; the deviation of 1..N is √(N (N + 1) / 12),
    // which for this N is 526890 exactly (N (N + 1) = 12 · 526890²). With
    // six digits, 912600.5 would lose its half: --digits full is checked too.
    void cliOverManyBlocks()
    {
        QByteArray text = "a\n";
        for (int i = 1; i <= 1825200; ++i)
            text += QByteArray::number(i) + '\n';
        const CliRun run = runCli({"stats", writeFile(m_dir, "dlouhy.csv", text), "--digits", "full"});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        const QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.size(), 3); // the header, the line of all rows, the empty rest
        QList<QByteArray> fields = lines.at(1).split(';');
        QCOMPARE(fields.size(), 9);
        // The deviation is a root, right to a rounding; the rest is exact.
        QCOMPARE(fields.takeAt(5).replace(',', '.').toDouble(), 526890.0);
        QCOMPARE(fields.join(';'), QByteArray(";a;1825200;0;912600,5;1;912600,5;1825200"));
    }

    // The widest table the reader takes, 100,000 columns of three rows:
    // column c holds c, c + 1 and c + 2, so its line is n 3, mean and median
    // c + 1, deviation 1, minimum c, maximum c + 2. Work that grew with the
    // square of the columns (14 s for these in a release build) would not
    // end within the 60 s runCli waits under the checked build of the
    // tests, where a pass over the columns takes a few seconds.
    void cliOfTheWidestTable()
    {
        constexpr int width = 100000;
        QByteArray text;
        for (int c = 0; c < width; ++c)
            text += (c > 0 ? ";s" : "s") + QByteArray::number(c);
        text += '\n';
        for (int r = 0; r < 3; ++r) {
            for (int c = 0; c < width; ++c)
                text += (c > 0 ? ";" : "") + QByteArray::number(c + r);
            text += '\n';
        }
        const CliRun run = runCli({"stats", writeFile(m_dir, "siroky.csv", text)});
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        const QList<QByteArray> lines = run.out.split('\n');
        QCOMPARE(lines.size(), width + 2);
        for (int c = 0; c < width; ++c) {
            const QByteArray expected = ";s" + QByteArray::number(c) + ";3;0;" + QByteArray::number(c + 1) + ";1;"
                                        + QByteArray::number(c) + ';' + QByteArray::number(c + 1) + ';'
                                        + QByteArray::number(c + 2);
            QCOMPARE(lines.at(c + 1), expected);
        }
    }

    void cli()
    {
        QFETCH(QString, locale);
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        const QString path = writeFile(m_dir, "lide.csv", csv);
        arguments.replaceInStrings(QStringLiteral("@"), path);
        CliSetup setup;
        setup.environment = {{"LC_ALL", locale}};
        const CliRun run = runCli(arguments, setup);
        QCOMPARE(run.exitCode, exitCode);
        // A fault is explained; a run that computed may report what it left out.
        if (exitCode != 0)
            QVERIFY(!run.err.isEmpty());
        QFETCH(QByteArray, output);
        QCOMPARE(QString::fromUtf8(run.out), QString::fromUtf8(output));
        QCOMPARE(contentOf(path), csv);
    }
};

QTEST_GUILESS_MAIN(TestSampleStatistics)
#include "tst_samplestatistics.moc"
