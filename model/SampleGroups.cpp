#include "SampleGroups.h"

#include "NumberFormat.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>

std::vector<SampleGroup> groupRows(const std::vector<double> &keys, const std::vector<char> &included)
{
    // One pass with a group per distinct key, the rows arriving in table
    // order; then the few groups are sorted, not the many rows.
    std::unordered_map<double, size_t> groupOfKey;
    std::vector<SampleGroup> groups;
    for (size_t r = 0; r < keys.size() && r < included.size(); ++r) {
        if (!included[r] || std::isnan(keys[r]))
            continue;
        const double key = keys[r] == 0 ? 0.0 : keys[r]; // -0 is 0
        const auto [it, added] = groupOfKey.try_emplace(key, groups.size());
        if (added)
            groups.push_back({key, {}});
        groups[it->second].rows.push_back(qsizetype(r));
    }
    std::sort(groups.begin(), groups.end(),
              [](const SampleGroup &a, const SampleGroup &b) { return a.key < b.key; });
    return groups;
}

std::vector<qsizetype> includedRows(const std::vector<char> &included)
{
    std::vector<qsizetype> rows;
    for (size_t r = 0; r < included.size(); ++r)
        if (included[r])
            rows.push_back(qsizetype(r));
    return rows;
}

QString groupName(double key)
{
    return QString::fromLatin1(formatValue(key, NumberDigits::Full));
}
