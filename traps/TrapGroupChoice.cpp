#include "traps/TrapGroupChoice.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "gui/LayoutPanel.h"

#include <algorithm>
#include <vector>

namespace {
constexpr int kAnyChoice = 8;
}

uint8_t CheckedTrapGroup(int32_t value, bool anyAllowed, const char* kindName, uint32_t trapId)
{
    if ((value >= 0 && value <= 7) || (anyAllowed && value == kAnyGroup))
        return static_cast<uint8_t>(value);
    WriteLog("WARNING: %s trap %u has group %d; taken as 0\n", kindName, trapId, value);
    return 0;
}

void AddTrapGroupChoice(LayoutPanel& panel, const std::string& label, const char* key, int32_t group, bool allowAny,
                        const std::string& tip)
{
    std::vector<std::string> groups;
    for (int g = 0; g < 8; ++g)
        groups.push_back(std::to_string(g));
    if (allowAny)
        groups.push_back(TranslateText("Any"));
    const int selected = group == kAnyGroup && allowAny ? kAnyChoice : std::clamp(group, 0, 7);
    panel.AddChoice(label, key, groups, selected, tip);
}

bool ReadTrapGroupChoice(const LayoutPanel& panel, const char* key, int32_t& group)
{
    int32_t choice = 0;
    if (!panel.ReadInt(key, choice))
        return false;
    group = choice == kAnyChoice ? kAnyGroup : std::clamp(choice, 0, 7);
    return true;
}
