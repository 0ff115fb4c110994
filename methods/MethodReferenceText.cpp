#include "MethodReferenceText.h"

#include "MethodMenu.h"
#include "MethodRows.h"
#include "Verdicts.h"

#include <QLocale>

namespace {

QString number(double value)
{
    return QLocale().toString(value, 'g', 12);
}

// A unit conversion is y = a · x + b: its routine run on 0 and on 1 tells a and b.
QString conversionFormula(ComputeFn compute)
{
    cv::Mat input(2, 1, CV_64F);
    input.at<double>(0, 0) = 0.0;
    input.at<double>(1, 0) = 1.0;
    const cv::Mat result = compute(input);
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
    static const QList<MethodReferenceGroup> groups = [] {
        QList<MethodReferenceGroup> list;
        for (const MenuRun &run : methodMenu()) {
            // A separator does not split a submenu's methods.
            if (!list.isEmpty() && list.last().path == run.path)
                list.last().ids += run.ids;
            else
                list.append({run.path, run.ids});
        }
        MethodReferenceGroup outside{{QStringLiteral("Mimo kontextovou nabídku")}, {}};
        for (const MethodRow *row : methodRows())
            if (row->menu == Menu::None)
                outside.ids.append(row->id);
        list.append(outside);
        return list;
    }();
    return groups;
}

QString methodFormula(int id)
{
    if (!isRegisteredMethod(id))
        return QString();
    const MethodRow *row = methodRow(id);
    return row->formula ? QString::fromUtf8(row->formula) : conversionFormula(row->compute);
}

QString methodClassLimits(int id)
{
    return verdictLimits(id);
}

QString methodLiterature(int id)
{
    const MethodRow *row = methodRow(id);
    return row ? QString::fromUtf8(row->literature) : QString();
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
            html += QStringLiteral(" (slovní hodnocení)");
        html += QStringLiteral("</li>");
    }
    html += QStringLiteral("</ul>");

