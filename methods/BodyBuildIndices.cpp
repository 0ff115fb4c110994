#include "BodyBuildIndices.h"

#include "MatrixRules.h"

cv::Mat queteletBouchardIndex(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 3);
    // The weight is multiplied by 10, not converted to grams.
    writeColumn(out, 2, quotient(input.col(0) * 10.0, input.col(1)));
    return out;
}

cv::Mat rohrerIndex(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 3);
    const cv::Mat h = input.col(1);
    cv::Mat cube = h.mul(h.mul(h));
    writeColumn(out, 2, quotient(input.col(0) * 100000.0, cube));
    return out;
}

cv::Mat bodyMassIndex(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 3);
    const cv::Mat h = input.col(1);
    writeColumn(out, 2, quotient(input.col(0), h.mul(h)));
    return out;
}

cv::Mat waistHipRatio(const cv::Mat &input)
{
    // The risk verdicts for men and women are read off column 2 when shown.
    cv::Mat out = resultMatrix(input, 3);
    writeColumn(out, 2, quotient(input.col(0), input.col(1)));
    return out;
}

namespace {

// (x1 + x2) * (2 x3 - rohrerFactor x0 + constant) / (heightFactor x4)
cv::Mat proportionalityIndex(const cv::Mat &input, double rohrerFactor, double constant,
                             double heightFactor)
{
    cv::Mat out = resultMatrix(input, 6);
    cv::Mat widths = input.col(1) + input.col(2);
    cv::Mat bracket = 2.0 * input.col(3) - rohrerFactor * input.col(0)
                      + constantColumn(input, constant);
    writeColumn(out, 5, quotient(widths.mul(bracket), heightFactor * input.col(4)));
    return out;
}

} // namespace

cv::Mat keiBoys(const cv::Mat &input)
{
    return proportionalityIndex(input, 16.0, 18.1, 10.0);
}

cv::Mat keiGirls(const cv::Mat &input)
{
    return proportionalityIndex(input, 15.0, 18.6, 20.0);
}

cv::Mat bodySurface(const cv::Mat &input)
{
    // 71.48, not the more often quoted 71.84: the tables were made with it.
    cv::Mat out = resultMatrix(input, 3);
    cv::Mat surface = power(input.col(0), 0.425).mul(power(input.col(1), 0.725)) * 71.48;
    writeColumn(out, 2, surface);
    return out;
}
