// One 640 x 360 frame of the generated iris clip decoded and keyed (the iris key: channels
// below 8 transparent) on one core, and the keying alone. The clip loops: reopening it at
// the end is not timed.
#include "app/UserFolders.h"
#include "platform/image/ImageCodec.h"
#include "platform/video/VideoDecoder.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace video = platform::video;

namespace {

const std::vector<uint8_t>& Clip()
{
    static const std::vector<uint8_t> bytes = [] {
        std::vector<uint8_t> data;
        platform::image::ReadFileBytes(ProgramFolderFromExecutable() + "/Graphics/Logos/flimbs_iris_transition.ogv",
                                       data);
        return data;
    }();
    return bytes;
}

std::unique_ptr<video::VideoDecoder> OpenClip()
{
    auto decoder = std::make_unique<video::VideoDecoder>();
    std::string error;
    if (!decoder->Open(Clip().data(), Clip().size(), error, false))
        return nullptr;
    return decoder;
}

void BM_DecodeAndKeyFrame(benchmark::State& state)
{
    auto decoder = OpenClip();
    if (!decoder) {
        state.SkipWithError("the iris clip is missing: build the game folder first");
        return;
    }
    std::vector<uint32_t> pixels(640 * 360);
    const video::KeyRule key{0xF8F8F8u, 0u};
    for (auto _ : state) {
        int64_t time = 0, index = 0;
        if (!decoder->DecodeNextFrame(time, index)) {
            state.PauseTiming();
            decoder = OpenClip();
            decoder->DecodeNextFrame(time, index);
            state.ResumeTiming();
        }
        decoder->ConvertFrame(key, pixels.data());
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_DecodeAndKeyFrame)->Unit(benchmark::kMillisecond);

void BM_KeyFrameOnly(benchmark::State& state)
{
    auto decoder = OpenClip();
    int64_t time = 0, index = 0;
    if (!decoder || !decoder->DecodeNextFrame(time, index)) {
        state.SkipWithError("the iris clip is missing: build the game folder first");
        return;
    }
    std::vector<uint32_t> pixels(640 * 360);
    for (auto _ : state) {
        decoder->ConvertFrame(video::KeyRule{0xF8F8F8u, 0u}, pixels.data());
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_KeyFrameOnly)->Unit(benchmark::kMillisecond);

} // namespace
