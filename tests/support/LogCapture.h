#pragma once
// Collects every log line written while it lives (through the log's console echo).
#include "app/Log.h"

#include <string>

class LogCapture {
public:
    LogCapture()
    {
        SetLogEcho([this](const std::string& line, uint32_t) { text_ += line; });
    }
    ~LogCapture() { SetLogEcho(nullptr); }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    const std::string& Text() const { return text_; }
    bool Contains(const std::string& part) const { return text_.find(part) != std::string::npos; }
    void Clear() { text_.clear(); }

private:
    std::string text_;
};
