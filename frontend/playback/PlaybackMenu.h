#pragma once
// The playback menu "PlaybackMenu": a level chooser and, for the chosen level, the player's
// recordings of it (the profile's playback folder), newest first with their file dates.
// "Playback" replays the selected one in the playback session (leaving it comes back here),
// "Delete" removes it after a confirmation, "Back" returns to the extras menu.
#include "gui/PrimContainer.h"

#include <ctime>
#include <string>

class FlimbsListBox;
class FlimbsToolTip;
class LevelChooser;

class PlaybackMenu : public PrimContainer {
public:
    static constexpr const char* kName = "PlaybackMenu";
    static constexpr const char* kListName = "PLAY_LIST";

    PlaybackMenu();

    // Refills the recordings of the chooser's level, newest first, and selects the first.
    void Refresh();
    // The confirmation "Yikes" for the selected recording (nothing without one).
    void DeleteSelected();
    // Starts the playback session on the selected recording (nothing without one); a file
    // that cannot be played says "Error in playback" and the menu stays.
    void PlaySelected();

    LevelChooser* Chooser() const { return chooser_; }
    FlimbsListBox* Recordings() const { return recordings_; }
    // The selected row's recording (a game path in the playback folder), "" when none.
    std::string SelectedRecording() const;
    std::string TipOf(const Primitive* control) const;

private:
    LevelChooser* chooser_ = nullptr;
    FlimbsListBox* recordings_ = nullptr;
    FlimbsToolTip* toolTip_ = nullptr;
};

// A recording's row text from its file time: "%4d-%02d-%02d %02d:%02d:%02d    " in local
// time (four trailing blanks).
std::string RecordingRowText(std::time_t fileTime);
// Deletes a recording of the playback folder. A path that would leave the folder (or is not
// a playback file there) is refused with a log line; false when refused or not deleted.
bool DeleteRecording(const std::string& gamePath);

// The menu over the front-end backdrop, its close back to the extras menu; false (logged)
// when it could not be opened.
bool ShowPlaybackMenu();
