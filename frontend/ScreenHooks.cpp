// What the screens answer to the floors below them: the session's and the HUD's hooks.
#include "editor/LevelChooser.h"
#include "frontend/FrontEndServices.h"
#include "frontend/PendingScreens.h"
#include "frontend/menus/Credits.h"
#include "frontend/menus/FlimbsMenuTemplate.h"
#include "frontend/options/OptionsMenu.h"
#include "gui/WindowList.h"
#include "hud/HudGame.h"
#include "hud/HudHooks.h"
#include "session/SessionHooks.h"

#include <memory>
#include <string>

namespace {

// The editor's level chooser as the level-change window's panel, showing the levels of the
// running level's kind ("s" single-player, "m" multiplayer; all for any other).
class LevelChooserPanel : public LevelChooserView {
public:
    explicit LevelChooserPanel(const std::string& category) : chooser_(std::make_unique<LevelChooser>(Config(category)))
    {
    }
    Primitive* Panel() override { return chooser_.get(); }
    std::string SelectedLevel() const override { return chooser_->GetSelectedLevelFile(); }

private:
    static LevelChooserConfig Config(const std::string& category)
    {
        LevelChooserConfig config;
        config.gameType = category == "s" ? 0 : category == "m" ? 1 : -1;
        config.gameMode = -1;
        config.rows = 8;
        config.width = 260;
        config.showGameType = true;
        config.showSearch = true;
        return config;
    }

    std::unique_ptr<LevelChooser> chooser_;
};

// The closing credits on a fresh menu backdrop; their close returns to the main menu.
Primitive* BuildFinalCredits()
{
    PrimContainer* backdrop = FlimbsMenuTemplate::Build();
    CreditsWindow* credits = ShowCredits();
    credits->closeHandler = [](PrimContainer*) {
        DeactivateAllWindows();
        ReturnToMainMenu();
        return true;
    };
    FlimbsMenuTemplate::AddScreen(backdrop, credits);
    return backdrop;
}

// The reduced options menu; its close runs `onClosed` and lets the menu go.
PrimContainer* MakeReducedOptions(std::function<void()> onClosed)
{
    return ShowOptionsMenu(
        [onClosed = std::move(onClosed)](PrimContainer*) {
            if (onClosed)
                onClosed();
            return false;
        },
        false);
}

} // namespace

void InstallScreenHooks()
{
    SessionScreenHooks session;
    session.showFrontEnd = ShowFrontEnd;
    SetSessionScreenHooks(std::move(session));

    HudScreenHooks hud;
    hud.showFrontEnd = ShowFrontEnd;
    hud.buildFinalCredits = BuildFinalCredits;
    hud.visitPlanet = VisitPlanet;
    hud.makeOptionsMenu = MakeReducedOptions;
    hud.makeLevelChooser = [](const std::string& category) -> std::unique_ptr<LevelChooserView> {
        return std::make_unique<LevelChooserPanel>(category);
    };
    SetHudScreenHooks(std::move(hud));
}
