#include "MatrixRules.h"
#include "MethodRows.h"

// Unit conversions, ids 53 to 96. Conversions by the same factor share one
// routine: the factor is a template argument, so each factor is one function.

namespace {

constexpr double thousandth = 0.001;
constexpr double ten = 10;
constexpr double hundred = 100;
constexpr double thousand = 1000;
constexpr double million = 1000000;
constexpr double milesPerMetre = 0.0006213711922373339;
constexpr double yardsPerMetre = 1.0936132983377078;
constexpr double feetPerMetre = 3.280839895013123;
constexpr double inchesPerMetre = 39.37007874015748;
constexpr double radiansPerDegree = 0.017453292519943295;
constexpr double radiansPerMinute = 0.0002908882086657216;
constexpr double radiansPerSecond = 0.00000484813681109536;
constexpr double millionth = 0.000001;
constexpr double tenThousand = 10000;
constexpr double hundredth = 0.01;
constexpr double tenThousandth = 0.0001;
constexpr double squareMilesPerSquareMetre = 0.0000003861021585424458;
constexpr double squareYardsPerSquareMetre = 1.1959900463010802;
constexpr double squareFeetPerSquareMetre = 10.763910416709722;
constexpr double squareInchesPerSquareMetre = 1550.0031000062002;
constexpr double lanyPerSquareMetre = 0.000005792427212359649;
constexpr double billion = 1000000000;
constexpr double hundredThousand = 100000;
constexpr double poundsPerKilogram = 2.2046226218487757;
constexpr double ouncesPerKilogram = 35.27396194958041;
constexpr double hundredThousandth = 0.00001;
constexpr double atmospheresPerPascal = 0.000009869232667160129;
constexpr double mmHgPerPascal = 0.007500637554192106;
constexpr double kilopondsPerNewton = 0.10197162129779283;
constexpr double caloriesPerJoule = 0.23884589662749595;

template <const double &factor>
cv::Mat scaledBy(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 2);
    cv::Mat converted = input.col(0) * factor;
    writeColumn(out, 1, converted);
    return out;
}

// Angles: the factor is the number of radians in one target unit.
template <const double &radians>
cv::Mat dividedBy(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 2);
    cv::Mat converted = input.col(0) / radians;
    writeColumn(out, 1, converted);
    return out;
}

cv::Mat kelvinToCelsius(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 2);
    cv::Mat converted = input.col(0) - constantColumn(input, 1.0) * 273.15;
    writeColumn(out, 1, converted);
    return out;
}

cv::Mat kelvinToFahrenheit(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 2);
    cv::Mat ones = constantColumn(input, 1.0);
    cv::Mat converted = 1.8 * (input.col(0) - ones * 273.15) + ones * 32.0;
    writeColumn(out, 1, converted);
    return out;
}

struct Conversion {
    qint32 id;
    const char *title;
    ComputeFn compute;
    const char *output;
};

// The conversions of one submenu, all from one unit.
struct ConversionGroup {
    Menu::Group menu;
    const char *input;
    std::vector<Conversion> conversions;
};

} // namespace

