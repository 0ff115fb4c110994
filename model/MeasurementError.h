#pragma once
// The measurement error of a variable measured K >= 2 times on each subject
// (by K observers, or by one on K occasions), as anthropometrists report it:
// the technical error of measurement (TEM), the relative TEM, the coefficient
// of reliability R and the intraclass correlation ICC(2,1) with its 95 %
// confidence interval; for K = 2 also the mean difference and the limits of
// agreement of the Bland–Altman plot. kostimer-cli error and the window
// "Chyba měření" share it.
//
// The measurements come as K columns of equal length, row r of each column
// one subject. A row with any measurement missing (NaN) or not finite is left
// out and counted. Of n complete rows, with x_ij measurement j of subject i:
//   TEM = √(Σ_i Σ_j (x_ij − x̄_i)² / (n (K − 1))), for K = 2 √(Σ d² / 2n)
//     (Ulijaszek & Kerr 1999, Br J Nutr 82: 165–177),
//   relative TEM = 100 · TEM / x̄ (x̄ the mean of all n K values),
//   R = 1 − TEM² / s² (s the sample standard deviation of all n K values),
//   ICC(2,1) = (MSR − MSE) / (MSR + (K − 1) MSE + K (MSC − MSE) / n), the two-way
//     random-effects, absolute-agreement, single-measurement coefficient of
//     Shrout & Fleiss (1979, Psychol Bull 86: 420–428), McGraw & Wong's
//     ICC(A,1) (1996, Psychol Methods 1: 30–46), from the mean squares of
//     subjects (MSR), measurements (MSC) and error (MSE) of the two-way ANOVA;
//     its interval is McGraw & Wong's for ICC(A,1): with
//       a = K ρ / (n (1 − ρ)), b = 1 + K ρ (n − 1) / (n (1 − ρ)),
//       v = (a MSC + b MSE)² / ((a MSC)² / (K − 1) + (b MSE)² / ((n − 1)(K − 1))),
//     lower = n (MSR − F₁ MSE) / (F₁ (K MSC + (K n − K − n) MSE) + n MSR),
//       F₁ the 97.5 % quantile of F(n − 1, v),
//     upper = n (F₂ MSR − MSE) / (K MSC + (K n − K − n) MSE + n F₂ MSR),
//       F₂ the 97.5 % quantile of F(v, n − 1);
//   Bland–Altman (Bland & Altman 1986, Lancet i: 307–310): d = x_i2 − x_i1,
//     limits of agreement d̄ ± 1.96 s_d.
// A figure that does not exist is NaN: everything but n of fewer than two
// complete rows; R and the ICC of values that do not vary (s = 0); the
// relative TEM of a mean of 0.
//
// The sums are taken of deviations (from each subject's mean, from the
// measurements' means), never as Σ x² − (Σ x)² / K, which loses every digit
// of a small error on large values; and the values are scaled by a power of
// two first, which is exact, so that no square or sum of finite values
// overflows.

#include "NumberFormat.h"

#include <QString>
#include <QStringList>

#include <limits>
#include <vector>

struct MeasurementError {
    static constexpr double none = std::numeric_limits<double>::quiet_NaN();
    qsizetype n = 0;        // complete rows
    qsizetype leftOut = 0;  // rows with a measurement missing
    int k = 0;              // measurements per subject
    double mean = none;     // of all n K values
    double sd = none;       // their sample standard deviation
    double tem = none;
    double relativeTem = none; // per cent of the mean
    double reliability = none; // R
    double icc = none;
    double iccLower = none; // its 95 % confidence interval
    double iccUpper = none;
    // K = 2 only: the second measurement minus the first.
    double meanDifference = none;
    double sdDifference = none;
    double lowerLimit = none; // of agreement: mean − 1.96 SD
    double upperLimit = none;
};

// The figures of K = columns.size() measurements; every column has a value
// (or NaN) for every row. Fewer than two columns give no figures.
MeasurementError measurementError(const std::vector<std::vector<double>> &columns);

// The points of a Bland–Altman plot: for each complete row, the mean of its
// two measurements and their difference (second minus first).
struct BlandAltmanPoints {
    std::vector<double> means;
    std::vector<double> differences;
};
BlandAltmanPoints blandAltmanPoints(const std::vector<double> &first, const std::vector<double> &second);

// Columns that hold repeated measurements of one variable, by their names:
// names that differ only in a trailing number ("Výška 1", "Výška 2";
// "vyska1", "vyska2"; numbered from 0 or 1, one after another) or a trailing
// letter after a blank, "_", "-" or "." ("vyska_a", "vyska_b"; a, b, c, ...),
// compared without regard to case. Named by what the names share ("Výška").
// Columns numbered otherwise (Martin's M1, M8, M17) are no repeats.
struct RepeatedColumns {
    QString name;
    std::vector<int> columns; // indexes into names, in the order of the marks
};
std::vector<RepeatedColumns> repeatedColumns(const QStringList &names);

// The figures as the fields of one line, header first; numbers in the
// value-row form, a figure that does not exist an empty field.
QStringList measurementErrorHeader();
QStringList measurementErrorFields(const MeasurementError &error, NumberDigits digits = NumberDigits::Six);
