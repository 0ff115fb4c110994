#pragma once
// Functions the user defines while the program runs: a polynomial or an
// exponential form with coefficients a0 ... an. They live in a list of their
// own beside the catalog; the function at position p has the id
// FirstCustomFunctionId + p, well above every catalog slot. The list only
// grows and is not kept in project files.

#include "MethodCatalog.h"

#include <opencv2/core.hpp>

#include <vector>

// Takes the input matrix (n columns) and the coefficients a0 ... an, and
// returns the inputs followed by the function's value.
using CustomEvaluateFn = cv::Mat (*)(const cv::Mat &input, const double *coefficients);

struct CustomFunctionRecord : MethodRecord {
    std::vector<double> coefficients; // a0 first: the constant member
    CustomEvaluateFn evaluate = nullptr;
};

enum class CustomFunctionForm {
    Polynomial,  // y = a0 + a1·x1 + a2·x2² + … + an·xnⁿ
    Exponential, // y = a0 + a1·e^x1 + a2·e^(2·x2) + … + an·e^(n·xn)
};

constexpr qint32 FirstCustomFunctionId = 1000;
static_assert(FirstCustomFunctionId >= MethodCatalogSize, "user functions take ids above the catalog");

extern std::vector<CustomFunctionRecord> customFunctions;

// A record of the form with the coefficients as entered: its title, its
// columns "1. koeficient" … "n. koeficient", "Výsledek", and its evaluator.
CustomFunctionRecord makeCustomFunction(CustomFunctionForm form, const std::vector<double> &coefficients);

// Appends the record and returns its id.
qint32 addCustomFunction(const CustomFunctionRecord &record);

// The function of the id; nullptr when the list has none of that id.
const CustomFunctionRecord *customFunction(qint32 id);

// The two evaluators. Input column k - 1 feeds the term of ak.
cv::Mat evaluateCustomFunction(const cv::Mat &input, const double *coefficients);
cv::Mat evaluateExponentialFunction(const cv::Mat &input, const double *coefficients);

// Runs the record's evaluator on the input matrix, as computeResult runs a
// catalog routine: a matrix with no rows gives no rows and the full width,
// and the evaluator never reads past the record's coefficients (missing ones
// count as 0).
cv::Mat computeCustomResult(const CustomFunctionRecord &record, const cv::Mat &input);
