// The Heath-Carter anthropometric somatotype: endomorphy, mesomorphy and
// ectomorphy of a living person from ten measurements, with the plain
// skinfold sum (id 43) and with the sum corrected for height (id 112).

#include "MatrixRules.h"
#include "MethodRows.h"

#include <limits>

namespace {

// The endomorphy polynomial of the skinfold sum X.
cv::Mat endomorphyOf(const cv::Mat &input, const cv::Mat &x)
{
    return ((-0.7182 * constantColumn(input, 1.0) + 0.1451 * x) - 0.00068 * x.mul(x)) + 1.4e-06 * x.mul(x.mul(x));
}

// Writes mesomorphy and ectomorphy into columns 11 and 12; both methods share them.
void writeMesomorphyAndEctomorphy(const cv::Mat &input, cv::Mat &out)
{
    const cv::Mat triceps = input.col(0);
    const cv::Mat armGirth = input.col(3);
    const cv::Mat calfGirth = input.col(4);
    const cv::Mat femur = input.col(5);
    const cv::Mat humerus = input.col(6);
    const cv::Mat height = input.col(7);
    const cv::Mat weight = input.col(8);
    const cv::Mat calfSkinfold = input.col(9);

    // The skinfolds correct the girths at a tenth (millimetres to centimetres).
    cv::Mat mesomorphy = 0.858 * humerus + 0.601 * femur + 0.188 * (armGirth - 0.1 * triceps)
                         + 0.161 * (calfGirth - 0.1 * calfSkinfold) - 0.131 * height
                         + constantColumn(input, 4.5);

    // Height over the cube root of the weight; a weight of 0 gives h = 0.
    cv::Mat ratio = quotient(height, power(weight, 0.3333333333333333));

    // Ectomorphy has a floor of 0.1 at and below 38.25; a ratio that is not a
    // number passes every test by and keeps 0.0.
    cv::Mat ectomorphy(input.rows, 1, CV_64F, cv::Scalar(0.0));
    for (int i = 0; i < input.rows; ++i) {
        const double h = ratio.at<double>(i, 0);
        double &e = ectomorphy.at<double>(i, 0);
        if (h >= 40.75)
            e = 0.732 * h - 28.58;
        else if (h > 38.25)
            e = 0.463 * h - 17.63;
        else if (h <= 38.25)
            e = 0.1;
    }

    writeColumn(out, 11, mesomorphy);
    writeColumn(out, 12, ectomorphy);
}

cv::Mat heathCarterSomatotype(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 13);
    // Endomorphy from the plain sum of three skinfolds, not corrected for height.
    cv::Mat x = (input.col(0) + input.col(1)) + input.col(2);
    writeColumn(out, 10, endomorphyOf(input, x));
    writeMesomorphyAndEctomorphy(input, out);
    return out;
}

// The manual's endomorphy: the sum of the three skinfolds scaled to a height
// of 170.18 cm. A height of 0 scales nothing, and endomorphy is missing.
cv::Mat heathCarter2002Somatotype(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 13);
    cv::Mat x = (input.col(0) + input.col(1)) + input.col(2);
    for (int i = 0; i < input.rows; ++i) {
        const double height = input.at<double>(i, 7);
        double &xi = x.at<double>(i, 0);
        xi = height != 0.0 ? xi * 170.18 / height : std::numeric_limits<double>::quiet_NaN();
    }
    writeColumn(out, 10, endomorphyOf(input, x));
    writeMesomorphyAndEctomorphy(input, out);
    return out;
}

const Names somatotypeInputs{"kožní řasa nad tricepsem", "kožní řasa subskapulární", "kožní řasa suprailiakální",
                             "obvod paže kontrahované", "maximální obvod lýtka", "šířka distální epifýzy femuru",
                             "šířka epikondylů humeru", "tělesná výška (cm)", "hmotnost (kg)", "kožní řasa na lýtku"};
const Names somatotypeOutputs{"endomorfní komponenta", "mezomorfní komponenta", "ektomorfní komponenta"};

} // namespace

