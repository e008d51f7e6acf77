// The game's command-line table.
#include "shell/CommandLine.h"

#include <gtest/gtest.h>

namespace {

struct Case {
    std::vector<std::string> arguments;
    std::string launch;
    std::string edit;
    int32_t port;
    bool multiple;
    bool help;
};

} // namespace

TEST(CommandLine, ReadsTheOptionTable)
{
    const Case cases[] = {
        {{"FlimbsGame"}, "", "", -1, false, false},
        {{"FlimbsGame", "-l", "Level\\a.flevel"}, "Level\\a.flevel", "", -1, false, false},
        {{"FlimbsGame", "-e", "b.flevel", "-m"}, "", "b.flevel", -1, true, false},
        {{"FlimbsGame", "+connect", "host:4000"}, "", "", 4000, false, false},
        {{"FlimbsGame", "+connect", "4000"}, "", "", -1, false, false},
        {{"FlimbsGame", "+connect", "host:0"}, "", "", -1, false, false},
        {{"FlimbsGame", "+connect", "host:70000"}, "", "", -1, false, false},
        {{"FlimbsGame", "+connect", "host:-5"}, "", "", -1, false, false},
        {{"FlimbsGame", "+connect", "host:x"}, "", "", -1, false, false},
        {{"FlimbsGame", "-h", "-l"}, "", "", -1, false, true},
        {{"FlimbsGame", "-L", "x", "-H", "--help"}, "", "", -1, false, false},
        {{"FlimbsGame", "-l", "-h"}, "-h", "", -1, false, false},
        {{"FlimbsGame", "-l", "a", "-e", "b", "+connect"}, "a", "b", -1, false, false},
    };
    for (const Case& c : cases) {
        CommandLineOptions options;
        ParseCommandLine(c.arguments, options);
        const std::string label = ::testing::PrintToString(c.arguments);
        EXPECT_EQ(options.launchFile, c.launch) << label;
        EXPECT_EQ(options.editFile, c.edit) << label;
        EXPECT_EQ(options.connectPort, c.port) << label;
        EXPECT_EQ(options.allowMultiple, c.multiple) << label;
        EXPECT_EQ(options.showHelp, c.help) << label;
    }
}
