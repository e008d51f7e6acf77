#pragma once
// The hover device: a small flying platform that one flimb rides and steers through the air
// with the arrow keys until its fuel runs out. Each held arrow key is a requested move that
// travels as a trap state and becomes the device's active move on every game at the same
// update; an empty tank bursts the device, which then returns to its start full or is gone.
#include "traps/MannedDevice.h"

struct WorldSheetDraw;

class HoverTrap : public MannedDevice {
public:
    static constexpr int32_t kKind = 29;
    static constexpr int32_t kMaxFuel = 512;
    static constexpr int32_t kMinSpeed = 1;
    static constexpr int32_t kMaxSpeed = 10;

    HoverTrap();
    ~HoverTrap() override;

    void Update() override;
    // Nothing: the device is steered, not triggered.
    void Activate(Flimb* by) override;
    void Draw() override;
    void DrawBack() override;
    // The common link lines; in the editor also the range circle.
    bool DrawEditorLinks(MapObject* filter, bool draw) override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    // Bit 0 of the mode reads the common children, the start, fuel, respawn and speed; the
    // leave request and the move always.
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;
    bool TakeMotionForResend() override;
    bool CarriesFlimb(const Flimb* flimb) const override { return flimb && flimb == rider; }

    bool OnDeviceKey(int action, int code, IInputDevice& device) override;

    // One step of (dx, dy), each -1, 0 or 1: false when the widened bounds meet solid land.
    bool TryStep(int32_t dx, int32_t dy);
    // The range circle's radius in the editor: speed x fuel / 2.
    int32_t RangeRadius() const { return speed * fuel / 2; }

    int32_t startX = 0, startY = 0;
    int32_t activeMoveX = 0, activeMoveY = 0;
    int32_t requestedMoveX = 0, requestedMoveY = 0; // this machine's request; not simulation
    int32_t fuel = 64;
    int32_t fuelLeft = 64;
    uint8_t respawn = 0;
    uint8_t doEject = 0;
    int32_t speed = 4;

    AnimSurface* dotSheet = nullptr; // owned image-cache references
    AnimSurface* glowSheet = nullptr;
    AnimSurface* barSheet = nullptr;
    AnimSurface* ringBackSheet = nullptr;
    AnimSurface* ringFrontSheet = nullptr;

protected:
    void CopyKindFields(const Trap& source) override;
    void ResetRuntime() override;

private:
    void Release();
    void Burst();
    // Where the device is drawn: half a step ahead while it carries a moving rider on odd
    // frames.
    void DrawnPosition(float& px, float& py) const;
    // The rings' and base's drawing: the current frame, turned, scaled and faded as the trap.
    WorldSheetDraw Look() const;
    void SendMove(int32_t moveX, int32_t moveY);
};
