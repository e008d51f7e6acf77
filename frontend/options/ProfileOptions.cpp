#include "frontend/options/ProfileOptions.h"

#include "app/ConsoleParam.h"
#include "app/FileManager.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/Md5.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "app/UserFolders.h"
#include "frontend/menus/FlimbsMenuTemplate.h"
#include "frontend/menus/PromptForNewUser.h"
#include "frontend/options/OptionsMenu.h"
#include "frontend/options/WindowFit.h"
#include "gui/Animators.h"
#include "gui/ComboBox.h"
#include "gui/MessageBox.h"
#include "session/SessionServices.h"

#include <algorithm>
#include <filesystem>

std::vector<ProfileChoice> BuildProfileList(const std::vector<std::string>& files, const std::string& current,
                                            int& selected)
{
    std::vector<ProfileChoice> list;
    selected = -1;
    for (const std::string& file : files) {
        if (file == "default-profile.xml" || file.size() <= 4)
            continue;
        const std::string name = file.substr(0, file.size() - 4);
        if (!IsSafeProfileName(name))
            continue;
        if (selected < 0 && EqualsNoCase(name, current))
            selected = int(list.size());
        list.push_back({name, 0});
    }
    list.push_back({"<" + TranslateText("New") + ">", 1});
    return list;
}

std::vector<std::string> ListProfileFiles()
{
    std::vector<std::string> names;
    if (fileManager)
        fileManager->ListFiles("Profiles\\*.xml", names, 0);
    std::vector<std::string> own;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(GetUserPath("Profiles"), error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file(error) && name.size() > 4 && EqualsNoCase(name.substr(name.size() - 4), ".xml"))
            own.push_back(name);
    }
    std::sort(own.begin(), own.end());
    for (const std::string& name : own)
        if (std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    return names;
}

void OnProfileChosen(Primitive*, ComboBox* combo)
{
    if (!combo || !combo->GetPressed() || combo->GetSelection() < 0)
        return;
    OptionsMenu* menu = OptionsMenuOf(combo);
    if (combo->GetIntValue() == 1) {
        if (menu)
            menu->Deactivate();
        PromptForNewUser* prompt = ShowPromptForNewUser();
        PrimContainer* backdrop = FlimbsMenuTemplate::Show();
        FlimbsMenuTemplate::AddScreen(backdrop, prompt);
        PlaceScreen(prompt);
        SlideInFromBelow(prompt, prompt->GetPositionVirtual().x);
        LogScreen(prompt->name);
        return;
    }
    if (ConsoleParam* profile = ConsoleParam::Find("profile"))
        profile->SetString(combo->GetText());
    if (menu)
        RebuildOptionsMenu(menu);
    FitGameWindowToDesktop();
}

void OnUsernameEdited(Primitive*, Primitive* box)
{
    ConsoleParam* username = ConsoleParam::Find("username");
    if (!box || !username || box->GetText() == username->GetString())
        return;
    if (MatchClientRunning()) {
        ShowMessageBox("Nope", "You cannot change your name during a FlimbStats match.");
        return;
    }
    username->SetString(box->GetText());
    box->SetText(username->GetString());
}

void OnPasswordEdited(Primitive*, Primitive* box)
{
    ConsoleParam* password = ConsoleParam::Find("password");
    if (!box || !password || box->GetText() == password->GetString())
        return;
    password->SetString(Md5String(box->GetText(), "%02x"));
    // The box keeps the digest, never the plain password.
    box->SetText(password->GetString());
}
