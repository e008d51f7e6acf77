#pragma once
// The device at 1280 x 720 with its fonts, the build's archive and game folder, a fake HUD game, the session's request recorder
// and the test HUD scene, for the tests of the HUD's widgets.
#include "../gui/DeviceFixture.h"
#include "../support/FakeHudGame.h"
#include "../support/FindActive.h"
#include "../support/SessionRecorder.h"
#include "../support/TestHudScene.h"

#include "app/StandardFileManager.h"
#include "gui/GuiClock.h"
#include "gui/WindowList.h"
#include "media/FontManager.h"
#include "media/InputClock.h"

#include <memory>

class HudFixture : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        // The game folder's plain files (sprite-sheet descriptions) beside the archive.
        manager_->AddMember(std::make_unique<StandardFileManager>(
            std::vector<StandardFileManager::Root>{{"", std::string(FLIMBS_GAME_DIR)}}));
        manager_->IndexNames(nullptr, 0, nullptr);
        StartScreen(1280, 720);
        FontManager::Start();
        ResetGuiInput();
        now_ = 1000;
        SetInputClock([] { return now_; });
        SetGuiFrameElapsed(0);
    }
    void TearDown() override
    {
        scene.reset();
        CloseAllWindows();
        ResetGuiInput();
        SetInputClock(nullptr);
        SetGuiFrameElapsed(0);
        FontManager::ReleaseFonts(); // they hold the device that goes now
        DeviceFixture::TearDown();
        SetScreenSize(1000, 1000);
    }
    void OpenScene() { scene = std::make_unique<TestHudScene>(); }
    // Runs the scene's update `frames` times, each frame `ms` long on the GUI clock.
    void Frames(int frames, uint32_t ms = 16)
    {
        for (int i = 0; i < frames; ++i) {
            now_ += ms;
            SetGuiFrameElapsed(ms);
            if (scene)
                scene->Update();
        }
        SetGuiFrameElapsed(0);
    }
    // The children of the upper layer that are active (unwrapping fade wrappers).
    template <class T>
    T* FindInUpper() const
    {
        return FindIn<T>(scene ? scene->UpperLayer() : nullptr);
    }
    template <class T>
    static T* FindIn(Primitive* root)
    {
        return FindActiveUnder<T>(root);
    }

    static inline uint32_t now_ = 0;
    FakeHudGame game;
    SessionRecorder session;
    std::unique_ptr<TestHudScene> scene;
};
