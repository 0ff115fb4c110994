// Indices, modules and capacities of skulls and long bones (ids 23 to 42).
// Methods with the same formula share a routine. A zero divisor gives 0 in
// that row, as the tables expect; the named classes of the skull indices are
// read off the result when the table shows it.

#include "MatrixRules.h"
#include "MethodRows.h"
#include "SkullMeasurements.h"

namespace {

// 100 x0 / x1.
cv::Mat ratioIndex(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 3);
    // 100 x0 first, then one division: a ratio that is exactly a class bound
    // (29 / 50 for the nasal index 58) comes out exactly, not a hair below it.
    cv::Mat index = quotient(100.0 * input.col(0), input.col(1));
    writeColumn(out, 2, index);
    return out;
}

// The mean of three measurements.
cv::Mat meanModule(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 4);
    cv::Mat module = ((input.col(0) + input.col(1)) + input.col(2)) / 3.0;
    writeColumn(out, 3, module);
    return out;
}

// Length x (breadth x height), the product both capacity formulas start from.
cv::Mat skullProduct(const cv::Mat &input)
{
    return input.col(0).mul(input.col(1).mul(input.col(2)));
}

cv::Mat manouvrier(const cv::Mat &input, double divisor)
{
    cv::Mat out = resultMatrix(input, 4);
    cv::Mat capacity = skullProduct(input) / divisor;
    writeColumn(out, 3, capacity);
    return out;
}

cv::Mat leePearson(const cv::Mat &input, double factor, double constant)
{
    cv::Mat out = resultMatrix(input, 4);
    cv::Mat capacity = factor * skullProduct(input) + constantColumn(input, constant);
    writeColumn(out, 3, capacity);
    return out;
}

cv::Mat manouvrierMen(const cv::Mat &input)
{
    return manouvrier(input, 2.28);
}

cv::Mat manouvrierWomen(const cv::Mat &input)
{
    return manouvrier(input, 2.16);
}

cv::Mat leePearsonMen(const cv::Mat &input)
{
    return leePearson(input, 0.000266, 524.6);
}

cv::Mat leePearsonWomen(const cv::Mat &input)
{
    return leePearson(input, 0.000156, 812.0);
}

cv::Mat robusticityIndex(const cv::Mat &input)
{
    // No factor of 100: diameters 27 and 26 over a length of 430 give 0.123.
    cv::Mat out = resultMatrix(input, 4);
    writeColumn(out, 3, quotient(input.col(0) + input.col(1), input.col(2)));
    return out;
}

cv::Mat intermembralIndex(const cv::Mat &input)
{
    // The upper limb's two lengths over the lower limb's; a zero sum gives 0.
    cv::Mat out = resultMatrix(input, 5);
    cv::Mat upper = input.col(0) + input.col(1);
    cv::Mat lower = input.col(2) + input.col(3);
    cv::Mat index = quotient(upper, lower) * 100.0;
    writeColumn(out, 4, index);
    return out;
}

// The class of a skull index in data column 3, read off the index in column 2.
VerdictColumn indexClass(std::vector<VerdictStep> steps, const char *otherwise)
{
    return chainVerdict(3, 2, std::move(steps), otherwise);
}

} // namespace

