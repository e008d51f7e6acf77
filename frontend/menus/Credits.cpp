#include "frontend/menus/Credits.h"

#include "frontend/menus/ScreenLayout.h"
#include "gui/GuiClock.h"
#include "gui/GuiDevice.h"
#include "gui/Label.h"

#include <algorithm>

namespace {

constexpr float kEdgeBand = 30.0f; // pixels of the fade band at 768 pixels high

SimpleLabel* MakeLabel(int font, const std::string& text, uint32_t alignment, float scale)
{
    auto* label = new SimpleLabel(font, 0xFFFFFFFFu, alignment, text);
    label->SetScale(scale);
    label->FitToText();
    return label;
}

} // namespace

const std::vector<CreditsSection>& ContributorTable()
{
    static const std::vector<CreditsSection> table = {
        {"Game Design", {{"The Flimbs Team", "Puzzles and rules"}, {"Level Guild", "Campaign levels"}}},
        {"Programming",
         {{"Engine Crew", "Rasteriser, sound and video"},
          {"Interface Crew", "Menus, HUD and editor"},
          {"Network Crew", "Sessions and transport"},
          {"Simulation Crew", "Flimbs, traps and terrain"}}},
        {"Art and Sound",
         {{"Pixel Workshop", "Generated art"}, {"Tone Workshop", "Generated music and effects"},
          {"Frame Workshop", "Generated video"}}},
        {"Testing", {{"Headless Testers", "Every build, every night"}, {"Fuzzing Farm", "Untrusted input"}}},
        {"Special Thanks",
         {{"Every Player", "For saving the flimbs"}, {"Open Source Libraries", "SDL, libxml2, zlib, Theora, Vorbis"}}},
    };
    return table;
}

CreditsScroller::CreditsScroller()
{
    SetName("CreditsScroller");
    SetSize(1000.0f, kKeepCoordinate);
    float y = 0.0f;
    const float gap = DesignY(30.0f);
    for (const CreditsSection& section : ContributorTable()) {
        auto* block = new PrimContainer;
        block->SetPosition(0.0f, y);
        block->SetSize(1000.0f, 10.0f);
        AddChild(block);
        SimpleLabel* heading = MakeLabel(5, section.heading, kLabelCentre, 0.75f);
        heading->SetColour(0xFFFFD070u);
        heading->hAlign = kAlignHCentre;
        heading->SetPosition(500.0f, 0.0f);
        block->AddChild(heading);
        float rowY = heading->GetSizeVirtual().y + DesignY(6.0f);
        for (const CreditsEntry& entry : section.entries) {
            SimpleLabel* name = MakeLabel(3, entry.name, kLabelRight, 1.0f);
            name->hAlign = kAlignRight;
            name->SetPosition(490.0f, rowY);
            block->AddChild(name);
            SimpleLabel* role = MakeLabel(0, entry.role, kLabelLeft, 1.0f);
            role->SetColour(0xFFCCCCCCu);
            role->SetPosition(510.0f, rowY);
            block->AddChild(role);
            rowY += std::max(name->GetSizeVirtual().y, role->GetSizeVirtual().y) + DesignY(4.0f);
        }
        block->SetSize(1000.0f, rowY);
        y += rowY + gap;
    }
    SimpleLabel* thanks = MakeLabel(5, "Thanks for playing Flimbs!", kLabelCentre, 1.0f);
    thanks->hAlign = kAlignHCentre;
    thanks->SetPosition(500.0f, y - gap + DesignY(130.0f));
    AddChild(thanks);
    float width = 0.0f, height = 0.0f;
    GetSize(&width, &height);
    contentHeight = ToPixelsY(height + DesignY(30.0f));
}

void CreditsScroller::Update()
{
    const float band = Primitive::ToVirtualY(kEdgeBand * float(GetScreenHeight()) / 768.0f);
    const FloatRect view = GetScreenRect();
    for (Primitive* child : Children()) {
        auto* block = dynamic_cast<Container<Primitive>*>(child);
        const std::vector<Primitive*> widgets = block ? block->CopyChildList() : std::vector<Primitive*>{child};
        for (Primitive* widget : widgets) {
            const FloatRect box = widget->GetScreenRect();
            const float fromTop = box.top - view.top;
            const float fromBottom = view.bottom - box.bottom;
            const float nearest = std::min(fromTop, fromBottom);
            float alpha = 255.0f;
            if (nearest < band)
                alpha = std::clamp(nearest / band * 255.0f, 0.0f, 255.0f);
            widget->SetFlag(uint8_t(alpha), 0);
        }
    }
    PrimContainer::Update();
}

CreditsWindow::CreditsWindow() : SimpleWindow(std::string(), 0x80000000u, 0x80000000u)
{
    outlineColour = 0;
    SetName("CreditsWindow");
    SetPosition(0.0f, 0.0f);
    SetSize(1000.0f, 1000.0f);

    scroller_ = new CreditsScroller;
    auto* title = new SimpleLabel(8, 0xFFFFFFFFu, kLabelCentre, "CREDITS");
    title->FitToText();
    title->hAlign = kAlignHCentre;
    title->SetPosition(500.0f, 300.0f);
    AddChild(title);
    const float titleBottom = title->GetRelativeRectVirtual().bottom;
    scroller_->screenWidth = float(GetScreenWidth());
    scroller_->hAlign = kAlignHCentre;
    scroller_->SetSize(1000.0f, 970.0f - titleBottom);
    scroller_->SetPosition(500.0f, titleBottom);
    AddChild(scroller_);
    scroller_->SetScrollOffset(-ToPixelsY(scroller_->GetSizeVirtual().y - 10.0f), kKeepCoordinate);
}

float CreditsWindow::StopOffset() const
{
    return scroller_->contentHeight - (scroller_->rect.bottom - scroller_->rect.top) * 0.25f;
}

void CreditsWindow::Update()
{
    if (scroller_->scrollY < StopOffset()) {
        const float step = float(GuiFrameElapsed()) * float(GetScreenHeight()) * 0.035f / 1000.0f;
        scroller_->SetScrollOffset(std::min(scroller_->scrollY + step, StopOffset()), kKeepCoordinate);
    } else if (closeAfterEndMs_ >= 0 && !closing_) {
        atEndMs_ += int(GuiFrameElapsed());
        if (atEndMs_ >= closeAfterEndMs_) {
            closing_ = true;
            Close();
            return;
        }
    }
    SimpleWindow::Update();
}

Primitive* CreditsWindow::OnLeftButton(int, int, int phase)
{
    if (phase == kPhaseDown || phase == kPhaseUp)
        Close();
    return nullptr;
}

Primitive* CreditsWindow::OnRightButton(int x, int y, int phase)
{
    return OnLeftButton(x, y, phase);
}

int CreditsWindow::OnKey(int value, int, bool, IInputDevice&)
{
    if (value != 0 && value != 2) {
        Close();
        return 1;
    }
    return 0;
}

CreditsWindow* ShowCredits()
{
    return new CreditsWindow;
}
