#pragma once
// The drawing fixture with the game folder's plain files (the generated video clips) in the
// file manager, a screen of the asked size and a stepped GUI clock.
#include "DeviceFixture.h"

#include "app/StandardFileManager.h"
#include "gui/GuiClock.h"
#include "gui/PrimContainer.h"
#include "gui/WindowList.h"
#include "media/FontManager.h"
#include "media/InputClock.h"

class VideoFixture : public DeviceFixture {
protected:
    static constexpr const char* kIrisClip = "Graphics\\Logos\\flimbs_iris_transition.ogv";

    void SetUp() override
    {
        DeviceFixture::SetUp();
        manager_->AddMember(std::make_unique<StandardFileManager>(
            std::vector<StandardFileManager::Root>{{"", std::string(FLIMBS_GAME_DIR)}}));
        manager_->IndexNames(nullptr, 0, nullptr);
        ResetGuiInput();
        SetCloseHandlersEnabled(true);
        now_ = 1000;
        SetInputClock([] { return now_; });
        SetGuiFrameElapsed(0);
    }
    void TearDown() override
    {
        CloseAllWindows();
        ResetGuiInput();
        SetInputClock(nullptr);
        SetGuiFrameElapsed(0);
        FontManager::ReleaseFonts(); // they hold the device that goes now
        DeviceFixture::TearDown();
    }
    // One frame of `ms` milliseconds: the clock moves, closed windows go, the open ones
    // update.
    static void Step(uint32_t ms)
    {
        now_ += ms;
        SetGuiFrameElapsed(ms);
        UpdateGuiInput(0, 0);
        UpdateOpenWindows();
    }
    static inline uint32_t now_ = 0;
};
