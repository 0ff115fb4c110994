#pragma once
// The somatotype analysis papers report, as the Heath-Carter instruction
// manual defines it (Carter 2002): each somatotype's point on the somatochart
// and its category; for a sample and its groups the mean somatotype with the
// spread of the members about it (SAM, SDI); and how far apart the means of
// two groups lie (SDD, SAD).
//
// A row with a component that is no finite number (NaN, or an infinity no
// physique has) takes no part anywhere: it has no point and no category,
// counts in no n and belongs to no group.

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

// The manual's thirteen categories. None: a somatotype that is not complete.
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

// The summary of the rows listed, all of them complete.
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

struct SomatotypeAnalysis {
    std::vector<SomatotypeGroup> groups; // in the order of groupRows
    SomatotypeSummary all;               // every complete row, grouped or not
    std::vector<SomatotypeComparison> comparisons; // every pair of groups, in order
    qsizetype leftOut = 0;               // rows that are not complete
    qsizetype ungrouped = 0;             // complete rows without a group
};

// The analysis of one somatotype per row; grouping, when given, holds every
// row's group (NaN: none).
SomatotypeAnalysis analyseSomatotypes(const std::vector<Somatotype> &somatotypes,
                                      const GroupingColumn *grouping = nullptr);
