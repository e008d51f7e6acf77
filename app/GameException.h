#pragma once
// The exception for fatal set-up and resource errors. It owns its message, so it can be
// rethrown across threads and outlive the code that formatted it.

#include <exception>
#include <string>

class GameException : public std::exception {
public:
    explicit GameException(std::string message) : message_(std::move(message)) {}

    // printf-style construction: GameException::Format("Cannot load %s", name).
    static GameException Format(const char* format, ...) __attribute__((format(printf, 1, 2)));

    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const noexcept { return message_; }

private:
    std::string message_;
};
