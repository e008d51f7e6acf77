#pragma once
// Screen scaling helpers shared by the widgets and screens.

// Design pixels to screen pixels: screen height / 768 when width / height (as a float) is at
// least 4/3, else screen width / 1024.
float GetUiScale();

// A length of design pixels as virtual units across (d x scale x 1000 / screen width) and
// down (d x scale x 1000 / screen height).
float DesignToVirtualX(float designPixels);
float DesignToVirtualY(float designPixels);

// The draw scale of an image made for a 768-pixel-high screen: height x (1/768) in single
// precision (1.0 at 768 pixels, 0.78125 at 600).
float ScreenImageScale();

// Design pixels (of the 1024 x 768 layout) to virtual units at the present screen and UI
// scale: pixels x scale x 1000 / screen width (height).
float DesignUnitsX(float pixels);
float DesignUnitsY(float pixels);

struct IntPoint {
    int x = 0;
    int y = 0;
    bool operator==(const IntPoint&) const = default;
};

// Each coordinate rounded to the nearest integer, halves to even.
IntPoint RoundToPoint(float x, float y);
