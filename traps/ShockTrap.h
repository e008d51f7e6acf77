#pragma once
// The shock barrier trap (kind 8, "Shock"): a column of 1 to 100 sections with an end piece
// at each end, turned with the trap. Every flimb that touches one of its two long edges is
// electrocuted. Sparks run over random sections while it idles; the whole column flashes
// for 10 updates after a kill.
#include "traps/Trap.h"

class ShockTrap : public Trap {
public:
    static constexpr int32_t kKind = 8;
    static constexpr int32_t kMaxSections = 100;

    // A contact segment: about 2L long, along the column and 14 pixels to one side.
    struct Segment {
        int32_t x1, y1, x2, y2;
        bool operator==(const Segment&) const = default;
    };

    ShockTrap();
    ~ShockTrap() override;

    void Update() override;
    gfx::RECT GetBounds() const override;
    void Activate(Flimb* by) override;
    std::optional<FlimbList> TestContact(Flimb* flimb, uint8_t filter, bool atPoint, int32_t px, int32_t py,
                                         const gfx::RECT* area) override;
    void OnFlimbContact(Flimb* flimb) override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void StampIntoLandscape(Landscape& landscape, float factor) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    // The height of the opaque part of the "off" image, less one, times scale_y, truncated.
    int32_t SectionLength() const;
    // The two contact segments (first and second tilt).
    void ContactSegments(Segment& first, Segment& second) const;

    int32_t sections = 1;
    AnimSurface* topSheet = nullptr;
    AnimSurface* bottomSheet = nullptr;
    AnimSurface* zapSheet = nullptr;
    uint32_t lastShock = 0;
    uint32_t lastSpark = 0;
    int32_t sparkSection = 0;
    int32_t zapFrame = 0;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    // A point `distance` along the column's axis from the trap, turned by the rotation.
    void AlongColumn(float distance, float& px, float& py) const;
};
