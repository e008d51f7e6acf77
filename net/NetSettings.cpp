#include "net/NetSettings.h"

#include "app/ConsoleParam.h"

NetSettings& GetNetSettings()
{
    static NetSettings settings;
    return settings;
}

namespace {

ConsoleParam worldServerParam("worldserver", ConsoleParamType::Text, "", "the world server's host name",
                              [](ConsoleParam& param) { GetNetSettings().worldServerHost = param.GetString(); });
ConsoleParam stunServerParam("stunserver", ConsoleParamType::Text, "", "the STUN server's host name",
                             [](ConsoleParam& param) { GetNetSettings().stunServerHost = param.GetString(); });

} // namespace
