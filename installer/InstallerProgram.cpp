#include "installer/InstallerProgram.h"

#include "app/FileManager.h"
#include "app/GameClock.h"
#include "app/GameException.h"
#include "app/Log.h"
#include "app/ResourceFileManager.h"
#include "app/StandardFileManager.h"
#include "app/UserFolders.h"
#include "gui/GuiDevice.h"
#include "gui/GuiServices.h"
#include "gui/WindowList.h"
#include "installer/InstallerDialog.h"
#include "installer/PackageInstall.h"
#include "media/DXManager.h"
#include "media/FontManager.h"
#include "media/ImageCache.h"
#include "media/InputClock.h"
#include "media/InputDispatch.h"
#include "media/KBManager.h"
#include "media/MSManager.h"
#include "media/MediaServices.h"
#include "platform/gfx/Device.h"
#include "platform/image/ImageCodec.h"
#include "platform/input/InputSystem.h"
#include "platform/window/Desktop.h"
#include "platform/window/MainWindow.h"

#include <chrono>
#include <iostream>
#include <memory>
#include <thread>

namespace {

constexpr const char* kProgramName = "FlimbsPackageInstaller";
constexpr auto kFrameTime = std::chrono::milliseconds(15);

uint32_t InstallerClockNow()
{
    return gameClock.Now();
}

} // namespace

// The window, the device, the fonts and the input the dialog needs, made in order and
// undone in reverse.
class InstallerWindow::Services {
public:
    ~Services() { Stop(); }

    // Empty when everything started, else what failed.
    std::string Start()
    {
        SetProgramFolder(ProgramFolderFromExecutable());
        const platform::DisplaySize desktop = platform::DesktopSize();
        const int left = desktop.width > InstallerDialog::kWidth ? (desktop.width - InstallerDialog::kWidth) / 2 : 0;
        const int top = desktop.height > InstallerDialog::kHeight ? (desktop.height - InstallerDialog::kHeight) / 2 : 0;
        if (!window_.Create(InstallerDialog::kCaption,
                            {left, top, left + InstallerDialog::kWidth, top + InstallerDialog::kHeight}))
            return "the window cannot be opened";
        windowMade_ = true;
        platform::MainWindow::Handlers handlers;
        input_.AttachWindow(window_, handlers);
        window_.SetHandlers(std::move(handlers));

        files_ = std::make_unique<FileManager>();
        auto standard = StandardFileManager::ForProgramFolder();
        const std::string archive = standard->Resolve("Data\\resource.dat");
        files_->AddMember(std::move(standard));
        if (!archive.empty())
            if (auto resources = std::make_unique<ResourceFileManager>(archive); resources->IsValid())
                files_->AddMember(std::move(resources));
        fileManager = files_.get();
        files_->IndexNames(nullptr, 0, nullptr);

        try {
            DXManager::Init(&window_, InstallerDialog::kWidth, InstallerDialog::kHeight);
        } catch (const GameException& failure) {
            DXManager::Shutdown();
            return std::string("the graphics device cannot be made: ") + failure.what();
        }
        if (!DXManager::GetDevice())
            return "the graphics device cannot be made";
        deviceMade_ = true;
        SetScreenSize(InstallerDialog::kWidth, InstallerDialog::kHeight);
        StartFontManager();
        AddDefaultFont();
        SetUpFonts();

        kbManager.Init(input_);
        msManager.Init(input_);
        inputStarted_ = true;
        ConnectGuiInput();
        gameClock.Start();
        SetInputClock(InstallerClockNow);

        SetIcon();
        platform::ShowSystemCursor(true);
        window_.Show();
        window_.Raise();
        return {};
    }

    void Stop()
    {
        ReleaseGuiWindows();
        RemoveGuiInputRouting();
        if (inputStarted_) {
            kbManager.Shutdown();
            msManager.Shutdown();
            inputStarted_ = false;
        }
        SetInputClock(nullptr);
        if (deviceMade_) {
            FontManager::ReleaseFonts();
            ImageCache::Clear();
            DXManager::Shutdown();
            deviceMade_ = false;
        }
        if (fileManager == files_.get())
            fileManager = nullptr;
        files_.reset();
        if (windowMade_) {
            window_.Destroy();
            windowMade_ = false;
        }
    }

    // One pass: events, input, GUI update and a drawn frame. False once the window was
    // closed (or a quit requested).
    bool Frame()
    {
        if (window_.PumpEvents() == platform::PumpResult::Quit)
            return false;
        gameClock.Update();
        kbManager.Update();
        msManager.Update();
        std::vector<InputEvent> events;
        kbManager.CollectEvents(events);
        msManager.CollectEvents(events);
        DispatchInputEvents(events, kbManager, msManager);
        gameClock.Update();
        UpdateGuiFrameInput();
        Draw();
        return true;
    }

private:
    void SetIcon()
    {
        FileHandle icon = FileHandle::FromString("Graphics\\Installer\\icon.png");
        const uint8_t* bytes = icon.IsOpen() ? icon.ReadAll() : nullptr;
        platform::image::Image image;
        if (bytes && platform::image::DecodePng(bytes, size_t(icon.Size()), image))
            window_.SetIcon(image.argb.data(), image.width, image.height);
        else
            WriteLog("Package installer: no window icon\n");
    }

