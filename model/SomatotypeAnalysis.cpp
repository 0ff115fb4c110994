#include "SomatotypeAnalysis.h"

#include "SampleGroups.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();

// Ratings are written to tenths, and 1.1 − 0.6 is 0.5000000000000001 in
// binary: a difference counts as the tenths it was written in.
constexpr double slack = 1e-9;

bool equal(double a, double b)
{
    return std::fabs(a - b) <= 0.5 + slack;
}

// √(w a² + b² + c²), the squares taken of a, b and c scaled by a power of
// two near the largest of them: exact, so that the result is the plain
// formula's wherever that neither overflows nor underflows, and finite
// wherever the distance itself is (components of 1e200).
double length(double w, double a, double b, double c)
{
    const double largest = std::fmax(std::fabs(a), std::fmax(std::fabs(b), std::fabs(c)));
    if (largest == 0 || !std::isfinite(largest))
        return std::sqrt(w * a * a + b * b + c * c);
    const int e = std::ilogb(largest);
    a = std::ldexp(a, -e);
    b = std::ldexp(b, -e);
    c = std::ldexp(c, -e);
    return std::ldexp(std::sqrt(w * a * a + b * b + c * c), e);
}

// The mean of value(r) over the rows, summed in their order. A sum that
// overflows is taken again of the values scaled down by 2^k >= 2n, which is
// exact; the mean lies between the least and the greatest value, which
// rounding alone could step past.
template <typename Value>
double meanOver(const std::vector<qsizetype> &rows, Value value)
{
    double sum = 0;
    double lowest = std::numeric_limits<double>::infinity();
    double highest = -lowest;
    for (qsizetype r : rows) {
        const double v = value(r);
        sum += v;
        lowest = std::fmin(lowest, v);
        highest = std::fmax(highest, v);
    }
    const double n = double(rows.size());
    double mean = sum / n;
    if (!std::isfinite(sum) && std::isfinite(lowest) && std::isfinite(highest)) {
        int k = 1;
        while (std::ldexp(1.0, k) < 2 * n)
            ++k;
        double scaled = 0;
        for (qsizetype r : rows)
            scaled += std::ldexp(value(r), -k);
        mean = std::ldexp(scaled / n, k);
    }
    return lowest <= highest ? std::clamp(mean, lowest, highest) : mean;
}

} // namespace

bool isComplete(const Somatotype &s)
{
    return std::isfinite(s.endomorphy) && std::isfinite(s.mesomorphy) && std::isfinite(s.ectomorphy);
}

bool isRating(const Somatotype &s)
{
    return isComplete(s) && s.endomorphy > 0 && s.mesomorphy > 0 && s.ectomorphy > 0;
}

double somatochartX(const Somatotype &s)
{
    return s.ectomorphy - s.endomorphy;
}

double somatochartY(const Somatotype &s)
{
    return 2 * s.mesomorphy - (s.endomorphy + s.ectomorphy);
}

double attitudinalDistance(const Somatotype &a, const Somatotype &b)
{
    return length(1, a.endomorphy - b.endomorphy, a.mesomorphy - b.mesomorphy, a.ectomorphy - b.ectomorphy);
}

double dispersionDistance(const Somatotype &a, const Somatotype &b)
{
    return length(3, somatochartX(a) - somatochartX(b), somatochartY(a) - somatochartY(b), 0);
}

bool isSignificantDistance(double sdd)
{
    return sdd >= 2 - slack;
}

SomatotypeCategory somatotypeCategory(const Somatotype &s)
{
    using C = SomatotypeCategory;
    if (!isRating(s))
        return C::None;
    const double endo = s.endomorphy, meso = s.mesomorphy, ecto = s.ectomorphy;
    const double highest = std::fmax(endo, std::fmax(meso, ecto));
    const double lowest = std::fmin(endo, std::fmin(meso, ecto));
    if (highest - lowest <= 1 + slack)
        return C::Central;
    // Past central at most one pair is equal: two steps of 0.5 span no more than 1.
    if (equal(endo, meso))
        return ecto < meso ? C::MesomorphEndomorph : C::BalancedEctomorph;
    if (equal(meso, ecto))
        return endo < meso ? C::MesomorphEctomorph : C::BalancedEndomorph;
    if (equal(endo, ecto))
        return meso < endo ? C::EndomorphEctomorph : C::BalancedMesomorph;
    if (endo > meso && endo > ecto)
        return meso > ecto ? C::MesomorphicEndomorph : C::EctomorphicEndomorph;
    if (meso > endo && meso > ecto)
        return endo > ecto ? C::EndomorphicMesomorph : C::EctomorphicMesomorph;
    return meso > endo ? C::MesomorphicEctomorph : C::EndomorphicEctomorph;
}

