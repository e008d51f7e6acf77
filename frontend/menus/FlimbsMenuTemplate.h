#pragma once
// The menu backdrop "FlimbsMenuTemplate": one full-screen window behind every front-end
// screen (breathing stars, flimbs along the bottom, the swinging logo, two layers of
// rising bubbles and the screen frame), kept open while the player moves between menus.
// A screen is put into it just before its front bubble layer "BUBBLES_FRONT", so the
// front bubbles rise over the screen and everything else lies behind it.
//
// The two ways back to the menus, `ShowMainMenu` and `ReturnToMainMenu`, live here too.
#include "gui/PrimContainer.h"

#include <string>

class Bubbles;
class ScreenImage;

namespace FlimbsMenuTemplate {

constexpr const char* kName = "FlimbsMenuTemplate";
constexpr const char* kFrontBubbles = "BUBBLES_FRONT";
constexpr const char* kFolder = "Graphics\\Menu\\TemplateWindow\\";
// The site named in the version label, and the version.
constexpr const char* kSiteAddress = "www.flimbs.org";
constexpr int kMajorVersion = 1;
constexpr int kMinorVersion = 24;

// Starts the music "intro" and gives the open backdrop, or (after deactivating every open
// window) builds a new one and opens it at the front.
PrimContainer* Show();
// Starts the music "intro" and builds a new backdrop, not yet opened.
PrimContainer* Build();
// Inserts the screen into the backdrop (the shown one when none is given) just before
// "BUBBLES_FRONT"; gives the backdrop, or null when there is none.
PrimContainer* AddScreen(PrimContainer* backdrop, Primitive* screen);
// The version label's text: the site address, " - v", major "%d", ".", minor "%02d".
std::string VersionText();

} // namespace FlimbsMenuTemplate

// The backdrop window: Escape that no screen took closes the front-most screen that has a
// way back (its close callback). Where there is none, or while the console is open, the key
// is left to its action.
class MenuBackdrop : public PrimContainer {
public:
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;
    // The front-most active screen (screen-root container) with a close callback, or null.
    PrimContainer* FrontScreenWithWayBack() const;
};

// Sizes a container to the bounding box of its children.
void FitToChildren(PrimContainer* container);
// Places a screen horizontally centred (x = 500 - width / 2) at y.
void PlaceScreen(Primitive* screen, float y = 380.0f);
// Logs "Front end: <name>", the line each front-end screen writes when it opens.
void LogScreen(const std::string& name);

// The new-user prompt (profile "default-profile", or its file missing) or the main menu,
// in the open backdrop or (rebuild) a fresh one; gives the backdrop. The campaign context
// is forgotten first.
PrimContainer* ShowMainMenu(bool rebuild);
// The close-callback form of ReturnToMainMenu: false, so the closing screen deactivates.
bool ReturnToMainMenuOnClose(PrimContainer* closing);
