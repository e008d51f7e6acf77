#include "hud/PopupSupport.h"

#include "app/FileManager.h"
#include "app/StringUtil.h"
#include "gui/Animators.h"
#include "gui/Label.h"
#include "gui/UiScale.h"
#include "gui/VoiceBubble.h"
#include "hud/HudWindow.h"

#include <algorithm>

bool HudImageExists(const std::string& path)
{
    if (path.empty() || !fileManager)
        return false;
    const bool graphics = path.size() >= 9 && EqualsNoCase(path.substr(0, 9), "Graphics\\");
    return fileManager->Exists(graphics ? path : "Graphics\\" + path, 0) || fileManager->Exists(path, 0);
}

VoiceBubble* ShowBubbleOverHud(std::unique_ptr<VoiceBubble> bubble, uint32_t fadeMs)
{
    HudWindow* hud = FindHud();
    PrimContainer* layer = hud ? hud->UpperLayer() : nullptr;
    if (!layer || !bubble)
        return nullptr;
    VoiceBubble* shown = bubble.get();
    auto fade = std::make_unique<AnimateAlpha>(shown);
    AnimateAlpha* wrapper = fade.get();
    wrapper->AddChild(bubble.release());
    shown->hAlign = kAlignHCentre;
    shown->vAlign = kAlignVCentre;
    shown->SetMargins(kKeepCoordinate, kKeepCoordinate, kKeepCoordinate, kKeepCoordinate);
    shown->maxBottom = 1000.0f - DesignUnitsY(kPopupBottomRoom);
    shown->SetPosition(500.0f, HudGameViewCentreY());
    shown->Relayout();
    layer->AddChild(fade.release());
    wrapper->Start(AnimateAlpha::kFadeIn, fadeMs);
    return shown;
}

std::unique_ptr<Label> MakeTextBlock(const std::string& text, int fontId, uint32_t colour, float scale,
                                     float widthDesign)
{
    auto label = std::make_unique<Label>(fontId, colour, kLabelCentre);
    label->SetScale(scale);
    label->SetFit(TextFit::Wrap);
    label->SetSize(DesignUnitsX(widthDesign), kKeepCoordinate);
    label->SetText(CutUtf8(text, kPopupTextLimit));
    label->FitToText();
    return label;
}

void StackCentred(PrimContainer* box, const std::vector<Primitive*>& rows, float gapDesign, float marginX,
                  float marginY)
{
    const FloatRect own = box->GetMarginsVirtual();
    float widest = 0.0f;
    for (Primitive* row : rows)
        if (row)
            widest = std::max(widest, row->GetSizeVirtual().x);
    const float width = widest + own.left + own.right + 2.0f * DesignUnitsX(marginX);
    float y = own.top + DesignUnitsY(marginY);
    for (Primitive* row : rows) {
        if (!row)
            continue;
        row->hAlign = kAlignHCentre;
        row->vAlign = kAlignTop;
        row->SetPosition(width / 2.0f, y);
        row->UpdateAbsolutePosition();
        y += row->GetSizeVirtual().y + DesignUnitsY(gapDesign);
    }
    box->SetSize(width, y - DesignUnitsY(gapDesign) + DesignUnitsY(marginY) + own.bottom);
}

void FadeOutHudPopup(Primitive* inside, uint32_t fadeMs)
{
    AnimateAlpha* fade = nullptr;
    Primitive* popup = inside;
    for (Primitive* walk = inside; walk; walk = walk->parent) {
        if ((fade = dynamic_cast<AnimateAlpha*>(walk)))
            break;
        popup = walk;
    }
    const auto close = [](Primitive* wrapper, Primitive* shown) {
        if (auto* container = dynamic_cast<PrimContainer*>(shown))
            container->Close();
        if (wrapper)
            wrapper->Deactivate();
    };
    if (!fade) {
        close(nullptr, popup);
        return;
    }
    fade->onFinished = [fade, popup, close](Primitive*, Primitive*) { close(fade, popup); };
    fade->Start(AnimateAlpha::kFadeOut, fadeMs);
}

void CloseHudPopups()
{
    HudWindow* hud = FindHud();
    if (!hud)
        return;
    for (PrimContainer* layer : {hud->UpperLayer(), hud->LowerLayer()}) {
        if (!layer)
            continue;
        for (Primitive* child : layer->CopyChildList()) {
            if (!layer->HasChild(child))
                continue;
            auto* container = dynamic_cast<PrimContainer*>(child);
            // A fade wrapper closes what it wraps, and goes with it.
            auto* fade = dynamic_cast<AnimateAlpha*>(child);
            if (fade) {
                auto* target = dynamic_cast<PrimContainer*>(fade->Target());
                container = target && fade->HasChild(target) ? target : nullptr;
            }
            if (container)
                container->Close();
            if (fade || !container)
                child->Deactivate();
        }
    }
}
