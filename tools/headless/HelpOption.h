#pragma once
// "-h" and "--help" of the headless tools: the usage text on standard output, exit code 0.
#include <cstdio>
#include <cstring>

inline bool AsksForHelp(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        if (!std::strcmp(argv[i], "-h") || !std::strcmp(argv[i], "--help"))
            return true;
    return false;
}

inline int PrintHelp(const char* usage)
{
    std::fputs(usage, stdout);
    return 0;
}
