#pragma once
// The level chooser "LevelChooser": a panel that lists the level files of the level manager,
// filtered by game type, game mode, group count, a search text and source (core levels of
// the packed resources or the player's own), sorted by title or date. The screens that
// embed it read the selected row's level file name and are told of every selection
// change. The filters a host does not show keep their presets.
#include "gui/SimpleWindow.h"
#include "levelmodel/LevelChooserEntry.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ComboBox;
class EditBox;
class FlimbsListBox;

// What a host asks of a new chooser. -1 in a filter stands for all.
struct LevelChooserConfig {
    int32_t gameType = 0; // 0 single-player, 1 multiplayer
    int32_t gameMode = 0; // index in the game-mode table
    int32_t groups = -1;  // levels with this many groups in use
    int32_t source = 2;   // 0 core, 1 the player's own, 2 both
    int32_t rows = 13;    // visible rows of the list
    int32_t width = 437;  // the list's width, design pixels
    bool showGameMode = false;
    bool showGameType = false;
    bool showGroups = false;
    bool showSearch = false;
    bool showSource = false;
    bool showSort = false;
};

enum : int32_t { kLevelSourceCore = 0, kLevelSourceUser = 1, kLevelSourceAll = 2 };

// One level as the chooser's query sees it (its file time and folder are the record's).
struct LevelChoice {
    LevelChooserEntry entry;
};
// The filter of a query: -1 for all in type, mode and groups; a wildcard pattern on the
// file name; date order is newest first, title order ignores case.
struct LevelQuery {
    int32_t gameType = -1;
    int32_t gameMode = -1;
    int32_t groups = -1;
    int32_t source = kLevelSourceAll;
    std::string pattern = "*";
    bool byDate = false;
};
// Filters and orders the levels.
std::vector<LevelChoice> FilterLevels(const std::vector<LevelChoice>& levels, const LevelQuery& query);
// The level manager's levels (refreshed from Level\) through the filter.
std::vector<LevelChoice> QueryLevels(const LevelQuery& query);

class LevelChooser : public SimpleWindow {
public:
    static constexpr const char* kName = "LevelChooser";
    static constexpr const char* kListName = "levels";

    explicit LevelChooser(const LevelChooserConfig& config);
    ~LevelChooser() override;

    // Rebuilds the list from the filters, nothing selected.
    void Refill();
    // Selects the level of that file name (".flevel" added when missing, case ignored).
    // When it is not listed and adjustFilters is set, the search is emptied, all group
    // counts shown and the mode and type set from the file name, and it is tried again. In
    // every case a list with rows and no selection selects its first row.
    void SelectLevel(const std::string& levelName, bool adjustFilters);
    // The selected row's level file name or title; "" when none is selected.
    std::string GetSelectedLevelFile() const;
    std::string GetSelectedLevelTitle() const;

    FlimbsListBox* List() const { return list_; }
    // The filter control of a name ("game_mode", "game_type", "groups", "source", "sort"),
    // null when hidden.
    ComboBox* Filter(const std::string& name) const;
    EditBox* Search() const { return search_; }
    const LevelChooserConfig& Config() const { return config_; }

    // After each selection change; on a double click of a row.
    std::function<void(LevelChooser& chooser)> onSelectionChanged;
    std::function<void(LevelChooser& chooser)> onActivate;

private:
    LevelQuery CurrentQuery();
    void OnFilterChanged();
    ComboBox* AddFilter(class FlimbsLayoutEngine& layout, const char* key, const char* caption,
                        const std::vector<std::pair<std::string, int>>& choices, int selected, bool shown);

    LevelChooserConfig config_;
    FlimbsListBox* list_ = nullptr;
    EditBox* search_ = nullptr;
    std::vector<std::pair<std::string, ComboBox*>> filters_;
    std::string searchAtLastRefill_;
};
