#pragma once
// The fixed catalog of the method slots: texts, column names and the compute
// routine of every method, built once at start and read-only after. Slots 0
// to 108 are the original catalog, slot 109 is the type of an imported table
// and never a method, and the methods added later take 110 and up.

#include <QString>
#include <QStringList>

#include <opencv2/core.hpp>

#include <vector>

// Takes the input matrix (the method's inputs in catalog order) and returns the
// inputs followed by the computed columns.
using ComputeFn = cv::Mat (*)(const cv::Mat &);

enum MethodKind : qint32 {
    UnitConversion = 0,
    Formula = 1,
    Spatial = 2,
    Custom = 3, // never stored in a record: source tables and user functions
};

struct MethodRecord {
    QString title;
    QString description;
    qint32 id = -1; // -1 marks an empty slot
    MethodKind kind = Formula;
    QStringList columns; // input names, then output names
    qint32 inputCount = 0;
    ComputeFn compute = nullptr;
    // The rows are one whole (a configuration of landmarks) and are computed
    // together; every other method computes each row on its own.
    bool wholeTable = false;
};

// Every id below it has a slot; ids from it up name no method.
constexpr qint32 MethodCatalogSize = 113;
// The type of an imported source table: a slot of the catalog that never
// holds a method (project files store it as the type of their source tables).
constexpr qint32 SourceDataType = 109;

// Ids the program names. The formula methods are the ids below the first
// unit conversion and the ids from FirstAddedMethodId up.
constexpr qint32 HeathCarterId = 43; // its table opens the somatochart
constexpr qint32 FirstUnitConversionId = 53;
constexpr qint32 FirstAddedMethodId = 110;
constexpr qint32 DurninWomersleyMenId = 110;
constexpr qint32 DurninWomersleyWomenId = 111;
constexpr qint32 HeathCarter2002Id = 112; // endomorphy corrected for height

// A somatotype table: the last three columns are endomorphy, mesomorphy and
// ectomorphy, and the table opens the somatochart.
constexpr bool isHeathCarter(qint32 id)
{
    return id == HeathCarterId || id == HeathCarter2002Id;
}

extern std::vector<MethodRecord> MethodCatalog;

// Fills the slots from the rows of MethodRows.h. Called once before anything
// reads the catalog.
void buildMethodCatalog();

// The kind of the method of the id; Custom for the source type, for user
// functions and for ids outside the catalog.
MethodKind kindOf(qint32 id);

// Runs the record's routine on the input matrix. Every caller goes through
// here: a table with no rows gives a result with no rows and the routine's
// full width (OpenCV's matrix expressions refuse empty operands, so the
// routine itself is run on one row of zeros to learn that width), and a row
// with a missing (NaN) input gets missing outputs (computeCompleteRows).
cv::Mat computeResult(const MethodRecord &record, const cv::Mat &input);

// True for an id of the catalog whose slot holds a method.
bool isRegisteredMethod(qint32 id);
