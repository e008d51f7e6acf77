#include "tools/videogen/OgvWriter.h"

#include <theora/theoraenc.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace videogen {
namespace {

constexpr int kVideoSerial = 0x464C5631;
constexpr int kSoundSerial = 0x464C5332;

struct Page {
    std::vector<uint8_t> bytes;
    double time; // end time of the page's last complete packet, seconds
};

Page CopyPage(const ogg_page& page, double time)
{
    Page copy;
    copy.bytes.assign(page.header, page.header + page.header_len);
    copy.bytes.insert(copy.bytes.end(), page.body, page.body + page.body_len);
    copy.time = time;
    return copy;
}

// BT.601 studio range, the inverse of what the player decodes with.
uint8_t Luma(int r, int g, int b)
{
    return static_cast<uint8_t>(16 + ((66 * r + 129 * g + 25 * b + 128) >> 8));
}

uint8_t ChromaB(int r, int g, int b)
{
    return static_cast<uint8_t>(128 + ((-38 * r - 74 * g + 112 * b + 128) >> 8));
}

uint8_t ChromaR(int r, int g, int b)
{
    return static_cast<uint8_t>(128 + ((112 * r - 94 * g - 18 * b + 128) >> 8));
}

struct Planes {
    std::vector<uint8_t> y, cb, cr;
    int frameWidth = 0, frameHeight = 0;
};

// 4:2:0 planes of the frame size (the picture at the top left, its last column and row
// repeated into the padding).
void FillPlanes(const std::vector<uint32_t>& argb, int width, int height, Planes& p)
{
    auto pixel = [&](int x, int y) {
        return argb[size_t(std::min(y, height - 1)) * width + std::min(x, width - 1)];
    };
    for (int y = 0; y < p.frameHeight; ++y)
        for (int x = 0; x < p.frameWidth; ++x) {
            const uint32_t c = pixel(x, y);
            p.y[size_t(y) * p.frameWidth + x] = Luma((c >> 16) & 0xFF, (c >> 8) & 0xFF, c & 0xFF);
        }
    const int cw = p.frameWidth / 2, ch = p.frameHeight / 2;
    for (int y = 0; y < ch; ++y)
        for (int x = 0; x < cw; ++x) {
            int r = 0, g = 0, b = 0;
            for (int dy = 0; dy < 2; ++dy)
                for (int dx = 0; dx < 2; ++dx) {
                    const uint32_t c = pixel(2 * x + dx, 2 * y + dy);
                    r += (c >> 16) & 0xFF, g += (c >> 8) & 0xFF, b += c & 0xFF;
                }
            r = (r + 2) / 4, g = (g + 2) / 4, b = (b + 2) / 4;
            p.cb[size_t(y) * cw + x] = ChromaB(r, g, b);
            p.cr[size_t(y) * cw + x] = ChromaR(r, g, b);
        }
}

class VideoStream {
public:
    explicit VideoStream(const VideoFormat& f) : format_(f)
    {
        th_info_init(&info_);
        info_.frame_width = static_cast<ogg_uint32_t>((f.width + 15) & ~15);
        info_.frame_height = static_cast<ogg_uint32_t>((f.height + 15) & ~15);
        info_.pic_width = static_cast<ogg_uint32_t>(f.width);
        info_.pic_height = static_cast<ogg_uint32_t>(f.height);
        info_.pic_x = 0;
        info_.pic_y = 0;
        info_.fps_numerator = static_cast<ogg_uint32_t>(f.fps);
        info_.fps_denominator = 1;
        info_.aspect_numerator = 1;
        info_.aspect_denominator = 1;
        info_.colorspace = TH_CS_UNSPECIFIED;
        info_.pixel_fmt = TH_PF_420;
        info_.target_bitrate = 0;
        info_.quality = f.quality;
        info_.keyframe_granule_shift = 6;
        encoder_ = th_encode_alloc(&info_);
        th_comment_init(&comment_);
        ogg_stream_init(&stream_, kVideoSerial);
        planes_.frameWidth = static_cast<int>(info_.frame_width);
        planes_.frameHeight = static_cast<int>(info_.frame_height);
        planes_.y.resize(size_t(planes_.frameWidth) * planes_.frameHeight);
        planes_.cb.resize(planes_.y.size() / 4);
        planes_.cr.resize(planes_.y.size() / 4);
    }
    ~VideoStream()
    {
        if (encoder_)
            th_encode_free(encoder_);
        th_comment_clear(&comment_);
        th_info_clear(&info_);
        ogg_stream_clear(&stream_);
    }
    bool Valid() const { return encoder_ != nullptr; }