    const QString formula = methodFormula(id);
    html += QStringLiteral("<h3>Výpočet</h3><p>")
            + (formula.isEmpty() ? QStringLiteral("<i>Popis výpočtu zatím chybí.</i>") : escaped(formula))
            + QStringLiteral("</p>");
    const QString limits = methodClassLimits(id);
    if (!limits.isEmpty())
        html += QStringLiteral("<h3>Hranice tříd</h3><p>") + escaped(limits) + QStringLiteral("</p>");
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

const QList<ReferenceTopic> &referenceTopics()
{
    static const QList<ReferenceTopic> topics{ReferenceTopic::DescriptiveStatistics,
                                              ReferenceTopic::SomatotypeAnalysis, ReferenceTopic::MeasurementError};
    return topics;
}

QStringList topicPath()
{
    return {QStringLiteral("Statistika vzorku")};
}

QString topicTitle(ReferenceTopic topic)
{
    switch (topic) {
    case ReferenceTopic::DescriptiveStatistics:
        return QStringLiteral("Popisná statistika");
    case ReferenceTopic::SomatotypeAnalysis:
        return QStringLiteral("Analýza somatotypů (SAM, SDI, SDD)");
    case ReferenceTopic::MeasurementError:
        return QStringLiteral("Chyba měření (TEM, R, ICC)");
    }
    return QString();
}

QString topicFormula(ReferenceTopic topic)
{
    switch (topic) {
    case ReferenceTopic::DescriptiveStatistics:
        return QStringLiteral(
            "Pro každý sloupec zaškrtnutých řádků, pro každou skupinu i pro všechny řádky spolu:\n"
            "n = počet hodnot; pole, které chybí nebo není číslo (i nan), se nepočítá\n"
            "průměr x̄ = Σ xᵢ / n\n"
            "směrodatná odchylka s = √(Σ (xᵢ − x̄)² / (n − 1)) (výběrová; pro n = 1 neexistuje)\n"
            "medián = prostřední z hodnot seřazených podle velikosti, při sudém n průměr dvou prostředních\n"
            "minimum, maximum = nejmenší a největší hodnota\n"
            "Sloupec se slovním hodnocením: počet řádků v každé třídě a jeho podíl v procentech ze všech "
            "řádků skupiny (řádky bez hodnocení zvlášť).\n"
            "Skupiny: řádky se stejnou hodnotou zvoleného sloupce, vzestupně podle hodnoty; řádek bez čísla "
            "v tomto sloupci patří jen mezi všechny řádky. Statistika, která neexistuje, je prázdné pole.");
    case ReferenceTopic::SomatotypeAnalysis:
        return QStringLiteral(
            "Somatotyp I–II–III = endomorfie–mezomorfie–ektomorfie (poslední tři sloupce výsledku "
            "Heath-Carter). Počítají se všechny řádky, zaškrtnuté i ne, jako je kreslí graf; řádek, kterému "
            "některá složka chybí nebo není číslem, se nekreslí ani nepočítá.\n"
            "Bod somatografu: X = III − I, Y = 2 · II − (I + III)\n"
            "SAD (vzdálenost dvou somatotypů v prostoru složek) = √((I₁ − I₂)² + (II₁ − II₂)² + "
            "(III₁ − III₂)²)\n"
            "SDD (vzdálenost dvou bodů somatografu) = √(3 · (X₁ − X₂)² + (Y₁ − Y₂)²)\n"
            "Skupina o n somatotypech: průměrný somatotyp = průměry složek; jeho X a Y jsou zároveň průměry "
            "X a Y členů\n"
            "SAM = Σ SAD(somatotyp, průměrný somatotyp) / n\n"
            "SDI = Σ SDD(bod, průměrný bod) / n\n"
            "Dvě skupiny: SDD a SAD jejich průměrných somatotypů; SDD ≥ 2 znamená významný rozdíl.");
    case ReferenceTopic::MeasurementError:
        return QStringLiteral(
            "Proměnná změřená na každém z n jedinců K-krát (K ≥ 2 měřičů nebo sezení), x_ij = j-té měření "
            "jedince i, x̄_i průměr jedince, x̄ průměr všech n · K hodnot; řádek, kterému některé měření "
            "chybí, se vynechá.\n"
            "TEM = √(Σᵢ Σⱼ (x_ij − x̄_i)² / (n (K − 1))), pro K = 2 TEM = √(Σ d² / 2n), d rozdíl dvou měření\n"
            "relativní TEM (%) = 100 · TEM / x̄\n"
            "R (koeficient spolehlivosti) = 1 − TEM² / s², s výběrová směrodatná odchylka všech n · K hodnot\n"
            "ICC(2,1) (dvoufaktorový model s náhodnými efekty, absolutní shoda, jedno měření) = (MSR − MSE) / "
            "(MSR + (K − 1) · MSE + K · (MSC − MSE) / n), MSR, MSC a MSE průměrné čtverce jedinců, měření "
            "a chyby dvoufaktorové analýzy rozptylu\n"
            "95% interval ICC: a = K · ρ / (n (1 − ρ)), b = 1 + K · ρ · (n − 1) / (n (1 − ρ)), "
            "v = (a · MSC + b · MSE)² / ((a · MSC)² / (K − 1) + (b · MSE)² / ((n − 1)(K − 1))); "
            "dolní mez = n (MSR − F₁ · MSE) / (F₁ (K · MSC + (K n − K − n) MSE) + n · MSR), F₁ = 97,5% kvantil "
            "F(n − 1, v); horní mez = n (F₂ · MSR − MSE) / (K · MSC + (K n − K − n) MSE + n · F₂ · MSR), "
            "F₂ = 97,5% kvantil F(v, n − 1)\n"
            "Pro K = 2 Bland-Altmanův graf: rozdíl d = 2. − 1. měření proti průměru obou měření, průměr "
            "rozdílů d̄ a meze shody d̄ ± 1,96 · s_d.\n"
            "R a ICC hodnot, které se neliší (s = 0), neexistují; méně než dva úplné řádky nedají nic.");
    }
    return QString();
}

QString topicClassLimits(ReferenceTopic topic)
{
    if (topic != ReferenceTopic::SomatotypeAnalysis)
        return QString();
    return QStringLiteral(
        "Dvě složky se považují za stejné, liší-li se nejvýš o 0,5. Kategorie (I endomorfie, II mezomorfie, "
        "III ektomorfie):\n"
        "centrální: žádná složka se od ostatních neliší o víc než 1;\n"
        "vyrovnaný endomorf: převládá I, II a III stejné;\n"
        "mezomorfní endomorf: převládá I, II větší než III;\n"
        "mezomorf-endomorf: I a II stejné, III menší;\n"
        "endomorfní mezomorf: převládá II, I větší než III;\n"
        "vyrovnaný mezomorf: převládá II, I a III stejné;\n"
        "ektomorfní mezomorf: převládá II, III větší než I;\n"
        "mezomorf-ektomorf: II a III stejné, I menší;\n"
        "mezomorfní ektomorf: převládá III, II větší než I;\n"
        "vyrovnaný ektomorf: převládá III, I a II stejné;\n"
        "endomorfní ektomorf: převládá III, I větší než II;\n"
        "endomorf-ektomorf: I a III stejné, II menší;\n"
        "ektomorfní endomorf: převládá I, III větší než II.\n"
        "Převládá složka, která je o víc než 0,5 větší než obě ostatní. Kategorie skupiny je kategorie "
        "jejího průměrného somatotypu.");
}

QString topicLiterature(ReferenceTopic topic)
{
    switch (topic) {
    case ReferenceTopic::DescriptiveStatistics:
        return QStringLiteral("NIST/SEMATECH e-Handbook of Statistical Methods (NIST Handbook 151): míry "
                                 "polohy (průměr, medián) a rozptylu (směrodatná odchylka, rozpětí).");
    case ReferenceTopic::SomatotypeAnalysis:
        return QStringLiteral("Carter, J. E. L. (2002): The Heath-Carter Anthropometric Somatotype – "
                                 "Instruction Manual. San Diego State University, San Diego (revize z března "
                                 "2002, podle Ross, Carr & Carter 1999, Anthropometry Illustrated); kategorie, "
                                 "souřadnice somatografu, SAD, SAM, SDD a SDI v pojetí tohoto manuálu; "
                                 "Carter & Heath 1990, z nichž manuál vychází.");
    case ReferenceTopic::MeasurementError:
        return QStringLiteral("Ulijaszek, S. J., Kerr, D. A. (1999): Anthropometric measurement error and the "
                              "assessment of nutritional status. British Journal of Nutrition 82: 165–177 (TEM, "
                              "relativní TEM, R); Shrout, P. E., Fleiss, J. L. (1979): Intraclass correlations: "
                              "uses in assessing rater reliability. Psychological Bulletin 86: 420–428 (ICC(2,1)); "
                              "McGraw, K. O., Wong, S. P. (1996): Forming inferences about some intraclass "
                              "correlation coefficients. Psychological Methods 1: 30–46 (ICC(A,1) a jeho interval "
                              "spolehlivosti); Bland, J. M., Altman, D. G. (1986): Statistical methods for "
                              "assessing agreement between two methods of clinical measurement. Lancet i: "
                              "307–310.");
    }
    return QString();
}

QString topicReferenceHtml(ReferenceTopic topic)
{
    QString html = QStringLiteral("<h2>") + escaped(topicTitle(topic)) + QStringLiteral("</h2>");
    html += QStringLiteral("<h3>Výpočet</h3><p>") + escaped(topicFormula(topic)) + QStringLiteral("</p>");
    const QString classes = topicClassLimits(topic);
    if (!classes.isEmpty())
        html += QStringLiteral("<h3>Kategorie</h3><p>") + escaped(classes) + QStringLiteral("</p>");
    html += QStringLiteral("<h3>Literatura</h3><p>") + escaped(topicLiterature(topic)) + QStringLiteral("</p>");
    return html;
}

QString topicSearchText(ReferenceTopic topic)
{
    return QStringList{topicTitle(topic), topicFormula(topic), topicClassLimits(topic), topicLiterature(topic)}
        .join(u'\n');
}
