#include "shell/CommandLine.h"

#include <cstdlib>

const char* const kCommandLineHelp = "FlimbsGame.exe [options]\n"
                                     "\t-h\t\tShow Help\n"
                                     "\t-e <filename>\tEdit Level\n"
                                     "\t-l <filename>\tLaunch Level\n"
                                     "\t-m\t\tAllow Multiple Instances\n"
                                     "\t+connect <id>\tConnect to Multiplayer Server\n";

namespace {

std::vector<std::string>& StoredArguments()
{
    static std::vector<std::string> arguments;
    return arguments;
}

int32_t PortAfterColon(const std::string& argument)
{
    const size_t colon = argument.find(':');
    if (colon == std::string::npos)
        return -1;
    const long port = std::strtol(argument.c_str() + colon + 1, nullptr, 10);
    return port >= 1 && port <= 65535 ? static_cast<int32_t>(port) : -1;
}

} // namespace

void ParseCommandLine(const std::vector<std::string>& arguments, CommandLineOptions& options)
{
    const size_t count = arguments.size();
    for (size_t i = 0; i < count; ++i) {
        const std::string& word = arguments[i];
        const bool hasValue = i + 1 < count;
        if (word == "-l" && hasValue) {
            options.launchFile = arguments[++i];
        } else if (word == "-e" && hasValue) {
            options.editFile = arguments[++i];
        } else if (word == "+connect" && hasValue) {
            const int32_t port = PortAfterColon(arguments[i + 1]);
            if (port >= 0)
                options.connectPort = port;
            ++i;
        } else if (word == "-m") {
            options.allowMultiple = true;
        } else if (word == "-h") {
            options.showHelp = true;
        }
    }
}

void SetProcessArguments(int argc, char** argv)
{
    StoredArguments().assign(argv, argv + argc);
}

const std::vector<std::string>& ProcessArguments()
{
    return StoredArguments();
}

void ParseCommandLine(CommandLineOptions& options)
{
    ParseCommandLine(StoredArguments(), options);
}
