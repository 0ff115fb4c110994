#include "MethodCatalog.h"
#include "MatrixRules.h"

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

} // namespace

void registerUnitConversions()
{
    registerUnitConversion("Metry na kilometry", 53, scaledBy<thousandth>,
                           "Metry [m]", "Kilometry [km]");
    registerUnitConversion("Metry na decimetry", 54, scaledBy<ten>,
                           "Metry [m]", "Decimetry [dm]");
    registerUnitConversion("Metry na centimetry", 55, scaledBy<hundred>,
                           "Metry [m]", "Centimetry [cm]");
    registerUnitConversion("Metry na milimetry", 56, scaledBy<thousand>,
                           "Metry [m]", "Milimetry [mm]");
    registerUnitConversion("Metry na mikrometry", 57, scaledBy<million>,
                           "Metry [m]", "Mikrometry");
    registerUnitConversion("Metry na míle", 58, scaledBy<milesPerMetre>,
                           "Metry [m]", "Míle");
    registerUnitConversion("Metry na yardy", 59, scaledBy<yardsPerMetre>,
                           "Metry [m]", "Yardy [yd]");
    registerUnitConversion("Metry na stopy", 60, scaledBy<feetPerMetre>,
                           "Metry [m]", "Stopy [ft]");
    registerUnitConversion("Metry na palce", 61, scaledBy<inchesPerMetre>,
                           "Metry [m]", "Palce [inch]");
    registerUnitConversion("Radiány na stupně", 62, dividedBy<radiansPerDegree>,
                           "Radiány [Rad]", "Stupně [°]");
    registerUnitConversion("Radiány na minuty", 63, dividedBy<radiansPerMinute>,
                           "Radiány [Rad]", "Minuty [']");
    registerUnitConversion("Radiány na vteřiny", 64, dividedBy<radiansPerSecond>,
                           "Radiány [Rad]", "Vteřiny [\"]");
    registerUnitConversion("Čtvereční metry na kilometry", 65, scaledBy<millionth>,
                           "Čtvereční metry [m^2]", "Čtvereční kilometry [km^2]");
    registerUnitConversion("Čtvereční metry na centimetry", 66, scaledBy<tenThousand>,
                           "Čtvereční metry [m^2]", "Čtvereční centimetry [cm^2]");
    registerUnitConversion("Čtvereční metry na milimetry", 67, scaledBy<million>,
                           "Čtvereční metry [m^2]", "Čtvereční  milimetry [mm^2]");
    registerUnitConversion("Čtvereční metry na ary", 68, scaledBy<hundredth>,
                           "Čtvereční metry [m^2]", "Ary [a]");
    registerUnitConversion("Čtvereční metry na hektary", 69, scaledBy<tenThousandth>,
                           "Čtvereční metry [m^2]", "Hektary [ha]");
    registerUnitConversion("Čtvereční metry na míle", 70, scaledBy<squareMilesPerSquareMetre>,
                           "Čtvereční metry [m^2]", "Čtvereční míle");
    registerUnitConversion("Čtvereční metry na yardy", 71, scaledBy<squareYardsPerSquareMetre>,
                           "Čtvereční metry [m^2]", "Čtvereční yardy");
    registerUnitConversion("Čtvereční metry na stopy", 72, scaledBy<squareFeetPerSquareMetre>,
                           "Čtvereční metry [m^2]", "Čtvereční stopy");
    registerUnitConversion("Čtvereční metry na palce", 73, scaledBy<squareInchesPerSquareMetre>,
                           "Čtvereční metry [m^2]", "Čtvereční palce");
    registerUnitConversion("Čtvereční metry na lány", 74, scaledBy<lanyPerSquareMetre>,
                           "Čtvereční metry [m^2]", "Lány");
    registerUnitConversion("Kubické metry na decimetry", 75, scaledBy<thousand>,
                           "Kubické metry [m^3]", "Kubické decimetry [dm^3]");
    registerUnitConversion("Kubické metry na centimetry", 76, scaledBy<million>,
                           "Kubické metry [m^3]", "Kubické centimetry [cm^3]");
    registerUnitConversion("Kubické metry na milimetry", 77, scaledBy<billion>,
                           "Kubické metry [m^3]", "Kubické milimetry [mm^3]");
    registerUnitConversion("Kubické metry na litry", 78, scaledBy<thousand>,
                           "Kubické metry [m^3]", "Litry [l]");
    registerUnitConversion("Kubické metry na centilitry", 79, scaledBy<hundredThousand>,
                           "Kubické metry [m^3]", "Centilitry [cl]");
    registerUnitConversion("Kubické metry na mililitry", 80, scaledBy<million>,
                           "Kubické metry [m^3]", "Mililitry [ml]");
    registerUnitConversion("Kubické metry na hektolitry", 81, scaledBy<ten>,
                           "Kubické metry [m^3]", "Hektolitry [hl]");
    registerUnitConversion("Kilogramy na gramy", 82, scaledBy<thousand>,
                           "Kilogramy [kg]", "Gramy [g]");
    registerUnitConversion("Kilogramy na miligramy", 83, scaledBy<million>,
                           "Kilogramy [kg]", "Miligramy [mg]");
    registerUnitConversion("Kilogramy na tuny", 84, scaledBy<thousandth>,
                           "Kilogramy [kg]", "Tuny [t]");
    registerUnitConversion("Kilogramy na libry", 85, scaledBy<poundsPerKilogram>,
                           "Kilogramy [kg]", "Libry [lb]");
    registerUnitConversion("Kilogramy na unce", 86, scaledBy<ouncesPerKilogram>,
                           "Kilogramy [kg]", "Unce [oz]");
    registerUnitConversion("Kelviny na stupně Celsia", 87, kelvinToCelsius,
                           "Kelviny [K]", "Stupně Celsia [°C]");
    registerUnitConversion("Kelviny na stupně Farnheita", 88, kelvinToFahrenheit,
                           "Kelviny [K]", "Stupně Farnheita [°F]");
    registerUnitConversion("Pascaly na hektopascaly", 89, scaledBy<hundredth>,
                           "Pascaly [Pa]", "Hektopascaly [hPa]");
    registerUnitConversion("Pascaly na bary", 90, scaledBy<hundredThousandth>,
                           "Pascaly [Pa]", "Bary [bar]");
    registerUnitConversion("Pascaly na atmosféry", 91, scaledBy<atmospheresPerPascal>,
                           "Pascaly [Pa]", "Atmosféry [atm]");
    registerUnitConversion("Pascaly na konvenční mm rtuťového sloupce", 92, scaledBy<mmHgPerPascal>,
                           "Pascaly [Pa]", "Milimetry [mm]");
    registerUnitConversion("Pascaly na torry", 93, scaledBy<mmHgPerPascal>,
                           "Pascaly [Pa]", "Torry [torr]");
    registerUnitConversion("Newtony na kilopondy", 94, scaledBy<kilopondsPerNewton>,
                           "Newtony", "Kilopondy");
    registerUnitConversion("Jouly na kilojouly", 95, scaledBy<thousandth>,
                           "Jouly [J]", "Kilojouly [kJ]");
    registerUnitConversion("Jouly na kalorie", 96, scaledBy<caloriesPerJoule>,
                           "Jouly [J]", "Kalorie [cal]");
}
