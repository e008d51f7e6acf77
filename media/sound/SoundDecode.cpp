#include "media/sound/SoundDecode.h"

#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>

namespace sound {

namespace {

// Longest sound decoded whole: protects memory against hostile headers.
constexpr size_t kMaxDecodedSamples = 48000u * 2u * 120u;

uint32_t Le(const uint8_t* p, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

bool DecodeWav(const std::vector<uint8_t>& bytes, PcmSound& out, std::string& error)
{
    if (bytes.size() < 12 || std::memcmp(bytes.data(), "RIFF", 4) != 0 || std::memcmp(bytes.data() + 8, "WAVE", 4) != 0) {
        error = "not a RIFF WAVE file";
        return false;
    }
    int format = 0, bits = 0;
    const uint8_t* data = nullptr;
    size_t dataSize = 0;
    size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        const uint8_t* chunk = bytes.data() + pos;
        const size_t size = Le(chunk + 4, 4);
        const size_t available = std::min(size, bytes.size() - pos - 8);
        if (std::memcmp(chunk, "fmt ", 4) == 0 && available >= 16) {
            format = static_cast<int>(Le(chunk + 8, 2));
            out.channels = static_cast<int>(Le(chunk + 10, 2));
            out.sampleRate = static_cast<int>(Le(chunk + 12, 4));
            bits = static_cast<int>(Le(chunk + 22, 2));
        } else if (std::memcmp(chunk, "data", 4) == 0) {
            data = chunk + 8;
            dataSize = available; // a truncated file plays what it holds
        }
        if (size > bytes.size() - pos - 8)
            break;
        pos += 8 + size + (size & 1);
    }
    if (format != 1 || (bits != 8 && bits != 16) || out.channels < 1 || out.channels > 2 ||
        out.sampleRate < 1000 || out.sampleRate > 384000) {
        error = "unsupported WAV format (16- or 8-bit PCM, one or two channels)";
        return false;
    }
    if (!data) {
        error = "WAV file without data";
        return false;
    }
    const size_t frameBytes = static_cast<size_t>(bits / 8 * out.channels);
    const size_t count = std::min(dataSize / frameBytes * out.channels, kMaxDecodedSamples);
    out.samples.resize(count);
    for (size_t i = 0; i < count; ++i)
        out.samples[i] = bits == 16 ? static_cast<int16_t>(Le(data + 2 * i, 2))
                                    : static_cast<int16_t>((static_cast<int>(data[i]) - 128) << 8);
    return true;
}

bool DecodeOgg(const std::vector<uint8_t>& bytes, PcmSound& out, std::string& error)
{
    OggDecoder decoder;
    if (!decoder.Open(bytes, error))
        return false;
    out.channels = decoder.Channels();
    out.sampleRate = decoder.SampleRate();
    out.samples.clear();
    int16_t chunk[4096];
    while (out.samples.size() < kMaxDecodedSamples) {
        const size_t n = decoder.Read(chunk, std::size(chunk));
        if (n == 0)
            break;
        out.samples.insert(out.samples.end(), chunk, chunk + n);
    }
    return true;
}

// libvorbisfile reads the stream through these, from the bytes in memory.
struct MemoryReader {
    std::vector<uint8_t> bytes;
    size_t position = 0;

    static size_t ReadFn(void* ptr, size_t size, size_t count, void* source)
    {
        auto* self = static_cast<MemoryReader*>(source);
        if (size == 0)
            return 0;
        const size_t items = std::min(count, (self->bytes.size() - self->position) / size);
        std::memcpy(ptr, self->bytes.data() + self->position, items * size);
        self->position += items * size;
        return items;
    }
    static int SeekFn(void* source, ogg_int64_t offset, int whence)
    {
        auto* self = static_cast<MemoryReader*>(source);
        ogg_int64_t base = 0;
        if (whence == SEEK_CUR)
            base = static_cast<ogg_int64_t>(self->position);
        else if (whence == SEEK_END)
            base = static_cast<ogg_int64_t>(self->bytes.size());
        const ogg_int64_t target = base + offset;
        if (target < 0 || target > static_cast<ogg_int64_t>(self->bytes.size()))
            return -1;
        self->position = static_cast<size_t>(target);
        return 0;
    }
    static long TellFn(void* source) { return static_cast<long>(static_cast<MemoryReader*>(source)->position); }
};

} // namespace

bool DecodeSound(const std::vector<uint8_t>& bytes, PcmSound& out, std::string& error)
{
    out = PcmSound{};
    if (bytes.size() >= 4 && std::memcmp(bytes.data(), "OggS", 4) == 0)
        return DecodeOgg(bytes, out, error);
    return DecodeWav(bytes, out, error);
}

struct OggDecoder::State {
    MemoryReader reader;
    OggVorbis_File file{};
    bool open = false;

    ~State()
    {
        if (open)
            ov_clear(&file);
    }
};

OggDecoder::OggDecoder() = default;
OggDecoder::~OggDecoder() = default;

bool OggDecoder::Open(std::vector<uint8_t> bytes, std::string& error)
{
    state_ = std::make_unique<State>();
    state_->reader.bytes = std::move(bytes);
    const ov_callbacks callbacks{&MemoryReader::ReadFn, &MemoryReader::SeekFn, nullptr, &MemoryReader::TellFn};
    if (ov_open_callbacks(&state_->reader, &state_->file, nullptr, 0, callbacks) != 0) {
        error = "not an Ogg Vorbis stream";
        state_.reset();
        return false;
    }
    state_->open = true;
    const vorbis_info* info = ov_info(&state_->file, -1);
    if (!info || info->channels < 1 || info->channels > 2 || info->rate < 1000 || info->rate > 384000) {
        error = "unsupported Ogg Vorbis stream (one or two channels)";
        state_.reset();
        return false;
    }
    channels_ = info->channels;
    sampleRate_ = static_cast<int>(info->rate);
    return true;
}

double OggDecoder::Duration() const
{
    if (!state_)
        return 0.0;
    const double seconds = ov_time_total(&state_->file, -1);
    return seconds > 0.0 ? seconds : 0.0;
}

size_t OggDecoder::Read(int16_t* out, size_t maxSamples)
{
    if (!state_)
        return 0;
    maxSamples -= maxSamples % static_cast<size_t>(channels_);
    size_t filled = 0;
    int failures = 0;
    while (filled < maxSamples) {
        int link = 0;
        const long got = ov_read(&state_->file, reinterpret_cast<char*>(out + filled),
                                 static_cast<int>((maxSamples - filled) * sizeof(int16_t)), 0, 2, 1, &link);
        if (got == 0)
            break;
        if (got < 0) { // a hole in the data: skip it, but give up on a stream full of them
            if (got != OV_HOLE || ++failures > 8)
                break;
            continue;
        }
        // A chained stream whose later part changes its format ends here.
        const vorbis_info* info = ov_info(&state_->file, link);
        if (!info || info->channels != channels_ || info->rate != sampleRate_)
            break;
        filled += static_cast<size_t>(got) / sizeof(int16_t);
    }
    return filled;
}

bool OggDecoder::Rewind()
{
    return state_ && ov_pcm_seek(&state_->file, 0) == 0;
}

} // namespace sound