const std::vector<MethodRow> &unitConversionMethods()
{
    static const std::vector<MethodRow> rows = [] {
        const ConversionGroup groups[] = {
            {Menu::Length, "Metry [m]",
             {{53, "Metry na kilometry", scaledBy<thousandth>, "Kilometry [km]"},
              {54, "Metry na decimetry", scaledBy<ten>, "Decimetry [dm]"},
              {55, "Metry na centimetry", scaledBy<hundred>, "Centimetry [cm]"},
              {56, "Metry na milimetry", scaledBy<thousand>, "Milimetry [mm]"},
              {57, "Metry na mikrometry", scaledBy<million>, "Mikrometry"},
              {58, "Metry na míle", scaledBy<milesPerMetre>, "Míle"},
              {59, "Metry na yardy", scaledBy<yardsPerMetre>, "Yardy [yd]"},
              {60, "Metry na stopy", scaledBy<feetPerMetre>, "Stopy [ft]"},
              {61, "Metry na palce", scaledBy<inchesPerMetre>, "Palce [inch]"}}},
            {Menu::Angle, "Radiány [Rad]",
             {{62, "Radiány na stupně", dividedBy<radiansPerDegree>, "Stupně [°]"},
              {63, "Radiány na minuty", dividedBy<radiansPerMinute>, "Minuty [']"},
              {64, "Radiány na vteřiny", dividedBy<radiansPerSecond>, "Vteřiny [\"]"}}},
            {Menu::Area, "Čtvereční metry [m^2]",
             {{65, "Čtvereční metry na kilometry", scaledBy<millionth>, "Čtvereční kilometry [km^2]"},
              {66, "Čtvereční metry na centimetry", scaledBy<tenThousand>, "Čtvereční centimetry [cm^2]"},
              {67, "Čtvereční metry na milimetry", scaledBy<million>, "Čtvereční  milimetry [mm^2]"},
              {68, "Čtvereční metry na ary", scaledBy<hundredth>, "Ary [a]"},
              {69, "Čtvereční metry na hektary", scaledBy<tenThousandth>, "Hektary [ha]"},
              {70, "Čtvereční metry na míle", scaledBy<squareMilesPerSquareMetre>, "Čtvereční míle"},
              {71, "Čtvereční metry na yardy", scaledBy<squareYardsPerSquareMetre>, "Čtvereční yardy"},
              {72, "Čtvereční metry na stopy", scaledBy<squareFeetPerSquareMetre>, "Čtvereční stopy"},
              {73, "Čtvereční metry na palce", scaledBy<squareInchesPerSquareMetre>, "Čtvereční palce"},
              {74, "Čtvereční metry na lány", scaledBy<lanyPerSquareMetre>, "Lány"}}},
            {Menu::Volume, "Kubické metry [m^3]",
             {{75, "Kubické metry na decimetry", scaledBy<thousand>, "Kubické decimetry [dm^3]"},
              {76, "Kubické metry na centimetry", scaledBy<million>, "Kubické centimetry [cm^3]"},
              {77, "Kubické metry na milimetry", scaledBy<billion>, "Kubické milimetry [mm^3]"},
              {78, "Kubické metry na litry", scaledBy<thousand>, "Litry [l]"},
              {79, "Kubické metry na centilitry", scaledBy<hundredThousand>, "Centilitry [cl]"},
              {80, "Kubické metry na mililitry", scaledBy<million>, "Mililitry [ml]"},
              {81, "Kubické metry na hektolitry", scaledBy<ten>, "Hektolitry [hl]"}}},
            {Menu::Mass, "Kilogramy [kg]",
             {{82, "Kilogramy na gramy", scaledBy<thousand>, "Gramy [g]"},
              {83, "Kilogramy na miligramy", scaledBy<million>, "Miligramy [mg]"},
              {84, "Kilogramy na tuny", scaledBy<thousandth>, "Tuny [t]"},
              {85, "Kilogramy na libry", scaledBy<poundsPerKilogram>, "Libry [lb]"},
              {86, "Kilogramy na unce", scaledBy<ouncesPerKilogram>, "Unce [oz]"}}},
            {Menu::Temperature, "Kelviny [K]",
             {{87, "Kelviny na stupně Celsia", kelvinToCelsius, "Stupně Celsia [°C]"},
              {88, "Kelviny na stupně Farnheita", kelvinToFahrenheit, "Stupně Farnheita [°F]"}}},
            {Menu::Pressure, "Pascaly [Pa]",
             {{89, "Pascaly na hektopascaly", scaledBy<hundredth>, "Hektopascaly [hPa]"},
              {90, "Pascaly na bary", scaledBy<hundredThousandth>, "Bary [bar]"},
              {91, "Pascaly na atmosféry", scaledBy<atmospheresPerPascal>, "Atmosféry [atm]"},
              {92, "Pascaly na konvenční mm rtuťového sloupce", scaledBy<mmHgPerPascal>, "Milimetry [mm]"},
              {93, "Pascaly na torry", scaledBy<mmHgPerPascal>, "Torry [torr]"}}},
            {Menu::Force, "Newtony",
             {{94, "Newtony na kilopondy", scaledBy<kilopondsPerNewton>, "Kilopondy"}}},
            {Menu::Energy, "Jouly [J]",
             {{95, "Jouly na kilojouly", scaledBy<thousandth>, "Kilojouly [kJ]"},
              {96, "Jouly na kalorie", scaledBy<caloriesPerJoule>, "Kalorie [cal]"}}},
        };
        // The title is the description too; the reference reads the formula
        // off the routine and gives every conversion this source.
        const char *const literature =
            "Mezinárodní soustava jednotek SI (BIPM, The International System of Units); míle, yard, stopa, "
            "palec, libra a unce podle mezinárodní dohody o yardu a libře 1959; atmosféra, torr, milimetr "
            "rtuťového sloupce, kilopond a kalorie podle svých konvenčních definic; stupeň Celsia a Fahrenheita "
            "podle definic teplotních stupnic; lán jako historická česká plošná míra.";
        std::vector<MethodRow> list;
        for (const ConversionGroup &group : groups)
            for (const Conversion &c : group.conversions)
                list.push_back({c.id, group.menu, c.title, nullptr, {group.input}, {c.output}, c.compute, nullptr,
                                literature, {}, false, UnitConversion});
        return list;
    }();
    return rows;
}
