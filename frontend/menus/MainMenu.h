#pragma once
// The main menu (five rows: the campaign, multiplayer, extras, options, quit) and the
// extras menu (level editor, playbacks, package creator, package installer, credits, and
// Back), both built by BuildMenuColumn: a column of row icons beside a column of captioned
// buttons between separator images.
#include "gui/Button.h"
#include "gui/PrimContainer.h"

#include <string>

class FlimbsWindow2;

struct MenuRow {
    const char* icon;    // a file under "Graphics\Menu\MenuIcons\"
    ButtonCallback handler;
    std::string caption;
    std::string toolTip; // empty: none
};

// The two-column button block of a menu: a FlimbsWindow2 (a window), sized to its buttons.
FlimbsWindow2* BuildMenuColumn(const MenuRow* rows, int count);

// The hub of the front end. Its first update writes the global configuration file.
class MainMenu : public PrimContainer {
public:
    static constexpr const char* kName = "main_menu";

    MainMenu();
    void Update() override;

    bool FirstUpdateDone() const { return firstUpdateDone_ != 0; }

private:
    uint8_t firstUpdateDone_ = 0;
};

MainMenu* ShowMainMenuScreen();
// The extras screen, placed and flown into the backdrop.
PrimContainer* ShowExtrasMenu();

// The row handlers of the main menu, each called with (the button's parent, the button).
void PilgrimageHandler(Primitive* parent, Button* button);
void TournamentsHandler(Primitive* parent, Button* button);
void ExtrasHandler(Primitive* parent, Button* button);
void OptionsHandler(Primitive* parent, Button* button);
void QuitHandler(Primitive* parent, Button* button);

// The extras rows.
void LevelEditorRowHandler(Primitive* parent, Button* button);
void FlimbsPlayerRowHandler(Primitive* parent, Button* button);
void PackageCreatorRowHandler(Primitive* parent, Button* button);
void PackageInstallerRowHandler(Primitive* parent, Button* button);
void CreditsRowHandler(Primitive* parent, Button* button);

// The main menu's and the extras menu's row tables.
const MenuRow* MainMenuRows();
const MenuRow* ExtrasMenuRows();
constexpr int kMenuRowCount = 5;

// The package installer beside the game: "<program folder>/Bin/FlimbsPackageInstaller".
std::string PackageInstallerPath();
// Starts a program without arguments; false (and a log line) when it cannot be started.
bool StartProgram(const std::string& path);
