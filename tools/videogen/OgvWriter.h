#pragma once
// Writes an Ogg file with a Theora video stream and, when there are samples, a Vorbis
// sound stream, pages interleaved by time. Stream serial numbers are fixed, so the same
// frames and samples always give the same file.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace videogen {

struct VideoFormat {
    int width = 0;
    int height = 0;
    int fps = 30;
    int frames = 0;
    int quality = 56; // Theora quality 0..63
};

// Fills `argb` (width x height, 0xAARRGGBB, rows of width pixels) with frame `frame`.
using FrameSource = std::function<void(int frame, std::vector<uint32_t>& argb)>;

// `sound`: mono samples in [-1, 1] at `sampleRate`; empty for no sound stream.
bool WriteOgv(const std::string& path, const VideoFormat& format, const FrameSource& frames,
              const std::vector<float>& sound, int sampleRate, std::string& error);

} // namespace videogen
