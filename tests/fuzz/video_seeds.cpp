// Writes the seed clips of fuzz_video into a folder: a small clip with sound, the same
// without sound, and the first one cut in half.
#include "tools/videogen/OgvWriter.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: video_seeds <folder>\n");
        return 2;
    }
    const std::string folder = argv[1];
    videogen::VideoFormat format;
    format.width = 40;
    format.height = 24;
    format.fps = 10;
    format.frames = 6;
    format.quality = 20;
    const auto frames = [&](int frame, std::vector<uint32_t>& argb) {
        for (int y = 0; y < format.height; ++y)
            for (int x = 0; x < format.width; ++x)
                argb[size_t(y) * format.width + x] = (x + frame * 4) % 16 < 8 ? 0xFF000000u : 0xFF3B2C6Eu;
    };
    std::vector<float> sound(4000);
    for (size_t i = 0; i < sound.size(); ++i)
        sound[i] = 0.3f * std::sin(float(i) * 0.1f);
    std::string error;
    if (!videogen::WriteOgv(folder + "/sound.ogv", format, frames, sound, 8000, error) ||
        !videogen::WriteOgv(folder + "/silent.ogv", format, frames, {}, 8000, error)) {
        std::fprintf(stderr, "video_seeds: %s\n", error.c_str());
        return 1;
    }
    std::ifstream in(folder + "/sound.ogv", std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream(folder + "/cut.ogv", std::ios::binary).write(bytes.data(), std::streamsize(bytes.size() / 2));
    return 0;
}
