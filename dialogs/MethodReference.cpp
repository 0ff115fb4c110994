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
// their formula is read off their own routine and their literature is the
// common text below.
const std::map<int, Entry> &entries()
{
    static const std::map<int, Entry> table{
        {0, {"(x0 · 10) / x1", "", "Quetelet 1835; Bouchard"}},
        {1, {"(x0 · 100 000) / x1³", "", "Rohrer 1921"}},
        {2, {"x0 / x1²", "", "Quetelet 1835; Keys et al. 1972 (název body mass index)"}},
        {3,
         {"x0 / x1",
          "Muži: pod 0,85 spíše periferní; 0,85 až pod 0,9 vyrovnaná; 0,9 až 0,94 spíše centrální; nad 0,94 "
          "centrální (riziková).\nŽeny: pod 0,75 spíše periferní; 0,75 až pod 0,8 vyrovnaná; 0,8 až 0,84 spíše "
          "centrální; nad 0,84 centrální (riziková).",
          "Vague 1947; Björntorp 1985; WHO 2008 (Waist circumference and waist–hip ratio)"}},
        {4,
         {"(x1 + x2) · (2 · x3 − 16 · x0 + 18,1) / (10 · x4)", "",
          "Wutscherk 1974; podle Riegerová, Přidalová & Ulbrichová 2006"}},
        {5,
         {"(x1 + x2) · (2 · x3 − 15 · x0 + 18,6) / (20 · x4)", "",
          "Wutscherk 1974; podle Riegerová, Přidalová & Ulbrichová 2006"}},
        {6, {"71,48 · x0^0,425 · x1^0,725", "", "Du Bois & Du Bois 1916"}},
        {7,
         {"q = (x0 + x1 + x2 + x3) / 4\nvýsledek = q · q · x4 · 1,2", "",
          "Matiegka 1921; podle Riegerová, Přidalová & Ulbrichová 2006"}},
        {8,
         {"S = x0 + x1 + x2 + x3 + x4 + x5 (šest kožních řas)\nvýsledek = 0,5 · S · x6 · 0,13", "",
          "Matiegka 1921; podle Riegerová, Přidalová & Ulbrichová 2006"}},
        {9,
         {"k = 1/π = 0,3183098861837907\n"
          "r = 0,25 · ((k · x0 − 0,5 · x1 − 0,5 · x2) + (k · x3 − x4) + (k · x5 − x6) + (k · x7 − x8))\n"
          "výsledek = 6,5 · r · r · x9",
          "", "Matiegka 1921; podle Riegerová, Přidalová & Ulbrichová 2006"}},
        {10,
         {"S = x0 + x1 + x2\nD = 1,0994921 − 0,0009929 · S + 0,0000023 · S² − 0,0001392 (věk nevstupuje, "
          "člen 0,0001392 je pro všechny řádky stejný)\nvýsledek = 100 · (5,01 / D − 4,57); při D = 0 je podíl 0",
          "", "Jackson, Pollock & Ward 1980"}},
        {11,
         {"S = x0 + x1 + x2\nD = 1,10938 − 0,0008267 · S + 0,0000016 · S² − 0,0002574 (věk nevstupuje, "
          "člen 0,0002574 je pro všechny řádky stejný)\nvýsledek = 100 · (4,95 / D − 4,5); při D = 0 je podíl 0",
          "", "Jackson & Pollock 1978; přepočet hustoty na podíl tuku Siri 1961"}},
        {12, {"S = x0 + x1\nvýsledek = 0,61 · S + 5,1", "", "Slaughter et al. 1988"}},
        {13,
         {"S = x0 + x1\nS ≥ 35: výsledek = 0,546 · S + 9,7\njinak (i když S není číslo): výsledek = 1,33 · S − "
          "0,013 · S² − 2,5",
          "", "Slaughter et al. 1988"}},
        {14, {"S = x0 + x1\nvýsledek = 0,735 · S + 1", "", "Slaughter et al. 1988"}},
        {15,
         {"S = x0 + x1\nS ≥ 35: výsledek = 0,785 · S + 1,6\njinak (i když S není číslo): výsledek = 1,21 · S − "
          "0,008 · S² + x2 (x2 je konstanta podle zralosti)",
          "", "Slaughter et al. 1988"}},
        {16,
         {"S = x0 + x1 + … + x9 (deset kožních řas)\nD = 1,18 − 0,069 · log10(|S|)\nvýsledek = 100 · (4,201 / D − "
          "3,813); při D = 0 je podíl 0",
          "", "Pařízková 1961, 1977"}},
        {17,
         {"S = x0 + x1 + … + x9 (deset kožních řas)\nD = 1,205 − 0,078 · log10(|S|)\nvýsledek = 100 · (4,201 / D − "
          "3,813); při D = 0 je podíl 0",
          "", "Pařízková 1961, 1977"}},
        {18,
         {"S = x0 + x1 + … + x9 (deset kožních řas)\nvýsledek = 28,96 · log10(|S|) − 41,27", "",
          "Pařízková 1961, 1977"}},
        {19,
         {"S = x0 + x1 + … + x9 (deset kožních řas)\nD = 1,16 − 0,061 · log10(|S|)\nvýsledek = 100 · (4,201 / D − "
          "3,813); při D = 0 je podíl 0",
          "", "Pařízková 1961, 1977"}},
        {20,
         {"S = x0 + x1 + … + x9 (deset kožních řas)\nD = 1,205 − 0,078 · log10(|S|)\nvýsledek = 100 · (4,201 / D − "
          "3,813); při D = 0 je podíl 0",
          "", "Pařízková 1961, 1977"}},
        {21,
         {"S = x0 + x1 + … + x9 (deset kožních řas)\nvýsledek = 35,572 · log10(|S|) − 61,25", "",
          "Pařízková 1961, 1977"}},
        {22,
         {"S = x0 + x1 + x2 + x3\nD = 1,1714 − 0,063 · log10(|S|) − 0,000406 · x4\nvýsledek = 495 / D − 450 "
          "(v procentech); při D = 0 je podíl 0",
          "", "Durnin & Womersley 1974; přepočet hustoty na podíl tuku Siri 1961"}},
        {23,
         {"100 · x0 / x1", "do 75 včetně dolichokranní; nad 75 do 80 včetně mesokranní; nad 80 brachykranní",
          "Martin & Saller 1957"}},
        {24,
         {"100 · x0 / x1", "pod 70 chamaekranní; 70 až pod 75 orthokranní; od 75 hypsikranní",
          "Martin & Saller 1957"}},
        {25,
         {"100 · x0 / x1", "pod 92 tapeinokranní; 92 až pod 98 metriokranní; od 98 akrokranní",
          "Martin & Saller 1957"}},
        {26,
         {"100 · x0 / x1",
          "pod 80 hypereuryprosopní; 80 až pod 85 euryprosopní (nízký obličej); 85 až pod 90 mesoprosopní "
          "(středně vysoký obličej); 90 až pod 95 leptoprosopní (vysoký obličej); od 95 hyper leptoprosopní",
          "Martin & Saller 1957"}},
        {27,
         {"100 · x0 / x1",
          "pod 45 hypereuryenní; 45 až pod 50 euryenní (nízký horní obličej); 50 až pod 55 mesenní (středně "
          "vysoký horní obličej); 55 až pod 60 leptenní (vysoký horní obličej); od 60 hyperleptenní",
          "Martin & Saller 1957"}},
        {28,
         {"100 · x0 / x1",
          "pod 47 leptorhinní (úzkonosý); 47 až pod 51 mesorhinní (středně širokonosý); 51 až pod 58 chamaerhinní "
          "(širokonosý); od 58 bez hodnocení",
          "Martin & Saller 1957"}},
        {29,
         {"100 · x0 / x1", "pod 98 orthognátní; 98 až pod 103 mesognátní; od 103 prognátní",
          "Martin & Saller 1957"}},
        {30, {"(x0 + x1 + x2) / 3", "", "Martin & Saller 1957"}},
        {31, {"(x0 + x1 + x2) / 3", "", "Martin & Saller 1957"}},
        {32, {"x0 · x1 · x2 / 2,28", "", "Manouvrier; podle Martin & Saller 1957"}},
        {33, {"x0 · x1 · x2 / 2,16", "", "Manouvrier; podle Martin & Saller 1957"}},
        {34, {"0,000266 · x0 · x1 · x2 + 524,6", "", "Lee & Pearson 1901"}},
        {35, {"0,000156 · x0 · x1 · x2 + 812", "", "Lee & Pearson 1901"}},
        {36, {"(x0 + x1) / x2 (bez násobení stem)", "", "Martin & Saller 1957"}},
        {37, {"(x0 + x1) / x2 (bez násobení stem)", "", "Martin & Saller 1957"}},
        {38, {"100 · x0 / x1", "", "Martin & Saller 1957"}},
        {39, {"100 · x0 / x1", "", "Martin & Saller 1957"}},
        {40, {"100 · (x0 + x1) / (x2 + x3); při x2 + x3 = 0 je výsledek 0", "", "Martin & Saller 1957"}},
        {41, {"100 · x0 / x1", "", "Martin & Saller 1957"}},
        {42, {"100 · x0 / x1", "", "Martin & Saller 1957"}},
        {43,
         {"X = x0 + x1 + x2 (bez opravy na tělesnou výšku)\n"
          "endomorfní komponenta = −0,7182 + 0,1451 · X − 0,00068 · X² + 0,0000014 · X³\n"
          "mezomorfní komponenta = 0,858 · x6 + 0,601 · x5 + 0,188 · (x3 − 0,1 · x0) + 0,161 · (x4 − 0,1 · x9) − "
          "0,131 · x7 + 4,5\n"
          "h = x7 / |x8|^(1/3); při x8 = 0 je h = 0\n"
          "ektomorfní komponenta: h ≥ 40,75: 0,732 · h − 28,58; 38,25 < h < 40,75: 0,463 · h − 17,63; h ≤ 38,25: "
          "0,1; h není číslo: 0",
          "", "Heath & Carter 1967; Carter & Heath 1990"}},
        {44,
         {"S1 = −103,502 + 1,27 · x0 + 0,232 · x1 − 0,001 · x2 − 0,048 · x3 + 0,483 · x4 + 0,261 · x5 + 0,827 · x6\n"
          "S2 = −87,7787 + 0,8684 · x0 + 0,2781 · x1 − 0,001 · x2 − 0,0417 · x3 − 0,0227 · x4 + 0,2691 · x5 + "
          "0,8764 · x6\n"
          "S3 = −72,407 + 0,7065 · x0 + 0,3196 · x1 − 0,001 · x2 − 0,035 · x3 − 0,1542 · x4 + 0,2481 · x5 + "
          "0,7621 · x6\n"
          "S4 = −50,421 + 0,6333 · x0 + 0,2025 · x1 − 0,0008 · x2 − 0,0324 · x3 + 0,1187 · x4 + 0,2058 · x5 + "
          "0,6378 · x6\n"
          "Druh = číslo největší z funkcí S1 až S4 (při shodě nižší číslo)",
          "Původ: Druh 1 lidský; Druh 2, 3 nebo 4 zvířecí", "Urbanová & Novotný, histometrická metoda"}},
        {45,
         {"S1 = −107,178 + 1,931 · x0 + 6,014 · x1 − 0,078 · x2\n"
          "S2 = −91,442 + 2,498 · x0 + 5,45 · x1 − 0,072 · x2\n"
          "S3 = −63,284 + 2,098 · x0 + 4,523 · x1 − 0,06 · x2\n"
          "S4 = −91,645 + 4,001 · x0 + 4,674 · x1 − 0,061 · x2\n"
          "Druh = číslo největší z funkcí S1 až S4 (při shodě nižší číslo)",
          "Původ: Druh 1 lidský; Druh 2, 3 nebo 4 zvířecí", "Urbanová & Novotný, histometrická metoda"}},
        {46,
         {"D = −6,218167 + 0,155732 · x0 − 0,002607 · x1 + 0,152404 · x2 − 0,019254 · x3 + 0,000022 · x4",
          "Původ: D nad 0 lidský; D do 0 včetně zvířecí", "Urbanová & Novotný, histometrická metoda"}},
        {47,
         {"D = −x0 + 1,16 · x1 + 1,66 · x4 + 3,98 · x5 + 1,54 · x6\n"
          "Pohlaví: sloupec zůstává 0, slovní hodnocení se odvozuje z D\n"
          "D ≥ 891,12 (mužská sada):\n"
          "W-N = 3,06 · x0 + 1,6 · x1 − 1,9 · x2 − 1,79 · x3 − 4,41 · x4 − 0,1 · x5 + 2,59 · x6 + 10,56 · x7\n"
          "W-In = 0,1 · x0 − 0,25 · x1 − 1,56 · x2 + 0,73 · x3 − 0,29 · x4 + 1,75 · x5 − 0,16 · x6 − 0,84 · x7\n"
          "jinak, i když D není číslo (ženská sada):\n"
          "W-N = 1,74 · x0 + 1,28 · x1 − 1,18 · x2 + 0,14 · x3 − 2,34 · x4 + 0,38 · x5 − 0,01 · x6 + 2,45 · x7\n"
          "W-In = 3,05 · x0 − 1,04 · x1 − 5,41 · x2 + 4,29 · x3 − 4,02 · x4 + 5,62 · x5 − x6 − 2,19 · x7",
          "Pohlaví: D od 891,12 mužská lebka; pod 891,12 ženská lebka.\n"
          "Vyhodnocení (N = W-N, I = W-In), mužská lebka: I nad 22,28 a N nad 4,4 · I − 8,3 afroamerický; I nad "
          "22,28 a N pod 4,4 · I − 8,3 severoamerický; I pod 22,28 a N nad 89,27 afroamerický; I pod 22,28 a N pod "
          "89,27 evropský.\n"
          "Ženská lebka: I nad 130,1 a N nad 0,48 · I + 29,6 afroamerický; I nad 130,1 a N pod 0,48 · I + 29,6 "
          "severoamerický; I pod 130,1 a N nad 92,2 afroamerický; I pod 130,1 a N pod 92,2 evropský.\n"
          "Na hranici, na přímce nebo na úrovni bez hodnocení.",
          "Giles & Elliot 1962"}},
        {48,
         {"V = 1,49 · x0 + 8,42 · x1 + 4,304 · x2 + 0,2173 · x3 + 0,1255 · x4 + 0,4317 · x5 + 0,6824 · x6 + "
          "4,839 · x7",
          "Pohlaví: nad 231,2 muž; do 231,2 včetně žena", "Kajanoja 1966"}},
        {49,
         {"V = 9,202 · x0 + 4,634 · x1 + 0,3474 · x2 + 0,5672 · x3 + 0,5682 · x4",
          "Pohlaví: nad 214,3 muž; do 214,3 včetně žena", "Kajanoja 1966"}},
        {50,
         {"Muži = −2,32308 · x0 − 0,66695 · x1 − 1,7861 · x2 − 0,67799 · x3 − 0,34589 · x4 − 2,03353 · x5 + "
          "1,31358 · x6 + 1,3431 · x7 − 0,04189 · x8 − 4,59787\n"
          "Ženy = 0,24297 · x0 + 1,01545 · x1 + 0,94836 · x2 + 0,2183 · x3 + 0,26312 · x4 + 1,08861 · x5 − "
          "0,5829 · x6 − 0,2197 · x7 + 0,9284 · x8 − 2,13217",
          "Pohlaví: |Ženy| ≤ |Muži| muž (i při shodě); |Ženy| > |Muži| žena", "Novotný et al. 1990"}},
        {51,
         {"S = x0 + x1 + x2 + x3 + x4\nvěk = (S · 100 / 15 + 2,27) / 1,12", "", "Kilián 1975"}},
        {52, {"S = x0 + x1 + x2 + x3\nvěk = (S · 100 / 12 + 3,42) / 1,16", "", "Kilián 1975"}},
        {97,
         {"√((x2 − x0)² + (x3 − x1)²)", "",
          "Euklidovská vzdálenost; Bookstein 1991; Zelditch et al. 2004"}},
        {98,
         {"√((x3 − x0)² + (x4 − x1)² + (x5 − x2)²)", "",
          "Euklidovská vzdálenost; Bookstein 1991; Zelditch et al. 2004"}},
        {99,
         {"úhel při vrcholu c = (x4, x5) mezi rameny k bodům a = (x0, x1) a b = (x2, x3):\n"
          "U = (x0 − x4, x1 − x5), V = (x2 − x4, x3 − x5)\n"
          "úhel = arccos((Ux · Vx + Uy · Vy) / (|U| · |V|)) v radiánech, 0 až π; při nulové délce ramene "
          "výsledek není číslo",
          "", "Bookstein 1991; Zelditch et al. 2004"}},
        {101,
         {"celá tabulka je jedna konfigurace, jeden bod na řádek; těžiště (x̄, ȳ) = průměry sloupců\n"
          "velikost centroidu = √(Σ ((x0 − x̄)² + (x1 − ȳ)²)) přes všechny řádky; zapíše se jen do prvního řádku, "
          "ostatní řádky mají 0",
          "", "Bookstein 1991; Dryden & Mardia 1998"}},
        {102,
         {"celá tabulka je jedna konfigurace, jeden bod na řádek; těžiště (x̄, ȳ, z̄) = průměry sloupců\n"
          "velikost centroidu = √(Σ ((x0 − x̄)² + (x1 − ȳ)² + (x2 − z̄)²)) přes všechny řádky; zapíše se jen do "
          "prvního řádku, ostatní řádky mají 0",
          "", "Bookstein 1991; Dryden & Mardia 1998"}},
        {105,
         {"rovina bodů (x0, x1, x2), (x3, x4, x5), (x6, x7, x8), bod (x9, x10, x11):\n"
          "a = x1 · (x5 − x8) + x4 · (x8 − x2) + x7 · (x2 − x5)\n"
          "b = x2 · (x3 − x6) + x5 · (x6 − x0) + x8 · (x0 − x3)\n"
          "c = x0 · (x4 − x7) + x3 · (x7 − x1) + x6 · (x1 − x4)\n"
          "d = −x0 · (x4 · x8 − x7 · x5) − x3 · (x7 · x2 − x1 · x8) − x6 · (x1 · x5 − x4 · x2)\n"
          "vzdálenost = |a · x9 + b · x10 + c · x11 + d| / √(a² + b² + c²); leží-li tři body na přímce, výsledek "
          "není číslo",
          "", "Analytická geometrie (rovina daná třemi body); Zelditch et al. 2004"}},
        {106,
         {"zástupná položka: nic nepočítá, vstup (x0, x1) se předává beze změny", "",
          "Bez literárního zdroje (zástupná položka)"}},
        {107,
         {"zástupná položka: nic nepočítá, vstup (x0, x1) se předává beze změny", "",
          "Bez literárního zdroje (zástupná položka)"}},
        {108,
         {"zástupná položka: nic nepočítá, vstup (x0, x1) se předává beze změny", "",
          "Bez literárního zdroje (zástupná položka)"}},
    };
    return table;
}

