#include "MeasurementError.h"

#include "SampleStatistics.h"

#include <QRegularExpression>

#include <boost/math/distributions/fisher_f.hpp>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

// Quantiles that give NaN for degrees of freedom they cannot take, rather
// than throw.
using Quiet = boost::math::policies::policy<boost::math::policies::domain_error<boost::math::policies::ignore_error>,
                                            boost::math::policies::overflow_error<boost::math::policies::ignore_error>,
                                            boost::math::policies::evaluation_error<boost::math::policies::ignore_error>>;

double upperQuantile(double df1, double df2)
{
    if (!(df1 > 0) || !(df2 > 0) || !std::isfinite(df1) || !std::isfinite(df2))
        return MeasurementError::none;
    return boost::math::quantile(boost::math::fisher_f_distribution<double, Quiet>(df1, df2), 0.975);
}

// Σ v², summed as the statistics sum a column: pairwise, so that rounding
// grows with log N. The squares are never negative, so nothing cancels. v is
// used up.
double sumOfSquares(std::vector<double> v)
{
    for (double &x : v)
        x *= x;
    return summarize(v.data(), v.data() + v.size()).mean * double(v.size());
}

double meanOf(std::vector<double> v)
{
    return summarize(v.data(), v.data() + v.size()).mean;
}

} // namespace

MeasurementError measurementError(const std::vector<std::vector<double>> &columns)
{
    MeasurementError e;
    e.k = int(columns.size());
    if (e.k < 2)
        return e;
    const size_t rows = columns.front().size();

    // The complete rows, and the exponent that brings the largest value under 1.
    std::vector<size_t> complete;
    double largest = 0;
    for (size_t r = 0; r < rows; ++r) {
        bool whole = true;
        for (const std::vector<double> &column : columns)
            whole = whole && r < column.size() && std::isfinite(column[r]);
        if (!whole)
            continue;
        complete.push_back(r);
        for (const std::vector<double> &column : columns)
            largest = std::max(largest, std::fabs(column[r]));
    }
    e.n = qsizetype(complete.size());
    e.leftOut = qsizetype(rows) - e.n;
    if (e.n < 2)
        return e;
    const int exponent = largest > 0 ? std::ilogb(largest) + 1 : 0;
    const size_t n = complete.size();
    const size_t k = columns.size();
    // y[i * k + j]: measurement j of subject i, scaled.
    std::vector<double> y(n * k);
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < k; ++j)
            y[i * k + j] = std::ldexp(columns[j][complete[i]], -exponent);

    std::vector<double> values = y;
    const Summary whole = summarize(values.data(), values.data() + values.size());
    const double grand = whole.mean;

    // A subject's K values, each under 1, sum without overflow.
    std::vector<double> rowMeans(n);
    for (size_t i = 0; i < n; ++i) {
        double sum = 0;
        for (size_t j = 0; j < k; ++j)
            sum += y[i * k + j];
        rowMeans[i] = sum / double(k);
    }
    std::vector<double> columnMeans(k);
    std::vector<double> column(n);
    for (size_t j = 0; j < k; ++j) {
        for (size_t i = 0; i < n; ++i)
            column[i] = y[i * k + j];
        columnMeans[j] = meanOf(column);
    }

    // Deviations: of the subjects' means, of the measurements' means, of each
    // value from its subject's mean (within), and what is left of it once the
    // measurement's own shift is taken too (error).
    std::vector<double> subjects(n);
    for (size_t i = 0; i < n; ++i)
        subjects[i] = rowMeans[i] - grand;
    std::vector<double> measurements(k);
    for (size_t j = 0; j < k; ++j)
        measurements[j] = columnMeans[j] - grand;
    std::vector<double> within(n * k);
    std::vector<double> residuals(n * k);
    for (size_t i = 0; i < n; ++i)
        for (size_t j = 0; j < k; ++j) {
            within[i * k + j] = y[i * k + j] - rowMeans[i];
            residuals[i * k + j] = within[i * k + j] - measurements[j];
        }
    const double dn = double(n);
    const double dk = double(k);
    const double msr = dk * sumOfSquares(std::move(subjects)) / (dn - 1);
    const double msc = dn * sumOfSquares(std::move(measurements)) / (dk - 1);
    const double mse = sumOfSquares(std::move(residuals)) / ((dn - 1) * (dk - 1));
    const double temSquared = sumOfSquares(std::move(within)) / (dn * (dk - 1));

    const double tem = std::sqrt(temSquared);
    e.tem = std::ldexp(tem, exponent);
    e.mean = std::ldexp(grand, exponent);
    e.sd = std::ldexp(whole.sd, exponent);
    if (grand != 0)
        e.relativeTem = 100 * tem / grand;
    if (whole.sd > 0)
        e.reliability = 1 - temSquared / (whole.sd * whole.sd);

    const double denominator = msr + (dk - 1) * mse + dk * (msc - mse) / dn;
    if (denominator > 0) {
        const double rho = (msr - mse) / denominator;
        e.icc = rho;
        if (rho >= 1) {
            // No error and no shift between the measurements: the interval
            // closes on 1, where its formula divides by 1 − ρ = 0.
            e.iccLower = e.iccUpper = 1;
        } else {
            const double a = dk * rho / (dn * (1 - rho));
            const double b = 1 + dk * rho * (dn - 1) / (dn * (1 - rho));
            const double v = (a * msc + b * mse) * (a * msc + b * mse)
                             / ((a * msc) * (a * msc) / (dk - 1) + (b * mse) * (b * mse) / ((dn - 1) * (dk - 1)));
            const double f1 = upperQuantile(dn - 1, v);
            const double f2 = upperQuantile(v, dn - 1);
            const double c = dk * msc + (dk * dn - dk - dn) * mse;
            e.iccLower = dn * (msr - f1 * mse) / (f1 * c + dn * msr);
            e.iccUpper = dn * (f2 * msr - mse) / (c + dn * f2 * msr);
        }
    }

    if (k == 2) {
        std::vector<double> d(n);
        for (size_t i = 0; i < n; ++i)
            d[i] = y[i * 2 + 1] - y[i * 2];
        const Summary s = summarize(d.data(), d.data() + d.size());
        e.meanDifference = std::ldexp(s.mean, exponent);
        e.sdDifference = std::ldexp(s.sd, exponent);
        e.lowerLimit = std::ldexp(s.mean - 1.96 * s.sd, exponent);
        e.upperLimit = std::ldexp(s.mean + 1.96 * s.sd, exponent);
    }
    return e;
}

