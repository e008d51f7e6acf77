#include "gui/GuiSounds.h"

#include "media/SoundManager.h"

namespace {

GuiSoundObserver& Observer()
{
    static GuiSoundObserver observer;
    return observer;
}

} // namespace

void PlayGuiSound(int effectId, float volume)
{
    if (Observer())
        Observer()(effectId, volume);
    soundManager.PlayEffect(effectId, volume);
}

void SetGuiSoundObserver(GuiSoundObserver observer) { Observer() = std::move(observer); }
