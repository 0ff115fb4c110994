#include "DeterminationMethods.h"

#include "MatrixRules.h"

#include <array>

namespace {

// constant + c0 x0 + c1 x1 + ... for all rows, the terms added in input order.
template <std::size_t N>
cv::Mat linearScore(const cv::Mat &input, double constant, const std::array<double, N> &c)
{
    cv::Mat score = constantColumn(input, constant);
    for (std::size_t j = 0; j < N; ++j)
        score += c[j] * input.col(int(j));
    return score;
}

// c0 x0 + c1 x1 + ..., the terms added in input order.
template <std::size_t N>
cv::Mat weightedSum(const cv::Mat &input, const std::array<double, N> &c)
{
    cv::Mat sum = c[0] * input.col(0);
    for (std::size_t j = 1; j < N; ++j)
        sum += c[j] * input.col(int(j));
    return sum;
}

// "Druh": the number (1 to 4) of the largest of the four scores in columns
// first to first + 3. One pass that replaces the best only when it is strictly
// less than the candidate, so a tie keeps the lower number and a comparison
// with a value that is not a number never replaces.
void chooseKind(cv::Mat &out, int first)
{
    for (int i = 0; i < out.rows; ++i) {
        double best = out.at<double>(i, first);
        int kind = 1;
        for (int k = 1; k < 4; ++k) {
            const double candidate = out.at<double>(i, first + k);
            if (best < candidate) {
                best = candidate;
                kind = k + 1;
            }
        }
        out.at<double>(i, first + 4) = kind;
    }
}

// The sum of the first count input columns, in order.
cv::Mat scoreSum(const cv::Mat &input, int count)
{
    cv::Mat sum = input.col(0).clone();
    for (int j = 1; j < count; ++j)
        sum += input.col(j);
    return sum;
}

} // namespace

cv::Mat histometricVariantA(const cv::Mat &input)
{
    // Rows: the constant term, then x0 to x6; columns: S1 to S4.
    static const double coefficients[8][4] = {
        {-103.502, -87.7787, -72.407, -50.421},
        {1.27, 0.8684, 0.7065, 0.6333},
        {0.232, 0.2781, 0.3196, 0.2025},
        {-0.001, -0.001, -0.001, -0.0008},
        {-0.048, -0.0417, -0.035, -0.0324},
        {0.483, -0.0227, -0.1542, 0.1187},
        {0.261, 0.2691, 0.2481, 0.2058},
        {0.827, 0.8764, 0.7621, 0.6378},
    };
    cv::Mat out = resultMatrix(input, 12);
    for (int s = 0; s < 4; ++s) {
        std::array<double, 7> c;
        for (int j = 0; j < 7; ++j)
            c[j] = coefficients[j + 1][s];
        writeColumn(out, 7 + s, linearScore(input, coefficients[0][s], c));
    }
    chooseKind(out, 7);
    return out;
}

cv::Mat histometricVariantB(const cv::Mat &input)
{
    // One function per row: the constant term, then x0 to x2.
    static const double coefficients[4][4] = {
        {-107.178, 1.931, 6.014, -0.078},
        {-91.442, 2.498, 5.45, -0.072},
        {-63.284, 2.098, 4.523, -0.06},
        {-91.645, 4.001, 4.674, -0.061},
    };
    cv::Mat out = resultMatrix(input, 8);
    for (int s = 0; s < 4; ++s) {
        const double *f = coefficients[s];
        writeColumn(out, 3 + s, linearScore<3>(input, f[0], {f[1], f[2], f[3]}));
    }
    chooseKind(out, 3);
    return out;
}

cv::Mat histometricVariantC(const cv::Mat &input)
{
    // The sign of D tells the origin.
    cv::Mat out = resultMatrix(input, 6);
    writeColumn(out, 5,
                linearScore<5>(input, -6.218167,
                               {0.155732, -0.002607, 0.152404, -0.019254, 0.000022}));
    return out;
}

cv::Mat gilesElliotSkull(const cv::Mat &input)
{
    // Column 9 ("Pohlaví") stays 0.0: the table shows the sex there from D.
    const double sectioningPoint = 891.12;
    using Function = std::array<double, 8>;
    static const Function maleN = {3.06, 1.6, -1.9, -1.79, -4.41, -0.1, 2.59, 10.56};
    static const Function maleIn = {0.1, -0.25, -1.56, 0.73, -0.29, 1.75, -0.16, -0.84};
    static const Function femaleN = {1.74, 1.28, -1.18, 0.14, -2.34, 0.38, -0.01, 2.45};
    static const Function femaleIn = {3.05, -1.04, -5.41, 4.29, -4.02, 5.62, -1.0, -2.19};

    cv::Mat out = resultMatrix(input, 12);
    cv::Mat d = -input.col(0) + 1.16 * input.col(1) + 1.66 * input.col(4) + 3.98 * input.col(5)
                + 1.54 * input.col(6);
    writeColumn(out, 8, d);

    // The population functions of the row's sex; a D that is not a number
    // takes the female set.
    for (int i = 0; i < out.rows; ++i) {
        const bool male = out.at<double>(i, 8) >= sectioningPoint;
        const Function &n = male ? maleN : femaleN;
        const Function &in = male ? maleIn : femaleIn;
        double wn = 0.0;
        double win = 0.0;
        for (int j = 0; j < 8; ++j) {
            const double x = input.at<double>(i, j);
            wn += n[j] * x;
            win += in[j] * x;
        }
        out.at<double>(i, 10) = wn;
        out.at<double>(i, 11) = win;
    }
    return out;
}

cv::Mat kajanojaVariantA(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 9);
    writeColumn(out, 8,
                weightedSum<8>(input, {1.49, 8.42, 4.304, 0.2173, 0.1255, 0.4317, 0.6824, 4.839}));
    return out;
}

cv::Mat kajanojaVariantB(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 6);
    writeColumn(out, 5, weightedSum<5>(input, {9.202, 4.634, 0.3474, 0.5672, 0.5682}));
    return out;
}

cv::Mat morphoscopicSkull(const cv::Mat &input)
{
    // The table compares the absolute values of the two scores. Each constant
    // is added after the nine traits.
    cv::Mat out = resultMatrix(input, 11);
    cv::Mat men = weightedSum<9>(input, {-2.32308, -0.66695, -1.7861, -0.67799, -0.34589,
                                         -2.03353, 1.31358, 1.3431, -0.04189})
                  + constantColumn(input, -4.59787);
    cv::Mat women = weightedSum<9>(input, {0.24297, 1.01545, 0.94836, 0.2183, 0.26312, 1.08861,
                                           -0.5829, -0.2197, 0.9284})
                    + constantColumn(input, -2.13217);
    writeColumn(out, 9, men);
    writeColumn(out, 10, women);
    return out;
}

cv::Mat kilianAgeWithTransparency(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 6);
    cv::Mat age = (scoreSum(input, 5) * 100.0 / 15.0 + 2.27) / 1.12;
    writeColumn(out, 5, age);
    return out;
}

cv::Mat kilianAgeWithoutTransparency(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 5);
    cv::Mat age = (scoreSum(input, 4) * 100.0 / 12.0 + 3.42) / 1.16;
    writeColumn(out, 4, age);
    return out;
}
