#include "platform/desktop/RaiseRequest.h"

#include "platform/log_sink.h"

#include <cerrno>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

constexpr char kRequest[] = "raise\n";
constexpr int kAcceptsPerPoll = 16;

// Fills a socket address; false when the path does not fit.
bool MakeAddress(const std::string& path, sockaddr_un& address)
{
    std::memset(&address, 0, sizeof address);
    address.sun_family = AF_UNIX;
    if (path.empty() || path.size() >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
    return true;
}

bool SomebodyListens(const sockaddr_un& address)
{
    const int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return false;
    const bool answered = ::connect(probe, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 ||
                          errno == EAGAIN;
    ::close(probe);
    return answered;
}

bool IsSocketFile(const std::string& path)
{
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

// Reads the one request of an accepted connection, waiting at most a little for it.
bool ReadRequest(int connection)
{
    char buffer[sizeof kRequest] = {};
    size_t got = 0;
    for (int attempt = 0; attempt < 50 && got < sizeof kRequest - 1; ++attempt) {
        const ssize_t n = ::recv(connection, buffer + got, sizeof kRequest - 1 - got, MSG_DONTWAIT);
        if (n > 0) {
            got += size_t(n);
            continue;
        }
        if (n == 0 || (errno != EAGAIN && errno != EINTR))
            break;
        ::usleep(1000); // the sender writes right after connecting
    }
    return got == sizeof kRequest - 1 && std::memcmp(buffer, kRequest, got) == 0;
}

} // namespace

std::string RaiseSocketPath(const std::string& userRoot)
{
    std::string folder = userRoot;
    if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && runtime[0] == '/')
        folder = runtime;
    uint64_t digest = 14695981039346656037ull; // FNV-1a
    for (unsigned char c : userRoot) {
        digest ^= c;
        digest *= 1099511628211ull;
    }
    char name[64];
    std::snprintf(name, sizeof name, "/flimbs-raise-%016" PRIx64 ".sock", digest);
    return folder + name;
}

RaiseListener::~RaiseListener()
{
    Stop();
}

bool RaiseListener::Start(const std::string& path)
{
    Stop();
    sockaddr_un address{};
    if (!MakeAddress(path, address)) {
        PlatformLog("Raise requests: the socket path is too long: %s\n", path.c_str());
        return false;
    }
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        PlatformLog("Raise requests: no socket (%s)\n", std::strerror(errno));
        return false;
    }
    int bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    if (bound != 0 && errno == EADDRINUSE) {
        if (SomebodyListens(address)) {
            PlatformLog("Raise requests: another game listens at %s\n", path.c_str());
            ::close(fd);
            return false;
        }
        if (IsSocketFile(path))
            ::unlink(path.c_str()); // left behind by a game that ended without removing it
        bound = ::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address);
    }
    if (bound != 0 || ::chmod(path.c_str(), 0600) != 0 || ::listen(fd, 8) != 0) {
        PlatformLog("Raise requests: cannot listen at %s (%s)\n", path.c_str(), std::strerror(errno));
        ::close(fd);
        return false;
    }
    fd_ = fd;
    path_ = path;
    return true;
}

void RaiseListener::Stop()
{
    if (fd_ < 0)
        return;
    ::close(fd_);
    fd_ = -1;
    if (IsSocketFile(path_))
        ::unlink(path_.c_str());
    path_.clear();
}

int RaiseListener::Poll()
{
    int requests = 0;
    for (int i = 0; fd_ >= 0 && i < kAcceptsPerPoll; ++i) {
        const int connection = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            break;
        ucred peer{};
        socklen_t size = sizeof peer;
        const bool sameUser = ::getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 &&
                              peer.uid == ::geteuid();
        if (!sameUser)
            PlatformLog("Raise requests: a connection of another user was dropped\n");
        else if (ReadRequest(connection))
            ++requests;
        ::close(connection);
    }
    return requests;
}

bool SendRaiseRequest(const std::string& path)
{
    sockaddr_un address{};
    if (!MakeAddress(path, address))
        return false;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool sent = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0 &&
                      ::send(fd, kRequest, sizeof kRequest - 1, MSG_NOSIGNAL) == ssize_t(sizeof kRequest - 1);
    ::close(fd);
    return sent;
}

} // namespace platform
