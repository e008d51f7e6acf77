#include "gui/PanelChoosers.h"

#include "app/FileManager.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/StringUtil.h"
#include "gui/ListBox.h"
#include "gui/ScreenImage.h"

GroupChooser::GroupChooser(bool allowAny) : allowAny_(allowAny)
{
    const std::string group = TranslateText("Group");
    for (int index = 0; index < kGroupCount; ++index)
        AddItem(StringPrintf("%s %d", group.c_str(), index + 1), index);
    if (allowAny)
        AddItem(TranslateText("Any group"), kAnyGroup);
}

ImageChooser::ImageChooser(const std::string& folder, const std::string& pattern, FileLister lister)
    : folder_(folder), pattern_(pattern.empty() ? "*" : pattern), lister_(std::move(lister))
{
}

void ImageChooser::Refresh()
{
    const std::string chosen = ComboBox::GetText();
    std::vector<std::string> names;
    const std::string pattern = JoinImagePath(folder_, pattern_);
    if (lister_)
        names = lister_(pattern);
    else if (fileManager)
        fileManager->ListFiles(pattern, names, 3);
    else
        WriteLog("ImageChooser: no file manager to list \"%s\"\n", pattern.c_str());
    ClearItems();
    for (const std::string& name : names)
        if (!name.empty() && name.find_first_of("\\/") == std::string::npos)
            AddItem(name);
    if (!chosen.empty())
        SetText(chosen);
}

std::string ImageChooser::GetText()
{
    const std::string name = ComboBox::GetText();
    return name.empty() ? name : JoinImagePath(folder_, name);
}

void ImageChooser::SetText(const std::string& path)
{
    const size_t slash = path.find_last_of("\\/");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    if (name.empty()) {
        SetSelection(-1, false);
        return;
    }
    int index = FindItem(name);
    if (index < 0)
        index = AddItem(name);
    SetSelection(index, false);
}
