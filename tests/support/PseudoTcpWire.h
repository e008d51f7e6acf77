#pragma once
// Building and reading the reliable stream's datagrams in tests: records with chosen ids
// and order numbers, a header with a valid check word, raw or deflated payloads.
#include <cstdint>
#include <vector>

struct WireRecord {
    uint16_t id = 0;
    uint16_t order = 0;
    std::vector<uint8_t> message;
};

struct WireDatagram {
    uint16_t number = 0;
    uint16_t cumulative = 0;
    uint16_t sendTime = 0;
    uint16_t echoedTime = 0;
    bool deflated = false;
    uint16_t check = 0;
    std::vector<WireRecord> records;
};

// A network command record: the header (command, stamp 0, length, flags, 0) and `length - 6`
// payload bytes of `fill`.
std::vector<uint8_t> MakeMessage(uint8_t command, int length, uint8_t flags = 0, uint8_t fill = 0);
// The bytes of a datagram with the check word computed for `key`.
std::vector<uint8_t> BuildDatagram(const WireDatagram& datagram, uint32_t key);
// Parses a datagram (inflating its payload); false when it is too short or does not inflate.
bool ParseDatagram(const std::vector<uint8_t>& bytes, WireDatagram& datagram);
// True when the datagram carries a record with this command.
bool CarriesCommand(const std::vector<uint8_t>& bytes, uint8_t command);
