// The video layer on the generated iris clip and on broken clips: frames, times, keying,
// sound, refusals, and the player's frame for a position.
#include "platform/image/ImageCodec.h"
#include "platform/video/VideoDecoder.h"
#include "platform/video/VideoTexturePlayer.h"

#include <gtest/gtest.h>
#include <ogg/ogg.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

using namespace platform::video;

namespace {

const KeyRule kIrisKey{0xF8F8F8u, 0u};

std::vector<uint8_t> ReadGameFile(const std::string& relative)
{
    std::vector<uint8_t> bytes;
    platform::image::ReadFileBytes(std::string(FLIMBS_GAME_DIR) + "/" + relative, bytes);
    return bytes;
}

std::vector<uint8_t> IrisClip()
{
    return ReadGameFile("Graphics/Logos/flimbs_iris_transition.ogv");
}

int CountTransparent(const std::vector<uint32_t>& pixels)
{
    return int(std::count(pixels.begin(), pixels.end(), 0u));
}

// The clip with its Theora identification header (the first page) changed by `patch`.
std::vector<uint8_t> PatchFirstPage(const std::vector<uint8_t>& clip, void (*patch)(std::vector<uint8_t>&))
{
    ogg_sync_state sync;
    ogg_sync_init(&sync);
    char* buffer = ogg_sync_buffer(&sync, long(clip.size()));
    std::memcpy(buffer, clip.data(), clip.size());
    ogg_sync_wrote(&sync, long(clip.size()));
    ogg_page page;
    EXPECT_EQ(ogg_sync_pageout(&sync, &page), 1);
    std::vector<uint8_t> header(page.header, page.header + page.header_len);
    std::vector<uint8_t> body(page.body, page.body + page.body_len);
    const size_t firstPage = header.size() + body.size();
    patch(body);
    page.header = header.data();
    page.body = body.data();
    ogg_page_checksum_set(&page);
    std::vector<uint8_t> out(header);
    out.insert(out.end(), body.begin(), body.end());
    out.insert(out.end(), clip.begin() + std::ptrdiff_t(firstPage), clip.end());
    ogg_sync_clear(&sync);
    return out;
}

} // namespace

TEST(VideoDecoder, DecodesTheIrisClipFrameByFrameWithItsSound)
{
    const std::vector<uint8_t> clip = IrisClip();
    ASSERT_FALSE(clip.empty());
    VideoDecoder decoder;
    decoder.SetSoundWanted(true);
    std::string error;
    ASSERT_TRUE(decoder.Open(clip.data(), clip.size(), error)) << error;
    const VideoInfo& info = decoder.Info();
    EXPECT_EQ(info.width, 640);
    EXPECT_EQ(info.height, 360);
    EXPECT_EQ(info.fpsNumerator, 30u);
    EXPECT_EQ(info.fpsDenominator, 1u);
    EXPECT_EQ(info.duration, 14666666); // 44 frames
    EXPECT_EQ(info.soundChannels, 1);
    EXPECT_EQ(info.soundRate, 22050);
    EXPECT_EQ(decoder.FrameTime(20), 6666666);

    std::vector<uint32_t> pixels(640 * 360);
    std::vector<int> transparent;
    std::vector<uint32_t> sheet(160 * 90 * 11, 0xFF202020u); // every 4th frame, a quarter of its size
    int64_t time = 0, index = 0;
    for (int expected = 0; decoder.DecodeNextFrame(time, index); ++expected) {
        EXPECT_EQ(index, expected);
        EXPECT_EQ(time, decoder.FrameTime(expected));
        decoder.ConvertFrame(kIrisKey, pixels.data());
        transparent.push_back(CountTransparent(pixels));
        if (expected % 4 == 0)
            for (int y = 0; y < 90; ++y)
                for (int x = 0; x < 160; ++x) {
                    const uint32_t p = pixels[size_t(y * 4) * 640 + x * 4];
                    sheet[size_t(y) * 160 * 11 + (expected / 4) * 160 + x] = p ? p : 0xFF00A000u;
                }
    }
    ASSERT_EQ(transparent.size(), 44u);
    // Opening half: covered, then wide open by frame 17; closing half: open, then covered
    // for its last four frames. Covered means no keyed pixel at all.
    EXPECT_EQ(transparent[0], 0);
    for (int f : {17, 18, 19, 20, 21, 22})
        EXPECT_EQ(transparent[size_t(f)], 640 * 360) << f;
    for (int f : {40, 41, 42, 43})
        EXPECT_EQ(transparent[size_t(f)], 0) << f;
    EXPECT_GT(transparent[10], 0);
    EXPECT_LT(transparent[10], 640 * 360);
    EXPECT_GT(transparent[30], transparent[35]); // closing: the opening shrinks
    std::vector<uint8_t> png;
    if (platform::image::EncodePng(sheet.data(), 160 * 11, 90, 160 * 11 * 4, false, png))
        platform::image::WriteFileBytes(std::string(FLIMBS_GAME_DIR) + "/iris-frames.png", png);

    std::vector<int16_t> sound;
    const size_t frames = decoder.TakeSound(sound);
    EXPECT_NEAR(double(frames), 1.4667 * 22050, 2048.0);
    EXPECT_GT(*std::max_element(sound.begin(), sound.end()), 3000);
}

