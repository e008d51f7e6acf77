#pragma once
// The prompt in which a single player picks a checkpoint slot: "Save To Which Checkpoint?"
// (the game is paused while it is open) or "Load From Which Checkpoint?". Four slot buttons
// "0" .. "3" (keys 1 to 4), in load mode an automatic checkpoint "a" (key A) when there is
// one, and Cancel when the opener asks for it.
#include "modes/SuperNovaPrompt.h"

#include <array>

class CheckpointPrompt : public SuperNovaWindow {
public:
    static constexpr int kSlots = 4;
    static constexpr int kPauseVariable = 18;
    static constexpr uint32_t kEmptyTint = 0xFFAAAAAA;

    CheckpointPrompt(bool showCancel, bool saveMode);
    ~CheckpointPrompt() override;

    // Keys 1 to 4 press the slots, A the automatic one (load mode); with Cancel every other
    // key cancels. Releases and repeats do nothing.
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // With Cancel a press outside cancels and is not taken.
    Primitive* OnLeftButton(int x, int y, int phase) override;
    // A save-mode prompt that closes without having resumed the game resumes it.
    void Close() override;
    bool Deactivate() override;

    static void OnLoadSlot(Primitive* parent, Button* button);
    static void OnSaveSlot(Primitive* parent, Button* button);
    static void OnLoadAuto(Primitive* parent, Button* button);
    static void OnCancelSave(Primitive* parent, Button* button);

    bool ShowsCancel() const { return showCancel_; }
    bool SaveMode() const { return saveMode_; }
    SuperNovaButton* Slot(int slot) const { return slots_[size_t(slot & 3)]; }
    SuperNovaButton* AutoButton() const { return auto_; }
    SuperNovaButton* CancelButton() const { return cancel_; }

private:
    // Sends "resume" (host variable 18 = 0) when this save-mode prompt still owes it.
    void Resume();
    void CancelAndClose();

    bool showCancel_;
    bool saveMode_;
    bool resumeOwed_;
    std::array<SuperNovaButton*, kSlots> slots_{};
    SuperNovaButton* auto_ = nullptr;
    SuperNovaButton* cancel_ = nullptr;
};
