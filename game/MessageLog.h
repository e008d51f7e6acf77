#pragma once
// A bounded list of text lines: the chat lines of players, the game's system messages and
// local notices that the HUD's chat views show. The owner sets the largest number of
// entries kept and the callback told of every addition.
#include <cstdint>
#include <deque>
#include <functional>
#include <string>

class MessageLog {
public:
    struct Entry {
        std::string text;
        int32_t sender = -1; // a player id, -1 for a system message
        uint32_t time = 0;   // game time when added
        float age = 0.0f;    // advanced by the chat views while the entry is shown
    };
    using ChangeCallback = std::function<void(int, int)>;

    explicit MessageLog(int32_t maxCount = 0) : maxCount_(maxCount) {}

    void SetMaxCount(int32_t maxCount) { maxCount_ = maxCount; }
    int32_t MaxCount() const { return maxCount_; }
    void SetChangeCallback(ChangeCallback callback) { callback_ = std::move(callback); }

    // Appends {text, sender, current game time, 0}; drops the oldest entry when the log then
    // holds more than the max count; then calls the callback with (0, 0).
    void Add(std::string text, int32_t sender);
    // Deletes every entry, or with systemOnly only those of sender -1 (the others keep their
    // order). The callback is not called.
    void Clear(bool systemOnly);

    const std::deque<Entry>& Entries() const { return entries_; }
    std::deque<Entry>& Entries() { return entries_; }

private:
    int32_t maxCount_;
    std::deque<Entry> entries_;
    ChangeCallback callback_;
};
