#pragma once
// The stamp overlay "StampUI": while it is open a half-transparent copy of the stamp follows
// the pointer over the game view; the wheel scales, turns or mirrors it (by mode), the right
// button cycles the mode, and a left click asks the game to bash the picture into the
// terrain at the pointer's world point. The overlay closes after the stamp unless Ctrl is
// held; releasing Ctrl closes it. It answers every hit test, so it gets all pointer input.
#include "gui/PrimContainer.h"
#include "hud/StampTransform.h"

#include <string>

class AnimSurface;

class StampUI : public PrimContainer {
public:
    static constexpr const char* kName = "StampUI";
    static constexpr uint8_t kAlpha = 128;
    // The bash the overlay requests: its material and affected-materials values, and tint.
    static constexpr uint8_t kBashMaterial = 16;
    static constexpr uint32_t kBashAffected = 6;
    static constexpr uint32_t kBashColour = 0xFF808080;

    explicit StampUI(const std::string& imageFile);
    ~StampUI() override;

    Primitive* HitTest(int x, int y) override;
    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* OnRightButton(int x, int y, int phase) override;
    Primitive* OnWheel(int delta) override;
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    std::string GetCursorName() override { return transform_.CursorName(); }
    void Draw() override;

    const StampTransform& Transform() const { return transform_; }
    const std::string& ImageFile() const { return imageFile_; }

private:
    void Stamp(int x, int y);
    bool CtrlHeld() const;

    std::string imageFile_;
    AnimSurface* picture_ = nullptr;
    StampTransform transform_;
};

// The game view's AddStampUI: opens the overlay with the stamp's image in front of every
// window (one at a time: an open one is closed first). Returns it.
StampUI* AddStampUI(const std::string& imageFile);
