#include "game/GameController.h"

#include "media/SoundManager.h"
#include "modes/ModeServices.h"
#include "world/ViewServices.h"

GameController& Controller()
{
    static GameController controller;
    return controller;
}

void ResetGameController()
{
    GameController& controller = Controller();
    controller.runState = kRunNone;
    ClearCurrentGameMode();
    controller.groups = {};
    controller.stats = {};
    controller.visibleRect = {};
    controller.detonation = {};
    controller.matchResult = -1;
    controller.matchResultDetail = 0;
    controller.otherViewSwitch = 0;
    controller.levelStartTime = 0;
    controller.counters = {};
    controller.messages.Clear(true);
}

std::string GameController::GetLevelName(bool keepExtension) const
{
    std::string name = levelFile;
    if (!keepExtension) {
        const size_t at = name.find(".flevel");
        if (at != std::string::npos)
            name.erase(at, 7);
    }
    return name;
}

namespace {
EffectAtObserver effectAtObserver = nullptr;
void* effectAtContext = nullptr;
} // namespace

void SetEffectAtObserver(EffectAtObserver observer, void* context)
{
    effectAtObserver = observer;
    effectAtContext = context;
}

namespace {
EffectAtListener effectAtListener = nullptr;
} // namespace

void SetEffectAtListener(EffectAtListener listener)
{
    effectAtListener = listener;
}

void GameController::PlayEffectAt(int soundId, int32_t x, int32_t y) const
{
    if (effectAtObserver)
        effectAtObserver(soundId, x, y, effectAtContext);
    if (effectAtListener)
        effectAtListener(soundId, x, y);
    const gfx::RECT& r = visibleRect;
    const float width = CurrentViewWidth();
    const float height = CurrentViewHeight();
    const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
    if (inside || width <= 0.0f || height <= 0.0f) {
        soundManager.PlayEffect(soundId, 1.0f, true, 0.0f, 0.0f);
        return;
    }
    soundManager.PlayEffect(soundId, 1.0f, false, 2.0f * static_cast<float>(x) / width - 1.0f,
                            1.0f - 2.0f * static_cast<float>(y) / height);
}
