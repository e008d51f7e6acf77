#pragma once
// The multiplayer "New Level" window "LevelChangeWindow", titled "Levels": a level chooser
// of the current level's category (its file name's prefix), the "Low Quality" check box
// (the console variable "loadquick"), "Back" (closes) and "Start level" (GAMEDATA with the
// chosen level).
#include "gui/FlimbsWindow3.h"

#include <memory>
#include <string>

class CheckBox;
class LevelChooserView;
class TextButton;

class LevelChangeWindow : public FlimbsWindow3a {
public:
    LevelChangeWindow();
    ~LevelChangeWindow() override;

    // The part of a level file name before its first underscore.
    static std::string CategoryOf(const std::string& levelFile);

    LevelChooserView* Chooser() const { return chooser_.get(); }
    CheckBox* LowQuality() const { return lowQuality_; }
    TextButton* BackButton() const { return back_; }
    TextButton* StartButton() const { return start_; }

private:
    std::unique_ptr<LevelChooserView> chooser_;
    CheckBox* lowQuality_ = nullptr;
    TextButton* back_ = nullptr;
    TextButton* start_ = nullptr;
};
