#include "editor/LevelChooser.h"

#include "app/LanguageTexts.h"
#include "app/StringUtil.h"
#include "game/LevelManager.h"
#include "game/LevelNames.h"
#include "gui/ComboBox.h"
#include "gui/EditBox.h"
#include "gui/FlimbsLayoutEngine.h"
#include "gui/FlimbsListBox.h"
#include "gui/UiScale.h"
#include "modes/GameMode.h"

#include <algorithm>
#include <memory>

namespace {

constexpr float kMargin = 8.0f; // design pixels
constexpr float kCaptionWidth = 90.0f;
constexpr float kControlWidth = 150.0f;
constexpr int kSortByDate = 1;

int GroupsInUse(const LevelChooserEntry& entry)
{
    return int(std::count_if(entry.groups.begin(), entry.groups.end(),
                             [](const GroupSetup& group) { return group.present != 0; }));
}

bool Matches(const LevelChoice& level, const LevelQuery& query)
{
    const LevelChooserEntry& e = level.entry;
    if (query.gameType >= 0 && e.playerKind != query.gameType)
        return false;
    if (query.gameMode >= 0 && e.gameMode != query.gameMode)
        return false;
    if (query.groups >= 0 && GroupsInUse(e) != query.groups)
        return false;
    if (query.source == kLevelSourceCore && level.entry.inUserFolder)
        return false;
    if (query.source == kLevelSourceUser && !level.entry.inUserFolder)
        return false;
    return WildcardMatchNoCase(query.pattern, e.fileName);
}

} // namespace

std::vector<LevelChoice> FilterLevels(const std::vector<LevelChoice>& levels, const LevelQuery& query)
{
    std::vector<LevelChoice> found;
    for (const LevelChoice& level : levels)
        if (Matches(level, query))
            found.push_back(level);
    if (query.byDate)
        std::stable_sort(found.begin(), found.end(),
                         [](const LevelChoice& a, const LevelChoice& b) { return a.entry.fileTime > b.entry.fileTime; });
    else
        std::stable_sort(found.begin(), found.end(), [](const LevelChoice& a, const LevelChoice& b) {
            return ToLowerAscii(a.entry.title) < ToLowerAscii(b.entry.title);
        });
    return found;
}

std::vector<LevelChoice> QueryLevels(const LevelQuery& query)
{
    LevelManager& manager = Levels();
    manager.Refresh();
    std::vector<LevelChoice> levels;
    for (const auto& [key, entry] : manager.Entries())
        levels.push_back(LevelChoice{entry->summary});
    return FilterLevels(levels, query);
}

// ---- LevelChooser ---------------------------------------------------------------------------

LevelChooser::LevelChooser(const LevelChooserConfig& config) : config_(config)
{
    SetName(kName);
    FlimbsLayoutEngine layout(this);
    layout.SetMargins(DesignToVirtualX(kMargin), DesignToVirtualY(kMargin), DesignToVirtualX(kMargin),
                      DesignToVirtualY(kMargin));
    layout.SetCaptionWidth(DesignToVirtualX(kCaptionWidth));
    layout.SetControlWidth(DesignToVirtualX(kControlWidth));

    std::vector<std::pair<std::string, int>> modes;
    for (int mode = 0; mode < kModeCount; ++mode)
        modes.emplace_back(TranslateText(GameMode::Info(mode).displayTitle), mode);
    modes.emplace_back(TranslateText("All"), -1);
    AddFilter(layout, "game_mode", "Game Mode", modes, config.gameMode, config.showGameMode);
    ComboBox* type = AddFilter(layout, "game_type", "Game Type",
                               {{TranslateText("Singleplayer"), 0}, {TranslateText("Multiplayer"), 1},
                                {TranslateText("All"), -1}},
                               config.gameType, config.showGameType);
    if (type)
        layout.SetTip(type, TranslateText("Single or Multiplayer"));
    std::vector<std::pair<std::string, int>> groups;
    for (int count = 1; count <= 8; ++count)
        groups.emplace_back(StringPrintf("%d", count), count);
    groups.emplace_back(TranslateText("All  "), -1);
    AddFilter(layout, "groups", "Groups", groups, config.groups, config.showGroups);
    if (config.showSearch) {
        layout.AddCaption(TranslateText("Search"), "search");
        search_ = layout.AddEditBox("search", "*", false);
        if (search_)
            search_->onChange = [this](Primitive*, Primitive*) { OnFilterChanged(); };
    }
    AddFilter(layout, "source", "Source",
              {{TranslateText("Core"), kLevelSourceCore}, {TranslateText("User"), kLevelSourceUser},
               {TranslateText("All  "), kLevelSourceAll}},
              config.source, config.showSource);
    AddFilter(layout, "sort", "Sort", {{TranslateText("Title"), 0}, {TranslateText("Date"), kSortByDate}}, 0,
              config.showSort);

    layout.AddCaption(TranslateText("Levels"), kListName);
    layout.NewRow();
    auto list = std::make_unique<FlimbsListBox>();
    list_ = list.get();
    list_->SetSize(DesignToVirtualX(float(config.width)), 100.0f);
    const float rowsHeight = list_->RowHeight() * float(std::max(1, config.rows)) + list_->margins.top +
                             list_->margins.bottom + 1.0f;
    list_->SetSize(DesignToVirtualX(float(config.width)), ToVirtualY(rowsHeight));
    list_->onSelectionChanged = [this](Primitive*) {
        if (onSelectionChanged)
            onSelectionChanged(*this);
    };
    list_->onDoubleClick = [this](Primitive*) {
        if (onActivate)
            onActivate(*this);
    };
    layout.AddControl(std::move(list), kListName);
    layout.Finish();
    layout.FitContainer();

    if (search_)
        searchAtLastRefill_ = search_->GetText();
    Refill();
}

