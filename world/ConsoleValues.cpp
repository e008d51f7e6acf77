#include "world/ConsoleValues.h"

#include "app/ConsoleParam.h"

int ConsoleInt(std::string_view name)
{
    return ConsoleIntOr(name, 0);
}

int ConsoleIntOr(std::string_view name, int fallback)
{
    const ConsoleParam* param = ConsoleParam::Find(name);
    return param ? param->GetInt() : fallback;
}

float ConsoleFloatOr(std::string_view name, float fallback)
{
    const ConsoleParam* param = ConsoleParam::Find(name);
    if (!param)
        return fallback;
    return param->Type() == ConsoleParamType::Float ? param->GetFloat() : static_cast<float>(param->GetInt());
}

bool GodModeOn()
{
    return ConsoleInt("god") != 0 || ConsoleInt("demigod") != 0;
}
