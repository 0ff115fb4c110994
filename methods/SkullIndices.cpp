#include "SkullIndices.h"

#include "MatrixRules.h"

// A zero divisor gives 0 in that row, as the tables expect; the named classes
// of the skull indices are read off the result when the table shows it.

cv::Mat ratioIndex(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 3);
    // 100 x0 first, then one division: a ratio that is exactly a class bound
    // (29 / 50 for the nasal index 58) comes out exactly, not a hair below it.
    cv::Mat index = quotient(100.0 * input.col(0), input.col(1));
    writeColumn(out, 2, index);
    return out;
}

cv::Mat meanModule(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 4);
    cv::Mat module = ((input.col(0) + input.col(1)) + input.col(2)) / 3.0;
    writeColumn(out, 3, module);
    return out;
}

namespace {

// Length x (breadth x height), the product both capacity formulas start from.
cv::Mat skullProduct(const cv::Mat &input)
{
    return input.col(0).mul(input.col(1).mul(input.col(2)));
}

cv::Mat manouvrier(const cv::Mat &input, double divisor)
{
    cv::Mat out = resultMatrix(input, 4);
    cv::Mat capacity = skullProduct(input) / divisor;
    writeColumn(out, 3, capacity);
    return out;
}

cv::Mat leePearson(const cv::Mat &input, double factor, double constant)
{
    cv::Mat out = resultMatrix(input, 4);
    cv::Mat capacity = factor * skullProduct(input) + constantColumn(input, constant);
    writeColumn(out, 3, capacity);
    return out;
}

} // namespace

cv::Mat manouvrierMen(const cv::Mat &input)
{
    return manouvrier(input, 2.28);
}

cv::Mat manouvrierWomen(const cv::Mat &input)
{
    return manouvrier(input, 2.16);
}

cv::Mat leePearsonMen(const cv::Mat &input)
{
    return leePearson(input, 0.000266, 524.6);
}

cv::Mat leePearsonWomen(const cv::Mat &input)
{
    return leePearson(input, 0.000156, 812.0);
}

cv::Mat robusticityIndex(const cv::Mat &input)
{
    // No factor of 100: diameters 27 and 26 over a length of 430 give 0.123.
    cv::Mat out = resultMatrix(input, 4);
    writeColumn(out, 3, quotient(input.col(0) + input.col(1), input.col(2)));
    return out;
}

cv::Mat intermembralIndex(const cv::Mat &input)
{
    // The upper limb's two lengths over the lower limb's; a zero sum gives 0.
    cv::Mat out = resultMatrix(input, 5);
    cv::Mat upper = input.col(0) + input.col(1);
    cv::Mat lower = input.col(2) + input.col(3);
    cv::Mat index = quotient(upper, lower) * 100.0;
    writeColumn(out, 4, index);
    return out;
}
