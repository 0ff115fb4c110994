#include "Verdicts.h"

#include <cmath>

namespace {

// One test of a chain: x < bound, or x <= bound when inclusive. A value that is
// not a number passes no test and gets the chain's last text.
struct Step {
    bool inclusive;
    double bound;
    const char *text;
};

struct Chain {
    const Step *steps;
    int count;
    const char *otherwise;
};

template <int N>
constexpr Chain chain(const Step (&steps)[N], const char *otherwise)
{
    return {steps, N, otherwise};
}

const Step whrMen[] = {
    {false, 0.85, "Spíše periferní"},
    {false, 0.9, "Vyrovnaná"},
    {true, 0.94, "Spíše centrální"},
};
const Step whrWomen[] = {
    {false, 0.75, "Spíše periferní"},
    {false, 0.8, "Vyrovnaná"},
    {true, 0.84, "Spíše centrální"},
};
// For the cranial index the lower class keeps its bound; the other indices
// give the bound to the upper class.
const Step cranial[] = {
    {true, 75, "dolichokranní"},
    {true, 80, "mesokranní"},
};
const Step lengthHeight[] = {
    {false, 70, "chamaekranní"},
    {false, 75, "orthokranní"},
};
const Step breadthHeight[] = {
    {false, 92, "tapeinokranní"},
    {false, 98, "metriokranní"},
};
const Step facial[] = {
    {false, 80, "hypereuryprosopní"},
    {false, 85, "euryprosopní (nízký obličej)"},
    {false, 90, "mesoprosopní (středně vysoký obličej)"},
    {false, 95, "leptoprosopní (vysoký obličej)"},
};
const Step upperFacial[] = {
    {false, 45, "hypereuryenní"},
    {false, 50, "euryenní (nízký horní obličej)"},
    {false, 55, "mesenní (středně vysoký horní obličej)"},
    {false, 60, "leptenní (vysoký horní obličej)"},
};
const Step nasal[] = {
    {false, 47, "leptorhinní (úzkonosý)"},
    {false, 51, "mesorhinní (středně širokonosý)"},
    {false, 58, "chamaerhinní (širokonosý)"},
};
const Step gnathic[] = {
    {false, 98, "orthognátní"},
    {false, 103, "mesognátní"},
};

const Chain whrMenChain = chain(whrMen, "Centrální (riziková)");
const Chain whrWomenChain = chain(whrWomen, "Centrální (riziková)");

// Index methods 23 to 29, in id order; the index is data column 2 and the
// verdict data column 3.
const Chain indexChains[] = {
    chain(cranial, "brachykranní"),
    chain(lengthHeight, "hypsikranní"),
    chain(breadthHeight, "akrokranní"),
    chain(facial, "hyper leptoprosopní"),
    chain(upperFacial, "hyperleptenní"),
    chain(nasal, ""),
    chain(gnathic, "prognátní"),
};

// The two-way verdicts and the population groups; verdictText and
// verdictClasses both read these.
const char *const origins[] = {"Lidský", "Zvířecí"};
const char *const skullSexes[] = {"Mužská lebka", "Ženská lebka"};
const char *const sexes[] = {"Muž", "Žena"};
const char *const populations[] = {"afroamerický", "severoamerický", "evropský"};

QString text(const char *utf8)
{
    return QString::fromUtf8(utf8);
}

template <int N>
QStringList texts(const char *const (&utf8)[N])
{
    QStringList list;
    for (const char *t : utf8)
        list.append(text(t));
    return list;
}

QStringList chainClasses(const Chain &c)
{
    QStringList list;
    for (int i = 0; i < c.count; ++i)
        list.append(text(c.steps[i].text));
    if (*c.otherwise)
        list.append(text(c.otherwise));
    return list;
}

QString classify(const Chain &c, double x)
{
    for (int i = 0; i < c.count; ++i) {
        const Step &s = c.steps[i];
        if (s.inclusive ? x <= s.bound : x < s.bound)
            return text(s.text);
    }
    return text(c.otherwise);
}

// The Giles and Elliot sectioning point: D at or above it is a male skull. A D
// that is not a number is female, for the sex and for the population set.
constexpr double gilesElliotSection = 891.12;

QString populationGroup(double d, double n, double i)
{
    const bool male = d >= gilesElliotSection;
    const double limit = male ? 22.28 : 130.1;
    const double line = male ? 4.4 * i - 8.3 : 0.48 * i + 29.6;
    const double level = male ? 89.27 : 92.2;
    if (i > limit && n > line)
        return text(populations[0]);
    if (i < limit && n > level)
        return text(populations[0]);
    if (i > limit && n < line)
        return text(populations[1]);
    if (i < limit && n < level)
        return text(populations[2]);
    // On the limit, on the line or the level, or a value that is not a number.
    return QString();
}

// Where the verdict of a type stands and which stored value it reads.
struct VerdictPlace {
    qint32 type;
    int column; // data column of the verdict
    int reads;  // data column of the value it is derived from
    int needs;  // stored values the row must hold: one past the last column read
};

const VerdictPlace places[] = {
    {3, 3, 2, 3},     {3, 4, 2, 3},    {23, 3, 2, 3},  {24, 3, 2, 3},  {25, 3, 2, 3},   {26, 3, 2, 3},
    {27, 3, 2, 3},    {28, 3, 2, 3},   {29, 3, 2, 3},  {44, 12, 11, 12}, {45, 8, 7, 8}, {46, 6, 5, 6},
    {47, 9, 8, 9},    {47, 12, 8, 12}, {48, 9, 8, 9},  {49, 6, 5, 6},  {50, 11, 9, 11},
};

const VerdictPlace *placeOf(qint32 type, int column)
{
    for (const VerdictPlace &p : places)
        if (p.type == type && p.column == column)
            return &p;
    return nullptr;
}

} // namespace

