#pragma once
// A trap's group setting: 0..7, or 255 for any group where the kind allows it. The level
// editor shows it as a choice of the eight groups (and "Any"); a level file's value outside
// the table is logged and taken as 0.
#include <cstdint>
#include <string>

class LayoutPanel;

constexpr int32_t kAnyGroup = 255;

// The group a file gave the kind's trap, made a group: 0..7 and 255 stay, anything else is
// logged ("<kind> trap: group <n> is not a group (0..7 or 255), taken as 0") and becomes 0.
int32_t GroupFromFile(const char* kindName, int32_t group);
// A choice of group 0..7, and "Any" (255) when allowed.
void AddGroupChoice(LayoutPanel& panel, const std::string& label, const char* key, int32_t group, bool allowAny,
                    const std::string& tip = std::string());
// The group the choice shows (255 for "Any"); false when the user did not change it.
bool ReadGroupChoice(const LayoutPanel& panel, const char* key, int32_t& group);
