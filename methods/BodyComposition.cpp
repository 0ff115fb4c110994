#include "BodyComposition.h"

#include "MatrixRules.h"

namespace {

// x0 + x1 + ... of the given input columns, added one at a time in order.
cv::Mat columnSum(const cv::Mat &input, int first, int count)
{
    cv::Mat sum = input.col(first).clone();
    for (int j = first + 1; j < first + count; ++j)
        sum += input.col(j);
    return sum;
}

// The percentage of fat from a body density: 100 (c5 / D - c6). A density of
// 0 makes the quotient 0, as the tables expect.
cv::Mat fatFromDensity(const cv::Mat &density, double c5, double c6)
{
    return 100.0 * (quotient(c5, density) - c6);
}

} // namespace

cv::Mat matiegkaSkeleton(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 6);
    cv::Mat q = columnSum(input, 0, 4) / 4.0;
    cv::Mat skeleton = q.mul(q).mul(input.col(4)) * 1.2;
    writeColumn(out, 5, skeleton);
    return out;
}

cv::Mat matiegkaSkin(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 8);
    cv::Mat half;
    columnSum(input, 0, 6).convertTo(half, CV_64F, 0.5);
    cv::Mat skin = half.mul(input.col(6)) * 0.13;
    writeColumn(out, 7, skin);
    return out;
}

cv::Mat matiegkaMuscle(const cv::Mat &input)
{
    // Each girth over pi is the limb's diameter; the arm loses half of each of
    // its two skinfolds, the forearm, thigh and calf their one skinfold whole.
    const double k = 0.3183098861837907;
    cv::Mat out = resultMatrix(input, 11);
    cv::Mat arm = (k * input.col(0) - 0.5 * input.col(1)) - 0.5 * input.col(2);
    cv::Mat forearm = k * input.col(3) - input.col(4);
    cv::Mat thigh = k * input.col(5) - input.col(6);
    cv::Mat calf = k * input.col(7) - input.col(8);
    cv::Mat r = 0.25 * (arm + forearm + thigh + calf);
    cv::Mat muscle = 6.5 * r.mul(r.mul(input.col(9)));
    writeColumn(out, 10, muscle);
    return out;
}

namespace {

// Jackson-Pollock for adults: the density from the sum of three skinfolds,
// D = c1 - c2 S + c3 S^2 - c4. The method has no age input, so c4 is the same
// for every row.
cv::Mat jacksonPollockAdult(const cv::Mat &input, double c1, double c2, double c3, double c4,
                            double c5, double c6)
{
    cv::Mat out = resultMatrix(input, 4);
    cv::Mat s = columnSum(input, 0, 3);
    cv::Mat density = constantColumn(input, c1) - c2 * s + c3 * s.mul(s)
                      - constantColumn(input, c4);
    writeColumn(out, 3, fatFromDensity(density, c5, c6));
    return out;
}

// The first variants for children: a straight line in the sum of two skinfolds.
cv::Mat jacksonPollockLine(const cv::Mat &input, double slope, double constant)
{
    cv::Mat out = resultMatrix(input, 3);
    cv::Mat fat = slope * columnSum(input, 0, 2) + constantColumn(input, constant);
    writeColumn(out, 2, fat);
    return out;
}

} // namespace

cv::Mat jacksonPollockWomen(const cv::Mat &input)
{
    return jacksonPollockAdult(input, 1.0994921, 0.0009929, 0.0000023, 0.0001392, 5.01, 4.57);
}

cv::Mat jacksonPollockMen(const cv::Mat &input)
{
    return jacksonPollockAdult(input, 1.10938, 0.0008267, 0.0000016, 0.0002574, 4.95, 4.5);
}

cv::Mat jacksonPollockGirls1(const cv::Mat &input)
{
    return jacksonPollockLine(input, 0.61, 5.1);
}

cv::Mat jacksonPollockBoys1(const cv::Mat &input)
{
    return jacksonPollockLine(input, 0.735, 1.0);
}