TEST(VideoDecoder, KeyRuleMakesDarkPixelsTransparentAndTheRestOpaque)
{
    struct Case {
        uint32_t rgb;
        KeyRule key;
        uint32_t out;
    };
    const Case cases[] = {
        {0x000000, kIrisKey, 0},           {0x070707, kIrisKey, 0},
        {0x080000, kIrisKey, 0xFF080000},  {0x000008, kIrisKey, 0xFF000008},
        {0x123456, kIrisKey, 0xFF123456},  {0x000000, KeyRule{}, 0xFF000000},
        {0x000001, KeyRule{0x1, 0x0}, 0xFF000001}, {0x000000, KeyRule{0x1, 0x1}, 0xFF000000},
    };
    for (const Case& c : cases)
        EXPECT_EQ(KeyPixel(c.rgb, c.key), c.out) << std::hex << c.rgb;
}

TEST(VideoDecoder, RefusesClipsThatCannotBePlayedWithAReason)
{
    const std::vector<uint8_t> clip = IrisClip();
    ASSERT_GT(clip.size(), 4096u);
    const std::vector<uint8_t> garbage(5000, 0x5A);
    const std::vector<uint8_t> cutInHeaders(clip.begin(), clip.begin() + 300);
    const std::vector<uint8_t> soundOnly = ReadGameFile("Sounds/Music/intro.ogg");
    ASSERT_FALSE(soundOnly.empty());
    // 8000 x 8000 pixels: frame 500 x 500 macro blocks, picture 8000 x 8000.
    const std::vector<uint8_t> huge = PatchFirstPage(clip, [](std::vector<uint8_t>& id) {
        id[10] = 0x01, id[11] = 0xF4, id[12] = 0x01, id[13] = 0xF4;
        id[14] = 0x00, id[15] = 0x1F, id[16] = 0x40, id[17] = 0x00, id[18] = 0x1F, id[19] = 0x40;
    });
    const std::vector<uint8_t> noRate = PatchFirstPage(clip, [](std::vector<uint8_t>& id) {
        id[22] = id[23] = id[24] = id[25] = 0;
    });
    struct Case {
        const char* what;
        const std::vector<uint8_t>* bytes;
    };
    const std::vector<uint8_t> empty;
    for (const Case& c : {Case{"empty", &empty}, Case{"garbage", &garbage}, Case{"cut in headers", &cutInHeaders},
                          Case{"sound only", &soundOnly}, Case{"huge picture", &huge}, Case{"no rate", &noRate}}) {
        VideoDecoder decoder;
        std::string error;
        EXPECT_FALSE(decoder.Open(c.bytes->data(), c.bytes->size(), error)) << c.what;
        EXPECT_FALSE(error.empty()) << c.what;
        int64_t time = 0, index = 0;
        EXPECT_FALSE(decoder.DecodeNextFrame(time, index)) << c.what;
    }
}

