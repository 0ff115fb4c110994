#pragma once
// Weight-height and proportion indices of a living person (ids 0 to 6).

#include <opencv2/core.hpp>

cv::Mat queteletBouchardIndex(const cv::Mat &input);
cv::Mat rohrerIndex(const cv::Mat &input);
cv::Mat bodyMassIndex(const cv::Mat &input);
cv::Mat waistHipRatio(const cv::Mat &input);
cv::Mat keiBoys(const cv::Mat &input);
cv::Mat keiGirls(const cv::Mat &input);
cv::Mat bodySurface(const cv::Mat &input);
