#pragma once
// The somatotype analysis papers report, as the Heath-Carter instruction
// manual defines it (Carter 2002): each somatotype's point on the somatochart
// and its category; for a sample and its groups the mean somatotype with the
// spread of the members about it (SAM, SDI); and how far apart the means of
// two groups lie (SDD, SAD).
//
// A row with a component that is no finite number (NaN, or an infinity no
// physique has) takes no part anywhere: it has no point and no category,
// counts in no n and belongs to no group. Nor does a row with a component of
// 0 or less: ratings are positive, the manual giving 0.1 where its equations
// fall to 0 or below. A positive value under 0.1 is kept: the equations give
// it themselves (ectomorphy 0.463 HWR − 17.63 is 0.08 just above HWR 38.25).

#include "SampleGroups.h"
#include <QString>

#include <vector>

struct Somatotype {
    double endomorphy = 0;
    double mesomorphy = 0;
    double ectomorphy = 0;
};

// False when a component is NaN or infinite.
bool isComplete(const Somatotype &somatotype);
// Complete, and every component above 0: a somatotype rating.
bool isRating(const Somatotype &somatotype);

// The somatochart's coordinates: X = ectomorphy − endomorphy,
// Y = 2 · mesomorphy − (endomorphy + ectomorphy).
double somatochartX(const Somatotype &somatotype);
double somatochartY(const Somatotype &somatotype);

// SAD, the distance of two somatotypes in the space of the three components.
double attitudinalDistance(const Somatotype &a, const Somatotype &b);
// SDD, the distance of their points on the chart: √(3 (X₁ − X₂)² + (Y₁ − Y₂)²).
// A unit of Y is drawn 1/√3 of a unit of X long, hence the 3.
double dispersionDistance(const Somatotype &a, const Somatotype &b);
// Two means whose SDD is 2 or more differ significantly.
bool isSignificantDistance(double sdd);

// The manual's thirteen categories. None: a somatotype that is no rating.
enum class SomatotypeCategory {
    Central,
    BalancedEndomorph,
    MesomorphicEndomorph,
    MesomorphEndomorph,
    EndomorphicMesomorph,
    BalancedMesomorph,
    EctomorphicMesomorph,
    MesomorphEctomorph,
    MesomorphicEctomorph,
    BalancedEctomorph,
    EndomorphicEctomorph,
    EndomorphEctomorph,
    EctomorphicEndomorph,
    None,
};

// Two components count as equal when they differ by 0.5 or less; central is a
// somatotype none of whose components differs from another by more than 1.
// Otherwise two equal components above the third name a pair category
// (mesomorph-endomorph), and the largest component dominates, the larger of
// the other two giving the adjective unless they are equal (balanced).
SomatotypeCategory somatotypeCategory(const Somatotype &somatotype);
// The category in Czech ("mezomorfní endomorf"); empty for None.
QString categoryName(SomatotypeCategory category);

// A group of rows, or all rows, summed up. Statistics of an empty group are NaN.
struct SomatotypeSummary {
    qsizetype n = 0;
    Somatotype mean;
    double x = 0; // of the mean somatotype, which is also the mean of the points
    double y = 0;
    double sam = 0; // mean SAD of the members from the mean somatotype
    double sdi = 0; // mean SDD of the members' points from the mean point
    SomatotypeCategory category = SomatotypeCategory::None; // of the mean
};

// The summary of the rows listed, all of them ratings. The means are finite
// wherever the values are (a sum past the largest double is scaled), and
// each lies between the least and the greatest of its values.
SomatotypeSummary summariseSomatotypes(const std::vector<Somatotype> &somatotypes,
                                       const std::vector<qsizetype> &rows);

struct SomatotypeGroup {
    double key = 0; // the value of the grouping column its rows share
    QString name;   // as tables, files and legends name the group
    std::vector<qsizetype> rows;
    SomatotypeSummary summary;
};

// Two groups' means compared.
struct SomatotypeComparison {
    size_t first = 0; // indices into the groups, first < second
    size_t second = 0;
    double sdd = 0;
    double sad = 0;
    bool significant = false;
};

// The pairs of groups are not kept: there are n (n − 1) / 2 of them, which
// for thousands of groups would take more memory than all the rest. Whoever
// lists them compares each pair as it goes.
struct SomatotypeAnalysis {
    std::vector<SomatotypeGroup> groups; // in the order of groupRows
    SomatotypeSummary all;               // every rating, grouped or not
    qsizetype leftOut = 0;               // rows that are not complete
    qsizetype notRatings = 0;            // complete rows with a component of 0 or less
    qsizetype ungrouped = 0;             // ratings without a group
};

// The analysis of one somatotype per row; grouping, when given, holds every
// row's group (NaN: none).
SomatotypeAnalysis analyseSomatotypes(const std::vector<Somatotype> &somatotypes,
                                      const GroupingColumn *grouping = nullptr);

// How many pairs of groups there are.
size_t comparisonCount(const SomatotypeAnalysis &analysis);
// The means of groups first and second compared; the pairs are listed in the
// order first < second, first by first.
SomatotypeComparison compareGroups(const SomatotypeAnalysis &analysis, size_t first, size_t second);
