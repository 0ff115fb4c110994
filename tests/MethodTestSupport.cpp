#include "MethodTestSupport.h"

#include "MethodCatalog.h"

#include <cmath>

cv::Mat matrixOf(const Rows &rows)
{
    const int width = rows.isEmpty() ? 0 : int(rows.first().size());
    cv::Mat m(int(rows.size()), width, CV_64F, cv::Scalar(0.0));
    for (int i = 0; i < m.rows; ++i)
        for (int j = 0; j < width; ++j)
            m.at<double>(i, j) = rows[i][j];
    return m;
}

cv::Mat runMethod(int id, const Rows &rows)
{
    if (MethodCatalog.empty())
        buildMethodCatalog();
    const MethodRecord &r = MethodCatalog[id];
    cv::Mat input = matrixOf(rows);
    if (rows.isEmpty())
        input = cv::Mat(0, r.inputCount, CV_64F);
    return computeResult(r, input);
}

bool nearlyEqual(double actual, double expected, double relativeTolerance)
{
    if (std::isnan(expected))
        return std::isnan(actual);
    if (std::isinf(expected))
        return actual == expected;
    return std::fabs(actual - expected) <= relativeTolerance * std::max(1.0, std::fabs(expected));
}

QByteArray mismatch(double actual, double expected)
{
    return QByteArray("actual ") + QByteArray::number(actual, 'g', 17) + " expected "
           + QByteArray::number(expected, 'g', 17);
}
