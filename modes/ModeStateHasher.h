#pragma once
// A 64-bit FNV-1a accumulator over the fields of a game mode, fed in a fixed order; the
// world state hash takes its result.
#include <cstdint>
#include <string_view>

class ModeStateHasher {
public:
    void Add(uint64_t value)
    {
        for (int i = 0; i < 8; ++i)
            Byte(uint8_t(value >> (i * 8)));
    }
    void Add(int64_t value) { Add(uint64_t(value)); }
    void Add(int32_t value) { Add(uint64_t(uint32_t(value))); }
    void Add(uint32_t value) { Add(uint64_t(value)); }
    void Add(bool value) { Byte(value ? 1 : 0); }
    void Add(uint8_t value) { Byte(value); }
    void Add(std::string_view text)
    {
        Add(uint64_t(text.size()));
        for (char c : text)
            Byte(uint8_t(c));
    }
    uint64_t Value() const { return state_; }

private:
    void Byte(uint8_t b)
    {
        state_ ^= b;
        state_ *= 1099511628211ull;
    }
    uint64_t state_ = 14695981039346656037ull;
};