TEST(VideoDecoder, ClipCutInItsFramesPlaysWhatItHas)
{
    const std::vector<uint8_t> clip = IrisClip();
    const std::vector<uint8_t> half(clip.begin(), clip.begin() + std::ptrdiff_t(clip.size() / 2));
    VideoDecoder decoder;
    std::string error;
    ASSERT_TRUE(decoder.Open(half.data(), half.size(), error)) << error;
    EXPECT_GT(decoder.Info().duration, 0);
    EXPECT_LT(decoder.Info().duration, 14666666);
    std::vector<uint32_t> pixels(640 * 360);
    int frames = 0;
    int64_t time = 0, index = 0;
    while (decoder.DecodeNextFrame(time, index)) {
        decoder.ConvertFrame(kIrisKey, pixels.data());
        ++frames;
    }
    EXPECT_GT(frames, 0);
    EXPECT_LT(frames, 44);
}

TEST(VideoTexturePlayer, ShowsTheLastFrameAtOrBeforeThePositionAndEndsAtTheStop)
{
    VideoTexturePlayer player;
    std::string error;
    ASSERT_TRUE(player.Open(IrisClip(), error)) << error;
    player.SetKey(kIrisKey);
    const int64_t frame = 333333; // a little less than one frame at 30 fps

    // The closing play: from 2/3 s to the end.
    ASSERT_TRUE(player.Play(6666666, 0));
    EXPECT_EQ(player.StopPosition(), 14666666);
    EXPECT_TRUE(player.AdvanceTo(6666666));
    EXPECT_EQ(player.CurrentFrameTime(), 6666666); // frame 20
    EXPECT_FALSE(player.AdvanceTo(6666666 + frame - 1));
    EXPECT_TRUE(player.AdvanceTo(6666666 + 5 * frame + 10));
    EXPECT_EQ(player.CurrentFrameTime(), 8333333); // frame 25: frames between are skipped
    EXPECT_FALSE(player.ReachedEnd(14666665));
    player.AdvanceTo(14666666);
    EXPECT_TRUE(player.ReachedEnd(14666666));
    EXPECT_EQ(player.CurrentFrameTime(), 14333333); // frame 43, covered
    int transparent = -1;
    player.WithCurrentFrame([&](const uint32_t* p, int w, int h) {
        transparent = int(std::count(p, p + w * h, 0u));
    });
    EXPECT_EQ(transparent, 0);

    // The opening play: from 0 to 2/3 s; the frame of the closed iris stays until the first.
    const uint64_t serial = player.FrameSerial();
    ASSERT_TRUE(player.Play(0, 6666666));
    EXPECT_EQ(player.CurrentFrameTime(), 14333333);
    EXPECT_TRUE(player.AdvanceTo(0));
    EXPECT_EQ(player.CurrentFrameTime(), 0);
    EXPECT_GT(player.FrameSerial(), serial);
    EXPECT_FALSE(player.ReachedEnd(6666665));
    player.AdvanceTo(6666666);
    EXPECT_TRUE(player.ReachedEnd(6666666));
    player.WithCurrentFrame([&](const uint32_t* p, int w, int h) {
        transparent = int(std::count(p, p + w * h, 0u));
    });
    EXPECT_EQ(transparent, 640 * 360);

    // A stop beyond the clip: it ends after its last frame.
    ASSERT_TRUE(player.Play(0, 100 * kUnitsPerSecond));
    player.AdvanceTo(14666665);
    EXPECT_FALSE(player.ReachedEnd(14666665));
    player.AdvanceTo(14666666);
    EXPECT_TRUE(player.ReachedEnd(14666666));
}

TEST(VideoTexturePlayer, GivesTheSoundOfThePlayedStretchOnly)
{
    VideoTexturePlayer player;
    std::string error;
    ASSERT_TRUE(player.Open(IrisClip(), error)) << error;
    player.SetSoundWanted(true);
    ASSERT_TRUE(player.Play(6666666, 0));
    std::vector<int16_t> sound;
    for (int64_t position = 6666666; !player.ReachedEnd(position); position += 166666) {
        player.AdvanceTo(position);
        player.TakeSound(sound);
    }
    for (int i = 0; i < 2000 && !player.DecoderEnded(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    player.TakeSound(sound);
    EXPECT_NEAR(double(sound.size()), 0.8 * 22050, 512.0);
}
