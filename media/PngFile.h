#pragma once
// PNG files as 32-bit ARGB pixels: read through the global file manager, written to host
// paths.
#include <cstdint>
#include <string>
#include <vector>

class PNGReader {
public:
    // Reads and decodes the file; flags are reserved (pass 1). False, with a log line,
    // when the file is missing or does not decode.
    bool Init(const std::string& path, int flags = 1);
    int Width() const { return width_; }
    int Height() const { return height_; }
    const std::vector<uint32_t>& Pixels() const { return argb_; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> argb_;
};

// Writes width x height ARGB pixels (top row first) with alpha. False when nothing was written.
bool WritePngFile(const std::string& hostPath, const uint32_t* argb, int width, int height);
