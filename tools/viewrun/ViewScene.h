#pragma once
// A sample level loaded for play headless, with flimbs added at work over its terrain and,
// when asked, the game view ("MOUSEPORT") and the minimap panel opened over a 1280 x 720
// software device. Used by the view run (drawing and quiet processes compared) and the
// view benchmark. The program clock is the scene's own, stepped by Advance, so pictures
// and timings do not depend on the machine.
#include "app/GameClock.h"
#include "game/GameController.h"
#include "game/GameServices.h"
#include "game/GameViewPort.h"
#include "game/LevelLoader.h"
#include "game/WorldUpdate.h"
#include "gui/GuiClock.h"
#include "gui/GuiDevice.h"
#include "gui/PrimContainer.h"
#include "gui/WindowList.h"
#include "media/PngFile.h"
#include "modes/ModeServices.h"
#include "platform/gfx/Device.h"
#include "tools/replaycheck/HeadlessGame.h"
#include "world/FlimbTable.h"
#include "world/MinimapView.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"

#include <algorithm>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

class ViewScene {
public:
    static constexpr int kScreenWidth = 1280, kScreenHeight = 720;

    explicit ViewScene(const std::string& level) : game_(kScreenWidth, kScreenHeight)
    {
        gameClock.SetSource([] { return ClockNow(); });
        gameClock.Start();
        loader_ = LoadFlimbsLevel(level, kLevelLoadGame);
        if (!loader_ || !LoadLevel(*loader_))
            throw std::runtime_error("cannot load " + level);
        StampTrapsIntoLand(); // as the level start does
        SetParticlesEnabled(true); // as the match start does
        Controller().runState = kRunRunning;
        for (GroupEntry& group : Controller().groups)
            group.uses.fill(kUnlimitedUses);
        player_ = std::make_unique<PlayerRecord>();
        player_->control.fill(1);
        Controller().localPlayer = player_.get();
    }
    ~ViewScene()
    {
        CloseView();
        if (loader_)
            CloseLevelDocument(*loader_);
        UnloadTraps();
        ClearCurrentGameMode();
        Controller().localPlayer = nullptr;
        gameClock.SetSource(nullptr);
        gameClock.Start();
    }
    ViewScene(const ViewScene&) = delete;
    ViewScene& operator=(const ViewScene&) = delete;

    // Adds flimbs of the level's groups standing on the terrain (or falling onto it),
    // spread evenly across the level; every fifth one digs, every seventh builds.
    void AddFlimbs(int count)
    {
        Landscape& land = game_.Land();
        const int width = land.Width(), height = land.Height();
        std::vector<uint8_t> groups;
        for (int g = 0; g < 8; ++g)
            if (Controller().groups[size_t(g)].inUse)
                groups.push_back(uint8_t(g));
        if (groups.empty())
            groups.push_back(0);
        int16_t nextId = 1;
        for (const Flimb& flimb : World())
            if (!flimb.IsFree())
                nextId = std::max<int16_t>(nextId, int16_t(flimb.id + 1));
        for (int i = 0; i < count; ++i) {
            const int x = 24 + int((int64_t(i) * 7919) % std::max(1, width - 48));
            int y = 16;
            while (y < height - 1 && land.CountSolidPixels(x, y, x, y) == 0)
                ++y;
            if (y >= height - 1)
                y = height / 3; // no ground here: it falls
            Flimb* flimb = AddFlimb(int16_t(x), int16_t(y - 1), nextId++, groups[size_t(i) % groups.size()], kWalk, 0,
                                    kFlimbStartEnergy, 0, i % 2 ? 1 : -1);
            if (!flimb)
                break;
            if (i % 5 == 0)
                flimb->queuedAction = kDrill;
            else if (i % 7 == 0)
                flimb->queuedAction = kMold;
        }
        ComputeNextFlimbIds();
    }

    // The game view over the whole screen, the minimap panel at its top right.
    void OpenView()
    {
        view_ = std::make_unique<GameViewPort>();
        view_->SetViewRect(0, 0, float(kScreenWidth), float(kScreenHeight));
        OpenWindow(view_.get(), false);
        minimap_.reset(MinimapView::CreatePanel());
        if (minimap_) {
            OpenWindow(minimap_.get(), true);
            minimap_->Update();
            PlaceMinimap();
        }
        view_->Update();
    }
    void CloseView()
    {
        if (minimap_)
            CloseWindow(minimap_.get());
        if (view_)
            CloseWindow(view_.get());
        minimap_.reset();
        view_.reset();
    }
    GameViewPort* View() { return view_.get(); }
    void ShowMinimap(bool shown)
    {
        if (minimap_)
            minimap_->visible = shown ? 1 : 0;
    }

    // One game update.
    void Update() { UpdateWorld(); }

    // Steps the program clock and the open windows by `ms`, then draws one frame.
    void Frame(uint32_t ms)
    {
        ClockNow() += ms;
        SetGuiFrameElapsed(ms);
        UpdateOpenWindows();
        PlaceMinimap();
        gfx::Device* device = DXManager::GetDevice();
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET | gfx::D3DCLEAR_ZBUFFER, 0xFF1A2433u, 1.0f, 0);
        device->BeginScene();
        DrawOpenWindows();
        device->EndScene();
    }

    bool WritePicture(const std::string& path) const
    {
        std::vector<uint32_t> pixels(size_t(kScreenWidth) * kScreenHeight);
        for (int y = 0; y < kScreenHeight; ++y)
            for (int x = 0; x < kScreenWidth; ++x)
                pixels[size_t(y) * kScreenWidth + size_t(x)] =
                    DXManager::GetBackBuffer()->ReadPixel(uint32_t(x), uint32_t(y)) | 0xFF000000u;
        return WritePngFile(path, pixels.data(), kScreenWidth, kScreenHeight);
    }

    static uint32_t& ClockNow()
    {
        static uint32_t now = 1000;
        return now;
    }

private:
    void PlaceMinimap()
    {
        auto* map = minimap_ ? dynamic_cast<MinimapView*>(minimap_->FindChild("MinimapView")) : nullptr;
        if (!map)
            return;
        const float width = map->PanelPixels().x;
        const float margin = 12.0f;
        minimap_->SetPosition(Primitive::ToVirtualX(float(kScreenWidth) - width - margin),
                              Primitive::ToVirtualY(margin));
    }

    HeadlessGame game_;
    std::unique_ptr<LevelLoader> loader_;
    std::unique_ptr<PlayerRecord> player_;
    std::unique_ptr<GameViewPort> view_;
    std::unique_ptr<PrimContainer> minimap_;
};
