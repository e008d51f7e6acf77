#pragma once
// The options menu: profile and site account, language, resolution, avatar, sound, music,
// display and control switches, and the way to the key binding window. Nearly every
// control assigns its console variable at once; language and resolution wait for "Okay",
// which also writes the profile and the global configuration file. Full mode (the front
// end) or reduced mode (over a running game: no profile list, no avatar "New" / "Edit", no
// "Load Defaults", a smaller avatar picture).
#include "gui/Button.h"
#include "gui/PrimContainer.h"

#include <string>

class ComboBox;
class FlimbsTabControl;
class ScreenImage;

class OptionsMenu : public PrimContainer {
public:
    static constexpr const char* kName = "options_menu";
    static constexpr const char* kPageName = "Options";

    explicit OptionsMenu(bool fullMode);

    bool FullMode() const { return full_; }
    ScreenImage* AvatarImage() const { return avatarImage_; }
    Button* AvatarEditButton() const { return avatarEdit_; }
    FlimbsTabControl* Tabs() const { return tabs_; }
    PrimContainer* Page() const { return page_; }
    // A control of the page or of the menu by name, or null.
    Primitive* Control(const std::string& name);

private:
    void BuildRows();

    bool full_;
    FlimbsTabControl* tabs_ = nullptr;
    PrimContainer* page_ = nullptr;
    ScreenImage* avatarImage_ = nullptr;
    Button* avatarEdit_ = nullptr;
};

// A new menu named "options_menu" with the return callback as its close callback; not
// opened: the caller puts it into the backdrop or over the HUD.
OptionsMenu* ShowOptionsMenu(CloseHandler returnCallback, bool fullMode);
// Replaces the menu by a new full one (keeping its close callback and anchors) as the
// backdrop's last child, every other window closed; gives the new menu.
OptionsMenu* RebuildOptionsMenu(OptionsMenu* old);

// The options menu that holds a control: the first OptionsMenu among its ancestors.
OptionsMenu* OptionsMenuOf(Primitive* control);

// "Okay": the new profile when the default one is in use ("Profile Exists" when its name
// is taken), the menu's close, the global configuration, the language and the resolution
// chosen, and the avatar to a running match.
void ApplyOptions(Primitive* parent, Button* button);
// Act only when their combo was changed by the player since the menu was built.
void ApplyLanguageChoice(OptionsMenu* menu);
void ApplyResolutionChoice(OptionsMenu* menu);
// "Load Defaults": the default profile's settings and key bindings, then a rebuilt menu.
void LoadDefaultOptions(Primitive* parent, Button* button);

// The slider of "positive_scroll_scale": v = round(sqrt(scale * 1000)) in 22 .. 95, and
// back: v * v / 1000.
int ScrollScaleToSlider(float scale);
float SliderToScrollScale(int value);
