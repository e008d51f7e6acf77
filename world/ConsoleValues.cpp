#include "world/ConsoleValues.h"

#include "app/ConsoleParam.h"

int ConsoleInt(std::string_view name)
{
    const ConsoleParam* param = ConsoleParam::Find(name);
    return param ? param->GetInt() : 0;
}

bool GodModeOn()
{
    return ConsoleInt("god") != 0 || ConsoleInt("demigod") != 0;
}