// The second variants switch formula at a skinfold sum of 35: the sum 35 itself
// takes the line, a sum that is not a number the curve.
cv::Mat jacksonPollockGirls2(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 3);
    cv::Mat sums = columnSum(input, 0, 2);
    for (int i = 0; i < out.rows; ++i) {
        const double s = sums.at<double>(i, 0);
        out.at<double>(i, 2) = s >= 35.0 ? 0.546 * s + 9.7 : 1.33 * s - 0.013 * s * s - 2.5;
    }
    return out;
}

cv::Mat jacksonPollockBoys2(const cv::Mat &input)
{
    // Below 35 the constant term is the row's maturity constant (x2).
    cv::Mat out = resultMatrix(input, 4);
    cv::Mat sums = columnSum(input, 0, 2);
    for (int i = 0; i < out.rows; ++i) {
        const double s = sums.at<double>(i, 0);
        const double maturity = input.at<double>(i, 2);
        out.at<double>(i, 3) = s >= 35.0 ? 0.785 * s + 1.6 : 1.21 * s - 0.008 * s * s + maturity;
    }
    return out;
}

namespace {

struct DensityConstants {
    double a;
    double b;
};

constexpr DensityConstants densityConstants(int id)
{
    switch (id) {
    case 16: return {1.18, 0.069};  // boys 9 - 12
    case 17: return {1.205, 0.078}; // boys 13 - 16
    case 19: return {1.16, 0.061};  // girls 9 - 12
    case 20: return {1.205, 0.078}; // girls 13 - 16, the same pair as the boys
    default: return {0.0, 0.0};
    }
}

struct AdultConstants {
    double e;
    double f;
};

constexpr AdultConstants adultConstants(int id)
{
    return id == 18 ? AdultConstants{28.96, 41.27}    // boys 17 - 45
                    : AdultConstants{35.572, 61.25};  // girls 17 - 45
}

// The sum of all ten skinfolds, starting from a column of 0.0.
cv::Mat tenSkinfolds(const cv::Mat &input)
{
    cv::Mat sum(input.rows, 1, CV_64F, cv::Scalar(0.0));
    for (int j = 0; j < 10; ++j)
        sum += input.col(j);
    return sum;
}

} // namespace

// A sum of 0 under the logarithm gives a huge negative logarithm and so an
// extreme but finite percentage; a density of 0 gives 100 (0 - 3.813).
template <int Id>
cv::Mat parizkovaDensity(const cv::Mat &input)
{
    static_assert(Id == 16 || Id == 17 || Id == 19 || Id == 20, "not a density method");
    constexpr DensityConstants c = densityConstants(Id);
    cv::Mat out = resultMatrix(input, 11);
    cv::Mat density = constantColumn(input, c.a) - c.b * decimalLog(tenSkinfolds(input));
    writeColumn(out, 10, fatFromDensity(density, 4.201, 3.813));
    return out;
}

template <int Id>
cv::Mat parizkovaAdult(const cv::Mat &input)
{
    static_assert(Id == 18 || Id == 21, "not an adult method");
    constexpr AdultConstants c = adultConstants(Id);
    cv::Mat out = resultMatrix(input, 11);
    cv::Mat ln10 = naturalLog(constantColumn(input, 10.0));
    cv::Mat fat = quotient(c.e * naturalLog(tenSkinfolds(input)), ln10)
                  - constantColumn(input, c.f);
    writeColumn(out, 10, fat);
    return out;
}

template cv::Mat parizkovaDensity<16>(const cv::Mat &);
template cv::Mat parizkovaDensity<17>(const cv::Mat &);
template cv::Mat parizkovaDensity<19>(const cv::Mat &);
template cv::Mat parizkovaDensity<20>(const cv::Mat &);
template cv::Mat parizkovaAdult<18>(const cv::Mat &);
template cv::Mat parizkovaAdult<21>(const cv::Mat &);

cv::Mat durninWomersley(const cv::Mat &input)
{
    // Already a percentage: 495 / D - 450 with no factor of 100.
    cv::Mat out = resultMatrix(input, 6);
    cv::Mat density = (constantColumn(input, 1.1714) - 0.063 * decimalLog(columnSum(input, 0, 4)))
                      - 0.000406 * input.col(4);
    cv::Mat fat = quotient(495.0, density) - constantColumn(input, 450.0);
    writeColumn(out, 5, fat);
    return out;
}
