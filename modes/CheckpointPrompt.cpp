#include "modes/CheckpointPrompt.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "gui/FlimbsLayoutEngine.h"
#include "gui/GraphicButtons.h"
#include "gui/Label.h"
#include "gui/UiScale.h"
#include "modes/MatchEffects.h"
#include "modes/MatchWorld.h"
#include "modes/ModeFiles.h"
#include "platform/input/ScanCodes.h"

#include <cstdlib>

namespace {

constexpr int kLabelFont = 4;
constexpr int kSlotFont = 4;
constexpr int kButtonFont = 5;
constexpr const char* kIconFolder = "Graphics\\Menu\\SupernovaWindow\\";
constexpr const char* kSlotCaptions[CheckpointPrompt::kSlots] = {"One", "Two", "Three", "Four"};

CheckpointPrompt* PromptOf(Button* button)
{
    return button ? dynamic_cast<CheckpointPrompt*>(button->FindOwningWindow()) : nullptr;
}

// The slot number of a button named "0" .. "3".
int SlotOf(const Button* button)
{
    return button ? std::atoi(button->name.c_str()) : 0;
}

void CloseHoldingWindow(Primitive*, Button* button)
{
    if (button)
        button->CloseOwningWindow();
}

SuperNovaButton* MakeButton(const char* name, int font, const std::string& caption, const std::string& icon,
                            float offset, float scale)
{
    auto* button = new SuperNovaButton();
    button->SetName(name);
    button->fontId = font;
    button->caption = TranslateText(caption);
    button->SetIcon(kIconFolder + icon, offset, scale);
    return button;
}

} // namespace

CheckpointPrompt::CheckpointPrompt(bool showCancel, bool saveMode)
    : showCancel_(showCancel), saveMode_(saveMode), resumeOwed_(saveMode)
{
    containerFlags |= kContainerModal | kContainerWindow;
    auto* label = new SimpleLabel(kLabelFont, 0xFFFFFFFF, 0,
                                  TranslateText(saveMode ? "Save To Which Checkpoint?" : "Load From Which Checkpoint?"));
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

    const PlayerProfile& profile = CurrentProfile();
    const std::string level = CurrentMatchWorld().LevelPath();
    const std::string slotIcon = saveMode ? "checkpoint_icon_user_add.png" : "checkpoint_icon_user.png";
    for (int slot = 0; slot < kSlots; ++slot) {
        const std::string name = std::to_string(slot);
        SuperNovaButton* button =
            MakeButton(name.c_str(), kSlotFont, kSlotCaptions[slot], slotIcon, -DesignToVirtualY(5.0f), 0.48f);
        button->SetMargins(kKeepCoordinate, DesignToVirtualY(17.0f), kKeepCoordinate, -DesignToVirtualY(17.0f));
        button->onClick = saveMode ? OnSaveSlot : OnLoadSlot;
        if (!GameFileExists(profile.CheckpointPath(level, false, slot, false))) {
            button->tint = kEmptyTint;
            button->toolTip = TranslateText("Empty slot.");
            if (!saveMode)
                button->enabled = 0;
        }
        slots_[size_t(slot)] = button;
        engine.AddControl(std::unique_ptr<Primitive>(button), std::string());
    }
    if (!saveMode && GameFileExists(profile.CheckpointPath(level, true, 0, false))) {
        auto_ = MakeButton("a", kButtonFont, "Auto", "checkpoint_icon_auto.png", -DesignToVirtualY(10.0f), 1.0f);
        auto_->SetMargins(kKeepCoordinate, DesignToVirtualY(75.0f), kKeepCoordinate, kKeepCoordinate);
        auto_->onClick = OnLoadAuto;
        engine.AddControl(std::unique_ptr<Primitive>(auto_), std::string());
    }
    if (showCancel) {
        cancel_ = MakeButton("cancel", kButtonFont, "Cancel", "checkpoint_icon_cancel.png", -DesignToVirtualY(10.0f),
                             1.0f);
        cancel_->SetMargins(kKeepCoordinate, DesignToVirtualY(75.0f), kKeepCoordinate, kKeepCoordinate);
        cancel_->onClick = saveMode ? OnCancelSave : CloseHoldingWindow;
        engine.AddControl(std::unique_ptr<Primitive>(cancel_), std::string());
    }

    engine.Finish();
    GetSize(&width, &height);
    SetSize(width + DesignToVirtualX(5.0f), height + DesignToVirtualY(5.0f));
    engine.AddToolTip(std::string(), 250.0f);
    for (SuperNovaButton* button : slots_)
        if (!button->toolTip.empty())
            engine.SetTip(button, button->toolTip);
}

CheckpointPrompt::~CheckpointPrompt()
{
    Resume();
}

void CheckpointPrompt::Resume()
{
    if (!resumeOwed_)
        return;
    resumeOwed_ = false;
    CurrentMatchEffects().SendSetHostVariable(kPauseVariable, 0);
}

void CheckpointPrompt::CancelAndClose()
{
    Resume();
    Close();
}

void CheckpointPrompt::Close()
{
    Resume();
    SuperNovaWindow::Close();
}

bool CheckpointPrompt::Deactivate()
{
    Resume();
    return SuperNovaWindow::Deactivate();
}

int CheckpointPrompt::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (value == 0 || value == 2)
        return 0;
    if (code >= kKey1 && code <= kKey4) {
        slots_[size_t(code - kKey1)]->Click();
        return 1;
    }
    if (code == kKeyA && !saveMode_ && auto_) {
        auto_->Click();
        return 1;
    }
    if (showCancel_) {
        CancelAndClose();
        return 1;
    }
    return SuperNovaWindow::OnKey(value, code, shift, device);
}

Primitive* CheckpointPrompt::OnLeftButton(int x, int y, int phase)
{
    if (showCancel_ && phase == kPhaseDown && !PointInRect(x, y)) {
        CancelAndClose();
        return nullptr;
    }
    return SuperNovaWindow::OnLeftButton(x, y, phase);
}

void CheckpointPrompt::OnLoadSlot(Primitive*, Button* button)
{
    CurrentMatchEffects().LoadCheckpoint(false, SlotOf(button));
}

void CheckpointPrompt::OnSaveSlot(Primitive*, Button* button)
{
    const int slot = SlotOf(button);
    MatchEffects& effects = CurrentMatchEffects();
    const std::string path = CurrentProfile().CheckpointPath(CurrentMatchWorld().LevelPath(), false, slot, false);
    if (effects.SavePlayback(path).empty())
        WriteLog("Checkpoint %d could not be saved to %s\n", slot + 1, path.c_str());
    effects.SendChat(TranslateText("Checkpoint") + " " + std::to_string(slot + 1) + " " + TranslateText("set"));
    if (effects.IsHudOpen())
        effects.RefreshHudCheckpoints();
    if (CheckpointPrompt* prompt = PromptOf(button))
        prompt->CancelAndClose();
    else
        effects.SendSetHostVariable(kPauseVariable, 0);
}

void CheckpointPrompt::OnLoadAuto(Primitive*, Button*)
{
    CurrentMatchEffects().LoadCheckpoint(true, 0);
}

void CheckpointPrompt::OnCancelSave(Primitive*, Button* button)
{
    if (CheckpointPrompt* prompt = PromptOf(button))
        prompt->CancelAndClose();
    else
        CurrentMatchEffects().SendSetHostVariable(kPauseVariable, 0);
}