    // The first header alone (the stream's first page), then the others.
    bool Headers(std::vector<Page>& first, std::vector<Page>& rest)
    {
        ogg_packet packet;
        for (bool isFirst = true;; isFirst = false) {
            const int r = th_encode_flushheader(encoder_, &comment_, &packet);
            if (r < 0)
                return false;
            if (r == 0)
                break;
            ogg_stream_packetin(&stream_, &packet);
            if (isFirst)
                Flush(first);
        }
        Flush(rest);
        return true;
    }

    bool Frame(const std::vector<uint32_t>& argb, bool last, std::vector<Page>& pages)
    {
        FillPlanes(argb, format_.width, format_.height, planes_);
        th_ycbcr_buffer buffer;
        buffer[0] = {planes_.frameWidth, planes_.frameHeight, planes_.frameWidth, planes_.y.data()};
        buffer[1] = {planes_.frameWidth / 2, planes_.frameHeight / 2, planes_.frameWidth / 2, planes_.cb.data()};
        buffer[2] = {planes_.frameWidth / 2, planes_.frameHeight / 2, planes_.frameWidth / 2, planes_.cr.data()};
        if (th_encode_ycbcr_in(encoder_, buffer) != 0)
            return false;
        ogg_packet packet;
        int r;
        while ((r = th_encode_packetout(encoder_, last ? 1 : 0, &packet)) > 0) {
            ogg_stream_packetin(&stream_, &packet);
            Pages(pages, false);
        }
        if (r < 0)
            return false;
        if (last)
            Pages(pages, true);
        return true;
    }

private:
    double PageTime(const ogg_page& page)
    {
        const double t = th_granule_time(encoder_, ogg_page_granulepos(&page));
        if (t >= 0)
            lastTime_ = t;
        return lastTime_;
    }
    void Flush(std::vector<Page>& out)
    {
        ogg_page page;
        while (ogg_stream_flush(&stream_, &page) != 0)
            out.push_back(CopyPage(page, 0.0));
    }
    void Pages(std::vector<Page>& out, bool flush)
    {
        ogg_page page;
        while ((flush ? ogg_stream_flush(&stream_, &page) : ogg_stream_pageout(&stream_, &page)) != 0)
            out.push_back(CopyPage(page, PageTime(page)));
    }

    VideoFormat format_;
    th_info info_;
    th_comment comment_;
    th_enc_ctx* encoder_ = nullptr;
    ogg_stream_state stream_;
    Planes planes_;
    double lastTime_ = 0.0;
};

class SoundStream {
public:
    SoundStream(int sampleRate) : rate_(sampleRate)
    {
        vorbis_info_init(&info_);
        valid_ = vorbis_encode_init_vbr(&info_, 1, sampleRate, 0.3f) == 0;
        vorbis_comment_init(&comment_);
        vorbis_comment_add_tag(&comment_, "ENCODER", "flimbs videogen");
        if (valid_) {
            vorbis_analysis_init(&dsp_, &info_);
            vorbis_block_init(&dsp_, &block_);
        }
        ogg_stream_init(&stream_, kSoundSerial);
    }
    ~SoundStream()
    {
        ogg_stream_clear(&stream_);
        if (valid_) {
            vorbis_block_clear(&block_);
            vorbis_dsp_clear(&dsp_);
        }
        vorbis_comment_clear(&comment_);
        vorbis_info_clear(&info_);
    }
    bool Valid() const { return valid_; }

    void Headers(std::vector<Page>& first, std::vector<Page>& rest)
    {
        ogg_packet header, commentPacket, codebooks;
        vorbis_analysis_headerout(&dsp_, &comment_, &header, &commentPacket, &codebooks);
        ogg_page page;
        ogg_stream_packetin(&stream_, &header);
        while (ogg_stream_flush(&stream_, &page) != 0)
            first.push_back(CopyPage(page, 0.0));
        ogg_stream_packetin(&stream_, &commentPacket);
        ogg_stream_packetin(&stream_, &codebooks);
        while (ogg_stream_flush(&stream_, &page) != 0)
            rest.push_back(CopyPage(page, 0.0));
    }

