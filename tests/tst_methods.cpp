// The matrix rules the compute routines share, and every method of the
// catalog on worked rows. A result is its input copied bit for bit, then the
// method's result columns. Each row says where its expected numbers come
// from: "definition" (of the unit) or "hand" (worked by hand from the
// method's published formula, the working given; "bound" the same, compared exactly).

#include "MatrixRules.h"
#include "MethodCatalog.h"

#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

using Row = QList<double>;
using Rows = QList<Row>;
using Column = QList<double>;

namespace {

constexpr double none = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
const double pi = M_PI;

// The routine of id over the rows, through computeResult as every caller runs it.
cv::Mat run(int id, const Rows &rows)
{
    const int width = rows.isEmpty() ? MethodCatalog[size_t(id)].inputCount : int(rows.first().size());
    cv::Mat input(int(rows.size()), width, CV_64F);
    for (int i = 0; i < input.rows; ++i)
        for (int j = 0; j < width; ++j)
            input.at<double>(i, j) = rows[i][j];
    return computeResult(MethodCatalog[size_t(id)], input);
}

cv::Mat column(const Column &values)
{
    return cv::Mat(std::vector<double>(values.begin(), values.end()), true);
}

// Relative to the expected value, absolute near 0; NaN matches NaN.
bool near(double actual, double expected)
{
    if (std::isnan(expected) || std::isinf(expected))
        return std::isnan(expected) ? std::isnan(actual) : actual == expected;
    return std::fabs(actual - expected) <= 1e-12 * std::max(1.0, std::fabs(expected));
}

void add(const char *tag, int id, const Rows &input, const Rows &expected, const char *source)
{
    QTest::newRow(tag) << id << input << expected << QString::fromUtf8(source);
}

// Triceps 10, subscapular 12, suprailiac 8 (X = 30), arm 32, calf 36, femur 9.5,
// humerus 7, the height and weight given, calf skinfold 8.
Row person(double height, double weight)
{
    return {10, 12, 8, 32, 36, 9.5, 7, height, weight, 8};
}

} // namespace

