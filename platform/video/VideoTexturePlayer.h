#pragma once
// Video playback into textures: a clip held in memory is decoded on a thread of its own a
// few frames ahead of the playing position; the owner's frame loop moves the position and
// takes the frame that is due, which it copies into its texture.
//
// The position is the owner's (it follows the game clock); the player never looks at a
// clock. A frame that is due but not decoded yet is waited for (briefly), so a position
// always shows the same frame, however fast the machine.
#include "platform/video/VideoTypes.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace platform::video {

class VideoTexturePlayer {
public:
    VideoTexturePlayer();
    // Stops and joins the decoder thread.
    ~VideoTexturePlayer();
    VideoTexturePlayer(const VideoTexturePlayer&) = delete;
    VideoTexturePlayer& operator=(const VideoTexturePlayer&) = delete;

    // Takes the clip's bytes and reads its headers; false with the reason when the clip
    // cannot be played.
    bool Open(std::vector<uint8_t> bytes, std::string& error);
    bool IsOpen() const { return open_; }
    const VideoInfo& Info() const { return info_; }

    // The key of the frames decoded from the next Play on.
    void SetKey(const KeyRule& key) { key_ = key; }
    const KeyRule& Key() const { return key_; }
    // Decode the sound stream too (taken with TakeSound).
    void SetSoundWanted(bool wanted) { soundWanted_ = wanted; }

    // (Re)starts from the clip's first frame on a new decoder thread; frames before `start`
    // are decoded but never shown, decoding stops after `stop` (0 or less: the clip's end).
    // False (logged) when the thread cannot be made.
    bool Play(int64_t start, int64_t stop);
    // Stops and joins the decoder thread; the current frame stays.
    void Halt();

    // Main thread. Makes the last frame at or before the position the current one; true
    // when it changed.
    bool AdvanceTo(int64_t position);
    // True once the position has reached the stop, or when the clip had no more frames and
    // the position has passed the end of the last one.
    bool ReachedEnd(int64_t position) const;
    // The decoder thread has nothing more to give for the present play.
    bool DecoderEnded() const;
    // The stop of the present play (the duration when none was given).
    int64_t StopPosition() const { return stop_; }

    // Calls fn(pixels, width, height) under the frame lock with the current frame, when
    // there is one. Counts every change of the current frame.
    void WithCurrentFrame(const std::function<void(const uint32_t*, int, int)>& fn) const;
    uint64_t FrameSerial() const;
    // Time of the current frame; -1 before the first.
    int64_t CurrentFrameTime() const;

    // Sound decoded since the last call for the present play (interleaved 16-bit samples of
    // info().soundChannels channels) is appended to out; returns the sample frames moved.
    size_t TakeSound(std::vector<int16_t>& out);

private:
    struct Frame {
        int64_t time = -1;
        std::vector<uint32_t> pixels;
    };
    void Decode(int64_t start, int64_t stop, KeyRule key, bool sound);

    std::vector<uint8_t> bytes_;
    VideoInfo info_;
    bool open_ = false;
    KeyRule key_;
    bool soundWanted_ = false;
    int64_t stop_ = 0;

    mutable std::mutex lock_;
    std::condition_variable framesReady_; // a frame was queued or decoding ended
    std::condition_variable spaceFree_;   // a frame was taken or a halt was asked
    std::deque<Frame> queue_;
    std::vector<std::vector<uint32_t>> spare_;
    Frame current_;
    uint64_t serial_ = 0;
    bool halt_ = false;
    bool ended_ = true;          // the decoder has nothing more for this play
    int64_t nextFrameTime_ = 0;  // start time of the next frame the decoder gives
    int64_t lastFrameEnd_ = 0;   // end of the last frame decoded for this play
    std::vector<int16_t> sound_;
    std::thread thread_;
};

} // namespace platform::video
