// Body composition, ids 7 to 22.

#include "MethodResultCheck.h"

#include <QtTest>

#include <limits>

class TestBodyComposition : public QObject
{
    Q_OBJECT

private slots:
    void results_data();
    void results();
    void zeroRows_data();
    void zeroRows();
};

void TestBodyComposition::results_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<Row>("input");
    QTest::addColumn<Row>("expected");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const Row tenFolds(10, 10.0);
    const Row tenNegativeFolds(10, -10.0);
    const Row fiftyFive = {5, 5, 5, 5, 5, 5, 5, 5, 5, 10};

    QTest::newRow("7 skeleton") << 7 << Row{6, 5.5, 9, 7, 170} << Row{9642.1875};
    QTest::newRow("8 skin") << 8 << Row{10, 10, 10, 10, 10, 10, 18000} << Row{70200};
    // Girths over pi, arm skinfolds at half weight, the others whole.
    QTest::newRow("9 muscle") << 9 << Row{30, 10, 6, 26, 5, 50, 15, 36, 9, 170} << Row{4643.766847127076};
    QTest::newRow("10 women") << 10 << Row{15, 20, 25} << Row{21.026568926612743};
    QTest::newRow("10 women, skinfolds reordered") << 10 << Row{25, 15, 20} << Row{21.026568926612743};
    QTest::newRow("11 men") << 11 << Row{12, 20, 18} << Row{11.845238739466613};
    QTest::newRow("12 girls 1") << 12 << Row{10, 12} << Row{18.52};
    QTest::newRow("14 boys 1") << 14 << Row{10, 12} << Row{17.17};
    QTest::newRow("13 girls 2, s = 35") << 13 << Row{20, 15} << Row{28.81};
    QTest::newRow("13 girls 2, s = 34.9") << 13 << Row{20, 14.9} << Row{28.08287};
    QTest::newRow("13 girls 2, s just below 35") << 13 << Row{20, 14.9999999} << Row{28.124999958};
    QTest::newRow("13 girls 2, s not a number") << 13 << Row{nan, 15} << Row{nan};
    QTest::newRow("15 boys 2, s = 35") << 15 << Row{20, 15, -1.7} << Row{29.075};
    QTest::newRow("15 boys 2, s = 35, other maturity") << 15 << Row{20, 15, -3.4} << Row{29.075};
    QTest::newRow("15 boys 2, s = 34.9") << 15 << Row{20, 14.9, -1.7} << Row{30.78492};
    QTest::newRow("15 boys 2, s = 34.9, other maturity") << 15 << Row{20, 14.9, -3.4} << Row{29.08492};
    QTest::newRow("15 boys 2, s just below 35") << 15 << Row{20, 14.9999999, -1.7} << Row{30.849999935};
    QTest::newRow("16 boys 9-12") << 16 << tenFolds << Row{21.866986564299438};
    QTest::newRow("16 boys 9-12, S = 55") << 16 << fiftyFive << Row{15.052547267240435};
    // The logarithm is taken of the absolute value of the sum.
    QTest::newRow("16 boys 9-12, negative sum") << 16 << tenNegativeFolds << Row{21.866986564299438};
    QTest::newRow("17 boys 13-16") << 17 << tenFolds << Row{19.17664442326017};
    QTest::newRow("19 girls 9-12") << 19 << tenFolds << Row{23.42061657032759};
    QTest::newRow("20 girls 13-16") << 20 << tenFolds << Row{19.17664442326017};
    QTest::newRow("18 boys 17-45") << 18 << tenFolds << Row{16.65};
    QTest::newRow("18 boys 17-45, S = 55") << 18 << fiftyFive << Row{9.1309034877533};
    QTest::newRow("21 girls 17-45") << 21 << tenFolds << Row{9.894};
    QTest::newRow("22 Durnin-Womersley") << 22 << Row{10, 10, 10, 10, 30} << Row{17.735589339999876};
}

void TestBodyComposition::results()
{
    QFETCH(int, id);
    QFETCH(Row, input);
    QFETCH(Row, expected);
    const QByteArray difference = resultDifference(id, input, expected);
    QVERIFY2(difference.isEmpty(), difference.constData());
}

void TestBodyComposition::zeroRows_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("width");
    const int widths[] = {6, 8, 11, 4, 4, 3, 3, 3, 4, 11, 11, 11, 11, 11, 11, 6};
    for (int id = 7; id <= 22; ++id)
        QTest::addRow("%d", id) << id << widths[id - 7];
}

void TestBodyComposition::zeroRows()
{
    QFETCH(int, id);
    QFETCH(int, width);
    const QByteArray difference = zeroRowDifference(id, width);
    QVERIFY2(difference.isEmpty(), difference.constData());
}

QTEST_APPLESS_MAIN(TestBodyComposition)
#include "tst_bodycomposition.moc"
