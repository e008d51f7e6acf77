#include "frontend/playback/PlaybackMenu.h"

#include "app/GameException.h"
#include "app/HostPath.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "editor/LevelChooser.h"
#include "frontend/menus/FlimbsMenuTemplate.h"
#include "frontend/menus/MainMenu.h"
#include "frontend/menus/ScreenLayout.h"
#include "game/LevelManager.h"
#include "game/LevelNames.h"
#include "gui/Animators.h"
#include "gui/FlimbsListBox.h"
#include "gui/FlimbsTabControl.h"
#include "gui/FlimbsToolTip.h"
#include "gui/FlimbsWindow.h"
#include "gui/Label.h"
#include "gui/MessageBox.h"
#include "gui/WindowList.h"
#include "session/GameSessions.h"
#include "session/SessionServices.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include <sys/stat.h>

namespace {

namespace fs = std::filesystem;

constexpr const char* kPageTitle = "Flimbs Playback Tool";
constexpr const char* kLastLevelSetting = "last_playback_level";
constexpr float kScreenTop = 330.0f;
constexpr float kContentLeft = 12.0f; // design pixels
constexpr float kContentTop = 3.0f;
constexpr float kListGap = 5.0f;
constexpr float kRecordingsWidth = 180.0f;
constexpr float kChooserListWidth = 400.0f;
constexpr int kChooserRows = 13;

LevelChooserConfig ChooserConfig()
{
    LevelChooserConfig config;
    config.gameType = -1;
    config.gameMode = -1;
    config.groups = -1;
    config.source = kLevelSourceAll;
    config.rows = kChooserRows;
    config.width = int(kChooserListWidth);
    config.showGameType = true;
    config.showSearch = true;
    config.showSort = true;
    return config;
}

PlaybackMenu* MenuOf(Primitive* from)
{
    for (Primitive* node = from; node; node = node->parent)
        if (auto* menu = dynamic_cast<PlaybackMenu*>(node))
            return menu;
    return nullptr;
}

std::time_t FileTimeOf(const std::string& gamePath)
{
    const std::string host = HostPathForWrite(gamePath);
    struct stat info {};
    return !host.empty() && ::stat(host.c_str(), &info) == 0 ? info.st_mtime : 0;
}

// A plain file name of the playback folder (no folder part, no way out of it).
bool IsRecordingName(const std::string& name)
{
    return !name.empty() && name.find_first_of("\\/:") == std::string::npos && name.find("..") == std::string::npos &&
           EndsWithNoCase(name, ".flimbs");
}

} // namespace

std::string RecordingRowText(std::time_t fileTime)
{
    std::tm local{};
    if (!localtime_r(&fileTime, &local))
        local = std::tm{};
    return StringPrintf("%4d-%02d-%02d %02d:%02d:%02d    ", local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                        local.tm_hour, local.tm_min, local.tm_sec);
}

bool DeleteRecording(const std::string& gamePath)
{
    const std::string folder = PlaybackFolder();
    const bool inFolder = gamePath.size() > folder.size() && StartsWithNoCase(gamePath, folder) &&
                          IsRecordingName(gamePath.substr(folder.size()));
    if (!inFolder) {
        WriteLog("Refused to delete [%s]: not a recording of %s\n", gamePath.c_str(), folder.c_str());
        return false;
    }
    const std::string host = HostPathForWrite(gamePath);
    std::error_code error;
    return !host.empty() && fs::is_regular_file(host, error) && fs::remove(host, error) && !error;
}

// ---- PlaybackMenu ---------------------------------------------------------------------------

PlaybackMenu::PlaybackMenu()
{
    SetName(kName);
    containerFlags |= kContainerWindow;
    auto* tabs = new FlimbsTabControl;
    AddChild(tabs);
    auto* page = new FlimbsWindow;
    page->SetName("PlaybackPage");
    tabs->AddPage(TranslateText(kPageTitle), page);
    toolTip_ = new FlimbsToolTip(250.0f);
    toolTip_->excludeFromBounds = 1;

    // The chooser and the recordings side by side, in a plain container inside the page.
    auto* content = new PrimContainer;
    content->containerFlags |= kContainerTransparent;
    content->SetPosition(DesignX(kContentLeft), DesignY(kContentTop));
    content->SetSize(1000.0f, 1000.0f);
    page->AddChild(content);
    chooser_ = new LevelChooser(ChooserConfig());
    content->AddChild(chooser_);
    chooser_->onSelectionChanged = [this](LevelChooser&) { Refresh(); };

    const FloatRect origin = content->GetScreenRect();
    const FloatRect levels = chooser_->List()->GetScreenRect();
    recordings_ = new FlimbsListBox;
    recordings_->SetName(kListName);
    recordings_->SetPosition(levels.right - origin.left + DesignX(kListGap), levels.top - origin.top);
    recordings_->SetSize(DesignX(kRecordingsWidth), levels.bottom - levels.top);
    content->AddChild(recordings_);
    auto* caption = new Label(0, 0xFFFFFFFF, kLabelLeft, TranslateText("Recordings"));
    caption->FitToText();
    caption->vAlign = kAlignBottom;
    caption->SetPosition(recordings_->GetPositionVirtual().x, recordings_->GetPositionVirtual().y);
    content->AddChild(caption);
    float width = 0.0f, height = 0.0f;
    content->SetSize(0.0f, 0.0f);
    content->GetSize(&width, &height);
    content->SetSize(width, height);

    page->GetSize(&width, &height);
    tabs->SetSize(width + DesignX(kContentLeft), height + DesignY(34.0f));
    tabs->SetPosition(0.0f, 0.0f);

    // The buttons in a row under the page.
    struct Row {
        const char* caption;
        const char* tip;
        void (*action)(PlaybackMenu&);
    };
    const Row rows[] = {
        {"Delete", "Delete a saved game", [](PlaybackMenu& menu) { menu.DeleteSelected(); }},
        {"Playback", "Playback a saved game", [](PlaybackMenu& menu) { menu.PlaySelected(); }},
        {"Back", nullptr, [](PlaybackMenu& menu) { menu.Close(); }},
    };
    float x = DesignX(kContentLeft);
    const float y = tabs->GetRelativeRectVirtual().bottom + DesignY(6.0f);
    for (const Row& row : rows) {
        auto* button = new FlimbsTabButton(TranslateText(row.caption));
        button->SetName(row.caption);
        void (*action)(PlaybackMenu&) = row.action;
        button->onClick = [action](Primitive*, Button* pressed) {
            if (PlaybackMenu* menu = MenuOf(pressed))
                action(*menu);
        };
        float w = 0.0f, h = 0.0f;
        button->GetSize(&w, &h);
        button->SetSize(w, h);
        button->SetPosition(x, y);
        AddChild(button);
        if (row.tip)
            toolTip_->SetTip(button, TranslateText(row.tip));
        x += w + DesignX(8.0f);
    }
    AddChild(toolTip_);
    FitToChildren(this);
    Refresh();
}

