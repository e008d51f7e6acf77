#include "hud/HudServices.h"

#include "app/Log.h"

void PostChatLine(const std::string& text, uint32_t)
{
    WriteLog("%s\n", text.c_str());
}
