#pragma once
// The sound trap (kind 42): when a level script activates it, it plays its sound file once
// as an effect or, as background music, restarts the music with it. In the level editor an
// activation previews the file as music played once.
#include "traps/Trap.h"

#include <string>

class SoundTrap : public Trap {
public:
    SoundTrap();

    void Update() override {}
    void Activate(Flimb* by) override;
    void Draw() override;
    std::unique_ptr<LayoutPanel> BuildEditPanel() override;
    bool ApplyEditPanel(LayoutPanel* panel) override;
    void Save(xmlNode* node) const override;
    void Load(xmlNode* node, xmlNode* defaults, int32_t mode) override;
    void HashState(StateHasher& hasher) const override;

    // The editor's file chooser gave a file for the sound trap being edited: it becomes the
    // sound, and background music when the sound services take it for music.
    static void OnSoundChosen(const std::string& fileName);

    std::string sound_file; // a game path, passed to the sound services unchanged
    bool set_background = false;

protected:
    void CopyKindFields(const Trap& source) override;
};
