#include "game/MessageLog.h"

#include "world/WorldClock.h"

#include <algorithm>

void MessageLog::Add(std::string text, int32_t sender)
{
    entries_.push_back(Entry{std::move(text), sender, CurrentGameTime(), 0.0f});
    if (static_cast<int64_t>(entries_.size()) > maxCount_)
        entries_.pop_front();
    if (callback_)
        callback_(0, 0);
}

void MessageLog::Clear(bool systemOnly)
{
    if (!systemOnly) {
        entries_.clear();
        return;
    }
    std::erase_if(entries_, [](const Entry& entry) { return entry.sender == -1; });
}
