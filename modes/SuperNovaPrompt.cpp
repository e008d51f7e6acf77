#include "modes/SuperNovaPrompt.h"

#include "app/LanguageTexts.h"
#include "gui/Animators.h"
#include "gui/FlimbsLayoutEngine.h"
#include "gui/GraphicButtons.h"
#include "gui/Label.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"
#include "modes/MatchEffects.h"
#include "modes/MatchWorld.h"

namespace {

constexpr int kLabelFont = 4;
constexpr int kButtonFont = 5;
constexpr uint32_t kYesTint = 0xFFAF6060;

// The generic close action of a button: its window closes.
void CloseHoldingWindow(Primitive*, Button* button)
{
    if (button)
        button->CloseOwningWindow();
}

// A large button, disabled, wrapped in a fade-in whose end enables it.
std::unique_ptr<AnimateAlpha> FadingIn(SuperNovaButton* button, uint32_t fadeMs)
{
    button->enabled = 0;
    auto fade = std::make_unique<AnimateAlpha>(button);
    fade->AddChild(button);
    fade->onFinished = [](Primitive* target, Primitive*) {
        if (target)
            target->enabled = 1;
    };
    fade->Start(AnimateAlpha::kFadeIn, fadeMs);
    return fade;
}

} // namespace

SuperNovaWindow::SuperNovaWindow() : DecoratedPrimContainer(kFolder, true)
{
    containerFlags |= kContainerWindow;
}

SuperNovaWindow::~SuperNovaWindow() = default;

void SuperNovaWindow::SetSize(float width, float)
{
    DecoratedPrimContainer::SetSize(width, DesignToVirtualY(kDesignHeight));
}

SuperNovaPrompt::SuperNovaPrompt()
{
    auto* label = new SimpleLabel(kLabelFont, 0xFFFFFFFF, 0, TranslateText("Are you sure you want to supernova?"));
    label->SetMargins(kKeepCoordinate, kKeepCoordinate, DesignToVirtualX(32.0f), kKeepCoordinate);
    label->FitToText();
    label->SetPosition(DesignToVirtualX(36.0f), DesignToVirtualY(13.0f));
    AddChild(label);
    float width = 0.0f, height = 0.0f;
    GetSize(&width, &height);
    SetSize(width, height);

    FlimbsLayoutEngine engine(this);
    engine.SetSpacing(DesignToVirtualX(5.0f), DesignToVirtualY(5.0f));
    engine.SetOrigin(DesignToVirtualX(36.0f), label->GetRelativeRectVirtual().bottom + DesignToVirtualY(5.0f));

    yes_ = new SuperNovaButton();
    yes_->SetName("yes");
    yes_->fontId = kButtonFont;
    yes_->SetMargins(kKeepCoordinate, DesignToVirtualY(75.0f), kKeepCoordinate, kKeepCoordinate);
    yes_->caption = TranslateText("Yes");
    yes_->onClick = OnYes;
    yes_->SetIcon("Graphics\\Menu\\SupernovaWindow\\yes_flimbs.png", 0.0f, 1.0f);
    yes_->tint = kYesTint;
    engine.AddControl(FadingIn(yes_, kFadeMs), std::string());

    cancel_ = new SuperNovaButton();
    cancel_->SetName("cancel");
    cancel_->fontId = kButtonFont;
    cancel_->SetMargins(kKeepCoordinate, DesignToVirtualY(75.0f), kKeepCoordinate, kKeepCoordinate);
    cancel_->caption = TranslateText("Cancel");
    cancel_->onClick = CloseHoldingWindow;
    cancel_->SetIcon("Graphics\\Menu\\SupernovaWindow\\cancel_flimbs.png", -DesignToVirtualY(10.0f), 1.0f);
    engine.AddControl(FadingIn(cancel_, kFadeMs), std::string());

    engine.Finish();
    GetSize(&width, &height);
    SetSize(width + DesignToVirtualX(5.0f), height + DesignToVirtualY(5.0f));
}

SuperNovaPrompt::~SuperNovaPrompt() = default;

int SuperNovaPrompt::OnKey(int value, int, bool, IInputDevice&)
{
    if (value == 0 || value == 2)
        return 0;
    Close();
    return 1;
}

Primitive* SuperNovaPrompt::OnLeftButton(int x, int y, int phase)
{
    if (phase == kPhaseDown && !PointInRect(x, y)) {
        Close();
        return nullptr;
    }
    return SuperNovaWindow::OnLeftButton(x, y, phase);
}

void SuperNovaPrompt::OnYes(Primitive*, Button* button)
{
    if (button)
        button->CloseOwningWindow();
    if (!CurrentMatchWorld().LocalIsSpectator())
        CurrentMatchEffects().SendUpdateGroup(-1);
}

SuperNovaPrompt* OpenSuperNovaPrompt()
{
    if (FindOpenWindow(SuperNovaPrompt::kWindowName) || CurrentMatchWorld().LocalIsSpectator())
        return nullptr;
    auto* prompt = new SuperNovaPrompt();
    prompt->SetName(SuperNovaPrompt::kWindowName);
    const FloatPoint size = prompt->GetSizeVirtual();
    prompt->SetPosition((1000.0f - size.x) / 2.0f, (1000.0f - size.y) / 2.0f);
    OpenWindow(prompt, true);
    return prompt;
}
