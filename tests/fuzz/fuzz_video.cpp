// Video clips from untrusted bytes (user-made FlimbMasters bring their own): the headers
// are checked, the first frames decoded and keyed, the sound decoded.
#include "platform/video/VideoDecoder.h"

#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    platform::video::VideoDecoder decoder;
    decoder.SetSoundWanted(true);
    std::string error;
    if (!decoder.Open(data, size, error))
        return 0;
    const platform::video::VideoInfo& info = decoder.Info();
    std::vector<uint32_t> pixels(size_t(info.width) * size_t(info.height));
    std::vector<int16_t> sound;
    int64_t time = 0, index = 0;
    for (int frame = 0; frame < 8 && decoder.DecodeNextFrame(time, index); ++frame) {
        decoder.ConvertFrame(platform::video::KeyRule{0xF8F8F8u, 0u}, pixels.data());
        decoder.TakeSound(sound);
    }
    return 0;
}