BlandAltmanPoints blandAltmanPoints(const std::vector<double> &first, const std::vector<double> &second)
{
    BlandAltmanPoints points;
    for (size_t r = 0; r < first.size() && r < second.size(); ++r) {
        if (!std::isfinite(first[r]) || !std::isfinite(second[r]))
            continue;
        // Halved first: the mean of two values near the largest double exists.
        points.means.push_back(first[r] / 2 + second[r] / 2);
        points.differences.push_back(second[r] - first[r]);
    }
    return points;
}

namespace {

// A name's trailing mark: a number (kind 'n') or a letter after a separator
// (kind 'a'); its value counts from 0 for "a".
struct Mark {
    QString stem;
    char kind = 0; // 0: the name has none
    qint64 value = 0;
};

Mark markOf(const QString &name)
{
    static const QRegularExpression number(QStringLiteral("^(.*?)[\\s_.-]*([0-9]{1,9})$"));
    static const QRegularExpression letter(QStringLiteral("^(.*?)[\\s_.-]+([A-Za-z])$"));
    Mark mark;
    if (const QRegularExpressionMatch m = number.match(name.trimmed()); m.hasMatch()) {
        mark = {m.captured(1), 'n', m.captured(2).toLongLong()};
    } else if (const QRegularExpressionMatch l = letter.match(name.trimmed()); l.hasMatch()) {
        mark = {l.captured(1), 'a', l.captured(2).toLower().at(0).unicode() - qint64('a')};
    }
    mark.stem = mark.stem.trimmed();
    if (mark.stem.isEmpty())
        mark.kind = 0;
    return mark;
}

} // namespace

std::vector<RepeatedColumns> repeatedColumns(const QStringList &names)
{
    // The columns of each stem and kind of mark, by the mark's value (the
    // first column of a value, when two share it).
    std::map<std::pair<QString, char>, std::map<qint64, int>> marked;
    std::map<std::pair<QString, char>, QString> stems;
    for (int c = 0; c < int(names.size()); ++c) {
        const Mark mark = markOf(names.at(c));
        if (!mark.kind)
            continue;
        const std::pair<QString, char> key{mark.stem.toCaseFolded(), mark.kind};
        marked[key].emplace(mark.value, c);
        stems.emplace(key, mark.stem);
    }
    std::vector<RepeatedColumns> found;
    for (const auto &[key, columns] : marked) {
        // A run from the first mark (a, 0 or 1) on, without a gap.
        qint64 next = columns.begin()->first;
        if (next > (key.second == 'n' ? 1 : 0))
            continue;
        RepeatedColumns repeated{stems[key], {}};
        for (const auto &[value, column] : columns) {
            if (value != next)
                break;
            repeated.columns.push_back(column);
            ++next;
        }
        if (repeated.columns.size() >= 2)
            found.push_back(std::move(repeated));
    }
    std::sort(found.begin(), found.end(), [](const RepeatedColumns &a, const RepeatedColumns &b) {
        return a.columns.front() < b.columns.front();
    });
    return found;
}

QStringList measurementErrorHeader()
{
    return {QStringLiteral("n"),
            QStringLiteral("K"),
            QStringLiteral("průměr"),
            QStringLiteral("TEM"),
            QStringLiteral("relativní TEM (%)"),
            QStringLiteral("R"),
            QStringLiteral("ICC(2,1)"),
            QStringLiteral("dolní mez 95 %"),
            QStringLiteral("horní mez 95 %")};
}

QStringList measurementErrorFields(const MeasurementError &e, NumberDigits digits)
{
    return {QString::number(e.n),
            QString::number(e.k),
            valueField(e.mean, digits),
            valueField(e.tem, digits),
            valueField(e.relativeTem, digits),
            valueField(e.reliability, digits),
            valueField(e.icc, digits),
            valueField(e.iccLower, digits),
            valueField(e.iccUpper, digits)};
}