// The source of every unit conversion.
const char *const conversionLiterature =
    "Mezinárodní soustava jednotek SI (BIPM, The International System of Units); míle, yard, stopa, palec, "
    "libra a unce podle mezinárodní dohody o yardu a libře 1959; atmosféra, torr, milimetr rtuťového sloupce, "
    "kilopond a kalorie podle svých konvenčních definic; stupeň Celsia a Fahrenheita podle definic teplotních "
    "stupnic; lán jako historická česká plošná míra.";

bool isSingleUnitConversion(int id)
{
    if (!isRegisteredMethod(id))
        return false;
    const MethodRecord &record = MethodCatalog[size_t(id)];
    return record.kind == UnitConversion && record.inputCount == 1 && record.compute;
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
    if (isSingleUnitConversion(id))
        return conversionFormula(MethodCatalog[size_t(id)]);
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
    if (isSingleUnitConversion(id))
        return QString::fromUtf8(conversionLiterature);
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

const QList<ReferenceTopic> &referenceTopics()
{
    static const QList<ReferenceTopic> topics{ReferenceTopic::DescriptiveStatistics,
                                              ReferenceTopic::SomatotypeAnalysis};
    return topics;
}

QStringList topicPath()
{
    return {QString::fromUtf8("Statistika vzorku")};
}

QString topicTitle(ReferenceTopic topic)
{
    switch (topic) {
    case ReferenceTopic::DescriptiveStatistics:
        return QString::fromUtf8("Popisná statistika");
    case ReferenceTopic::SomatotypeAnalysis:
        return QString::fromUtf8("Analýza somatotypů (SAM, SDI, SDD)");
    }
    return QString();
}

QString topicFormula(ReferenceTopic topic)
{
    switch (topic) {
    case ReferenceTopic::DescriptiveStatistics:
        return QString::fromUtf8(
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
        return QString::fromUtf8(
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
    }
    return QString();
}

QString topicClassLimits(ReferenceTopic topic)
{
    if (topic != ReferenceTopic::SomatotypeAnalysis)
        return QString();
    return QString::fromUtf8(
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
        return QString::fromUtf8("NIST/SEMATECH e-Handbook of Statistical Methods (NIST Handbook 151): míry "
                                 "polohy (průměr, medián) a rozptylu (směrodatná odchylka, rozpětí).");
    case ReferenceTopic::SomatotypeAnalysis:
        return QString::fromUtf8("Carter, J. E. L. (2002): The Heath-Carter Anthropometric Somatotype – "
                                 "Instruction Manual. San Diego State University, San Diego (revize z března "
                                 "2002, podle Ross, Carr & Carter 1999, Anthropometry Illustrated); kategorie, "
                                 "souřadnice somatografu, SAD, SAM, SDD a SDI v pojetí tohoto manuálu; "
                                 "Carter & Heath 1990, z nichž manuál vychází.");
    }
    return QString();
}

QString topicReferenceHtml(ReferenceTopic topic)
{
    QString html = QStringLiteral("<h2>") + escaped(topicTitle(topic)) + QStringLiteral("</h2>");
    html += QString::fromUtf8("<h3>Výpočet</h3><p>") + escaped(topicFormula(topic)) + QStringLiteral("</p>");
    const QString classes = topicClassLimits(topic);
    if (!classes.isEmpty())
        html += QString::fromUtf8("<h3>Kategorie</h3><p>") + escaped(classes) + QStringLiteral("</p>");
    html += QStringLiteral("<h3>Literatura</h3><p>") + escaped(topicLiterature(topic)) + QStringLiteral("</p>");
    return html;
}

QString topicSearchText(ReferenceTopic topic)
{
    return QStringList{topicTitle(topic), topicFormula(topic), topicClassLimits(topic), topicLiterature(topic)}
        .join(u'\n');
}

QString aboutText()
{
    return QString::fromUtf8("<h2>Kostimer</h2><p>Verze %1</p>"
                             "<p>Kalkulátor pro fyzickou a biologickou antropologii.</p>")
        .arg(QStringLiteral(KOSTIMER_VERSION));
}
