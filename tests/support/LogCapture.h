#pragma once
// Collects every log line written while it lives (through the log's console echo), from
// any thread.
#include "app/Log.h"

#include <functional>
#include <mutex>
#include <string>

class LogCapture {
public:
    LogCapture()
    {
        SetLogEcho([this](const std::string& line, uint32_t) {
            std::function<void(const std::string&)> onLine;
            {
                std::lock_guard lock(mutex_);
                text_ += line;
                onLine = onLine_;
            }
            if (onLine)
                onLine(line);
        });
    }
    ~LogCapture() { SetLogEcho(nullptr); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // The text so far; read it while no other thread is logging (or copy it with Copy).
    const std::string& Text() const { return text_; }
    std::string Copy() const
    {
        std::lock_guard lock(mutex_);
        return text_;
    }
    bool Contains(const std::string& part) const { return Copy().find(part) != std::string::npos; }
    void Clear()
    {
        std::lock_guard lock(mutex_);
        text_.clear();
    }

    // Called with each line as it is written, on the writing thread, outside the lock.
    void OnLine(std::function<void(const std::string&)> onLine)
    {
        std::lock_guard lock(mutex_);
        onLine_ = std::move(onLine);
    }

private:
    mutable std::mutex mutex_;
    std::string text_;
    std::function<void(const std::string&)> onLine_;
};
