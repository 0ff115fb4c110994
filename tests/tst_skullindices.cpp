// Skull and skeleton indices, ids 23 to 42.

#include "MethodResultCheck.h"

#include <QtTest>

class TestSkullIndices : public QObject
{
    Q_OBJECT

private slots:
    void results_data();
    void results();
    void zeroRows_data();
    void zeroRows();
    void ratioAtAClassBoundIsExact();
};

void TestSkullIndices::results_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<Row>("input");
    QTest::addColumn<Row>("expected");

    // Every two-input index is 100 x0 / x1; a zero divisor gives 0.
    for (int id : {23, 24, 25, 26, 27, 28, 29, 38, 39, 41, 42}) {
        QTest::addRow("%d 140/180", id) << id << Row{140, 180} << Row{77.77777777777777};
        QTest::addRow("%d zero divisor", id) << id << Row{140, 0} << Row{0.0};
    }
    QTest::newRow("30 skull module") << 30 << Row{180, 140, 130} << Row{150};
    QTest::newRow("31 face module") << 31 << Row{100, 135, 120} << Row{118.33333333333333};
    QTest::newRow("32 Manouvrier men") << 32 << Row{180, 140, 130} << Row{1436842.105263158};
    QTest::newRow("33 Manouvrier women") << 33 << Row{180, 140, 130} << Row{1516666.6666666665};
    QTest::newRow("34 Lee-Pearson men") << 34 << Row{180, 140, 130} << Row{1396.016};
    QTest::newRow("35 Lee-Pearson women") << 35 << Row{180, 140, 130} << Row{1323.056};
    // No factor of 100 in the robusticity indices.
    QTest::newRow("36 robusticity") << 36 << Row{27, 26, 430} << Row{0.12325581395348838};
    QTest::newRow("36 zero length") << 36 << Row{27, 26, 0} << Row{0.0};
    QTest::newRow("37 head robusticity") << 37 << Row{46, 45, 430} << Row{0.2116279069767442};
    QTest::newRow("40 intermembral") << 40 << Row{320, 250, 450, 370} << Row{69.51219512195122};
    QTest::newRow("40 zero lower limb sum") << 40 << Row{320, 250, 5, -5} << Row{0.0};
}

void TestSkullIndices::results()
{
    QFETCH(int, id);
    QFETCH(Row, input);
    QFETCH(Row, expected);
    const QByteArray difference = resultDifference(id, input, expected);
    QVERIFY2(difference.isEmpty(), difference.constData());
}

void TestSkullIndices::zeroRows_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<int>("width");
    for (int id = 23; id <= 42; ++id) {
        const int width = id == 40 ? 5 : (id >= 30 && id <= 37) ? 4 : 3;
        QTest::addRow("%d", id) << id << width;
    }
}

void TestSkullIndices::zeroRows()
{
    QFETCH(int, id);
    QFETCH(int, width);
    const QByteArray difference = zeroRowDifference(id, width);
    QVERIFY2(difference.isEmpty(), difference.constData());
}

// Class bounds are decimal: a ratio that is exactly one must not fall a hair
// short of it and into the class below.
void TestSkullIndices::ratioAtAClassBoundIsExact()
{
    const struct {
        int id;
        double x0, x1, index;
    } bounds[] = {{28, 29, 50, 58}, {23, 150, 200, 75}, {23, 144, 180, 80}, {26, 84.15, 99, 85}};
    for (const auto &b : bounds) {
        const cv::Mat out = runMethod(b.id, {{b.x0, b.x1}});
        QCOMPARE(out.at<double>(0, 2), b.index);
    }
}

QTEST_APPLESS_MAIN(TestSkullIndices)
#include "tst_skullindices.moc"
