#include "PseudoTcpWire.h"

#include "net/FlimbsPseudoTcp.h"

#include <zlib.h>

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v)
{
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}
uint16_t Get16(const uint8_t* p) { return uint16_t(p[0] | p[1] << 8); }

} // namespace

std::vector<uint8_t> MakeMessage(uint8_t command, int length, uint8_t flags, uint8_t fill)
{
    std::vector<uint8_t> message(size_t(length < 6 ? 6 : length), fill);
    message[0] = command;
    message[1] = 0;
    message[2] = uint8_t(length);
    message[3] = uint8_t(length >> 8);
    message[4] = flags;
    message[5] = 0;
    return message;
}

std::vector<uint8_t> BuildDatagram(const WireDatagram& datagram, uint32_t key)
{
    std::vector<uint8_t> records;
    for (const WireRecord& record : datagram.records) {
        Put16(records, record.id);
        Put16(records, record.order);
        records.insert(records.end(), record.message.begin(), record.message.end());
    }
    std::vector<uint8_t> out;
    Put16(out, datagram.number);
    Put16(out, datagram.cumulative);
    Put16(out, datagram.sendTime);
    Put16(out, datagram.echoedTime);
    Put16(out, datagram.deflated ? 1 : 0);
    Put16(out, 0);
    if (datagram.deflated) {
        uLongf size = compressBound(uLong(records.size()));
        std::vector<uint8_t> packed(size);
        compress(packed.data(), &size, records.data(), uLong(records.size()));
        out.insert(out.end(), packed.begin(), packed.begin() + long(size));
    } else {
        out.insert(out.end(), records.begin(), records.end());
    }
    const uint16_t check = PseudoTcpCheckWord(out.data(), key);
    out[10] = uint8_t(check);
    out[11] = uint8_t(check >> 8);
    return out;
}

bool ParseDatagram(const std::vector<uint8_t>& bytes, WireDatagram& datagram)
{
    if (bytes.size() < 12)
        return false;
    datagram = {};
    datagram.number = Get16(&bytes[0]);
    datagram.cumulative = Get16(&bytes[2]);
    datagram.sendTime = Get16(&bytes[4]);
    datagram.echoedTime = Get16(&bytes[6]);
    datagram.deflated = bytes[8] & 1;
    datagram.check = Get16(&bytes[10]);
    std::vector<uint8_t> payload(bytes.begin() + 12, bytes.end());
    if (datagram.deflated) {
        std::vector<uint8_t> plain(65535);
        uLongf size = plain.size();
        if (uncompress(plain.data(), &size, payload.data(), uLong(payload.size())) != Z_OK)
            return false;
        plain.resize(size);
        payload.swap(plain);
    }
    size_t offset = 0;
    while (payload.size() - offset >= 10) {
        const int length = Get16(&payload[offset + 6]);
        if (length < 6 || payload.size() - offset < size_t(length) + 4)
            break;
        WireRecord record;
        record.id = Get16(&payload[offset]);
        record.order = Get16(&payload[offset + 2]);
        record.message.assign(payload.begin() + long(offset) + 4, payload.begin() + long(offset) + 4 + length);
        datagram.records.push_back(std::move(record));
        offset += size_t(length) + 4;
    }
    return true;
}

bool CarriesCommand(const std::vector<uint8_t>& bytes, uint8_t command)
{
    WireDatagram datagram;
    if (!ParseDatagram(bytes, datagram))
        return false;
    for (const WireRecord& record : datagram.records)
        if (record.message[0] == command)
            return true;
    return false;
}
