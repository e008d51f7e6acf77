#include "registrar/FileTypeRegistrar.h"

#include "app/AtomicFile.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

namespace fs = std::filesystem;

constexpr const char* kName = "SteamFlimbsInstall";
constexpr const char* kDefaultsSection = "[Default Applications]";
constexpr auto kToolTimeLimit = std::chrono::seconds(60);

// ---- running tools ----------------------------------------------------------------------

struct ToolRun {
    bool started = false; // false: not found or not startable
    int error = 0;        // the start's error
    int status = -1;      // exit status once it ended; -1 when killed or stopped
    std::string output;   // its standard output, when captured
};

// Starts a tool by name through PATH, without a shell, and waits for it (killing it after
// the time limit). Its standard output is captured when asked.
ToolRun RunTool(const std::vector<std::string>& arguments, bool captureOutput)
{
    ToolRun run;
    int pipeEnds[2] = {-1, -1};
    if (captureOutput && ::pipe2(pipeEnds, O_CLOEXEC) != 0) {
        run.error = errno;
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (captureOutput)
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t child = 0;
    run.error = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (captureOutput)
        ::close(pipeEnds[1]);
    if (run.error != 0) {
        if (captureOutput)
            ::close(pipeEnds[0]);
        return run;
    }
    run.started = true;
    const auto deadline = std::chrono::steady_clock::now() + kToolTimeLimit;
    bool open = captureOutput;
    while (open && std::chrono::steady_clock::now() < deadline) {
        pollfd ready{pipeEnds[0], POLLIN, 0};
        if (::poll(&ready, 1, 100) <= 0)
            continue;
        char buffer[4096];
        const ssize_t got = ::read(pipeEnds[0], buffer, sizeof buffer);
        if (got > 0 && run.output.size() < (1u << 20))
            run.output.append(buffer, size_t(got));
        else if (got == 0 || (got < 0 && errno != EINTR))
            open = false;
    }
    if (captureOutput)
        ::close(pipeEnds[0]);
    int status = 0;
    pid_t ended = 0;
    while ((ended = ::waitpid(child, &status, WNOHANG)) == 0 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (ended == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        return run;
    }
    if (ended == child && WIFEXITED(status))
        run.status = WEXITSTATUS(status);
    return run;
}

// ---- one registration run -------------------------------------------------------------

class Registration {
public:
    Registration(const RegistrarSettings& settings, std::ostream& log) : settings_(settings), log_(log) {}

    int Run()
    {
        const std::string& d = settings_.programFolder;
        std::error_code error;
        if (d.empty() || !fs::is_regular_file(fs::path(d) / "FlimbsGame", error)) {
            log_ << kName << ": " << d << "/FlimbsGame not found; nothing registered\n";
            return 1;
        }
        const fs::path mimePackage = fs::path(settings_.dataHome) / "mime" / "packages" / "flimbs.xml";
        const fs::path applications = fs::path(settings_.dataHome) / "applications";
        const bool mimeWritten = WriteWhenAbsent(mimePackage, MimePackageText());

        bool levelEntries = false, packageEntry = false;
        if (const std::string problem = ProgramFolderProblem(d); !problem.empty()) {
            Fail("the program folder " + problem + "; no desktop entries written");
        } else {
            const std::string game = d + "/FlimbsGame";
            levelEntries |= WriteWhenAbsent(applications / kLevelEditEntry,
                                            DesktopEntryText("Edit Flimbs Level", kLevelMimeType, game, "-e %f"));
            levelEntries |= WriteWhenAbsent(applications / kLevelPlayEntry,
                                            DesktopEntryText("Play Flimbs Level", kLevelMimeType, game, "-l %f"));
            packageEntry = WriteWhenAbsent(applications / kPackageInstallEntry,
                                           DesktopEntryText("Install Flimbs Package", kPackageMimeType,
                                                            d + "/FlimbsPackageInstaller", "%f"));
        }

        // A type newly registered gets a default application unless it has one; asked before
        // the new entries join the desktop database, which would answer with them.
        struct Default {
            const char* type;
            const char* entry;
            bool wanted;
        };
        Default defaults[] = {{kLevelMimeType, kLevelEditEntry, mimeWritten || levelEntries},
                              {kPackageMimeType, kPackageInstallEntry, mimeWritten || packageEntry}};
        for (Default& entry : defaults)
            if (entry.wanted)
                entry.wanted = !HasDefault(entry.type);

        if (mimeWritten)
            RunUpdate({"update-mime-database", (fs::path(settings_.dataHome) / "mime").string()});
        if (levelEntries || packageEntry)
            RunUpdate({"update-desktop-database", applications.string()});
        for (const Default& entry : defaults)
            if (entry.wanted)
                SetDefault(entry.type, entry.entry);

        if (!firstFailure_.empty()) {
            log_ << kName << ": failed: " << firstFailure_ << "\n";
            return 2;
        }
        return 0;
    }

private:
    void Fail(const std::string& what)
    {
        log_ << kName << ": " << what << "\n";
        if (firstFailure_.empty())
            firstFailure_ = what;
    }

    // Desktop entries are UTF-8 lines: a folder that cannot be written into one is refused.
    static std::string ProgramFolderProblem(const std::string& folder)
    {
        for (unsigned char c : folder)
            if (c < 0x20 || c == 0x7F)
                return "holds a control character";
        for (size_t i = 0; i < folder.size();) {
            const unsigned char c = static_cast<unsigned char>(folder[i]);
            const size_t length = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
            if (length == 0 || i + length > folder.size())
                return "is not UTF-8";
            for (size_t k = 1; k < length; ++k)
                if ((static_cast<unsigned char>(folder[i + k]) >> 6) != 2)
                    return "is not UTF-8";
            i += length;
        }
        return {};
    }

    // True when the file was written now; an existing one is left as it is.
    bool WriteWhenAbsent(const fs::path& path, const std::string& text)
    {
        std::error_code error;
        if (fs::exists(fs::symlink_status(path, error))) {
            log_ << kName << ": " << path.string() << " is there already; left alone\n";
            return false;
        }
        fs::create_directories(path.parent_path(), error);
        if (!SaveBytesAtomically(path.string(), text.data(), text.size())) {
            Fail("cannot write " + path.string());
            return false;
        }
        log_ << kName << ": wrote " << path.string() << "\n";
        return true;
    }

    void RunUpdate(const std::vector<std::string>& arguments)
    {
        log_ << kName << ": running " << arguments[0] << "\n";
        const ToolRun run = RunTool(arguments, false);
        if (!run.started)
            Fail(arguments[0] + " cannot be started (" + std::strerror(run.error) + ")");
        else if (run.status != 0)
            Fail(arguments[0] + " failed" + (run.status > 0 ? " with status " + std::to_string(run.status) : ""));
    }

    std::string MimeAppsPath() const { return (fs::path(settings_.configHome) / "mimeapps.list").string(); }

    std::string ReadMimeApps() const
    {
        std::ifstream in(MimeAppsPath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    bool HasDefault(const char* type)
    {
        if (!xdgMimeMissing_) {
            const ToolRun run = RunTool({"xdg-mime", "query", "default", type}, true);
            if (run.started) {
                if (run.status != 0) {
                    Fail(std::string("xdg-mime query default ") + type + " failed");
                    return true; // unknown: leave it alone
                }
                return run.output.find_first_not_of(" \t\r\n") != std::string::npos;
            }
            xdgMimeMissing_ = true;
            log_ << kName << ": xdg-mime not found; defaults go into " << MimeAppsPath() << "\n";
        }
        return HasDefaultApplication(ReadMimeApps(), type);
    }

    void SetDefault(const char* type, const char* entry)
    {
        if (!xdgMimeMissing_) {
            log_ << kName << ": running xdg-mime default " << entry << " " << type << "\n";
            const ToolRun run = RunTool({"xdg-mime", "default", entry, type}, false);
            if (run.started) {
                if (run.status != 0)
                    Fail(std::string("xdg-mime default ") + entry + " " + type + " failed");
                return;
            }
            xdgMimeMissing_ = true;
            log_ << kName << ": xdg-mime not found; defaults go into " << MimeAppsPath() << "\n";
        }
        bool changed = false;
        const std::string text = WithDefaultApplication(ReadMimeApps(), type, entry, changed);
        if (!changed)
            return;
        std::error_code error;
        fs::create_directories(settings_.configHome, error);
        if (!SaveBytesAtomically(MimeAppsPath(), text.data(), text.size()))
            Fail("cannot write " + MimeAppsPath());
        else
            log_ << kName << ": " << type << " opens with " << entry << " (" << MimeAppsPath() << ")\n";
    }

    const RegistrarSettings& settings_;
    std::ostream& log_;
    std::string firstFailure_;
    bool xdgMimeMissing_ = false;
};

std::string HomeFolder()
{
    const char* home = std::getenv("HOME");
    return home ? home : "";
}

// An XDG folder variable: an absolute path, else the fallback below the home folder.
std::string XdgFolder(const char* variable, const char* fallback)
{
    const char* value = std::getenv(variable);
    if (value && value[0] == '/')
        return value;
    return HomeFolder() + fallback;
}

// The lines of a text with their line ends.
std::vector<std::string> LinesOf(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find('\n', start);
        const size_t next = end == std::string::npos ? text.size() : end + 1;
        lines.push_back(text.substr(start, next - start));
        start = next;
    }
    return lines;
}

std::string Stripped(const std::string& line)
{
    const size_t first = line.find_first_not_of(" \t");
    const size_t last = line.find_last_not_of(" \t\r\n");
    return first == std::string::npos || last == std::string::npos || last < first ? std::string()
                                                                                    : line.substr(first, last - first + 1);
}

// Whether a line of a section sets the key.
bool SetsKey(const std::string& line, const std::string& key)
{
    const std::string stripped = Stripped(line);
    const size_t equals = stripped.find('=');
    return equals != std::string::npos && Stripped(stripped.substr(0, equals)) == key;
}

} // namespace

RegistrarSettings RegistrarSettingsFromEnvironment()
{
    RegistrarSettings settings;
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error)
        settings.programFolder = self.parent_path().string();
    settings.dataHome = XdgFolder("XDG_DATA_HOME", "/.local/share");
    settings.configHome = XdgFolder("XDG_CONFIG_HOME", "/.config");
    return settings;
}

int RegisterFileTypes(const RegistrarSettings& settings, std::ostream& log)
{
    return Registration(settings, log).Run();
}

std::string DesktopExecArgument(const std::string& argument)
{
    std::string quoted = "\"";
    for (char c : argument) {
        if (c == '"' || c == '`' || c == '$' || c == '\\')
            quoted += '\\';
        quoted += c;
        if (c == '%')
            quoted += '%';
    }
    quoted += '"';
    // The string-value escape applies on top of the quoting: every backslash is doubled.
    std::string value;
    for (char c : quoted) {
        value += c;
        if (c == '\\')
            value += '\\';
    }
    return value;
}

std::string DesktopEntryText(const std::string& name, const std::string& mimeType, const std::string& program,
                             const std::string& arguments)
{
    // A launcher that checks the program before expanding the field codes cannot find a
    // path holding "%%"; env, found on the PATH, starts such a program instead (unless the
    // path holds a '=', which env would take for a variable).
    const bool throughEnv = program.find('%') != std::string::npos && program.find('=') == std::string::npos;
    return "[Desktop Entry]\n"
           "Type=Application\n"
           "Name=" +
           name +
           "\n"
           "MimeType=" +
           mimeType +
           ";\n"
           "NoDisplay=true\n"
           "Exec=" +
           (throughEnv ? "env " : "") + DesktopExecArgument(program) + " " + arguments + "\n";
}

std::string MimePackageText()
{
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
           "  <mime-type type=\"application/x-flimbs-level\">\n"
           "    <comment>Flimbs Level</comment>\n"
           "    <glob pattern=\"*.flevel\"/>\n"
           "  </mime-type>\n"
           "  <mime-type type=\"application/x-flimbs-package\">\n"
           "    <comment>Flimbs Package</comment>\n"
           "    <sub-class-of type=\"application/zip\"/>\n"
           "    <glob pattern=\"*.fpak\"/>\n"
           "  </mime-type>\n"
           "</mime-info>\n";
}

bool HasDefaultApplication(const std::string& mimeapps, const std::string& mimeType)
{
    bool inSection = false;
    for (const std::string& line : LinesOf(mimeapps)) {
        const std::string stripped = Stripped(line);
        if (!stripped.empty() && stripped[0] == '[')
            inSection = stripped == kDefaultsSection;
        else if (inSection && SetsKey(line, mimeType))
            return true;
    }
    return false;
}

std::string WithDefaultApplication(const std::string& mimeapps, const std::string& mimeType,
                                   const std::string& entry, bool& changed)
{
    changed = false;
    if (HasDefaultApplication(mimeapps, mimeType))
        return mimeapps;
    changed = true;
    const std::vector<std::string> lines = LinesOf(mimeapps);
    const std::string key = mimeType + "=" + entry;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (Stripped(lines[i]) != kDefaultsSection)
            continue;
        const std::string& header = lines[i];
        const bool crlf = header.size() >= 2 && header.compare(header.size() - 2, 2, "\r\n") == 0;
        std::string text;
        for (size_t k = 0; k <= i; ++k)
            text += lines[k];
        if (header.back() != '\n')
            text += crlf ? "\r\n" : "\n";
        text += key + (crlf ? "\r\n" : "\n");
        for (size_t k = i + 1; k < lines.size(); ++k)
            text += lines[k];
        return text;
    }
    const std::string end = mimeapps.find("\r\n") != std::string::npos ? "\r\n" : "\n";
    std::string text = mimeapps;
    if (!text.empty() && text.back() != '\n')
        text += end;
    return text + kDefaultsSection + end + key + end;
}
