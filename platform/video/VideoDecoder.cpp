#include "platform/video/VideoDecoder.h"

#include "platform/video/FrameConvert.h"

#include <theora/theoradec.h>
#include <vorbis/codec.h>

#include <algorithm>
#include <cstring>
#include <limits>

namespace platform::video {
namespace {

constexpr size_t kFeedBytes = 16384;
// Sound kept while nobody takes it: ten seconds of stereo at 48 kHz.
constexpr size_t kMaxPendingSamples = 48000 * 2 * 10;

int16_t ToSample(float v)
{
    const float scaled = v * 32767.0f;
    if (!(scaled > -32768.0f)) // also NaN
        return -32768;
    if (scaled > 32767.0f)
        return 32767;
    return static_cast<int16_t>(scaled);
}

} // namespace

struct VideoDecoder::State {
    const uint8_t* data = nullptr;
    size_t size = 0;
    size_t offset = 0;
    ogg_sync_state sync;

    bool hasTheora = false;
    int theoraSerial = 0;
    ogg_stream_state theoraStream;
    th_info theoraInfo;
    th_comment theoraComment;
    th_setup_info* setup = nullptr;
    th_dec_ctx* decoder = nullptr;
    int theoraHeaders = 0;
    int64_t lastIndex = -1;

    bool hasVorbis = false;
    bool vorbisTried = false; // one attempt: a failed one may leave the info half filled
    int vorbisSerial = 0;
    ogg_stream_state vorbisStream;
    vorbis_info vorbisInfo;
    vorbis_comment vorbisComment;
    vorbis_dsp_state dsp;
    vorbis_block block;
    int vorbisHeaders = 0;
    bool vorbisReady = false;
    std::vector<int16_t> sound;
    int64_t soundFramesTaken = 0;

    State()
    {
        ogg_sync_init(&sync);
        th_info_init(&theoraInfo);
        th_comment_init(&theoraComment);
        vorbis_info_init(&vorbisInfo);
        vorbis_comment_init(&vorbisComment);
    }
    ~State()
    {
        if (vorbisReady) {
            vorbis_block_clear(&block);
            vorbis_dsp_clear(&dsp);
        }
        vorbis_comment_clear(&vorbisComment);
        vorbis_info_clear(&vorbisInfo);
        if (hasVorbis)
            ogg_stream_clear(&vorbisStream);
        if (decoder)
            th_decode_free(decoder);
        if (setup)
            th_setup_free(setup);
        th_comment_clear(&theoraComment);
        th_info_clear(&theoraInfo);
        if (hasTheora)
            ogg_stream_clear(&theoraStream);
        ogg_sync_clear(&sync);
    }

    // Hands the next piece of the file to the sync layer; false at the end.
    bool Feed()
    {
        if (offset >= size)
            return false;
        const size_t n = std::min(kFeedBytes, size - offset);
        char* buffer = ogg_sync_buffer(&sync, static_cast<long>(n));
        if (!buffer)
            return false;
        std::memcpy(buffer, data + offset, n);
        ogg_sync_wrote(&sync, static_cast<long>(n));
        offset += n;
        return true;
    }

