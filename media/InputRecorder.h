#pragma once
// The recorded input of one device and its mode: off, recording or playing back.

#include "media/InputDevice.h"

#include <cstddef>
#include <vector>

class InputRecorder {
public:
    InputMode Mode() const { return mode_; }
    // Record empties the list; Playback starts from its first record.
    void SetMode(InputMode mode);

    void Add(int kind, int code, int value, uint32_t time);
    const std::vector<RecordedInput>& Records() const { return records_; }
    void SetRecords(std::vector<RecordedInput> records);

    // Playback: hands `play` every record up to `now`, in order. At the end of the list
    // the mode returns to Off. Returns the number of records played.
    template <typename PlayFn>
    std::size_t PlayUntil(uint32_t now, PlayFn&& play)
    {
        std::size_t played = 0;
        while (mode_ == InputMode::Playback && position_ < records_.size()) {
            const RecordedInput& record = records_[position_];
            if (record.time > now)
                return played;
            ++position_;
            ++played;
            play(record);
        }
        if (mode_ == InputMode::Playback)
            mode_ = InputMode::Off;
        return played;
    }

private:
    InputMode mode_ = InputMode::Off;
    std::vector<RecordedInput> records_;
    std::size_t position_ = 0;
};
