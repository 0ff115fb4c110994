#include "SampleStatistics.h"

#include "TTableModel.h"
#include "Verdicts.h"

#include <QtAlgorithms>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// Doubles as unsigned keys in the same order: the sign bit flipped for
// positive values, every bit for negative ones; -0 is 0 first, so that equal
// values have one key. Read and written through memcpy, in the memory of the
// values themselves.
quint64 orderKey(double x)
{
    x += 0.0;
    quint64 bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits >> 63 ? ~bits : bits | (quint64(1) << 63);
}

double fromOrderKey(quint64 key)
{
    const quint64 bits = key >> 63 ? key & ~(quint64(1) << 63) : ~key;
    double x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

// The values of rank `rank` and, when `both`, rank + 1 among the n values at
// data (no NaN, from lowest to highest), which are used up. nth_element over
// a million values costs several passes of unpredictable branches; a
// histogram of the keys first narrows them to the few that share the wanted
// ones' leading bits, in passes without branches. The histogram counts the 16
// bits below those that every key shares (those of lowest and highest), so
// that values spread over all its buckets.
void valuesOfRank(double *data, qsizetype n, qsizetype rank, bool both, double lowest, double highest,
                  double *atRank, double *next)
{
    constexpr qsizetype small = 4096;
    const quint64 shared = orderKey(lowest) ^ orderKey(highest);
    if (n <= small || shared == 0) {
        std::nth_element(data, data + rank, data + n);
        *atRank = data[rank];
        if (both)
            *next = *std::min_element(data + rank + 1, data + n);
        return;
    }
    auto key = [data](qsizetype i) {
        quint64 k;
        std::memcpy(&k, data + i, sizeof k);
        return k;
    };
    const int firstDiffering = 63 - int(qCountLeadingZeroBits(shared));
    int shift = std::max(firstDiffering - 15, 0);
    std::vector<quint32> counts(size_t(1) << 16);
    for (qsizetype i = 0; i < n; ++i) {
        const quint64 k = orderKey(data[i]);
        std::memcpy(data + i, &k, sizeof k);
        ++counts[(k >> shift) & 0xFFFF];
    }
    for (bool first = true;; first = false, shift = std::max(shift - 16, 0)) {
        if (!first) {
            counts.assign(counts.size(), 0);
            for (qsizetype i = 0; i < n; ++i)
                ++counts[(key(i) >> shift) & 0xFFFF];
        }
        quint32 low = 0;
        qsizetype below = 0;
        while (below + counts[low] <= rank)
            below += counts[low++];
        quint32 high = low;
        qsizetype through = below + counts[low];
        while (both && through <= rank + 1)
            through += counts[++high];
        qsizetype kept = 0;
        for (qsizetype i = 0; i < n; ++i) {
            const quint64 k = key(i);
            const quint32 digit = quint32(k >> shift) & 0xFFFF;
            std::memcpy(data + kept, &k, sizeof k);
            kept += digit >= low && digit <= high;
        }
        n = kept;
        rank -= below;
        // Once two buckets are kept, they differ in this digit already and
        // the next digits no longer order them.
        if (high != low || shift == 0 || n <= small)
            break;
    }
    std::vector<quint64> keys(static_cast<size_t>(n));
    for (qsizetype i = 0; i < n; ++i)
        keys[size_t(i)] = key(i);
    std::nth_element(keys.begin(), keys.begin() + rank, keys.end());
    *atRank = fromOrderKey(keys[size_t(rank)]);
    if (both)
        *next = fromOrderKey(*std::min_element(keys.begin() + rank + 1, keys.end()));
}

// The sum of f(x) over the n values at p, pairwise: blocks of up to 128
// summed in eight lanes, which the compiler vectorizes, and blocks added as a
// binary tree, so that rounding grows with log n rather than n. f gives two
// terms at a time, summed apart.
struct Sums {
    double first = 0;
    double second = 0;
};

template <typename F>
Sums pairwiseSums(const double *p, qsizetype n, F f)
{
    if (n > 128) {
        const qsizetype half = n / 16 * 8;
        const Sums a = pairwiseSums(p, half, f);
        const Sums b = pairwiseSums(p + half, n - half, f);
        return {a.first + b.first, a.second + b.second};
    }
    double first[8] = {};
    double second[8] = {};
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8)
        for (int l = 0; l < 8; ++l) {
            const Sums t = f(p[i + l]);
            first[l] += t.first;
            second[l] += t.second;
        }
    const auto total = [](const double *lanes) {
        return ((lanes[0] + lanes[1]) + (lanes[2] + lanes[3])) + ((lanes[4] + lanes[5]) + (lanes[6] + lanes[7]));
    };
    Sums sums{total(first), total(second)};
    for (; i < n; ++i) {
        const Sums t = f(p[i]);
        sums.first += t.first;
        sums.second += t.second;
    }
    return sums;
}

template <typename F>
double pairwiseSum(const double *p, qsizetype n, F f)
{
    return pairwiseSums(p, n, [f](double x) { return Sums{f(x), 0}; }).first;
}

} // namespace

