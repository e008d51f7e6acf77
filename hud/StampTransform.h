#pragma once
// The stamp overlay's picture transform and what the mouse wheel does to it in each mode:
// Scale multiplies by 1.1 or 0.9 within 0.3 .. 2.0 (a flipped picture keeps its sign),
// Rotate turns by pi/16 within [0, 2 pi), Flip mirrors. The mode button cycles Scale ->
// Rotate -> Flip. The overlay itself (picture, game view, terrain-bash request) builds on it.
#include <optional>

enum class StampMode { Scale = 0, Rotate = 1, Flip = 2 };

struct StampTransform {
    static constexpr float kMaxScale = 2.0f;
    static constexpr float kMinScale = 0.3f;
    static constexpr float kPi = 3.14159265358979f;
    static constexpr float kRotateStep = kPi / 16.0f;

    // The start rotation under a game view turned by viewRotation radians: -(view rotation)
    // - pi/2, or 0 without a view.
    static float StartRotation(std::optional<float> viewRotation);

    // One wheel step up or down in the present mode.
    void Wheel(bool up);
    void NextMode();
    // The cursor of the mode: "diagonal-right", "rotate" or "horizontal".
    const char* CursorName() const;

    float scaleX = 1.0f;
    float scaleY = 1.0f;
    float rotation = 0.0f; // radians
    StampMode mode = StampMode::Scale;
};
