#pragma once
// Console variables the world reads by name; a variable that is not registered reads 0.
#include <string_view>

int ConsoleInt(std::string_view name);
// True while "god" or "demigod" is on.
bool GodModeOn();
