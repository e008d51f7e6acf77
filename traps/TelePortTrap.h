#pragma once
// The teleport trap (kind 1, "Teleport"): a flimb that steps onto its pad is held while it
// is squeezed to nothing, moved to the destination and stretched back to its shape. The
// destination is a fixed point, an offset from the flimb, or an offset mirrored to the
// flimb's walking direction. As a pickup it moves the flimb at once.
#include "traps/Trap.h"

#include <list>

class TelePortTrap : public Trap {
public:
    static constexpr int32_t kKind = 1;
    enum Mode : int32_t { kAbsolute = 0, kRelative = 1, kRelativeLocal = 2 };

    // One flimb in the middle of a teleport.
    struct TeleportEntry {
        Flimb* flimb = nullptr; // not owned
        float savedScale = 1.0f;
        uint32_t time = 0; // game clock of the last step
        uint8_t step = 0;
        uint8_t phase = 0; // 0 shrinking, 1 growing
        int32_t holdX = 0;
        int32_t holdY = 0;
        uint8_t savedFall = 0;
    };

    TelePortTrap();
    ~TelePortTrap() override;

    void Update() override;
    void Activate(Flimb* by) override;
    std::optional<FlimbList> TestContact(Flimb* flimb, uint8_t filter, bool atPoint, int32_t px, int32_t py,
                                         const gfx::RECT* area) override;
    void OnFlimbContact(Flimb* flimb) override;
    void RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t dx, int32_t dy) override;
    void Draw() override;
    void DrawBack() override;
    bool DrawEditorLinks(MapObject* filter, bool draw) override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void ForgetObject(Flimb* flimb) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void StampLand() override;
    void StampIntoLandscape(Landscape& landscape, float factor) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    // Moves the flimb to its destination by the mode (prevX, prevY follow).
    void MoveToDestination(Flimb& flimb) const;
    // The pad's contact point.
    void ContactPoint(int32_t& px, int32_t& py) const;
    // "Set Destination": point picking for the selected teleporters.
    static void OnSetDestination(Primitive* parent, Button* button);
    // The picked point given to every selected teleporter by its mode.
    static void OnDestinationPicked(int32_t px, int32_t py);
    static const char* ModeName(int32_t mode);

    int32_t mode = kAbsolute;
    AnimSurface* baseImage = nullptr;
    AnimSurface* frontImage = nullptr;
    AnimSurface* backImage = nullptr;
    std::list<TeleportEntry> pending;
    uint8_t solid_base = 1;
    int32_t destx = 50;
    int32_t desty = 50;
    int32_t teleport_max = 0;
    int32_t remaining = -1;

protected:
    void CopyKindFields(const Trap& source) override;
    void ResetRuntime() override { pending.clear(); }

private:
    void AnimateQueue();
    // Stamps (material 2) or clears the base at a point.
    void StampBase(int32_t px, int32_t py, bool clear);
};
