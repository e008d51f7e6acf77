#pragma once
// A small HTTP/1.1 server on 127.0.0.1 (a free port) for tests of web clients. It records
// every request (method, path, body and the multipart form field "data") and answers each
// path as the test planned: a status, a body (padded to a size), a delay, a redirect, or no
// answer at all until the server stops. Each connection is served on a thread of its own and
// closed after one answer. Paths without a plan get 404.
#include <condition_variable>
#include <list>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct HttpRequestRecord {
    std::string method;
    std::string path;
    std::string body;      // the request body as received (chunks joined)
    bool hasFormData = false;
    std::string formData;  // the multipart part named "data"
};

struct HttpReplyPlan {
    int status = 200;
    std::string body;
    size_t size = 0;       // when larger than the body, the body is padded to this length
    int delayMs = 0;       // waited before answering
    bool hang = false;     // never answers; the connection stays open until Stop
    bool held = false;     // answers once the test calls ReleaseHeld
    std::string location;  // a Location header (redirects)
    bool closeDelimited = false; // no Content-Length: the body ends when the connection closes

    // Copies with one more property.
    HttpReplyPlan Delayed(int ms) const { return With([ms](HttpReplyPlan& p) { p.delayMs = ms; }); }
    HttpReplyPlan PaddedTo(size_t bytes) const { return With([bytes](HttpReplyPlan& p) { p.size = bytes; }); }
    HttpReplyPlan RedirectedTo(std::string path) const
    {
        return With([&path](HttpReplyPlan& p) { p.location = std::move(path); });
    }
    HttpReplyPlan Held() const { return With([](HttpReplyPlan& p) { p.held = true; }); }
    HttpReplyPlan WithoutLength() const { return With([](HttpReplyPlan& p) { p.closeDelimited = true; }); }

private:
    template <typename Change>
    HttpReplyPlan With(Change change) const
    {
        HttpReplyPlan copy = *this;
        change(copy);
        return copy;
    }
};

inline HttpReplyPlan HttpAnswer(int status, std::string body = {})
{
    HttpReplyPlan plan;
    plan.status = status;
    plan.body = std::move(body);
    return plan;
}
inline HttpReplyPlan HttpHang()
{
    HttpReplyPlan plan;
    plan.hang = true;
    return plan;
}

class LocalHttpServer {
public:
    LocalHttpServer();
    ~LocalHttpServer();
    LocalHttpServer(const LocalHttpServer&) = delete;
    LocalHttpServer& operator=(const LocalHttpServer&) = delete;

    int Port() const { return port_; }
    // "http://127.0.0.1:<port>" followed by the path.
    std::string Url(const std::string& path) const;

    void SetReply(const std::string& path, HttpReplyPlan plan);

    std::vector<HttpRequestRecord> Requests() const;
    std::vector<HttpRequestRecord> RequestsTo(const std::string& path) const;
    int CountTo(const std::string& path) const;
    // Waits (real time, generous) until `count` requests to the path arrived.
    bool WaitForRequests(const std::string& path, int count, int limitMs = 20000) const;

    // Lets every held answer go, now and from now on.
    void ReleaseHeld();

    // Closes every connection (hanging ones too) and joins the threads. Idempotent.
    void Stop();

private:
    void AcceptLoop();
    void Serve(int fd);
    // Reads more bytes into `buffer`; false on end, error or Stop.
    bool ReadMore(int fd, std::string& buffer);
    bool WaitOrStop(int delayMs);

    int listenFd_ = -1;
    int wakePipe_[2] = {-1, -1};
    int port_ = 0;
    std::thread acceptThread_;
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool stopping_ = false;
    bool heldReleased_ = false;
    std::map<std::string, HttpReplyPlan> plans_;
    std::vector<HttpRequestRecord> requests_;
    std::list<std::thread> connections_;
    std::vector<int> openFds_;
};