class TestMethods : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { buildMethodCatalog(); }

    void results_data()
    {
        QTest::addColumn<int>("id");
        QTest::addColumn<Rows>("input");
        QTest::addColumn<Rows>("expected"); // the result columns of each row
        QTest::addColumn<QString>("source");

        // Body-build indices.
        add("0 QB", 0, {{70, 175}, {70, 0}}, {{4}, {0}}, "hand: 70 · 10 / 175; a zero divisor gives 0");
        add("1 Rohrer", 1, {{70, 175}, {70, 0}}, {{7000000.0 / 5359375}, {0}}, "hand: 70 · 10⁵ / 175³");
        add("2 BMI", 2, {{70, 1.75}, {80, 2}, {70, 0}}, {{70 / 3.0625}, {20}, {0}}, "hand: 70 / 1.75², 80 / 2²");
        add("3 WHR", 3, {{80, 100}, {90, 0}}, {{0.8}, {0}}, "hand: 80 / 100");
        add("4 KEI boys", 4, {{1.3, 30, 25, 22, 150}, {1.3, 30, 25, 22, 0}}, {{55 * (44 - 20.8 + 18.1) / 1500}, {0}},
            "hand: (30 + 25)(2 · 22 − 16 · 1.3 + 18.1) / (10 · 150)");
        add("5 KEI girls", 5, {{1.3, 30, 25, 22, 150}}, {{55 * (44 - 19.5 + 18.6) / 3000}},
            "hand: (30 + 25)(2 · 22 − 15 · 1.3 + 18.6) / (20 · 150)");
        const double surface = 71.48 * std::pow(70, 0.425) * std::pow(175, 0.725);
        add("6 body surface", 6, {{70, 175}, {-70, -175}, {0, 175}}, {{surface}, {surface}, {0}},
            "hand: 71.48 · 70^0.425 · 175^0.725, of absolute values");

        // Body composition.
        add("7 skeleton", 7, {{6, 5.5, 9, 7, 170}}, {{9642.1875}}, "hand: ((6 + 5.5 + 9 + 7) / 4)² · 170 · 1.2");
        add("8 skin", 8, {{10, 10, 10, 10, 10, 10, 18000}}, {{70200}}, "hand: 0.5 · 60 · 18000 · 0.13");
        add("9 muscle", 9, {{30, 10, 6, 26, 5, 50, 15, 36, 9, 170}}, {{4643.766847127076}},
            "hand: r = (142/π − 3 − 5 − 15 − 9 − 5) / 4 (arm skinfolds at half), 6.5 · r² · 170");
        add("10 women", 10, {{15, 20, 25}, {25, 15, 20}}, {{21.026568926612743}, {21.026568926612743}},
            "hand: S = 60, D = 1.0994921 − 0.0009929 S + 0.0000023 S² − 0.0001392, 100 (5.01 / D − 4.57)");
        add("11 men", 11, {{12, 20, 18}}, {{11.845238739466613}},
            "hand: S = 50, D = 1.10938 − 0.0008267 S + 0.0000016 S² − 0.0002574, 100 (4.95 / D − 4.5)");
        add("12 girls 1", 12, {{10, 12}}, {{18.52}}, "hand: 0.61 · 22 + 5.1");
        add("14 boys 1", 14, {{10, 12}}, {{17.17}}, "hand: 0.735 · 22 + 1");
        add("13 girls 2", 13, {{20, 15}, {20, 14.9}, {20, 14.9999999}, {none, 15}},
            {{28.81}, {28.08287}, {28.124999958}, {none}},
            "hand: s ≥ 35: 0.546 s + 9.7, else 1.33 s − 0.013 s² − 2.5 (NaN takes the second)");
        add("15 boys 2", 15,
            {{20, 15, -1.7}, {20, 15, -3.4}, {20, 14.9, -1.7}, {20, 14.9, -3.4}, {20, 14.9999999, -1.7}},
            {{29.075}, {29.075}, {30.78492}, {29.08492}, {30.849999935}},
            "hand: s ≥ 35: 0.785 s + 1.6, else 1.21 s − 0.008 s² + x2");
        const Row tens(10, 10.0);
        const Row fifty5 = {5, 5, 5, 5, 5, 5, 5, 5, 5, 10};
        add("16 boys 9-12", 16, {tens, fifty5, Row(10, -10.0)}, {{21.866986564299438}, {15.052547267240435},
                                                                 {21.866986564299438}},
            "hand: D = 1.18 − 0.069 log10 |S|, 100 (4.201 / D − 3.813), S = 100, 55, −100");
        add("17 boys 13-16", 17, {tens}, {{19.17664442326017}}, "hand: D = 1.205 − 0.078 · 2, 100 (4.201 / D − 3.813)");
        add("20 girls 13-16", 20, {tens}, {{19.17664442326017}}, "hand: the constants of id 17");
        add("19 girls 9-12", 19, {tens}, {{23.42061657032759}}, "hand: D = 1.16 − 0.061 · 2, 100 (4.201 / D − 3.813)");
        add("18 men 17-45", 18, {tens, fifty5}, {{16.65}, {9.1309034877533}}, "hand: 28.96 log10 S − 41.27");
        add("21 women 17-45", 21, {tens}, {{9.894}}, "hand: 35.572 · 2 − 61.25");
        add("22 Durnin-Womersley", 22, {{10, 10, 10, 10, 30}}, {{17.735589339999876}},
            "hand: D = 1.1714 − 0.063 log10 40 − 0.000406 · 30, 495 / D − 450");
        // Durnin & Womersley (1974) by sex and age band: D = c − m log10 S, then
        // Siri's 495 / D − 450; c and m of each band as Topend Sports and
        // MedicalAlgorithms reproduce the paper's four-skinfold equations.
        // Worked with S = 40 (log10 S = 1.6020599913279624) and S = 29.
        const Row forty{10, 10, 10, 10};
        auto aged = [](Row skinfolds, double age) {
            skinfolds.append(age);
            return skinfolds;
        };
        add("110 men, one row per band", 110,
            {aged(forty, 18), aged(forty, 26), aged(forty, 35), aged(forty, 45), aged(forty, 60)},
            {{1.0610702205463383, 16.510123849416573}, {1.0618498085480728, 16.167621838008756},
             {1.0550479364717589, 19.172994788611675}, {1.0498558006070424, 21.493322905663376},
             {1.0466995266755517, 22.915089177676236}},
            "hand: S = 40; 17–19: 1.1620, 0.0630; 20–29: 1.1631, 0.0632; 30–39: 1.1422, 0.0544; "
            "40–49: 1.1620, 0.0700; 50 and over: 1.1715, 0.0779");
        add("110 man of 26, S = 29", 110, {{8, 7, 6, 8, 26}}, {{1.070676446532786, 12.324544079565896}},
            "hand: D = 1.1631 − 0.0632 log10 29; the textbook's check, about 12.3 %");
        // A band holds its lower limit and every age short of the next one.
        add("110 band limits", 110, {aged(forty, 16.99), aged(forty, 17), aged(forty, 19.99), aged(forty, 20)},
            {{none, none}, {1.0610702205463383, 16.510123849416573}, {1.0610702205463383, 16.510123849416573},
             {1.0618498085480728, 16.167621838008756}},
            "hand: under 17 no band; 17 and 19.99 the 17–19 band; 20 the 20–29 band");
        add("111 women, one row per band", 111,
            {aged(forty, 17), aged(forty, 25), aged(forty, 35), aged(forty, 45), aged(forty, 55)},
            {{1.0462803325879642, 23.104563454444701}, {1.045032298621785, 23.669570455208429},
             {1.0410498085480728, 25.481572481497892}, {1.0352539285307287, 28.143561070589328},
             {1.0305671305593462, 30.318055293822454}},
            "hand: S = 40; 16–19: 1.1549, 0.0678; 20–29: 1.1599, 0.0717; 30–39: 1.1423, 0.0632; "
            "40–49: 1.1333, 0.0612; 50 and over: 1.1339, 0.0645");
        add("111 woman of 40, S = 40", 111, {aged(forty, 40)}, {{1.0352539285307287, 28.143561070589328}},
            "hand: D = 1.1333 − 0.0612 log10 40; the textbook's example, 28.14 %");
        add("111 band limits", 111, {aged(forty, 15.99), aged(forty, 16), {8, 7, 6, 8, 50}},
            {{none, none}, {1.0462803325879642, 23.104563454444701}, {1.0395753291355172, 26.155970738194242}},
            "hand: under 16 no band; 16 the 16–19 band; 50 the last band, S = 29");
        // A logarithm needs a positive sum; a missing age leaves the row missing.
        add("110 no positive sum, no age", 110, {{0, 0, 0, 0, 30}, {-5, 1, 1, 1, 30}, {10, 10, 10, 10, none}},
            {{none, none}, {none, none}, {none, none}}, "hand: S = 0 and S = −2 have no logarithm");

        // Skull and skeleton indices: every two-input index is 100 x0 / x1.
        for (int id : {23, 24, 25, 26, 27, 28, 29, 38, 39, 41, 42})
            QTest::addRow("%d index", id) << id << Rows{{140, 180}, {140, 0}} << Rows{{700.0 / 9}, {0}}
                                          << QStringLiteral("hand: 100 · 140 / 180; a zero divisor gives 0");
        // Class bounds are decimal: a ratio that is exactly one must not fall
        // a hair short of it and into the class below. Compared exactly.
        add("28 on a class bound", 28, {{29, 50}}, {{58}}, "bound: 100 · 29 / 50");
        add("23 on class bounds", 23, {{150, 200}, {144, 180}}, {{75}, {80}}, "bound: 100 · 150 / 200, 100 · 144 / 180");
        add("26 on a class bound", 26, {{84.15, 99}}, {{85}}, "bound: 100 · 84.15 / 99");
        add("30 skull module", 30, {{180, 140, 130}}, {{150}}, "hand: 450 / 3");
        add("31 face module", 31, {{100, 135, 120}}, {{355.0 / 3}}, "hand: 355 / 3");
        add("32 Manouvrier men", 32, {{180, 140, 130}}, {{3276000 / 2.28}}, "hand: 180 · 140 · 130 / 2.28");
        add("33 Manouvrier women", 33, {{180, 140, 130}}, {{3276000 / 2.16}}, "hand: 3276000 / 2.16");
        add("34 Lee-Pearson men", 34, {{180, 140, 130}}, {{1396.016}}, "hand: 0.000266 · 3276000 + 524.6");
        add("35 Lee-Pearson women", 35, {{180, 140, 130}}, {{1323.056}}, "hand: 0.000156 · 3276000 + 812");
        add("36 robusticity", 36, {{27, 26, 430}, {27, 26, 0}}, {{53.0 / 430}, {0}}, "hand: (27 + 26) / 430, no 100");
        add("37 head robusticity", 37, {{46, 45, 430}}, {{91.0 / 430}}, "hand: (46 + 45) / 430");
        add("40 intermembral", 40, {{320, 250, 450, 370}, {320, 250, 5, -5}}, {{57000.0 / 820}, {0}},
            "hand: 100 (humerus + radius) / (femur + tibia)");

        // The Heath-Carter somatotype: endomorphy 3.0606 for X = 30 (−0.7182 +
        // 4.353 − 0.612 + 0.0378), mesomorphy 6.006 + 5.7095 + 5.828 + 5.6672 −
        // 0.131 · height + 4.5; ectomorphy 0.732 h − 28.58 from h = 40.75,
        // 0.463 h − 17.63 above 38.25, else 0.1, of h = height / ∛|weight|.
        const double endo = 3.0606;
        add("43 175 cm 70 kg", 43, {person(175, 70)}, {{endo, 4.7857, 0.732 * 175 / std::cbrt(70) - 28.58}},
            "hand: h = 42.4624");
        add("43 165 cm 70 kg", 43, {person(165, 70)}, {{endo, 6.0957, 0.463 * 165 / std::cbrt(70) - 17.63}},
            "hand: h = 40.0360");
        add("43 150 cm 70 kg", 43, {person(150, 70)}, {{endo, 8.0607, 0.1}}, "hand: h = 36.396");
        // A weight of 1 makes h the height.
        add("43 h on the bounds", 43,
            {person(40.75, 1), person(40.7499999, 1), person(38.25, 1), person(38.2500001, 1)},
            {{endo, 22.37245, 1.249}, {endo, 22.3724500131, 1.2372499537}, {endo, 22.69995, 0.1},
             {endo, 22.6999499869, 0.0797500463}},
            "hand: 0.732 · 40.75 − 28.58; 0.463 · 40.7499999 − 17.63; 0.1; 0.463 · 38.2500001 − 17.63");
        add("43 odd weights and heights", 43, {person(175, 0), person(175, -70), person(-175, 70), person(175, none)},
            {{endo, 4.7857, 0.1}, {endo, 4.7857, 0.732 * 175 / std::cbrt(70) - 28.58}, {endo, 50.6357, 0.1},
             {none, none, none}},
            "hand: weight 0 gives h = 0; |weight| under the root; negative h; a missing weight, missing components");
        add("43 skinfolds 0", 43, {{0, 0, 0, 32, 36, 9.5, 7, 175, 70, 0}},
            {{-0.7182, 5.1025, 0.732 * 175 / std::cbrt(70) - 28.58}},
            "hand: X = 0; mesomorphy + 0.188 · 1 + 0.161 · 0.8");
        // Carter (2002): the same mesomorphy and ectomorphy, endomorphy of
        // X = 30 · 170.18 / height; at 170.18 cm the endomorphy of id 43.
        add("112 175 cm 70 kg", 112, {person(175, 70)},
            {{2.9709160077597949, 4.7857, 0.732 * 175 / std::cbrt(70) - 28.58}}, "hand: X = 29.173714285714");
        add("112 150 cm 70 kg", 112, {person(150, 70)}, {{3.4878786510541184, 8.0607, 0.1}}, "hand: X = 34.036");
        add("112 170.18 cm is 43's endomorphy", 112, {person(170.18, 70)},
            {{endo, 5.41712, 0.732 * 170.18 / std::cbrt(70) - 28.58}}, "hand: X = 30, 27.7107 − 0.131 · 170.18");
        add("112 no height", 112, {person(0, 70), person(175, none)}, {{none, 27.7107, 0.1}, {none, none, none}},
            "hand: height 0 corrects no sum, h = 0; a missing weight, missing components");

        // Determination. Histometry: the first function's terms are given; a tie
        // keeps the lower number, and a NaN best is never replaced.
        add("44 human", 44, {{40, 150, 25000, 2000, 60, 200, 180}}, {{91.138, 90.4823, 86.339, 83.572, 1}},
            "hand: S1 = −103.502 + 50.8 + 34.8 − 25 − 96 + 28.98 + 52.2 + 148.86");
        add("44 S4 largest", 44, {{20, 60, 3000, 300, 30, 80, 100}}, {{36.488, 39.2523, 38.831, 46.08, 4}},
            "hand: S4 = −50.421 + 12.666 + 12.15 − 2.4 − 9.72 + 3.561 + 16.464 + 63.78");
        add("44 ties and NaN", 44,
            {{0, 0, 0, 0, inf, 0, 0}, {0, 0, 0, 0, -inf, 0, 0}, {inf, 0, 0, 0, -inf, 0, 0}, Row(7, none)},
            {{inf, -inf, -inf, inf, 1}, {-inf, inf, inf, -inf, 2}, {none, inf, inf, none, 1}, Row(5, none)},
            "hand: the signs of the x4 coefficients, inf − inf = NaN; missing inputs, missing outputs");
        add("45", 45, {{20, 0, 0}, {10, 30, 0}, {12, 9, 60}, {inf, 0, 0}},
            {{-68.558, -41.482, -21.324, -11.625, 4}, {92.552, 97.038, 93.386, 88.585, 2},
             {-34.56, -16.736, -1.001, -5.227, 3}, {inf, inf, inf, inf, 1}},
            "hand: S1 = −107.178 + 1.931 x0 + 6.014 x1 − 0.078 x2, S2 to S4 likewise");
        add("46", 46, {{40, 2000, 60, 150, 25000}}, {{1.603253}},
            "hand: −6.218167 + 6.22928 − 5.214 + 9.14424 − 2.8881 + 0.55");
        // Giles-Elliot: D, column 9 left 0, W-N and W-In of the row's sex; x2, x3
        // and x7 do not enter D, so D = −x0 can be set exactly.
        add("47 on the bound", 47, {{-891.12, 0, 140, 130, 0, 0, 0, 25}, {-891.1199999, 0, 140, 130, 0, 0, 0, 25}},
            {{891.12, 0, -2961.5272, -233.612}, {891.1199999, 0, -1636.298799826, -2972.365999695}},
            "hand: D ≥ 891.12 takes the male set: 3.06 · −891.12 − 1.9 · 140 − 1.79 · 130 + 10.56 · 25");
        add("47 skulls", 47, {{100, 190, 140, 135, 105, 135, 72, 25}, {92, 175, 135, 128, 98, 122, 66, 24}},
            {{942.88, 0, 76.28, 15.93}, {860.88, 0, 117.88, 90.49}},
            "hand: D = −100 + 220.4 + 174.3 + 537.3 + 110.88; the female set below 891.12");
        add("47 D NaN", 47, {{inf, 0, 0, 0, 0, 0, inf, 0}}, {{none, 0, none, none}},
            "hand: −inf + inf; the female set (the male W-N would be inf)");
        add("48", 48, {{140, 135, 190, 135, 100, 105, 72, 25}}, {{2420.3818}},
            "hand: 208.6 + 1136.7 + 817.76 + 29.3355 + 12.55 + 45.3285 + 49.1328 + 120.975");
        add("49", 49, {{135, 190, 100, 105, 72}}, {{2257.9364}}, "hand: 1242.27 + 880.46 + 34.74 + 59.556 + 40.9104");
        add("50", 50, {{1, 2, 3, 1, 2, 3, 1, 2, 3}, Row(9, 0.0)}, {{-17.2094, 8.76005}, {-4.59787, -2.13217}},
            "hand: the nine terms and the constant; all 0 leaves the constants");
        add("51", 51, {{1, 2, 1, 2, 1}, Row(5, 0.0)}, {{(700.0 / 15 + 2.27) / 1.12}, {2.27 / 1.12}},
            "hand: (S · 100 / 15 + 2.27) / 1.12");
        add("52", 52, {{1, 2, 1, 2}, Row(4, 0.0)}, {{(50 + 3.42) / 1.16}, {3.42 / 1.16}},
            "hand: (S · 100 / 12 + 3.42) / 1.16");

        // Unit conversions, every one.
        add("53 m to km", 53, {{1500}, {-2}}, {{1.5}, {-0.002}}, "definition: 1 km = 1000 m");
        add("54 m to dm", 54, {{2.5}}, {{25}}, "definition: 1 m = 10 dm");
        add("55 m to cm", 55, {{1.75}, {none}}, {{175}, {none}}, "definition: 1 m = 100 cm; NaN as any number");
        add("56 m to mm", 56, {{1.234}}, {{1234}}, "definition: 1 m = 1000 mm");
        add("57 m to µm", 57, {{0.002}}, {{2000}}, "definition: 1 m = 10⁶ µm");
        add("58 m to miles", 58, {{1609.344}}, {{1}}, "definition: 1 mile = 1609.344 m");
        add("59 m to yards", 59, {{0.9144}}, {{1}}, "definition: 1 yd = 0.9144 m");
        add("60 m to feet", 60, {{0.3048}}, {{1}}, "definition: 1 ft = 0.3048 m");
        add("61 m to inches", 61, {{0.0254}}, {{1}}, "definition: 1 in = 0.0254 m");
        add("62 rad to degrees", 62, {{pi}}, {{180}}, "definition: π rad = 180°");
        add("63 rad to minutes", 63, {{pi}}, {{10800}}, "definition: 180° = 10800′");
        add("64 rad to seconds", 64, {{pi}}, {{648000}}, "definition: 180° = 648000″");
        add("65 m² to km²", 65, {{2500000}}, {{2.5}}, "definition: 1 km² = 10⁶ m²");
        add("66 m² to cm²", 66, {{1.5}}, {{15000}}, "definition: 1 m² = 10⁴ cm²");
        add("67 m² to mm²", 67, {{2}}, {{2000000}}, "definition: 1 m² = 10⁶ mm²");
        add("68 m² to a", 68, {{250}}, {{2.5}}, "definition: 1 a = 100 m²");
        add("69 m² to ha", 69, {{25000}}, {{2.5}}, "definition: 1 ha = 10⁴ m²");
        add("70 m² to square miles", 70, {{2589988.110336}}, {{1}}, "definition: 1609.344² m²");
        add("71 m² to square yards", 71, {{0.83612736}}, {{1}}, "definition: 0.9144² m²");
        add("72 m² to square feet", 72, {{0.09290304}}, {{1}}, "definition: 0.3048² m²");
        add("73 m² to square inches", 73, {{0.00064516}}, {{1}}, "definition: 0.0254² m²");
        add("74 m² to lány", 74, {{172639.2}}, {{1}}, "definition: the lán as the program takes it, 172639.2 m²");
        add("75 m³ to dm³", 75, {{0.5}}, {{500}}, "definition: 1 m³ = 1000 dm³");
        add("76 m³ to cm³", 76, {{0.002}}, {{2000}}, "definition: 1 m³ = 10⁶ cm³");
        add("77 m³ to mm³", 77, {{0.000003}}, {{3000}}, "definition: 1 m³ = 10⁹ mm³");
        add("78 m³ to l", 78, {{1}}, {{1000}}, "definition: 1 l = 1 dm³");
        add("79 m³ to cl", 79, {{0.75}}, {{75000}}, "definition: 1 cl = 10 cm³");
        add("80 m³ to ml", 80, {{0.25}}, {{250000}}, "definition: 1 ml = 1 cm³");
        add("81 m³ to hl", 81, {{1}}, {{10}}, "definition: 1 hl = 100 dm³");
        add("82 kg to g", 82, {{2}}, {{2000}}, "definition: 1 kg = 1000 g");
        add("83 kg to mg", 83, {{0.5}}, {{500000}}, "definition: 1 kg = 10⁶ mg");
        add("84 kg to t", 84, {{2}}, {{0.002}}, "definition: 1 t = 1000 kg");
        add("85 kg to pounds", 85, {{0.45359237}}, {{1}}, "definition: 1 lb = 0.45359237 kg");
        add("86 kg to ounces", 86, {{0.028349523125}}, {{1}}, "definition: 1 oz = 1/16 lb");
        add("87 K to °C", 87, {{0}, {273.15}}, {{-273.15}, {0}}, "definition: 0 °C = 273.15 K");
        add("88 K to °F", 88, {{0}, {273.15}}, {{-459.67}, {32}}, "definition: °F = 1.8 (K − 273.15) + 32");
        add("89 Pa to hPa", 89, {{101325}}, {{1013.25}}, "definition: 1 hPa = 100 Pa");
        add("90 Pa to bar", 90, {{250000}}, {{2.5}}, "definition: 1 bar = 10⁵ Pa");
        add("91 Pa to atm", 91, {{101325}}, {{1}}, "definition: 1 atm = 101325 Pa");
        add("92 Pa to mm Hg", 92, {{133.322}}, {{1}}, "definition: 1 mm Hg = 133.322 Pa, as the program rounds it");
        add("93 Pa to torr", 93, {{133.322}}, {{1}}, "definition: the program's torr is its mm Hg");
        add("94 N to kp", 94, {{9.80665}}, {{1}}, "definition: 1 kp = 9.80665 N");
        add("95 J to kJ", 95, {{4500}}, {{4.5}}, "definition: 1 kJ = 1000 J");
        add("96 J to cal", 96, {{4.1868}}, {{1}}, "definition: 1 cal (International Table) = 4.1868 J");

        // Landmarks. Centroid sizes put the whole table's value in row 0.
        add("97 distance 2D", 97, {{0, 0, 3, 4}, {1, 1, 1, 1}}, {{5}, {0}}, "hand: 3-4-5 triangle");
        add("98 distance 3D", 98, {{0, 0, 0, 1, 2, 2}}, {{3}}, "hand: √(1 + 4 + 4)");
        add("99 angles", 99,
            {{1, 0, 0, 1, 0, 0}, {1, 0, 2, 0, 0, 0}, {1, 0, -1, 0, 0, 0}, {1, 5, 2, 10, 0, 0}, {0, 0, 1, 0, 0, 0}},
            {{pi / 2}, {0}, {pi}, {0}, {none}},
            "hand: right, zero, straight; parallel rays whose cosine rounds past 1; a zero-length ray has none");
        add("101 centroid 2D", 101, {{0, 0}, {2, 0}, {0, 2}, {2, 2}}, {{2 * std::sqrt(2.0)}, {0}, {0}, {0}},
            "hand: four points at √2 from (1, 1)");
        add("101 centroid of one row", 101, {{3, 4}}, {{0}}, "hand: a point is its own centroid");
        add("102 centroid 3D", 102, {{1, 0, 0}, {-1, 0, 0}, {0, 0, 2}, {0, 0, -2}}, {{std::sqrt(10.0)}, {0}, {0}, {0}},
            "hand: √(1 + 1 + 4 + 4)");
        add("105 point and plane", 105, {{0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 5}, {0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, -5},
             {1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0}, {0, 0, 0, 1, 1, 1, 2, 2, 2, 5, 0, 0}},
            {{5}, {5}, {1 / std::sqrt(3.0)}, {none}},
            "hand: 5 above and below z = 0; origin to x + y + z = 1; collinear points span no plane");
    }

    void results()
    {
        QFETCH(int, id);
        QFETCH(Rows, input);
        QFETCH(Rows, expected);
        QFETCH(QString, source);
        const cv::Mat out = run(id, input);
        const int n = MethodCatalog[size_t(id)].inputCount;
        QCOMPARE(out.rows, int(input.size()));
        QCOMPARE(out.cols, n + int(expected.first().size()));
        for (int i = 0; i < out.rows; ++i) {
            for (int j = 0; j < n; ++j)
                QVERIFY2(std::memcmp(&out.at<double>(i, j), &input[i][j], sizeof(double)) == 0, "input not copied");
            for (int k = 0; k < expected[i].size(); ++k) {
                const double actual = out.at<double>(i, n + k);
                QVERIFY2(source.startsWith(QStringLiteral("bound")) ? actual == expected[i][k] : near(actual, expected[i][k]),
                         qPrintable(QStringLiteral("row %1, column %2: %3, expected %4 (%5)")
                                        .arg(i).arg(n + k).arg(actual, 0, 'g', 17).arg(expected[i][k], 0, 'g', 17)
                                        .arg(source)));
            }
        }
    }

    // No rows in, no rows out, at the width one row gives.
    void noRowsKeepTheFullWidth()
    {
        for (int id = 0; id < MethodCatalogSize; ++id) {
            if (!isRegisteredMethod(id))
                continue;
            const int width = run(id, {Row(MethodCatalog[size_t(id)].inputCount, 0.0)}).cols;
            const cv::Mat empty = run(id, {});
            QVERIFY2(empty.rows == 0 && empty.cols == width, qPrintable(QString::number(id)));
        }
    }

    // The element-wise rules every routine relies on, on exactly the cases
    // where OpenCV 4 itself differs: zero divisors, non-integer powers of
    // negative numbers and of 0, and the logarithm of 0 and of negative numbers.
    void elementWise_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<Column>("a");
        QTest::addColumn<Column>("b");
        QTest::addColumn<double>("s");
        QTest::addColumn<Column>("expected"); // 0 exactly, anything else to 1e-12 (relative)
        const double e = std::exp(1.0);
        QTest::newRow("a / b, 0 for a zero divisor, 0/0 too")
            << "quotient" << Column{6, 1, 0, -3} << Column{3, 0, 0, 2} << 0.0 << Column{2, 0, 0, -1.5};
        QTest::newRow("s / b") << "scalar quotient" << Column{} << Column{4, 0, -0.0} << 10.0 << Column{2.5, 0, 0};
        // Exactly 0, not OpenCV's 1e-103.
        QTest::newRow("cube root of the absolute value")
            << "power" << Column{-8, 8, 0, -0.0} << Column{} << 1.0 / 3.0 << Column{2, 2, 0, 0};
        QTest::newRow("integer power keeps the sign") << "power" << Column{-2, 0, 3} << Column{} << 3.0
                                                      << Column{-8, 0, 27};
        QTest::newRow("square") << "power" << Column{-2} << Column{} << 2.0 << Column{4};
        // ln 0 is a large negative finite value (about -709.09), not minus infinity.
        QTest::newRow("ln of the absolute value") << "ln" << Column{e, -e * e} << Column{} << 0.0 << Column{1, 2};
        QTest::newRow("log10 of the absolute value") << "log10" << Column{1000, -0.01} << Column{} << 0.0
                                                     << Column{3, -2};
    }

    void elementWise()
    {
        QFETCH(QString, rule);
        QFETCH(Column, a);
        QFETCH(Column, b);
        QFETCH(double, s);
        QFETCH(Column, expected);
        const cv::Mat m = rule == "quotient" ? quotient(column(a), column(b))
                          : rule == "scalar quotient" ? quotient(s, column(b))
                          : rule == "power" ? power(column(a), s)
                          : rule == "ln" ? naturalLog(column(a))
                                         : decimalLog(column(a));
        for (int i = 0; i < expected.size(); ++i) {
            const double v = m.at<double>(i), x = expected[i];
            QVERIFY2(x == 0 ? v == 0 : std::fabs(v - x) <= 1e-12 * std::fabs(x),
                     qPrintable(QStringLiteral("%1: %2, expected %3").arg(i).arg(v, 0, 'g', 17).arg(x)));
        }
    }

    void logarithmOfZeroIsFinite()
    {
        const double l = naturalLog(column({0.0})).at<double>(0);
        QVERIFY(std::isfinite(l) && std::fabs(l + 709.09) < 0.01);
    }

    void quotientWorksOnColumnViews()
    {
        cv::Mat m = (cv::Mat_<double>(2, 3) << 1, 2, 0, 3, 0, 9);
        cv::Mat q = quotient(m.col(1), m.col(2));
        QCOMPARE(q.at<double>(0), 0.0);
        QCOMPARE(q.at<double>(1), 0.0);
        QCOMPARE(quotient(m.col(2), m.col(0)).at<double>(1), 3.0);
    }

    // Columns of a matrix of 3 (rows 1 2 3 and 4 5 6) in the order given, a
    // copy: an index outside it gives a column of 0.0, whatever its distance;
    // column j stays 0.0 past the indices given.
    void selectedColumns_data()
    {
        QTest::addColumn<std::vector<int>>("indices");
        QTest::addColumn<int>("n");
        QTest::addColumn<std::vector<double>>("firstRow");
        QTest::newRow("given order, a column twice") << std::vector<int>{2, 0, 2, 5} << 4
                                                     << std::vector<double>{3, 1, 3, 0};
        // The fault caught: a bound of "index <= columns" takes column 3 of
        // a matrix that has 0 to 2.
        QTest::newRow("index equal to the column count") << std::vector<int>{3, 0} << 2 << std::vector<double>{0, 1};
        QTest::newRow("last column") << std::vector<int>{2} << 1 << std::vector<double>{3};
        // A bound of "index > 0" would leave out the first column.
        QTest::newRow("first column") << std::vector<int>{0, 1} << 2 << std::vector<double>{1, 2};
        QTest::newRow("index -1") << std::vector<int>{-1, 2} << 2 << std::vector<double>{0, 3};
        QTest::newRow("fewer indices than columns") << std::vector<int>{1} << 3 << std::vector<double>{2, 0, 0};
    }

    void selectedColumns()
    {
        QFETCH(std::vector<int>, indices);
        QFETCH(int, n);
        QFETCH(std::vector<double>, firstRow);
        const cv::Mat m = (cv::Mat_<double>(2, 3) << 1, 2, 3, 4, 5, 6);
        cv::Mat s = selectColumns(m, indices, n);
        QCOMPARE(s.rows, 2);
        QCOMPARE(s.cols, n);
        for (int j = 0; j < n; ++j) {
            QCOMPARE(s.at<double>(0, j), firstRow[size_t(j)]);
            // The second row is the first plus 3 where a column was taken.
            QCOMPARE(s.at<double>(1, j), firstRow[size_t(j)] == 0 ? 0.0 : firstRow[size_t(j)] + 3);
        }
        // Writing into the copy leaves the matrix as it was (1 + ... + 6).
        s.setTo(99);
        QCOMPARE(cv::sum(m)[0], 21.0);
    }

    void resultMatrixCopiesInputAndZeroesTheRest()
    {
        cv::Mat in = (cv::Mat_<double>(2, 2) << 1, 2, 3, 4);
        cv::Mat out = resultMatrix(in, 4);
        QCOMPARE(out.cols, 4);
        QCOMPARE(out.at<double>(1, 1), 4.0);
        QCOMPARE(out.at<double>(1, 3), 0.0);
        QCOMPARE(resultMatrix(cv::Mat(0, 2, CV_64F), 5).cols, 5);
        QCOMPARE(passThrough(in).data, in.data);
    }
};

QTEST_APPLESS_MAIN(TestMethods)
#include "tst_methods.moc"
