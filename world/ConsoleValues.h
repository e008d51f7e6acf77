#pragma once
// Console variables the world reads by name; a variable that is not registered reads 0.
#include <string_view>

int ConsoleInt(std::string_view name);
// The same with the value an unregistered variable stands for (its documented default).
int ConsoleIntOr(std::string_view name, int fallback);
float ConsoleFloatOr(std::string_view name, float fallback);
// True while "god" or "demigod" is on.
bool GodModeOn();