bool isVerdictColumn(qint32 type, int column)
{
    return placeOf(type, column) != nullptr;
}

QString verdictText(qint32 type, int column, const double *row, qsizetype length)
{
    const VerdictPlace *place = placeOf(type, column);
    if (!place || length < place->needs)
        return QString();
    const double x = row[place->reads];
    switch (type) {
    case 3:
        return classify(column == 3 ? whrMenChain : whrWomenChain, x);
    case 23:
    case 24:
    case 25:
    case 26:
    case 27:
    case 28:
    case 29:
        return classify(indexChains[type - 23], x);
    case 44:
    case 45:
        return text(origins[x == 1.0 ? 0 : 1]);
    case 46:
        return text(origins[x > 0.0 ? 0 : 1]);
    case 47:
        if (column == 9)
            return text(skullSexes[x >= gilesElliotSection ? 0 : 1]);
        return populationGroup(x, row[10], row[11]);
    case 48:
        return text(sexes[x > 231.2 ? 0 : 1]);
    case 49:
        return text(sexes[x > 214.3 ? 0 : 1]);
    case 50:
        // A score that is not a number fails the test: "Žena".
        return text(sexes[std::fabs(row[10]) <= std::fabs(x) ? 0 : 1]);
    }
    return QString();
}

QStringList verdictClasses(qint32 type, int column)
{
    if (!placeOf(type, column))
        return {};
    switch (type) {
    case 3:
        return chainClasses(column == 3 ? whrMenChain : whrWomenChain);
    case 23:
    case 24:
    case 25:
    case 26:
    case 27:
    case 28:
    case 29:
        return chainClasses(indexChains[type - 23]);
    case 44:
    case 45:
    case 46:
        return texts(origins);
    case 47:
        return column == 9 ? texts(skullSexes) : texts(populations);
    case 48:
    case 49:
    case 50:
        return texts(sexes);
    }
    return {};
}
