#pragma once
// The annotation trap (kind 3): a message placed in a level, a framed text box (the bubble)
// shown when the trap is activated. It can point at a spot of the landscape (Standard: a
// sprite arrow; Voice: a speech bubble's tail; Bubble: the plain frame), follow the flimb
// that set it off, spring and fade into view, breathe, and close when clicked.
//
// The game side (shown, closed, removed) runs in the game updates, the same on every peer: a
// click is sent as a trap state and closes the bubble at the update that state reaches, and
// a faded-out bubble goes in the first update whose game clock has passed the fade's end.
// The look (fade, spring, breathing, the bubble's size from its text, the place beside a
// followed flimb) is each game's own and drawn per frame; none of it is game state.
//
// Its GUI part (AnnotationPanel) lives in the landscape panel of the game view for the per-
// frame step, the pointer and the click; the bubble itself is drawn by the trap layers.
#include "gui/Primitive.h"
#include "gui/Transforms.h"
#include "media/NinePieceFrame.h"
#include "traps/Trap.h"

#include <array>
#include <memory>
#include <string>

class AnnotationTrap;

// The annotation's GUI element: its per-frame step, hover and click; it draws nothing and
// claims no press.
class AnnotationPanel : public Primitive {
public:
    explicit AnnotationPanel(AnnotationTrap& trap);

    Primitive* OnLeftButton(int x, int y, int phase) override;
    Primitive* HitTest(int x, int y) override;
    int OnKey(int, int, bool, IInputDevice&) override { return 0; }
    void Draw() override {}
    // The per-frame step with the GUI pass's frame time.
    void Update() override;

private:
    AnnotationTrap& trap_;
};

class AnnotationTrap : public Trap {
public:
    static constexpr int32_t kKind = 3;
    enum Mode : int32_t { kStandard = 0, kVoice = 1, kBubble = 2 };
    enum Tail : int32_t { kTailLeft = 0, kTailRight = 1, kTailTop = 2, kTailBottom = 3, kNoTail = 4 };
    enum Closed : int32_t { kOpen = 0, kCloseRequested = 1, kClosed = 2 };
    static constexpr int kShowSound = 53;
    static constexpr float kFadeMs = 250.0f;
    static constexpr float kWobbleFadeMs = 500.0f;
    static constexpr float kWobbleMs = 1500.0f;

    AnnotationTrap();
    ~AnnotationTrap() override;

    void ResetRuntime() override;
    // Per game update: a followed flimb that is gone hides the bubble; a click's close
    // request hides it; a bubble faded out goes.
    void Update() override;
    gfx::RECT GetBounds() const override;
    void Activate(Flimb* by) override;
    void Deactivate() override;
    void SetEnabled(bool on) override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void ForgetObject(Flimb* flimb) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void StampIntoLandscape(Landscape&, float) override {}
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    Primitive* GuiPart() override;
    void HashState(StateHasher& hasher) const override;

    // The per-frame step: fade and spring by the frame's milliseconds, breathing. The base's
    // step without a time stays as it is.
    using Trap::StepFrame;
    void StepFrame(float elapsedMs);
    // A press on the screen point (pixels): closes a clickable bubble under it.
    void OnPress(int x, int y, int phase);
    void SetHovered(int x, int y);

    // The text size factor of a font_scale step: 1.1 x 2^((step - 127) / 64).
    static float TextScale(int32_t step);
    // The font of a "font_style" name: the table's font of that name; none, and font 4,
    // give font 0.
    static int32_t FontFromName(const std::string& name);
    // The destination relative to the trap (world pixels).
    void GetAnchor(int32_t& ax, int32_t& ay) const;
    // The editor's pick of a destination at a world point.
    void SetDestination(int32_t px, int32_t py);
    // The text, the box size and the tail again (after any change).
    void Layout();
    // The world point the bubble stands on: the trap, or beside the flimb it follows.
    void StandPoint(float& px, float& py) const;
    // The box in bubble space (pixels, centred on the stand point, before turning).
    FrameRect BoxRect() const;
    // The opacity drawn now.
    uint8_t Opacity() const;
    // Whether a world point lies on the bubble (its box as drawn now).
    bool ContainsWorldPoint(float wx, float wy) const;
    // A point of bubble space in the world, with the spring's size.
    void BubbleToWorld(float bx, float by, float& wx, float& wy) const;

    int32_t arrow_x = 0;
    int32_t arrow_y = 0;
    std::string message;
    std::string displayText;
    uint8_t click_close = 1;
    uint8_t hovered = 0;
    float wobbleScale = 1.0f;
    float breathRate = -0.0025f;
    int32_t fontStyle = 4;
    uint32_t fontColor = 0xFFFFFFFFu;
    int32_t font_scale = 127;
    uint8_t text_only = 0;
    uint8_t autoSize = 1;
    uint8_t annotationFade = 1;
    uint8_t wobble = 1;
    uint8_t arrow_relative = 0;
    uint8_t follow_flimb = 0;
    int32_t annotationMode = kStandard;
    LinearFloatTransform fadeTransform;
    DampedTransform wobbleTransform{0.1f, 1.0f, 0.0f, 0.5f, 9.0f};
    int32_t tailDirection = kNoTail;
    int32_t tailOffset = 0;
    int32_t closed = kOpen;
    Flimb* followedFlimb = nullptr;
    int32_t annotate_z_dist = 0;
    // The fade-out under way ends at this game time; the bubble then goes.
    uint8_t fadingOut = 0;
    uint32_t fadeOutEnd = 0;
    // The box's size as drawn: the trap's scale, or the measured text with autoSize.
    float boxScaleX = 1.0f;
    float boxScaleY = 1.0f;
    // Margins of the text in the box (left, top, right, bottom), by mode.
    std::array<int32_t, 4> textMargins{13, 8, 13, 8};
    // Standard: the arrow's head and body; Voice: the tail's end and base.
    AnimSurface* headSprite = nullptr;
    AnimSurface* bodySprite = nullptr;
    // The frame images in piece order (NinePieceFrame), then the close image.
    std::array<AnimSurface*, kFramePieceCount> framePieces{};
    AnimSurface* closeImage = nullptr;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    void ChooseTail();
    void PickTail();
    void LoadTailSprites();
    void ReleaseFrameImages();
    float FadeLengthOfShow() const;

    std::unique_ptr<AnnotationPanel> panel_;
    uint32_t lastFrameTime_ = 0;
};
