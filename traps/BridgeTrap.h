#pragma once
// The breakable bridge: a row of sections stamped into the terrain as material 3. It opens
// (cracks frame by frame in the terrain) when too many flimbs stand on it or when its closed
// time runs out, stays open for its open time, then closes again.
#include "traps/Trap.h"

class BridgeTrap : public Trap {
public:
    static constexpr int32_t kKind = 10;
    enum State : uint8_t { kClosed = 0, kMoving = 1, kOpen = 2 };
    enum Motion : uint8_t { kOpening = 0, kClosing = 2 };
    static constexpr int32_t kMostSections = 100;

    BridgeTrap();

    void Update() override;
    gfx::RECT GetBounds() const override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    // Sections outside 1..100 from a file are taken to the nearest end.
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void StampLand() override;
    void StampIntoLandscape(Landscape& landscape, float factor) override;
    void HashState(StateHasher& hasher) const override;

    // The walking line's ends in world pixels: 13 pixels above the centre in the trap's own
    // axes, from the first section's left edge to the last one's right edge.
    void WalkingLine(float& x1, float& y1, float& x2, float& y2) const;
    // The number of flimbs whose feet lie on the walking line.
    int32_t FlimbsOnBridge() const;

    uint32_t stateSince = 0;
    int32_t maxFlimbs = 0;
    int32_t sections = 4;
    int32_t timeOpen = 0;
    int32_t timeClosed = 0;
    uint8_t bridgeState = kClosed;
    uint8_t motion = kOpening;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    // Width of one section in pixels (the opaque width of the image, scaled).
    int32_t SectionWidth() const;
    // Offset of section i's centre from the position along the trap's axis.
    float SectionOffset(int32_t i) const;
    int32_t FrameCount() const;
    // Removes (material 0, only material-3 pixels) or stamps (material 3) a frame of every
    // section at the sections' rounded centres.
    void RemoveFrame(int32_t sheetFrame);
    void StampFrame(int32_t sheetFrame);
    void FireState(uint8_t newState, uint8_t newMotion, uint32_t now);
};
