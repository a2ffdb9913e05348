#include "yuyv_display.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

namespace capture {

bool yuyvToDisplayFast(const uint8_t* yuyv, size_t size, uint32_t* pixels, int width, int height, int stridePixels)
{
    if (!yuyv || size < size_t(width) * height * 2 || width < 2 || (width & 1))
        return false;
    const cv::Mat src(height, width, CV_8UC2, const_cast<uint8_t*>(yuyv));
    cv::Mat dst(height, width, CV_8UC4, pixels, size_t(stridePixels) * 4);
    cv::cvtColor(src, dst, cv::COLOR_YUV2BGRA_YUYV);  // B G R A in memory: 0xAARRGGBB
    return true;
}

}  // namespace capture
