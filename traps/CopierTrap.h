#pragma once
// The copier (kind 46): a machine with two claws that catches a flimb walking past it and,
// while holding it, makes copies of it on its other side every updates_per_copy updates.
// After the last copy it holds the flimb 14 more updates and lets it go as type 13. A claw
// tip that land grows into lets the flimb go at once and stamps a node at both tips.
#include "traps/Trap.h"

#include <array>

class CopierTrap : public Trap {
public:
    static constexpr int32_t kKind = 46;
    static constexpr int32_t kReleaseHold = 14;
    static constexpr uint32_t kCatchGuard = 35;
    static constexpr int32_t kGlowTop = 200;
    static constexpr int32_t kGlowStep = 15;
    static constexpr int kCopySound = 56;
    static constexpr const char* kNodeImage = "Graphics\\Traps\\Copier\\node.png";

    enum State : int32_t { kIdle = 0, kOpening = 1, kClosing = 2, kCopying = 3 };
    // The body sheets beside the main one ("core").
    enum Sheet : int { kBase, kCrystal, kGlow, kShock, kClawsBack, kClawsFront, kClawsSide, kLasers, kSheetCount };

    CopierTrap();
    ~CopierTrap() override;

    void Update() override;
    // Stops further copies: the release timer then lets the held flimb go.
    void Deactivate() override;
    void Draw() override;
    void DrawBack() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void ForgetObject(Flimb* flimb) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    // The node image bashed into the land at both claw tips.
    void StampLand() override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;
    void SetFlimbsLeft(int32_t count) override { numCopies = count; }
    int32_t FlimbsLeft() const override { return numCopies; }

    // Geometry in the world, for the copier's gravity direction: a claw tip (side -1 left,
    // +1 right), a catching area, a point at (dx, dy) from the position given for direction 0.
    void ClawTip(int32_t whichSide, int32_t& tx, int32_t& ty) const;
    gfx::RECT CatchArea(int32_t whichSide) const;
    void OffsetPoint(int32_t dx, int32_t dy, int32_t& px, int32_t& py) const;
    int32_t SheetFrames(Sheet sheet) const;

    int32_t updatesPerCopy = 50;
    int32_t numCopies = 50; // negative: without end
    uint8_t showBase = 0;
    Flimb* source = nullptr; // the flimb in the claws, a record of the world's table
    int32_t side = 1;
    int32_t clawFrame = 0;
    int32_t copyCountdown = 0;
    int32_t releaseTimer = 0;
    uint32_t lastRelease = 0;
    int32_t glowLevel = 0;
    int32_t glowStep = 0;
    int32_t state = kIdle;
    int32_t nextState = kIdle;
    std::array<AnimSurface*, kSheetCount> sheets{}; // owned image-cache references

protected:
    void CopyKindFields(const Trap& source) override;

private:
    void UpdateCopying();
    void TryCatch();
    void Catch(Flimb& flimb, int32_t whichSide);
    void MakeCopy();
    void LetGo();
    void StepGlow();
    // Loads the crystal and glow in the colour of the group.
    void LoadGroupSheets(uint8_t group);
    void DrawPart(Sheet sheet, int32_t frameIndex, int32_t dx, int32_t dy, bool mirrored, uint8_t partAlpha);
};
