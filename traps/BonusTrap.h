#pragma once
// The bonus trap (kind 47): shows a bonus item of the program's list (a decoration flimbs
// can wear, a stamp or a level) and, when an event activates it with a flimb, unlocks the
// item in the player's profile, optionally dresses that flimb in the decoration, and
// vanishes. It is neither updated nor touched: it acts only through Activate.
#include "modes/BonusItems.h"
#include "traps/Trap.h"

#include <string>

class BonusTrap : public Trap {
public:
    static constexpr int32_t kKind = 47;
    // The figure a decoration is shown on: the flimb figure and decoration variant of this
    // type and frame set, in group 1's colours.
    static constexpr int kFigureType = 20;
    static constexpr int kFigureFrameSet = 3;
    static constexpr int kFigureGroup = 1;

    BonusTrap();
    ~BonusTrap() override;

    void ResetRuntime() override;
    void Update() override {}
    // Nothing while disabled. A decoration with apply_decor dresses the flimb (its change
    // effect, event 1); then in every case the trap goes, the item is unlocked and saved
    // with the profile, and event 0 fires.
    void Activate(Flimb* by) override;
    // A stamp at half size, a decoration on its figure at full size (drawing only: the
    // trap's own scale is left alone).
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    // The word of the type; a word that named no type when loaded is written back as it was.
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void ReleaseGraphics() override;
    void LoadGraphics() override;
    void HashState(StateHasher& hasher) const override;

    // The word Save writes for the type.
    std::string TypeWord() const;

    int32_t bonusType = BonusItemInfo::kDecoration; // -1: a word that named no type
    std::string bonusTypeWord;                      // the word of a type -1
    std::string bonusItemId = "helmet_decoration";
    uint8_t applyDecor = 1;
    BonusItemInfo item;
    AnimSurface* decorationSprite = nullptr; // owned image-cache references
    AnimSurface* figureSprite = nullptr;
    AnimSurface* stampSprite = nullptr;

protected:
    void CopyKindFields(const Trap& source) override;
};
