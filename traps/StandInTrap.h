#pragma once
// The trap of a kind whose class is not built yet: the base with its kind's switches. It
// reads the common children and keeps every other child of its element as it was, writing
// them back unchanged after the common ones, so a level passes through the editor or a
// trap-state request intact. What the level reader and the world ask of a Start or Exit trap
// (group, stock, wanted flimbs, energy, open) it answers from those children and writes into
// them.
#include "app/XmlUtil.h"
#include "traps/Trap.h"

#include <string>

class StandInTrap : public Trap {
public:
    explicit StandInTrap(int32_t kind);

    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;

    uint8_t Group() const override { return group_; }
    void SetGroup(uint8_t group) override;
    void SetFlimbsLeft(int32_t count) override;
    void SetSecondUniverseStart(bool second) override { secondUniverseStart_ = second; }
    void SetFlimbsWanted(int32_t count) override;
    int32_t FlimbsLeft() const override;
    int32_t FlimbsWanted() const override;
    bool IsOpen() const override;
    int32_t FlimbEnergySetting() const override;

    // The text of the first kept child of that name; null when none is kept.
    const char* KeptText(const char* name) const;
    // The kept children's names in order (tests, the closing list of stand-ins).
    std::vector<std::string> KeptNames() const;
    bool IsSecondUniverseStart() const { return secondUniverseStart_; }

protected:
    void CopyKindFields(const Trap& source) override;

private:
    // Sets (or adds) a kept child's text.
    void SetKeptText(const char* name, const std::string& text);
    // The element name that holds the group of this kind, or null.
    const char* GroupKey() const;
    void ReadGroup();

    XmlDocument kept_; // root "kept": copies of the children the base did not read
    uint8_t group_ = 255;
    bool secondUniverseStart_ = false;
};
