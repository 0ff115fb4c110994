// Determination methods (ids 44 to 52): human or animal origin of bone from its
// microstructure, sex and population group from the skull, age from a tooth.
// The routines write scores only; the verdict texts come from the table.

#include "MatrixRules.h"
#include "MethodRows.h"
#include "SkullMeasurements.h"

#include <array>

namespace {

// constant + c0 x0 + c1 x1 + ... for all rows, the terms added in input order.
template <std::size_t N>
cv::Mat linearScore(const cv::Mat &input, double constant, const std::array<double, N> &c)
{
    cv::Mat score = constantColumn(input, constant);
    for (std::size_t j = 0; j < N; ++j)
        score += c[j] * input.col(int(j));
    return score;
}

// c0 x0 + c1 x1 + ..., the terms added in input order.
template <std::size_t N>
cv::Mat weightedSum(const cv::Mat &input, const std::array<double, N> &c)
{
    cv::Mat sum = c[0] * input.col(0);
    for (std::size_t j = 1; j < N; ++j)
        sum += c[j] * input.col(int(j));
    return sum;
}

// "Druh": the number (1 to 4) of the largest of the four scores in columns
// first to first + 3. One pass that replaces the best only when it is strictly
// less than the candidate, so a tie keeps the lower number and a comparison
// with a value that is not a number never replaces.
void chooseKind(cv::Mat &out, int first)
{
    for (int i = 0; i < out.rows; ++i) {
        double best = out.at<double>(i, first);
        int kind = 1;
        for (int k = 1; k < 4; ++k) {
            const double candidate = out.at<double>(i, first + k);
            if (best < candidate) {
                best = candidate;
                kind = k + 1;
            }
        }
        out.at<double>(i, first + 4) = kind;
    }
}

// The sum of the first count input columns, in order.
cv::Mat scoreSum(const cv::Mat &input, int count)
{
    cv::Mat sum = input.col(0).clone();
    for (int j = 1; j < count; ++j)
        sum += input.col(j);
    return sum;
}

// Giles and Elliot: D at or above the sectioning point is a male skull, and
// the population groups of each sex.
constexpr PopulationSets gilesElliot{891.12, {22.28, 4.4, -8.3, 89.27}, {130.1, 0.48, 29.6, 92.2}};

cv::Mat histometricVariantA(const cv::Mat &input)
{
    // Rows: the constant term, then x0 to x6; columns: S1 to S4.
    static const double coefficients[8][4] = {
        {-103.502, -87.7787, -72.407, -50.421},
        {1.27, 0.8684, 0.7065, 0.6333},
        {0.232, 0.2781, 0.3196, 0.2025},
        {-0.001, -0.001, -0.001, -0.0008},
        {-0.048, -0.0417, -0.035, -0.0324},
        {0.483, -0.0227, -0.1542, 0.1187},
        {0.261, 0.2691, 0.2481, 0.2058},
        {0.827, 0.8764, 0.7621, 0.6378},
    };
    cv::Mat out = resultMatrix(input, 12);
    for (int s = 0; s < 4; ++s) {
        std::array<double, 7> c;
        for (int j = 0; j < 7; ++j)
            c[j] = coefficients[j + 1][s];
        writeColumn(out, 7 + s, linearScore(input, coefficients[0][s], c));
    }
    chooseKind(out, 7);
    return out;
}

cv::Mat histometricVariantB(const cv::Mat &input)
{
    // One function per row: the constant term, then x0 to x2.
    static const double coefficients[4][4] = {
        {-107.178, 1.931, 6.014, -0.078},
        {-91.442, 2.498, 5.45, -0.072},
        {-63.284, 2.098, 4.523, -0.06},
        {-91.645, 4.001, 4.674, -0.061},
    };
    cv::Mat out = resultMatrix(input, 8);
    for (int s = 0; s < 4; ++s) {
        const double *f = coefficients[s];
        writeColumn(out, 3 + s, linearScore<3>(input, f[0], {f[1], f[2], f[3]}));
    }
    chooseKind(out, 3);
    return out;
}

cv::Mat histometricVariantC(const cv::Mat &input)
{
    // The sign of D tells the origin.
    cv::Mat out = resultMatrix(input, 6);
    writeColumn(out, 5,
                linearScore<5>(input, -6.218167,
                               {0.155732, -0.002607, 0.152404, -0.019254, 0.000022}));
    return out;
}

cv::Mat gilesElliotSkull(const cv::Mat &input)
{
    // Column 9 ("Pohlaví") stays 0.0: the table shows the sex there from D.
    const double sectioningPoint = gilesElliot.sectioningPoint;
    using Function = std::array<double, 8>;
    static const Function maleN = {3.06, 1.6, -1.9, -1.79, -4.41, -0.1, 2.59, 10.56};
    static const Function maleIn = {0.1, -0.25, -1.56, 0.73, -0.29, 1.75, -0.16, -0.84};
    static const Function femaleN = {1.74, 1.28, -1.18, 0.14, -2.34, 0.38, -0.01, 2.45};
    static const Function femaleIn = {3.05, -1.04, -5.41, 4.29, -4.02, 5.62, -1.0, -2.19};

    cv::Mat out = resultMatrix(input, 12);
    cv::Mat d = -input.col(0) + 1.16 * input.col(1) + 1.66 * input.col(4) + 3.98 * input.col(5)
                + 1.54 * input.col(6);
    writeColumn(out, 8, d);

    // The population functions of the row's sex; a D that is not a number
    // takes the female set.
    for (int i = 0; i < out.rows; ++i) {
        const bool male = out.at<double>(i, 8) >= sectioningPoint;
        const Function &n = male ? maleN : femaleN;
        const Function &in = male ? maleIn : femaleIn;
        double wn = 0.0;
        double win = 0.0;
        for (int j = 0; j < 8; ++j) {
            const double x = input.at<double>(i, j);
            wn += n[j] * x;
            win += in[j] * x;
        }
        out.at<double>(i, 10) = wn;
        out.at<double>(i, 11) = win;
    }
    return out;
}

cv::Mat kajanojaVariantA(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 9);
    writeColumn(out, 8,
                weightedSum<8>(input, {1.49, 8.42, 4.304, 0.2173, 0.1255, 0.4317, 0.6824, 4.839}));
    return out;
}

