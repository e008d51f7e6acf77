#include "traps/CreatureSupport.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "gui/LayoutPanel.h"
#include "media/Draw2D.h"
#include "traps/TrapKindHelpers.h"
#include "world/Flimb.h"
#include "world/ViewServices.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int32_t kAnyGroup = 255;
constexpr int32_t kAnyChoice = 8;

} // namespace

uint8_t CheckedTrapGroup(int32_t value, bool anyAllowed, const char* kindName, uint32_t trapId)
{
    if ((value >= 0 && value <= 7) || (anyAllowed && value == kAnyGroup))
        return static_cast<uint8_t>(value);
    WriteLog("WARNING: %s trap %u has group %d; taken as 0\n", kindName, trapId, value);
    return 0;
}

void AddGroupPicker(LayoutPanel& panel, const std::string& label, const char* key, int32_t group, bool anyAllowed,
                    const std::string& tip)
{
    std::vector<std::string> groups;
    for (int g = 0; g < 8; ++g)
        groups.push_back(std::to_string(g));
    if (anyAllowed)
        groups.push_back(TranslateText("Any"));
    const int selected = group == kAnyGroup && anyAllowed ? kAnyChoice : std::clamp(group, 0, 7);
    panel.AddChoice(label, key, groups, selected, tip);
}

bool ReadGroupPicker(const LayoutPanel& panel, const char* key, int32_t& group)
{
    int32_t choice = 0;
    if (!panel.ReadInt(key, choice))
        return false;
    group = choice == kAnyChoice ? kAnyGroup : std::clamp(choice, 0, 7);
    return true;
}

void ClearInWorld(Flimb& flimb)
{
    flimb.flags = static_cast<uint8_t>(flimb.flags & ~(kFlimbInWorld | kFlimbAlive));
}

void DrawSheetInWorld(AnimSurface* sheet, float worldX, float worldY, const SheetDraw& how, bool signedAdd)
{
    if (!sheet)
        return;
    // DrawSheet takes world points through the game view.
    if (signedAdd) {
        Draw2D::SignedAddScope scope;
        DrawSheet(sheet, worldX, worldY, how);
    } else {
        DrawSheet(sheet, worldX, worldY, how);
    }
}
