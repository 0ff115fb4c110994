#include "SampleGroups.h"

#include "NumberFormat.h"

#include <QCollator>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <unordered_map>

std::vector<SampleGroup> groupRows(const GroupingColumn &grouping, const std::vector<char> &included)
{
    // One pass with a group per distinct key, the rows arriving in table
    // order; then the few groups are sorted, not the many rows.
    const std::vector<double> &keys = grouping.keys;
    std::unordered_map<double, size_t> groupOfKey;
    std::vector<SampleGroup> groups;
    for (size_t r = 0; r < keys.size() && r < included.size(); ++r) {
        if (!included[r] || std::isnan(keys[r]))
            continue;
        const double key = keys[r] == 0 ? 0.0 : keys[r]; // -0 is 0
        const auto [it, added] = groupOfKey.try_emplace(key, groups.size());
        if (added)
            groups.push_back({key, {}, {}});
        groups[it->second].rows.push_back(qsizetype(r));
    }
    if (grouping.texts.isEmpty()) {
        std::sort(groups.begin(), groups.end(),
                  [](const SampleGroup &a, const SampleGroup &b) { return a.key < b.key; });
        for (SampleGroup &group : groups)
            group.name = groupName(group.key);
        return groups;
    }
    for (SampleGroup &group : groups) {
        const qsizetype i = qsizetype(group.key);
        group.name = i >= 0 && i < grouping.texts.size() ? grouping.texts.at(i) : QString();
    }
    QCollator czech{QLocale(QLocale::Czech, QLocale::Czechia)};
    czech.setNumericMode(true);
    std::stable_sort(groups.begin(), groups.end(), [&czech](const SampleGroup &a, const SampleGroup &b) {
        const int order = czech.compare(a.name, b.name);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return groups;
}

qsizetype ungroupedRows(const GroupingColumn &grouping, const std::vector<char> &included)
{
    qsizetype count = 0;
    for (size_t r = 0; r < included.size(); ++r)
        if (included[r] && (r >= grouping.keys.size() || std::isnan(grouping.keys[r])))
            ++count;
    return count;
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
