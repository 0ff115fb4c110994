#pragma once
// The Heath-Carter anthropometric somatotype (id 43): endomorphy, mesomorphy
// and ectomorphy of a living person from ten measurements.

#include <opencv2/core.hpp>

cv::Mat heathCarterSomatotype(const cv::Mat &input);
