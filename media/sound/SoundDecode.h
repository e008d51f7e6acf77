#pragma once
// Decoding of sound files held in memory: WAV (PCM, 8 or 16 bits) and Ogg Vorbis, into
// interleaved signed 16-bit samples of one or two channels.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace sound {

struct PcmSound {
    int channels = 0;
    int sampleRate = 0;
    std::vector<int16_t> samples; // interleaved
};

// Decodes a whole WAV or Ogg Vorbis file (told apart by its first bytes). On failure
// `error` says why.
bool DecodeSound(const std::vector<uint8_t>& bytes, PcmSound& out, std::string& error);

// Reads an Ogg Vorbis stream piece by piece, for streaming.
class OggDecoder {
public:
    OggDecoder();
    ~OggDecoder();
    OggDecoder(const OggDecoder&) = delete;
    OggDecoder& operator=(const OggDecoder&) = delete;

    // Takes the file's bytes; false (with `error`) when they are not an Ogg Vorbis stream
    // of one or two channels.
    bool Open(std::vector<uint8_t> bytes, std::string& error);
    int Channels() const { return channels_; }
    int SampleRate() const { return sampleRate_; }
    // Length in seconds.
    double Duration() const;
    // Fills up to `maxSamples` interleaved samples; returns how many. 0 means the end of the
    // stream (or a stream that cannot be read further).
    size_t Read(int16_t* out, size_t maxSamples);
    // Back to the first sample; false when the stream cannot seek.
    bool Rewind();

private:
    struct State;
    std::unique_ptr<State> state_;
    int channels_ = 0;
    int sampleRate_ = 0;
};

} // namespace sound
