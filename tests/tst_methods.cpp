#include "MethodCatalog.h"
#include "MethodTestSupport.h"

#include <QtTest>

#include <cmath>

// Worked numbers of the body-build indices, the unit conversions and the
// landmark measurements, checked against published or hand-worked values.
class TestMethods : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { buildMethodCatalog(); }

    void results_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<Rows>("input");
        QTest::addColumn<Row>("expected"); // the last result column, row by row

        const double pi = M_PI;
        // Body-build indices.
        QTest::newRow("QB index 70 kg 175 cm") << 0 << Rows{{70, 175}} << Row{4.0};
        QTest::newRow("Rohrer 70 kg 175 cm") << 1 << Rows{{70, 175}} << Row{7000000.0 / 5359375.0};
        QTest::newRow("BMI 70 kg 1.75 m") << 2 << Rows{{70, 1.75}} << Row{70 / 3.0625};
        QTest::newRow("BMI of zero height is 0") << 2 << Rows{{70, 0}, {80, 2}} << Row{0.0, 20.0};
        QTest::newRow("QB of zero height is 0") << 0 << Rows{{70, 0}} << Row{0.0};
        QTest::newRow("Rohrer of zero height is 0") << 1 << Rows{{70, 0}} << Row{0.0};
        QTest::newRow("WHR 80/100") << 3 << Rows{{80, 100}, {90, 0}} << Row{0.8, 0.0};
        QTest::newRow("KEI boys") << 4 << Rows{{1.3, 30, 25, 22, 150}} << Row{55 * (44 - 20.8 + 18.1) / 1500};
        QTest::newRow("KEI girls") << 5 << Rows{{1.3, 30, 25, 22, 150}} << Row{55 * (44 - 19.5 + 18.6) / 3000};
        QTest::newRow("KEI zero height") << 4 << Rows{{1.3, 30, 25, 22, 0}} << Row{0.0};
        QTest::newRow("body surface 70 kg 175 cm")
            << 6 << Rows{{70, 175}} << Row{71.48 * std::pow(70, 0.425) * std::pow(175, 0.725)};
        QTest::newRow("body surface of negative values")
            << 6 << Rows{{-70, -175}} << Row{71.48 * std::pow(70, 0.425) * std::pow(175, 0.725)};
        QTest::newRow("body surface of zero weight") << 6 << Rows{{0, 175}} << Row{0.0};

        // Unit conversions.
        QTest::newRow("m to km") << 53 << Rows{{1500}, {-2}} << Row{1.5, -0.002};
        QTest::newRow("kg to g") << 82 << Rows{{2}} << Row{2000.0};
        QTest::newRow("kg to t") << 84 << Rows{{2}} << Row{0.002};
        QTest::newRow("m3 to hl") << 81 << Rows{{1}} << Row{10.0};
        QTest::newRow("m3 to l") << 78 << Rows{{1}} << Row{1000.0};
        QTest::newRow("m to miles") << 58 << Rows{{1609.344}} << Row{1.0};
        QTest::newRow("m to inches") << 61 << Rows{{0.0254}} << Row{1.0};
        QTest::newRow("m2 to mm2") << 67 << Rows{{2}} << Row{2000000.0};
        QTest::newRow("m2 to lany") << 74 << Rows{{172639.2}} << Row{1.0};
        QTest::newRow("kg to oz") << 86 << Rows{{0.028349523125}} << Row{1.0};
        QTest::newRow("rad to degrees") << 62 << Rows{{pi}} << Row{180.0};
        QTest::newRow("rad to minutes") << 63 << Rows{{pi}} << Row{10800.0};
        QTest::newRow("rad to seconds") << 64 << Rows{{pi}} << Row{648000.0};
        QTest::newRow("0 K to C") << 87 << Rows{{0}, {273.15}} << Row{-273.15, 0.0};
        QTest::newRow("0 K to F") << 88 << Rows{{0}, {273.15}} << Row{-459.67, 32.0};
        QTest::newRow("Pa to atm") << 91 << Rows{{101325}} << Row{1.0};
        QTest::newRow("Pa to mm Hg") << 92 << Rows{{133.322}} << Row{1.0};
        QTest::newRow("Pa to torr") << 93 << Rows{{133.322}} << Row{1.0};
        QTest::newRow("N to kp") << 94 << Rows{{9.80665}} << Row{1.0};
        QTest::newRow("J to cal") << 96 << Rows{{4.1868}} << Row{1.0};
        QTest::newRow("NaN converts arithmetically") << 55 << Rows{{qQNaN()}} << Row{qQNaN()};

        // Landmarks.
        QTest::newRow("distance 2D") << 97 << Rows{{0, 0, 3, 4}, {1, 1, 1, 1}} << Row{5.0, 0.0};
        QTest::newRow("distance 3D") << 98 << Rows{{0, 0, 0, 1, 2, 2}} << Row{3.0};
        QTest::newRow("right angle") << 99 << Rows{{1, 0, 0, 1, 0, 0}} << Row{pi / 2};
        QTest::newRow("zero angle") << 99 << Rows{{1, 0, 2, 0, 0, 0}} << Row{0.0};
        QTest::newRow("straight angle") << 99 << Rows{{1, 0, -1, 0, 0, 0}} << Row{pi};
        // Rounding makes the cosine 1.0000000000000002 here.
        QTest::newRow("parallel rays rounding past 1") << 99 << Rows{{1, 5, 2, 10, 0, 0}} << Row{0.0};
        QTest::newRow("zero-length ray has no angle") << 99 << Rows{{0, 0, 1, 0, 0, 0}} << Row{qQNaN()};
        QTest::newRow("centroid 2D") << 101 << Rows{{0, 0}, {2, 0}, {0, 2}, {2, 2}}
                                     << Row{2 * std::sqrt(2.0), 0, 0, 0};
        QTest::newRow("centroid of one row") << 101 << Rows{{3, 4}} << Row{0.0};
        QTest::newRow("centroid 3D") << 102 << Rows{{1, 0, 0}, {-1, 0, 0}, {0, 0, 2}, {0, 0, -2}}
                                     << Row{std::sqrt(10.0), 0, 0, 0};
        QTest::newRow("point above plane")
            << 105 << Rows{{0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 5}, {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, -5}} << Row{5.0, 5.0};
        QTest::newRow("tilted plane") << 105 << Rows{{1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}} << Row{1 / std::sqrt(3.0)};
        QTest::newRow("collinear points span no plane")
            << 105 << Rows{{0, 0, 0, 1, 1, 1, 2, 2, 2, 5, 0, 0}} << Row{qQNaN()};
    }

    void results()
    {
        QFETCH(int, id);
        QFETCH(Rows, input);
        QFETCH(Row, expected);
        const MethodRecord &r = MethodCatalog[id];
        const cv::Mat out = runMethod(id, input);
        QCOMPARE(out.rows, int(input.size()));
        for (int i = 0; i < out.rows; ++i) {
            // The inputs come first, exactly as given.
            for (int j = 0; j < r.inputCount; ++j)
                QCOMPARE(out.at<double>(i, j), input[i][j]);
            const double actual = out.at<double>(i, out.cols - 1);
            QVERIFY2(nearlyEqual(actual, expected[i], 1e-12), mismatch(actual, expected[i]));
        }
    }

    void zeroRowsKeepTheFullWidth_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<int>("width");
        QTest::newRow("WHR has no matrix column for its verdicts") << 3 << 3;
        QTest::newRow("KEI") << 4 << 6;
        QTest::newRow("conversion") << 88 << 2;
        QTest::newRow("angle") << 99 << 7;
        QTest::newRow("centroid") << 102 << 4;
        QTest::newRow("point-plane") << 105 << 13;
    }

    void zeroRowsKeepTheFullWidth()
    {
        QFETCH(int, id);
        QFETCH(int, width);
        const cv::Mat out = runMethod(id, {});
        QCOMPARE(out.rows, 0);
        QCOMPARE(out.cols, width);
    }

    void sameSourceColumnInBothInputs()
    {
        // Weight and height mapped to one column: x / (x * x).
        const cv::Mat out = runMethod(2, Rows{{2, 2}});
        QCOMPARE(out.at<double>(0, 2), 0.5);
    }
};

QTEST_APPLESS_MAIN(TestMethods)
#include "tst_methods.moc"
