#pragma once
// The modify-flimb trap (kind 53): a scripting trap with no body. When a linked trap's event
// activates it, usually with the flimb that set the event off, it spawns a flimb at its own
// place, makes the flimb light, dark or normal, moves it to a group, selects or deselects it,
// or makes it explode. Drawn only in the level editor.
#include "traps/Trap.h"

class ModifyFlimbTrap : public Trap {
public:
    enum Mode : int32_t {
        kSpawnFlimb = 0,
        kMakeLight = 1,
        kMakeDark = 2,
        kMakeNormal = 3,
        kNewGroup = 4,
        kDeselect = 5,
        kSelect = 6,
        kExplode = 7,
    };

    ModifyFlimbTrap();

    void Update() override {}
    void Activate(Flimb* by) override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void HashState(StateHasher& hasher) const override;

    int32_t mode = kSpawnFlimb;
    int32_t group = 255; // 255: the activating flimb's group

protected:
    void CopyKindFields(const Trap& source) override;

private:
    void Spawn(int32_t targetGroup);
};

// The flimb's second flag byte: light and dark.
constexpr uint8_t kFlimbDark = 0x40;
constexpr uint8_t kFlimbLight = 0x80;
