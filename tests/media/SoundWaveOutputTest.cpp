// Checks what the device actually mixed: a child run of this program plays a generated
// effect with the audio library writing its output to a WAV file.
#include "../support/ChildProcess.h"
#include "app/UserFolders.h"
#include "media/SoundManager.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <thread>
#include <vector>


namespace {

constexpr const char* kWaveFileVariable = "FLIMBS_TEST_WAVE_FILE";

uint32_t Le(const uint8_t* p, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | p[i];
    return v;
}

} // namespace

// Runs only inside the child started below: the audio library must not have been used
// yet in this process, as it reads its configuration once.
TEST(SoundWaveOutput, ChildPlaysAGeneratedEffect)
{
    const char* waveFile = std::getenv(kWaveFileVariable);
    if (!waveFile)
        GTEST_SKIP() << "run by SoundWaveOutput.PlayedEffectReachesTheOutput";
    const std::string conf = std::string(waveFile) + ".conf";
    std::ofstream(conf) << "[general]\nsample-type = int16\nchannels = stereo\nfrequency = 22050\n"
                        << "[wave]\nfile = " << waveFile << "\n";
    setenv("ALSOFT_CONF", conf.c_str(), 1);
    setenv("ALSOFT_DRIVERS", "wave", 1);

    SetProgramFolder(FLIMBS_GAME_DIR);
    SoundManager manager;
    ASSERT_TRUE(manager.Start());
    const int pool = manager.EffectSourceCount();
    manager.PlayEffect(12);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    while (manager.FreeEffectSourceCount() != pool && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(manager.FreeEffectSourceCount(), pool);
    manager.Shutdown();
}

TEST(SoundWaveOutput, PlayedEffectReachesTheOutput)
{
    if (std::getenv(kWaveFileVariable))
        GTEST_SKIP();
    const std::string waveFile = GetUserRoot() + "/mixed.wav";
    ChildProcess child("SoundWaveOutput.ChildPlaysAGeneratedEffect", {{kWaveFileVariable, waveFile}});
    ASSERT_TRUE(child.Started());
    ASSERT_TRUE(child.Wait(120000)) << "child run did not end";
    ASSERT_EQ(child.ExitCode(), 0) << "child run failed";

    std::ifstream in(waveFile, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GT(bytes.size(), 44u);
    ASSERT_EQ(std::memcmp(bytes.data(), "RIFF", 4), 0);
    ASSERT_EQ(std::memcmp(bytes.data() + 8, "WAVE", 4), 0);
    // Walk the chunks to the 16-bit samples.
    size_t pos = 12;
    int bits = 0;
    int peak = 0;
    size_t samples = 0;
    while (pos + 8 <= bytes.size()) {
        const uint32_t size = Le(&bytes[pos + 4], 4);
        if (std::memcmp(&bytes[pos], "fmt ", 4) == 0)
            bits = static_cast<int>(Le(&bytes[pos + 22], 2));
        if (std::memcmp(&bytes[pos], "data", 4) == 0) {
            ASSERT_EQ(bits, 16);
            const size_t end = std::min<size_t>(bytes.size(), pos + 8 + size);
            for (size_t i = pos + 8; i + 1 < end; i += 2, ++samples)
                peak = std::max(peak, std::abs(static_cast<int>(static_cast<int16_t>(Le(&bytes[i], 2)))));
            break;
        }
        pos += 8 + size + (size & 1);
    }
    EXPECT_GT(samples, 22050u / 10);
    EXPECT_GT(peak, 2000);
}
