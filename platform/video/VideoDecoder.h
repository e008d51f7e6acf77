#pragma once
// Decoding of an Ogg file held in memory: its Theora video stream frame by frame, and its
// Vorbis sound stream (when there is one) as the pages come by. Synchronous; the player
// runs it on its own thread.
//
// Clips are untrusted: a file without a Theora stream, cut inside its headers, or with a
// picture beyond the limits of VideoTypes.h is refused by Open with a reason; damaged data
// packets are skipped, and a stream that ends early simply has no more frames.
#include "platform/video/VideoTypes.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform::video {

class VideoDecoder {
public:
    VideoDecoder();
    ~VideoDecoder();
    VideoDecoder(const VideoDecoder&) = delete;
    VideoDecoder& operator=(const VideoDecoder&) = delete;

    // Reads the headers. The bytes must outlive the decoder. With scanDuration the file's
    // last video page gives the duration (else it stays 0).
    bool Open(const uint8_t* data, size_t size, std::string& error, bool scanDuration = true);
    const VideoInfo& Info() const { return info_; }

    // Decodes the next frame; false when the video stream has no more. `time` is its
    // presentation time, `index` its frame number.
    bool DecodeNextFrame(int64_t& time, int64_t& index);
    // Converts the frame decoded last into info().width x height pixels.
    void ConvertFrame(const KeyRule& key, uint32_t* out) const;
    // Start time of frame `index`.
    int64_t FrameTime(int64_t index) const;

    // Sound decoded so far is appended to `out` (interleaved 16-bit samples); returns the
    // number of sample frames moved. Sound is dropped unless wanted.
    size_t TakeSound(std::vector<int16_t>& out);
    void SetSoundWanted(bool wanted) { soundWanted_ = wanted; }
    // Sample frames decoded (taken or dropped) before the next one TakeSound gives.
    int64_t SoundFramesTaken() const;

private:
    struct State;
    bool ReadHeaders(std::string& error);
    // Reads the next page into its stream; false at the end of the data.
    bool ReadPage();
    void DecodeSound();
    void ScanDuration();

    std::unique_ptr<State> state_;
    VideoInfo info_;
    bool soundWanted_ = false;
};

} // namespace platform::video