    void Draw()
    {
        gfx::Device* device = DXManager::GetDevice();
        if (!device || device->TestCooperativeLevel() < 0)
            return;
        device->BeginScene();
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        device->SetSamplerState(0, gfx::D3DSAMP_MINFILTER, gfx::D3DTEXF_LINEAR);
        device->SetSamplerState(0, gfx::D3DSAMP_MAGFILTER, gfx::D3DTEXF_LINEAR);
        device->SetRenderState(gfx::D3DRS_CULLMODE, gfx::D3DCULL_NONE);
        device->SetRenderState(gfx::D3DRS_ALPHABLENDENABLE, 1);
        device->SetRenderState(gfx::D3DRS_ZENABLE, 0);
        DrawGuiWindows();
        device->EndScene();
        device->Present(nullptr, nullptr, nullptr, nullptr);
    }

    platform::MainWindow window_;
    platform::InputSystem input_;
    std::unique_ptr<FileManager> files_;
    bool windowMade_ = false;
    bool deviceMade_ = false;
    bool inputStarted_ = false;
};

InstallerWindow::InstallerWindow() = default;

InstallerWindow::~InstallerWindow()
{
    Stop();
}

std::string InstallerWindow::Start(const std::string& path)
{
    Stop();
    services_ = std::make_unique<Services>();
    if (std::string failure = services_->Start(); !failure.empty()) {
        services_.reset();
        return failure;
    }
    dialog_ = new InstallerDialog;
    OpenWindow(dialog_, false);
    if (!path.empty())
        dialog_->SetPackagePath(path);
    return {};
}

bool InstallerWindow::Frame()
{
    if (!services_ || !dialog_ || dialog_->Ended())
        return false;
    if (!services_->Frame()) {
        dialog_->CloseBox();
        return false;
    }
    return !dialog_->Ended();
}

int InstallerWindow::ExitCode() const
{
    return dialog_ ? dialog_->ExitCode() : 0;
}

void InstallerWindow::Stop()
{
    if (!services_)
        return;
    services_->Stop(); // the window list lets go of the dialog
    services_.reset();
    dialog_ = nullptr;
}

InstallerCommand ParseInstallerCommand(const std::vector<std::string>& arguments)
{
    InstallerCommand command;
    if (!arguments.empty() && (arguments[0] == "--list" || arguments[0] == "--install")) {
        if (arguments.size() != 2) {
            command.mode = InstallerCommand::Mode::Usage;
            return command;
        }
        command.mode = arguments[0] == "--list" ? InstallerCommand::Mode::List : InstallerCommand::Mode::Install;
        command.path = arguments[1];
        return command;
    }
    // The command line as one text, without its double quotes, is the path.
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i)
            command.path += ' ';
        command.path += arguments[i];
    }
    std::erase(command.path, '"');
    return command;
}

int RunListCommand(const std::string& path, std::ostream& out, std::ostream& errors)
{
    const PackageListing listing = ListPackage(path);
    if (!listing.opened) {
        errors << kProgramName << ": " << path << ": " << listing.error << "\n";
        return 1;
    }
    out << "Title: " << listing.title << "\n";
    for (const std::string& title : listing.levelTitles)
        out << "Level: " << title << "\n";
    return 0;
}

int RunInstallCommand(const std::string& path, std::ostream& out, std::ostream& errors)
{
    const InstallReport report = InstallPackage(path);
    for (const std::string& installed : report.installed)
        out << "Installed: " << GetUserPath(installed) << "\n";
    for (const std::string& backup : report.backups)
        out << "Backed up: " << GetUserPath(backup) << "\n";
    (report.Complete() ? out : errors) << report.Title() << ": " << report.Message() << "\n";
    return report.Complete() ? 0 : 1;
}

int RunInstallerWindow(const std::string& path)
{
    InstallerWindow window;
    if (const std::string failure = window.Start(path); !failure.empty()) {
        std::cerr << kProgramName << ": " << failure << "\n";
        WriteLog("Package installer: %s\n", failure.c_str());
        return 1;
    }
    for (;;) {
        const auto started = std::chrono::steady_clock::now();
        if (!window.Frame())
            break;
        std::this_thread::sleep_until(started + kFrameTime);
    }
    const int code = window.ExitCode();
    window.Stop();
    return code;
}

int RunPackageInstaller(int argc, char** argv)
{
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    const InstallerCommand command = ParseInstallerCommand(arguments);
    switch (command.mode) {
    case InstallerCommand::Mode::List: return RunListCommand(command.path, std::cout, std::cerr);
    case InstallerCommand::Mode::Install: return RunInstallCommand(command.path, std::cout, std::cerr);
    case InstallerCommand::Mode::Usage:
        std::cerr << "usage: " << kProgramName << " [package] | --list <package> | --install <package>\n";
        return 2;
    case InstallerCommand::Mode::Window: break;
    }
    return RunInstallerWindow(command.path);
}