Summary summarize(double *first, double *last)
{
    Summary s;
    double *end = std::remove_if(first, last, [](double v) { return std::isnan(v); });
    const qsizetype n = end - first;
    s.n = n;
    s.missing = (last - first) - n;
    if (n == 0)
        return s;

    double lowest[4] = {*first, *first, *first, *first};
    double highest[4] = {*first, *first, *first, *first};
    qsizetype i = 0;
    for (; i + 4 <= n; i += 4)
        for (int l = 0; l < 4; ++l) {
            const double x = first[i + l];
            lowest[l] = x < lowest[l] ? x : lowest[l];
            highest[l] = x > highest[l] ? x : highest[l];
        }
    for (; i < n; ++i) {
        lowest[0] = std::min(lowest[0], first[i]);
        highest[0] = std::max(highest[0], first[i]);
    }
    s.minimum = std::min({lowest[0], lowest[1], lowest[2], lowest[3]});
    s.maximum = std::max({highest[0], highest[1], highest[2], highest[3]});
    const bool finite = std::isfinite(s.minimum) && std::isfinite(s.maximum);

    // An infinity makes the sum infinite (or NaN, given both). Finite values
    // whose sum overflows are scaled down by 2^k >= 2n first, which is exact,
    // so that n of them cannot overflow even as they are rounded; the mean is
    // scaled back. The mean of finite values lies between the least and the
    // greatest of them, where rounding alone could put it a step outside (n
    // copies of the largest double).
    const double sum = pairwiseSum(first, n, [](double x) { return x; });
    if (std::isfinite(sum) || !finite) {
        s.mean = sum / double(n);
    } else {
        const int k = 65 - int(qCountLeadingZeroBits(quint64(n - 1)));
        const double down = std::ldexp(1.0, -k);
        s.mean = std::ldexp(pairwiseSum(first, n, [down](double x) { return x * down; }) / double(n), k);
    }
    if (finite)
        s.mean = std::clamp(s.mean, s.minimum, s.maximum);

    // Two passes, the second corrected by the sum of the deviations (which
    // would be 0 but for rounding). Deviations are divided by the largest
    // one, so that their squares cannot overflow, and halved first when the
    // range itself is past the largest double.
    if (n > 1 && finite) {
        const double k = std::isfinite(s.maximum - s.minimum) ? 1.0 : 0.5;
        const double centre = s.mean * k;
        const double scale = std::max(centre - s.minimum * k, s.maximum * k - centre);
        if (scale == 0) {
            s.sd = 0;
        } else {
            // Multiplied by the inverse where it exists: a division per value
            // would cost more than the rest of the pass.
            const double inverse = 1 / scale;
            const auto sums = [&](auto deviation) {
                return pairwiseSums(first, n, [deviation](double x) {
                    const double d = deviation(x);
                    return Sums{d * d, d};
                });
            };
            const Sums d = std::isfinite(inverse)
                               ? sums([k, centre, inverse](double x) { return (x * k - centre) * inverse; })
                               : sums([k, centre, scale](double x) { return (x * k - centre) / scale; });
            const double variance = (d.first - d.second * d.second / double(n)) / double(n - 1);
            s.sd = std::sqrt(std::max(variance, 0.0)) * scale / k;
        }
    }

    // The middle value, or the mean of the two middle values. -0 and 0 are
    // one value, and the median of -0 and 0 is 0.
    const bool even = n % 2 == 0;
    double lower = Summary::none;
    double upper = Summary::none;
    valuesOfRank(first, n, even ? n / 2 - 1 : n / 2, even, s.minimum, s.maximum, &lower, &upper);
    s.median = (even ? double((static_cast<long double>(lower) + upper) / 2) : lower) + 0.0;
    return s;
}

SampleStatistics::SampleStatistics(const std::vector<char> &included, const GroupingColumn *grouping)
{
    if (grouping) {
        m_ungrouped = ::ungroupedRows(*grouping, included);
        for (SampleGroup &group : groupRows(*grouping, included)) {
            m_groupNames.append(group.name);
            m_rows.push_back(std::move(group.rows));
        }
    }
    m_groupNames.append(QString());
    m_rows.push_back(includedRows(included));
}

QString SampleStatistics::unclassified()
{
    return QStringLiteral("(bez třídy)");
}

void SampleStatistics::addColumn(const QString &name, std::vector<double> values)
{
    Column column{name, {}};
    for (const std::vector<qsizetype> &rows : m_rows) {
        // All rows, every one included, are the values themselves.
        if (&rows == &m_rows.back() && rows.size() == values.size()) {
            column.byGroup.push_back(summarize(values.data(), values.data() + values.size()));
            break;
        }
        m_scratch.resize(rows.size());
        for (size_t i = 0; i < rows.size(); ++i)
            m_scratch[i] = values[size_t(rows[i])];
        column.byGroup.push_back(summarize(m_scratch.data(), m_scratch.data() + m_scratch.size()));
    }
    m_columns.push_back(std::move(column));
}

