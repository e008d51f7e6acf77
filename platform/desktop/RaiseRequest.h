#pragma once
// Asking a running game to bring its window to the front. The game listens on a Unix-domain
// socket private to the user (mode 0600 in $XDG_RUNTIME_DIR, else in the user folder, and
// only connections of the same user are heard); a companion program connects and sends one
// request.
#include <string>

namespace platform {

// The socket's path for a user folder: in $XDG_RUNTIME_DIR when it is set to an absolute
// path, else in `userRoot`; the name carries a digest of `userRoot`, so games of different
// user folders do not meet.
std::string RaiseSocketPath(const std::string& userRoot);

class RaiseListener {
public:
    RaiseListener() = default;
    // Stop().
    ~RaiseListener();
    RaiseListener(const RaiseListener&) = delete;
    RaiseListener& operator=(const RaiseListener&) = delete;

    // Listens at the path, taking over a socket file nobody answers at. False (and a log
    // line) when another program listens there already or the socket cannot be made.
    bool Start(const std::string& path);
    // Closes the socket and removes its file.
    void Stop();
    bool IsListening() const { return fd_ >= 0; }
    const std::string& Path() const { return path_; }

    // Never blocks: accepts the waiting connections and returns how many raise requests they
    // brought (connections of other users and other messages are dropped).
    int Poll();

private:
    int fd_ = -1;
    std::string path_;
};

// Sends one raise request; false when nobody listens there (or the request could not be
// sent within a short time).
bool SendRaiseRequest(const std::string& path);

} // namespace platform
