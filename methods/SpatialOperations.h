#pragma once
// Measurements on landmark coordinates (ids 97 to 102 and 105).

#include <opencv2/core.hpp>

cv::Mat pointDistance2D(const cv::Mat &input);
cv::Mat pointDistance3D(const cv::Mat &input);
cv::Mat angleSize2D(const cv::Mat &input);
cv::Mat centroidSize2D(const cv::Mat &input);
cv::Mat centroidSize3D(const cv::Mat &input);
cv::Mat pointPlaneDistance(const cv::Mat &input);
