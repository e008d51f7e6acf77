// Starts the game program headless and ends it the way a desktop session would.
#include "app/Log.h"
#include "app/UserFolders.h"
#include "platform/image/ImageCodec.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <regex>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>
#include <zlib.h>

namespace {

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool WaitForText(const std::string& path, const std::string& text, std::chrono::seconds limit)
{
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (ReadFile(path).find(text) != std::string::npos)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

// The processor time the process has used so far; nothing once it has ended.
std::optional<std::chrono::milliseconds> ProcessorTime(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const size_t afterName = text.rfind(')');
    if (afterName == std::string::npos || afterName + 2 >= text.size() || text[afterName + 2] == 'Z')
        return std::nullopt;
    std::istringstream fields(text.substr(afterName + 2));
    std::string field;
    long long ticks = 0;
    // After the name: the state is field 3; user and system time are fields 14 and 15.
    for (int index = 3; index <= 15 && fields >> field; ++index)
        if (index >= 14)
            ticks += std::stoll(field);
    return std::chrono::milliseconds(ticks * 1000 / sysconf(_SC_CLK_TCK));
}

// Lets the program run `linger`, and on a busy machine on until it has had that much more
// processor time (at most twenty times as long), so that what it does in that time does
// not depend on the machine's load.
void Linger(pid_t pid, std::chrono::milliseconds linger)
{
    const auto start = std::chrono::steady_clock::now();
    const auto before = ProcessorTime(pid);
    std::this_thread::sleep_for(linger);
    while (before && std::chrono::steady_clock::now() - start < linger * 20) {
        const auto used = ProcessorTime(pid);
        if (!used || *used - *before >= linger)
            return;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

const char* const kLastShutdownLine = "[night falls, and once again peace fills the land....]\n";

struct ProgramRun {
    int exitCode = -1;
    std::string log;
    std::string errors;
};

// Runs the program with the arguments and extra environment; sends SIGTERM once `waitFor`
// shows in the log (and `linger` more has passed), or waits for it to end by itself.
// `whileRunning` runs once the text is in the log, before the linger.
ProgramRun RunProgram(std::vector<std::string> arguments, std::vector<std::string> environment,
                      const std::string& waitFor, std::chrono::milliseconds linger,
                      std::string program = std::string(FLIMBS_GAME_DIR) + "/Bin/FlimbsGame",
                      const std::function<void()>& whileRunning = {})
{
    const std::string errorsPath = GetUserRoot() + "/stderr.txt";
    arguments.insert(arguments.begin(), program);
    // The game starts its log afresh; an earlier run's log must not answer for this one.
    std::error_code ignored;
    std::filesystem::remove(LogFilePath(), ignored);
    const pid_t child = fork();
    if (child == 0) {
        for (std::string& variable : environment)
            putenv(variable.data());
        if (!freopen(errorsPath.c_str(), "w", stderr))
            _exit(126);
        std::vector<char*> argv;
        for (std::string& a : arguments)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    ProgramRun run;
    if (child < 0)
        return run;
    if (!waitFor.empty()) {
        if (WaitForText(LogFilePath(), waitFor, std::chrono::seconds(30))) {
            if (whileRunning)
                whileRunning();
            Linger(child, linger);
        }
        // A program that has logged the end of its shutdown is let finish by itself (under the
        // sanitizers its exit takes a while).
        if (ReadFile(LogFilePath()).find(kLastShutdownLine) != std::string::npos) {
            int status = 0;
            for (int i = 0; i < 600; ++i) {
                if (waitpid(child, &status, WNOHANG) == child) {
                    ProgramRun ended;
                    ended.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
                    ended.log = ReadFile(LogFilePath());
                    ended.errors = ReadFile(errorsPath);
                    return ended;
                }
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
        kill(child, SIGTERM);
    }
    int status = 0;
    pid_t ended = 0;
    if (waitFor.empty()) {
        // A run expected to end by itself is stopped should it start up instead.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while ((ended = waitpid(child, &status, WNOHANG)) == 0) {
            if (std::chrono::steady_clock::now() > deadline ||
                ReadFile(LogFilePath()).find("Game ready") != std::string::npos)
                kill(child, SIGTERM);
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
    } else {
        ended = waitpid(child, &status, 0);
    }
    if (ended == child && WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    run.log = ReadFile(LogFilePath());
    run.errors = ReadFile(errorsPath);
    return run;
}

// Each line in order, each found after the previous one.
void ExpectInOrder(const std::string& log, const std::vector<std::string>& lines)
{
    size_t at = 0;
    for (const std::string& line : lines) {
        const size_t found = log.find(line, at);
        ASSERT_NE(found, std::string::npos) << "missing or out of order: " << line << "\n" << log;
        at = found + line.size();
    }
}

const std::vector<std::string> kShutdownLines = {
    "Destroying Window....\n", "Steam Destroy....\n", "xmlCleanupParser....\n", "fileManager....\n",
    "CoUninitialize....\n",    "protobuf....\n",      "[night falls, and once again peace fills the land....]\n"};

} // namespace

TEST(GameProgram, StartsRunsAndStopsInOrder)
{
    const ProgramRun run = RunProgram({}, {}, "Game ready", std::chrono::milliseconds(3000));
    EXPECT_EQ(run.exitCode, 0);
    std::vector<std::string> startup;
    for (const char* step :
         {"Path set", "Resource loaded", "Resource indexed", "loading paramfile..", "loading graphics..",
          "loading fonts..", "loading cursors..", "loading language..", "loading sound..", "loading gamepad..",
          "loading player profile..", "loading console..", "loading keyboard..", "loading mouse..",
          "loading network..", "loading controller..", "loading landscape..", "loading flimbs..", "loading traps..",
          "loading cursors..", "loading particles..", "loading items..", "loading keybindings..", "Game ready"}) {
        const std::regex withFigure(std::string("(^|\\n)") + step + " [0-9]+\\n");
        EXPECT_TRUE(std::regex_search(run.log, withFigure)) << step;
        startup.push_back(std::string(step) + " ");
    }
    ExpectInOrder(run.log, startup);
    std::smatch frames;
    ASSERT_TRUE(std::regex_search(run.log, frames, std::regex("Main loop ended after ([0-9]+) frames")));
    // The loop ran; how fast it runs is the benchmarks' business.
    EXPECT_GT(std::stoi(frames[1]), 1);
    ExpectInOrder(run.log, {"Game ready"});
    ExpectInOrder(run.log.substr(run.log.find("Game ready")), kShutdownLines);
    EXPECT_EQ(run.log.substr(run.log.size() - kShutdownLines.back().size()), kShutdownLines.back());

    int count = 0;
    const char* const* names = UserFolderNames(count);
    EXPECT_EQ(count, 19);
    for (int i = 0; i < count; ++i)
        EXPECT_TRUE(std::filesystem::is_directory(GetUserPath(names[i]))) << names[i];
}

TEST(GameProgram, FailedStartShowsTheReasonShutsDownAndFails)
{
    const ProgramRun steam = RunProgram({}, {"FLIMBS_STEAM_FAIL=1"}, "", {});
    const std::string text = "Steam must be running to play this game (SteamAPI_Init() failed).";
    EXPECT_NE(steam.exitCode, 0);
    EXPECT_NE(steam.log.find(text + "\n"), std::string::npos) << steam.log;
    EXPECT_NE(steam.errors.find("[Exception] " + text), std::string::npos) << steam.errors;
    EXPECT_EQ(steam.log.find("Game ready"), std::string::npos);
    ExpectInOrder(steam.log, kShutdownLines);

    // A game folder whose Data holds no archive: the program alone, copied into it.
    const std::filesystem::path folder = GetUserRoot() + "/bare-game";
    std::filesystem::create_directories(folder / "Bin");
    std::filesystem::create_directories(folder / "Data");
    std::filesystem::copy_file(std::string(FLIMBS_GAME_DIR) + "/Bin/FlimbsGame", folder / "Bin/FlimbsGame");
    const ProgramRun archive = RunProgram({}, {}, "", {}, (folder / "Bin/FlimbsGame").string());
    EXPECT_NE(archive.exitCode, 0);
    EXPECT_NE(archive.errors.find("[Exception] Cannot open the resource archive Data\\resource.dat"),
              std::string::npos)
        << archive.errors;
}

TEST(GameProgram, HelpIsShownAndNothingStarts)
{
    const ProgramRun run = RunProgram({"-l", "x.flevel", "-h"}, {}, "", {});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.errors.find("FlimbsGame.exe [options]\n\t-h\t\tShow Help\n\t-e <filename>\tEdit Level\n"
                              "\t-l <filename>\tLaunch Level\n\t-m\t\tAllow Multiple Instances\n"
                              "\t+connect <id>\tConnect to Multiplayer Server\n"),
              std::string::npos)
        << run.errors;
    EXPECT_NE(run.log.find("Flimbs Help"), std::string::npos);
    EXPECT_EQ(run.log.find("Path set"), std::string::npos);
    ExpectInOrder(run.log, kShutdownLines);
}

namespace {

// An X server of our own for one test: started with -displayfd, stopped with the object.
class VirtualDisplay {
public:
    explicit VirtualDisplay(const char* screen = "1280x1024x24")
    {
        int fds[2];
        if (pipe(fds) != 0)
            return;
        pid_ = fork();
        if (pid_ == 0) {
            close(fds[0]);
            const std::string fd = std::to_string(fds[1]);
            execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen, "-nolisten", "tcp",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        char c = 0;
        while (read(fds[0], &c, 1) == 1 && c != '\n')
            number.push_back(c);
        close(fds[0]);
        if (!number.empty())
            name_ = ":" + number;
    }
    ~VirtualDisplay()
    {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    const std::string& Name() const { return name_; }

private:
    pid_t pid_ = -1;
    std::string name_;
};

bool OnPath(const char* program)
{
    return std::system((std::string("command -v ") + program + " >/dev/null 2>&1").c_str()) == 0;
}

// A shell command on the display that waits until the game's window is the only visible one
// titled "Flimbs" (the splash screen shares the title and may still be closing at "Game
// ready"), focuses it, leaves its id in $w and then runs `then`.
std::string OnGameWindow(const std::string& display, const std::string& then)
{
    return "DISPLAY=" + display +
           " sh -c 'for try in $(seq 1 40); do "
           "set -- $(xdotool search --onlyvisible --name \"^Flimbs$\" 2>/dev/null); "
           "if [ $# -eq 1 ] && xdotool windowfocus --sync \"$1\" 2>/dev/null; then w=$1; break; fi; sleep 0.25; done; "
           "[ -n \"$w\" ] && sleep 1 && " +
           then + "'";
}

void WriteText(const std::string& path, const std::string& text)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path) << text;
}

} // namespace

// A real X server: the window appears, draws frames with the rate line, and F12 writes a
// screenshot that shows the line at the bottom left.
TEST(GameProgram, WindowOnAnXServerTakesAScreenshotWithTheRateLine)
{
    if (!OnPath("Xvfb") || !OnPath("xdotool"))
        GTEST_SKIP() << "needs Xvfb and xdotool (tools/setup.sh installs them)";
    VirtualDisplay display;
    ASSERT_FALSE(display.Name().empty());

    // A player whose profile shows the rate line.
    WriteText(GetUserPath("Cache\\Settings\\global_config.xml"),
              "<flimbs-config><last-profile>viewer</last-profile></flimbs-config>");
    WriteText(GetUserPath("Profiles\\viewer.xml"), "<flimbs-profile><settings><showfps>1</showfps></settings></flimbs-profile>");

    const std::string displayName = display.Name();
    // A key skips the intro (any key does); F12 then takes the screenshot over the menus.
    const std::string skipIntro = OnGameWindow(displayName, "xdotool key --window \"$w\" space");
    const std::string pressF12 = OnGameWindow(displayName, "xdotool key --window \"$w\" F12");
    bool pressed = false;
    const ProgramRun run = RunProgram({}, {"SDL_VIDEODRIVER=x11", "DISPLAY=" + displayName}, "Front end: IntroMenu",
                                      std::chrono::milliseconds(1500), std::string(FLIMBS_GAME_DIR) + "/Bin/FlimbsGame",
                                      [&] {
                                          for (int attempt = 0; attempt < 10 && !pressed; ++attempt)
                                              pressed = std::system(skipIntro.c_str()) == 0 &&
                                                        WaitForText(LogFilePath(), "Front end: main_menu",
                                                                    std::chrono::seconds(2));
                                          pressed = pressed && std::system(pressF12.c_str()) == 0;
                                      });
    EXPECT_TRUE(pressed);
    EXPECT_EQ(run.exitCode, 0) << run.log;

    const std::string shot = GetUserPath("Cache\\Screenshots\\flimbs_screenshot_0000.jpg");
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::image::ReadFileBytes(shot, bytes)) << run.log;
    platform::image::Image image;
    ASSERT_TRUE(platform::image::DecodeImage(bytes.data(), bytes.size(), image));
    // Keep the picture with the build for a look.
    std::vector<uint8_t> png;
    if (platform::image::EncodePng(image.argb.data(), image.width, image.height, image.width * 4, false, png))
        platform::image::WriteFileBytes(std::string(FLIMBS_GAME_DIR) + "/windowed-screenshot.png", png);

    // The rate line: light text from x = width x 18/1024 at y = height x 745/768, over the
    // dark frame and hill at the bottom left of the menu backdrop (the version label, also
    // light, lies round the middle).
    auto light = [&](int x, int y) {
        const uint32_t p = image.argb[size_t(y) * image.width + x];
        return ((p >> 16) & 0xFF) > 150 && ((p >> 8) & 0xFF) > 150 && (p & 0xFF) > 150;
    };
    const int lineTop = image.height * 745 / 768, lineLeft = image.width * 18 / 1024;
    int inLine = 0;
    for (int y = lineTop - 2; y < image.height; ++y)
        for (int x = lineLeft - 2; x < image.width / 4; ++x)
            inLine += light(x, y) ? 1 : 0;
    EXPECT_GT(inLine, 40) << "no rate line";
}

// The console on a real X server: "GRAVE" opens it, a typed line runs through the console
// parameters, and "quit" ends the game by itself with exit code 0.
TEST(GameProgram, ConsoleOpensOnGraveAndItsQuitEndsTheGame)
{
    if (!OnPath("Xvfb") || !OnPath("xdotool"))
        GTEST_SKIP() << "needs Xvfb and xdotool (tools/setup.sh installs them)";
    VirtualDisplay display;
    ASSERT_FALSE(display.Name().empty());
    // A known player, past the intro, on the main menu.
    WriteText(GetUserPath("Cache\\Settings\\global_config.xml"),
              "<flimbs-config><last-profile>typist</last-profile></flimbs-config>");
    WriteText(GetUserPath("Profiles\\typist.xml"), "<flimbs-profile><settings/></flimbs-profile>");
    const std::string skipIntro = OnGameWindow(display.Name(), "xdotool key --window \"$w\" space");
    const std::string typeLines =
        OnGameWindow(display.Name(), "xdotool key --window \"$w\" grave && sleep 0.5 && "
                                     "xdotool type --window \"$w\" --delay 60 flimbs && xdotool key --window \"$w\" Return && "
                                     "sleep 0.5 && xdotool type --window \"$w\" --delay 60 quit && "
                                     "xdotool key --window \"$w\" Return");
    bool typed = false;
    bool endedByItself = false;
    const ProgramRun run = RunProgram({}, {"SDL_VIDEODRIVER=x11", "DISPLAY=" + display.Name()},
                                      "Front end: IntroMenu", std::chrono::milliseconds(0),
                                      std::string(FLIMBS_GAME_DIR) + "/Bin/FlimbsGame", [&] {
                                          bool skipped = false;
                                          for (int attempt = 0; attempt < 10 && !skipped; ++attempt)
                                              skipped = std::system(skipIntro.c_str()) == 0 &&
                                                        WaitForText(LogFilePath(), "Front end: main_menu",
                                                                    std::chrono::seconds(2));
                                          typed = skipped && std::system(typeLines.c_str()) == 0;
                                          endedByItself = WaitForText(LogFilePath(), kShutdownLines.back(),
                                                                      std::chrono::seconds(20));
                                      });
    EXPECT_TRUE(typed);
    EXPECT_TRUE(endedByItself) << run.log;
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_NE(run.log.find("Unknown console parameter [flimbs]\n"), std::string::npos) << run.log;
    std::filesystem::remove(GetUserPath("Cache\\Settings\\global_config.xml"));
    std::filesystem::remove(GetUserPath("Profiles\\typist.xml"));
}

// A normal start headless: the intro and the partner logos play through to the front end,
// which asks a new player for a name.
TEST(GameProgram, FreshStartPlaysTheIntroIntoTheNewUserPrompt)
{
    std::filesystem::remove(GetUserPath("Cache\\Settings\\global_config.xml"));
    const ProgramRun run = RunProgram({}, {}, "Front end: PromptForNewUser", std::chrono::milliseconds(300));
    EXPECT_EQ(run.exitCode, 0) << run.log;
    ExpectInOrder(run.log, {"Game ready", "Front end: IntroMenu\n", "Front end: PromptForNewUser\n"});
    EXPECT_EQ(run.log.find("Front end: main_menu"), std::string::npos);
    EXPECT_EQ(run.log.find("ScreenVideo can't be loaded"), std::string::npos) << "the intro clip plays";
}

// With the last profile in the global configuration the menus open on the main menu, whose
// first update writes the configuration file again.
TEST(GameProgram, KnownPlayerReachesTheMainMenuAndItWritesTheConfiguration)
{
    const std::string config = GetUserPath("Cache\\Settings\\global_config.xml");
    WriteText(config, "<flimbs-config><last-profile>Ann</last-profile><serverPORT>9900</serverPORT></flimbs-config>");
    WriteText(GetUserPath("Profiles\\Ann.xml"), "<flimbs-profile><settings/></flimbs-profile>");
    const ProgramRun run = RunProgram({}, {}, "Front end: main_menu", std::chrono::milliseconds(500));
    EXPECT_EQ(run.exitCode, 0) << run.log;
    ExpectInOrder(run.log, {"Front end: IntroMenu\n", "Front end: main_menu\n"});
    const std::string written = ReadFile(config);
    EXPECT_NE(written.find("<last-profile>Ann</last-profile>"), std::string::npos) << written;
    EXPECT_NE(written.find("<serverPORT>9900</serverPORT>"), std::string::npos) << written;
    EXPECT_NE(written.find("<res-x>"), std::string::npos) << written;
    std::filesystem::remove(config);
    std::filesystem::remove(GetUserPath("Profiles\\Ann.xml"));
}

TEST(GameProgram, LaunchedLevelIsHostedRecordedAndStopsCleanly)
{
    const ProgramRun run = RunProgram({"-l", "s_dm_first_steps"}, {}, "Game Map and Info loaded successfully!",
                                      std::chrono::milliseconds(1500));
    EXPECT_EQ(run.exitCode, 0);
    ExpectInOrder(run.log, {"Game ready", "GameInfo has been loaded\n", "Game Map and Info loaded successfully!\n",
                            "Main loop ended after"});
    ExpectInOrder(run.log.substr(run.log.find("Main loop ended after")), kShutdownLines);

    // The level's recording: a playback file that begins with its magic word.
    std::string recording;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(GetUserRoot()))
        if (entry.path().filename() == "temp.flimbs" && entry.path().parent_path().filename() == "Playbacks")
            recording = entry.path().string();
    ASSERT_FALSE(recording.empty());
    gzFile file = gzopen(recording.c_str(), "rb");
    ASSERT_NE(file, nullptr);
    uint8_t head[4] = {};
    EXPECT_EQ(gzread(file, head, sizeof head), 4);
    gzclose(file);
    EXPECT_EQ(head[0] | head[1] << 8 | head[2] << 16 | static_cast<uint32_t>(head[3]) << 24, 0xC704E509u);
}

namespace {

// Runs a shell command on the game's window (see OnGameWindow); true when it succeeded.
bool OnWindow(const std::string& display, const std::string& commands)
{
    return std::system(OnGameWindow(display, commands).c_str()) == 0;
}

// The share of pixels in a rectangle of the picture that pass a test.
template <class Test>
double Share(const platform::image::Image& image, int left, int top, int right, int bottom, Test test)
{
    int hits = 0, all = 0;
    for (int y = top; y < bottom; ++y)
        for (int x = left; x < right; ++x, ++all) {
            const uint32_t p = image.argb[size_t(y) * image.width + x];
            hits += test(int((p >> 16) & 0xFF), int((p >> 8) & 0xFF), int(p & 0xFF)) ? 1 : 0;
        }
    return all ? double(hits) / all : 0.0;
}

} // namespace

namespace {

// The profile "player" with the game's window filling a 1024 x 768 screen.
void UsePlayerWindowFilling1024x768()
{
    WriteText(GetUserPath("Cache\\Settings\\global_config.xml"),
              "<flimbs-config><last-profile>player</last-profile><window-left>0</window-left><window-top>0</window-top>"
              "<window-right>1024</window-right><window-bottom>768</window-bottom></flimbs-config>");
    WriteText(GetUserPath("Profiles\\player.xml"), "<flimbs-profile><settings/></flimbs-profile>");
}

} // namespace

// A player's evening on a real X server: the game starts into the first single-player level
// (from the command line: the main menu's road to single levels comes with the campaign),
// Return on the level's intro starts it, flimbs walk out of the start, F12 takes a picture of the level under the HUD; Escape opens
// the in-game menu, its Exit leads back to the main menu, whose Quit ends the game (after the
// credits, which a key ends) with exit code 0. The screen is 1024 x 768, so the buttons lie
// where this test clicks.
TEST(GameProgram, PlayThroughALevelAndQuitThroughTheMenus)
{
    if (!OnPath("Xvfb") || !OnPath("xdotool"))
        GTEST_SKIP() << "needs Xvfb and xdotool (tools/setup.sh installs them)";
    VirtualDisplay display("1024x768x24");
    ASSERT_FALSE(display.Name().empty());
    const std::string d = display.Name();
    UsePlayerWindowFilling1024x768();
    const auto logHas = [](const std::string& text, int seconds) {
        return WaitForText(LogFilePath(), text, std::chrono::seconds(seconds));
    };
    const std::string shotPath = GetUserPath("Cache\\Screenshots\\flimbs_screenshot_0000.jpg");
    std::error_code ignored; // an earlier test's screenshot must not stand for this one
    std::filesystem::remove_all(GetUserPath("Cache\\Screenshots"), ignored);
    bool started = false, shot = false, menu = false, mainMenu = false, quitMenu = false, credits = false,
         ended = false;
    const ProgramRun run = RunProgram(
        {"-l", "s_dm_first_steps"}, {"SDL_VIDEODRIVER=x11", "DISPLAY=" + d}, "Game Map and Info loaded successfully!",
        std::chrono::milliseconds(0), std::string(FLIMBS_GAME_DIR) + "/Bin/FlimbsGame", [&] {
            // The level's intro: Return on its focused Start begins the level; the first flimbs
            // leave the start and walk along the ground.
            started = OnWindow(d, "sleep 2 && xdotool key --window \"$w\" Return");
            std::this_thread::sleep_for(std::chrono::seconds(9));
            shot = OnWindow(d, "xdotool key --window \"$w\" F12");
            for (int i = 0; i < 50 && shot && !std::filesystem::exists(shotPath); ++i)
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            menu = OnWindow(d, "xdotool key --window \"$w\" Escape && sleep 1 && "
                               "xdotool mousemove --window \"$w\" 925 56 && sleep 0.4 && xdotool click --window \"$w\" 1");
            mainMenu = menu && logHas("Front end: main_menu", 10);
            quitMenu = mainMenu && OnWindow(d, "sleep 1 && xdotool mousemove --window \"$w\" 545 637 && sleep 0.4 && "
                                                  "xdotool click --window \"$w\" 1") &&
                       logHas("Front end: quit_menu", 10);
            credits = quitMenu && OnWindow(d, "sleep 1 && xdotool mousemove --window \"$w\" 413 346 && sleep 0.4 && "
                                                 "xdotool click --window \"$w\" 1") &&
                      logHas("Front end: Credits, then quit", 10);
            ended = credits && OnWindow(d, "sleep 1 && xdotool key --window \"$w\" Escape") &&
                    logHas(kShutdownLines.back(), 20);
        });
    EXPECT_TRUE(started);
    EXPECT_TRUE(shot) << run.log;
    EXPECT_TRUE(mainMenu) << "Escape and the in-game menu's Exit lead back to the main menu";
    EXPECT_TRUE(credits) << "the main menu's Quit confirmed";
    EXPECT_TRUE(ended) << "the game ended by itself";
    EXPECT_EQ(run.exitCode, 0) << run.errors.substr(run.errors.size() > 3000 ? run.errors.size() - 3000 : 0);
    ExpectInOrder(run.log, {"Game ready", "Game Map and Info loaded successfully!", "Front end: main_menu",
                            "Front end: quit_menu", "Main loop ended after"});

    // The picture: the level's ground and sky in the view, flimbs on the ground, the HUD's
    // frame and its belt of morph buttons at the bottom right.
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::image::ReadFileBytes(shotPath, bytes));
    platform::image::Image image;
    ASSERT_TRUE(platform::image::DecodeImage(bytes.data(), bytes.size(), image));
    ASSERT_EQ(image.width, 1024);
    ASSERT_EQ(image.height, 768);
    std::vector<uint8_t> png;
    if (platform::image::EncodePng(image.argb.data(), image.width, image.height, image.width * 4, false, png))
        platform::image::WriteFileBytes(std::string(FLIMBS_GAME_DIR) + "/playthrough-screenshot.png", png);
    const auto brown = [](int r, int g, int b) { return r > g && g > b && r > 60 && r - b > 30; };
    const auto flimbBlue = [](int r, int g, int b) { return b > 170 && r > 90 && r < 200 && g > 90 && g < 200 && b > r + 30; };
    const auto grey = [](int r, int g, int b) { return r > 90 && std::abs(r - g) < 16 && std::abs(g - b) < 16; };
    EXPECT_GT(Share(image, 20, 590, 1000, 620, brown), 0.4) << "the ground across the view";
    EXPECT_GT(Share(image, 20, 480, 1000, 590, flimbBlue), 0.002) << "flimbs on the ground";
    EXPECT_GT(Share(image, 600, 640, 900, 750, grey), 0.3) << "the belt's morph buttons";
    EXPECT_GT(Share(image, 0, 0, 1024, 8, [](int r, int g, int b) { return b > r && r > 30 && g < r + 20; }), 0.5)
        << "the HUD's frame";
    std::filesystem::remove(GetUserPath("Cache\\Settings\\global_config.xml"));
    std::filesystem::remove(GetUserPath("Profiles\\player.xml"));
}

namespace {

// The back buffer's size in the pointer test: a 16:9 picture.
constexpr int kPictureWidth = 1280;
constexpr int kPictureHeight = 720;

// The decoded screenshot of that number, waiting (bounded) for the game to write it.
std::optional<platform::image::Image> ReadScreenshot(int number)
{
    char name[64];
    std::snprintf(name, sizeof name, "Cache\\Screenshots\\flimbs_screenshot_%04d.jpg", number);
    const std::string path = GetUserPath(name);
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::vector<uint8_t> bytes;
        platform::image::Image image;
        if (platform::image::ReadFileBytes(path, bytes) &&
            platform::image::DecodeImage(bytes.data(), bytes.size(), image))
            return image;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return std::nullopt;
}

// Where the cursor's tip is drawn near (x, y): the top left of the pixels that differ
// strongly between a picture with the cursor there and one with it far away.
std::optional<std::pair<int, int>> CursorTipNear(const platform::image::Image& with,
                                                 const platform::image::Image& without, int x, int y)
{
    int left = INT32_MAX, top = INT32_MAX;
    for (int py = std::max(0, y - 8); py < std::min(with.height, y + 24); ++py)
        for (int px = std::max(0, x - 8); px < std::min(with.width, x + 24); ++px) {
            const uint32_t a = with.argb[size_t(py) * with.width + px];
            const uint32_t b = without.argb[size_t(py) * without.width + px];
            int difference = 0;
            for (int shift : {0, 8, 16})
                difference += std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF));
            if (difference > 200) {
                left = std::min(left, px);
                top = std::min(top, py);
            }
        }
    if (left == INT32_MAX)
        return std::nullopt;
    return std::make_pair(left, top);
}

// The shell's output of a command on the game's window.
std::string WindowOutput(const std::string& display, const std::string& command)
{
    const std::string out = GetUserRoot() + "/window-output.txt";
    std::filesystem::remove(out);
    OnWindow(display, command + " > " + out);
    return ReadFile(out);
}

} // namespace

// The real pointer on desktops larger than and as large as the picture, in a window and on
// the whole screen: the window takes the picture's size (or the desktop's, the picture
// letterboxed where the aspects differ), the game's cursor is drawn where the X pointer is
// at each corner of the picture, and clicks on the main menu's rows and the options' "Okay"
// open what they name.
TEST(PointerOnDesktop, ClicksLandAndTheCursorSitsOnThePointer)
{
    if (!OnPath("Xvfb") || !OnPath("xdotool"))
        GTEST_SKIP() << "needs Xvfb and xdotool (tools/setup.sh installs them)";
    struct Case {
        const char* screen;
        int desktopWidth;
        int desktopHeight;
        bool fullscreen;
    };
    const Case cases[] = {
        {"1920x1080x24", 1920, 1080, false},
        {"1920x1080x24", 1920, 1080, true},
        {"1280x720x24", 1280, 720, false},
        {"1280x720x24", 1280, 720, true},
        {"1280x1024x24", 1280, 1024, true}, // bars above and below the picture
    };
    const int corners[4][2] = {
        {3, 3}, {kPictureWidth - 4, 3}, {kPictureWidth - 4, kPictureHeight - 4}, {3, kPictureHeight - 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.screen) + (c.fullscreen ? " full screen" : " windowed"));
        VirtualDisplay display(c.screen);
        ASSERT_FALSE(display.Name().empty());
        const std::string d = display.Name();
        std::error_code ignored;
        std::filesystem::remove_all(GetUserPath("Cache\\Settings"), ignored);
        std::filesystem::remove_all(GetUserPath("Cache\\Screenshots"), ignored);
        WriteText(GetUserPath("Cache\\Settings\\global_config.xml"),
                  "<flimbs-config><last-profile>pointer</last-profile><res-x>1280</res-x><res-y>720</res-y></flimbs-config>");
        WriteText(GetUserPath("Profiles\\pointer.xml"), std::string("<flimbs-profile><settings><fullscreen>") +
                                                            (c.fullscreen ? "1" : "0") +
                                                            "</fullscreen></settings></flimbs-profile>");
        // Picture pixels to window pixels: in full screen the picture fills the desktop as far
        // as its aspect lets it, centred; in a window one to one.
        const double scale = c.fullscreen ? std::min(double(c.desktopWidth) / kPictureWidth,
                                                     double(c.desktopHeight) / kPictureHeight)
                                          : 1.0;
        const int offsetX = c.fullscreen ? (c.desktopWidth - int(kPictureWidth * scale + 0.5)) / 2 : 0;
        const int offsetY = c.fullscreen ? (c.desktopHeight - int(kPictureHeight * scale + 0.5)) / 2 : 0;
        const auto moveTo = [&](int x, int y) {
            return "xdotool mousemove --window \"$w\" " + std::to_string(offsetX + int(x * scale)) + " " +
                   std::to_string(offsetY + int(y * scale));
        };
        const auto clickAt = [&](int x, int y) {
            return moveTo(x, y) + " && sleep 0.3 && xdotool click --window \"$w\" 1";
        };
        const auto logCount = [](const std::string& text) {
            const std::string log = ReadFile(LogFilePath());
            int n = 0;
            for (size_t at = log.find(text); at != std::string::npos; at = log.find(text, at + 1))
                ++n;
            return n;
        };
        const auto waitForCount = [&](const std::string& text, int count) {
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
            while (logCount(text) < count && std::chrono::steady_clock::now() < deadline)
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            return logCount(text) >= count;
        };
        std::string geometry;
        std::vector<platform::image::Image> shots;
        bool onMainMenu = false, options = false, backOnMainMenu = false, extras = false;
        const ProgramRun run = RunProgram(
            {}, {"SDL_VIDEODRIVER=x11", "DISPLAY=" + d}, "Front end: IntroMenu", std::chrono::milliseconds(0),
            std::string(FLIMBS_GAME_DIR) + "/Bin/FlimbsGame", [&] {
                const std::string skipIntro = OnGameWindow(d, "xdotool key --window \"$w\" space");
                for (int attempt = 0; attempt < 10 && !onMainMenu; ++attempt)
                    onMainMenu = std::system(skipIntro.c_str()) == 0 && waitForCount("Front end: main_menu", 1);
                if (!onMainMenu)
                    return;
                geometry = WindowOutput(d, "xdotool getwindowgeometry --shell \"$w\"");
                for (int i = 0; i < 4; ++i) {
                    OnWindow(d, moveTo(corners[i][0], corners[i][1]) + " && sleep 0.4 && xdotool key --window \"$w\" F12");
                    if (auto shot = ReadScreenshot(i))
                        shots.push_back(std::move(*shot));
                }
                // The rows have flown in by now.
                options = OnWindow(d, clickAt(672, 536)) && waitForCount("Front end: options_menu", 1);
                backOnMainMenu = options && OnWindow(d, "sleep 1 && " + clickAt(1018, 596)) &&
                                 waitForCount("Front end: main_menu", 2);
                extras = backOnMainMenu && OnWindow(d, "sleep 1.5 && " + clickAt(672, 474)) &&
                         waitForCount("Front end: Extra Menu", 1);
            });
        EXPECT_TRUE(onMainMenu) << run.log;
        const int windowWidth = c.fullscreen ? c.desktopWidth : kPictureWidth;
        const int windowHeight = c.fullscreen ? c.desktopHeight : kPictureHeight;
        EXPECT_NE(geometry.find("WIDTH=" + std::to_string(windowWidth) + "\n"), std::string::npos) << geometry << run.log;
        EXPECT_NE(geometry.find("HEIGHT=" + std::to_string(windowHeight) + "\n"), std::string::npos) << geometry;
        if (c.fullscreen) {
            EXPECT_NE(geometry.find("X=0\n"), std::string::npos) << geometry;
            EXPECT_NE(geometry.find("Y=0\n"), std::string::npos) << geometry;
        }
        EXPECT_TRUE(options) << "the main menu's Options row";
        EXPECT_TRUE(backOnMainMenu) << "the options' Okay";
        EXPECT_TRUE(extras) << "the main menu's Extras row";
        ASSERT_EQ(shots.size(), 4u) << run.log;
        for (int i = 0; i < 4; ++i) {
            ASSERT_EQ(shots[i].width, kPictureWidth);
            ASSERT_EQ(shots[i].height, kPictureHeight);
            const auto tip = CursorTipNear(shots[i], shots[(i + 2) % 4], corners[i][0], corners[i][1]);
            ASSERT_TRUE(tip.has_value()) << "no cursor near corner " << i;
            EXPECT_LE(std::abs(tip->first - corners[i][0]), 2) << "corner " << i;
            EXPECT_LE(std::abs(tip->second - corners[i][1]), 2) << "corner " << i;
        }
    }
    std::filesystem::remove(GetUserPath("Cache\\Settings\\global_config.xml"));
    std::filesystem::remove(GetUserPath("Profiles\\pointer.xml"));
}

