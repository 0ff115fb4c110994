#include "SomatotypeAnalysis.h"

#include "SampleGroups.h"

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

} // namespace

bool isComplete(const Somatotype &s)
{
    return std::isfinite(s.endomorphy) && std::isfinite(s.mesomorphy) && std::isfinite(s.ectomorphy);
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
    const double d1 = a.endomorphy - b.endomorphy;
    const double d2 = a.mesomorphy - b.mesomorphy;
    const double d3 = a.ectomorphy - b.ectomorphy;
    return std::sqrt(d1 * d1 + d2 * d2 + d3 * d3);
}

double dispersionDistance(const Somatotype &a, const Somatotype &b)
{
    const double dx = somatochartX(a) - somatochartX(b);
    const double dy = somatochartY(a) - somatochartY(b);
    return std::sqrt(3 * dx * dx + dy * dy);
}

bool isSignificantDistance(double sdd)
{
    return sdd >= 2 - slack;
}

SomatotypeCategory somatotypeCategory(const Somatotype &s)
{
    using C = SomatotypeCategory;
    if (!isComplete(s))
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
    Somatotype sum;
    for (qsizetype r : rows) {
        const Somatotype &s = somatotypes[size_t(r)];
        sum.endomorphy += s.endomorphy;
        sum.mesomorphy += s.mesomorphy;
        sum.ectomorphy += s.ectomorphy;
    }
    const double n = double(rows.size());
    summary.mean = Somatotype{sum.endomorphy / n, sum.mesomorphy / n, sum.ectomorphy / n};
    summary.x = somatochartX(summary.mean);
    summary.y = somatochartY(summary.mean);
    double sad = 0, sdd = 0;
    for (qsizetype r : rows) {
        sad += attitudinalDistance(somatotypes[size_t(r)], summary.mean);
        sdd += dispersionDistance(somatotypes[size_t(r)], summary.mean);
    }
    summary.sam = sad / n;
    summary.sdi = sdd / n;
    summary.category = somatotypeCategory(summary.mean);
    return summary;
}

SomatotypeAnalysis analyseSomatotypes(const std::vector<Somatotype> &somatotypes, const GroupingColumn *grouping)
{
    SomatotypeAnalysis analysis;
    std::vector<char> included(somatotypes.size());
    for (size_t r = 0; r < somatotypes.size(); ++r) {
        included[r] = isComplete(somatotypes[r]);
        analysis.leftOut += included[r] ? 0 : 1;
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
    for (size_t a = 0; a < analysis.groups.size(); ++a) {
        for (size_t b = a + 1; b < analysis.groups.size(); ++b) {
            const Somatotype &first = analysis.groups[a].summary.mean;
            const Somatotype &second = analysis.groups[b].summary.mean;
            const double sdd = dispersionDistance(first, second);
            analysis.comparisons.push_back({a, b, sdd, attitudinalDistance(first, second), isSignificantDistance(sdd)});
        }
    }
    return analysis;
}
