// The package installer as a program (its commands without a window) and as a dialog in its
// window driven by injected keys; the game's side of the raise request.
#include "app/Log.h"
#include "app/UserFolders.h"
#include "gui/EditBox.h"
#include "gui/ListBox.h"
#include "gui/StretchGraphicButton.h"
#include "gui/WindowList.h"
#include "installer/InstallerDialog.h"
#include "installer/InstallerMessage.h"
#include "installer/InstallerProgram.h"
#include "installer/PackageChooser.h"
#include "media/DXManager.h"
#include "platform/desktop/RaiseRequest.h"
#include "tests/installer/PackageFiles.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

struct ProgramOutput {
    int status = -1;
    std::string out;
    std::string errors;
};

// Runs the installer program with the arguments (inheriting this process's user folder).
ProgramOutput RunInstaller(const std::vector<std::string>& arguments, const char* videoDriver = nullptr)
{
    const fs::path outPath = fs::path(GetUserRoot()) / "installer.out";
    const fs::path errPath = fs::path(GetUserRoot()) / "installer.err";
    const std::string program = std::string(FLIMBS_GAME_DIR) + "/Bin/FlimbsPackageInstaller";
    const pid_t child = fork();
    if (child == 0) {
        if (!freopen(outPath.c_str(), "w", stdout) || !freopen(errPath.c_str(), "w", stderr))
            _exit(126);
        if (videoDriver)
            setenv("SDL_VIDEODRIVER", videoDriver, 1);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    ProgramOutput output;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        output.status = WEXITSTATUS(status);
    output.out = ReadWholeTestFile(outPath.string());
    output.errors = ReadWholeTestFile(errPath.string());
    return output;
}

SDL_Event Key(bool down, SDL_Scancode scancode, SDL_Keycode symbol)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = symbol;
    return event;
}

void PushKeys(std::vector<SDL_Event> events)
{
    for (SDL_Event& event : events)
        SDL_PushEvent(&event);
}

class InstallerProgram : public ::testing::Test {
protected:
    void SetUp() override
    {
        root = GetUserRoot();
        work = root / "my packages";
        fs::create_directories(work);
        package = (work / "three levels.fpak").string();
        ASSERT_TRUE(WritePackageFile(package, {{"m_dm_zeta.flevel", LevelWithTitle("Zeta Ridge")},
                                               {"m_dm_alpha.flevel", LevelWithTitle("Alpha Pass")},
                                               {"m_dm_alpha_big.jpg", "jpeg"},
                                               {"m_dm_mid.flevel", LevelWithTitle("Middle Marsh")},
                                               {"package.xml", PackageInfo("Three Levels")}}));
    }
    void TearDown() override
    {
        window.Stop();
        std::error_code ignored;
        for (const char* folder : {"Level", "my packages", "User"})
            fs::remove_all(root / folder, ignored);
    }

    // Runs frames until the condition holds (or the dialog ends), at most a few seconds.
    bool FramesUntil(const std::function<bool()>& condition)
    {
        for (int i = 0; i < 300; ++i) {
            const bool running = window.Frame();
            if (condition())
                return true;
            if (!running)
                return false;
        }
        return condition();
    }
    InstallerMessage* Message() const { return dynamic_cast<InstallerMessage*>(FindOpenWindow(InstallerMessage::kName)); }

    fs::path root, work;
    std::string package;
    InstallerWindow window;
};

TEST_F(InstallerProgram, ListAndInstallWorkWithoutAWindow)
{
    ProgramOutput listed = RunInstaller({"--list", package});
    EXPECT_EQ(listed.status, 0) << listed.errors;
    EXPECT_EQ(listed.out, "Title: Three Levels\nLevel: Alpha Pass\nLevel: Middle Marsh\nLevel: Zeta Ridge\n");

    ProgramOutput installed = RunInstaller({"--install", package});
    EXPECT_EQ(installed.status, 0) << installed.errors;
    EXPECT_NE(installed.out.find("Success: Package has been installed!"), std::string::npos) << installed.out;
    for (const char* level : {"m_dm_zeta.flevel", "m_dm_alpha.flevel", "m_dm_mid.flevel"})
        EXPECT_EQ(ReadWholeTestFile((root / "Level" / level).string()).empty(), false) << level;
    EXPECT_FALSE(fs::exists(root / "Level/m_dm_alpha_big.jpg"));

    const std::string broken = (work / "broken one.fpak").string();
    { std::ofstream(broken) << "no archive"; }
    for (const char* command : {"--list", "--install"}) {
        const ProgramOutput failed = RunInstaller({command, broken});
        EXPECT_EQ(failed.status, 1) << command;
        EXPECT_EQ(failed.out.find("Success"), std::string::npos) << command;
        EXPECT_NE(failed.errors, "") << command;
    }
    EXPECT_EQ(RunInstaller({"--list"}).status, 2);

    // A window that cannot open ends the program with a line on stderr.
    const ProgramOutput windowless = RunInstaller({package}, "no-such-video-driver");
    EXPECT_EQ(windowless.status, 1);
    EXPECT_NE(windowless.errors.find("FlimbsPackageInstaller: the window cannot be opened"), std::string::npos)
        << windowless.errors;
}

