// Determination methods, ids 44 to 52.

#include "MethodResultCheck.h"

#include <QtTest>

#include <limits>

class TestDetermination : public QObject
{
    Q_OBJECT

private slots:
    void results_data();
    void results();
    void zeroRows_data();
    void zeroRows();
};

void TestDetermination::results_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<Row>("input");
    QTest::addColumn<Row>("expected");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();

    // Histometric A: S1 to S4, then "Druh". Infinite inputs give exact ties:
    // a tie keeps the lower number, and a NaN best is never replaced.
    QTest::newRow("44 human") << 44 << Row{40, 150, 25000, 2000, 60, 200, 180}
                              << Row{91.138, 90.4823, 86.339, 83.572, 1};
    QTest::newRow("44 S4 largest") << 44 << Row{20, 60, 3000, 300, 30, 80, 100}
                                   << Row{36.488, 39.2523, 38.831, 46.08, 4};
    QTest::newRow("44 tie S1 = S4") << 44 << Row{0, 0, 0, 0, inf, 0, 0} << Row{inf, -inf, -inf, inf, 1};
    QTest::newRow("44 tie S2 = S3") << 44 << Row{0, 0, 0, 0, -inf, 0, 0} << Row{-inf, inf, inf, -inf, 2};
    QTest::newRow("44 S1 NaN") << 44 << Row{inf, 0, 0, 0, -inf, 0, 0} << Row{nan, inf, inf, nan, 1};
    QTest::newRow("44 all NaN") << 44 << Row(7, nan) << Row{nan, nan, nan, nan, 1};

    QTest::newRow("45 S4 largest") << 45 << Row{20, 0, 0} << Row{-68.558, -41.482, -21.324, -11.625, 4};
    QTest::newRow("45 S2 largest") << 45 << Row{10, 30, 0} << Row{92.552, 97.038, 93.386, 88.585, 2};
    QTest::newRow("45 S3 largest") << 45 << Row{12, 9, 60} << Row{-34.56, -16.736, -1.001, -5.227, 3};
    QTest::newRow("45 four-way tie") << 45 << Row{inf, 0, 0} << Row{inf, inf, inf, inf, 1};

    QTest::newRow("46") << 46 << Row{40, 2000, 60, 150, 25000} << Row{1.603253};

    // Giles-Elliot: D, the untouched column 9, W-N and W-In of the row's sex.
    // x2, x3 and x7 do not enter D, so D = -x0 can be set exactly.
    QTest::newRow("47 D = 891.12, male set") << 47 << Row{-891.12, 0, 140, 130, 0, 0, 0, 25}
                                             << Row{891.12, 0, -2961.5272, -233.612};
    QTest::newRow("47 D just below, female set") << 47 << Row{-891.1199999, 0, 140, 130, 0, 0, 0, 25}
                                                 << Row{891.1199999, 0, -1636.298799826, -2972.365999695};
    QTest::newRow("47 male skull") << 47 << Row{100, 190, 140, 135, 105, 135, 72, 25}
                                   << Row{942.88, 0, 76.28, 15.93};
    QTest::newRow("47 female skull") << 47 << Row{92, 175, 135, 128, 98, 122, 66, 24}
                                     << Row{860.88, 0, 117.88, 90.49};
    // D not a number takes the female set: its W-N is NaN where the male one is inf.
    QTest::newRow("47 D NaN") << 47 << Row{inf, 0, 0, 0, 0, 0, inf, 0} << Row{nan, 0, nan, nan};

    QTest::newRow("48") << 48 << Row{140, 135, 190, 135, 100, 105, 72, 25} << Row{2420.3818};
    QTest::newRow("49") << 49 << Row{135, 190, 100, 105, 72} << Row{2257.9364};
    QTest::newRow("50") << 50 << Row{1, 2, 3, 1, 2, 3, 1, 2, 3} << Row{-17.2094, 8.76005};
    QTest::newRow("50 all 0") << 50 << Row(9, 0.0) << Row{-4.59787, -2.13217};
    QTest::newRow("51 all 0") << 51 << Row(5, 0.0) << Row{2.27 / 1.12};
    QTest::newRow("51") << 51 << Row{1, 2, 1, 2, 1} << Row{43.69345238095238};
    QTest::newRow("52 all 0") << 52 << Row(4, 0.0) << Row{3.42 / 1.16};
    QTest::newRow("52") << 52 << Row{1, 2, 1, 2} << Row{46.05172413793104};
}

void TestDetermination::results()
{
    QFETCH(int, id);
    QFETCH(Row, input);
    QFETCH(Row, expected);
    const QByteArray difference = resultDifference(id, input, expected);
    QVERIFY2(difference.isEmpty(), difference.constData());
}

void TestDetermination::zeroRows_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("width");
    const int widths[] = {12, 8, 6, 12, 9, 6, 11, 6, 5};
    for (int id = 44; id <= 52; ++id)
        QTest::addRow("%d", id) << id << widths[id - 44];
}

void TestDetermination::zeroRows()
{
    QFETCH(int, id);
    QFETCH(int, width);
    const QByteArray difference = zeroRowDifference(id, width);
    QVERIFY2(difference.isEmpty(), difference.constData());
}

QTEST_APPLESS_MAIN(TestDetermination)
#include "tst_determination.moc"