void SampleStatistics::addClassColumn(const QString &name, const QStringList &classes, const int *classOfRow)
{
    ClassColumn column{name, classes, {}, {}};
    const qsizetype none = classes.size(); // the slot of rows in no class
    bool anyUnclassified = false;
    for (const std::vector<qsizetype> &rows : m_rows) {
        std::vector<qsizetype> counts(size_t(none) + 1, 0);
        for (qsizetype r : rows) {
            const int c = classOfRow[r];
            ++counts[c >= 0 && c < none ? size_t(c) : size_t(none)];
        }
        anyUnclassified = anyUnclassified || counts.back() > 0;
        column.countsByGroup.push_back(std::move(counts));
        column.rowsByGroup.push_back(qsizetype(rows.size()));
    }
    if (anyUnclassified) {
        column.classes.append(unclassified());
    } else {
        for (std::vector<qsizetype> &counts : column.countsByGroup)
            counts.pop_back();
    }
    m_classColumns.push_back(std::move(column));
}

GroupingColumn groupingColumn(const TTableModel &table, int column)
{
    if (const TextColumn *texts = table.textColumn(column))
        return textGroupingColumn(columnName(table, column), *texts, table.rowCount());
    return {columnName(table, column), columnValues(table, column), {}};
}

GroupingColumn textGroupingColumn(const QString &name, const TextColumn &texts, qsizetype rows)
{
    GroupingColumn grouping{name, std::vector<double>(size_t(rows), Summary::none), texts.texts};
    for (size_t r = 0; r < grouping.keys.size() && r < texts.cells.size(); ++r)
        if (texts.cells[r] >= 0)
            grouping.keys[r] = texts.cells[r];
    return grouping;
}

std::vector<double> columnValues(const TTableModel &table, int column)
{
    std::vector<double> values(size_t(table.rowCount()), Summary::none);
    for (int r = 0; r < table.rowCount(); ++r)
        if (column < table.rowLength(r) && !table.isUnread(r, column))
            values[size_t(r)] = table.value(r, column);
    return values;
}

QString columnName(const TTableModel &table, int column)
{
    const QString header = table.headerData(column + 1, Qt::Horizontal).toString();
    return header.isEmpty() ? QString::number(column + 1) : header;
}

SampleStatistics tableStatistics(const TTableModel &table, const GroupingColumn *grouping)
{
    std::vector<char> included(size_t(table.rowCount()));
    for (int r = 0; r < table.rowCount(); ++r)
        included[size_t(r)] = table.isRowChecked(r);
    SampleStatistics statistics(included, grouping);
    for (int c = 0; c < table.width(); ++c) {
        // A text column has no numbers to describe; it groups.
        if (table.isTextColumn(c))
            continue;
        if (!table.isVerdictColumn(c)) {
            statistics.addColumn(columnName(table, c), columnValues(table, c));
            continue;
        }
        // Verdict columns hold no number of their own (or a stored code): their
        // classes are counted instead.
        const QStringList classes = verdictClasses(table.type(), c - table.carriedCount());
        std::vector<int> classOfRow(size_t(table.rowCount()));
        for (int r = 0; r < table.rowCount(); ++r)
            classOfRow[size_t(r)] = int(classes.indexOf(table.verdictText(r, c)));
        statistics.addClassColumn(columnName(table, c), classes, classOfRow.data());
    }
    return statistics;
}

QStringList summaryHeader()
{
    return {QStringLiteral("skupina"), QStringLiteral("sloupec"), QStringLiteral("n"),
            QStringLiteral("chybí"), QStringLiteral("průměr"), QStringLiteral("směrodatná odchylka"),
            QStringLiteral("minimum"), QStringLiteral("medián"), QStringLiteral("maximum")};
}

QStringList summaryFields(const QString &group, const QString &column, const Summary &summary, NumberDigits digits)
{
    return {group,
            column,
            QString::number(summary.n),
            QString::number(summary.missing),
            valueField(summary.mean, digits),
            valueField(summary.sd, digits),
            valueField(summary.minimum, digits),
            valueField(summary.median, digits),
            valueField(summary.maximum, digits)};
}

QStringList classCountHeader()
{
    return {QStringLiteral("skupina"), QStringLiteral("sloupec"), QStringLiteral("třída"),
            QStringLiteral("počet"), QStringLiteral("procento")};
}

QStringList classCountFields(const QString &group, const QString &column, const QString &className,
                             qsizetype count, qsizetype rows, NumberDigits digits)
{
    return {group, column, className, QString::number(count),
            rows > 0 ? valueField(100.0 * double(count) / double(rows), digits) : QString()};
}

QByteArray csvLine(const QStringList &fields)
{
    QString line;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            line += u';';
        QString field = fields.at(i);
        for (QChar &c : field)
            if (c == u';' || c == u'\n' || c == u'\r')
                c = u' ';
        line += field;
    }
    return line.toUtf8();
}
