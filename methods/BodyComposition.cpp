// Body composition of a living person from skinfolds, girths, breadths,
// height and age (ids 7 to 22, 110 and 111).

#include "MatrixRules.h"
#include "MethodRows.h"

#include <cmath>
#include <limits>

namespace {

// x0 + x1 + ... of the given input columns, added one at a time in order.
cv::Mat columnSum(const cv::Mat &input, int first, int count)
{
    cv::Mat sum = input.col(first).clone();
    for (int j = first + 1; j < first + count; ++j)
        sum += input.col(j);
    return sum;
}

// The percentage of fat from a body density: 100 (c5 / D - c6). A density of
// 0 makes the quotient 0, as the tables expect.
cv::Mat fatFromDensity(const cv::Mat &density, double c5, double c6)
{
    return 100.0 * (quotient(c5, density) - c6);
}

cv::Mat matiegkaSkeleton(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 6);
    cv::Mat q = columnSum(input, 0, 4) / 4.0;
    cv::Mat skeleton = q.mul(q).mul(input.col(4)) * 1.2;
    writeColumn(out, 5, skeleton);
    return out;
}

cv::Mat matiegkaSkin(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 8);
    cv::Mat half;
    columnSum(input, 0, 6).convertTo(half, CV_64F, 0.5);
    cv::Mat skin = half.mul(input.col(6)) * 0.13;
    writeColumn(out, 7, skin);
    return out;
}

cv::Mat matiegkaMuscle(const cv::Mat &input)
{
    // Each girth over pi is the limb's diameter; the arm loses half of each of
    // its two skinfolds, the forearm, thigh and calf their one skinfold whole.
    const double k = 0.3183098861837907;
    cv::Mat out = resultMatrix(input, 11);
    cv::Mat arm = (k * input.col(0) - 0.5 * input.col(1)) - 0.5 * input.col(2);
    cv::Mat forearm = k * input.col(3) - input.col(4);
    cv::Mat thigh = k * input.col(5) - input.col(6);
    cv::Mat calf = k * input.col(7) - input.col(8);
    cv::Mat r = 0.25 * (arm + forearm + thigh + calf);
    cv::Mat muscle = 6.5 * r.mul(r.mul(input.col(9)));
    writeColumn(out, 10, muscle);
    return out;
}

// Jackson-Pollock for adults: the density from the sum of three skinfolds,
// D = c1 - c2 S + c3 S^2 - c4. The method has no age input, so c4 is the same
// for every row.
cv::Mat jacksonPollockAdult(const cv::Mat &input, double c1, double c2, double c3, double c4,
                            double c5, double c6)
{
    cv::Mat out = resultMatrix(input, 4);
    cv::Mat s = columnSum(input, 0, 3);
    cv::Mat density = constantColumn(input, c1) - c2 * s + c3 * s.mul(s)
                      - constantColumn(input, c4);
    writeColumn(out, 3, fatFromDensity(density, c5, c6));
    return out;
}

// The first variants for children: a straight line in the sum of two skinfolds.
cv::Mat jacksonPollockLine(const cv::Mat &input, double slope, double constant)
{
    cv::Mat out = resultMatrix(input, 3);
    cv::Mat fat = slope * columnSum(input, 0, 2) + constantColumn(input, constant);
    writeColumn(out, 2, fat);
    return out;
}

cv::Mat jacksonPollockWomen(const cv::Mat &input)
{
    return jacksonPollockAdult(input, 1.0994921, 0.0009929, 0.0000023, 0.0001392, 5.01, 4.57);
}

cv::Mat jacksonPollockMen(const cv::Mat &input)
{
    return jacksonPollockAdult(input, 1.10938, 0.0008267, 0.0000016, 0.0002574, 4.95, 4.5);
}

cv::Mat jacksonPollockGirls1(const cv::Mat &input)
{
    return jacksonPollockLine(input, 0.61, 5.1);
}

cv::Mat jacksonPollockBoys1(const cv::Mat &input)
{
    return jacksonPollockLine(input, 0.735, 1.0);
}

// The second variants switch formula at a skinfold sum of 35: the sum 35 itself
// takes the line, a sum that is not a number the curve.
cv::Mat jacksonPollockGirls2(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 3);
    cv::Mat sums = columnSum(input, 0, 2);
    for (int i = 0; i < out.rows; ++i) {
        const double s = sums.at<double>(i, 0);
        out.at<double>(i, 2) = s >= 35.0 ? 0.546 * s + 9.7 : 1.33 * s - 0.013 * s * s - 2.5;
    }
    return out;
}

