#include "LocalHttpServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cctype>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

constexpr size_t kMaxRequestBytes = 16u << 20;

std::string Lower(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    return text;
}

// The value of a header (name in lower case) in the header block, or empty.
std::string HeaderValue(const std::string& headers, const std::string& name)
{
    const std::string lowered = Lower(headers);
    size_t at = 0;
    while ((at = lowered.find("\r\n" + name + ":", at)) != std::string::npos) {
        const size_t start = at + 2 + name.size() + 1;
        const size_t end = headers.find("\r\n", start);
        std::string value = headers.substr(start, end == std::string::npos ? std::string::npos : end - start);
        value.erase(0, value.find_first_not_of(" \t"));
        return value;
    }
    return {};
}

std::string ReasonPhrase(int status)
{
    switch (status) {
    case 200: return "OK";
    case 301: return "Moved Permanently";
    case 302: return "Found";
    case 307: return "Temporary Redirect";
    case 404: return "Not Found";
    case 500: return "Internal Server Error";
    default: return "Status";
    }
}

// The part named "data" of a multipart/form-data body.
bool FindFormData(const std::string& contentType, const std::string& body, std::string& data)
{
    const size_t key = Lower(contentType).find("boundary=");
    if (key == std::string::npos)
        return false;
    std::string boundary = contentType.substr(key + 9);
    if (!boundary.empty() && boundary.front() == '"')
        boundary = boundary.substr(1, boundary.find('"', 1) - 1);
    boundary = boundary.substr(0, boundary.find(';'));
    const std::string delimiter = "--" + boundary;
    size_t at = body.find(delimiter);
    while (at != std::string::npos) {
        size_t start = at + delimiter.size();
        if (body.compare(start, 2, "--") == 0)
            break;
        start += 2; // CRLF after the delimiter
        const size_t headersEnd = body.find("\r\n\r\n", start);
        if (headersEnd == std::string::npos)
            return false;
        const size_t next = body.find("\r\n" + delimiter, headersEnd + 4);
        if (next == std::string::npos)
            return false;
        const std::string partHeaders = Lower(body.substr(start, headersEnd - start));
        if (partHeaders.find("name=\"data\"") != std::string::npos) {
            data = body.substr(headersEnd + 4, next - headersEnd - 4);
            return true;
        }
        at = next + 2;
    }
    return false;
}

void SendAll(int fd, const std::string& bytes)
{
    size_t sent = 0;
    while (sent < bytes.size()) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0)
            return;
        sent += size_t(n);
    }
}

} // namespace

LocalHttpServer::LocalHttpServer()
{
    if (::pipe2(wakePipe_, O_CLOEXEC) != 0)
        return;
    listenFd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const int yes = 1;
    ::setsockopt(listenFd_, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listenFd_, 64) != 0 ||
        ::getsockname(listenFd_, reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return;
    port_ = ntohs(address.sin_port);
    acceptThread_ = std::thread([this] { AcceptLoop(); });
}

LocalHttpServer::~LocalHttpServer()
{
    Stop();
}

std::string LocalHttpServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(port_) + path;
}

void LocalHttpServer::SetReply(const std::string& path, HttpReplyPlan plan)
{
    std::lock_guard lock(mutex_);
    plans_[path] = std::move(plan);
}

std::vector<HttpRequestRecord> LocalHttpServer::Requests() const
{
    std::lock_guard lock(mutex_);
    return requests_;
}

std::vector<HttpRequestRecord> LocalHttpServer::RequestsTo(const std::string& path) const
{
    std::vector<HttpRequestRecord> found;
    for (HttpRequestRecord& request : Requests())
        if (request.path == path)
            found.push_back(std::move(request));
    return found;
}

int LocalHttpServer::CountTo(const std::string& path) const
{
    return int(RequestsTo(path).size());
}

void LocalHttpServer::ReleaseHeld()
{
    {
        std::lock_guard lock(mutex_);
        heldReleased_ = true;
    }
    changed_.notify_all();
}

bool LocalHttpServer::WaitForRequests(const std::string& path, int count, int limitMs) const
{
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(limitMs), [&] {
        return std::count_if(requests_.begin(), requests_.end(),
                             [&](const HttpRequestRecord& request) { return request.path == path; }) >= count;
    });
}

void LocalHttpServer::Stop()
{
    std::list<std::thread> connections;
    {
        std::lock_guard lock(mutex_);
        if (stopping_)
            return;
        stopping_ = true;
        for (const int fd : openFds_)
            ::shutdown(fd, SHUT_RDWR);
        connections.swap(connections_);
    }
    changed_.notify_all();
    if (wakePipe_[1] >= 0) {
        const char wake = 1;
        [[maybe_unused]] const ssize_t ignored = ::write(wakePipe_[1], &wake, 1);
    }
    if (acceptThread_.joinable())
        acceptThread_.join();
    {
        std::lock_guard lock(mutex_);
        connections.splice(connections.end(), connections_);
    }
    for (std::thread& connection : connections)
        connection.join();
    for (int* fd : {&listenFd_, &wakePipe_[0], &wakePipe_[1]})
        if (*fd >= 0) {
            ::close(*fd);
            *fd = -1;
        }
}

