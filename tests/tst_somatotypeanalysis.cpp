// The somatotype analysis of the Heath-Carter manual (Carter 2002) and
// kostimer-cli somatotypes. Expected numbers are worked out by hand from the
// manual's definitions: X = III − I, Y = 2 II − (I + III), SAD, SDD =
// √(3 ΔX² + ΔY²), SAM and SDI the mean SAD and SDD from the mean; the
// categories by its thirteen definitions, two components being equal when
// they differ by 0.5 or less.

#include "CliRun.h"
#include "SomatotypeAnalysis.h"

#include <QtTest>

#include <cmath>
#include <limits>

using Row = std::vector<double>;
Q_DECLARE_METATYPE(Somatotype)

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

// x times 2^exponent (2^665 is about 1e200): scaled exactly, so that every
// sum, mean and distance of scaled values is the scaled one of the values.
double scaled(double x, int exponent = 665)
{
    return std::ldexp(x, exponent);
}

Somatotype big(const Somatotype &s, int exponent = 665)
{
    return {scaled(s.endomorphy, exponent), scaled(s.mesomorphy, exponent), scaled(s.ectomorphy, exponent)};
}

// The sample of the CLI tests: two groups of two, a row with mesomorphy
// missing (nan), a row without a group.
const QByteArray sample = "x;a;b;c\n"
                          "1;3;5;2\n"
                          "1;2;6;1,5\n"
                          "2;5;2;2\n"
                          "2;6;2;1\n"
                          "2;nan;3;3\n"
                          ";4;4;4\n";

// The header lines of somatotypes: the summaries, then (after an empty line) the pairs.
const QByteArray header = "skupina;n;endomorfie;mezomorfie;ektomorfie;X;Y;SAM;SDI;kategorie\n";
const QByteArray comparisons = "\nskupina A;skupina B;SDD;SAD;významný rozdíl\n";

} // namespace

class TestSomatotypeAnalysis : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString file(const QString &name, const QByteArray &content) { return writeFile(m_dir, name, content); }

