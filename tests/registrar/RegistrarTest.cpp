// The file-type registrar in a fresh XDG home of its own, checked with the desktop's own
// tools: the entries validate, files get their types, the defaults open them, and a launch
// hands the program exactly the file.
#include "app/UserFolders.h"
#include "registrar/FileTypeRegistrar.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;

std::string ReadText(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteText(const fs::path& path, const std::string& text, fs::perms perms = fs::perms::owner_read | fs::perms::owner_write)
{
    fs::create_directories(path.parent_path());
    { std::ofstream(path, std::ios::binary) << text; }
    fs::permissions(path, perms);
}

constexpr fs::perms kExecutable = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec;

struct CommandRun {
    int status = -1;
    std::string output; // standard output and error together
};

// Runs a program with exactly this environment, waiting at most a minute.
CommandRun RunCommand(const std::vector<std::string>& arguments, const std::vector<std::string>& environment,
                      const fs::path& outputFile)
{
    CommandRun run;
    const pid_t child = fork();
    if (child == 0) {
        if (!freopen(outputFile.c_str(), "w", stdout) || dup2(STDOUT_FILENO, STDERR_FILENO) < 0)
            _exit(126);
        std::vector<char*> argv, envp;
        for (const std::string& a : arguments)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        for (const std::string& e : environment)
            envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    if (child < 0)
        return run;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int status = 0;
    pid_t ended = 0;
    while ((ended = waitpid(child, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (ended == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
    } else if (WIFEXITED(status)) {
        run.status = WEXITSTATUS(status);
    }
    run.output = ReadText(outputFile);
    return run;
}

// Every file below a folder with its bytes.
std::map<std::string, std::string> Snapshot(const fs::path& folder)
{
    std::map<std::string, std::string> files;
    std::error_code error;
    for (fs::recursive_directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        if (it->is_regular_file())
            files[fs::relative(it->path(), folder).string()] = ReadText(it->path());
    return files;
}

class Registrar : public ::testing::Test {
protected:
    void SetUp() override
    {
        base = fs::path(GetUserRoot()) / "registrar";
        fs::remove_all(base);
        home = base / "home";
        dataHome = base / "data";
        configHome = base / "config";
        runtime = base / "runtime";
        tools = base / "tools";
        bin = base / "Flimbs 100% game" / "Bin";
        for (const fs::path& folder : {home, dataHome, configHome, runtime, tools, bin})
            fs::create_directories(folder);
        fs::permissions(runtime, fs::perms::owner_all);
        fs::copy_file(std::string(FLIMBS_GAME_DIR) + "/Bin/SteamFlimbsInstall", bin / "SteamFlimbsInstall");
        // The programs stand in for the game and the installer: each records its arguments,
        // one a line.
        const std::string recorder = "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > \"$(dirname \"$0\")/"
                                     "$(basename \"$0\").args\"\n";
        WriteText(bin / "FlimbsGame", recorder, kExecutable);
        WriteText(bin / "FlimbsPackageInstaller", recorder, kExecutable);
        // The tools the registrar runs note each start, then do their work.
        for (const char* tool : {"update-mime-database", "update-desktop-database", "xdg-mime"})
            WriteText(tools / tool,
                      std::string("#!/bin/sh\necho ") + tool + " >> \"" + (base / "tools.log").string() +
                          "\"\nexec /usr/bin/" + tool + " \"$@\"\n",
                      kExecutable);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(base, ignored);
    }

    std::vector<std::string> Environment(const std::string& path) const
    {
        const char* dataDirs = std::getenv("XDG_DATA_DIRS");
        return {"HOME=" + home.string(),
                "XDG_DATA_HOME=" + dataHome.string(),
                "XDG_CONFIG_HOME=" + configHome.string(),
                "XDG_RUNTIME_DIR=" + runtime.string(),
                std::string("XDG_DATA_DIRS=") + (dataDirs && *dataDirs ? dataDirs : "/usr/local/share:/usr/share"),
                "PATH=" + path};
    }
    std::string FullPath() const { return tools.string() + ":/usr/bin:/bin"; }

    CommandRun Register(const std::string& path)
    {
        return RunCommand({(bin / "SteamFlimbsInstall").string()}, Environment(path), base / "registrar.out");
    }
    // A desktop tool run in the same home.
    CommandRun Tool(const std::vector<std::string>& arguments)
    {
        return RunCommand(arguments, Environment("/usr/bin:/bin"), base / "tool.out");
    }
    std::string Trimmed(const std::string& text) const
    {
        const size_t end = text.find_last_not_of(" \r\n");
        return end == std::string::npos ? std::string() : text.substr(0, end + 1);
    }

    fs::path base, home, dataHome, configHome, runtime, tools, bin;
};

TEST_F(Registrar, RegistersBothTypesForTheDesktopAndChangesNothingTheSecondTime)
{
    const CommandRun first = Register(FullPath());
    ASSERT_EQ(first.status, 0) << first.output;
    const fs::path applications = dataHome / "applications";
    for (const char* entry : {kLevelEditEntry, kLevelPlayEntry, kPackageInstallEntry}) {
        const CommandRun valid = Tool({"/usr/bin/desktop-file-validate", (applications / entry).string()});
        EXPECT_EQ(valid.status, 0) << entry << ": " << valid.output;
        EXPECT_EQ(valid.output, "") << entry;
    }
    EXPECT_TRUE(fs::exists(dataHome / "mime/packages/flimbs.xml"));

    // Files are known by their names.
    const fs::path files = base / "files";
    fs::create_directories(files);
    const fs::path level = files / "a b.flevel";
    WriteText(files / "plain.xml", "<flimbs-level/>\n");
    ASSERT_EQ(Tool({"/bin/sh", "-c", "gzip -9 -c '" + (files / "plain.xml").string() + "' > '" + level.string() + "'"})
                  .status,
              0);
    const fs::path package = files / "pack.fpak";
    ASSERT_EQ(Tool({"/usr/bin/python3", "-c",
                    "import zipfile,sys; zipfile.ZipFile(sys.argv[1],'w').writestr('package.xml','<p/>')",
                    package.string()})
                  .status,
              0);
    EXPECT_EQ(Trimmed(Tool({"/usr/bin/xdg-mime", "query", "filetype", level.string()}).output), kLevelMimeType);
    EXPECT_EQ(Trimmed(Tool({"/usr/bin/xdg-mime", "query", "filetype", package.string()}).output), kPackageMimeType);
    EXPECT_EQ(Trimmed(Tool({"/usr/bin/xdg-mime", "query", "default", kLevelMimeType}).output), kLevelEditEntry);
    EXPECT_EQ(Trimmed(Tool({"/usr/bin/xdg-mime", "query", "default", kPackageMimeType}).output),
              kPackageInstallEntry);

    // Launched by the desktop, each entry hands its program exactly its switch and the file.
    struct Launch {
        const char* entry;
        fs::path file;
        const char* program;
        std::string expected;
    } launches[] = {{kLevelPlayEntry, level, "FlimbsGame", "-l\n" + level.string() + "\n"},
                    {kLevelEditEntry, level, "FlimbsGame", "-e\n" + level.string() + "\n"},
                    {kPackageInstallEntry, package, "FlimbsPackageInstaller", package.string() + "\n"}};
    for (const Launch& launch : launches) {
        const fs::path record = bin / (std::string(launch.program) + ".args");
        fs::remove(record);
        const CommandRun run = Tool({"/usr/bin/gio", "launch", (applications / launch.entry).string(), launch.file.string()});
        EXPECT_EQ(run.status, 0) << launch.entry << ": " << run.output;
        // The launcher does not wait for the program.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (ReadText(record).empty() && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        EXPECT_EQ(ReadText(record), launch.expected) << launch.entry;
    }

    // A second run finds everything in place: no byte changes and no tool runs.
    const auto data = Snapshot(dataHome), config = Snapshot(configHome);
    const std::string toolsRun = ReadText(base / "tools.log");
    EXPECT_NE(toolsRun, "");
    const CommandRun second = Register(FullPath());
    EXPECT_EQ(second.status, 0) << second.output;
    EXPECT_EQ(Snapshot(dataHome), data);
    EXPECT_EQ(Snapshot(configHome), config);
    EXPECT_EQ(ReadText(base / "tools.log"), toolsRun);
}

TEST_F(Registrar, AnExistingDefaultAndAnEditedEntryStay)
{
    const std::string mimeapps = "[Default Applications]\napplication/x-flimbs-level=my-editor.desktop\n";
    WriteText(configHome / "mimeapps.list", mimeapps);
    WriteText(dataHome / "applications/my-editor.desktop",
              "[Desktop Entry]\nType=Application\nName=My editor\nExec=true %f\n");
    const std::string edited = "[Desktop Entry]\nType=Application\nName=Mine\nExec=true %f\n";
    WriteText(dataHome / "applications" / kLevelPlayEntry, edited);

    const CommandRun run = Register(FullPath());
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(ReadText(dataHome / "applications" / kLevelPlayEntry), edited);
    EXPECT_EQ(Trimmed(Tool({"/usr/bin/xdg-mime", "query", "default", kLevelMimeType}).output), "my-editor.desktop");
    EXPECT_EQ(Trimmed(Tool({"/usr/bin/xdg-mime", "query", "default", kPackageMimeType}).output),
              kPackageInstallEntry);
}

TEST_F(Registrar, WithoutTheGameNothingIsWritten)
{
    fs::remove(bin / "FlimbsGame");
    const CommandRun run = Register(FullPath());
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("FlimbsGame not found"), std::string::npos) << run.output;
    EXPECT_TRUE(Snapshot(dataHome).empty());
    EXPECT_TRUE(Snapshot(configHome).empty());
    EXPECT_EQ(ReadText(base / "tools.log"), "");
}

TEST_F(Registrar, WithoutXdgMimeTheDefaultsGoIntoMimeappsListKeepingItsBytes)
{
    // Only the two database tools can be found.
    fs::remove(tools / "xdg-mime");
    const std::string odd = "# my defaults\r\n[Added Associations]\r\ntext/plain=gedit.desktop;\r\n"
                            "[Default Applications]\r\n; a comment\r\napplication/x-flimbs-package=mine.desktop\r\n";
    WriteText(configHome / "mimeapps.list", odd);
    const CommandRun run = Register(tools.string());
    ASSERT_EQ(run.status, 0) << run.output;
    EXPECT_NE(run.output.find("xdg-mime not found"), std::string::npos) << run.output;
    EXPECT_EQ(ReadText(configHome / "mimeapps.list"),
              "# my defaults\r\n[Added Associations]\r\ntext/plain=gedit.desktop;\r\n"
              "[Default Applications]\r\napplication/x-flimbs-level=flimbs-level-edit.desktop\r\n; a comment\r\n"
              "application/x-flimbs-package=mine.desktop\r\n");
}

TEST_F(Registrar, TheFirstFailureIsNamedAndEndsWithTwo)
{
    // No tool at all can be found: the files are written, the first tool that cannot start
    // is what the run reports.
    const fs::path empty = base / "no tools";
    fs::create_directories(empty);
    const CommandRun run = Register(empty.string());
    EXPECT_EQ(run.status, 2) << run.output;
    EXPECT_NE(run.output.find("failed: update-mime-database cannot be started"), std::string::npos) << run.output;
    EXPECT_TRUE(fs::exists(dataHome / "applications" / kLevelEditEntry));
    EXPECT_NE(ReadText(configHome / "mimeapps.list").find("application/x-flimbs-level=flimbs-level-edit.desktop"),
              std::string::npos);
}

TEST(RegistrarText, ExecArgumentsAreQuotedForDesktopEntries)
{
    const struct {
        const char* argument;
        const char* value;
    } cases[] = {{"/opt/flimbs/Bin/FlimbsGame", "\"/opt/flimbs/Bin/FlimbsGame\""},
                 {"/a b/100%/x", "\"/a b/100%%/x\""},
                 {"/q\"d`b$s\\e", "\"/q\\\\\"d\\\\`b\\\\$s\\\\\\\\e\""}};
    for (const auto& c : cases)
        EXPECT_EQ(DesktopExecArgument(c.argument), c.value) << c.argument;
}

TEST(RegistrarText, ADefaultIsAddedToMimeappsListWithEveryOtherByteKept)
{
    const struct {
        const char* label;
        const char* before;
        const char* after;
    } cases[] = {
        {"empty", "", "[Default Applications]\nt/x=e.desktop\n"},
        {"no section, no last line end", "[Added Associations]\nt/y=a;",
         "[Added Associations]\nt/y=a;\n[Default Applications]\nt/x=e.desktop\n"},
        {"CRLF and comments", "#c\r\n[Default Applications]\r\n#d\r\n", "#c\r\n[Default Applications]\r\nt/x=e.desktop\r\n#d\r\n"},
        {"other section's key does not count", "[Added Associations]\nt/x=a;\n[Default Applications]\n",
         "[Added Associations]\nt/x=a;\n[Default Applications]\nt/x=e.desktop\n"},
        {"already set", "[Default Applications]\n t/x = mine.desktop\n", "[Default Applications]\n t/x = mine.desktop\n"},
    };
    for (const auto& c : cases) {
        bool changed = false;
        EXPECT_EQ(WithDefaultApplication(c.before, "t/x", "e.desktop", changed), c.after) << c.label;
        EXPECT_EQ(changed, std::string(c.before) != c.after) << c.label;
    }
}

} // namespace