QString categoryName(SomatotypeCategory category)
{
    using C = SomatotypeCategory;
    switch (category) {
    case C::Central:
        return QStringLiteral("centrální");
    case C::BalancedEndomorph:
        return QStringLiteral("vyrovnaný endomorf");
    case C::MesomorphicEndomorph:
        return QStringLiteral("mezomorfní endomorf");
    case C::MesomorphEndomorph:
        return QStringLiteral("mezomorf-endomorf");
    case C::EndomorphicMesomorph:
        return QStringLiteral("endomorfní mezomorf");
    case C::BalancedMesomorph:
        return QStringLiteral("vyrovnaný mezomorf");
    case C::EctomorphicMesomorph:
        return QStringLiteral("ektomorfní mezomorf");
    case C::MesomorphEctomorph:
        return QStringLiteral("mezomorf-ektomorf");
    case C::MesomorphicEctomorph:
        return QStringLiteral("mezomorfní ektomorf");
    case C::BalancedEctomorph:
        return QStringLiteral("vyrovnaný ektomorf");
    case C::EndomorphicEctomorph:
        return QStringLiteral("endomorfní ektomorf");
    case C::EndomorphEctomorph:
        return QStringLiteral("endomorf-ektomorf");
    case C::EctomorphicEndomorph:
        return QStringLiteral("ektomorfní endomorf");
    case C::None:
        break;
    }
    return QString();
}

SomatotypeSummary summariseSomatotypes(const std::vector<Somatotype> &somatotypes,
                                       const std::vector<qsizetype> &rows)
{
    SomatotypeSummary summary;
    summary.n = qsizetype(rows.size());
    if (rows.empty()) {
        summary.mean = Somatotype{none, none, none};
        summary.x = summary.y = summary.sam = summary.sdi = none;
        return summary;
    }
    const auto at = [&somatotypes](qsizetype r) -> const Somatotype & { return somatotypes[size_t(r)]; };
    summary.mean = Somatotype{meanOver(rows, [&](qsizetype r) { return at(r).endomorphy; }),
                              meanOver(rows, [&](qsizetype r) { return at(r).mesomorphy; }),
                              meanOver(rows, [&](qsizetype r) { return at(r).ectomorphy; })};
    summary.x = somatochartX(summary.mean);
    summary.y = somatochartY(summary.mean);
    summary.sam = meanOver(rows, [&](qsizetype r) { return attitudinalDistance(at(r), summary.mean); });
    summary.sdi = meanOver(rows, [&](qsizetype r) { return dispersionDistance(at(r), summary.mean); });
    summary.category = somatotypeCategory(summary.mean);
    return summary;
}

SomatotypeAnalysis analyseSomatotypes(const std::vector<Somatotype> &somatotypes, const GroupingColumn *grouping)
{
    SomatotypeAnalysis analysis;
    std::vector<char> included(somatotypes.size());
    for (size_t r = 0; r < somatotypes.size(); ++r) {
        included[r] = isRating(somatotypes[r]);
        const bool complete = isComplete(somatotypes[r]);
        analysis.leftOut += complete ? 0 : 1;
        analysis.notRatings += complete && !included[r] ? 1 : 0;
    }
    analysis.all = summariseSomatotypes(somatotypes, includedRows(included));
    if (!grouping)
        return analysis;

    // A row the keys do not reach has no group.
    GroupingColumn rowKeys{grouping->name, std::vector<double>(somatotypes.size(), none), grouping->texts};
    for (size_t r = 0; r < rowKeys.keys.size() && r < grouping->keys.size(); ++r)
        rowKeys.keys[r] = grouping->keys[r];
    analysis.ungrouped = ungroupedRows(rowKeys, included);
    for (SampleGroup &group : groupRows(rowKeys, included)) {
        SomatotypeSummary summary = summariseSomatotypes(somatotypes, group.rows);
        analysis.groups.push_back({group.key, std::move(group.name), std::move(group.rows), summary});
    }
    return analysis;
}

size_t comparisonCount(const SomatotypeAnalysis &analysis)
{
    const size_t groups = analysis.groups.size();
    return groups < 2 ? 0 : groups * (groups - 1) / 2;
}

SomatotypeComparison compareGroups(const SomatotypeAnalysis &analysis, size_t first, size_t second)
{
    const Somatotype &a = analysis.groups[first].summary.mean;
    const Somatotype &b = analysis.groups[second].summary.mean;
    const double sdd = dispersionDistance(a, b);
    return {first, second, sdd, attitudinalDistance(a, b), isSignificantDistance(sdd)};
}
