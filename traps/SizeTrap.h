#pragma once
// The size trap (kind 6, "Size"): a gate with a left and a right size (0.5 Tiny, 1.0 Normal,
// 2.0 Large). A flimb of the left size walking through it rightwards leaves with the right
// size, and back. As a pickup it grows or shrinks the flimb that takes it by one step.
#include "traps/Trap.h"

class SizeTrap : public Trap {
public:
    static constexpr int32_t kKind = 6;

    SizeTrap();
    ~SizeTrap() override;

    void Update() override;
    gfx::RECT GetBounds() const override;
    std::optional<FlimbList> TestContact(Flimb* flimb, uint8_t filter, bool atPoint, int32_t px, int32_t py,
                                         const gfx::RECT* area) override;
    void OnFlimbContact(Flimb* flimb) override;
    void Draw() override;
    void DrawBack() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    // A pickup keeps the sizes as given; a gate rounds each to a size, picks its images and
    // mirroring, and logs (loading no images) for two equal sizes.
    void SetSizes(float in, float out);
    // A size value taken to 0.5, 1.0 or 2.0.
    static float RoundSize(float value);

    float sizeIn = 1.0f;
    float sizeOut = 2.0f;
    uint8_t mirrored = 0;
    AnimSurface* backImage = nullptr;
    AnimSurface* effectSheet = nullptr;
    uint32_t effectFrame = 0;
    uint32_t effectStart = 0;
    uint8_t effectPlaying = 0;

protected:
    void CopyKindFields(const Trap& source) override;
};
