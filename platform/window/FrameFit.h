#pragma once
// Where the drawn frame lands in the window's client area: as large as fits, with the
// frame's own aspect kept (bars left and right, or above and below, when the aspects
// differ), centred. Pointer positions map through the same rectangle, so the picture and
// the pointer always agree, however the frame reaches the window.

namespace platform {

struct FrameFit {
    int frameWidth = 0;
    int frameHeight = 0;
    // The picture's rectangle in client pixels.
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool IsIdentity() const
    {
        return left == 0 && top == 0 && width == frameWidth && height == frameHeight;
    }
    // A client pixel to the frame pixel under it, clamped into the frame (a pointer over a
    // bar or outside the window stands on the frame's nearest edge).
    void ClientToFrame(int clientX, int clientY, int& frameX, int& frameY) const;
    // A frame pixel to the client pixel at its centre.
    void FrameToClient(int frameX, int frameY, int& clientX, int& clientY) const;
};

// The fit of a frame into a client area; sizes that are not positive give the identity.
FrameFit FitFrame(int frameWidth, int frameHeight, int clientWidth, int clientHeight);

} // namespace platform