LevelChooser::~LevelChooser() = default;

ComboBox* LevelChooser::AddFilter(FlimbsLayoutEngine& layout, const char* key, const char* caption,
                                  const std::vector<std::pair<std::string, int>>& choices, int selected, bool shown)
{
    if (!shown)
        return nullptr;
    layout.AddCaption(TranslateText(caption), key);
    std::vector<PanelChoice> entries;
    for (const auto& [text, value] : choices)
        entries.push_back(PanelChoice{text, value});
    ComboBox* combo = layout.AddChoiceList(key, entries, selected);
    if (!combo)
        return nullptr;
    combo->onChange = [this](Primitive*, ComboBox*) { OnFilterChanged(); };
    filters_.emplace_back(key, combo);
    return combo;
}

ComboBox* LevelChooser::Filter(const std::string& name) const
{
    for (const auto& [key, combo] : filters_)
        if (key == name)
            return combo;
    return nullptr;
}

LevelQuery LevelChooser::CurrentQuery()
{
    // A new search is not narrowed by the type, mode and group filters of the last one.
    const std::string searchText = search_ ? search_->GetText() : std::string();
    if (search_ && searchText != searchAtLastRefill_) {
        for (const char* name : {"game_type", "game_mode", "groups"})
            if (ComboBox* combo = Filter(name))
                combo->SetIntValue(-1);
        searchAtLastRefill_ = searchText;
    }
    const auto read = [this](const char* name, int preset) {
        ComboBox* combo = Filter(name);
        return combo ? combo->GetIntValue() : preset;
    };
    LevelQuery query;
    query.gameType = read("game_type", config_.gameType);
    query.gameMode = read("game_mode", config_.gameMode);
    query.groups = read("groups", config_.groups);
    query.source = read("source", config_.source);
    query.byDate = read("sort", 0) == kSortByDate;
    const std::string trimmed = searchText == "*" ? std::string() : searchText;
    query.pattern = trimmed.empty() ? "*" : "*" + trimmed + "*";
    return query;
}

void LevelChooser::Refill()
{
    list_->Clear();
    for (const LevelChoice& level : QueryLevels(CurrentQuery())) {
        const int index = list_->AddItem(level.entry.title);
        if (ListItem* item = list_->GetItem(index))
            item->secondText = level.entry.fileName;
    }
    list_->SetSelection(-1, false);
}

void LevelChooser::SelectLevel(const std::string& levelName, bool adjustFilters)
{
    const auto find = [this](const std::string& file) {
        for (int row = 0; row < list_->GetCount(); ++row)
            if (const ListItem* item = list_->GetItem(row); item && EqualsNoCase(item->secondText, file))
                return row;
        return -1;
    };
    if (!levelName.empty()) {
        const std::string file = EndsWithNoCase(levelName, kLevelExtension) ? levelName : levelName + kLevelExtension;
        int row = find(file);
        if (row < 0 && adjustFilters) {
            if (search_)
                search_->SetText(std::string());
            if (ComboBox* groups = Filter("groups"))
                groups->SetIntValue(-1);
            LevelFileName parsed;
            if (ParseLevelFileName(file, parsed)) {
                if (ComboBox* mode = Filter("game_mode"))
                    mode->SetIntValue(parsed.gameMode);
                // A FlimbMaster level is neither single-player nor multiplayer.
                if (ComboBox* type = Filter("game_type"))
                    type->SetIntValue(parsed.kind == kLevelFlimbMaster ? -1 : parsed.kind);
            }
            if (search_)
                searchAtLastRefill_ = search_->GetText();
            Refill();
            row = find(file);
        }
        if (row >= 0)
            list_->SetSelection(row, true);
    }
    if (list_->GetCount() > 0 && list_->GetIntValue() < 0)
        list_->SetSelection(0, true);
}

void LevelChooser::OnFilterChanged()
{
    Refill();
    SelectLevel(std::string(), false);
}

std::string LevelChooser::GetSelectedLevelFile() const
{
    const ListItem* item = list_->GetItem(list_->GetIntValue());
    return item ? item->secondText : std::string();
}

std::string LevelChooser::GetSelectedLevelTitle() const
{
    const ListItem* item = list_->GetItem(list_->GetIntValue());
    return item ? item->text : std::string();
}
