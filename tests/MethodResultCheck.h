#pragma once
// Row checks shared by the method family tests.

#include "MethodTestSupport.h"

#include <cmath>
#include <cstring>

// Runs method id on one row. The result must be the input copied exactly (bit
// for bit, NaN included) followed by the expected result columns; returns the
// first difference, or an empty text.
inline QByteArray resultDifference(int id, const Row &input, const Row &expected)
{
    const cv::Mat out = runMethod(id, {input});
    const int n = int(input.size());
    const int width = n + int(expected.size());
    if (out.rows != 1 || out.cols != width)
        return "result is " + QByteArray::number(out.rows) + " x " + QByteArray::number(out.cols)
               + ", expected 1 x " + QByteArray::number(width);
    for (int j = 0; j < n; ++j) {
        const double copied = out.at<double>(0, j);
        if (std::memcmp(&copied, &input[j], sizeof copied) != 0)
            return "input column " + QByteArray::number(j) + " not copied: "
                   + mismatch(copied, input[j]);
    }
    for (int k = 0; k < expected.size(); ++k) {
        if (!nearlyEqual(out.at<double>(0, n + k), expected[k]))
            return "column " + QByteArray::number(n + k) + ": "
                   + mismatch(out.at<double>(0, n + k), expected[k]);
    }
    return {};
}

// No rows in, no rows out, but the full width.
inline QByteArray zeroRowDifference(int id, int width)
{
    const cv::Mat out = runMethod(id, {});
    if (out.rows == 0 && out.cols == width)
        return {};
    return "result is " + QByteArray::number(out.rows) + " x " + QByteArray::number(out.cols);
}