cv::Mat jacksonPollockBoys2(const cv::Mat &input)
{
    // Below 35 the constant term is the row's maturity constant (x2).
    cv::Mat out = resultMatrix(input, 4);
    cv::Mat sums = columnSum(input, 0, 2);
    for (int i = 0; i < out.rows; ++i) {
        const double s = sums.at<double>(i, 0);
        const double maturity = input.at<double>(i, 2);
        out.at<double>(i, 3) = s >= 35.0 ? 0.785 * s + 1.6 : 1.21 * s - 0.008 * s * s + maturity;
    }
    return out;
}

// Pařízková: one routine per pair of constants, given as its template
// argument. Density family: D = a - b log10 S; adult family: the percentage
// e log10 S - f.
struct DensityConstants {
    double a;
    double b;
};
constexpr DensityConstants boys9to12{1.18, 0.069};
constexpr DensityConstants girls9to12{1.16, 0.061};
constexpr DensityConstants boysAndGirls13to16{1.205, 0.078};

struct AdultConstants {
    double e;
    double f;
};
constexpr AdultConstants boys17to45{28.96, 41.27};
constexpr AdultConstants girls17to45{35.572, 61.25};

// The sum of all ten skinfolds, starting from a column of 0.0.
cv::Mat tenSkinfolds(const cv::Mat &input)
{
    cv::Mat sum(input.rows, 1, CV_64F, cv::Scalar(0.0));
    for (int j = 0; j < 10; ++j)
        sum += input.col(j);
    return sum;
}

// A sum of 0 under the logarithm gives a huge negative logarithm and so an
// extreme but finite percentage; a density of 0 gives 100 (0 - 3.813).
template <const DensityConstants &c>
cv::Mat parizkovaDensity(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 11);
    cv::Mat density = constantColumn(input, c.a) - c.b * decimalLog(tenSkinfolds(input));
    writeColumn(out, 10, fatFromDensity(density, 4.201, 3.813));
    return out;
}

template <const AdultConstants &c>
cv::Mat parizkovaAdult(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 11);
    cv::Mat ln10 = naturalLog(constantColumn(input, 10.0));
    cv::Mat fat = quotient(c.e * naturalLog(tenSkinfolds(input)), ln10)
                  - constantColumn(input, c.f);
    writeColumn(out, 10, fat);
    return out;
}

cv::Mat durninWomersley(const cv::Mat &input)
{
    // Already a percentage: 495 / D - 450 with no factor of 100.
    cv::Mat out = resultMatrix(input, 6);
    cv::Mat density = (constantColumn(input, 1.1714) - 0.063 * decimalLog(columnSum(input, 0, 4)))
                      - 0.000406 * input.col(4);
    cv::Mat fat = quotient(495.0, density) - constantColumn(input, 450.0);
    writeColumn(out, 5, fat);
    return out;
}

// Durnin and Womersley's equations for the sum of the four skinfolds, one per
// sex and age band: D = c - m log10 S. A band holds the ages from its own
// lower limit up to the next band's, the last band every older age.
struct AgeBand {
    double fromAge;
    double c;
    double m;
};
using AgeBands = std::vector<AgeBand>;

// The density and Siri's percentage of fat, each row with the c and m of its
// age band. An age below the first band, or a sum that is not positive, has
// no equation: both outputs are missing.
cv::Mat durninWomersleyByAge(const cv::Mat &input, const AgeBands &bands)
{
    const double missing = std::numeric_limits<double>::quiet_NaN();
    cv::Mat out = resultMatrix(input, 7);
    for (int i = 0; i < input.rows; ++i) {
        const double sum = ((input.at<double>(i, 0) + input.at<double>(i, 1)) + input.at<double>(i, 2))
                           + input.at<double>(i, 3);
        const double age = input.at<double>(i, 4);
        const AgeBand *band = nullptr;
        for (const AgeBand &b : bands)
            if (age >= b.fromAge)
                band = &b;
        double density = missing;
        double fat = missing;
        if (band && sum > 0.0) {
            density = band->c - band->m * std::log10(sum);
            fat = 495.0 / density - 450.0;
        }
        out.at<double>(i, 5) = density;
        out.at<double>(i, 6) = fat;
    }
    return out;
}

