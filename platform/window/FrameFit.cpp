#include "platform/window/FrameFit.h"

#include <algorithm>
#include <cstdint>

namespace platform {

FrameFit FitFrame(int frameWidth, int frameHeight, int clientWidth, int clientHeight)
{
    FrameFit fit;
    fit.frameWidth = std::max(frameWidth, 0);
    fit.frameHeight = std::max(frameHeight, 0);
    fit.width = fit.frameWidth;
    fit.height = fit.frameHeight;
    if (frameWidth <= 0 || frameHeight <= 0 || clientWidth <= 0 || clientHeight <= 0)
        return fit;
    // The side that limits the scale keeps the client's whole length; the other is rounded
    // (integer arithmetic: the result does not depend on the floating-point unit).
    const int64_t across = int64_t(clientWidth) * frameHeight;
    const int64_t down = int64_t(clientHeight) * frameWidth;
    if (across <= down) {
        fit.width = clientWidth;
        fit.height = int((int64_t(clientWidth) * frameHeight * 2 + frameWidth) / (int64_t(frameWidth) * 2));
    } else {
        fit.height = clientHeight;
        fit.width = int((int64_t(clientHeight) * frameWidth * 2 + frameHeight) / (int64_t(frameHeight) * 2));
    }
    fit.width = std::clamp(fit.width, 1, clientWidth);
    fit.height = std::clamp(fit.height, 1, clientHeight);
    fit.left = (clientWidth - fit.width) / 2;
    fit.top = (clientHeight - fit.height) / 2;
    return fit;
}

void FrameFit::ClientToFrame(int clientX, int clientY, int& frameX, int& frameY) const
{
    if (width <= 0 || height <= 0 || frameWidth <= 0 || frameHeight <= 0) {
        frameX = clientX;
        frameY = clientY;
        return;
    }
    // Pixel centres: client pixel c covers frame [c - left, c - left + 1) x frame / fit.
    const int64_t x = (int64_t(clientX - left) * 2 + 1) * frameWidth / (int64_t(width) * 2);
    const int64_t y = (int64_t(clientY - top) * 2 + 1) * frameHeight / (int64_t(height) * 2);
    const int64_t fx = clientX < left ? 0 : x;
    const int64_t fy = clientY < top ? 0 : y;
    frameX = int(std::clamp<int64_t>(fx, 0, frameWidth - 1));
    frameY = int(std::clamp<int64_t>(fy, 0, frameHeight - 1));
}

void FrameFit::FrameToClient(int frameX, int frameY, int& clientX, int& clientY) const
{
    if (width <= 0 || height <= 0 || frameWidth <= 0 || frameHeight <= 0) {
        clientX = frameX;
        clientY = frameY;
        return;
    }
    clientX = left + int((int64_t(frameX) * 2 + 1) * width / (int64_t(frameWidth) * 2));
    clientY = top + int((int64_t(frameY) * 2 + 1) * height / (int64_t(frameHeight) * 2));
}

} // namespace platform
