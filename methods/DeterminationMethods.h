#pragma once
// Determination methods (ids 44 to 52): human or animal origin of bone from its
// microstructure, sex and population group from the skull, age from a tooth.
// The routines write scores only; the verdict texts come from the table.

#include <opencv2/core.hpp>

cv::Mat histometricVariantA(const cv::Mat &input);
cv::Mat histometricVariantB(const cv::Mat &input);
cv::Mat histometricVariantC(const cv::Mat &input);
cv::Mat gilesElliotSkull(const cv::Mat &input);
cv::Mat kajanojaVariantA(const cv::Mat &input);
cv::Mat kajanojaVariantB(const cv::Mat &input);
cv::Mat morphoscopicSkull(const cv::Mat &input);
cv::Mat kilianAgeWithTransparency(const cv::Mat &input);
cv::Mat kilianAgeWithoutTransparency(const cv::Mat &input);
