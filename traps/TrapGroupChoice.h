#pragma once
// The group choice of the trap property panels: groups 0 to 7 and, where a trap allows it,
// "Any" (255).
#include <cstdint>
#include <string>

class LayoutPanel;

void AddTrapGroupChoice(LayoutPanel& panel, const std::string& label, const char* key, int32_t group, bool allowAny,
                        const std::string& tip = std::string());
// The group the choice shows (255 for "Any"); false when the user did not change it.
bool ReadTrapGroupChoice(const LayoutPanel& panel, const char* key, int32_t& group);
