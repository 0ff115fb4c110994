#include "MethodCatalog.h"

#include "MatrixRules.h"
#include "MethodRows.h"

std::vector<MethodRecord> MethodCatalog;

namespace {

QStringList decoded(const Names &names)
{
    QStringList list;
    for (const char *name : names)
        list.append(QString::fromUtf8(name));
    return list;
}

} // namespace

const std::vector<const MethodRow *> &methodRows()
{
    static const std::vector<const MethodRow *> rows = [] {
        std::vector<const MethodRow *> all;
        for (const auto *family : {&bodyBuildMethods(), &bodyCompositionMethods(), &skullMethods(),
                                   &somatotypeMethods(), &determinationMethods(), &unitConversionMethods(),
                                   &spatialMethods(), &placeholderMethods()})
            for (const MethodRow &row : *family)
                all.push_back(&row);
        return all;
    }();
    return rows;
}

const MethodRow *methodRow(qint32 id)
{
    static const std::vector<const MethodRow *> byId = [] {
        std::vector<const MethodRow *> table(MethodCatalogSize, nullptr);
        for (const MethodRow *row : methodRows())
            table[size_t(row->id)] = row;
        return table;
    }();
    return id >= 0 && id < MethodCatalogSize ? byId[size_t(id)] : nullptr;
}

const std::vector<MethodRow> &placeholderMethods()
{
    // Slots that convert nothing; no menu offers them.
    static const std::vector<MethodRow> rows = [] {
        const struct {
            qint32 id;
            MethodKind kind;
            const char *title;
        } placeholders[] = {
            {106, UnitConversion, "Převody délk. jednotek"},
            {107, UnitConversion, "Převody objem. jednotek"},
            {108, Spatial, "Rotace v prostoru"},
        };
        std::vector<MethodRow> list;
        for (const auto &p : placeholders)
            list.push_back({p.id, Menu::None, p.title, "", {"Zdroj", "Zdroj2"}, {}, passThrough,
                            "zástupná položka: nic nepočítá, vstup (x0, x1) se předává beze změny",
                            "Bez literárního zdroje (zástupná položka)", {}, false, p.kind});
        return list;
    }();
    return rows;
}

void buildMethodCatalog()
{
    MethodCatalog.assign(MethodCatalogSize, MethodRecord());
    for (const MethodRow *row : methodRows()) {
        MethodRecord &r = MethodCatalog[size_t(row->id)];
        r.title = QString::fromUtf8(row->title);
        r.description = row->description ? QString::fromUtf8(row->description) : r.title;
        r.id = row->id;
        r.kind = row->kind;
        r.columns = decoded(row->inputs) + decoded(row->outputs);
        r.inputCount = qint32(row->inputs.size());
        r.compute = row->compute;
        r.wholeTable = row->wholeTable;
    }
}

MethodKind kindOf(qint32 id)
{
    // Source tables and user functions; a negative id names nothing either.
    if (id >= MethodCatalogSize || id < 0 || id == SourceDataType)
        return Custom;
    return MethodCatalog[id].kind;
}

cv::Mat computeResult(const MethodRecord &record, const cv::Mat &input)
{
    return computeCompleteRows(input, [&record](const cv::Mat &rows) {
        if (rows.rows > 0)
            return record.compute(rows);
        const cv::Mat oneRow(1, rows.cols, CV_64F, cv::Scalar(0.0));
        return cv::Mat(0, record.compute(oneRow).cols, CV_64F);
    });
}

bool isRegisteredMethod(qint32 id)
{
    return id >= 0 && id < qint32(MethodCatalog.size()) && MethodCatalog[id].id == id;
}