cv::Mat kajanojaVariantB(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 6);
    writeColumn(out, 5, weightedSum<5>(input, {9.202, 4.634, 0.3474, 0.5672, 0.5682}));
    return out;
}

cv::Mat morphoscopicSkull(const cv::Mat &input)
{
    // The table compares the absolute values of the two scores. Each constant
    // is added after the nine traits.
    cv::Mat out = resultMatrix(input, 11);
    cv::Mat men = weightedSum<9>(input, {-2.32308, -0.66695, -1.7861, -0.67799, -0.34589,
                                         -2.03353, 1.31358, 1.3431, -0.04189})
                  + constantColumn(input, -4.59787);
    cv::Mat women = weightedSum<9>(input, {0.24297, 1.01545, 0.94836, 0.2183, 0.26312, 1.08861,
                                           -0.5829, -0.2197, 0.9284})
                    + constantColumn(input, -2.13217);
    writeColumn(out, 9, men);
    writeColumn(out, 10, women);
    return out;
}

cv::Mat kilianAgeWithTransparency(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 6);
    cv::Mat age = (scoreSum(input, 5) * 100.0 / 15.0 + 2.27) / 1.12;
    writeColumn(out, 5, age);
    return out;
}

cv::Mat kilianAgeWithoutTransparency(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 5);
    cv::Mat age = (scoreSum(input, 4) * 100.0 / 12.0 + 3.42) / 1.16;
    writeColumn(out, 4, age);
    return out;
}

} // namespace

