#pragma once
// The rows the catalog is made of, one table per family of methods. A row is
// the one place a method is written down: its id, its place in the menu, its
// texts and columns, its routine, how the reference describes it, its
// literature and the class limits of its verdict columns.

#include "MethodCatalog.h"

#include <vector>

using Names = std::vector<const char *>;

namespace Menu {
// The runs of methods in the menu, each in one submenu; MethodMenu.cpp gives
// their submenus and order. Within a run the methods keep their rows' order.
enum Group {
    WeightHeightIndices,
    BodySurface,
    Proportionality,
    Matiegka,
    JacksonPollock,
    Parizkova,
    DurninWomersley,
    Somatotype,
    SkullIndices,
    Modules,
    Manouvrier,
    LeePearson,
    BoneIndices,
    Histometry,
    PopulationAffinity,
    Sex,
    Age,
    Length,
    Angle,
    Area,
    Volume,
    Mass,
    Temperature,
    Pressure,
    Force,
    Energy,
    Landmarks,
    None, // no menu offers the method
};
} // namespace Menu

// One test of a chain: x < bound, or x <= bound when inclusive.
struct VerdictStep {
    bool inclusive;
    double bound;
    const char *text;
};

enum class VerdictRule {
    Chain,            // the text of the first step the value passes, else the chain's last class
    Equal,            // value == bound gives the first class, anything else the second
    Above,            // value > bound
    AtLeast,          // value >= bound
    MagnitudeAtLeast, // |value| >= |second value read|
    PopulationGroup,  // the Giles and Elliot groups from D, W-N and W-In
};

// The Giles and Elliot population groups of one sex: I above or below its
// limit; above it N against the line slope · I + intercept, below it against
// the level. Above gives the first group, below the second or the third.
struct PopulationSet {
    double limit;
    double slope;
    double intercept;
    double level;
};

// The set of a male skull (D at or above the sectioning point) and of a
// female one (D below it, or not a number).
struct PopulationSets {
    double sectioningPoint;
    PopulationSet male;
    PopulationSet female;
};

// A verdict column of a method, made by one of the functions below. A value
// that is not a number passes no test.
struct VerdictColumn {
    int column;             // data column of the verdict
    std::vector<int> reads; // data columns it reads, the tested value first
    VerdictRule rule;
    std::vector<VerdictStep> steps; // a chain's, its lowest class first
    Names classes;                  // every class, those of the steps first; "" is no class
    double bound = 0.0;
    const PopulationSets *populations = nullptr;
    const char *label = nullptr;  // the class limits begin "label: "
    const char *limits = nullptr; // the class limits of a rule other than a chain
};

// A chain on the value in data column reads; beyond the last step, and for a
// value that is not a number, the class `otherwise` ("" for no class).
VerdictColumn chainVerdict(int column, int reads, std::vector<VerdictStep> steps, const char *otherwise,
                           const char *label = nullptr);
// Two classes, the first for a value that passes the test against bound. In
// `limits` %1 stands for the bound, %2 and %3 for the classes.
VerdictColumn testVerdict(int column, std::vector<int> reads, VerdictRule test, double bound, Names classes,
                          const char *label, const char *limits);
// The population group from D, W-N and W-In; `limits` holds %1 and %2 for
// the limits of the male and the female set.
VerdictColumn populationVerdict(int column, std::vector<int> reads, const PopulationSets &sets, Names classes,
                                const char *limits);

struct MethodRow {
    qint32 id;
    Menu::Group menu;
    const char *title;
    const char *description; // nullptr: the title again
    Names inputs;
    Names outputs; // the verdict columns among them
    ComputeFn compute;
    // How the reference describes the routine, x0, x1, ... being the inputs;
    // nullptr for a unit conversion, whose formula is read off its routine.
    const char *formula;
    const char *literature;
    std::vector<VerdictColumn> verdicts = {};
    bool wholeTable = false; // see MethodRecord
    MethodKind kind = Formula;
};

// The families, each in its own file.
const std::vector<MethodRow> &bodyBuildMethods();       // 0 to 6
const std::vector<MethodRow> &bodyCompositionMethods(); // 7 to 22, 110 and 111
const std::vector<MethodRow> &skullMethods();           // 23 to 42
const std::vector<MethodRow> &somatotypeMethods();      // 43 and 112
const std::vector<MethodRow> &determinationMethods();   // 44 to 52
const std::vector<MethodRow> &unitConversionMethods();  // 53 to 96
const std::vector<MethodRow> &spatialMethods();         // 97 to 105
const std::vector<MethodRow> &placeholderMethods();     // 106 to 108

// Every row, family by family.
const std::vector<const MethodRow *> &methodRows();
// The row of the id; nullptr for an id without a method.
const MethodRow *methodRow(qint32 id);
