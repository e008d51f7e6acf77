#pragma once
// The history film strip "HistoryFilmStrip": up to seven live pictures of the flimbs the
// player ordered lately. A click selects the flimb again and centres the game view on it,
// a right click pins it. Pictures of flimbs back in an ordinary state fade out slowly;
// a picture whose flimb is gone or that has faded out is deactivated (freeing its place)
// and the others slide together. Pictures keep the flimb's id and look it up each frame.
#include "gui/PrimContainer.h"

#include <cstdint>

class AnimSurface;
class AnimatePosition;
struct Flimb;

class HistoryFlimb : public Primitive {
public:
    static constexpr int kFlashLength = 25;
    static constexpr uint32_t kGreyColour = 0xFF808080;

    HistoryFlimb(int32_t flimbId, bool pinned);
    ~HistoryFlimb() override;

    // A press inside: the flimb is selected and the view centred on it.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    // A press inside: pins or unpins the picture, with a flash.
    Primitive* OnRightButton(int x, int y, int phase) override;
    void Update() override;
    void Draw() override;

    void TogglePin();
    // Selects the flimb: the old selection unhighlighted, the new one highlighted, the view
    // centred on it and given the keyboard focus.
    void Select();
    // Moves the picture to x (virtual units) over 1500 ms, unless it is on its way there.
    void SlideTo(float x);

    int32_t FlimbId() const { return flimbId_; }
    bool Pinned() const { return pinned_; }
    uint8_t PictureAlpha() const { return pictureAlpha_; }
    int FlashCounter() const { return flashCounter_; }
    uint32_t FlashColour() const { return flashColour_; }
    AnimatePosition* Animator() const { return animator_; }

private:
    Flimb* FindFlimb() const;
    void StepFade(const Flimb& flimb);

    uint8_t pictureAlpha_ = 255;
    int32_t flimbId_;
    uint32_t lastClock_ = 0;
    bool pinned_;
    uint32_t flashColour_ = kGreyColour;
    int flashCounter_ = -1;
    int lastType_ = -1;
    uint32_t created_;
    AnimatePosition* animator_ = nullptr; // a sibling in the strip, made on the first slide
    float slideTarget_ = -1.0f;
    AnimSurface* pin_ = nullptr;
    uint32_t lastClick_ = 0;
};

class HistoryFilmStrip : public PrimContainer {
public:
    static constexpr const char* kName = "HistoryFilmStrip";
    static constexpr int kLimit = 7;
    static constexpr uint32_t kSlideMs = 1500;

    HistoryFilmStrip();
    ~HistoryFilmStrip() override;

    // Records the flimb (nothing when seven live pictures are shown); a flimb already shown
    // is pinned or unpinned when `pin` is set.
    void AddFlimb(int32_t flimbId, bool pin);
    void SelectAt(int index);
    // The key actions (nothing when `pressed` is false).
    void Next(bool pressed);
    void Previous(bool pressed);
    void PinSelected(bool pressed);

    // The base image, the pictures, the focus holder's picture again, the overlay.
    void Draw() override;
    // The pictures' update, then the slides together.
    void Update() override;
    // The base image's size.
    bool GetSize(float* width, float* height) override;

    // The live pictures, in order.
    std::vector<HistoryFlimb*> Pictures() const;
    HistoryFlimb* PictureOf(int32_t flimbId) const;
    float SlotWidth() const { return slot_; }
    int Cursor() const { return cursor_; }

private:
    AnimSurface* base_ = nullptr;
    AnimSurface* overlay_ = nullptr;
    float slot_;
    int cursor_ = 0;
};

// The strip of the open HUD, or null.
HistoryFilmStrip* FindHistoryStrip();
// The HUD's key actions on the strip.
void HistoryNextKey(bool pressed);
void HistoryPreviousKey(bool pressed);
void HistoryPinKey(bool pressed);
