#pragma once
// The unlock trap (kind 48): an invisible scripting trap that, when activated, asks whether
// the player has passed a given FlimbMaster map level and raises event 0 when so, event 1
// otherwise, then removes itself. In a networked match, where every peer has a profile of its
// own, every peer answers event 1.
#include "traps/Trap.h"

#include <string>

class UnlockTrap : public Trap {
public:
    enum Mode : int32_t { kFlimbMasterMap = 0, kHiddenLevel = 1 };

    UnlockTrap();

    void Update() override {}
    void Activate(Flimb* by) override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void HashState(StateHasher& hasher) const override;

    // Whether the player's profile shows a pass of the FlimbMaster map level of that name.
    static bool MapLevelPassed(const std::string& mapFile);

    std::string fm_map_file;  // a name listed by "Level\f_*.flevel"
    std::string hidden_level; // a name listed by "Level\s_*.flevel"; kept, not acted on
    int32_t umode = kFlimbMasterMap;

protected:
    void CopyKindFields(const Trap& source) override;
};
