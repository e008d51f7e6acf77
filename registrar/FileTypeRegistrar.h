#pragma once
// SteamFlimbsInstall: registers the level (.flevel) and package (.fpak) file types for the
// user, the freedesktop way, so that opening a level edits it in the game (playing it is
// the second choice) and opening a package starts the package installer. D is the folder
// of the registrar's own program; without D/FlimbsGame nothing is written (exit 1).
// Otherwise each of these is made only when it is absent, and nothing present is changed:
//   $XDG_DATA_HOME/mime/packages/flimbs.xml   the two types (then update-mime-database)
//   $XDG_DATA_HOME/applications/flimbs-level-edit.desktop, flimbs-level-play.desktop,
//   flimbs-package-installer.desktop          (then update-desktop-database)
//   the default application of a type that had none: through xdg-mime, or without it in
//   $XDG_CONFIG_HOME/mimeapps.list
// Tools are started directly (no shell). The exit status is 0, 1 without the game, or 2
// after a failure, the first of which is named on stderr.
#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

constexpr const char* kLevelMimeType = "application/x-flimbs-level";
constexpr const char* kPackageMimeType = "application/x-flimbs-package";
constexpr const char* kLevelEditEntry = "flimbs-level-edit.desktop";
constexpr const char* kLevelPlayEntry = "flimbs-level-play.desktop";
constexpr const char* kPackageInstallEntry = "flimbs-package-installer.desktop";

struct RegistrarSettings {
    std::string programFolder; // D
    std::string dataHome;      // $XDG_DATA_HOME, else ~/.local/share
    std::string configHome;    // $XDG_CONFIG_HOME, else ~/.config
};

// The settings of this process: D from /proc/self/exe, the XDG folders from the environment.
RegistrarSettings RegistrarSettingsFromEnvironment();

// Registers as described above, reporting each step to `log`; returns the exit status.
int RegisterFileTypes(const RegistrarSettings& settings, std::ostream& log);

// One argument of a desktop entry's Exec key: in double quotes with '"', '`', '$' and '\'
// escaped and '%' doubled, then escaped as a string value ('\' doubled again).
std::string DesktopExecArgument(const std::string& argument);
// The three desktop entries' texts for a program folder.
std::string DesktopEntryText(const std::string& name, const std::string& mimeType, const std::string& program,
                             const std::string& arguments);
// The shared-mime-info package of the two types.
std::string MimePackageText();

// mimeapps.list with "type=entry" in its [Default Applications] section (made at the end
// when missing); every other byte stays. `changed` is false when the section holds a
// default for the type already (the text is then returned as it was).
std::string WithDefaultApplication(const std::string& mimeapps, const std::string& mimeType,
                                   const std::string& entry, bool& changed);
// True when the text's [Default Applications] section names an application for the type.
bool HasDefaultApplication(const std::string& mimeapps, const std::string& mimeType);
