#pragma once
// The package installer's one dialog (CMainDlg): the package path with its Browse button,
// the package title, the sorted list of level titles, "Install Package" (the default
// button, off until a package with entries is listed) and "Exit", between a header and a
// footer picture. It fills the installer's window; its controls sit at the places of the
// dialog template (dialog units, x times 1.5 and y times 1.625 in pixels).
//
// Keys: Enter installs; Alt with the underlined letter (or the letter alone while no list
// has the keyboard) presses Browse (B), Install Package (I) or Exit (X).
#include "gui/PrimContainer.h"

#include <string>

class Button;
class EditBox;
class ListBox;
class StretchGraphicButton;

class InstallerDialog : public PrimContainer {
public:
    static constexpr const char* kName = "CMainDlg";
    static constexpr const char* kCaption = "Flimbs Package Installer v1.02";
    static constexpr int kWidth = 497; // 331 x 1.5
    static constexpr int kHeight = 517; // 318 x 1.625
    static constexpr const char* kEmptyPathText = "You must first choose a Flimbs level Package to install.";

    // Control ids of the template.
    enum : int {
        kInstallId = 1,
        kPathId = 1000,
        kBrowseId = 1001,
        kExitId = 1002,
        kLevelListId = 1003,
        kTitleId = 1004,
        kHeaderId = 1005,
        kFooterId = 1007,
    };

    // A place of the template in dialog units.
    struct TemplatePlace {
        int x, y, width, height;
    };
    // Its rectangle in pixels of the window.
    static FloatRect ToPixels(const TemplatePlace& place);

    InstallerDialog();

    void Draw() override;
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;

    // Puts the path into the path box and lists the package.
    void SetPackagePath(const std::string& path);
    // Lists the package named in the path box: its title and level titles; "Install
    // Package" goes on when the archive has at least one entry.
    void ListPackage();
    // Installs the package named in the path box and shows the report.
    void Install();
    // Opens the package chooser; its answer (empty for Cancel) becomes the path.
    void Browse();
    // Asks the game to come to the front and ends the dialog.
    void Exit();
    // The window's close box: ends the dialog; the game is not raised.
    void CloseBox();

    bool Ended() const { return ended_; }
    int ExitCode() const { return exitCode_; }
    // The control of a template id (null for the static texts).
    Primitive* Control(int id) const;
    EditBox* PathBox() const { return path_; }
    EditBox* TitleBox() const { return title_; }
    ListBox* LevelList() const { return levels_; }
    StretchGraphicButton* InstallButton() const { return install_; }

private:
    void End(int code);

    EditBox* path_ = nullptr;
    EditBox* title_ = nullptr;
    ListBox* levels_ = nullptr;
    StretchGraphicButton* install_ = nullptr;
    StretchGraphicButton* browse_ = nullptr;
    StretchGraphicButton* exit_ = nullptr;
    Primitive* header_ = nullptr;
    Primitive* footer_ = nullptr;
    bool ended_ = false;
    int exitCode_ = 0;
};
