// How long the statistics client's shutdown takes while its requests hang: a server that
// accepts connections (the kernel's backlog) and never answers, with 1, 4 or 16 queries in
// flight. The transfers would otherwise run their 20 s time-out.
#include "net/StatsSnapshot.h"
#include "net/WebStats.h"

#include <benchmark/benchmark.h>

#include <curl/curl.h>

#include <arpa/inet.h>
#include <chrono>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// A listening socket nobody accepts from: connections complete and then wait forever.
class SilentServer {
public:
    SilentServer()
    {
        fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(fd_, 128);
        ::getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &length);
        url_ = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/stats/";
    }
    ~SilentServer() { ::close(fd_); }
    const std::string& Url() const { return url_; }

private:
    int fd_ = -1;
    std::string url_;
};

void BM_ShutdownWithHungRequests(benchmark::State& state)
{
    static const bool curlReady = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK;
    if (!curlReady) {
        state.SkipWithError("libcurl did not start");
        return;
    }
    SilentServer server;
    StatsSnapshot match;
    match.matchGuid = "00112233-4455-6677-8899-aabbccddeeff";
    for (auto _ : state) {
        WebStats client{{server.Url(), ""}};
        for (int64_t i = 0; i < state.range(0); ++i)
            client.QueryLevelStats("Level\\level" + std::to_string(i) + ".flevel", match);
        // Let the requests reach the server and wait for their answers.
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const auto start = std::chrono::steady_clock::now();
        client.Shutdown();
        state.SetIterationTime(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
}
BENCHMARK(BM_ShutdownWithHungRequests)->Arg(1)->Arg(4)->Arg(16)->UseManualTime()->Unit(benchmark::kMillisecond)
    ->Iterations(10);

} // namespace
