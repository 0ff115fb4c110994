#include "CustomFunctions.h"

#include "MatrixRules.h"

#include <cmath>

std::vector<CustomFunctionRecord> customFunctions;

namespace {

// y starts as a0; term(k, column) gives the term of ak, k = 1 … n.
template <typename Term>
cv::Mat evaluate(const cv::Mat &input, const double *coefficients, Term term)
{
    const int n = input.cols;
    cv::Mat result = resultMatrix(input, n + 1);
    cv::Mat y = constantColumn(input, 1.0) * coefficients[0];
    for (int k = 1; k <= n; ++k)
        y += coefficients[k] * term(k, input.col(k - 1));
    writeColumn(result, n, y);
    return result;
}

} // namespace

CustomFunctionRecord makeCustomFunction(CustomFunctionForm form, const std::vector<double> &coefficients)
{
    CustomFunctionRecord record;
    const bool polynomial = form == CustomFunctionForm::Polynomial;
    record.title = polynomial ? QStringLiteral("Vlastni fce") : QStringLiteral("Exponencialni fce");
    record.kind = Custom;
    record.coefficients = coefficients.empty() ? std::vector<double>{0.0} : coefficients;
    record.inputCount = qint32(record.coefficients.size()) - 1;
    for (int k = 1; k <= record.inputCount; ++k)
        record.columns.append(QStringLiteral("%1. koeficient").arg(k));
    record.columns.append(QStringLiteral("Výsledek"));
    record.evaluate = polynomial ? evaluateCustomFunction : evaluateExponentialFunction;
    return record;
}

qint32 addCustomFunction(const CustomFunctionRecord &record)
{
    customFunctions.push_back(record);
    const qint32 id = FirstCustomFunctionId + qint32(customFunctions.size()) - 1;
    customFunctions.back().id = id;
    return id;
}

const CustomFunctionRecord *customFunction(qint32 id)
{
    const qint64 position = qint64(id) - FirstCustomFunctionId;
    if (position < 0 || position >= qint64(customFunctions.size()))
        return nullptr;
    return &customFunctions[size_t(position)];
}

cv::Mat evaluateCustomFunction(const cv::Mat &input, const double *coefficients)
{
    // Whole-number exponents: a negative base keeps its sign for odd powers.
    return evaluate(input, coefficients, [](int k, const cv::Mat &x) { return power(x, k); });
}

cv::Mat evaluateExponentialFunction(const cv::Mat &input, const double *coefficients)
{
    return evaluate(input, coefficients, [](int k, const cv::Mat &x) {
        cv::Mat out(x.rows, 1, CV_64F);
        for (int i = 0; i < x.rows; ++i)
            out.at<double>(i, 0) = std::exp(k * x.at<double>(i, 0));
        return out;
    });
}

cv::Mat computeCustomResult(const CustomFunctionRecord &record, const cv::Mat &input)
{
    const int n = input.cols;
    if (input.rows == 0 || !record.evaluate)
        return cv::Mat(input.rows, n + 1, CV_64F, cv::Scalar(0.0));
    std::vector<double> coefficients = record.coefficients;
    coefficients.resize(size_t(n) + 1, 0.0);
    return computeCompleteRows(input, [&](const cv::Mat &rows) {
        if (rows.rows == 0)
            return cv::Mat(0, n + 1, CV_64F);
        return record.evaluate(rows, coefficients.data());
    });
}
