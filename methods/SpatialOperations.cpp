// Measurements on landmark coordinates (ids 97 to 102 and 105).

#include "MatrixRules.h"
#include "MethodRows.h"

#include <algorithm>
#include <cmath>

namespace {

// Euclidean distance of the point in columns 0..d-1 from the one in d..2d-1.
cv::Mat pointDistance(const cv::Mat &input, int dimensions)
{
    cv::Mat out = resultMatrix(input, 2 * dimensions + 1);
    cv::Mat squares = cv::Mat::zeros(input.rows, 1, CV_64F);
    for (int c = 0; c < dimensions; ++c)
        squares += power(input.col(c) - input.col(dimensions + c), 2);
    writeColumn(out, 2 * dimensions, power(squares, 0.5));
    return out;
}

// The whole table is one configuration, a landmark per row; the size goes to
// row 0 and every other row keeps 0.
cv::Mat centroidSize(const cv::Mat &input, int dimensions)
{
    cv::Mat out = resultMatrix(input, dimensions + 1);
    if (input.rows == 0)
        return out;
    cv::Mat centroid;
    cv::reduce(input.colRange(0, dimensions), centroid, 0, cv::REDUCE_SUM, CV_64F);
    centroid /= double(input.rows);
    cv::Mat deviations = input.colRange(0, dimensions) - cv::repeat(centroid, input.rows, 1);
    double sumOfSquares = cv::sum(power(deviations, 2))[0];
    out.at<double>(0, dimensions) = std::sqrt(sumOfSquares);
    return out;
}

cv::Mat pointDistance2D(const cv::Mat &input)
{
    return pointDistance(input, 2);
}

cv::Mat pointDistance3D(const cv::Mat &input)
{
    return pointDistance(input, 3);
}

cv::Mat angleSize2D(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 7);
    for (int i = 0; i < input.rows; ++i) {
        const double *x = input.ptr<double>(i);
        const double ux = x[0] - x[4], uy = x[1] - x[5];
        const double vx = x[2] - x[4], vy = x[3] - x[5];
        // A ray of zero length has no angle: 0/0 stays not-a-number, and no
        // zero-divisor rule turns it into a right angle.
        double cosine = (ux * vx + uy * vy) / (std::sqrt(ux * ux + uy * uy) * std::sqrt(vx * vx + vy * vy));
        // Rounding can push parallel rays just past +-1, where acos has no value.
        if (!std::isnan(cosine))
            cosine = std::clamp(cosine, -1.0, 1.0);
        out.at<double>(i, 6) = std::acos(cosine);
    }
    return out;
}

cv::Mat centroidSize2D(const cv::Mat &input)
{
    return centroidSize(input, 2);
}

cv::Mat centroidSize3D(const cv::Mat &input)
{
    return centroidSize(input, 3);
}

cv::Mat pointPlaneDistance(const cv::Mat &input)
{
    cv::Mat out = resultMatrix(input, 13);
    for (int i = 0; i < input.rows; ++i) {
        const double *v = input.ptr<double>(i);
        const double x1 = v[0], y1 = v[1], z1 = v[2];
        const double x2 = v[3], y2 = v[4], z2 = v[5];
        const double x3 = v[6], y3 = v[7], z3 = v[8];
        const double a = y1 * (z2 - z3) + y2 * (z3 - z1) + y3 * (z1 - z2);
        const double b = z1 * (x2 - x3) + z2 * (x3 - x1) + z3 * (x1 - x2);
        const double c = x1 * (y2 - y3) + x2 * (y3 - y1) + x3 * (y1 - y2);
        const double d = -x1 * (y2 * z3 - y3 * z2) - x2 * (y3 * z1 - y1 * z3) - x3 * (y1 * z2 - y2 * z1);
        const double norm = std::sqrt(a * a + b * b + c * c);
        // Three points on one line span no plane: 0/0 stays not-a-number.
        out.at<double>(i, 12) = std::fabs(a * v[9] + b * v[10] + c * v[11] + d) / norm;
    }
    return out;
}

} // namespace

