#include "frontend/menus/IntroWindow.h"

#include "frontend/FrontEndServices.h"
#include "frontend/menus/FlimbsMenuTemplate.h"
#include "frontend/menus/ScreenLayout.h"
#include "gui/Animators.h"
#include "gui/Label.h"
#include "gui/ScreenImage.h"
#include "gui/ScreenVideo.h"
#include "gui/WindowList.h"

const char* const kPartnerLogos[4] = {"partner_aurora.png", "partner_bitforge.png", "partner_lumen.png",
                                      "partner_northwind.png"};

namespace {

bool IsKeyDown(int value)
{
    return value != 0 && value != 2;
}

} // namespace

IntroWindow::IntroWindow() : SimpleWindow(std::string(), 0xFF000000u, 0xFF000000u)
{
    SetName(kName);
    outlineColour = 0;
    SetPosition(0.0f, 0.0f);
    SetSize(1000.0f, 1000.0f);

    auto* video = new ScreenVideo(kVideo);
    int width = 0, height = 0;
    if (video->GetNaturalSize(&width, &height) && width > 0 && height > 0) {
        video->SetSize(1000.0f, 1000.0f * float(height) / float(width));
        video->vAlign = kAlignVCentre;
        video->SetPosition(0.0f, 500.0f);
        AddChild(video);
        video->Restart();
        video_ = video;
        return;
    }
    delete video;

    still_ = new ScreenImage(kStillLogo);
    still_->SetScale(1.0f, 1.0f);
    still_->hAlign = kAlignHCentre;
    still_->vAlign = kAlignVCentre;
    still_->SetPosition(500.0f, 500.0f);
    AddChild(still_);
    auto* fade = new AnimateAlpha(still_);
    fade->onFinished = ShowPartnerLogos;
    AddChild(fade);
    fade->Start(AnimateAlpha::kFadeInOut, 3500, 2000, 0);
}

Primitive* IntroWindow::OnLeftButton(int, int, int phase)
{
    if (phase == kPhaseDown || phase == kPhaseUp)
        Close();
    return nullptr;
}

Primitive* IntroWindow::OnRightButton(int x, int y, int phase)
{
    return OnLeftButton(x, y, phase);
}

int IntroWindow::OnKey(int value, int, bool, IInputDevice&)
{
    if (!IsKeyDown(value))
        return 0;
    Close();
    return 1;
}

void IntroWindow::Update()
{
    if (video_ && video_->IsLoaded() && !done_) {
        if (video_->GetPosition() >= video_->GetDuration() - kFadeLead) {
            auto* fade = new AnimateAlpha(video_);
            fade->onFinished = ShowPartnerLogos;
            AddChild(fade);
            fade->Start(AnimateAlpha::kFadeOut, 1000);
            done_ = 1;
        }
    }
    SimpleWindow::Update();
}

void ShowPartnerLogos(Primitive*, Primitive* animation)
{
    auto* intro = animation ? dynamic_cast<PrimContainer*>(animation->FindOwningWindow()) : nullptr;
    if (!intro || !intro->active)
        return;
    auto* logos = new PrimContainer;
    logos->SetName("PartnerLogos");
    logos->SetPosition(0.0f, 0.0f);
    logos->SetSize(1000.0f, 1000.0f);
    intro->AddChild(logos);

    ScreenLayoutEngine e(logos);
    e.SetSpacing(50.0f, 50.0f);
    const float rowStart = 500.0f - DesignX(350.0f);
    e.SetOrigin(rowStart, kKeepCoordinate);
    for (int i = 0; i < 4; ++i) {
        if (i == 2)
            e.NewRow();
        if (ScreenImage* logo = e.AddImage(kPartnerLogos[i], std::string("Graphics\\Logos\\") + kPartnerLogos[i]))
            logo->SetScale(1.0f, 1.0f);
    }
    e.Finish();
    // The block of logos centred on the screen.
    float left = 1000.0f, top = 1000.0f, right = 0.0f, bottom = 0.0f;
    for (Primitive* child : logos->Children()) {
        const FloatRect box = child->GetRelativeRectVirtual();
        left = std::min(left, box.left), top = std::min(top, box.top);
        right = std::max(right, box.right), bottom = std::max(bottom, box.bottom);
    }
    const float dx = 500.0f - (left + right) / 2.0f;
    const float dy = 520.0f - (top + bottom) / 2.0f;
    for (Primitive* child : logos->Children()) {
        const FloatPoint at = child->GetPositionVirtual();
        child->SetPosition(at.x + dx, at.y + dy);
    }
    auto* line = new SimpleLabel(0, 0xFFFFFFFFu, kLabelCentre, "Produced with the financial participation of");
    line->FitToText();
    line->hAlign = kAlignHCentre;
    line->vAlign = kAlignBottom;
    line->SetPosition(500.0f, top + dy - DesignY(16.0f));
    logos->AddChild(line);

    auto* fade = new AnimateAlpha(logos);
    fade->onFinished = [](Primitive*, Primitive* self) { self->CloseOwningWindow(); };
    logos->AddChild(fade);
    fade->Start(AnimateAlpha::kFadeInOut, 4000, 2000, 0);
}

void ShowIntro()
{
    auto* intro = new IntroWindow;
    intro->closeHandler = ReturnToMainMenuOnClose;
    intro->visible = 1;
    intro->active = 1;
    if (!IsWindowOpen(intro))
        OpenWindow(intro, true);
    LogScreen(intro->name);
}
