// Weight-height and proportion indices of a living person (ids 0 to 6).

#include "MatrixRules.h"
#include "MethodRows.h"

namespace {

cv::Mat queteletBouchardIndex(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 3);
    // The weight is multiplied by 10, not converted to grams.
    writeColumn(out, 2, quotient(input.col(0) * 10.0, input.col(1)));
    return out;
}

cv::Mat rohrerIndex(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 3);
    const cv::Mat h = input.col(1);
    cv::Mat cube = h.mul(h.mul(h));
    writeColumn(out, 2, quotient(input.col(0) * 100000.0, cube));
    return out;
}

cv::Mat bodyMassIndex(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 3);
    const cv::Mat h = input.col(1);
    writeColumn(out, 2, quotient(input.col(0), h.mul(h)));
    return out;
}

cv::Mat waistHipRatio(const cv::Mat &input)
{
    // The risk verdicts for men and women are read off column 2 when shown.
    cv::Mat out = resultMatrix(input, 3);
    writeColumn(out, 2, quotient(input.col(0), input.col(1)));
    return out;
}

// (x1 + x2) * (2 x3 - rohrerFactor x0 + constant) / (heightFactor x4)
cv::Mat proportionalityIndex(const cv::Mat &input, double rohrerFactor, double constant,
                             double heightFactor)
{
    cv::Mat out = resultMatrix(input, 6);
    cv::Mat widths = input.col(1) + input.col(2);
    cv::Mat bracket = 2.0 * input.col(3) - rohrerFactor * input.col(0)
                      + constantColumn(input, constant);
    writeColumn(out, 5, quotient(widths.mul(bracket), heightFactor * input.col(4)));
    return out;
}

cv::Mat keiBoys(const cv::Mat &input)
{
    return proportionalityIndex(input, 16.0, 18.1, 10.0);
}

cv::Mat keiGirls(const cv::Mat &input)
{
    return proportionalityIndex(input, 15.0, 18.6, 20.0);
}

cv::Mat bodySurface(const cv::Mat &input)
{
    // 71.48, not the more often quoted 71.84: the tables were made with it.
    cv::Mat out = resultMatrix(input, 3);
    cv::Mat surface = power(input.col(0), 0.425).mul(power(input.col(1), 0.725)) * 71.48;
    writeColumn(out, 2, surface);
    return out;
}

} // namespace

const std::vector<MethodRow> &bodyBuildMethods()
{
    const char *const keiDescription = "KEI index (Körperbauentwicklungsindex – index vývoje stavby těla) umožňuje "
                                       "odhad biologického (proporcionálního) věku";
    const char *const keiLiterature = "Brauer 1982 (původní práce neověřena); podle Riegerová, J., "
                                      "Přidalová, M., Ulbrichová, M. (2006): Aplikace fyzické "
                                      "antropologie v tělesné výchově a sportu. Olomouc: Hanex.";
    static const std::vector<MethodRow> rows{
        {0, Menu::WeightHeightIndices, "Quetelet-Bouchardův index", "Hmotnost na 1cm",
         {"Hmotnost (kg)", "Tělesná výška (cm)"}, {"Quetelet-Bouchardův index"}, queteletBouchardIndex,
         "(x0 · 10) / x1", "Quetelet 1835; Bouchard (dílo a rok neověřeny)."},
        {1, Menu::WeightHeightIndices, "Rohrerův index", "Index tělesné plnosti",
         {"Hmotnost (kg)", "Tělesná výška (cm)"}, {"Rohrerův index"}, rohrerIndex, "(x0 · 100 000) / x1³",
         "Rohrer 1921 (zdroj neověřen)."},
        {2, Menu::WeightHeightIndices, "Body mass index", "BMI", {"Hmotnost (kg)", "Výška (m)"}, {"BMI"},
         bodyMassIndex, "x0 / x1²", "Quetelet 1835; Keys et al. 1972, název body mass index (zdroj neověřen)."},
        {3, Menu::WeightHeightIndices, "Index rizikovosti", "Index WHR", {"Obvod pasu", "Obvod boků"},
         {"Index rizikovosti", "Vyhodnocení pro muže", "Vyhodnocení pro ženy"}, waistHipRatio, "x0 / x1",
         "Hranice tříd: zdroj neověřen (neopírají se o Vague 1947 ani o WHO). Pro srovnání WHO "
         "(2011): Waist circumference and waist–hip ratio: report of a WHO expert consultation, "
         "Geneva, 8–11 December 2008. Geneva: World Health Organization.",
         {chainVerdict(3, 2,
                       {{false, 0.85, "Spíše periferní"}, {false, 0.9, "Vyrovnaná"}, {true, 0.94, "Spíše centrální"}},
                       "Centrální (riziková)", "Muži"),
          chainVerdict(4, 2,
                       {{false, 0.75, "Spíše periferní"}, {false, 0.8, "Vyrovnaná"}, {true, 0.84, "Spíše centrální"}},
                       "Centrální (riziková)", "Ženy")}},
        {4, Menu::Proportionality, "Chlapci (KEI)", keiDescription,
         {"Rohrerův index", "Biakromiální šířka", "Bispinální šířka", "Obvod předloktí", "Tělesná výška"},
         {"Index proporcionality"}, keiBoys, "(x1 + x2) · (2 · x3 − 16 · x0 + 18,1) / (10 · x4)", keiLiterature},
        {5, Menu::Proportionality, "Dívky (KEI)", keiDescription,
         {"Rohrerův index", "Biakromiální šířka", "Bispinální šířka", "Střední obvod stehna", "Tělesná výška"},
         {"Index proporcionality"}, keiGirls, "(x1 + x2) · (2 · x3 − 15 · x0 + 18,6) / (20 · x4)", keiLiterature},
        {6, Menu::BodySurface, "Povrch lidského těla", nullptr, {"Hmotnost (kg)", "Výška (cm)"},
         {"Povrch lid. těla (cm^2)"}, bodySurface, "71,48 · x0^0,425 · x1^0,725",
         "Du Bois, D., Du Bois, E. F. (1916): A formula to estimate the approximate surface area "
         "if height and weight be known. Archives of Internal Medicine 17: 863–871. Upraveno: "
         "původní konstanta je 71,84, zde 71,48."},
    };
    return rows;
}
