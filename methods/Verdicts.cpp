#include "Verdicts.h"

#include "MethodRows.h"

#include <algorithm>
#include <cmath>

VerdictColumn chainVerdict(int column, int reads, std::vector<VerdictStep> steps, const char *otherwise,
                           const char *label)
{
    Names classes;
    for (const VerdictStep &step : steps)
        classes.push_back(step.text);
    classes.push_back(otherwise);
    return {column, {reads}, VerdictRule::Chain, std::move(steps), std::move(classes), 0.0, nullptr, label, nullptr};
}

VerdictColumn testVerdict(int column, std::vector<int> reads, VerdictRule test, double bound, Names classes,
                          const char *label, const char *limits)
{
    return {column, std::move(reads), test, {}, std::move(classes), bound, nullptr, label, limits};
}

VerdictColumn populationVerdict(int column, std::vector<int> reads, const PopulationSets &sets, Names classes,
                                const char *limits)
{
    return {column, std::move(reads), VerdictRule::PopulationGroup, {}, std::move(classes), 0.0, &sets, nullptr,
            limits};
}

namespace {

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

const VerdictColumn *verdictOf(qint32 type, int column)
{
    if (const MethodRow *row = methodRow(type))
        for (const VerdictColumn &verdict : row->verdicts)
            if (verdict.column == column)
                return &verdict;
    return nullptr;
}

QString populationGroup(const VerdictColumn &v, double d, double n, double i)
{
    // A D that is not a number takes the female set.
    const PopulationSets &sets = *v.populations;
    const PopulationSet &s = d >= sets.sectioningPoint ? sets.male : sets.female;
    const double line = s.slope * i + s.intercept;
    if (i > s.limit && n > line)
        return text(v.classes[0]);
    if (i < s.limit && n > s.level)
        return text(v.classes[0]);
    if (i > s.limit && n < line)
        return text(v.classes[1]);
    if (i < s.limit && n < s.level)
        return text(v.classes[2]);
    // On the limit, on the line or the level, or a value that is not a number.
    return QString();
}

QString verdictOfRow(const VerdictColumn &v, const double *row)
{
    const double x = row[v.reads[0]];
    const auto twoWay = [&v](bool passed) { return text(v.classes[passed ? 0 : 1]); };
    switch (v.rule) {
    case VerdictRule::Chain:
        for (const VerdictStep &s : v.steps)
            if (s.inclusive ? x <= s.bound : x < s.bound)
                return text(s.text);
        return text(v.classes.back());
    case VerdictRule::Equal:
        return twoWay(x == v.bound);
    case VerdictRule::Above:
        return twoWay(x > v.bound);
    case VerdictRule::AtLeast:
        return twoWay(x >= v.bound);
    case VerdictRule::MagnitudeAtLeast:
        return twoWay(std::fabs(row[v.reads[1]]) <= std::fabs(x));
    case VerdictRule::PopulationGroup:
        return populationGroup(v, x, row[v.reads[1]], row[v.reads[2]]);
    }
    return QString();
}

// The limits are written with the decimal comma whatever the locale.
QString decimal(double value)
{
    return QString::number(value, 'g', 12).replace(u'.', u',');
}

// A class name inside a sentence.
QString lowered(const char *name)
{
    QString s = text(name);
    if (!s.isEmpty())
        s[0] = s[0].toLower();
    return s;
}

// Each class with its range: "pod" leaves the bound out, "do … včetně" takes
// it in; above the last step "od" or "nad" as that step left it out or took it.
QString chainLimits(const VerdictColumn &v)
{
    QStringList parts;
    const VerdictStep *previous = nullptr;
    for (const VerdictStep &s : v.steps) {
        const QString bound = decimal(s.bound);
        QString range;
        if (!previous)
            range = s.inclusive ? QStringLiteral("do %1 včetně").arg(bound) : QStringLiteral("pod %1").arg(bound);
        else if (previous->inclusive)
            range = (s.inclusive ? QStringLiteral("nad %1 do %2 včetně") : QStringLiteral("nad %1 až pod %2"))
                        .arg(decimal(previous->bound), bound);
        else
            range = (s.inclusive ? QStringLiteral("%1 až %2") : QStringLiteral("%1 až pod %2"))
                        .arg(decimal(previous->bound), bound);
        parts.append(range + u' ' + lowered(s.text));
        previous = &s;
    }
    const char *otherwise = v.classes.back();
    if (previous)
        parts.append((previous->inclusive ? QStringLiteral("nad ") : QStringLiteral("od ")) + decimal(previous->bound)
                     + u' ' + (*otherwise ? lowered(otherwise) : QStringLiteral("bez hodnocení")));
    return parts.join(QStringLiteral("; "));
}

QString populationSetLimits(const PopulationSet &s, const Names &groups)
{
    const QString sign = s.intercept < 0 ? QStringLiteral("− ") : QStringLiteral("+ ");
    const QString line = decimal(s.slope) + QStringLiteral(" · I ") + sign + decimal(std::fabs(s.intercept));
    return QStringLiteral("I nad %1 a N nad %2 %4; I nad %1 a N pod %2 %5; I pod %1 a N nad %3 %4; "
                          "I pod %1 a N pod %3 %6")
        .arg(decimal(s.limit), line, decimal(s.level), lowered(groups[0]), lowered(groups[1]), lowered(groups[2]));
}

QString limitsOf(const VerdictColumn &v)
{
    switch (v.rule) {
    case VerdictRule::Chain:
        return chainLimits(v);
    case VerdictRule::PopulationGroup:
        return text(v.limits)
            .replace(QStringLiteral("%1"), populationSetLimits(v.populations->male, v.classes))
            .replace(QStringLiteral("%2"), populationSetLimits(v.populations->female, v.classes));
    case VerdictRule::Equal:
    case VerdictRule::Above:
    case VerdictRule::AtLeast:
    case VerdictRule::MagnitudeAtLeast:
        break;
    }
    return text(v.limits)
        .replace(QStringLiteral("%1"), decimal(v.bound))
        .replace(QStringLiteral("%2"), lowered(v.classes[0]))
        .replace(QStringLiteral("%3"), lowered(v.classes[1]));
}

} // namespace

bool isVerdictColumn(qint32 type, int column)
{
    return verdictOf(type, column) != nullptr;
}

QString verdictText(qint32 type, int column, const double *row, qsizetype length)
{
    const VerdictColumn *verdict = verdictOf(type, column);
    if (!verdict || length <= *std::max_element(verdict->reads.begin(), verdict->reads.end()))
        return QString();
    // A missing value has no class.
    if (std::any_of(verdict->reads.begin(), verdict->reads.end(), [row](int i) { return std::isnan(row[i]); }))
        return QString();
    return verdictOfRow(*verdict, row);
}

QStringList verdictClasses(qint32 type, int column)
{
    QStringList list;
    if (const VerdictColumn *verdict = verdictOf(type, column))
        for (const char *name : verdict->classes)
            if (*name)
                list.append(text(name));
    return list;
}

QString verdictLimits(qint32 type)
{
    const MethodRow *row = methodRow(type);
    if (!row)
        return QString();
    QStringList texts;
    for (const VerdictColumn &verdict : row->verdicts)
        texts.append(verdict.label ? text(verdict.label) + QStringLiteral(": ") + limitsOf(verdict)
                                   : limitsOf(verdict));
    // Several verdict columns: a sentence each, a line each.
    if (texts.size() > 1)
        for (QString &t : texts)
            t += u'.';
    return texts.join(u'\n');
}
