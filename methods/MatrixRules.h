#pragma once
// The arithmetic every compute routine shares. OpenCV 4 gives inf or nan for a
// zero divisor and NaN or a tiny non-zero value for non-integer powers of a
// negative number or of 0; the tables need 0, the power of the absolute value
// and exactly 0. Routines never use OpenCV's own matrix division or cv::pow.

#include <opencv2/core.hpp>

#include <vector>

// The input matrix of a method: column j is column s[j] of m. A column may be
// chosen more than once; an index outside m gives a column of 0.0.
cv::Mat selectColumns(const cv::Mat &m, const std::vector<int> &s, int n);

// A compute routine that returns its input unchanged.
cv::Mat passThrough(const cv::Mat &input);

// Step 1 and 2 of every routine: rows x width filled with 0.0, the input copied
// into the leading columns.
cv::Mat resultMatrix(const cv::Mat &input, int width);

// Copies a computed column into column `column` of the result. Use it rather
// than copyTo into a column view: OpenCV cannot copy an empty matrix (a table
// with no checked rows) into a view.
void writeColumn(cv::Mat &result, int column, const cv::Mat &values);

// Element-wise a / b; 0 in every row where b is 0.
cv::Mat quotient(const cv::Mat &a, const cv::Mat &b);
// Element-wise s / b; 0 in every row where b is 0.
cv::Mat quotient(double s, const cv::Mat &b);

// Element-wise power. An integer exponent is the ordinary power; any other
// exponent acts on the absolute value, and a base of 0 gives exactly 0.
cv::Mat power(const cv::Mat &a, double exponent);

// Natural logarithm of the absolute value; 0 gives OpenCV's large negative
// finite value (about -709.09), not minus infinity.
cv::Mat naturalLog(const cv::Mat &a);
// Decimal logarithm: the natural logarithm divided by that of 10.
cv::Mat decimalLog(const cv::Mat &a);

// A rows x 1 column filled with value, for constant terms.
cv::Mat constantColumn(const cv::Mat &like, double value);

// A missing value is NaN. A row with a missing input gets missing outputs:
// routine runs on the complete rows only (so neither a row of its own nor,
// for a routine over the whole table, the other rows see a value standing in
// for the missing one), and each incomplete row comes back as its inputs
// followed by NaN. A routine that does not give one row per input row gets
// the complete rows alone.
template <typename Routine>
cv::Mat computeCompleteRows(const cv::Mat &input, Routine routine);

std::vector<int> incompleteRows(const cv::Mat &input);
cv::Mat completeRowsOf(const cv::Mat &input, const std::vector<int> &incomplete);
cv::Mat withIncompleteRows(const cv::Mat &input, const cv::Mat &completeResult, const std::vector<int> &incomplete);

template <typename Routine>
cv::Mat computeCompleteRows(const cv::Mat &input, Routine routine)
{
    const std::vector<int> incomplete = incompleteRows(input);
    if (incomplete.empty())
        return routine(input);
    return withIncompleteRows(input, routine(completeRowsOf(input, incomplete)), incomplete);
}
