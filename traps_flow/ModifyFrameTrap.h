#pragma once
// The modify-frame trap (kind 41, "ModifyFrame"): when activated it sets, steps or animates
// the animation frame of its target traps, or gives background traps a new image. The
// animation runs in the world update by the game clock, so every peer shows the same frames
// and raises the end event at the same update.
#include "traps/Trap.h"

#include <cstdint>
#include <string>
#include <vector>

class ModifyFrameTrap : public Trap {
public:
    enum Mode : int32_t { kGotoFrame = 0, kNextFrame = 1, kPrevFrame = 2, kAnimate = 3, kSetImage = 4 };

    ModifyFrameTrap();

    // Takes every animation step that is due by the game clock (one per 1000 / fps ms).
    void Update() override;
    void Activate(Flimb* by) override;
    void RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t dx, int32_t dy) override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    // Fails (GameException) when neither the element nor the defaults hold a
    // "target_trap_id"; the targets are the element's own "target_trap_id" children.
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void HashState(StateHasher& hasher) const override;

    // "Set Background Trap(s)": the selected background traps join the target list of the
    // trap whose panel was open. "Set Image": the chosen image goes to the selected traps.
    static void OnTargetsSelected(const std::vector<MapObject*>& selection);
    static void OnImageChosen(const std::string& fileName);

    std::vector<uint32_t> targets; // repeats allowed
    std::string image;             // Set Image's path
    int32_t mfmode = kNextFrame;
    int32_t goto_frame = 0;
    int32_t start_frame = 0;
    int32_t end_frame = 0; // the animation stops on reaching it
    int32_t fps = 13;
    bool playing = false;     // an animation runs
    int32_t currentFrame = 0; // the frame the next step shows
    double nextStepTime = 0;  // game clock (ms) of the next step

protected:
    void CopyKindFields(const Trap& source) override;

private:
    void StepAnimation();
};
