#pragma once
// The program shell: start-up in a fixed order, the main loop, one frame, one world step,
// and the shutdown in reverse order.
#include "frontend/GameStartup.h"
#include "platform/desktop/RaiseRequest.h"
#include "shell/CommandLine.h"
#include "shell/FrameRate.h"

#include <cstdint>
#include <memory>
#include <string>

class FileManager;
class SplashScreen;
class JvsBoard;

class GameWnd {
public:
    GameWnd();
    ~GameWnd();
    GameWnd(const GameWnd&) = delete;
    GameWnd& operator=(const GameWnd&) = delete;

    // False when the help was shown or a service failed to start (see HelpShown).
    bool Init();
    // The main loop; returns when a quit was requested.
    int Run();
    // Safe after any outcome of Init.
    void Shutdown();

    void PollInput();
    void RenderFrame();
    // One game update of the world.
    static void UpdateWorld();

    bool HelpShown() const { return helpShown_; }
    bool IsRunning() const { return running; }
    int32_t FramesPerSecond() const { return frameRate_.Value(); }
    uint32_t FramesDrawn() const { return framesDrawn_; }
    platform::MainWindow* Window() const { return startup_.Window(); }
    FileManager* Files() const { return startup_.Files(); }

    std::string programFolder;
    bool running = false;
    CommandLineOptions options;
    uint32_t clearColour = 0xFF000000u;

private:
    void StartServices(uint32_t t0);
    void ShowMessage(const std::string& caption, const std::string& text, bool owned);

    bool helpShown_ = false;
    uint32_t framesDrawn_ = 0;
    int exitCode_ = 0; // 1 when a headless playback could not be verified
    FrameRate frameRate_;
    GameStartup startup_;
    std::unique_ptr<SplashScreen> splash_;
    std::unique_ptr<JvsBoard> jvs_;
    // The package installer asks through it for the window to come back to the front.
    platform::RaiseListener raiseRequests_;
};

// Set to clear the stencil buffer with the next frame's clear (one frame only).
extern bool stencilClearRequested;
