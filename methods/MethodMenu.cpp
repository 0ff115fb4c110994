#include "MethodMenu.h"

#include "MethodRows.h"

namespace {

struct Place {
    Menu::Group group;
    Names path;
    bool separatorBefore = false;
};

const std::vector<Place> &places()
{
    const char *const living = "Studium živého člověka";
    const char *const composition = "Složení lidského těla";
    const char *const skeleton = "Studium lidského skeletu";
    const char *const indices = "Antropometrické indexy";
    const char *const units = "Převody jednotek SI";
    static const std::vector<Place> table{
        {Menu::WeightHeightIndices, {living, "Hmotnostně výškové indexy"}},
        {Menu::BodySurface, {living}},
        {Menu::Proportionality, {living, "Index proporcionality (KEI)"}},
        {Menu::Matiegka, {living, composition, "Metody podle Matiegky"}},
        {Menu::JacksonPollock, {living, composition, "Množství podkožního tuku podle Jackson-Pollocka"}},
        {Menu::Parizkova, {living, composition, "Množství podkožního tuku podle Pařízkové"}},
        {Menu::DurninWomersley, {living, composition}},
        {Menu::Somatotype, {living}},
        {Menu::SkullIndices, {skeleton, indices}},
        {Menu::Modules, {skeleton, indices}, true},
        {Menu::Manouvrier, {skeleton, indices, "Objem lebky podle Manouvriera"}},
        {Menu::LeePearson, {skeleton, indices, "Objem lebky podle Lee a Pearsona"}},
        {Menu::BoneIndices, {skeleton, indices}, true},
        {Menu::Histometry,
         {skeleton, "Určení biologického původu nálezu", "Histometrická metoda podle Urbanová, Novotný"}},
        {Menu::PopulationAffinity, {skeleton, "Určení populační afinity"}},
        {Menu::Sex, {skeleton, "Určení pohlaví"}},
        {Menu::Age, {skeleton, "Odhad dožitého věku"}},
        {Menu::Length, {units, "Jednotky délky"}},
        {Menu::Angle, {units, "Úhlové jednotky"}},
        {Menu::Area, {units, "Jednotky plochy"}},
        {Menu::Volume, {units, "Jednotky objemu"}},
        {Menu::Mass, {units, "Jednotky hmotnosti"}},
        {Menu::Temperature, {units, "Jednotky teploty"}},
        {Menu::Pressure, {units, "Jednotky tlaku"}},
        {Menu::Force, {units, "Jednotky síly"}},
        {Menu::Energy, {units, "Jednotky energie"}},
        {Menu::Landmarks, {"Úprava prostorových dat"}},
    };
    return table;
}

} // namespace

const QList<MenuRun> &methodMenu()
{
    static const QList<MenuRun> runs = [] {
        QList<MenuRun> list;
        for (const Place &place : places()) {
            MenuRun run{{}, place.separatorBefore, {}};
            for (const char *title : place.path)
                run.path.append(QString::fromUtf8(title));
            for (const MethodRow *row : methodRows())
                if (row->menu == place.group)
                    run.ids.append(row->id);
            list.append(run);
        }
        return list;
    }();
    return runs;
}
