// Answers of the statistics service from untrusted bytes, handed to the client's querystat,
// validate and checkpromo handlers. Whatever they store must read back consistently: a
// stored level answer has record kinds 0 .. 19 only.
//
// Input: byte 0 picks the handler; the rest is the answer body.
#include "FuzzHome.h"
#include "net/WebStats.h"

#include <google/protobuf/stubs/logging.h>

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void IgnoreProtobufLog(google::protobuf::LogLevel, const char*, int, const std::string&) {}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseTemporaryHome();
    DiscardLog();
    google::protobuf::SetLogHandler(IgnoreProtobufLog);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static WebStats stats{{}}; // no base URLs: the handlers never send
    const std::string body(reinterpret_cast<const char*>(data) + 1, size - 1);
    switch (data[0] % 3) {
    case 0: {
        stats.HandleQueryAnswer("intro", body);
        LevelStatsResult result;
        if (stats.GetLevelStats("Level\\intro.flevel", &result))
            for (const StatsRow& row : result.records)
                if (row.kind < 0 || row.kind > 19)
                    std::abort();
        break;
    }
    case 1:
        stats.HandleValidateAnswer("pilot\nsecret", body);
        (void)stats.IsAccountValid("pilot", "secret");
        break;
    default: (void)stats.HandlePromoAnswer(body); break;
    }
    return 0;
}
