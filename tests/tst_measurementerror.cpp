// The measurement error of repeated measurements (TEM, relative TEM, R,
// ICC(2,1) with its interval, the Bland–Altman limits), the columns taken for
// repeats by their names, and kostimer-cli error. Each row says where its
// numbers come from: a published example, a hand computation, or an
// independent computation in R (the two-way ANOVA by hand, qf for the F
// quantiles). Ulijaszek & Kerr's own worked example could not be had
// reliably, so TEM is held against hand-worked cases.

#include "CliRun.h"
#include "MeasurementError.h"
#include "TableTestSupport.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <limits>

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

// The subjects' rows as the columns of their measurements, each scaled and shifted.
std::vector<std::vector<double>> columnsOf(const Rows &subjects, double scale = 1, double shift = 0)
{
    std::vector<std::vector<double>> columns(size_t(subjects.value(0).size()));
    for (const Row &row : subjects)
        for (size_t j = 0; j < columns.size(); ++j)
            columns[j].push_back(row.at(qsizetype(j)) * scale + shift);
    return columns;
}

const Rows fourPairs{{10, 11}, {12, 12}, {14, 13}, {20, 22}};

} // namespace

class TestMeasurementError : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

private slots:
    // expected: n, left out, mean, TEM, relative TEM, R, ICC, lower, upper,
    // mean difference, lower and upper limit of agreement.
    void figures_data()
    {
        QTest::addColumn<Rows>("subjects");
        QTest::addColumn<double>("scale");
        QTest::addColumn<double>("shift");
        QTest::addColumn<Row>("expected");
        QTest::addColumn<double>("tolerance");
        // Shrout & Fleiss (1979), Table 2: six targets, four judges. ICC(2,1)
        // 0.2897638 with 95 % interval 0.01878651 to 0.7610844 as published in
        // the example of DescTools' ICC (ICC(A,1) of McGraw & Wong), to its 7
        // digits. Mean 127/24 by hand; TEM √(112.75 / 18), relative TEM and R
        // (s² of the 24 values 7.9547) computed in R.
        QTest::newRow("Shrout & Fleiss, K = 4 (published)")
            << Rows{{9, 2, 5, 8}, {6, 1, 3, 2}, {8, 4, 6, 8}, {7, 1, 2, 6}, {10, 5, 6, 9}, {6, 2, 4, 7}} << 1.0
            << 0.0
            << Row{6, 0, 127.0 / 24, 2.50277623628, 47.2965587958, 0.14730785039, 0.2897638, 0.01878651, 0.7610844,
                   none, none, none}
            << 1e-6;
        // By hand: d = 1, 0, −1, 2, TEM = √(6 / 8); the eight values' mean
        // 14.25 and squared deviations 133.5 over 7; MSR 43.5, MSC 0.5, MSE 2.5 / 3,
        // ICC = 42.6667 / 44.1667. The interval from R's qf (v = 3.84641).
        // d̄ = 0.5, s_d = √(5/3).
        const Row pairs{4, 0, 14.25, std::sqrt(0.75), 100 * std::sqrt(0.75) / 14.25, 1 - 0.75 * 7 / 133.5,
                        (43.5 - 2.5 / 3) / (43.5 + 2.5 / 3 + 2 * (0.5 - 2.5 / 3) / 4), 0.688051402241,
                        0.997725145628, 0.5, 0.5 - 1.96 * std::sqrt(5.0 / 3), 0.5 + 1.96 * std::sqrt(5.0 / 3)};
        QTest::newRow("two measurements (by hand)") << fourPairs << 1.0 << 0.0 << pairs << 1e-10;
        // A row with a measurement missing is left out and counted. The five
        // complete rows computed in R.
        QTest::newRow("three measurements, a row left out (R)")
            << Rows{{10, 11, 10}, {12, 12, 13}, {14, none, 15}, {14, 13, 15}, {20, 22, 21}, {16, 15, 16}} << 1.0
            << 0.0
            << Row{5, 1, 44.0 / 3, 0.774596669241, 5.28134092665, 0.95868852459, 0.964356435644, 0.851667712052,
                   0.995888822769, none, none, none}
            << 1e-10;
        // Squares of values near 2^1004 overflow: the same pairs scaled by the
        // exact 2^1000 give the same figures, TEM and mean scaled alike.
        Row scaled = pairs;
        for (int i : {2, 3, 9, 10, 11})
            scaled[i] = std::ldexp(scaled[i], 1000);
        QTest::newRow("huge values") << fourPairs << std::ldexp(1.0, 1000) << 0.0 << scaled << 1e-10;
        // Σx² − (Σx)²/K on values near 10^9 loses every digit of an error of
        // 1; deviations keep them. Shifting changes only the mean.
        Row shifted = pairs;
        shifted[2] += 1e9;
        shifted[4] = 100 * std::sqrt(0.75) / (1e9 + 14.25);
        QTest::newRow("small error on large values") << fourPairs << 1.0 << 1e9 << shifted << 1e-9;
        // Nothing varies: TEM 0, R and the ICC 0 / 0, so none.
        QTest::newRow("all values equal")
            << Rows{{5, 5}, {5, 5}, {5, 5}} << 1.0 << 0.0
            << Row{3, 0, 5, 0, 0, none, none, none, none, 0, 0, 0} << 1e-12;
        // No error at all: ICC 1, where the interval's formula divides by 1 − ρ.
        QTest::newRow("perfect agreement") << Rows{{1, 1}, {2, 2}, {4, 4}} << 1.0 << 0.0
                                           << Row{3, 0, 7.0 / 3, 0, 0, 1, 1, 1, 1, 0, 0, 0} << 1e-12;
        QTest::newRow("one complete row") << Rows{{1, 2}, {none, 3}} << 1.0 << 0.0
                                          << Row{1, 1, none, none, none, none, none, none, none, none, none, none}
                                          << 1e-12;
    }

    void figures()
    {
        QFETCH(Rows, subjects);
        QFETCH(double, scale);
        QFETCH(double, shift);
        QFETCH(Row, expected);
        QFETCH(double, tolerance);
        const MeasurementError e = measurementError(columnsOf(subjects, scale, shift));
        const Row actual{double(e.n),       double(e.leftOut), e.mean,     e.tem,      e.relativeTem,
                         e.reliability,     e.icc,             e.iccLower, e.iccUpper, e.meanDifference,
                         e.lowerLimit,      e.upperLimit};
        const QByteArray differ = rowsDiffer({actual}, {expected}, tolerance);
        QVERIFY2(differ.isEmpty(), differ.constData());
    }

    // Repeats found by name; Martin's numbers are measurements of their own.
    void repeatedColumnsByName_data()
    {
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("found"); // "name: columns"
        QTest::newRow("numbered") << QStringList{"Výška 1", "Výška 2", "Hmotnost"} << QStringList{"Výška: 0 1"};
        QTest::newRow("lettered") << QStringList{"vyska_a", "vyska_b", "vyska_c"} << QStringList{"vyska: 0 1 2"};
        QTest::newRow("digits attached, case apart") << QStringList{"vyska1", "VYSKA2"} << QStringList{"vyska: 0 1"};
        QTest::newRow("interleaved")
            << QStringList{"Obvod 1", "Šířka 1", "Obvod 2", "Šířka 2"} << QStringList{"Obvod: 0 2", "Šířka: 1 3"};
        QTest::newRow("Martin's numbers") << QStringList{"M1", "M8", "M17", "M5"} << QStringList{};
    }

    void repeatedColumnsByName()
    {
        QFETCH(QStringList, names);
        QStringList found;
        for (const RepeatedColumns &repeated : repeatedColumns(names)) {
            QStringList columns;
            for (int c : repeated.columns)
                columns.append(QString::number(c));
            found.append(repeated.name + QStringLiteral(": ") + columns.join(u' '));
        }
        QTEST(found, "found");
    }

    // kostimer-cli error: the exit code, what it writes and what it says.
    void command_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("out");
        QTest::addColumn<QString>("said"); // part of standard error
        const QByteArray pairs = "Skupina;Výška 1;Výška 2\nA;10;11\nA;12;12\nB;14;13\nB;20;22\n";
        const QByteArray header = "n;K;průměr;TEM;relativní TEM (%);R;ICC(2,1);dolní mez 95 %;horní mez 95 %\n";
        // The pairs of figures_data.
        const QByteArray all = "4;2;14,25;0,866025;6,07737;0,960674;0,966038;0,688051;0,997725\n";
        QTest::newRow("header and one line") << pairs << QStringList{"-c", "Výška 1", "-c", "3"} << 0 << header + all
                                             << "";
        // Group A (10, 11), (12, 12): d = 1, 0, TEM √(1/4); values' mean 11.25,
        // squared deviations 2.75 over 3, R = 1 − 0.25 / 0.916667. Group B
        // likewise; the ICC and its interval from R.
        QTest::newRow("by groups") << pairs << QStringList{"-c", "2", "-c", "3", "--by", "Skupina"} << 0
                                   << "skupina;" + header
                                          + "A;2;2;11,25;0,5;4,44444;0,727273;0,8;-0,630581;0,999721\n"
                                            "B;2;2;17,25;1,11803;6,48136;0,93617;0,955752;-4,05305;0,999936\n;"
                                          + all
                                   << "";
        QTest::newRow("a missing cell left out and counted")
            << pairs + "B;15;\n" << QStringList{"-c", "2", "-c", "3"} << 0 << header + all
            << "řádků, kterým chybí některé měření a které se do n nepočítají: 1";
        QTest::newRow("one column") << pairs << QStringList{"-c", "2"} << 2 << QByteArray()
                                    << "aspoň dva sloupce opakovaného měření";
        QTest::newRow("a column the file lacks") << pairs << QStringList{"-c", "2", "-c", "Výška 3"} << 2
                                                 << QByteArray() << "nemá sloupec „Výška 3“ (-c)";
        QTest::newRow("one complete row") << QByteArray("a;b\n1;2\n3;\n") << QStringList{"-c", "a", "-c", "b"} << 2
                                          << QByteArray() << "řádků se všemi měřeními 1; chyba měření jich potřebuje aspoň 2";
        QTest::newRow("a column without values")
            << QByteArray("a;b;c\n1;2;\n3;4;\n") << QStringList{"-c", "a", "-c", "c"} << 2 << QByteArray()
            << "Sloupec „c“ souboru data.csv nemá žádnou hodnotu";
    }

    void command()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, args);
        const CliRun run = runCli(QStringList{"error", writeFile(m_dir, "data.csv", csv)} + args);
        QTEST(run.exitCode, "exitCode");
        QTEST(run.out, "out");
        QFETCH(QString, said);
        QVERIFY2(QString::fromUtf8(run.err).contains(said), run.err.constData());
    }

    // --digits full writes √0.75 to its last digit, not to six.
    void everyDigit()
    {
        const CliRun run = runCli({"error", writeFile(m_dir, "pairs.csv", "a;b\n10;11\n12;12\n14;13\n20;22\n"), "-c",
                                   "a", "-c", "b", "--digits", "full"});
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.split('\n').value(1).startsWith("4;2;14,25;0,8660254037844386;"), run.out.constData());
    }
};

QTEST_GUILESS_MAIN(TestMeasurementError)
#include "tst_measurementerror.moc"