    void Samples(const std::vector<float>& samples, std::vector<Page>& pages)
    {
        constexpr size_t kChunk = 1024;
        for (size_t at = 0;; at += kChunk) {
            const size_t n = at < samples.size() ? std::min(kChunk, samples.size() - at) : 0;
            if (n == 0) {
                vorbis_analysis_wrote(&dsp_, 0);
            } else {
                float** buffer = vorbis_analysis_buffer(&dsp_, static_cast<int>(n));
                std::copy_n(samples.begin() + static_cast<std::ptrdiff_t>(at), n, buffer[0]);
                vorbis_analysis_wrote(&dsp_, static_cast<int>(n));
            }
            Drain(pages);
            if (n == 0)
                break;
        }
        ogg_page page;
        while (ogg_stream_flush(&stream_, &page) != 0)
            AddPage(page, pages);
    }

private:
    double Time(const ogg_page& page)
    {
        const ogg_int64_t granule = ogg_page_granulepos(&page);
        if (granule >= 0)
            lastTime_ = double(granule) / rate_;
        return lastTime_;
    }
    // Pages of about a tenth of a second each, placed by the time their sound starts, so a
    // player finds the sound of a moment before the pictures of it.
    void Drain(std::vector<Page>& pages)
    {
        while (vorbis_analysis_blockout(&dsp_, &block_) == 1) {
            vorbis_analysis(&block_, nullptr);
            vorbis_bitrate_addblock(&block_);
            ogg_packet packet;
            while (vorbis_bitrate_flushpacket(&dsp_, &packet)) {
                ogg_stream_packetin(&stream_, &packet);
                ogg_page page;
                const bool due = packet.granulepos >= 0 && packet.granulepos - pageStart_ >= rate_ / 10;
                while ((due ? ogg_stream_flush(&stream_, &page) : ogg_stream_pageout(&stream_, &page)) != 0)
                    AddPage(page, pages);
            }
        }
    }
    void AddPage(const ogg_page& page, std::vector<Page>& pages)
    {
        const double start = lastTime_;
        Time(page);
        pages.push_back(CopyPage(page, start));
        if (ogg_page_granulepos(&page) >= 0)
            pageStart_ = ogg_page_granulepos(&page);
    }

    int rate_;
    bool valid_ = false;
    vorbis_info info_;
    vorbis_comment comment_;
    vorbis_dsp_state dsp_;
    vorbis_block block_;
    ogg_stream_state stream_;
    double lastTime_ = 0.0;
    ogg_int64_t pageStart_ = 0;
};

bool WritePages(std::FILE* file, const std::vector<Page>& pages)
{
    for (const Page& page : pages)
        if (std::fwrite(page.bytes.data(), 1, page.bytes.size(), file) != page.bytes.size())
            return false;
    return true;
}

} // namespace

bool WriteOgv(const std::string& path, const VideoFormat& format, const FrameSource& frames,
              const std::vector<float>& sound, int sampleRate, std::string& error)
{
    if (format.width <= 0 || format.height <= 0 || format.fps <= 0 || format.frames <= 0) {
        error = "bad clip size, rate or length";
        return false;
    }
    VideoStream video(format);
    if (!video.Valid()) {
        error = "the Theora encoder refused the format";
        return false;
    }
    std::unique_ptr<SoundStream> audio;
    if (!sound.empty()) {
        audio = std::make_unique<SoundStream>(sampleRate);
        if (!audio->Valid()) {
            error = "the Vorbis encoder refused the sample rate";
            return false;
        }
    }

    // Both first pages, then the other headers, then the data pages by time.
    std::vector<Page> videoFirst, videoHeaders, soundFirst, soundHeaders, videoPages, soundPages;
    if (!video.Headers(videoFirst, videoHeaders)) {
        error = "the Theora encoder gave no headers";
        return false;
    }
    if (audio)
        audio->Headers(soundFirst, soundHeaders);
    std::vector<uint32_t> argb(size_t(format.width) * format.height);
    for (int f = 0; f < format.frames; ++f) {
        std::fill(argb.begin(), argb.end(), 0xFF000000u);
        frames(f, argb);
        if (!video.Frame(argb, f + 1 == format.frames, videoPages)) {
            error = "the Theora encoder refused frame " + std::to_string(f);
            return false;
        }
    }
    if (audio)
        audio->Samples(sound, soundPages);
    std::vector<Page> data;
    data.reserve(videoPages.size() + soundPages.size());
    std::merge(videoPages.begin(), videoPages.end(), soundPages.begin(), soundPages.end(), std::back_inserter(data),
               [](const Page& a, const Page& b) { return a.time < b.time; });

    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        error = "cannot create the file";
        return false;
    }
    const bool ok = WritePages(file, videoFirst) && WritePages(file, soundFirst) && WritePages(file, videoHeaders) &&
                    WritePages(file, soundHeaders) && WritePages(file, data);
    const bool closed = std::fclose(file) == 0;
    if (!ok || !closed)
        error = "cannot write the file";
    return ok && closed;
}

} // namespace videogen