TEST_F(InstallerProgram, TheCommandLineIsThePathWithoutQuotes)
{
    // As a desktop or a shell passes a quoted path with a blank: one argument or two.
    EXPECT_EQ(ParseInstallerCommand({"\"" + package + "\""}).path, package);
    const size_t blank = package.find(' ');
    EXPECT_EQ(ParseInstallerCommand({"\"" + package.substr(0, blank), package.substr(blank + 1) + "\""}).path, package);
    EXPECT_EQ(ParseInstallerCommand({}).mode, InstallerCommand::Mode::Window);
    EXPECT_EQ(ParseInstallerCommand({"--install", package}).mode, InstallerCommand::Mode::Install);
}

TEST_F(InstallerProgram, TheWindowListsTheCommandLinePackage)
{
    ASSERT_EQ(window.Start(ParseInstallerCommand({"\"" + package + "\""}).path), "");
    InstallerDialog* dialog = window.Dialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(FramesUntil([] { return true; }));
    EXPECT_EQ(dialog->PathBox()->GetText(), package);
    EXPECT_EQ(dialog->TitleBox()->GetText(), "Three Levels");
    ListBox* list = dialog->LevelList();
    ASSERT_EQ(list->GetCount(), 3);
    EXPECT_EQ(list->GetItemText(0), "Alpha Pass");
    EXPECT_EQ(list->GetItemText(2), "Zeta Ridge");
    EXPECT_TRUE(dialog->InstallButton()->enabled);
    // The template's places in pixels: the window is 331 x 318 dialog units.
    EXPECT_EQ(InstallerDialog::kWidth, 497);
    EXPECT_EQ(InstallerDialog::kHeight, 517);
    const FloatRect install = InstallerDialog::ToPixels({66, 222, 198, 22});
    EXPECT_EQ(install.left, 99);
    EXPECT_EQ(install.top, 361);

    // A picture of the window with the package listed, kept beside the programs.
    ASSERT_TRUE(FramesUntil([] { return true; }));
    const std::string picture = std::string(FLIMBS_GAME_DIR) + "/installer.png";
    EXPECT_TRUE(DXManager::SurfaceToFile(DXManager::kFormatPng, nullptr, DXManager::GetBackBuffer(), picture, 0));

    // Enter installs and tells so.
    PushKeys({Key(true, SDL_SCANCODE_RETURN, SDLK_RETURN), Key(false, SDL_SCANCODE_RETURN, SDLK_RETURN)});
    ASSERT_TRUE(FramesUntil([this] { return Message() != nullptr; }));
    EXPECT_EQ(Message()->Title(), "Success");
    EXPECT_EQ(Message()->Text(), "Package has been installed!");
    EXPECT_TRUE(fs::exists(root / "Level/m_dm_mid.flevel"));

    // A path longer than any fixed buffer is taken whole.
    fs::path deep = work;
    while (deep.string().size() < 400)
        deep /= "a rather long folder name";
    fs::create_directories(deep);
    fs::copy_file(package, deep / "same.fpak");
    Message()->Close();
    dialog->SetPackagePath((deep / "same.fpak").string());
    EXPECT_EQ(dialog->PathBox()->GetText(), (deep / "same.fpak").string());
    EXPECT_EQ(dialog->TitleBox()->GetText(), "Three Levels");
}

