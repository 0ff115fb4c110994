#include "MethodCatalog.h"

#include "MatrixRules.h"

std::vector<MethodRecord> MethodCatalog;

void buildMethodCatalog()
{
    MethodCatalog.assign(MethodCatalogSize, MethodRecord());
    registerFormulaMethods();
    registerUnitConversions();
    registerSpatialMethods();

    // Placeholders that convert nothing; no menu offers them.
    const struct {
        qint32 id;
        const char *title;
        MethodKind kind;
    } placeholders[] = {
        {106, "Převody délk. jednotek", UnitConversion},
        {107, "Převody objem. jednotek", UnitConversion},
        {108, "Rotace v prostoru", Spatial},
    };
    for (const auto &p : placeholders) {
        MethodRecord &r = MethodCatalog[p.id];
        r.title = QString::fromUtf8(p.title);
        r.description.clear();
        r.id = p.id;
        r.kind = p.kind;
        r.columns = {QStringLiteral("Zdroj"), QStringLiteral("Zdroj2")};
        r.inputCount = 2;
        r.compute = passThrough;
    }
}

MethodKind kindOf(qint32 id)
{
    // Source tables and user functions; a negative id names nothing either.
    if (id >= MethodCatalogSize || id < 0)
        return Custom;
    return MethodCatalog[id].kind;
}

cv::Mat computeResult(const MethodRecord &record, const cv::Mat &input)
{
    if (input.rows > 0)
        return record.compute(input);
    const cv::Mat oneRow(1, input.cols, CV_64F, cv::Scalar(0.0));
    return cv::Mat(0, record.compute(oneRow).cols, CV_64F);
}

bool isRegisteredMethod(qint32 id)
{
    return id >= 0 && id < qint32(MethodCatalog.size()) && MethodCatalog[id].id == id;
}

void registerFormula(const char *title, const char *description, qint32 id, qint32 inputCount,
                     ComputeFn compute)
{
    MethodRecord r;
    r.title = QString::fromUtf8(title);
    r.description = QString::fromUtf8(description);
    r.id = id;
    r.kind = Formula;
    r.inputCount = inputCount;
    r.compute = compute;
    MethodCatalog[id] = r;
}

void registerUnitConversion(const char *title, qint32 id, ComputeFn compute, const char *inputName,
                            const char *outputName)
{
    MethodRecord r;
    r.title = QString::fromUtf8(title);
    r.description = r.title;
    r.id = id;
    r.kind = UnitConversion;
    r.columns = {QString::fromUtf8(inputName), QString::fromUtf8(outputName)};
    r.inputCount = 1;
    r.compute = compute;
    MethodCatalog[id] = r;
}

void registerSpatial(const char *title, qint32 id, qint32 inputCount, ComputeFn compute)
{
    MethodRecord r;
    r.title = QString::fromUtf8(title);
    r.description = r.title;
    r.id = id;
    r.kind = Spatial;
    r.inputCount = inputCount;
    r.compute = compute;
    MethodCatalog[id] = r;
}

void appendNames(QStringList &list, std::initializer_list<const char *> names)
{
    for (const char *name : names)
        list.append(QString::fromUtf8(name));
}