const std::vector<MethodRow> &spatialMethods()
{
    static const std::vector<MethodRow> rows = [] {
        const char *const distance = "Euklidovská vzdálenost; Bookstein, F. L. (1991): "
                                      "Morphometric Tools for Landmark Data: Geometry and Biology. "
                                      "Cambridge: Cambridge University Press; Zelditch, M. L., "
                                      "Swiderski, D. L., Sheets, H. D., Fink, W. L. (2004): "
                                      "Geometric Morphometrics for Biologists: A Primer. San "
                                      "Diego: Elsevier Academic Press.";
        const char *const centroid = "Bookstein, F. L. (1991): Morphometric Tools for Landmark "
                                      "Data: Geometry and Biology. Cambridge: Cambridge University "
                                      "Press; Dryden, I. L., Mardia, K. V. (1998): Statistical "
                                      "Shape Analysis. Chichester: Wiley.";
        // The title is the description too.
        std::vector<MethodRow> list{
            {97, Menu::Landmarks, "Vzdálenost bodů 2D", nullptr, {"x1", "y1", "x2", "y2"}, {"vzdálenost"},
             pointDistance2D, "√((x2 − x0)² + (x3 − x1)²)", distance},
            {98, Menu::Landmarks, "Vzdálenost bodů 3D", nullptr, {"x1", "y1", "z1", "x2", "y2", "z2"}, {"vzdálenost"},
             pointDistance3D, "√((x3 − x0)² + (x4 − x1)² + (x5 − x2)²)", distance},
            {99, Menu::Landmarks, "Velikost úhlu 2D", nullptr, {"xa", "ya", "xb", "yb", "xc", "yc"}, {"velikost úhlu"},
             angleSize2D,
             "úhel při vrcholu c = (x4, x5) mezi rameny k bodům a = (x0, x1) a b = (x2, x3):\n"
             "U = (x0 − x4, x1 − x5), V = (x2 − x4, x3 − x5)\n"
             "úhel = arccos((Ux · Vx + Uy · Vy) / (|U| · |V|)) v radiánech, 0 až π; při nulové délce ramene "
             "výsledek není číslo",
             "Bookstein, F. L. (1991): Morphometric Tools for Landmark Data: Geometry and Biology. "
             "Cambridge: Cambridge University Press; Zelditch, M. L., Swiderski, D. L., Sheets, H. "
             "D., Fink, W. L. (2004): Geometric Morphometrics for Biologists: A Primer. San Diego: "
             "Elsevier Academic Press."},
            {101, Menu::Landmarks, "Velikost centroidu 2D", nullptr, {"x", "y"}, {"velikost centroidu"},
             centroidSize2D,
             "celá tabulka je jedna konfigurace, jeden bod na řádek; těžiště (x̄, ȳ) = průměry sloupců\n"
             "velikost centroidu = √(Σ ((x0 − x̄)² + (x1 − ȳ)²)) přes všechny řádky; zapíše se jen do prvního "
             "řádku, ostatní řádky mají 0",
             centroid, {}, true},
            {102, Menu::Landmarks, "Velikost centroidu 3D", nullptr, {"x", "y", "z"}, {"velikost centroidu"},
             centroidSize3D,
             "celá tabulka je jedna konfigurace, jeden bod na řádek; těžiště (x̄, ȳ, z̄) = průměry sloupců\n"
             "velikost centroidu = √(Σ ((x0 − x̄)² + (x1 − ȳ)² + (x2 − z̄)²)) přes všechny řádky; zapíše se jen "
             "do prvního řádku, ostatní řádky mají 0",
             centroid, {}, true},
            {105, Menu::Landmarks, "Vzdálenost bodu od roviny", nullptr,
             {"x_1", "y_1", "z_1", "x_2", "y_2", "z_2", "x_3", "y_3", "z_3", "x", "y", "z"}, {"Vzdálenost"},
             pointPlaneDistance,
             "rovina bodů (x0, x1, x2), (x3, x4, x5), (x6, x7, x8), bod (x9, x10, x11):\n"
             "a = x1 · (x5 − x8) + x4 · (x8 − x2) + x7 · (x2 − x5)\n"
             "b = x2 · (x3 − x6) + x5 · (x6 − x0) + x8 · (x0 − x3)\n"
             "c = x0 · (x4 − x7) + x3 · (x7 − x1) + x6 · (x1 − x4)\n"
             "d = −x0 · (x4 · x8 − x7 · x5) − x3 · (x7 · x2 − x1 · x8) − x6 · (x1 · x5 − x4 · x2)\n"
             "vzdálenost = |a · x9 + b · x10 + c · x11 + d| / √(a² + b² + c²); leží-li tři body na přímce, "
             "výsledek není číslo",
             "Analytická geometrie (rovina daná třemi body); Zelditch, M. L., Swiderski, D. L., "
             "Sheets, H. D., Fink, W. L. (2004): Geometric Morphometrics for Biologists: A Primer. "
             "San Diego: Elsevier Academic Press."},
        };
        for (MethodRow &row : list)
            row.kind = Spatial;
        return list;
    }();
    return rows;
}