cv::Mat durninWomersleyMen(const cv::Mat &input)
{
    static const AgeBands bands{{17, 1.1620, 0.0630},
                                {20, 1.1631, 0.0632},
                                {30, 1.1422, 0.0544},
                                {40, 1.1620, 0.0700},
                                {50, 1.1715, 0.0779}};
    return durninWomersleyByAge(input, bands);
}

cv::Mat durninWomersleyWomen(const cv::Mat &input)
{
    static const AgeBands bands{{16, 1.1549, 0.0678},
                                {20, 1.1599, 0.0717},
                                {30, 1.1423, 0.0632},
                                {40, 1.1333, 0.0612},
                                {50, 1.1339, 0.0645}};
    return durninWomersleyByAge(input, bands);
}

// The ten skinfolds of every Pařízková method.
const Names parizkovaSkinfolds{"Kožní řasa na tváři",
                               "Kožní řasa na podbradku",
                               "Kožní řasa na hrudníku I",
                               "Kožní řasa na hrudníku II",
                               "Kožní řasa kožní řasa na paži (na tricepsu)",
                               "Kožní řasa subskapulární",
                               "Kožní řasa na břiše",
                               "Kožní řasa suprailiakální",
                               "Kožní řasa nad patellou",
                               "Kožní řasa na lýtku"};

} // namespace

