#pragma once
// Shared by the method tests: run a catalog method on rows of numbers and
// compare with published or hand-worked values.

#include <QList>
#include <QMetaType>

#include <opencv2/core.hpp>

using Row = QList<double>;
using Rows = QList<Row>;

// A matrix of the given rows (all of one width).
cv::Mat matrixOf(const Rows &rows);

// Runs the catalog routine of id on the rows (through computeResult, as every
// caller does), after building the catalog once.
cv::Mat runMethod(int id, const Rows &rows);

// Relative comparison, with an absolute floor for values near 0; two NaNs match.
bool nearlyEqual(double actual, double expected, double relativeTolerance = 1e-9);

// QVERIFY2-friendly message.
QByteArray mismatch(double actual, double expected);

Q_DECLARE_METATYPE(Row)
Q_DECLARE_METATYPE(Rows)