void LocalHttpServer::AcceptLoop()
{
    while (true) {
        pollfd watched[2] = {{listenFd_, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
        if (::poll(watched, 2, -1) < 0)
            continue;
        if (watched[1].revents)
            return;
        const int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            continue;
        std::lock_guard lock(mutex_);
        if (stopping_) {
            ::close(fd);
            return;
        }
        openFds_.push_back(fd);
        connections_.emplace_back([this, fd] { Serve(fd); });
    }
}

bool LocalHttpServer::ReadMore(int fd, std::string& buffer)
{
    pollfd watched[2] = {{fd, POLLIN, 0}, {wakePipe_[0], POLLIN, 0}};
    if (::poll(watched, 2, -1) <= 0 || watched[1].revents)
        return false;
    char chunk[16384];
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n <= 0 || buffer.size() + size_t(n) > kMaxRequestBytes)
        return false;
    buffer.append(chunk, size_t(n));
    return true;
}

bool LocalHttpServer::WaitOrStop(int delayMs)
{
    std::unique_lock lock(mutex_);
    if (delayMs < 0) {
        changed_.wait(lock, [this] { return stopping_; });
        return false;
    }
    return !changed_.wait_for(lock, std::chrono::milliseconds(delayMs), [this] { return stopping_; });
}

void LocalHttpServer::Serve(int fd)
{
    std::string buffer;
    size_t headersEnd = std::string::npos;
    while ((headersEnd = buffer.find("\r\n\r\n")) == std::string::npos) {
        // Anything but a request line (a TLS hello, say) is hung up on at once.
        if (!ReadMore(fd, buffer) || !std::isupper(static_cast<unsigned char>(buffer[0])))
            break;
    }

    HttpRequestRecord request;
    bool complete = headersEnd != std::string::npos;
    std::string headers;
    if (complete) {
        headers = buffer.substr(0, headersEnd + 2); // keeps the last CRLF for the header search
        const size_t lineEnd = headers.find("\r\n");
        const std::string line = headers.substr(0, lineEnd);
        const size_t space = line.find(' ');
        const size_t second = line.find(' ', space + 1);
        request.method = line.substr(0, space);
        request.path = line.substr(space + 1, second - space - 1);
        std::string rest = buffer.substr(headersEnd + 4);
        if (Lower(HeaderValue(headers, "transfer-encoding")).find("chunked") != std::string::npos) {
            // Chunks: hex size line, data, CRLF; a zero size ends them.
            size_t at = 0;
            while (complete) {
                size_t sizeEnd;
                while ((sizeEnd = rest.find("\r\n", at)) == std::string::npos)
                    if (!ReadMore(fd, rest)) {
                        complete = false;
                        break;
                    }
                if (!complete)
                    break;
                const size_t chunkSize = std::strtoul(rest.substr(at, sizeEnd - at).c_str(), nullptr, 16);
                if (chunkSize == 0)
                    break;
                while (rest.size() < sizeEnd + 2 + chunkSize + 2)
                    if (!ReadMore(fd, rest)) {
                        complete = false;
                        break;
                    }
                if (complete) {
                    request.body.append(rest, sizeEnd + 2, chunkSize);
                    at = sizeEnd + 2 + chunkSize + 2;
                }
            }
        } else {
            const size_t length = std::strtoul(HeaderValue(headers, "content-length").c_str(), nullptr, 10);
            while (complete && rest.size() < length)
                complete = ReadMore(fd, rest);
            request.body = rest.substr(0, length);
        }
    }

    if (complete) {
        request.hasFormData = FindFormData(HeaderValue(headers, "content-type"), request.body, request.formData);
        HttpReplyPlan plan;
        bool planned = false;
        {
            std::lock_guard lock(mutex_);
            const auto found = plans_.find(request.path);
            if (found != plans_.end()) {
                plan = found->second;
                planned = true;
            }
            requests_.push_back(request);
        }
        changed_.notify_all();
        if (!planned)
            plan.status = 404;
        bool answer = true;
        if (plan.hang) {
            WaitOrStop(-1);
            answer = false;
        } else if (plan.held) {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return heldReleased_ || stopping_; });
            answer = !stopping_;
        }
        if (answer && (plan.delayMs <= 0 || WaitOrStop(plan.delayMs))) {
            std::string body = plan.body;
            if (plan.size > body.size())
                body.resize(plan.size, 'x');
            std::string answer = "HTTP/1.1 " + std::to_string(plan.status) + " " + ReasonPhrase(plan.status) +
                                 "\r\nContent-Type: application/octet-stream\r\nConnection: close\r\n";
            if (!plan.closeDelimited)
                answer += "Content-Length: " + std::to_string(body.size()) + "\r\n";
            if (!plan.location.empty())
                answer += "Location: " + plan.location + "\r\n";
            answer += "\r\n";
            SendAll(fd, answer + body);
        }
    }

    std::lock_guard lock(mutex_);
    openFds_.erase(std::remove(openFds_.begin(), openFds_.end(), fd), openFds_.end());
    ::shutdown(fd, SHUT_WR);
    ::close(fd);
}