    bool NextPage(ogg_page& page)
    {
        for (;;) {
            const int r = ogg_sync_pageout(&sync, &page);
            if (r == 1)
                return true;
            if (r < 0)
                continue; // skipped damaged bytes
            if (!Feed())
                return false;
        }
    }
};

VideoDecoder::VideoDecoder() = default;
VideoDecoder::~VideoDecoder() = default;

bool VideoDecoder::Open(const uint8_t* data, size_t size, std::string& error, bool scanDuration)
{
    state_ = std::make_unique<State>();
    info_ = VideoInfo();
    if (!data || size == 0) {
        error = "the file is empty";
        return false;
    }
    if (size > kMaxClipBytes) {
        error = "the file is too large";
        return false;
    }
    state_->data = data;
    state_->size = size;
    if (!ReadHeaders(error)) {
        state_.reset();
        return false;
    }
    if (scanDuration)
        ScanDuration();
    return true;
}

bool VideoDecoder::ReadHeaders(std::string& error)
{
    State& s = *state_;
    ogg_page page;
    ogg_packet packet;
    // The first pages of the file start its streams: keep one Theora and one Vorbis stream.
    bool inHeaderPages = true;
    while (inHeaderPages) {
        if (!s.NextPage(page)) {
            error = "no Theora video stream";
            return false;
        }
        if (!ogg_page_bos(&page)) {
            inHeaderPages = false;
            break;
        }
        ogg_stream_state probe;
        ogg_stream_init(&probe, ogg_page_serialno(&page));
        ogg_stream_pagein(&probe, &page);
        bool kept = false;
        if (ogg_stream_packetpeek(&probe, &packet) == 1) {
            if (!s.hasTheora && th_decode_headerin(&s.theoraInfo, &s.theoraComment, &s.setup, &packet) > 0) {
                ogg_stream_packetout(&probe, &packet);
                s.hasTheora = true;
                s.theoraSerial = ogg_page_serialno(&page);
                s.theoraStream = probe;
                s.theoraHeaders = 1;
                kept = true;
            } else if (!s.vorbisTried && vorbis_synthesis_idheader(&packet) == 1 &&
                       (s.vorbisTried = true) &&
                       vorbis_synthesis_headerin(&s.vorbisInfo, &s.vorbisComment, &packet) == 0) {
                ogg_stream_packetout(&probe, &packet);
                s.hasVorbis = true;
                s.vorbisSerial = ogg_page_serialno(&page);
                s.vorbisStream = probe;
                s.vorbisHeaders = 1;
                kept = true;
            }
        }
        if (!kept)
            ogg_stream_clear(&probe);
    }
    if (!s.hasTheora) {
        error = "no Theora video stream";
        return false;
    }
    // The page that ended the first ones belongs to the streams' headers or data.
    bool pending = true;
    for (;;) {
        if (pending) {
            const int serial = ogg_page_serialno(&page);
            if (serial == s.theoraSerial)
                ogg_stream_pagein(&s.theoraStream, &page);
            else if (s.hasVorbis && serial == s.vorbisSerial)
                ogg_stream_pagein(&s.vorbisStream, &page);
            pending = false;
        }
        while (s.theoraHeaders < 3) {
            const int r = ogg_stream_packetpeek(&s.theoraStream, &packet);
            if (r == 0)
                break;
            if (r < 0 || th_decode_headerin(&s.theoraInfo, &s.theoraComment, &s.setup, &packet) <= 0) {
                error = "damaged Theora headers";
                return false;
            }
            ogg_stream_packetout(&s.theoraStream, &packet);
            ++s.theoraHeaders;
        }
        while (s.hasVorbis && s.vorbisHeaders < 3) {
            const int r = ogg_stream_packetout(&s.vorbisStream, &packet);
            if (r == 0)
                break;
            if (r < 0 || vorbis_synthesis_headerin(&s.vorbisInfo, &s.vorbisComment, &packet) != 0) {
                // A sound stream that cannot be read: the video plays without it.
                ogg_stream_clear(&s.vorbisStream);
                s.hasVorbis = false;
                break;
            }
            ++s.vorbisHeaders;
        }
        if (s.theoraHeaders >= 3 && (!s.hasVorbis || s.vorbisHeaders >= 3))
            break;
        if (!s.NextPage(page)) {
            error = "the file ends inside its headers";
            return false;
        }
        pending = true;
    }

    const th_info& ti = s.theoraInfo;
    if (ti.pic_width == 0 || ti.pic_height == 0 || ti.pic_width > kMaxPictureSide ||
        ti.pic_height > kMaxPictureSide || int64_t(ti.pic_width) * ti.pic_height > kMaxPicturePixels ||
        ti.frame_width > kMaxPictureSide + 16 || ti.frame_height > kMaxPictureSide + 16) {
        error = "the picture size " + std::to_string(ti.pic_width) + "x" + std::to_string(ti.pic_height) +
                " is not supported";
        return false;
    }
    if (ti.fps_numerator == 0 || ti.fps_denominator == 0) {
        error = "the frame rate is missing";
        return false;
    }
    if (ti.pixel_fmt != TH_PF_420 && ti.pixel_fmt != TH_PF_422 && ti.pixel_fmt != TH_PF_444) {
        error = "unknown chroma layout";
        return false;
    }
    s.decoder = th_decode_alloc(&ti, s.setup);
    th_setup_free(s.setup);
    s.setup = nullptr;
    if (!s.decoder) {
        error = "the Theora decoder refused the stream";
        return false;
    }
    info_.width = static_cast<int>(ti.pic_width);
    info_.height = static_cast<int>(ti.pic_height);
    info_.fpsNumerator = ti.fps_numerator;
    info_.fpsDenominator = ti.fps_denominator;

    if (s.hasVorbis) {
        const vorbis_info& vi = s.vorbisInfo;
        const bool playable = vi.channels >= 1 && vi.channels <= 2 && vi.rate >= 4000 && vi.rate <= 192000;
        if (playable && vorbis_synthesis_init(&s.dsp, &s.vorbisInfo) == 0) {
            if (vorbis_block_init(&s.dsp, &s.block) == 0) {
                s.vorbisReady = true;
                info_.soundChannels = vi.channels;
                info_.soundRate = static_cast<int>(vi.rate);
            } else {
                vorbis_dsp_clear(&s.dsp);
            }
        }
    }
    return true;
}

void VideoDecoder::ScanDuration()
{
    State& s = *state_;
    int64_t lastIndex = -1;
    auto scan = [&](size_t begin) {
        ogg_sync_state sync;
        ogg_sync_init(&sync);
        ogg_page page;
        for (size_t at = begin; at < s.size;) {
            const size_t n = std::min(kFeedBytes * 4, s.size - at);
            char* buffer = ogg_sync_buffer(&sync, static_cast<long>(n));
            if (!buffer)
                break;
            std::memcpy(buffer, s.data + at, n);
            ogg_sync_wrote(&sync, static_cast<long>(n));
            at += n;
            for (int r; (r = ogg_sync_pageout(&sync, &page)) != 0;) {
                if (r < 0 || ogg_page_serialno(&page) != s.theoraSerial)
                    continue;
                const ogg_int64_t granule = ogg_page_granulepos(&page);
                if (granule >= 0)
                    lastIndex = std::max<int64_t>(lastIndex, th_granule_frame(s.decoder, granule));
            }
        }
        ogg_sync_clear(&sync);
    };
    // The last video page is near the end; look further back only when it is not.
    const size_t tail = 256 * 1024;
    scan(s.size > tail ? s.size - tail : 0);
    if (lastIndex < 0 && s.size > tail)
        scan(0);
    info_.duration = lastIndex >= 0 ? FrameTime(lastIndex + 1) : 0;
}

int64_t VideoDecoder::FrameTime(int64_t index) const
{
    if (index <= 0 || info_.fpsNumerator == 0)
        return 0;
    const __int128 units = __int128(index) * kUnitsPerSecond * info_.fpsDenominator / info_.fpsNumerator;
    const __int128 limit = std::numeric_limits<int64_t>::max() / 4;
    return static_cast<int64_t>(units > limit ? limit : units);
}

bool VideoDecoder::ReadPage()
{
    State& s = *state_;
    ogg_page page;
    if (!s.NextPage(page))
        return false;
    const int serial = ogg_page_serialno(&page);
    if (serial == s.theoraSerial) {
        ogg_stream_pagein(&s.theoraStream, &page);
    } else if (s.hasVorbis && serial == s.vorbisSerial) {
        ogg_stream_pagein(&s.vorbisStream, &page);
        DecodeSound();
    }
    return true;
}

void VideoDecoder::DecodeSound()
{
    State& s = *state_;
    if (!s.vorbisReady)
        return;
    ogg_packet packet;
    for (int r; (r = ogg_stream_packetout(&s.vorbisStream, &packet)) != 0;) {
        if (r < 0)
            continue;
        if (vorbis_synthesis(&s.block, &packet) == 0)
            vorbis_synthesis_blockin(&s.dsp, &s.block);
        float** pcm = nullptr;
        for (int n; (n = vorbis_synthesis_pcmout(&s.dsp, &pcm)) > 0;) {
            if (soundWanted_ && s.sound.size() < kMaxPendingSamples) {
                const int channels = info_.soundChannels;
                for (int i = 0; i < n; ++i)
                    for (int c = 0; c < channels; ++c)
                        s.sound.push_back(ToSample(pcm[c][i]));
            } else {
                s.soundFramesTaken += n;
            }
            vorbis_synthesis_read(&s.dsp, n);
        }
    }
}

size_t VideoDecoder::TakeSound(std::vector<int16_t>& out)
{
    if (!state_ || info_.soundChannels == 0)
        return 0;
    State& s = *state_;
    const size_t frames = s.sound.size() / size_t(info_.soundChannels);
    out.insert(out.end(), s.sound.begin(), s.sound.end());
    s.sound.clear();
    s.soundFramesTaken += int64_t(frames);
    return frames;
}

int64_t VideoDecoder::SoundFramesTaken() const
{
    return state_ ? state_->soundFramesTaken : 0;
}

bool VideoDecoder::DecodeNextFrame(int64_t& time, int64_t& index)
{
    if (!state_ || !state_->decoder)
        return false;
    State& s = *state_;
    ogg_packet packet;
    for (;;) {
        const int r = ogg_stream_packetout(&s.theoraStream, &packet);
        if (r == 0) {
            if (!ReadPage())
                return false;
            continue;
        }
        if (r < 0)
            continue; // a gap in the stream
        ogg_int64_t granule = -1;
        const int result = th_decode_packetin(s.decoder, &packet, &granule);
        if (result != 0 && result != TH_DUPFRAME)
            continue; // a damaged packet
        int64_t frame = granule >= 0 ? th_granule_frame(s.decoder, granule) : s.lastIndex + 1;
        if (frame <= s.lastIndex)
            frame = s.lastIndex + 1;
        s.lastIndex = frame;
        index = frame;
        time = FrameTime(frame);
        return true;
    }
}

void VideoDecoder::ConvertFrame(const KeyRule& key, uint32_t* out) const
{
    if (!state_ || !state_->decoder)
        return;
    th_ycbcr_buffer buffer;
    if (th_decode_ycbcr_out(state_->decoder, buffer) != 0)
        return;
    const th_info& ti = state_->theoraInfo;
    PixelPlane planes[3];
    for (int i = 0; i < 3; ++i)
        planes[i] = {buffer[i].data, buffer[i].stride};
    PictureLayout layout;
    layout.x = static_cast<int>(ti.pic_x);
    layout.y = static_cast<int>(ti.pic_y);
    layout.width = info_.width;
    layout.height = info_.height;
    layout.chromaShiftX = ti.pixel_fmt == TH_PF_444 ? 0 : 1;
    layout.chromaShiftY = ti.pixel_fmt == TH_PF_420 ? 1 : 0;
    ConvertPicture(planes, layout, key, out, info_.width);
}

} // namespace platform::video
