#pragma once
// The FlimbMaster display of the HUD: a framed picture of the shield emblem of the boss the
// player faces, with an iris door that closes over it (leaving a static cover) or opens to
// show it again. The owner writes the wanted state; the display animates towards it one
// door frame every 20 ms of GUI time, and turns round from the present frame when the
// wanted state changes mid-way. Without a usable door or emblem the state changes at once.
#include "gui/Primitive.h"

#include <string>

class AnimSurface;

class FlimbMasterDisplay : public Primitive {
public:
    enum State : int { kShown = 0, kCovered = 1, kOpening = 2, kClosing = 3 };

    static constexpr const char* kFolder = "Graphics\\HUD\\InGame";
    static constexpr const char* kDoorImage = "Graphics\\HUD\\FlimbMasterDisplay\\iris_door.png";
    static constexpr const char* kUnknownShield = "Graphics\\Traps\\FlimbMaster\\shield_unknown.png";
    static constexpr int kDoorFrameWidth = 98;
    static constexpr int kDoorFrameHeight = 112;
    static constexpr int kEmblemFrameWidth = 96;
    static constexpr uint32_t kFrameStep = 20;

    FlimbMasterDisplay();
    ~FlimbMasterDisplay() override;

    // Releases the emblem and loads the current boss's (the unknown shield without a boss).
    void SetShieldImage();
    void Update() override;
    void Draw() override;
    // The frame image's size plus the display's offsets, virtual units.
    bool GetSize(float* width, float* height) override;

    State Current() const { return current_; }
    int DoorFrame() const { return doorFrame_; }
    bool DoorLoaded() const { return door_ != nullptr; }
    int EmblemFrameCount() const { return emblemFrames_; }
    const std::string& EmblemPath() const { return emblemPath_; }

    int wanted = kShown;
    bool pending = false; // the owner's flag, cleared by the level intro
    bool animationOn = true;
    bool clamp = true;

private:
    // Loads the door at its first or last frame; false when it is missing or smaller than
    // one frame (the animation is skipped).
    bool LoadDoor(bool atLast);
    void ReleaseDoor();
    void DrawImage(const AnimSurface* image, int frameWidth, int frameHeight, int frame, float x, float y) const;

    AnimSurface* frame_ = nullptr;
    AnimSurface* cover_ = nullptr;
    AnimSurface* door_ = nullptr;
    AnimSurface* emblem_ = nullptr;
    std::string emblemPath_;
    int emblemFrames_ = 0;
    int doorFrames_ = 0;
    int doorFrame_ = 0;
    State current_ = kShown;
    uint32_t accumulated_ = 0;
};
