#pragma once
// The chat trap (kind 43): when a level script activates it, it posts its message into the
// game's chat as a local notice under its speaker's name. Nothing happens without a game
// session client.
#include "traps/Trap.h"

#include <string>

class ChatTrap : public Trap {
public:
    ChatTrap();

    void Update() override {}
    // A copy keeps the speaker; its message starts empty.
    std::unique_ptr<Trap> Duplicate() const override;
    void Activate(Flimb* by) override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void HashState(StateHasher& hasher) const override;

    std::string message;
    std::string speaker;

protected:
    void CopyKindFields(const Trap& source) override;
};
