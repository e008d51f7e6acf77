#pragma once
// The three game modifiers: placing a flimb statue (key 7 of the main row, scan code 8),
// stunning a flimb (key 8, code 9) and shifting the highlighted flimb into the opponents'
// universes (key 6, code 7). Three uses a match each. What they do goes to the game server
// as a request, so every peer applies it at the same update.
#include "modes/GameModifier.h"
#include "platform/input/ScanCodes.h"

#include <array>

class AnimSurface;

// The built-in modifier of a type (0 statue, 2 shift, 3 stun); null for another type.
std::unique_ptr<GameModifier> MakeBuiltInModifier(int type);

// Statue and stun: a key press arms the modifier, a release disarms it; an armed click into
// the game view applies it.
class ArmedGameModifier : public GameModifier {
public:
    static constexpr int kUses = 3;

    ArmedGameModifier(int type, int keyCode, const char* windowName, const char* noneLeftText);

    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // Only an armed modifier takes clicks; the game view gets the rest.
    Primitive* HitTest(int x, int y) override;
    Primitive* OnLeftButton(int x, int y, int phase) override;
    void Update() override;
    // Uses spent 0, not armed; shown from the match start on.
    void Reset() override;

    int KeyCode() const { return keyCode_; }

protected:
    // Applies the power at the world point; true when a use was spent.
    virtual bool ApplyAt(float worldX, float worldY) = 0;
    // The screen scale of the row of uses (screen height / 768).
    static float RowScale();

private:
    int keyCode_;
    const char* noneLeftText_;
};

class BoxPaintGameModifier : public ArmedGameModifier {
public:
    static constexpr float kSpawnClearance = 25.0f;

    BoxPaintGameModifier();
    ~BoxPaintGameModifier() override;

    void Draw() override;

    // "Graphics\Actions\statue<n>.png": the (n+1)-th statue placed.
    static std::string StatuePath(int n);
    // Why a statue may not stand at the world point: "" when it may.
    static std::string BlockedReason(float worldX, float worldY);

protected:
    bool ApplyAt(float worldX, float worldY) override;

private:
    std::array<AnimSurface*, 3> statues_{};
};

class StunFlimbGameModifier : public ArmedGameModifier {
public:
    // The sub-kind of the stunning type change.
    static constexpr int kStunSubKind = 88;

    StunFlimbGameModifier();

    void Draw() override;

protected:
    bool ApplyAt(float worldX, float worldY) override;

private:
    AnimSurface* stun_ = nullptr; // the group-animation cache's
    bool triedStun_ = false;
};

class ShiftFlimbGameModifier : public GameModifier {
public:
    static constexpr int kUses = 3;
    static constexpr int kKeyCode = kKey6;

    ShiftFlimbGameModifier();

    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // On every peer: the flimb keeps its offset inside its universe strip; the first other
    // strip (in group order) receives the flimb, every further one a copy.
    void Apply(int32_t flimbId) override;
    // Three uses left.
    void Reset() override;
};
