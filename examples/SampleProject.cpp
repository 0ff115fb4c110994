#include "SampleProject.h"

#include "TTableModel.h"

#include <QDir>

const std::vector<SampleSource> &sampleSources()
{
    static const std::vector<SampleSource> sources = {
        {QStringLiteral("lide.csv"),
         {
             {2, {"Hmotnost (kg)", "Výška (m)"}},
             {3, {"Obvod pasu (cm)", "Obvod boků (cm)"}},
             {11, {"Řasa na hrudníku (mm)", "Řasa na břiše (mm)", "Řasa na stehně (mm)"}},
             {22, {"Řasa subskapulární (mm)", "Řasa nad tricepsem (mm)", "Řasa nad bicepsem (mm)",
                   "Řasa suprailiakální (mm)", "Věk (roky)"}},
             {43, {"Řasa nad tricepsem (mm)", "Řasa subskapulární (mm)", "Řasa suprailiakální (mm)",
                   "Obvod paže kontrahované (cm)", "Maximální obvod lýtka (cm)",
                   "Šířka distální epifýzy femuru (cm)", "Šířka epikondylů humeru (cm)", "Výška (cm)",
                   "Hmotnost (kg)", "Řasa na lýtku (mm)"}},
         }},
        {QStringLiteral("lebky.csv"),
         {
             {23, {"M8 největší šířka lebky", "M1 největší délka lebky"}},
             {24, {"M17 výška basion-bregma", "M1 největší délka lebky"}},
             {26, {"M47 morfologická výška obličeje", "M45 bizygomatická šířka"}},
             {28, {"M54 šířka nosu", "M55 výška nosu"}},
             {30, {"M1 největší délka lebky", "M8 největší šířka lebky", "M17 výška basion-bregma"}},
             {47, {"M40 délka obličeje", "M1 největší délka lebky", "M8 největší šířka lebky",
                   "M17 výška basion-bregma", "M5 délka báze lebky", "M45 bizygomatická šířka",
                   "M48 výška horního obličeje", "M54 šířka nosu"}},
         }},
        {QStringLiteral("osteony.csv"),
         {
             {44, {"Minimální průměr Haversova kanálku (µm)", "Minimální průměr osteonu (µm)",
                   "Obsah osteonu (µm²)", "Obsah Haversova kanálku (µm²)",
                   "Maximální průměr Haversova kanálku (µm)", "Maximální průměr osteonu (µm)",
                   "Obvod Haversova kanálku (µm)"}},
             {45, {"Počet osteonů v 1 mm²", "Maximální průměr Haversova kanálku (µm)",
                   "Obsah Haversova kanálku (µm²)"}},
             {46, {"Minimální průměr Haversova kanálku (µm)", "Obsah Haversova kanálku (µm²)",
                   "Maximální průměr Haversova kanálku (µm)", "Minimální průměr osteonu (µm)",
                   "Obsah osteonu (µm²)"}},
         }},
        {QStringLiteral("zuby.csv"),
         {
             {51, {"Abraze skloviny (A)", "Sekundární dentin (D)", "Sekundární cement (C)",
                   "Transparence kořene (T)", "Resorpce kořene (R)"}},
             {52, {"Abraze skloviny (A)", "Sekundární dentin (D)", "Sekundární cement (C)",
                   "Resorpce kořene (R)"}},
         }},
        {QStringLiteral("landmarky-2d.csv"),
         {
             // The height of the ramus and the gonial angle.
             {97, {"Condylion x", "Condylion y", "Gonion x", "Gonion y"}},
             {99, {"Condylion x", "Condylion y", "Menton x", "Menton y", "Gonion x", "Gonion y"}},
         }},
        {QStringLiteral("landmarky-3d.csv"),
         {
             // The breadth between the porions and the height of nasion over
             // the Frankfurt plane.
             {98, {"Porion L x", "Porion L y", "Porion L z", "Porion P x", "Porion P y", "Porion P z"}},
             {105, {"Porion L x", "Porion L y", "Porion L z", "Porion P x", "Porion P y", "Porion P z",
                    "Orbitale L x", "Orbitale L y", "Orbitale L z", "Nasion x", "Nasion y", "Nasion z"}},
         }},
    };
    return sources;
}

namespace {

std::unique_ptr<ProjectNode> ownedNode(TTableModel *table)
{
    auto node = std::make_unique<ProjectNode>();
    node->table = table;
    node->ownsTable = true;
    return node;
}

} // namespace

bool buildSampleProject(const QString &folder, ProjectTree *roots, QString *error)
{
    roots->clear();
    const QDir dir(folder);
    for (const SampleSource &source : sampleSources()) {
        auto root = ownedNode(new TTableModel(nullptr));
        root->isDataNode = true;
        root->sourceFileName = source.file;
        if (!root->table->loadCsv(dir.filePath(source.file))) {
            *error = QStringLiteral("cannot read %1").arg(dir.filePath(source.file));
            return false;
        }
        for (const SampleMethod &method : source.methods) {
            std::vector<int> columns;
            for (const QString &name : method.columns) {
                const int column = int(root->table->headers().indexOf(name));
                if (column < 0) {
                    *error = QStringLiteral("%1 has no column \"%2\"").arg(source.file, name);
                    return false;
                }
                columns.push_back(column);
            }
            auto result = ownedNode(new TTableModel(root->table));
            if (!result->table->applyMethod(method.id, columns)) {
                *error = QStringLiteral("method %1 refused the columns of %2").arg(method.id).arg(source.file);
                return false;
            }
            root->children.push_back(std::move(result));
        }
        roots->push_back(std::move(root));
    }
    return true;
}
