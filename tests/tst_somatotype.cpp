// The Heath-Carter somatotype, id 43.

#include "MethodResultCheck.h"

#include <QtTest>

#include <limits>

class TestSomatotype : public QObject
{
    Q_OBJECT

private slots:
    void results_data();
    void results();
    void zeroRows();
};

namespace {

// Triceps 10, subscapular 12, suprailiac 8, arm girth 32, calf girth 36, femur
// 9.5, humerus 7, then the given height and weight, calf skinfold 8.
Row person(double height, double weight)
{
    return {10, 12, 8, 32, 36, 9.5, 7, height, weight, 8};
}

} // namespace

void TestSomatotype::results_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<Row>("input");
    QTest::addColumn<Row>("expected");
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double endomorphy = 3.0606; // X = 30

    QTest::newRow("175 cm 70 kg") << 43 << person(175, 70) << Row{endomorphy, 4.7857, 2.5025363160251395};
    QTest::newRow("165 cm 70 kg") << 43 << person(165, 70) << Row{endomorphy, 6.0957, 0.906692910716167};
    QTest::newRow("150 cm 70 kg") << 43 << person(150, 70) << Row{endomorphy, 8.0607, 0.1};
    // A weight of 1 makes the height-weight ratio the height itself.
    QTest::newRow("HWR 40.75") << 43 << person(40.75, 1) << Row{endomorphy, 22.37245, 1.249};
    QTest::newRow("HWR just below 40.75") << 43 << person(40.7499999, 1) << Row{endomorphy, 22.3724500131, 1.2372499537};
    QTest::newRow("HWR 38.25") << 43 << person(38.25, 1) << Row{endomorphy, 22.69995, 0.1};
    QTest::newRow("HWR just above 38.25") << 43 << person(38.2500001, 1) << Row{endomorphy, 22.6999499869, 0.0797500463};
    QTest::newRow("weight 0") << 43 << person(175, 0) << Row{endomorphy, 4.7857, 0.1};
    QTest::newRow("negative weight") << 43 << person(175, -70) << Row{endomorphy, 4.7857, 2.5025363160251395};
    QTest::newRow("negative height") << 43 << person(-175, 70) << Row{endomorphy, 50.6357, 0.1};
    QTest::newRow("weight not a number") << 43 << person(175, nan) << Row{endomorphy, 4.7857, 0.0};
    QTest::newRow("skinfolds 0") << 43 << Row{0, 0, 0, 32, 36, 9.5, 7, 175, 70, 0}
                                 << Row{-0.7182, 5.1025, 2.5025363160251395};
}

void TestSomatotype::results()
{
    QFETCH(int, id);
    QFETCH(Row, input);
    QFETCH(Row, expected);
    const QByteArray difference = resultDifference(id, input, expected);
    QVERIFY2(difference.isEmpty(), difference.constData());
}

void TestSomatotype::zeroRows()
{
    const QByteArray difference = zeroRowDifference(43, 13);
    QVERIFY2(difference.isEmpty(), difference.constData());
}

QTEST_APPLESS_MAIN(TestSomatotype)
#include "tst_somatotype.moc"
