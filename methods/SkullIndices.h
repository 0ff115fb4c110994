#pragma once
// Indices, modules and capacities of skulls and long bones (ids 23 to 42).
// Methods with the same formula share a routine.

#include <opencv2/core.hpp>

// 100 x0 / x1: ids 23 to 29, 38, 39, 41 and 42.
cv::Mat ratioIndex(const cv::Mat &input);
// The mean of three measurements: ids 30 and 31.
cv::Mat meanModule(const cv::Mat &input);
// Cranial capacity from length, breadth and basion-bregma height: ids 32 to 35.
cv::Mat manouvrierMen(const cv::Mat &input);
cv::Mat manouvrierWomen(const cv::Mat &input);
cv::Mat leePearsonMen(const cv::Mat &input);
cv::Mat leePearsonWomen(const cv::Mat &input);
// (x0 + x1) / x2: ids 36 and 37.
cv::Mat robusticityIndex(const cv::Mat &input);
// 100 (humerus + ulna) / (femur + tibia): id 40.
cv::Mat intermembralIndex(const cv::Mat &input);
