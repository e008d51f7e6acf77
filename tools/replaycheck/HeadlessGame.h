#pragma once
// What a headless program needs to run the world with the game's own data: a hidden window
// and the software device (the art is loaded as textures), the game folder's archive and
// plain files, the flimb specs, the game's landscape, the particle pool and a world of its
// own. Used by the replay check and the world benchmark.
#include "app/FileManager.h"
#include "app/ResourceFileManager.h"
#include "app/StandardFileManager.h"
#include "app/UserFolders.h"
#include "media/DXManager.h"
#include "media/ImageCache.h"
#include "platform/window/MainWindow.h"
#include "world/AnimationSpec.h"
#include "world/Landscape.h"
#include "world/WorldServices.h"
#include "world/WorldState.h"

#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <string>

class HeadlessGame {
public:
    HeadlessGame(int screenWidth, int screenHeight)
    {
        setenv("SDL_VIDEODRIVER", "offscreen", 0);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("ALSOFT_DRIVERS", "null", 0);
        const std::string game = GetProgramFolder();
        files_ = std::make_unique<FileManager>();
        files_->AddMember(std::make_unique<ResourceFileManager>(game + "/Data/resource.dat"));
        files_->AddMember(std::make_unique<StandardFileManager>(std::vector<StandardFileManager::Root>{{"", game}}));
        files_->IndexNames(nullptr, 0, nullptr);
        fileManager = files_.get();
        if (!window_.Create("Flimbs", {0, 0, screenWidth, screenHeight}))
            throw std::runtime_error("no window");
        DXManager::Init(&window_, screenWidth, screenHeight);
        use_ = std::make_unique<ScopedWorld>(world);
        LoadActionSprites();
        InitLandscape();
        InitParticles();
    }
    ~HeadlessGame()
    {
        UnloadActionSprites();
        ReleaseParticles();
        ReleaseLandscape();
        use_.reset();
        ImageCache::Clear();
        DXManager::Shutdown();
        fileManager = nullptr;
    }
    HeadlessGame(const HeadlessGame&) = delete;
    HeadlessGame& operator=(const HeadlessGame&) = delete;

    Landscape& Land() { return *GameLandscape(); }

    WorldState world;

private:
    platform::MainWindow window_;
    std::unique_ptr<FileManager> files_;
    std::unique_ptr<ScopedWorld> use_;
};
