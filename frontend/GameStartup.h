#pragma once
// The game's start-up in its one order, shared by the program and by every headless tool,
// benchmark and fuzzer that needs the game's data, and its undoing in reverse:
//   the user folders; the main window (hidden); the file managers: the game folder's plain
//   files, Data\resource.dat, Data\resource01.dat when present, the player's folders and the
//   memory files; the parameter file; the platform store; the graphics device, fonts,
//   cursors, language texts and sound; the game pad; the profile resources; the console; the
//   keyboard and mouse; the network library; the game controller; the landscape and the game
//   view; the flimbs' sprites; the trap specs; the default cursor; the particles; the bonus
//   items; the key bindings; the last profile.
// Without a display the window, the device and what is drawn or played (fonts, cursors,
// language, sound, trap specs, cursor) are left out; without input the game pad, keyboard
// and mouse are. The program adds its own steps through the hooks (the splash screen, its
// key bindings).
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class FileManager;
class MemoryFileManager;
namespace platform {
class InputSystem;
class MainWindow;
}

// Fills every floor's hooks from the floors above it: the statistics client's record from
// the session, the session's calls from the HUD, the session's and the HUD's from the
// screens. The start-up runs it first; tests run it once before their first test.
void InstallFloorHooks();

struct GameStartOptions {
    // The game folder (Bin\'s parent); its plain files and archives are mounted.
    std::string programFolder;
    // A game folder without Data\resource.dat cannot start; the fuzzers start from the
    // hand-written data of the source tree, which has none.
    bool archiveRequired = true;
    // A main window with the software graphics device.
    bool display = true;
    // The screen size; 0 x 0: the display mode of the global configuration.
    int screenWidth = 0;
    int screenHeight = 0;
    // The keyboard, mouse and game pad on the main window's events (needs the display).
    bool input = false;
    // The milliseconds of the program's start (SteadyMilliseconds): the steps' log lines
    // count from them.
    uint32_t startMs = 0;
    // The program's own steps: right after the main window is made, and the key bindings.
    std::function<void(platform::MainWindow& window)> windowMade;
    std::function<void()> keyBindings;
};

class GameStartup {
public:
    GameStartup();
    // Stop().
    ~GameStartup();
    GameStartup(const GameStartup&) = delete;
    GameStartup& operator=(const GameStartup&) = delete;

    // Runs the steps in their order. Throws GameException when one fails; what started
    // before stays for Stop to undo.
    void Start(const GameStartOptions& options);
    // Undoes everything Start did, in reverse; safe after any outcome of Start and repeated.
    void Stop();
    // The undoing in its four parts, for the program to log between them: the services (GUI
    // windows to the network library), the window and input, the platform store, the files.
    void StopServices();
    void CloseWindow();
    void CloseStore();
    void CloseFiles();

    platform::MainWindow* Window() const { return window_.get(); }
    platform::InputSystem* Input() const { return input_.get(); }
    FileManager* Files() const { return files_.get(); }
    // The file managers' last member: what no other member holds is looked for there.
    MemoryFileManager* MemoryFiles() const { return memory_; }

private:
    void StartFiles(const GameStartOptions& options);
    void StartDisplay(const GameStartOptions& options);
    void Step(const char* text) const;

    uint32_t startMs_ = 0;
    bool servicesStarted_ = false;
    bool displayStarted_ = false;
    bool inputStarted_ = false;
    bool networkStarted_ = false;
    bool storeStarted_ = false;
    std::unique_ptr<platform::MainWindow> window_;
    std::unique_ptr<platform::InputSystem> input_;
    std::unique_ptr<FileManager> files_;
    MemoryFileManager* memory_ = nullptr;
};
