#pragma once
// Widening of the 16-bit sequence numbers and times of the reliable stream's wire format.
#include <cstdint>

// Widens a 16-bit value against a 32-bit reference: the result has the value as its low
// half and lies within 32767 of the reference (the high half moves by one across a wrap).
constexpr uint32_t ExtendSeq16(uint16_t value, uint32_t reference)
{
    int64_t high = reference >> 16;
    const int64_t difference = int64_t(value) - int64_t(reference & 0xFFFFu);
    if (difference > 32767)
        high -= 1;
    else if (difference < -32767)
        high += 1;
    return uint32_t(high * 65536 + value);
}
