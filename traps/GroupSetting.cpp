#include "traps/GroupSetting.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "gui/LayoutPanel.h"

#include <algorithm>
#include <vector>

int32_t GroupFromFile(const char* kindName, int32_t group)
{
    if (group == kAnyGroup || (group >= 0 && group <= 7))
        return group;
    WriteLog("%s trap: group %d is not a group (0..7 or 255), taken as 0\n", kindName, group);
    return 0;
}

void AddGroupChoice(LayoutPanel& panel, const std::string& label, const char* key, int32_t group, bool allowAny,
                    const std::string& tip)
{
    std::vector<std::string> groups;
    for (int g = 0; g < 8; ++g)
        groups.push_back(std::to_string(g));
    if (allowAny)
        groups.push_back(TranslateText("Any"));
    const int selected = group == kAnyGroup && allowAny ? 8 : std::clamp(group, 0, 7);
    panel.AddChoice(label, key, groups, selected, tip);
}

bool ReadGroupChoice(const LayoutPanel& panel, const char* key, int32_t& group)
{
    int32_t choice = 0;
    if (!panel.ReadInt(key, choice))
        return false;
    group = choice == 8 ? kAnyGroup : std::clamp(choice, 0, 7);
    return true;
}
