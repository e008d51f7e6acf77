#include "traps/BonusTrap.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/XmlUtil.h"
#include "gui/LayoutPanel.h"
#include "gui/ListBox.h"
#include "media/AnimSurface.h"
#include "media/ImageCache.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "traps/TrapSheetDraw.h"
#include "world/AnimationSpec.h"
#include "world/Flimb.h"
#include "world/StateHash.h"

#include <algorithm>

namespace {

const TrapKindRegistration kRegistration(BonusTrap::kKind, [] { return std::unique_ptr<Trap>(new BonusTrap); });

constexpr float kStampScale = 0.5f;

const char* const kListKeys[3] = {"decoration", "stamp", "level"};

} // namespace

BonusTrap::BonusTrap() : Trap(kKind) {}

BonusTrap::~BonusTrap()
{
    BonusTrap::ReleaseGraphics();
}

void BonusTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const BonusTrap&>(source);
    bonusType = other.bonusType;
    bonusTypeWord = other.bonusTypeWord;
    bonusItemId = other.bonusItemId;
    applyDecor = other.applyDecor;
    item = other.item;
}

void BonusTrap::ResetRuntime()
{
    decorationSprite = figureSprite = stampSprite = nullptr;
}

std::string BonusTrap::TypeWord() const
{
    const char* word = BonusItemInfo::TypeName(bonusType);
    return *word ? std::string(word) : bonusTypeWord;
}

void BonusTrap::ReleaseGraphics()
{
    // The trap's sprite is one of these, never a reference of its own.
    sprite = nullptr;
    ReleaseSheet(stampSprite);
    ReleaseSheet(decorationSprite);
    ReleaseSheet(figureSprite);
}

void BonusTrap::LoadGraphics()
{
    if (bonusItemId.empty())
        return;
    item = BonusItemList::FindById(bonusItemId);
    if (bonusType == BonusItemInfo::kDecoration) {
        if (!decorationSprite)
            decorationSprite = AnimationSpec::LoadDecoration(item.filePath, kFigureType, kFigureFrameSet);
        if (!figureSprite)
            figureSprite = AnimationSpec::GetGroupAnimation(kFigureGroup, kFigureType, kFigureFrameSet, true);
        sprite = figureSprite;
    } else if (bonusType == BonusItemInfo::kStamp) {
        if (!stampSprite && !item.filePath.empty())
            stampSprite = ImageCache::GetImage(item.filePath);
        sprite = stampSprite;
    }
}

void BonusTrap::Activate(Flimb* by)
{
    if (!enabled)
        return;
    if (applyDecor && bonusType == BonusItemInfo::kDecoration && by) {
        by->overlaySet = FindDecorationAnimation(item.filePath);
        by->PlayMorphEffect();
        FireEvent(1, by, false);
    }
    alive = 0;
    PlayerProfile& profile = CurrentProfile();
    if (profile.AddBonusItem(UnlockedBonusItem{TypeWord(), item.id})) {
        WriteLog("Bonus item [%s] unlocked\n", item.id.c_str());
        profile.Save();
    }
    FireEvent(0, by, false);
}

void BonusTrap::Draw()
{
    if (bonusType == BonusItemInfo::kStamp && stampSprite) {
        DrawTrapSheet(*stampSprite, 0, *this, rotation, kStampScale, kStampScale, alpha);
    } else if (bonusType == BonusItemInfo::kDecoration && figureSprite) {
        DrawTrapSheet(*figureSprite, 0, *this, rotation, 1.0f, 1.0f, alpha);
        if (decorationSprite)
            DrawTrapSheet(*decorationSprite, 0, *this, rotation, scale_x, scale_y, alpha);
    }
}

std::unique_ptr<LayoutPanel> BonusTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddChoice(TranslateText("Mode"), "bonus_type", {TranslateText("Decoration")}, 0);
    std::vector<BonusItemInfo> decorations;
    BonusItemList::CollectDecorations(decorations);
    std::vector<std::string> ids;
    int selected = -1;
    for (const BonusItemInfo& decoration : decorations) {
        if (decoration.id == bonusItemId)
            selected = static_cast<int>(ids.size());
        ids.push_back(decoration.id);
    }
    panel->AddLabel(TranslateText("Decoration"));
    if (ListBox* list = panel->AddList("decoration", ids))
        list->SetSelection(selected, false);
    return panel;
}

bool BonusTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    panel->ReadInt("bonus_type", bonusType);
    if (bonusType >= 0 && bonusType <= 2 && panel->Accepted(kListKeys[bonusType])) {
        const std::string chosen = panel->Find(kListKeys[bonusType])->GetText();
        if (!chosen.empty()) {
            bonusItemId = chosen;
            ReleaseGraphics();
            LoadGraphics();
        }
    }
    panel->ReadChecked("apply_decor", applyDecor);
    return true;
}

void BonusTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    xmlNewTextChild(node, nullptr, BAD_CAST "bonus_type", BAD_CAST TypeWord().c_str());
    xmlNewTextChild(node, nullptr, BAD_CAST "bonus_item_id", BAD_CAST bonusItemId.c_str());
    AppendKindChild(node, "bonus_apply_decor", applyDecor);
}

void BonusTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    const std::string word = XmlGetTagText(node, "bonus_type", defaults);
    bonusType = BonusItemInfo::TypeFromName(word);
    bonusTypeWord = bonusType < 0 ? word : std::string();
    if (bonusType < 0)
        WriteLog("Bonus trap: type [%s] is none of Decoration, Stamp, Level; kept as it is\n", word.c_str());
    bonusItemId = XmlGetTagText(node, "bonus_item_id", defaults);
    ReleaseGraphics();
    LoadGraphics();
    applyDecor = XmlGetTagBool(node, "bonus_apply_decor", defaults, "force_action") ? 1 : 0;
}

void BonusTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(bonusType);
    hasher.Add(applyDecor);
    hasher.AddBytes(bonusItemId.data(), bonusItemId.size());
}
