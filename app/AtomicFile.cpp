#include "app/AtomicFile.h"

#include "app/Log.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::atomic<int> g_injectedFailures{0};

// A new file keeps the mode of the file it replaces; a first save gets rw-r--r--.
mode_t ModeFor(const std::string& target)
{
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0)
        return existing.st_mode & 07777;
    return 0644;
}

bool SyncPath(const std::string& path, int flags)
{
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0 || errno == EINVAL; // some file systems cannot sync folders
    ::close(fd);
    return ok;
}

bool TakeInjectedFailure()
{
    int left = g_injectedFailures.load();
    while (left > 0)
        if (g_injectedFailures.compare_exchange_weak(left, left - 1))
            return true;
    return false;
}

} // namespace

AtomicFileSave::AtomicFileSave(std::string hostPath) : target_(std::move(hostPath))
{
    namespace fs = std::filesystem;
    if (target_.empty())
        return;
    const fs::path target(target_);
    std::error_code error;
    if (target.has_parent_path())
        fs::create_directories(target.parent_path(), error);
    std::string pattern = target_ + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        WriteLog("ERROR: cannot save [%s]: no temporary file (%s)\n", target_.c_str(), std::strerror(errno));
        return;
    }
    ::fchmod(fd, ModeFor(target_));
    ::close(fd);
    temporary_ = name.data();
}

AtomicFileSave::~AtomicFileSave()
{
    Abort();
}

bool AtomicFileSave::Commit()
{
    if (temporary_.empty())
        return false;
    if (TakeInjectedFailure()) {
        struct stat written {};
        if (::stat(temporary_.c_str(), &written) == 0)
            (void)::truncate(temporary_.c_str(), written.st_size / 2);
        WriteLog("ERROR: cannot save [%s]: write failed (injected)\n", target_.c_str());
        Abort();
        return false;
    }
    if (!SyncPath(temporary_, O_RDONLY)) {
        WriteLog("ERROR: cannot save [%s]: flush failed (%s)\n", target_.c_str(), std::strerror(errno));
        Abort();
        return false;
    }
    if (std::rename(temporary_.c_str(), target_.c_str()) != 0) {
        WriteLog("ERROR: cannot save [%s]: rename failed (%s)\n", target_.c_str(), std::strerror(errno));
        Abort();
        return false;
    }
    temporary_.clear();
    const std::filesystem::path folder = std::filesystem::path(target_).parent_path();
    SyncPath(folder.empty() ? "." : folder.string(), O_RDONLY | O_DIRECTORY);
    return true;
}

void AtomicFileSave::Abort()
{
    if (temporary_.empty())
        return;
    ::unlink(temporary_.c_str());
    temporary_.clear();
}

bool SaveFileAtomically(const std::string& hostPath, const std::function<bool(const std::string& temporaryPath)>& write)
{
    AtomicFileSave save(hostPath);
    if (!save.IsOpen())
        return false;
    if (!write(save.TemporaryPath())) {
        WriteLog("ERROR: cannot save [%s]: write failed\n", hostPath.c_str());
        return false; // the destructor removes the temporary
    }
    return save.Commit();
}

bool SaveBytesAtomically(const std::string& hostPath, const void* data, std::size_t size)
{
    return SaveFileAtomically(hostPath, [&](const std::string& temporary) {
        std::FILE* out = std::fopen(temporary.c_str(), "wb");
        if (!out)
            return false;
        const bool wrote = size == 0 || std::fwrite(data, 1, size, out) == size;
        return std::fclose(out) == 0 && wrote;
    });
}

void InjectAtomicSaveFailures(int count)
{
    g_injectedFailures = count < 0 ? 0 : count;
}
