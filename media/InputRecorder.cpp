#include "media/InputRecorder.h"

void InputRecorder::SetMode(InputMode mode)
{
    mode_ = mode;
    if (mode == InputMode::Record)
        records_.clear();
    position_ = 0;
}

void InputRecorder::Add(int kind, int code, int value, uint32_t time)
{
    if (mode_ == InputMode::Record)
        records_.push_back({kind, code, value, time});
}

void InputRecorder::SetRecords(std::vector<RecordedInput> records)
{
    records_ = std::move(records);
    position_ = 0;
}
