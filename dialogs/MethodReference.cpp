#include "MethodReference.h"

#include "MethodCatalog.h"
#include "Verdicts.h"

#include <QLocale>

#include <map>

#ifndef KOSTIMER_VERSION
#define KOSTIMER_VERSION "?"
#endif

namespace {

struct Entry {
    const char *formula;
    const char *limits;
    const char *literature;
};

// The texts of the reference, by catalog id. In a formula, x0, x1, ... are the
// inputs in the order of the list above it. Unit conversions are not listed:
// their formula is read off their own routine.
const std::map<int, Entry> &entries()
{
    static const std::map<int, Entry> table{
        {0, {"(x0 · 10) / x1", "", ""}},
        {1, {"(x0 · 100 000) / x1³", "", ""}},
        {2, {"x0 / x1²", "", ""}},
        {3,
         {"x0 / x1",
          "Muži: pod 0,85 spíše periferní; 0,85 až pod 0,9 vyrovnaná; 0,9 až 0,94 spíše centrální; nad 0,94 "
          "centrální (riziková).\nŽeny: pod 0,75 spíše periferní; 0,75 až pod 0,8 vyrovnaná; 0,8 až 0,84 spíše "
          "centrální; nad 0,84 centrální (riziková).",
          ""}},
        {4, {"(x1 + x2) · (2 · x3 − 16 · x0 + 18,1) / (10 · x4)", "", ""}},
        {5, {"(x1 + x2) · (2 · x3 − 15 · x0 + 18,6) / (20 · x4)", "", ""}},
        {6, {"71,48 · x0^0,425 · x1^0,725", "", ""}},
        {23, {"100 · x0 / x1", "do 75 včetně dolichokranní; nad 75 do 80 včetně mesokranní; nad 80 brachykranní", ""}},
        {24, {"100 · x0 / x1", "pod 70 chamaekranní; 70 až pod 75 orthokranní; od 75 hypsikranní", ""}},
        {25, {"100 · x0 / x1", "pod 92 tapeinokranní; 92 až pod 98 metriokranní; od 98 akrokranní", ""}},
        {26,
         {"100 · x0 / x1",
          "pod 80 hypereuryprosopní; 80 až pod 85 euryprosopní (nízký obličej); 85 až pod 90 mesoprosopní "
          "(středně vysoký obličej); 90 až pod 95 leptoprosopní (vysoký obličej); od 95 hyper leptoprosopní",
          ""}},
        {27,
         {"100 · x0 / x1",
          "pod 45 hypereuryenní; 45 až pod 50 euryenní (nízký horní obličej); 50 až pod 55 mesenní (středně "
          "vysoký horní obličej); 55 až pod 60 leptenní (vysoký horní obličej); od 60 hyperleptenní",
          ""}},
        {28,
         {"100 · x0 / x1",
          "pod 47 leptorhinní (úzkonosý); 47 až pod 51 mesorhinní (středně širokonosý); 51 až pod 58 chamaerhinní "
          "(širokonosý); od 58 bez hodnocení",
          ""}},
        {29, {"100 · x0 / x1", "pod 98 orthognátní; 98 až pod 103 mesognátní; od 103 prognátní", ""}},
        {30, {"(x0 + x1 + x2) / 3", "", ""}},
        {31, {"(x0 + x1 + x2) / 3", "", ""}},
        {32, {"x0 · x1 · x2 / 2,28", "", ""}},
        {33, {"x0 · x1 · x2 / 2,16", "", ""}},
        {34, {"0,000266 · x0 · x1 · x2 + 524,6", "", ""}},
        {35, {"0,000156 · x0 · x1 · x2 + 812", "", ""}},
        {36, {"(x0 + x1) / x2 (bez násobení stem)", "", ""}},
        {37, {"(x0 + x1) / x2 (bez násobení stem)", "", ""}},
        {38, {"100 · x0 / x1", "", ""}},
        {39, {"100 · x0 / x1", "", ""}},
        {41, {"100 · x0 / x1", "", ""}},
        {42, {"100 · x0 / x1", "", ""}},
        {97, {"√((x2 − x0)² + (x3 − x1)²)", "", ""}},
        {98, {"√((x3 − x0)² + (x4 − x1)² + (x5 − x2)²)", "", ""}},
    };
    return table;
}

const Entry *entryOf(int id)
{
    const auto found = entries().find(id);
    return found == entries().end() ? nullptr : &found->second;
}

QString number(double value)
{
    return QLocale().toString(value, 'g', 12);
}

// A unit conversion is y = a · x + b: its routine run on 0 and on 1 tells a and b.
QString conversionFormula(const MethodRecord &record)
{
    cv::Mat input(2, 1, CV_64F);
    input.at<double>(0, 0) = 0.0;
    input.at<double>(1, 0) = 1.0;
    const cv::Mat result = computeResult(record, input);
    if (result.rows != 2 || result.cols < 2)
        return QString();
    const double b = result.at<double>(0, 1);
    const double a = result.at<double>(1, 1) - b;
    QString text = QStringLiteral("x0 · ") + number(a);
    if (b > 0)
        text += QStringLiteral(" + ") + number(b);
    else if (b < 0)
        text += QStringLiteral(" − ") + number(-b);
    return text;
}

QString escaped(const QString &text)
{
    return text.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>"));
}

} // namespace

