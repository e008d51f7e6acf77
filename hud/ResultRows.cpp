#include "hud/ResultRows.h"

#include "app/LanguageTexts.h"
#include "app/StringUtil.h"
#include "gui/FlimbsToolTip.h"
#include "gui/Label.h"
#include "gui/ScreenImage.h"
#include "gui/Throbber.h"
#include "gui/VoiceBubble.h"
#include "modes/GameStat.h"

#include <algorithm>

ResultRow::ResultRow(const GroupStats& entry, bool firstRow, uint32_t textColour, bool showRecordMarks, bool isLocal,
                     bool singleGroup)
{
    (void)singleGroup;
    (void)firstRow;
    (void)isLocal;
    auto tips = std::make_unique<FlimbsToolTip>();
    tips_ = tips.get();
    tips_->excludeFromBounds = 1;
    AddChild(tips.release());

    float x = 0.0f;
    const float rowHeight = DesignUnitsY(30.0f);
    const auto place = [&](Primitive* item, float width) {
        item->vAlign = kAlignVCentre;
        item->SetPosition(x, rowHeight / 2.0f);
        x += width + DesignUnitsX(6.0f);
    };

    auto rank = std::make_unique<SimpleLabel>(6, textColour, kLabelCentre, "");
    rank->SetName("RANK");
    rank->SetScale(0.8f);
    rank->SetSize(DesignUnitsX(36.0f), rowHeight);
    place(rank.get(), DesignUnitsX(36.0f));
    if (!showRecordMarks)
        rank->visible = 0;
    AddChild(rank.release());

    auto throbber = std::make_unique<Throbber>();
    throbber->SetName("THROBBER");
    float tw = 0.0f, th = 0.0f;
    throbber->GetSize(&tw, &th);
    throbber->SetSize(tw, th);
    throbber->SetPosition(DesignUnitsX(18.0f), rowHeight / 2.0f);
    throbber->hAlign = kAlignHCentre;
    throbber->vAlign = kAlignVCentre;
    throbber->excludeFromBounds = 1;
    if (!showRecordMarks)
        throbber->visible = 0;
    AddChild(throbber.release());

    for (const auto& row : entry.rows) {
        const StatKindInfo* info = FindStatKind(row->kind);
        if (!info)
            continue;
        auto icon = std::make_unique<ScreenImage>(kStatIconFolder, info->icon);
        icon->SetName(StringPrintf("STAT_ICON_%d", row->kind).c_str());
        icon->SetScale(0.75f, 0.75f);
        place(icon.get(), icon->GetSizeVirtual().x);
        tips_->SetTip(icon.get(), row->GetName());
        AddChild(icon.release());

        auto value = std::make_unique<SimpleLabel>(6, textColour, kLabelLeft | kLabelVCentre, row->GetValueText());
        value->SetName(StringPrintf("STAT_%d", row->kind).c_str());
        value->SetScale(0.7f);
        value->FitToText();
        place(value.get(), std::max(value->GetSizeVirtual().x, DesignUnitsX(40.0f)));
        tips_->SetTip(value.get(), row->GetName());
        AddChild(value.release());
    }
    SetSize(x, rowHeight);
}

std::string ResultRow::TipOf(const Primitive* item) const
{
    return tips_ ? tips_->TipFor(item) : std::string();
}

void ResultRow::SetTipOf(const Primitive* item, const std::string& tip)
{
    if (tips_)
        tips_->SetTip(item, tip);
}
