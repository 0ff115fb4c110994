#include "SpatialOperations.h"

#include "MatrixRules.h"
#include "MethodCatalog.h"

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

} // namespace

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

void registerSpatialMethods()
{
    registerSpatial("Vzdálenost bodů 2D", 97, 4, pointDistance2D);
    appendNames(MethodCatalog[97].columns, {"x1", "y1", "x2", "y2", "vzdálenost"});
    registerSpatial("Vzdálenost bodů 3D", 98, 6, pointDistance3D);
    appendNames(MethodCatalog[98].columns, {"x1", "y1", "z1", "x2", "y2", "z2", "vzdálenost"});
    registerSpatial("Velikost úhlu 2D", 99, 6, angleSize2D);
    appendNames(MethodCatalog[99].columns, {"xa", "ya", "xb", "yb", "xc", "yc", "velikost úhlu"});
    registerSpatial("Velikost centroidu 2D", 101, 2, centroidSize2D);
    appendNames(MethodCatalog[101].columns, {"x", "y", "velikost centroidu"});
    MethodCatalog[101].wholeTable = true;
    registerSpatial("Velikost centroidu 3D", 102, 3, centroidSize3D);
    appendNames(MethodCatalog[102].columns, {"x", "y", "z", "velikost centroidu"});
    MethodCatalog[102].wholeTable = true;
    registerSpatial("Vzdálenost bodu od roviny", 105, 12, pointPlaneDistance);
    appendNames(MethodCatalog[105].columns, {"x_1", "y_1", "z_1", "x_2", "y_2", "z_2", "x_3", "y_3", "z_3",
                                             "x", "y", "z", "Vzdálenost"});
}
