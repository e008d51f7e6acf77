#pragma once
// The world state hash: one 64-bit value over everything the simulation holds, so that two
// runs, two processes or two peers can be compared update by update.
#include <cstdint>
#include <cstring>
#include <type_traits>

// FNV-1a over the bytes of the values added, in the order added.
class StateHasher {
public:
    template <typename T>
    void Add(T value)
    {
        static_assert(std::is_arithmetic_v<T> || std::is_enum_v<T>, "hash values, never pointers");
        unsigned char bytes[sizeof(T)];
        std::memcpy(bytes, &value, sizeof(T));
        AddBytes(bytes, sizeof(T));
    }
    void AddBytes(const void* data, size_t size)
    {
        const auto* p = static_cast<const unsigned char*>(data);
        for (size_t i = 0; i < size; ++i)
            hash_ = (hash_ ^ p[i]) * 0x100000001B3ull;
    }
    uint64_t Value() const { return hash_; }

private:
    uint64_t hash_ = 0xCBF29CE484222325ull;
};

// The current world's hash: the landscape (its checksum and material maps), every record
// in use field by field (the local selection bit left out), every trap (kind, id, alive and
// what its kind adds), the group tallies, the simulation particles, the flimbs in play, the
// update counter, the simulation generator and the running game mode's shared state.
uint64_t WorldStateHash();