private slots:
    // First, before any other run of the tool: the peak memory of the
    // children only grows. somatotypes --by of 3000 groups of one row
    // compares 4,498,500 pairs. The fault: every pair was kept (40 bytes)
    // and the whole output held (some 28 bytes a line) before anything was
    // written, some 300 MB more than the groups themselves take; written
    // pair by pair as they are compared, the tool needs no more than for a
    // file of a few rows.
    void pairsOfManyGroupsAreNotHeld()
    {
        CliSetup setup;
        // Freed memory is given back at once, so that the peak is the tool's own.
        setup.environment = {{"ASAN_OPTIONS", "quarantine_size_mb=0"}};
        QCOMPARE(runCli({"somatotypes", file("malo.csv", sample), "--by", "x"}, setup).exitCode, 0);
        const qint64 few = peakOfChildren();
        constexpr int groups = 3000;
        const QByteArray csv = manyGroupsCsv(groups);
        const QString output = m_dir.filePath("dvojice.csv");
        const CliRun r = runCli({"somatotypes", file("skupiny.csv", csv), "--by", "skupina", "--output", output},
                                setup);
        QCOMPARE(r.exitCode, 0);
        const qint64 peak = peakOfChildren();
        QVERIFY2(peak < few + (qint64(64) << 20),
                 qPrintable(QStringLiteral("%1 MB, %2 MB for a few rows").arg(peak >> 20).arg(few >> 20)));
        // Every pair was written: the header, a line per group and the line
        // of all rows, an empty line, the header of the pairs, and the pairs.
        QFile written(output);
        QVERIFY(written.open(QIODevice::ReadOnly));
        qint64 lines = 0;
        while (!written.atEnd())
            lines += written.read(qint64(1) << 20).count('\n');
        QCOMPARE(lines, qint64(1 + groups + 1 + 1 + 1) + qint64(groups) * (groups - 1) / 2);
        written.close();
        QFile::remove(output);
    }

    void categories_data()
    {
        QTest::addColumn<Somatotype>("somatotype");
        QTest::addColumn<QString>("category");
        auto row = [](const char *tag, Somatotype s, const char *category) {
            QTest::newRow(tag) << s << QString::fromUtf8(category);
        };
        // Each boundary from both sides: a difference of 0.5 is equal, 0.6 is
        // not; a spread of 1 is central, 1.1 is not.
        row("central, spread 1", {3, 4, 3}, "centrální");
        row("spread 1.1", {3, 4.1, 3}, "vyrovnaný mezomorf");
        row("central, spread 1 in binary 1.0000000000000002", {2.2, 1.2, 1.2}, "centrální");
        row("balanced endomorph, 0.5", {5, 2.5, 2}, "vyrovnaný endomorf");
        row("0.6 toward mesomorphy", {5, 2.6, 2}, "mezomorfní endomorf");
        row("0.6 toward ectomorphy", {5, 2, 2.6}, "ektomorfní endomorf");
        row("0.5 in binary 0.5000000000000001", {3, 1.1, 0.6}, "vyrovnaný endomorf");
        row("mesomorph-endomorph, endomorphy ahead by 0.5", {5, 4.5, 2}, "mezomorf-endomorf");
        row("endomorphy ahead by 0.6", {5, 4.4, 2}, "mezomorfní endomorf");
        row("mesomorph-endomorph, mesomorphy ahead by 0.5", {4.5, 5, 2}, "mezomorf-endomorf");
        row("mesomorphy ahead of endomorphy by 0.6", {4.4, 5, 2}, "endomorfní mezomorf");
        row("balanced mesomorph, 0.5", {2, 5, 2.5}, "vyrovnaný mezomorf");
        row("0.6 toward ectomorphy of a mesomorph", {2, 5, 2.6}, "ektomorfní mezomorf");
        row("0.6 toward endomorphy of a mesomorph", {2.6, 5, 2}, "endomorfní mezomorf");
        row("mesomorph-ectomorph, mesomorphy ahead by 0.5", {2, 5, 4.5}, "mezomorf-ektomorf");
        row("mesomorphy ahead of ectomorphy by 0.6", {2, 5, 4.4}, "ektomorfní mezomorf");
        row("mesomorph-ectomorph, ectomorphy ahead by 0.5", {2, 4.5, 5}, "mezomorf-ektomorf");
        row("ectomorphy ahead of mesomorphy by 0.6", {2, 4.4, 5}, "mezomorfní ektomorf");
        row("balanced ectomorph, 0.5", {2, 2.5, 5}, "vyrovnaný ektomorf");
        row("0.6 toward mesomorphy of an ectomorph", {2, 2.6, 5}, "mezomorfní ektomorf");
        row("0.6 toward endomorphy of an ectomorph", {2.6, 2, 5}, "endomorfní ektomorf");
        row("endomorph-ectomorph, ectomorphy ahead by 0.5", {4.5, 2, 5}, "endomorf-ektomorf");
        row("ectomorphy ahead of endomorphy by 0.6", {4.4, 2, 5}, "endomorfní ektomorf");
        row("endomorph-ectomorph, endomorphy ahead by 0.5", {5, 2, 4.5}, "endomorf-ektomorf");
        row("endomorphy ahead of ectomorphy by 0.6", {5, 2, 4.4}, "ektomorfní endomorf");
        row("a component that is no number", {none, 4, 4}, "");
        // The fault: a component of 0 or less was given a category (−1-4-4 a
        // balanced mesomorph). Ratings are positive; a positive one under
        // 0.1 is the equations' own (ectomorphy 0.08 just above HWR 38.25).
        row("a negative component", {-1, 4, 4}, "");
        row("a component of 0", {4, 4, 0}, "");
        row("a component of -0", {4, -0.0, 4}, "");
        row("ectomorphy 0.08 of the equation", {4, 4, 0.08}, "mezomorf-endomorf");
    }

    void categories()
    {
        QFETCH(Somatotype, somatotype);
        QTEST(categoryName(somatotypeCategory(somatotype)), "category");
    }

    void coordinatesAndDistances_data()
    {
        QTest::addColumn<Somatotype>("a");
        QTest::addColumn<Somatotype>("b");
        QTest::addColumn<double>("xA");
        QTest::addColumn<double>("yA");
        QTest::addColumn<double>("sdd");
        QTest::addColumn<double>("sad");
        QTest::addColumn<bool>("significant");
        // 3-5-2: X = 2 − 3 = −1, Y = 10 − 5 = 5. 2-6-1.5: X = −0.5, Y = 8.5.
        // SDD = √(3 · 0.25 + 12.25) = √13; SAD = √(1 + 1 + 0.25) = 1.5.
        QTest::newRow("3-5-2 and 2-6-1.5") << Somatotype{3, 5, 2} << Somatotype{2, 6, 1.5} << -1.0 << 5.0
                                           << std::sqrt(13.0) << 1.5 << true;
        // Y apart by 2 alone: SDD exactly 2, which is significant.
        QTest::newRow("SDD 2") << Somatotype{4, 4, 4} << Somatotype{4, 5, 4} << 0.0 << 0.0 << 2.0 << 1.0 << true;
        // 4-4.9-4: Y = 1.8, SDD 1.8, SAD 0.9.
        QTest::newRow("SDD 1.8") << Somatotype{4, 4, 4} << Somatotype{4, 4.9, 4} << 0.0 << 0.0 << 1.8 << 0.9 << false;
        // The first row scaled by 2^665 (about 1e200), exactly: every
        // distance scales with it. The fault: the squares, about 1e400, made
        // SDD and SAD inf.
        QTest::newRow("3-5-2 and 2-6-1.5 times 2^665")
            << big({3, 5, 2}) << big({2, 6, 1.5}) << scaled(-1) << scaled(5) << scaled(std::sqrt(13.0))
            << scaled(1.5) << true;
    }

    void coordinatesAndDistances()
    {
        QFETCH(Somatotype, a);
        QFETCH(Somatotype, b);
        QTEST(somatochartX(a), "xA");
        QTEST(somatochartY(a), "yA");
        QTEST(dispersionDistance(a, b), "sdd");
        QTEST(dispersionDistance(b, a), "sdd");
        QTEST(attitudinalDistance(a, b), "sad");
        QTEST(isSignificantDistance(dispersionDistance(a, b)), "significant");
    }

    // The CLI sample, worked by hand:
    // group 1: 3-5-2, 2-6-1.5; mean 2.5-5.5-1.75, X −0.75, Y 6.75; each SAD
    //   √(0.25 + 0.25 + 0.0625) = 0.75; each SDD √(3 · 0.0625 + 1.75²) = √3.25.
    // group 2: 5-2-2, 6-2-1; mean 5.5-2-1.5, X −4, Y −3; each SAD √0.5; each SDD √3.
    // all five complete rows: mean 4-3.8-2.1, X −1.9, Y 1.5.
    // Means 3.25 apart in X and 9.75 in Y: SDD √126.75; SAD √(9 + 12.25 + 0.0625).
    // Scaled by 2^665 (about 1e200), exactly, every number scales so. The
    // fault: the squares of the deviations, about 1e400, made SAM, SDI and
    // the comparison inf.
    void groups_data()
    {
        QTest::addColumn<int>("exponent");
        QTest::newRow("as rated") << 0;
        QTest::newRow("times 2^665") << 665;
    }

    void groups()
    {
        QFETCH(int, exponent);
        std::vector<Somatotype> rows;
        for (const Somatotype &s : std::vector<Somatotype>{{3, 5, 2}, {2, 6, 1.5}, {5, 2, 2}, {6, 2, 1}, {none, 3, 3},
                                                           {4, 4, 4}})
            rows.push_back(big(s, exponent));
        const GroupingColumn x{QStringLiteral("x"), {1, 1, 2, 2, 2, none}, {}};
        const SomatotypeAnalysis a = analyseSomatotypes(rows, &x);
        QCOMPARE(a.leftOut, qsizetype(1));
        QCOMPARE(a.ungrouped, qsizetype(1));
        QCOMPARE(a.groups.size(), size_t(2));
        QCOMPARE(a.groups[0].name, QStringLiteral("1"));
        QCOMPARE(a.groups[0].key, 1.0);
        // n, the mean somatotype, X, Y, SAM, SDI. The row of nan counts
        // nowhere, not even in its group.
        const auto numbers = [exponent](const SomatotypeSummary &s) {
            return QList<double>{double(s.n), scaled(s.mean.endomorphy, -exponent), scaled(s.mean.mesomorphy, -exponent),
                                 scaled(s.mean.ectomorphy, -exponent), scaled(s.x, -exponent), scaled(s.y, -exponent),
                                 scaled(s.sam, -exponent), scaled(s.sdi, -exponent)};
        };
        QCOMPARE(numbers(a.groups[0].summary), (QList<double>{2, 2.5, 5.5, 1.75, -0.75, 6.75, 0.75, std::sqrt(3.25)}));
        QCOMPARE(numbers(a.groups[1].summary), (QList<double>{2, 5.5, 2, 1.5, -4, -3, std::sqrt(0.5), std::sqrt(3.0)}));
        // All rows, the one without a group too.
        QCOMPARE(a.all.n, qsizetype(5));
        QCOMPARE(scaled(a.all.x, -exponent), -1.9);
        QVERIFY(qAbs(scaled(a.all.y, -exponent) - 1.5) < 1e-12);
        // Categories are of ratings as they are (0.5 apart is equal).
        if (exponent == 0) {
            QCOMPARE(a.groups[0].summary.category, SomatotypeCategory::EndomorphicMesomorph);
            QCOMPARE(a.groups[1].summary.category, SomatotypeCategory::BalancedEndomorph);
            QCOMPARE(a.all.category, SomatotypeCategory::MesomorphEndomorph);
        }
        QCOMPARE(comparisonCount(a), size_t(1));
        const SomatotypeComparison c = compareGroups(a, 0, 1);
        QCOMPARE(c.first, size_t(0));
        QCOMPARE(c.second, size_t(1));
        QCOMPARE(scaled(c.sdd, -exponent), std::sqrt(126.75));
        QCOMPARE(scaled(c.sad, -exponent), std::sqrt(21.3125));
        QVERIFY(c.significant);
    }

    // Means of components near the largest double: their sum overflows.
    // Three copies of the largest double have it as their mean exactly,
    // and so do seven; the fault gave inf, or a mean below every value.
    void meansOfTheLargestComponents_data()
    {
        QTest::addColumn<int>("copies");
        QTest::newRow("three") << 3;
        QTest::newRow("seven") << 7;
        QTest::newRow("thirteen") << 13;
    }

    void meansOfTheLargestComponents()
    {
        QFETCH(int, copies);
        constexpr double largest = std::numeric_limits<double>::max();
        const std::vector<Somatotype> rows(size_t(copies), Somatotype{largest, largest, largest});
        const SomatotypeSummary s = analyseSomatotypes(rows).all;
        QCOMPARE(s.n, qsizetype(copies));
        QVERIFY(s.mean.endomorphy == largest && s.mean.mesomorphy == largest && s.mean.ectomorphy == largest);
        // Each member is the mean: no spread.
        QCOMPARE(s.sam, 0.0);
    }

    // A row with a component of 0 or less has no somatotype: it counts
    // nowhere, but among the rows that are no ratings, apart from those that
    // are not complete. The fault: −1-4-4 counted in its group and in all.
    void componentsOfZeroOrLess()
    {
        const std::vector<Somatotype> rows{{3, 5, 2}, {-1, 4, 4}, {2, 6, 1.5}, {4, 0, 4}, {none, 1, 1}, {4, 4, 0.08}};
        const GroupingColumn x{QStringLiteral("x"), {1, 1, 1, 2, 2, 2}, {}};
        const SomatotypeAnalysis a = analyseSomatotypes(rows, &x);
        QCOMPARE(a.leftOut, qsizetype(1));
        QCOMPARE(a.notRatings, qsizetype(2));
        QCOMPARE(a.all.n, qsizetype(3));
        QCOMPARE(a.groups.size(), size_t(2));
        // Group 1: 3-5-2 and 2-6-1.5 alone; group 2: 4-4-0.08 alone.
        QCOMPARE(a.groups[0].rows, (std::vector<qsizetype>{0, 2}));
        QCOMPARE(a.groups[0].summary.mean.endomorphy, 2.5);
        QCOMPARE(a.groups[1].rows, (std::vector<qsizetype>{5}));
    }

    // Nothing to describe: every statistic is missing, not 0.
    void noRows()
    {
        const SomatotypeAnalysis empty = analyseSomatotypes({{none, 1, 1}});
        QCOMPARE(empty.all.n, qsizetype(0));
        QVERIFY(std::isnan(empty.all.mean.endomorphy) && std::isnan(empty.all.sam) && std::isnan(empty.all.x));
        QCOMPARE(empty.all.category, SomatotypeCategory::None);
    }

    // kostimer-cli somatotypes: what it writes, and its usage faults. "@" is
    // the file of the row.
    void cli_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<int>("errorLines");
        // The row left out is told, and so is the row without a group.
        QTest::newRow("groups") << sample << QStringList{"somatotypes", "@", "--by", "x"} << 0
                                << header + "1;2;2,5;5,5;1,75;-0,75;6,75;0,75;1,80278;endomorfní mezomorf\n"
                                            "2;2;5,5;2;1,5;-4;-3;0,707107;1,73205;vyrovnaný endomorf\n"
                                            // SAM of all: (√2.45 + √9.2 + √4.25 + √8.45 + √3.65) / 5;
                                            // SDI: (√14.68 + √54.88 + √23.88 + √49.08 + √13.08) / 5.
                                            ";5;4;3,8;2,1;-1,9;1,5;2,29547;5,34972;mezomorf-endomorf\n"
                                   + comparisons + "1;2;11,2583;4,61655;ano\n"
                                << 3; // and the columns taken as components
        // The last three number columns; the row of nan keeps its line, empty.
        QTest::newRow("rows of the file") << sample << QStringList{"somatotypes", "@", "--rows"} << 0
                                          << QByteArray("endomorfie;mezomorfie;ektomorfie;X;Y;kategorie\n"
                                                        "3;5;2;-1;5;endomorfní mezomorf\n"
                                                        "2;6;1,5;-0,5;8,5;vyrovnaný mezomorf\n"
                                                        "5;2;2;-3;-3;vyrovnaný endomorf\n"
                                                        "6;2;1;-5;-3;mezomorfní endomorf\n"
                                                        ";3;3;;;\n"
                                                        "4;4;4;0;0;centrální\n")
                                          << 1;
        // Components in another order, named and numbered; the keys 1,5 and
        // 1.25 are two groups in numeric order; a text key is no group. The
        // field that is no number is told with its place, and the row
        // without a group.
        QTest::newRow("columns named, decimal groups")
            << QByteArray("ekto;skupina;endo;mezo\n2;1,5;3;5\n1;1.25;6;2\n4;x;4;4\n")
            << QStringList{"somatotypes", "@", "-c", "endo", "-c", "4", "-c", "ekto", "--by", "skupina"} << 0
            << header + "1,25;1;6;2;1;-5;-3;0;0;mezomorfní endomorf\n" // 6-2-1: X −5, Y 4 − 7; one member
                        "1,5;1;3;5;2;-1;5;0;0;endomorfní mezomorf\n"
                        // 13/3-11/3-7/3: SAM (√(33/9) + √(66/9) + √3) / 3, SDI
                        // (√(196/9) + √(364/9) + √(112/9)) / 3.
                        ";3;4,33333;3,66667;2,33333;-2;0,666667;2,11831;4,85131;mezomorfní endomorf\n"
                   + comparisons + "1,25;1,5;10,583;4,3589;ano\n" // ΔX 4, ΔY 8: √(48 + 64); SAD √(9 + 9 + 1)
            << 3;
        // As the program exports a Heath-Carter result: no header, the
        // somatotype last; --digits full gives √0.5 whole.
        QTest::newRow("value rows, every digit")
            << QByteArray("9;5;2;2\n9;6;2;1\n") << QStringList{"somatotypes", "@", "--digits", "full"} << 0
            << header + ";2;5,5;2;1,5;-4;-3;0,7071067811865476;1,7320508075688772;vyrovnaný endomorf\n" << 1;
        const QByteArray ok = "a;b;c;d\n1;3;5;2\n";
        const auto fault = [&ok](const char *tag, const QStringList &arguments) {
            QTest::newRow(tag) << ok << arguments << 2 << QByteArray() << 1;
        };
        fault("no file", {"somatotypes"});
        fault("two -c", {"somatotypes", "@", "-c", "1", "-c", "2"});
        fault("no such column", {"somatotypes", "@", "--by", "5"});
        fault("an option of apply", {"somatotypes", "@", "--verdicts"});
        fault("--by without a column", {"somatotypes", "@", "--by"});
    }

    // Rows with a component of 0 or less: told on standard error with their
    // data row (from 1), column and value, the first five of them, and left
    // out as rows that are not complete are. The fault: −1-4-4 counted in
    // its group and among all rows, and was given a category.
    // Left: 3-5-2 (group 1) and 5-2-2 (group 2), one member each; all rows:
    // mean 4-3.5-2, X −2, Y 1; each member's SAD √(1 + 2.25) = √3.25, SDD
    // from (−2, 1) √(3 · 1 + 16) = √19; the groups ΔX 2, ΔY 8: SDD √(12 +
    // 64) = √76, SAD √(4 + 9) = √13.
    void cliComponentsOfZeroOrLess_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QByteArray>("output");
        QTest::addColumn<QByteArray>("report");
        const QByteArray csv = "x;a;b;c\n1;3;5;2\n1;-1;4;4\n2;5;2;2\n2;4;0;4\n";
        const QByteArray told = "kostimer-cli: vzorek.csv: řádků se složkou somatotypu 0 nebo zápornou (složka je "
                                "vždy kladná), které se nepočítají: 2\n"
                                "  řádek 2, sloupec „a“: -1\n"
                                "  řádek 4, sloupec „b“: 0\n";
        QTest::newRow("groups") << csv << QStringList{"somatotypes", "@", "--by", "x"}
                                << header + "1;1;3;5;2;-1;5;0;0;endomorfní mezomorf\n"
                                            "2;1;5;2;2;-3;-3;0;0;vyrovnaný endomorf\n"
                                            ";2;4;3,5;2;-2;1;1,80278;4,3589;mezomorf-endomorf\n"
                                   + comparisons + "1;2;8,7178;3,60555;ano\n"
                                << told;
        // Each row keeps its line, without point or category.
        QTest::newRow("rows") << csv << QStringList{"somatotypes", "@", "--rows", "-c", "a", "-c", "b", "-c", "c"}
                              << QByteArray("endomorfie;mezomorfie;ektomorfie;X;Y;kategorie\n"
                                            "3;5;2;-1;5;endomorfní mezomorf\n"
                                            "-1;4;4;;;\n"
                                            "5;2;2;-3;-3;vyrovnaný endomorf\n"
                                            "4;0;4;;;\n")
                              << told;
        // Seven such rows: five are listed. 2-3-0,5 is kept: no component is
        // 0 or less (−0 is 0).
        QTest::newRow("more than five") << QByteArray("a;b;c\n0;1;1\n1;-0,5;1\n1;1;-0\n2;3;0,5\n-2;1;1\n"
                                                      "1;0;1\n1;1;-7\n-1;-1;-1\n")
                                        << QStringList{"somatotypes", "@"}
                                        << header + ";1;2;3;0,5;-1,5;3,5;0;0;endomorfní mezomorf\n"
                                        << QByteArray("kostimer-cli: vzorek.csv: řádků se složkou somatotypu 0 nebo "
                                                      "zápornou (složka je vždy kladná), které se nepočítají: 7\n"
                                                      "  řádek 1, sloupec „a“: 0\n"
                                                      "  řádek 2, sloupec „b“: -0,5\n"
                                                      "  řádek 3, sloupec „c“: -0\n"
                                                      "  řádek 5, sloupec „a“: -2\n"
                                                      "  řádek 6, sloupec „b“: 0\n"
                                                      "  … a další (2)\n");
    }

    void cliComponentsOfZeroOrLess()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, arguments);
        arguments.replaceInStrings(QStringLiteral("@"), file("vzorek.csv", csv));
        const CliRun r = runCli(arguments);
        QCOMPARE(r.exitCode, 0);
        QFETCH(QByteArray, output);
        QFETCH(QByteArray, report);
        QCOMPARE(QString::fromUtf8(r.out), QString::fromUtf8(output));
        QCOMPARE(QString::fromUtf8(withoutComponentNote(r.err)), QString::fromUtf8(report));
    }

    void cli()
    {
        QFETCH(QByteArray, csv);
        QFETCH(QStringList, arguments);
        arguments.replaceInStrings(QStringLiteral("@"), file("vzorek.csv", csv));
        const CliRun r = runCli(arguments);
        QTEST(r.exitCode, "exitCode");
        QTEST(r.out, "output");
        QTEST(int(r.err.count('\n')), "errorLines");
    }
};

QTEST_GUILESS_MAIN(TestSomatotypeAnalysis)
#include "tst_somatotypeanalysis.moc"
