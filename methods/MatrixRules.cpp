#include "MatrixRules.h"

#include <algorithm>
#include <limits>

#include <cmath>

namespace {

// Applies f to each element pair of two equally sized matrices (views with any
// step are fine) into a fresh continuous matrix.
template <typename F>
cv::Mat elementWise(const cv::Mat &a, const cv::Mat &b, F f)
{
    CV_Assert(a.type() == CV_64F && b.type() == CV_64F && a.size == b.size);
    cv::Mat out(a.rows, a.cols, CV_64F);
    for (int i = 0; i < a.rows; ++i) {
        const double *pa = a.ptr<double>(i);
        const double *pb = b.ptr<double>(i);
        double *po = out.ptr<double>(i);
        for (int j = 0; j < a.cols; ++j)
            po[j] = f(pa[j], pb[j]);
    }
    return out;
}

template <typename F>
cv::Mat elementWise(const cv::Mat &a, F f)
{
    CV_Assert(a.type() == CV_64F);
    cv::Mat out(a.rows, a.cols, CV_64F);
    for (int i = 0; i < a.rows; ++i) {
        const double *pa = a.ptr<double>(i);
        double *po = out.ptr<double>(i);
        for (int j = 0; j < a.cols; ++j)
            po[j] = f(pa[j]);
    }
    return out;
}

} // namespace

cv::Mat selectColumns(const cv::Mat &m, const std::vector<int> &s, int n)
{
    cv::Mat out(m.rows, n, CV_64F, cv::Scalar(0.0));
    for (int j = 0; j < n && j < int(s.size()); ++j) {
        if (s[j] >= 0 && s[j] < m.cols)
            writeColumn(out, j, m.col(s[j]));
    }
    return out;
}

cv::Mat passThrough(const cv::Mat &input)
{
    return input;
}

cv::Mat resultMatrix(const cv::Mat &input, int width)
{
    cv::Mat out(input.rows, width, CV_64F, cv::Scalar(0.0));
    // OpenCV cannot copy an empty matrix into a view: no rows, or no inputs
    // (a user function of the constant member alone).
    if (input.rows > 0 && input.cols > 0)
        input.copyTo(out.colRange(0, input.cols));
    return out;
}

void writeColumn(cv::Mat &result, int column, const cv::Mat &values)
{
    if (result.rows > 0)
        values.copyTo(result.col(column));
}

cv::Mat quotient(const cv::Mat &a, const cv::Mat &b)
{
    return elementWise(a, b, [](double x, double y) { return y == 0.0 ? 0.0 : x / y; });
}

cv::Mat quotient(double s, const cv::Mat &b)
{
    return elementWise(b, [s](double y) { return y == 0.0 ? 0.0 : s / y; });
}

cv::Mat power(const cv::Mat &a, double exponent)
{
    if (std::nearbyint(exponent) == exponent) {
        cv::Mat out;
        cv::pow(a, exponent, out);
        return out;
    }
    return elementWise(a, [exponent](double x) {
        return x == 0.0 ? 0.0 : std::pow(std::fabs(x), exponent);
    });
}

cv::Mat naturalLog(const cv::Mat &a)
{
    cv::Mat out;
    cv::log(a, out);
    return out;
}

cv::Mat decimalLog(const cv::Mat &a)
{
    static const double ln10 = naturalLog(cv::Mat(1, 1, CV_64F, cv::Scalar(10.0))).at<double>(0, 0);
    return naturalLog(a) / ln10;
}

cv::Mat constantColumn(const cv::Mat &like, double value)
{
    return cv::Mat(like.rows, 1, CV_64F, cv::Scalar(value));
}

std::vector<int> incompleteRows(const cv::Mat &input)
{
    std::vector<int> rows;
    for (int r = 0; r < input.rows; ++r) {
        const double *row = input.ptr<double>(r);
        bool missing = false;
        for (int c = 0; c < input.cols; ++c)
            missing |= std::isnan(row[c]);
        if (missing)
            rows.push_back(r);
    }
    return rows;
}

cv::Mat completeRowsOf(const cv::Mat &input, const std::vector<int> &incomplete)
{
    cv::Mat complete(input.rows - int(incomplete.size()), input.cols, CV_64F);
    size_t next = 0;
    int k = 0;
    for (int r = 0; r < input.rows; ++r) {
        if (next < incomplete.size() && incomplete[next] == r) {
            ++next;
            continue;
        }
        std::copy_n(input.ptr<double>(r), input.cols, complete.ptr<double>(k++));
    }
    return complete;
}

cv::Mat withIncompleteRows(const cv::Mat &input, const cv::Mat &completeResult, const std::vector<int> &incomplete)
{
    const int expected = input.rows - int(incomplete.size());
    if (completeResult.rows != expected || completeResult.type() != CV_64F)
        return completeResult;
    const int width = completeResult.cols;
    cv::Mat result(input.rows, width, CV_64F, cv::Scalar(std::numeric_limits<double>::quiet_NaN()));
    size_t next = 0;
    int k = 0;
    for (int r = 0; r < input.rows; ++r) {
        double *out = result.ptr<double>(r);
        if (next < incomplete.size() && incomplete[next] == r) {
            ++next;
            std::copy_n(input.ptr<double>(r), std::min(input.cols, width), out);
        } else {
            std::copy_n(completeResult.ptr<double>(k++), completeResult.cols, out);
        }
    }
    return result;
}
