#pragma once
// The sound effects the widgets play, through the sound manager. Tests may watch them.

#include <functional>

// Effect numbers of the sound manager's table.
enum : int {
    kSoundButtonClick = 13,
    kSoundListMove = 14,
    kSoundCheckOn = 15,
    kSoundCheckOff = 16,
};

// Plays an effect at the listener.
void PlayGuiSound(int effectId, float volume = 1.0f);

// Called with every effect the widgets play (before the sound manager plays it); none
// restores plain playing.
using GuiSoundObserver = std::function<void(int effectId, float volume)>;
void SetGuiSoundObserver(GuiSoundObserver observer);
