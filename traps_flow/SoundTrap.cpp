#include "traps_flow/SoundTrap.h"

#include "app/XmlUtil.h"
#include "gui/LayoutPanel.h"
#include "gui/WindowList.h"
#include "levelmodel/EditorPicking.h"
#include "media/SoundManager.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps_flow/ScriptTargets.h"
#include "world/StateHash.h"
#include "world/TrapKinds.h"

namespace {

constexpr int32_t kSoundKind = 42;
const TrapKindRegistration registration(kSoundKind, [] { return std::unique_ptr<Trap>(new SoundTrap); });

} // namespace

SoundTrap::SoundTrap() : Trap(kSoundKind)
{
    LoadGraphics();
}

void SoundTrap::Activate(Flimb* /*by*/)
{
    if (LevelEditorOpen()) {
        // The designer's preview: once, whatever the trap is set to.
        soundManager.StopMusic();
        soundManager.PlayMusic(sound_file, false, true, 1.0f);
        return;
    }
    if (set_background) {
        // Stopped first, so that the same track starts again from its beginning.
        soundManager.StopMusic();
        soundManager.PlayMusic(sound_file, true, true, 1.0f);
        return;
    }
    soundManager.PlaySoundFile(sound_file, 1.0f);
}

void SoundTrap::Draw()
{
    DrawIconInEditor(*this);
}

void SoundTrap::OnSoundChosen(const std::string& fileName)
{
    auto* trap = dynamic_cast<SoundTrap*>(EditedTrap());
    if (!trap)
        return;
    trap->sound_file = fileName;
    trap->set_background = soundManager.GetMusicDuration(fileName) > 0.0;
    if (auto* panel = dynamic_cast<LayoutPanel*>(FindOpenWindow(TrapTypeName(trap->kind))))
        panel->SetChecked("set_background", trap->set_background);
}

void SoundTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    AppendTrapChild(node, "sound_file", sound_file);
    AppendTrapInt(node, "set_background", set_background ? 1 : 0);
}

void SoundTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    sound_file = XmlGetTagText(node, "sound_file", defaults);
    set_background = XmlGetTagBool(node, "set_background", defaults);
}

void SoundTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const SoundTrap&>(source);
    sound_file = other.sound_file;
    set_background = other.set_background;
}

void SoundTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(set_background);
    HashText(hasher, sound_file);
}
