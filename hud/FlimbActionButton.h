#pragma once
// One morph button of the HUD's belt: it stands for one flimb type of one group, shows the
// type's picture and the group's count of it, greys itself when the selected flimb may not
// take that morph, and flips open or shut as the group's count becomes available or runs
// out. Clicks count only while it is opening or shown. Animations run on the GUI clock.
#include "gui/GraphicButtons.h"

#include <cstdint>
#include <string>

class AnimSurface;

class FlimbActionButton : public GraphicButton {
public:
    enum class Show { Hidden = 0, Opening = 1, Closing = 2, Shown = 3 };

    static constexpr const char* kFolder = "Graphics\\HUD\\InGame";
    static constexpr uint32_t kFlipInterval = 30;
    static constexpr int kOpenFrame = 12;
    static constexpr int kFlipMaxWidth = 54;
    static constexpr int kFlipMaxHeight = 63;
    static constexpr int kGulp = 4;
    static constexpr int kWalk = 10;

    // type: bit 7 is dropped.
    FlimbActionButton(int group, int type, bool alternateLook);
    ~FlimbActionButton() override;

    // Presses count only while opening or shown.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    void Update() override;
    void Draw() override;

    // A new group: its picture is made again on the next draw.
    void SetGroup(int newGroup);
    void ReleasePicture();

    Show State() const { return show_; }
    Show Target() const { return target_; }
    int Frame() const { return frame_; }
    int FlipFrameCount() const { return flipFrames_; }
    bool NotAllowed() const { return notAllowed_; }
    bool HasPicture() const { return picture_ != nullptr; }
    int Type() const { return type_; }
    int Group() const { return group_; }
    bool AlternateLook() const { return alternate_; }

    bool counting = false;
    uint32_t faceColour;

private:
    Show WantedState() const;
    bool WorkOutNotAllowed() const;
    void StepFlip();
    void MakePicture();
    void StepSprite();

    Show show_ = Show::Hidden;
    Show target_ = Show::Hidden;
    int frame_ = 0;
    uint32_t timer_ = 0;
    uint32_t interval_ = kFlipInterval;
    bool notAllowed_ = false;
    int type_;
    bool alternate_;
    int group_;

    AnimSurface* flip_ = nullptr;
    int flipWidth_ = 0, flipHeight_ = 0, flipFrames_ = 1;
    AnimSurface* overlay_ = nullptr;
    AnimSurface* unavailableUnder_ = nullptr;
    AnimSurface* unavailableOver_ = nullptr;
    AnimSurface* glyph_ = nullptr;

    AnimSurface* picture_ = nullptr; // a belt picture of the image cache, or a sprite
    bool pictureIsSprite_ = false;
    const class IBeltWorld* spriteWorld_ = nullptr; // the sprite's owner
    int idleFrame_ = 0;
    float offsetX_ = 0.0f, offsetY_ = 0.0f, angle_ = 0.0f;
};