const std::vector<MethodRow> &bodyCompositionMethods()
{
    const char *const matiegka = "Matiegka, J. (1921): The testing of physical efficiency. "
                                 "American Journal of Physical Anthropology 4; podle "
                                 "Riegerová, J., Přidalová, M., Ulbrichová, M. (2006): Aplikace "
                                 "fyzické antropologie v tělesné výchově a sportu. Olomouc: Hanex.";
    const char *const fat = "Množství podkožního tuku [%]";
    const char *const slaughter = "Slaughter, M. H. et al. (1988): Skinfold equations for "
                                  "estimation of body fatness in children and youth. Human Biology "
                                  "60(5): 709–723.";
    const char *const parizkova = "Pařízková 1961, 1977 (zdroje neověřeny).";
    const char *const parizkovaFat = "Procento tělesného tuku";
    const char *const durninWomersleyLiterature =
        "Durnin, J. V. G. A., Womersley, J. (1974): Body fat assessed from total body density and its "
        "estimation from skinfold thickness: measurements on 481 men and women aged from 16 to 72 years. "
        "British Journal of Nutrition 32: 77–97, rovnice pro součet čtyř kožních řas podle pohlaví a "
        "věkových pásem. Soubor: 209 mužů a 272 žen ve věku 16 až 72 let (Glasgow), hustota těla vážením pod "
        "vodou; podíl tuku 5–50 % u mužů a 10–61 % u žen; nejstarší pásmo mužů zahrnuje věk 50–72 let, žen "
        "50–68 let. Koeficienty c a m podle přehledů Topend Sports (Body Density Equations: Durnin & "
        "Womersley, topendsports.com/testing/density-durnin-womersley.htm) a MedicalAlgorithms (Predicting body "
        "density and percent body fat of adults from skinfold thickness using the equations of Durnin and "
        "Womersley), kteří je shodně uvádějí; MedicalAlgorithms je přebírá z tab. 5 (s. 86–87) původní práce. "
        "Topend Sports uvádí navíc rovnici pro věk pod 17 let, kterou MedicalAlgorithms nemá a jejíž původ v "
        "práci nelze ověřit; metoda ji nepoužívá a pro mladší věk nedává výsledek. Přepočet hustoty na podíl "
        "tuku Siri, W. E. (1961): Body composition from fluid spaces and density: analysis of methods. In: "
        "Brožek, J., Henschel, A. (eds.): Techniques for measuring body composition. Washington: National "
        "Academy of Sciences, 223–244.";
    const Names durninWomersleyInputs{"Kožní řasa subskapulární", "Kožní řasa nad tricepsem", "Kožní řasa nad bicepsem",
                                      "Kožní řasa suprailiakální", "Věk jedince (roky)"};
    const Names durninWomersleyOutputs{"Hustota těla (g/cm³)", "Množství tuku podle Siriho (%)"};
    // The Jackson-Pollock rows stand in menu order.
    static const std::vector<MethodRow> rows{
        {7, Menu::Matiegka, "Hmotnost kostry", "Metoda podle Matiegky",
         {"Šířka epikondylů humeru", "Šířka zápěstí", "Šířka distálního konce femuru (distální epifýzy femuru)",
          "Šířka kotníku", "Výška těla"},
         {"Hmotnost kostry"}, matiegkaSkeleton, "q = (x0 + x1 + x2 + x3) / 4\nvýsledek = q · q · x4 · 1,2", matiegka},
        {8, Menu::Matiegka, "Hmotnost kůže a podkožní tkáně – tukového vaziva ",
         "Kožní řasy měřeny kaliperem typu Best, metoda podle Matiegky",
         {"Kožní řasa nad m. biceps brachii", "Kožní řasa na volární straně předloktí (v místě největšího obvodu)",
          "Kožní řasa na stehně", "Kožní řasa na lýtku", "Kožní řasa na hrudníku II (ve výši 10. žebra)",
          "Kožní řasa na břiše", "Povrch těla"},
         {"Hmotnost kůže a podkožní tkáně"}, matiegkaSkin,
         "S = x0 + x1 + x2 + x3 + x4 + x5 (šest kožních řas)\nvýsledek = 0,5 · S · x6 · 0,13", matiegka},
        {9, Menu::Matiegka, "Hmotnost svalstva", "metoda podle Matiegky",
         {"Obvod paže", "Řasa triceps", "Řasa biceps", "Obvod předloktí", "Řasa předloktí", "Střední obvod stehna",
          "Řasa na stehně", "Maximální obvod lýtka", "Maximální řasa lýtka", "Tělesná výška"},
         {"Hmotnost svalstva"}, matiegkaMuscle,
         "k = 1/π = 0,3183098861837907\n"
         "r = 0,25 · ((k · x0 − 0,5 · x1 − 0,5 · x2) + (k · x3 − x4) + (k · x5 − x6) + (k · x7 − x8))\n"
         "výsledek = 6,5 · r · r · x9",
         matiegka},
        {11, Menu::JacksonPollock, "Množství podkožního tuku podle Jackson-Pollocka (Muži)", nullptr,
         {"Kožní řasa na hrudníku", "Kožní řasa na břiše", "Kožní řasa na stehně"}, {fat}, jacksonPollockMen,
         "S = x0 + x1 + x2\n"
         "D = 1,10938 − 0,0008267 · S + 0,0000016 · S² − 0,0002574 (věk nevstupuje, člen 0,0002574 je pro "
         "všechny řádky stejný)\n"
         "výsledek = 100 · (4,95 / D − 4,5); při D = 0 je podíl 0",
         "Jackson, A. S., Pollock, M. L. (1978): Generalized equations for predicting body density "
         "of men. British Journal of Nutrition 40: 497–504 (upraveno: věk je 1); přepočet hustoty "
         "na podíl tuku Siri, W. E. (1961): Body composition from fluid spaces and density: "
         "analysis of methods. In: Brožek, J., Henschel, A. (eds.): Techniques for measuring body "
         "composition. Washington: National Academy of Sciences, 223–244."},
        {10, Menu::JacksonPollock, "Množství podkožního tuku podle Jackson-Pollocka (Ženy)", nullptr,
         {"Kožní řasa subskapulární", "Kožní řasa na tricepsu", "Kožní řasa na stehně"}, {fat}, jacksonPollockWomen,
         "S = x0 + x1 + x2\n"
         "D = 1,0994921 − 0,0009929 · S + 0,0000023 · S² − 0,0001392 (věk nevstupuje, člen 0,0001392 je "
         "pro všechny řádky stejný)\n"
         "výsledek = 100 · (5,01 / D − 4,57); při D = 0 je podíl 0",
         "Upraveno podle Jackson, A. S., Pollock, M. L., Ward, A. (1980): Generalized equations "
         "for predicting body density of women. Medicine and Science in Sports and Exercise 12: "
         "175–182. Původní rovnice sčítá řasy na tricepsu, suprailiakální a na stehně a odečítá "
         "0,0001392 · věk; zde se sčítají řasy subskapulární, na tricepsu a na stehně a věk je 1. "
         "Přepočet 5,01 / D − 4,57: zdroj neověřen."},
        {14, Menu::JacksonPollock, "Množství podkožního tuku podle Jackson-Pollocka (chlapci, 1. varianta)", nullptr,
         {"Kožní řasa na tricepsu", "Kožní řasa na lýtku"}, {fat}, jacksonPollockBoys1,
         "S = x0 + x1\nvýsledek = 0,735 · S + 1", slaughter},
        {15, Menu::JacksonPollock, "Množství podkožního tuku podle Jackson-Pollocka (chlapci, 2. varianta)", nullptr,
         {"Kožní řasa na tricepsu", "Kožní řasa subskapulární", "Konstata odvozená podle zralosti"}, {fat},
         jacksonPollockBoys2,
         "S = x0 + x1\n"
         "S ≥ 35: výsledek = 0,785 · S + 1,6\n"
         "jinak (i když S není číslo): výsledek = 1,21 · S − 0,008 · S² + x2 (x2 je konstanta podle zralosti)",
         "Slaughter, M. H. et al. (1988): Skinfold equations for estimation of body fatness in "
         "children and youth. Human Biology 60(5): 709–723. Upraveno: v původní rovnici pro součet "
         "nad 35 mm je koeficient 0,783, zde 0,785; konstanta podle zralosti se v původní práci "
         "odečítá, zde se zadaná hodnota přičítá."},
        {12, Menu::JacksonPollock, "Množství podkožního tuku podle Jackson-Pollocka (dívky, 1. varianta)", nullptr,
         {"Kožní řasa na tricepsu", "Kožní řasa na lýtku"}, {fat}, jacksonPollockGirls1,
         "S = x0 + x1\nvýsledek = 0,61 · S + 5,1", slaughter},
        {13, Menu::JacksonPollock, "Množství podkožního tuku podle Jackson-Pollocka (dívky, 2. varianta)", nullptr,
         {"Kožní řasa na tricepsu", "Kožní řasa subskapulární"}, {fat}, jacksonPollockGirls2,
         "S = x0 + x1\n"
         "S ≥ 35: výsledek = 0,546 · S + 9,7\n"
         "jinak (i když S není číslo): výsledek = 1,33 · S − 0,013 · S² − 2,5",
         "Slaughter, M. H. et al. (1988): Skinfold equations for estimation of body fatness in "
         "children and youth. Human Biology 60(5): 709–723. Upraveno: v původní rovnici pro součet "
         "do 35 mm je absolutní člen −2,4, zde −2,5."},
        {16, Menu::Parizkova, "Množství podkožního tuku podle Pařízkové pro chlapce 9 - 12 let", nullptr,
         parizkovaSkinfolds, {parizkovaFat}, parizkovaDensity<boys9to12>,
         "S = x0 + x1 + … + x9 (deset kožních řas)\n"
         "D = 1,18 − 0,069 · log10(|S|)\n"
         "výsledek = 100 · (4,201 / D − 3,813); při D = 0 je podíl 0",
         parizkova},
        {17, Menu::Parizkova, "Množství podkožního tuku podle Pařízkové pro chlapce 13 - 16 let", nullptr,
         parizkovaSkinfolds, {parizkovaFat}, parizkovaDensity<boysAndGirls13to16>,
         "S = x0 + x1 + … + x9 (deset kožních řas)\n"
         "D = 1,205 − 0,078 · log10(|S|)\n"
         "výsledek = 100 · (4,201 / D − 3,813); při D = 0 je podíl 0",
         parizkova},
        {18, Menu::Parizkova, "Množství podkožního tuku podle Pařízkové pro chlapce 17 - 45 let", nullptr,
         parizkovaSkinfolds, {parizkovaFat}, parizkovaAdult<boys17to45>,
         "S = x0 + x1 + … + x9 (deset kožních řas)\nvýsledek = 28,96 · log10(|S|) − 41,27", parizkova},
        {19, Menu::Parizkova, "Množství podkožního tuku podle Pařízkové pro dívky 9 - 12 let", nullptr,
         parizkovaSkinfolds, {parizkovaFat}, parizkovaDensity<girls9to12>,
         "S = x0 + x1 + … + x9 (deset kožních řas)\n"
         "D = 1,16 − 0,061 · log10(|S|)\n"
         "výsledek = 100 · (4,201 / D − 3,813); při D = 0 je podíl 0",
         parizkova},
        {20, Menu::Parizkova, "Množství podkožního tuku podle Pařízkové pro dívky 13 - 16 let", nullptr,
         parizkovaSkinfolds, {parizkovaFat}, parizkovaDensity<boysAndGirls13to16>,
         "S = x0 + x1 + … + x9 (deset kožních řas)\n"
         "D = 1,205 − 0,078 · log10(|S|)\n"
         "výsledek = 100 · (4,201 / D − 3,813); při D = 0 je podíl 0",
         parizkova},
        {21, Menu::Parizkova, "Množství podkožního tuku podle Pařízkové pro dívky 17 - 45 let", nullptr,
         parizkovaSkinfolds, {parizkovaFat}, parizkovaAdult<girls17to45>,
         "S = x0 + x1 + … + x9 (deset kožních řas)\nvýsledek = 35,572 · log10(|S|) − 61,25", parizkova},
        {22, Menu::DurninWomersley, "Množství podkožního tuku podle Durnin-Womersley", nullptr,
         {"Kožní řasa subskapulární", "Kožní řasa nad tricepsem", "Kožní řasa nad bicepsem",
          "Kožní řasa suprailiakální", "Věk jedince"},
         {"Množství podkožního tuku"}, durninWomersley,
         "S = x0 + x1 + x2 + x3\n"
         "D = 1,1714 − 0,063 · log10(|S|) − 0,000406 · x4\n"
         "výsledek = 495 / D − 450 (v procentech); při D = 0 je podíl 0",
         "Upraveno podle Durnin, J. V. G. A., Womersley, J. (1974): Body fat assessed from total "
         "body density and its estimation from skinfold thickness: measurements on 481 men and "
         "women aged from 16 to 72 years. British Journal of Nutrition 32: 77–97. Původní práce "
         "dává rovnice zvlášť pro pohlaví a věková pásma; jednotná rovnice s členem 0,000406 · "
         "věk: zdroj neověřen. Přepočet hustoty na podíl tuku Siri, W. E. (1961): Body composition "
         "from fluid spaces and density: analysis of methods. In: Brožek, J., Henschel, A. (eds.): "
         "Techniques for measuring body composition. Washington: National Academy of Sciences, "
         "223–244."},
        {DurninWomersleyMenId, Menu::DurninWomersley, "Durnin a Womersley (1974), muži", nullptr,
         durninWomersleyInputs, durninWomersleyOutputs, durninWomersleyMen,
         "S = x0 + x1 + x2 + x3 (součet čtyř kožních řas v mm)\n"
         "hustota D = c − m · log10(S), c a m podle věku x4 v letech:\n"
         "17 ≤ x4 < 20: c = 1,1620, m = 0,0630\n"
         "20 ≤ x4 < 30: c = 1,1631, m = 0,0632\n"
         "30 ≤ x4 < 40: c = 1,1422, m = 0,0544\n"
         "40 ≤ x4 < 50: c = 1,1620, m = 0,0700\n"
         "x4 ≥ 50: c = 1,1715, m = 0,0779\n"
         "podíl tuku = 495 / D − 450 (Siri, v procentech)\n"
         "Věk pod 17 let a součet S, který není kladný, nemají rovnici: obě hodnoty chybějí.",
         durninWomersleyLiterature},
        {DurninWomersleyWomenId, Menu::DurninWomersley, "Durnin a Womersley (1974), ženy", nullptr,
         durninWomersleyInputs, durninWomersleyOutputs, durninWomersleyWomen,
         "S = x0 + x1 + x2 + x3 (součet čtyř kožních řas v mm)\n"
         "hustota D = c − m · log10(S), c a m podle věku x4 v letech:\n"
         "16 ≤ x4 < 20: c = 1,1549, m = 0,0678\n"
         "20 ≤ x4 < 30: c = 1,1599, m = 0,0717\n"
         "30 ≤ x4 < 40: c = 1,1423, m = 0,0632\n"
         "40 ≤ x4 < 50: c = 1,1333, m = 0,0612\n"
         "x4 ≥ 50: c = 1,1339, m = 0,0645\n"
         "podíl tuku = 495 / D − 450 (Siri, v procentech)\n"
         "Věk pod 16 let a součet S, který není kladný, nemají rovnici: obě hodnoty chybějí.",
         durninWomersleyLiterature},
    };
    return rows;
}