const std::vector<MethodRow> &somatotypeMethods()
{
    static const std::vector<MethodRow> rows{
        {HeathCarterId, Menu::Somatotype, "Stanovení somatotypu dle Heath-Carter", nullptr, somatotypeInputs,
         somatotypeOutputs, heathCarterSomatotype,
         "X = x0 + x1 + x2 (bez opravy na tělesnou výšku)\n"
         "endomorfní komponenta = −0,7182 + 0,1451 · X − 0,00068 · X² + 0,0000014 · X³\n"
         "mezomorfní komponenta = 0,858 · x6 + 0,601 · x5 + 0,188 · (x3 − 0,1 · x0) + 0,161 · (x4 − 0,1 · x9) − "
         "0,131 · x7 + 4,5\n"
         "h = x7 / |x8|^(1/3); při x8 = 0 je h = 0\n"
         "ektomorfní komponenta: h ≥ 40,75: 0,732 · h − 28,58; 38,25 < h < 40,75: 0,463 · h − 17,63; h ≤ 38,25: "
         "0,1; h není číslo: 0",
         "Heath, B. H., Carter, J. E. L. (1967): A modified somatotype method. American Journal of "
         "Physical Anthropology 27: 57–74; Carter, J. E. L., Heath, B. H. (1990): Somatotyping – "
         "Development and Applications. Cambridge: Cambridge University Press. Upraveno: "
         "endomorfie bez opravy na tělesnou výšku."},
        {HeathCarter2002Id, Menu::Somatotype, "Stanovení somatotypu dle Heath-Carter (Carter 2002)", nullptr,
         somatotypeInputs, somatotypeOutputs, heathCarter2002Somatotype,
         "X = (x0 + x1 + x2) · 170,18 / x7 (součet tří kožních řas v mm opravený na tělesnou výšku x7 v cm); "
         "při x7 = 0 endomorfní komponenta chybí\n"
         "endomorfní komponenta = −0,7182 + 0,1451 · X − 0,00068 · X² + 0,0000014 · X³\n"
         "mezomorfní komponenta = 0,858 · x6 + 0,601 · x5 + 0,188 · (x3 − 0,1 · x0) + 0,161 · (x4 − 0,1 · x9) − "
         "0,131 · x7 + 4,5\n"
         "h = x7 / |x8|^(1/3); při x8 = 0 je h = 0\n"
         "ektomorfní komponenta: h ≥ 40,75: 0,732 · h − 28,58; 38,25 < h < 40,75: 0,463 · h − 17,63; h ≤ 38,25: "
         "0,1; h není číslo: 0\n"
         "Rozdíl proti metodě „Stanovení somatotypu dle Heath-Carter“: ta dosazuje do rovnice endomorfie prostý "
         "součet tří kožních řas, tato metoda ho nejprve násobí poměrem 170,18 / tělesná výška, jak to předepisuje "
         "manuál (Carter 2002). Endomorfie se tak vztahuje k člověku vysokému 170,18 cm: u člověka právě této výšky "
         "dávají obě metody stejnou endomorfii, u vyššího dává tato metoda nižší a u menšího vyšší. Mezomorfní a "
         "ektomorfní komponenta se počítají v obou metodách stejně. Třetí kožní řasa je podle manuálu řasa "
         "supraspinální (nad spina iliaca anterior superior), vstup nese stejný název jako u původní metody.",
         "Carter, J. E. L. (2002): The Heath-Carter Anthropometric Somatotype – Instruction Manual. San Diego "
         "State University, San Diego (revize z března 2002, podle Ross, Carr & Carter 1999, Anthropometry "
         "Illustrated), část 1: rovnice antropometrického somatotypu, endomorfie z řas nad tricepsem, "
         "subskapulární a supraspinální násobených 170,18 / výška; Carter, J. E. L., Heath, B. H. (1990): "
         "Somatotyping – Development and Applications. Cambridge: Cambridge University Press; Heath, B. H., "
         "Carter, J. E. L. (1967): A modified somatotype method. American Journal of Physical Anthropology 27: "
         "57–74. Soubor: stupnice odvodili Heath a Carter (1967) na 844 mužích a ženách z vybraných souborů; podle "
         "manuálu se somatotyp hodnotí u obou pohlaví od dětství do stáří."},
    };
    return rows;
}
