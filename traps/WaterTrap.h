#pragma once
// The liquid trap (kind 4, "Water"): a rectangular body of water, acid or lava whose surface
// rises and falls on a timed tide. A flimb that enters it drowns, dissolves or burns. The
// anchor is the left end of the body's bottom edge; the surface is its top edge, turned
// with the gravity direction of the rotation.
#include "traps/Trap.h"

class WaterTrap : public Trap {
public:
    static constexpr int32_t kKind = 4;
    // Width and height a file may give (after the tile-count rule).
    static constexpr int32_t kMaxExtent = 16384;

    WaterTrap();
    ~WaterTrap() override;

    void SetScale(float sx, float sy) override;
    void Update() override;
    gfx::RECT GetBounds() const override;
    void Activate(Flimb* by) override;
    std::optional<FlimbList> TestContact(Flimb* flimb, uint8_t filter, bool atPoint, int32_t px, int32_t py,
                                         const gfx::RECT* area) override;
    void OnFlimbContact(Flimb* flimb) override;
    void Draw() override;
    void DrawBack() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void ResetToStart(int32_t loadMode) override;
    void StampIntoLandscape(Landscape& landscape, float factor) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    // The body's width and height in pixels: the sizes times the scales, truncated.
    int32_t BodyWidth() const;
    int32_t BodyHeight() const;
    // The body rectangle moved in by the type's contact inset on the surface side.
    gfx::RECT ContactRect() const;
    bool KnownType() const { return water_type >= 0 && water_type <= 2; }

    int32_t water_type = 0;
    int32_t sizex = 342;
    int32_t sizey = 112;
    uint8_t push_out = 1;
    int32_t tide_base = 0;
    int32_t hightide = 0;
    int32_t hightime = 0;
    int32_t lowtime = 0;
    int32_t changetime = 0;
    float tide_offset = 0.0f;
    uint8_t tide_state = 0;
    uint8_t tide_rising = 0;
    uint32_t tide_stamp = 0;
    AnimSurface* back_sheet = nullptr;
    AnimSurface* gradient_sheet = nullptr;
    AnimSurface* solid_sheet = nullptr;

protected:
    void CopyKindFields(const Trap& source) override;

private:
    void StepTide();
    // The surface, and for the front also the gradient band and the solid fill, `offset`
    // units above the surface line.
    void DrawLiquid(AnimSurface* surface, AnimSurface* gradient, AnimSurface* solid, int32_t offset);
};
