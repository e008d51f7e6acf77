#pragma once
// FlimbsPackageInstaller's entry: the command line, the two commands without a window and
// the dialog's window with its loop.
//
//   FlimbsPackageInstaller [package path]   the dialog; the arguments, double quotes removed,
//                                            are the package's path, listed at once
//   FlimbsPackageInstaller --list <package>     prints the title and the level titles
//   FlimbsPackageInstaller --install <package>  installs and prints the report
// The commands end with 0 on success, 1 when the package cannot be read or a level was not
// installed. The dialog ends with 0 (by Exit or the close box), or 1 with a line on stderr
// when its window cannot be opened.
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

class InstallerDialog;

struct InstallerCommand {
    enum class Mode { Window, List, Install, Usage };
    Mode mode = Mode::Window;
    std::string path;
};

InstallerCommand ParseInstallerCommand(const std::vector<std::string>& arguments);

int RunListCommand(const std::string& path, std::ostream& out, std::ostream& errors);
int RunInstallCommand(const std::string& path, std::ostream& out, std::ostream& errors);

// The dialog in its window with what it needs (device, fonts, input), made in order and
// undone in reverse.
class InstallerWindow {
public:
    InstallerWindow();
    ~InstallerWindow();
    InstallerWindow(const InstallerWindow&) = delete;
    InstallerWindow& operator=(const InstallerWindow&) = delete;

    // Opens the window and the dialog, listing the path when one is given. Empty when
    // everything started, else what failed.
    std::string Start(const std::string& path);
    // One pass: events, input, GUI update and a drawn frame. False once the dialog ended
    // (Exit, or the close box, which closes it here).
    bool Frame();
    // The dialog's exit status.
    int ExitCode() const;
    InstallerDialog* Dialog() const { return dialog_; }
    void Stop();

private:
    class Services;
    std::unique_ptr<Services> services_;
    InstallerDialog* dialog_ = nullptr;
};

// The dialog in its window until Exit or the close box.
int RunInstallerWindow(const std::string& path);

int RunPackageInstaller(int argc, char** argv);
