// The console variables of the game view's behaviour that the HUD reads and sets.
#include "app/ConsoleParam.h"

namespace {

// Non-zero: the game view follows the selected flimb (the HUD's auto-align box).
ConsoleParam g_followSelected("follow_selected", ConsoleParamType::Int, "0", "follow the selected flimb",
                              LogVariableChanged);

} // namespace