const std::vector<MethodRow> &skullMethods()
{
    using namespace Skull;
    const char *const martinSaller = "Martin, R., Saller, K. (1957): Lehrbuch der Anthropologie in "
                                     "systematischer Darstellung, Bd. I. 3. Aufl. Stuttgart: "
                                     "Gustav Fischer.";
    const char *const verdict = "Vyhodnocení";
    const char *const femur = "Délka diafýzy stehenní kosti (M2)";
    const char *const humerus = "Celková délka kosti pažní (M2)";
    static const std::vector<MethodRow> rows{
        {23, Menu::SkullIndices, "Index cranialis (délkošířkový index lebky)", nullptr,
         {"Největší šířka lebky", "Největší délka lebky"}, {"Index cranialis", verdict}, ratioIndex, "100 · x0 / x1",
         martinSaller,
         // The lower class keeps its bound here; the other indices give it to the upper class.
         {indexClass({{true, 75, "dolichokranní"}, {true, 80, "mesokranní"}}, "brachykranní")}},
        {24, Menu::SkullIndices, "Délko-výškový index lebky", nullptr, {M17, M1},
         {"Délko výškový index lebky", verdict}, ratioIndex, "100 · x0 / x1", martinSaller,
         {indexClass({{false, 70, "chamaekranní"}, {false, 75, "orthokranní"}}, "hypsikranní")}},
        {25, Menu::SkullIndices, "Šířko-výškový index lebky", nullptr, {M17, M8},
         {"Šířko výškový index lebky", verdict}, ratioIndex, "100 · x0 / x1", martinSaller,
         {indexClass({{false, 92, "tapeinokranní"}, {false, 98, "metriokranní"}}, "akrokranní")}},
        {26, Menu::SkullIndices, "Obličejový index", nullptr, {M47, M45}, {"Obličejový index", verdict}, ratioIndex,
         "100 · x0 / x1", martinSaller,
         {indexClass({{false, 80, "hypereuryprosopní"},
                      {false, 85, "euryprosopní (nízký obličej)"},
                      {false, 90, "mesoprosopní (středně vysoký obličej)"},
                      {false, 95, "leptoprosopní (vysoký obličej)"}},
                     "hyper leptoprosopní")}},
        {27, Menu::SkullIndices, "Index horního obličeje", nullptr, {M48, M45}, {"Index horního obličeje", verdict},
         ratioIndex, "100 · x0 / x1", martinSaller,
         {indexClass({{false, 45, "hypereuryenní"},
                      {false, 50, "euryenní (nízký horní obličej)"},
                      {false, 55, "mesenní (středně vysoký horní obličej)"},
                      {false, 60, "leptenní (vysoký horní obličej)"}},
                     "hyperleptenní")}},
        {28, Menu::SkullIndices, "Nosní index", nullptr, {M54, M55}, {"Nosní index", verdict}, ratioIndex,
         "100 · x0 / x1", martinSaller,
         // From 58 up no class.
         {indexClass({{false, 47, "leptorhinní (úzkonosý)"},
                      {false, 51, "mesorhinní (středně širokonosý)"},
                      {false, 58, "chamaerhinní (širokonosý)"}},
                     "")}},
        {29, Menu::SkullIndices, "Čelistní index", nullptr, {M40, M5}, {"Čelistní index", verdict}, ratioIndex,
         "100 · x0 / x1", martinSaller,
         {indexClass({{false, 98, "orthognátní"}, {false, 103, "mesognátní"}}, "prognátní")}},
        {30, Menu::Modules, "Modul lebky", nullptr, {M1, M8, M17}, {"Modul lebky"}, meanModule, "(x0 + x1 + x2) / 3",
         martinSaller},
        {31, Menu::Modules, "Modul obličeje", nullptr, {M40, M45, M47}, {"Modul obličeje"}, meanModule,
         "(x0 + x1 + x2) / 3", martinSaller},
        {32, Menu::Manouvrier, "Objem lebky podle Manouvriera pro muže", nullptr, {M1, M8, M17}, {"Objem lebky"},
         manouvrierMen, "x0 · x1 · x2 / 2,28",
         "Manouvrier; podle Martin, R., Saller, K. (1957): Lehrbuch der Anthropologie in "
         "systematischer Darstellung, Bd. I. 3. Aufl. Stuttgart: Gustav Fischer. Koeficient 2,28: "
         "zdroj neověřen."},
        {33, Menu::Manouvrier, "Objem lebky podle Manouvriera pro ženy", nullptr, {M1, M8, M17}, {"Objem lebky"},
         manouvrierWomen, "x0 · x1 · x2 / 2,16",
         "Manouvrier; podle Martin, R., Saller, K. (1957): Lehrbuch der Anthropologie in "
         "systematischer Darstellung, Bd. I. 3. Aufl. Stuttgart: Gustav Fischer. Koeficient 2,16: "
         "zdroj neověřen."},
        {34, Menu::LeePearson, "Objem lebky podle Lee a Pearsona pro muže", nullptr, {M1, M8, M17}, {"Objem lebky"},
         leePearsonMen, "0,000266 · x0 · x1 · x2 + 524,6",
         "Lee, A., Pearson, K. (1901): Data for the problem of evolution in man. VI. A first study "
         "of the correlation of the human skull. Philosophical Transactions of the Royal Society "
         "of London A 196: 225–264. Koeficienty 0,000266 a 524,6: zdroj neověřen."},
        {35, Menu::LeePearson, "Objem lebky podle Lee a Pearsona pro ženy", nullptr, {M1, M8, M17}, {"Objem lebky"},
         leePearsonWomen, "0,000156 · x0 · x1 · x2 + 812",
         "Lee, A., Pearson, K. (1901): Data for the problem of evolution in man. VI. A first study "
         "of the correlation of the human skull. Philosophical Transactions of the Royal Society "
         "of London A 196: 225–264. Koeficienty 0,000156 a 812: zdroj neověřen."},
        {36, Menu::BoneIndices, "Index robusticity", nullptr,
         {"Sagitální průměr středu diafýzy stehenní kosti (M6)",
          "Transverzální průměr středu diafýzy stehenní kosti (M7)", femur},
         {"Index robusticity"}, robusticityIndex, "(x0 + x1) / x2 (bez násobení stem)", martinSaller},
        {37, Menu::BoneIndices, "Index robusticity hlavice", nullptr,
         {"Transverzální průměr hlavice stehenní kosti (M19)", "Sagitální průměr hlavice stehenní kosti (M18)", femur},
         {"Index robusticity hlavice"}, robusticityIndex, "(x0 + x1) / x2 (bez násobení stem)", martinSaller},
        {38, Menu::BoneIndices, "Humeroradiální index", nullptr, {"Délka kosti vřetenní (M1)", humerus},
         {"Humeroradiální index"}, ratioIndex, "100 · x0 / x1", martinSaller},
        {39, Menu::BoneIndices, "Tibiofemorální index", nullptr, {"Délka tibie (M1d)", femur},
         {"Tibiofemorální index"}, ratioIndex, "100 · x0 / x1", martinSaller},
        {40, Menu::BoneIndices, "Intermembrální index", nullptr,
         {"Délka pažní kosti", "Délka loketní kosti", "Délka stehenní kosti", "Délka holenní kosti"},
         {"Intermembrální index"}, intermembralIndex, "100 · (x0 + x1) / (x2 + x3); při x2 + x3 = 0 je výsledek 0",
         martinSaller},
        {41, Menu::BoneIndices, "Femorohumerální index", nullptr, {humerus, femur}, {"Femorohumerální index"},
         ratioIndex, "100 · x0 / x1", martinSaller},
        {42, Menu::BoneIndices, "Index robusticity zánártních kostí", nullptr,
         {"Průměrná hodnota průměru kosti", "Délka kosti"}, {"Index robusticity zánártních kostí"}, ratioIndex,
         "100 · x0 / x1", martinSaller},
    };
    return rows;
}
