#pragma once
// Body composition of a living person from skinfolds, girths, breadths, height
// and age (ids 7 to 22).

#include <opencv2/core.hpp>

cv::Mat matiegkaSkeleton(const cv::Mat &input);
cv::Mat matiegkaSkin(const cv::Mat &input);
cv::Mat matiegkaMuscle(const cv::Mat &input);

cv::Mat jacksonPollockWomen(const cv::Mat &input);
cv::Mat jacksonPollockMen(const cv::Mat &input);
cv::Mat jacksonPollockGirls1(const cv::Mat &input);
cv::Mat jacksonPollockGirls2(const cv::Mat &input);
cv::Mat jacksonPollockBoys1(const cv::Mat &input);
cv::Mat jacksonPollockBoys2(const cv::Mat &input);

// Pařízková: one routine per method, the template argument being the method id
// that picks the constants. Density family: ids 16, 17, 19 and 20; adult
// family: ids 18 and 21.
template <int Id>
cv::Mat parizkovaDensity(const cv::Mat &input);
template <int Id>
cv::Mat parizkovaAdult(const cv::Mat &input);

extern template cv::Mat parizkovaDensity<16>(const cv::Mat &);
extern template cv::Mat parizkovaDensity<17>(const cv::Mat &);
extern template cv::Mat parizkovaDensity<19>(const cv::Mat &);
extern template cv::Mat parizkovaDensity<20>(const cv::Mat &);
extern template cv::Mat parizkovaAdult<18>(const cv::Mat &);
extern template cv::Mat parizkovaAdult<21>(const cv::Mat &);

cv::Mat durninWomersley(const cv::Mat &input);