TEST_F(InstallerProgram, InstallWithoutAPathSaysWhatToDo)
{
    ASSERT_EQ(window.Start(""), "");
    InstallerDialog* dialog = window.Dialog();
    ASSERT_TRUE(FramesUntil([] { return true; }));
    EXPECT_FALSE(dialog->InstallButton()->enabled);
    dialog->Install();
    ASSERT_NE(Message(), nullptr);
    EXPECT_EQ(Message()->Title(), "");
    EXPECT_EQ(Message()->Text(), "You must first choose a Flimbs level Package to install.");

    // Browse offers the player's packages; one chosen is listed.
    Message()->Close();
    const fs::path packages = GetUserPath("User\\Packages");
    fs::create_directories(packages);
    fs::copy_file(package, packages / "Shared Levels.fpak", fs::copy_options::overwrite_existing);
    { std::ofstream(packages / "notes.txt") << "not a package"; }
    auto browse = [this] {
        PushKeys({Key(true, SDL_SCANCODE_LALT, SDLK_LALT), Key(true, SDL_SCANCODE_B, SDLK_b),
                  Key(false, SDL_SCANCODE_B, SDLK_b), Key(false, SDL_SCANCODE_LALT, SDLK_LALT)});
        EXPECT_TRUE(FramesUntil([] { return FindOpenWindow(PackageChooser::kName) != nullptr; }));
        return dynamic_cast<PackageChooser*>(FindOpenWindow(PackageChooser::kName));
    };
    PackageChooser* chooser = browse();
    ASSERT_NE(chooser, nullptr);
    ASSERT_EQ(chooser->Packages()->GetCount(), 1);
    EXPECT_EQ(chooser->Packages()->GetItemText(0), "Shared Levels.fpak");
    chooser->Packages()->SetSelection(0, true);
    chooser->Open();
    EXPECT_EQ(dialog->PathBox()->GetText(), (packages / "Shared Levels.fpak").string());
    EXPECT_EQ(dialog->TitleBox()->GetText(), "Three Levels");
    ASSERT_TRUE(dialog->InstallButton()->enabled);

    // Browse, then Cancel: the path is emptied and nothing is listed.
    chooser = browse();
    ASSERT_NE(chooser, nullptr);
    chooser->Cancel();
    EXPECT_EQ(dialog->PathBox()->GetText(), "");
    EXPECT_EQ(dialog->LevelList()->GetCount(), 0);
    EXPECT_FALSE(dialog->InstallButton()->enabled);
}

TEST_F(InstallerProgram, ExitAsksTheGameToComeForwardTheCloseBoxDoesNot)
{
    platform::RaiseListener game;
    ASSERT_TRUE(game.Start(platform::RaiseSocketPath(GetUserRoot())));
    struct stat info {};
    ASSERT_EQ(lstat(game.Path().c_str(), &info), 0);
    EXPECT_TRUE(S_ISSOCK(info.st_mode));
    EXPECT_EQ(info.st_mode & 0777, 0600u); // private to the user

    ASSERT_EQ(window.Start(""), "");
    ASSERT_TRUE(FramesUntil([] { return true; }));
    PushKeys({Key(true, SDL_SCANCODE_LALT, SDLK_LALT), Key(true, SDL_SCANCODE_X, SDLK_x)});
    EXPECT_FALSE(FramesUntil([] { return false; }));
    EXPECT_TRUE(window.Dialog()->Ended());
    EXPECT_EQ(window.ExitCode(), 0);
    EXPECT_EQ(game.Poll(), 1);
    window.Stop();
    PushKeys({Key(false, SDL_SCANCODE_X, SDLK_x), Key(false, SDL_SCANCODE_LALT, SDLK_LALT)});

    ASSERT_EQ(window.Start(""), "");
    ASSERT_TRUE(FramesUntil([] { return true; }));
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
    EXPECT_FALSE(FramesUntil([] { return false; }));
    EXPECT_EQ(window.ExitCode(), 0);
    EXPECT_EQ(game.Poll(), 0);

    // Only the request counts; the listener takes over a socket file nobody answers at.
    EXPECT_FALSE(platform::RaiseListener().Start(game.Path())); // somebody answers
    game.Stop();
    EXPECT_FALSE(platform::SendRaiseRequest(game.Path()));
}

TEST_F(InstallerProgram, AHeadlessGameAnswersARaiseRequest)
{
    std::error_code ignored;
    fs::remove(LogFilePath(), ignored);
    const std::string program = std::string(FLIMBS_GAME_DIR) + "/Bin/FlimbsGame";
    const pid_t child = fork();
    if (child == 0) {
        if (!freopen((root / "game.err").c_str(), "w", stderr))
            _exit(126);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_GT(child, 0);
    auto waitForLog = [](const std::string& text) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (std::chrono::steady_clock::now() < deadline) {
            if (ReadWholeTestFile(LogFilePath()).find(text) != std::string::npos)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        return false;
    };
    const bool ready = waitForLog("Game ready");
    const std::string socket = platform::RaiseSocketPath(GetUserRoot());
    const bool sent = ready && platform::SendRaiseRequest(socket);
    const bool answered = sent && waitForLog("Raise request: the window is brought to the front");
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(ready);
    EXPECT_TRUE(sent);
    EXPECT_TRUE(answered);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_FALSE(fs::exists(socket)); // removed at shutdown
}

} // namespace
