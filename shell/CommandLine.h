#pragma once
// The game's command line: the level to launch or edit, the server to join, and switches.
#include <cstdint>
#include <string>
#include <vector>

struct CommandLineOptions {
    std::string launchFile;  // -l <file>
    std::string editFile;    // -e <file>
    int32_t connectPort = -1; // +connect <host>:<port>
    bool allowMultiple = false; // -m
    bool showHelp = false;      // -h
};

// The help text shown for -h.
extern const char* const kCommandLineHelp;

// Reads the arguments (argv[0] included; option words are matched exactly). An option word
// without a value behind it and unknown arguments are ignored. A port outside 1..65535 is
// treated as absent.
void ParseCommandLine(const std::vector<std::string>& arguments, CommandLineOptions& options);

// The process's arguments, stored once by main.
void SetProcessArguments(int argc, char** argv);
const std::vector<std::string>& ProcessArguments();
// ParseCommandLine over the stored process arguments.
void ParseCommandLine(CommandLineOptions& options);