std::string PlaybackMenu::TipOf(const Primitive* control) const
{
    return toolTip_ && control ? toolTip_->TipFor(control) : std::string();
}

std::string PlaybackMenu::SelectedRecording() const
{
    const ListItem* item = recordings_->GetItem(recordings_->GetIntValue());
    return item ? item->secondText : std::string();
}

void PlaybackMenu::Refresh()
{
    recordings_->Clear();
    const std::string level = chooser_->GetSelectedLevelFile();
    if (level.empty())
        return;
    struct Recording {
        std::string text;
        std::string path;
    };
    std::vector<Recording> found;
    for (const std::string& name : LevelManager::ListPlaybacks(level)) {
        const std::string path = PlaybackFolder() + name;
        found.push_back({RecordingRowText(FileTimeOf(path)), path});
    }
    // Newest first: by the date text, greater first.
    std::stable_sort(found.begin(), found.end(), [](const Recording& a, const Recording& b) {
        return ToLowerAscii(a.text) > ToLowerAscii(b.text);
    });
    for (const Recording& recording : found) {
        const int row = recordings_->AddItem(recording.text);
        if (ListItem* item = recordings_->GetItem(row))
            item->secondText = recording.path;
    }
    recordings_->UpdateAbsolutePosition();
    if (recordings_->GetCount() > 0)
        recordings_->SetSelection(0, false);
}

void PlaybackMenu::DeleteSelected()
{
    const std::string path = SelectedRecording();
    if (path.empty())
        return;
    const std::string shown = path.substr(path.find_last_of('\\') + 1);
    const ButtonCallback confirm = [this, path](Primitive*, Button*) {
        if (!DeleteRecording(path))
            ShowMessageBox("Error", "Cannot delete file! File in use?");
        Refresh();
    };
    ShowClosableMessageBox("Yikes", TranslateText("Are you sure you want to DELETE ") + "'" + shown + "'?",
                           {{TranslateText("Yes"), confirm}});
}

void PlaybackMenu::PlaySelected()
{
    const std::string path = SelectedRecording();
    if (path.empty())
        return;
    SetPlaybackReturnCallback([] { ShowPlaybackMenu(); });
    FlimbsPlayer* session = nullptr;
    try {
        session = new FlimbsPlayer(path);
    } catch (const GameException& failure) {
        SetPlaybackReturnCallback(nullptr);
        WriteLog("%s\n", failure.what());
        ShowMessageBox("Error", TranslateText("Error in playback"));
        return;
    }
    OpenWindow(session, true);
    CurrentProfile().SetSetting(kLastLevelSetting, chooser_->GetSelectedLevelFile());
    if (Primitive* backdrop = FindOpenWindow(FlimbsMenuTemplate::kName))
        backdrop->Deactivate();
}

bool ShowPlaybackMenu()
{
    auto* menu = new PlaybackMenu;
    menu->closeHandler = [](PrimContainer*) {
        ShowExtrasMenu();
        return false;
    };
    const std::string last = CurrentProfile().Setting(kLastLevelSetting);
    if (!last.empty())
        menu->Chooser()->SelectLevel(last, true);
    else
        menu->Chooser()->SelectLevel(std::string(), false);
    PlaceScreen(menu, kScreenTop);
    PrimContainer* backdrop = FlimbsMenuTemplate::Show();
    if (!FlimbsMenuTemplate::AddScreen(backdrop, menu)) {
        WriteLog("Cannot open the playback menu: no menu backdrop\n");
        delete menu;
        return false;
    }
    FlyInChildren(menu);
    LogScreen(menu->name);
    return true;
}
