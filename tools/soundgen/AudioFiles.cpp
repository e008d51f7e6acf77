#include "tools/soundgen/AudioFiles.h"

#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <memory>

namespace soundgen {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

void PutLe(std::vector<uint8_t>& out, uint32_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

void PutTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

bool WritePage(std::FILE* f, const ogg_page& page)
{
    return std::fwrite(page.header, 1, page.header_len, f) == static_cast<size_t>(page.header_len) &&
           std::fwrite(page.body, 1, page.body_len, f) == static_cast<size_t>(page.body_len);
}

} // namespace

bool WriteWav(const std::string& path, const std::vector<float>& samples, int sampleRate)
{
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    std::vector<uint8_t> out;
    out.reserve(44 + dataBytes);
    PutTag(out, "RIFF");
    PutLe(out, 36 + dataBytes, 4);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    PutLe(out, 16, 4);
    PutLe(out, 1, 2); // PCM
    PutLe(out, 1, 2); // mono
    PutLe(out, static_cast<uint32_t>(sampleRate), 4);
    PutLe(out, static_cast<uint32_t>(sampleRate * 2), 4);
    PutLe(out, 2, 2);
    PutLe(out, 16, 2);
    PutTag(out, "data");
    PutLe(out, dataBytes, 4);
    for (float s : samples) {
        const long v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
        PutLe(out, static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(v))), 2);
    }
    File f(std::fopen(path.c_str(), "wb"));
    return f && std::fwrite(out.data(), 1, out.size(), f.get()) == out.size();
}

bool WriteOggVorbis(const std::string& path, const std::vector<float>& samples, int sampleRate,
                    float quality)
{
    File f(std::fopen(path.c_str(), "wb"));
    if (!f)
        return false;

    vorbis_info info;
    vorbis_info_init(&info);
    if (vorbis_encode_init_vbr(&info, 1, sampleRate, quality) != 0) {
        vorbis_info_clear(&info);
        return false;
    }
    vorbis_comment comment;
    vorbis_comment_init(&comment);
    vorbis_comment_add_tag(&comment, "ENCODER", "flimbs soundgen");
    vorbis_dsp_state dsp;
    vorbis_block block;
    vorbis_analysis_init(&dsp, &info);
    vorbis_block_init(&dsp, &block);
    ogg_stream_state stream;
    ogg_stream_init(&stream, 0x464C4D42); // fixed serial: reproducible files

    bool ok = true;
    {
        ogg_packet header, commentPacket, codebooks;
        vorbis_analysis_headerout(&dsp, &comment, &header, &commentPacket, &codebooks);
        ogg_stream_packetin(&stream, &header);
        ogg_stream_packetin(&stream, &commentPacket);
        ogg_stream_packetin(&stream, &codebooks);
        ogg_page page;
        while (ok && ogg_stream_flush(&stream, &page) != 0)
            ok = WritePage(f.get(), page);
    }

    constexpr size_t kChunk = 4096;
    size_t position = 0;
    bool ended = false;
    bool endWritten = false;
    while (ok && !ended) {
        const size_t n = std::min(kChunk, samples.size() - position);
        if (n == 0) {
            if (endWritten)
                break;
            vorbis_analysis_wrote(&dsp, 0); // end of stream
            endWritten = true;
        } else {
            float** buffer = vorbis_analysis_buffer(&dsp, static_cast<int>(n));
            std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(position), n, buffer[0]);
            vorbis_analysis_wrote(&dsp, static_cast<int>(n));
            position += n;
        }
        while (vorbis_analysis_blockout(&dsp, &block) == 1) {
            vorbis_analysis(&block, nullptr);
            vorbis_bitrate_addblock(&block);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp, &packet)) {
                ogg_stream_packetin(&stream, &packet);
                ogg_page page;
                while (ok && ogg_stream_pageout(&stream, &page) != 0) {
                    ok = WritePage(f.get(), page);
                    if (ogg_page_eos(&page))
                        ended = true;
                }
            }
        }
    }

    ogg_stream_clear(&stream);
    vorbis_block_clear(&block);
    vorbis_dsp_clear(&dsp);
    vorbis_comment_clear(&comment);
    vorbis_info_clear(&info);
    return ok;
}

} // namespace soundgen
