// Datagrams from anyone into a reliable stream in each state. The harness writes a valid
// check word (and, when asked, deflates the payload), so inflate and the records are reached.
//
// Input: byte 0 picks the state (idle, connecting, connected, closed) and the key; then
// datagrams as [u8 flags][u16 length][bytes]: flags bit 0 deflates the payload, bit 1
// receives between datagrams, bit 2 updates the stream.
#include "FuzzHome.h"
#include "net/FlimbsPseudoTcp.h"

#include <cstdint>
#include <cstring>
#include <vector>
#include <zlib.h>

namespace {

struct NullDatagrams : IFlimbsUdpStream {
    int Send(const void*, int length) override { return length; }
};

uint32_t fuzzNow = 1000;

void SealAndDeliver(FlimbsPseudoTcp& stream, std::vector<uint8_t> bytes, bool deflate, uint32_t key)
{
    if (bytes.size() < 12)
        bytes.resize(12);
    if (deflate) {
        uLongf size = compressBound(uLong(bytes.size() - 12));
        std::vector<uint8_t> packed(size);
        compress(packed.data(), &size, bytes.data() + 12, uLong(bytes.size() - 12));
        bytes.resize(12);
        bytes.insert(bytes.end(), packed.begin(), packed.begin() + long(size));
        bytes[8] = 1;
        bytes[9] = 0;
    } else {
        bytes[8] &= 0xFE;
    }
    const uint16_t check = PseudoTcpCheckWord(bytes.data(), key);
    bytes[10] = uint8_t(check);
    bytes[11] = uint8_t(check >> 8);
    stream.OnDatagram(bytes.data(), int(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseTemporaryHome();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    NullDatagrams datagrams;
    FlimbsPseudoTcp stream(&datagrams);
    stream.SetClock([] { return fuzzNow; });
    const uint32_t key = (data[0] & 0x80) ? FlimbsPseudoTcp::kIceConnectionKey : 0;
    stream.SetConnectionKey(key);
    switch (data[0] & 3) {
    case 1:
        stream.Connect();
        break;
    case 2: {
        // Connected: the connect went out in datagram 0 and the peer acknowledges it.
        stream.Connect();
        stream.Update(true);
        std::vector<uint8_t> ack(12 + 4 + 8, 0);
        const uint8_t record[] = {1, 0, 0, 0, FlimbsPseudoTcp::kNetInfoAck, 0, 8, 0, 3, 0, 0, 0};
        std::memcpy(ack.data() + 12, record, sizeof record);
        SealAndDeliver(stream, ack, false, key);
        break;
    }
    case 3:
        stream.Close();
        break;
    default:
        break;
    }
    size_t offset = 1;
    std::vector<uint8_t> buffer(65535);
    while (size - offset >= 3) {
        const uint8_t flags = data[offset];
        const size_t length = std::min<size_t>(size_t(data[offset + 1] | data[offset + 2] << 8), size - offset - 3);
        offset += 3;
        SealAndDeliver(stream, std::vector<uint8_t>(data + offset, data + offset + length), flags & 1, key);
        offset += length;
        fuzzNow += 7;
        if (flags & 2)
            while (stream.Receive(buffer.data(), int(buffer.size()))) {
            }
        if (flags & 4)
            stream.Update(true);
        if (flags & 8) {
            const uint8_t message[8] = {3, 0, 8, 0, uint8_t(flags >> 4 & 3), 0, 0, 0};
            stream.Send(message);
        }
    }
    while (stream.Receive(buffer.data(), int(buffer.size()))) {
    }
    stream.Update(true);
    return 0;
}