const QList<MethodReferenceGroup> &methodReferenceGroups()
{
    auto u = [](const char *text) { return QString::fromUtf8(text); };
    auto range = [](int first, int last) {
        QList<int> ids;
        for (int id = first; id <= last; ++id)
            ids.append(id);
        return ids;
    };
    const QString living = u("Studium živého člověka");
    const QString composition = u("Složení lidského těla");
    const QString skeleton = u("Studium lidského skeletu");
    const QString indices = u("Antropometrické indexy");
    const QString units = u("Převody jednotek SI");
    static const QList<MethodReferenceGroup> groups{
        {{living, u("Hmotnostně výškové indexy")}, {0, 1, 2, 3}},
        {{living}, {6}},
        {{living, u("Index proporcionality (KEI)")}, {4, 5}},
        {{living, composition, u("Metody podle Matiegky")}, {7, 8, 9}},
        {{living, composition, u("Množství podkožního tuku podle Jackson-Pollocka")}, {11, 10, 14, 15, 12, 13}},
        {{living, composition, u("Množství podkožního tuku podle Pařízkové")}, range(16, 21)},
        {{living, composition}, {22}},
        {{living}, {43}},
        {{skeleton, indices}, range(23, 31)},
        {{skeleton, indices, u("Objem lebky podle Manouvriera")}, {32, 33}},
        {{skeleton, indices, u("Objem lebky podle Lee a Pearsona")}, {34, 35}},
        {{skeleton, indices}, range(36, 42)},
        {{skeleton, u("Určení biologického původu nálezu"), u("Histometrická metoda podle Urbanová, Novotný")},
         {44, 45, 46}},
        {{skeleton, u("Určení populační afinity")}, {47}},
        {{skeleton, u("Určení pohlaví")}, {48, 49, 50}},
        {{skeleton, u("Odhad dožitého věku")}, {51, 52}},
        {{units, u("Jednotky délky")}, range(53, 61)},
        {{units, u("Úhlové jednotky")}, range(62, 64)},
        {{units, u("Jednotky plochy")}, range(65, 74)},
        {{units, u("Jednotky objemu")}, range(75, 81)},
        {{units, u("Jednotky hmotnosti")}, range(82, 86)},
        {{units, u("Jednotky teploty")}, range(87, 88)},
        {{units, u("Jednotky tlaku")}, range(89, 93)},
        {{units, u("Jednotky síly")}, {94}},
        {{units, u("Jednotky energie")}, range(95, 96)},
        {{u("Úprava prostorových dat")}, {97, 98, 99, 101, 102, 105}},
        {{u("Mimo kontextovou nabídku")}, {106, 107, 108}},
    };
    return groups;
}

QString methodFormula(int id)
{
    if (!isRegisteredMethod(id))
        return QString();
    const MethodRecord &record = MethodCatalog[size_t(id)];
    if (record.kind == UnitConversion && record.inputCount == 1 && record.compute)
        return conversionFormula(record);
    const Entry *entry = entryOf(id);
    return entry ? QString::fromUtf8(entry->formula) : QString();
}

QString methodClassLimits(int id)
{
    const Entry *entry = entryOf(id);
    return entry ? QString::fromUtf8(entry->limits) : QString();
}

QString methodLiterature(int id)
{
    const Entry *entry = entryOf(id);
    return entry ? QString::fromUtf8(entry->literature) : QString();
}

QString methodReferenceHtml(int id)
{
    if (!isRegisteredMethod(id))
        return QString();
    const MethodRecord &record = MethodCatalog[size_t(id)];
    QString html = QStringLiteral("<h2>") + escaped(record.title) + QStringLiteral("</h2>");
    if (!record.description.isEmpty() && record.description != record.title)
        html += QStringLiteral("<p>") + escaped(record.description) + QStringLiteral("</p>");

    html += QStringLiteral("<h3>Vstupy</h3><ul>");
    for (int i = 0; i < record.inputCount && i < record.columns.size(); ++i)
        html += QStringLiteral("<li>x%1: %2</li>").arg(i).arg(escaped(record.columns.at(i)));
    html += QStringLiteral("</ul><h3>Výstupy</h3><ul>");
    for (int i = record.inputCount; i < record.columns.size(); ++i) {
        html += QStringLiteral("<li>") + escaped(record.columns.at(i));
        if (isVerdictColumn(id, i))
            html += QString::fromUtf8(" (slovní hodnocení)");
        html += QStringLiteral("</li>");
    }
    html += QStringLiteral("</ul>");

    const QString formula = methodFormula(id);
    html += QString::fromUtf8("<h3>Výpočet</h3><p>")
            + (formula.isEmpty() ? QString::fromUtf8("<i>Popis výpočtu zatím chybí.</i>") : escaped(formula))
            + QStringLiteral("</p>");
    const QString limits = methodClassLimits(id);
    if (!limits.isEmpty())
        html += QString::fromUtf8("<h3>Hranice tříd</h3><p>") + escaped(limits) + QStringLiteral("</p>");
    const QString literature = methodLiterature(id);
    if (!literature.isEmpty())
        html += QStringLiteral("<h3>Literatura</h3><p>") + escaped(literature) + QStringLiteral("</p>");
    return html;
}

QString methodSearchText(int id)
{
    if (!isRegisteredMethod(id))
        return QString();
    const MethodRecord &record = MethodCatalog[size_t(id)];
    return QStringList{record.title, record.description, record.columns.join(u' '), methodFormula(id),
                       methodClassLimits(id), methodLiterature(id)}
        .join(u'\n');
}

QString aboutText()
{
    return QString::fromUtf8("<h2>Kostimer</h2><p>Verze %1</p>"
                             "<p>Kalkulátor pro fyzickou a biologickou antropologii.</p>")
        .arg(QStringLiteral(KOSTIMER_VERSION));
}
