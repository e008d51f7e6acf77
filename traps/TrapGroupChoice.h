#pragma once
// A trap's group: 0..7, or "Any" (255) where the kind allows it; the check of a group read
// from a file, and the group choice of the trap property panels.
#include <cstdint>
#include <string>

class LayoutPanel;

constexpr int32_t kAnyGroup = 255;

// A group read from a file or a trap-state blob: 0..7 as they are, 255 where the kind allows
// "any group"; any other value is logged ("WARNING: <kind> trap <id> has group <n>; taken as
// 0") and taken as 0.
uint8_t CheckedTrapGroup(int32_t value, bool anyAllowed, const char* kindName, uint32_t trapId);

void AddTrapGroupChoice(LayoutPanel& panel, const std::string& label, const char* key, int32_t group, bool allowAny,
                        const std::string& tip = std::string());
// The group the choice shows (255 for "Any"); false when the user did not change it.
bool ReadTrapGroupChoice(const LayoutPanel& panel, const char* key, int32_t& group);
