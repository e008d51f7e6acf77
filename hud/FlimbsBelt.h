#pragma once
// The flimb belt: the radial ring of twelve morph slots that opens around one flimb in the
// game view. Hovering a slot shows its name and key; choosing it requests the type change
// of that flimb through the game controller (a request of the game client). The belt
// keeps the flimb's id, looks the flimb up every frame and closes when it is gone. It
// covers the screen while open and draws and takes input only then.
#include "gui/Primitive.h"
#include "hud/BeltGeometry.h"

#include <array>
#include <cstdint>
#include <string>

class AnimSurface;
struct Flimb;

using BeltIcons = std::array<AnimSurface*, kBeltSlots>;

class FlimbsBelt : public Primitive {
public:
    static constexpr const char* kName = "FLIMBS_BELT";
    static constexpr const char* kSheetFile = "Graphics\\Belt\\belt.xml";
    static constexpr const char* kWedgeImage = "Graphics\\Belt\\belt-placeholder.png";
    static constexpr const char* kDividerImage = "Graphics\\Belt\\belt-divide.png";
    static constexpr const char* kOverlayImage = "Graphics\\HUD\\InGame\\morph-button-not-aval-overlay.png";
    static constexpr int kWedgeFrameWidth = 40;
    static constexpr int kWedgeFrameHeight = 75;
    static constexpr int kWedgeHotspotX = 20;
    static constexpr int kWedgeHotspotY = 113;
    static constexpr uint32_t kDwellMs = 100;

    FlimbsBelt();
    ~FlimbsBelt() override;

    // Opens on the flimb (nothing when it is not live).
    void Open(int32_t flimbId);
    // Closes; puts the cursor back where the belt opened unless the belt follows its flimb.
    void Hide();
    bool IsOpen() const { return target_ >= 0; }
    int32_t Target() const { return target_; }
    // The belt-lock key: while it is held a choice leaves the belt open for the next one.
    void SetLocked(bool locked) { locked_ = locked; }
    bool Locked() const { return locked_; }

    // Choosing (press, release); a press outside the ring closes it unconsumed.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    // While open: the pointer's hover, and the belt itself (it covers the screen).
    Primitive* HitTest(int x, int y) override;
    // "press" while a slot is hovered, else "question".
    std::string GetCursorName() override;
    // Escape closes the belt; no key is consumed.
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    void Update() override;
    void Draw() override;

    // Hover tracking at a pointer position (pixels).
    void OnMouseMove(int x, int y);

    // The centre in pixels.
    FloatPoint Centre() const { return centre_; }
    void SetCentre(FloatPoint pixels) { centre_ = pixels; }
    uint8_t Hovered() const { return pointer_.hovered; }
    uint8_t Chosen() const { return pointer_.chosen; }
    bool Dragging() const { return pointer_.drag; }
    bool Following() const { return follow_; }
    uint8_t Fade() const { return fade_; }
    bool FadingOut() const { return fadeOut_; }
    const std::string& KeyText() const { return keyText_; }
    int IconCount() const;
    // The icon of the slot with that code (kBeltSlotTable); null for none.
    const AnimSurface* IconForCode(int code) const;

private:
    Flimb* TargetFlimb() const;
    static bool NotAllowed(const Flimb& flimb, int type);
    void PlaceAtTarget(const Flimb& flimb);
    bool Touchscreen() const;

    BeltIcons icons_{};
    AnimSurface* wedge_ = nullptr;
    AnimSurface* divider_ = nullptr;
    AnimSurface* overlay_ = nullptr;
    int32_t target_ = -1;
    FloatPoint saved_{-1.0f, -1.0f};
    FloatPoint centre_{};
    BeltPointer pointer_;
    bool follow_ = false;
    bool fadeOut_ = false;
    uint8_t fade_ = 0;
    uint32_t lastFadeTick_ = 0;
    uint32_t hoverStart_ = 0;
    uint32_t dwell_ = kDwellMs;
    std::string keyText_;
    bool locked_ = false;
};

// The belt's slot icons (the "belt" sprite sheet) in slot-table order, null where missing;
// each holds an image-cache reference until released.
BeltIcons LoadBeltIcons();
void ReleaseBeltIcons(BeltIcons& icons);
// A group's morph count of a flimb type: the installed belt world's, else the controller's.
int GroupMorphCount(int group, int type);
// Draws frame `frame` (clamped; frames of frameWidth x frameHeight laid out row after row)
// with its hot spot at (x, y) pixels, at the UI scale, turned and with the alpha.
void DrawSheetFrame(const AnimSurface* image, int frameWidth, int frameHeight, int frame, float x, float y,
                    float hotX, float hotY, float rotation, uint8_t drawAlpha);

// The belt of the open HUD (made on first use in its top container); null without a HUD.
FlimbsBelt* FindHudBelt(bool create);
