#include "MatrixRules.h"

#include <QtTest>

#include <cmath>

// The element-wise rules every routine relies on, on exactly the cases where
// OpenCV 4 itself differs: zero divisors, non-integer powers of negative
// numbers and of 0, and the logarithm of 0 and of negative numbers.
class TestMatrixRules : public QObject {
    Q_OBJECT

    static cv::Mat column(std::initializer_list<double> values)
    {
        return cv::Mat(std::vector<double>(values), true);
    }

private slots:
    void quotientOfMatricesGivesZeroForZeroDivisor()
    {
        cv::Mat q = quotient(column({6.0, 1.0, 0.0, -3.0}), column({3.0, 0.0, 0.0, 2.0}));
        QCOMPARE(q.at<double>(0), 2.0);
        QCOMPARE(q.at<double>(1), 0.0);
        QCOMPARE(q.at<double>(2), 0.0); // 0/0 as well
        QCOMPARE(q.at<double>(3), -1.5);
    }

    void quotientOfNumberByMatrixGivesZeroForZeroDivisor()
    {
        cv::Mat q = quotient(10.0, column({4.0, 0.0, -0.0}));
        QCOMPARE(q.at<double>(0), 2.5);
        QCOMPARE(q.at<double>(1), 0.0);
        QCOMPARE(q.at<double>(2), 0.0);
    }

    void quotientWorksOnColumnViews()
    {
        cv::Mat m = (cv::Mat_<double>(2, 3) << 1, 2, 0, 3, 0, 9);
        cv::Mat q = quotient(m.col(1), m.col(2));
        QCOMPARE(q.at<double>(0), 0.0);
        QCOMPARE(q.at<double>(1), 0.0);
        q = quotient(m.col(2), m.col(0));
        QCOMPARE(q.at<double>(1), 3.0);
    }

    void nonIntegerPowerActsOnAbsoluteValue()
    {
        cv::Mat p = power(column({-8.0, 8.0, 0.0, -0.0}), 1.0 / 3.0);
        QVERIFY(std::fabs(p.at<double>(0) - 2.0) < 1e-12);
        QVERIFY(std::fabs(p.at<double>(1) - 2.0) < 1e-12);
        // Exactly 0, not OpenCV's 1e-103.
        QCOMPARE(p.at<double>(2), 0.0);
        QCOMPARE(p.at<double>(3), 0.0);
    }

    void integerPowerIsTheOrdinaryPower()
    {
        cv::Mat p = power(column({-2.0, 0.0, 3.0}), 3);
        QCOMPARE(p.at<double>(0), -8.0);
        QCOMPARE(p.at<double>(1), 0.0);
        QCOMPARE(p.at<double>(2), 27.0);
        p = power(column({-2.0}), 2);
        QCOMPARE(p.at<double>(0), 4.0);
    }

    void logarithmOfAbsoluteValueAndOfZero()
    {
        cv::Mat l = naturalLog(column({std::exp(1.0), -std::exp(2.0), 0.0}));
        QVERIFY(std::fabs(l.at<double>(0) - 1.0) < 1e-12);
        QVERIFY(std::fabs(l.at<double>(1) - 2.0) < 1e-12);
        // A large negative finite value, not minus infinity.
        QVERIFY(std::isfinite(l.at<double>(2)));
        QVERIFY(std::fabs(l.at<double>(2) + 709.09) < 0.01);

        cv::Mat d = decimalLog(column({1000.0, -0.01}));
        QVERIFY(std::fabs(d.at<double>(0) - 3.0) < 1e-12);
        QVERIFY(std::fabs(d.at<double>(1) + 2.0) < 1e-12);
    }

    void selectColumnsTakesColumnsInGivenOrder()
    {
        cv::Mat m = (cv::Mat_<double>(2, 3) << 1, 2, 3, 4, 5, 6);
        cv::Mat s = selectColumns(m, {2, 0, 2}, 3);
        QCOMPARE(s.cols, 3);
        QCOMPARE(s.at<double>(0, 0), 3.0);
        QCOMPARE(s.at<double>(0, 1), 1.0);
        QCOMPARE(s.at<double>(1, 2), 6.0);
        // The input is a copy: writing it leaves the table alone.
        s.at<double>(0, 0) = 99;
        QCOMPARE(m.at<double>(0, 2), 3.0);
    }

    void selectColumnsOutsideTheMatrixGivesZero()
    {
        cv::Mat m = (cv::Mat_<double>(1, 2) << 1, 2);
        cv::Mat s = selectColumns(m, {1, 5}, 2);
        QCOMPARE(s.at<double>(0, 0), 2.0);
        QCOMPARE(s.at<double>(0, 1), 0.0);
    }

    void resultMatrixCopiesInputAndZeroesTheRest()
    {
        cv::Mat in = (cv::Mat_<double>(2, 2) << 1, 2, 3, 4);
        cv::Mat out = resultMatrix(in, 4);
        QCOMPARE(out.cols, 4);
        QCOMPARE(out.at<double>(1, 1), 4.0);
        QCOMPARE(out.at<double>(1, 3), 0.0);
        QCOMPARE(resultMatrix(cv::Mat(0, 2, CV_64F), 5).cols, 5);
    }

    void passThroughSharesTheValues()
    {
        cv::Mat in = (cv::Mat_<double>(1, 2) << 1, 2);
        cv::Mat out = passThrough(in);
        QCOMPARE(out.data, in.data);
    }
};

QTEST_APPLESS_MAIN(TestMatrixRules)
#include "tst_matrixrules.moc"