// The HUD on a real X server, as a new player meets it: "-l s_dm_dig_and_build" holds the
// level in its intro (title, description, objective and Start over the level); Return on
// Start begins it; Escape opens the in-game menu, whose "Show Solution" gives the level up for
// the stored solution's playback, which the console's "fastforward" runs to its win with the
// figures the solution list gives. The screen is 1024 x 768, so the menu's row lies where
// this test clicks.
TEST(HudJourney, IntroStartAndShowSolutionToItsWin)
{
    if (!OnPath("Xvfb") || !OnPath("xdotool"))
        GTEST_SKIP() << "needs Xvfb and xdotool (tools/setup.sh installs them)";
    VirtualDisplay display("1024x768x24");
    ASSERT_FALSE(display.Name().empty());
    const std::string d = display.Name();
    UsePlayerWindowFilling1024x768();
    std::error_code ignored;
    std::filesystem::remove_all(GetUserPath("Cache\\Screenshots"), ignored);
    // F12, then the screenshot's picture (empty when none came).
    const auto screenshot = [&](int index) {
        if (!OnWindow(d, "xdotool key --window \"$w\" F12"))
            return platform::image::Image{};
        return ReadScreenshot(index).value_or(platform::image::Image{});
    };
    const auto keep = [](const platform::image::Image& image, const char* file) {
        std::vector<uint8_t> png;
        if (image.width && platform::image::EncodePng(image.argb.data(), image.width, image.height, image.width * 4,
                                                      false, png))
            platform::image::WriteFileBytes(std::string(FLIMBS_GAME_DIR) + "/" + file, png);
    };
    const std::string solutionLine = "Playback Level\\Solutions\\s_dm_dig_and_build.flimbs: level s_dm_dig_and_build, "
                                     "result win, saved 10 of 6 required, 2689 updates, state hash 71bff0546b12eb36";
    platform::image::Image intro, solution;
    bool started = false, offered = false, won = false;
    const ProgramRun run = RunProgram(
        {"-l", "s_dm_dig_and_build"}, {"SDL_VIDEODRIVER=x11", "DISPLAY=" + d}, "Game Map and Info loaded successfully!",
        std::chrono::milliseconds(0), std::string(FLIMBS_GAME_DIR) + "/Bin/FlimbsGame", [&] {
            std::this_thread::sleep_for(std::chrono::seconds(2));
            intro = screenshot(0);
            started = OnWindow(d, "xdotool key --window \"$w\" Return");
            std::this_thread::sleep_for(std::chrono::seconds(3));
            const size_t loads = ReadFile(LogFilePath()).size();
            offered = started &&
                      OnWindow(d, "xdotool key --window \"$w\" Escape && sleep 1.5 && "
                                  "xdotool mousemove --window \"$w\" 553 56 && sleep 0.4 && xdotool click --window \"$w\" 1");
            // The playback's own load of the level.
            for (int i = 0; i < 100 && offered; ++i) {
                if (ReadFile(LogFilePath()).find("Game Map and Info loaded successfully!", loads) != std::string::npos)
                    break;
                std::this_thread::sleep_for(std::chrono::milliseconds(100));
            }
            std::this_thread::sleep_for(std::chrono::seconds(4));
            solution = screenshot(1);
            won = OnWindow(d, "xdotool key --window \"$w\" grave && sleep 0.5 && "
                              "xdotool type --window \"$w\" --delay 60 \"fastforward 999999\" && "
                              "xdotool key --window \"$w\" Return") &&
                  WaitForText(LogFilePath(), solutionLine, std::chrono::seconds(120));
        });
    EXPECT_TRUE(started);
    EXPECT_TRUE(offered);
    EXPECT_TRUE(won) << run.log.substr(run.log.size() > 3000 ? run.log.size() - 3000 : 0);
    ExpectInOrder(run.log, {"Game Map and Info loaded successfully!", "Game Map and Info loaded successfully!",
                            solutionLine, "Main loop ended after"});
    keep(intro, "hud-journey-intro.png");
    keep(solution, "hud-journey-solution.png");

    // The intro: the bubble's cream in the middle of the view, over the level; no playback
    // controls. The solution: the playback viewer's dark control panel at the bottom middle.
    ASSERT_EQ(intro.width, 1024);
    ASSERT_EQ(solution.width, 1024);
    const auto cream = [](int r, int g, int b) { return r > 220 && g > 200 && b > 170 && r >= b; };
    const auto dark = [](int r, int g, int b) { return r < 90 && g < 90 && b < 90; };
    EXPECT_GT(Share(intro, 320, 230, 700, 440, cream), 0.4) << "the intro's bubble";
    EXPECT_GT(Share(solution, 300, 740, 720, 768, dark), 0.4) << "the playback controls";
    EXPECT_LT(Share(solution, 320, 230, 700, 440, cream), 0.1) << "no intro over the playback";
    std::filesystem::remove(GetUserPath("Cache\\Settings\\global_config.xml"));
    std::filesystem::remove(GetUserPath("Profiles\\player.xml"));
}