const std::vector<MethodRow> &determinationMethods()
{
    using namespace Skull;
    const char *const histometry = "Histometrická metoda podle Urbanová, Novotný";
    const char *const histometryLiterature = "Urbanová, P., Novotný, V. (2005): Distinguishing "
                                            "between human and non-human bones: histometric method "
                                            "for forensic anthropology. Anthropologie (Brno) "
                                            "43(1): 77–85.";
    const Names origins{"Lidský", "Zvířecí"};
    const Names sexes{"Muž", "Žena"};
    const char *const sexLimits = "nad %1 %2; do %1 včetně %3";
    // Kajanoja's names of the skull measurements.
    const char *const zyZy = "M45 – šířka obličeje (zygion-zygion, zy-zy)";
    const char *const gOp = "M1 – největší délka mozkovny (glabella-opisthocranion, g-op)";
    const char *const baPr = "M40 – délka obličeje (basion-prosthion, ba-pr)";
    const char *const nBa = "M5 – délka báze lebky (nasion-basion, n-ba)";
    const char *const nPr = "M48 – výška horního obličeje (nasion-prosthion, n-pr)";
    const char *const kilianA = "Abraze skloviny (A)";
    const char *const kilianD = "Sekundární dentin (D)";
    const char *const kilianC = "Sekundární cement (C)";
    const char *const kilianR = "Resorpce kořene (R)";
    static const std::vector<MethodRow> rows{
        {44, Menu::Histometry, "Histometrická metoda podle Urbanová, Novotný, varianta A", histometry,
         {"Minimální průměr Haversova kanálku", "Minimální průměr osteonu", "Obsah osteonu", "Obsah Haversova kanálku",
          "Maximální průměr Haversova kanálku", "Maximální průměr osteonu", "Obvod Haversova kanálku"},
         {"S1", "S2", "S3", "S4", "Druh", "Původ"}, histometricVariantA,
         "S1 = −103,502 + 1,27 · x0 + 0,232 · x1 − 0,001 · x2 − 0,048 · x3 + 0,483 · x4 + 0,261 · x5 + 0,827 · x6\n"
         "S2 = −87,7787 + 0,8684 · x0 + 0,2781 · x1 − 0,001 · x2 − 0,0417 · x3 − 0,0227 · x4 + 0,2691 · x5 + "
         "0,8764 · x6\n"
         "S3 = −72,407 + 0,7065 · x0 + 0,3196 · x1 − 0,001 · x2 − 0,035 · x3 − 0,1542 · x4 + 0,2481 · x5 + "
         "0,7621 · x6\n"
         "S4 = −50,421 + 0,6333 · x0 + 0,2025 · x1 − 0,0008 · x2 − 0,0324 · x3 + 0,1187 · x4 + 0,2058 · x5 + "
         "0,6378 · x6\n"
         "Druh = číslo největší z funkcí S1 až S4 (při shodě nižší číslo)",
         histometryLiterature,
         {testVerdict(12, {11}, VerdictRule::Equal, 1, origins, "Původ", "Druh %1 %2; Druh 2, 3 nebo 4 %3")}},
        {45, Menu::Histometry, "Histometrická metoda podle Urbanová, Novotný, varianta B", histometry,
         {"Počet osteonů v 1 mm^2", "Maximální průměr Haversova kanálku", "Obsah Haversova kanálku "},
         {"S1", "S2", "S3", "S4", "Druh", "Původ"}, histometricVariantB,
         "S1 = −107,178 + 1,931 · x0 + 6,014 · x1 − 0,078 · x2\n"
         "S2 = −91,442 + 2,498 · x0 + 5,45 · x1 − 0,072 · x2\n"
         "S3 = −63,284 + 2,098 · x0 + 4,523 · x1 − 0,06 · x2\n"
         "S4 = −91,645 + 4,001 · x0 + 4,674 · x1 − 0,061 · x2\n"
         "Druh = číslo největší z funkcí S1 až S4 (při shodě nižší číslo)",
         histometryLiterature,
         {testVerdict(8, {7}, VerdictRule::Equal, 1, origins, "Původ", "Druh %1 %2; Druh 2, 3 nebo 4 %3")}},
        {46, Menu::Histometry, "Histometrická metoda podle Urbanová, Novotný, varianta C", histometry,
         {"Minimální průměr Haversova kanálku", "Obsah Haversova kanálku", "Maximální průměr Haversova kanálku",
          "Minimální průměr osteonu", "Obsah osteonu"},
         {"D", "Původ"}, histometricVariantC,
         "D = −6,218167 + 0,155732 · x0 − 0,002607 · x1 + 0,152404 · x2 − 0,019254 · x3 + 0,000022 · x4",
         histometryLiterature,
         {testVerdict(6, {5}, VerdictRule::Above, 0, origins, "Původ", "D nad %1 %2; D do %1 včetně %3")}},
        {47, Menu::PopulationAffinity, "Určení na lebce podle Giles, Elliot", nullptr,
         {M40, M1, M8, M17, M5, M45, M48, M54}, {"D", "Pohlaví", "W-N", "W-In", "Vyhodnocení"}, gilesElliotSkull,
         "D = −x0 + 1,16 · x1 + 1,66 · x4 + 3,98 · x5 + 1,54 · x6\n"
         "Pohlaví: sloupec zůstává 0, slovní hodnocení se odvozuje z D\n"
         "D ≥ 891,12 (mužská sada):\n"
         "W-N = 3,06 · x0 + 1,6 · x1 − 1,9 · x2 − 1,79 · x3 − 4,41 · x4 − 0,1 · x5 + 2,59 · x6 + 10,56 · x7\n"
         "W-In = 0,1 · x0 − 0,25 · x1 − 1,56 · x2 + 0,73 · x3 − 0,29 · x4 + 1,75 · x5 − 0,16 · x6 − 0,84 · x7\n"
         "jinak, i když D není číslo (ženská sada):\n"
         "W-N = 1,74 · x0 + 1,28 · x1 − 1,18 · x2 + 0,14 · x3 − 2,34 · x4 + 0,38 · x5 − 0,01 · x6 + 2,45 · x7\n"
         "W-In = 3,05 · x0 − 1,04 · x1 − 5,41 · x2 + 4,29 · x3 − 4,02 · x4 + 5,62 · x5 − x6 − 2,19 · x7",
         "Giles, E., Elliot, O. (1963): Sex determination by discriminant function analysis of "
         "crania. American Journal of Physical Anthropology 21(1): 53–68 (pohlaví); Giles, E., "
         "Elliot, O. (1962): Race identification from cranial measurements. Journal of Forensic "
         "Sciences 7(2): 147–157 (populační afinita).",
         // A D that is not a number is female, for the sex and for the population set.
         {testVerdict(9, {8}, VerdictRule::AtLeast, gilesElliot.sectioningPoint, {"Mužská lebka", "Ženská lebka"},
                      "Pohlaví", "D od %1 %2; pod %1 %3"),
          populationVerdict(12, {8, 10, 11}, gilesElliot, {"afroamerický", "severoamerický", "evropský"},
                            "Vyhodnocení (N = W-N, I = W-In), mužská lebka: %1.\nŽenská lebka: %2.\n"
                            "Na hranici, na přímce nebo na úrovni bez hodnocení")}},
        {48, Menu::Sex, "Kraniometrická metoda podle Kajanoja (1966) - varianta A", nullptr,
         {"M8 – největší šířka mozkovny (euryon-euryon, eu-eu)", zyZy, gOp, "M17 - výška basion-bregma (ba-b)", baPr,
          nBa, nPr, "M54 – šířka nosu (aperthion-aperthion)"},
         {"Výsledná hodnota", "Pohlaví"}, kajanojaVariantA,
         "V = 1,49 · x0 + 8,42 · x1 + 4,304 · x2 + 0,2173 · x3 + 0,1255 · x4 + 0,4317 · x5 + 0,6824 · x6 + "
         "4,839 · x7",
         "Kajanoja 1966 (zdroj neověřen).", {testVerdict(9, {8}, VerdictRule::Above, 231.2, sexes, "Pohlaví", sexLimits)}},
        {49, Menu::Sex, "Kraniometrická metoda podle Kajanoja (1966) - varianta B", nullptr,
         {zyZy, gOp, baPr, nBa, nPr}, {"Výsledná hodnota", "Pohlaví"}, kajanojaVariantB,
         "V = 9,202 · x0 + 4,634 · x1 + 0,3474 · x2 + 0,5672 · x3 + 0,5682 · x4", "Kajanoja 1966 (zdroj neověřen).",
         {testVerdict(6, {5}, VerdictRule::Above, 214.3, sexes, "Pohlaví", sexLimits)}},
        {50, Menu::Sex, "Morfoskopická metoda na lebce podle Novotný et al. (1990)", nullptr,
         {"Glabella", "Arcus supercilliaris", "Crista supramastoidea", "Squama occipitalis", "Pons zygomaticus",
          "Os zygomaticum", "Inclinatio frontale", "Mandibula", "Angulus mandibulae"},
         {"Muži", "Ženy", "Pohlaví"}, morphoscopicSkull,
         "Muži = −2,32308 · x0 − 0,66695 · x1 − 1,7861 · x2 − 0,67799 · x3 − 0,34589 · x4 − 2,03353 · x5 + "
         "1,31358 · x6 + 1,3431 · x7 − 0,04189 · x8 − 4,59787\n"
         "Ženy = 0,24297 · x0 + 1,01545 · x1 + 0,94836 · x2 + 0,2183 · x3 + 0,26312 · x4 + 1,08861 · x5 − "
         "0,5829 · x6 − 0,2197 · x7 + 0,9284 · x8 − 2,13217",
         "Novotný et al. 1990 (zdroj neověřen: práci se nepodařilo dohledat).",
         // A score that is not a number fails the test: "Žena".
         {testVerdict(11, {9, 10}, VerdictRule::MagnitudeAtLeast, 0, sexes, "Pohlaví",
                      "|Ženy| ≤ |Muži| %2 (i při shodě); |Ženy| > |Muži| %3")}},
        {51, Menu::Age, "Odhad dožitého věku podle Kilián (1975) - S transparencí", nullptr,
         {kilianA, kilianD, kilianC, "Transparence kořene (T)", kilianR}, {"Věk"}, kilianAgeWithTransparency,
         "S = x0 + x1 + x2 + x3 + x4\nvěk = (S · 100 / 15 + 2,27) / 1,12",
         "Kilián 1975 (zdroj neověřen: práci se nepodařilo dohledat)."},
        {52, Menu::Age, "Odhad dožitého věku podle Kilián (1975) - Bez transparance", nullptr,
         {kilianA, kilianD, kilianC, kilianR}, {"Věk"}, kilianAgeWithoutTransparency,
         "S = x0 + x1 + x2 + x3\nvěk = (S · 100 / 12 + 3,42) / 1,16",
         "Kilián 1975 (zdroj neověřen: práci se nepodařilo dohledat)."},
    };
    return rows;
}
