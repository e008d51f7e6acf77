#include "app/ConsoleParam.h"
#include "app/Log.h"
#include "app/UserFolders.h"
#include "media/SoundManager.h"
#include "media/sound/EffectTable.h"
#include "media/sound/MusicStream.h"
#include "media/sound/SoundDecode.h"
#include "media/sound/SoundFiles.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

namespace {

std::string ReadText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int CountOf(const std::string& text, const std::string& what)
{
    int count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++count;
    return count;
}

// Waits for a condition with a generous bound; the device plays in real time.
bool WaitUntil(const std::function<bool()>& done, double seconds = 15.0)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

// A mono 16-bit sine tone of `seconds`.
void WriteToneWav(const std::filesystem::path& path, double seconds)
{
    const uint32_t rate = 22050;
    const uint32_t count = static_cast<uint32_t>(seconds * rate);
    std::string bytes = "RIFF----WAVEfmt ";
    auto put = [&bytes](uint32_t value, int size) {
        for (int i = 0; i < size; ++i)
            bytes.push_back(static_cast<char>(value >> (8 * i)));
    };
    put(16, 4), put(1, 2), put(1, 2), put(rate, 4), put(rate * 2, 4), put(2, 2), put(16, 2);
    bytes += "data";
    put(count * 2, 4);
    for (uint32_t i = 0; i < count; ++i)
        put(static_cast<uint16_t>(static_cast<int16_t>(12000 * std::sin(i * 2 * 3.14159265 * 440 / rate))), 2);
    bytes.replace(4, 4, std::string{static_cast<char>(bytes.size() - 8), static_cast<char>((bytes.size() - 8) >> 8),
                                    static_cast<char>((bytes.size() - 8) >> 16), 0});
    std::ofstream(path, std::ios::binary) << bytes;
}

void SetParam(const char* name, int value)
{
    ConsoleParam* param = ConsoleParam::Find(name);
    ASSERT_NE(param, nullptr) << name;
    param->SetInt(value);
}

class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(FLIMBS_GAME_DIR);
        SetParam("soundenable", 1);
        SetParam("musicenable", 1);
        ASSERT_TRUE(soundManager.Start());
        ASSERT_GT(soundManager.EffectSourceCount(), 1);
    }
    void TearDown() override
    {
        soundManager.Shutdown();
        for (const char* name : {"soundenable", "soundlevel", "musicenable", "musiclevel"})
            ConsoleParam::Find(name)->ResetToDefault();
    }
    // Restarts the manager on a small game folder whose effects last long enough (1.5 s and
    // 2 s) to be seen playing: 5 a WAV tone, 6 an Ogg track, 7 a missing file.
    void UseTestGameFolder()
    {
        namespace fs = std::filesystem;
        const fs::path game = GetUserRoot() + "/game";
        fs::create_directories(game / "Sounds" / "Effects");
        fs::copy_file(fs::path(FLIMBS_GAME_DIR) / "Sounds" / "Music" / "multi_tie01.ogg",
                      game / "Sounds" / "Effects" / "Chord.ogg", fs::copy_options::overwrite_existing);
        std::ofstream(game / "Sounds" / "sound-effects.xml")
            << "<sound-effects>\n"
               "  <effect id=\"5\" file=\"Sounds\\Effects\\Tone.wav\"/>\n"
               "  <effect id=\"6\" file=\"Sounds\\Effects\\Chord.ogg\"/>\n"
               "  <effect id=\"7\" file=\"Sounds\\Effects\\gone.wav\"/>\n"
               "  <effect id=\"-3\" file=\"Sounds\\Effects\\Tone.wav\"/>\n"
               "</sound-effects>\n";
        WriteToneWav(game / "Sounds" / "Effects" / "Tone.wav", 1.5);
        soundManager.Shutdown();
        SetProgramFolder(game.string());
        ASSERT_TRUE(soundManager.Start());
    }
    std::string LogSinceStart() const { return ReadText(LogFilePath()).substr(logStart_); }

    size_t logStart_ = ReadText(LogFilePath()).size();
};

} // namespace

TEST(SoundData, EveryTableEffectAndTrackIsGeneratedAndAudible)
{
    SetProgramFolder(FLIMBS_GAME_DIR);
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(sound::ReadSoundFile("Sounds\\sound-effects.xml", bytes));
    std::map<int, std::string> table;
    ASSERT_TRUE(sound::ParseEffectTable(bytes, table));
    for (int id : {0, 1, 2, 8, 12, 13, 14, 15, 16, 19, 23, 26, 37, 61, 65, 67})
        EXPECT_TRUE(table.count(id)) << "effect " << id;

    std::vector<std::string> files;
    for (const auto& [id, file] : table)
        files.push_back(file);
    for (const char* track : {"intro", "planet01", "boss_intro", "single_vic01", "single_lose01", "multi_vic01",
                              "multi_lose00", "multi_tie01"})
        files.push_back(std::string("Sounds\\Music\\") + track + ".ogg");
    for (const std::string& file : files) {
        ASSERT_TRUE(sound::ReadSoundFile(file, bytes)) << file;
        sound::PcmSound pcm;
        std::string error;
        ASSERT_TRUE(sound::DecodeSound(bytes, pcm, error)) << file << ": " << error;
        int peak = 0;
        for (int16_t s : pcm.samples)
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        EXPECT_GT(peak, 8000) << file;
        EXPECT_LT(pcm.samples.size(), static_cast<size_t>(pcm.sampleRate * 13)) << file;
    }
}

TEST(SoundDecode, RefusesBrokenFilesWithAReason)
{
    const std::vector<std::vector<uint8_t>> broken = {
        {},
        {'R', 'I', 'F', 'F'},
        {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E', 'f', 'm', 't', ' ', 0xFF, 0xFF, 0xFF, 0x7F},
        {'O', 'g', 'g', 'S', 1, 2, 3},
    };
    for (const auto& bytes : broken) {
        sound::PcmSound pcm;
        std::string error;
        EXPECT_FALSE(sound::DecodeSound(bytes, pcm, error));
        EXPECT_FALSE(error.empty());
    }
    // A WAV whose data chunk claims more than the file holds plays what is there.
    std::vector<uint8_t> truncated = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E',
                                      'f', 'm', 't', ' ', 16, 0, 0, 0, 1, 0, 1, 0, 0x22, 0x56, 0, 0,
                                      0x44, 0xAC, 0, 0, 2, 0, 16, 0, 'd', 'a', 't', 'a', 0xFF, 0xFF, 0, 0,
                                      0x10, 0x00, 0x20, 0x00, 0x30};
    sound::PcmSound pcm;
    std::string error;
    ASSERT_TRUE(sound::DecodeSound(truncated, pcm, error)) << error;
    EXPECT_EQ(pcm.samples, (std::vector<int16_t>{0x10, 0x20}));
    EXPECT_EQ(pcm.sampleRate, 22050);
}

TEST_F(SoundManagerTest, EffectByIdPlaysAndItsSourceReturnsToThePool)
{
    UseTestGameFolder();
    const int pool = soundManager.EffectSourceCount();
    soundManager.PlayEffect(5);                           // WAV, at the listener
    soundManager.PlayEffect(6, 0.5f, false, 3.0f, -1.5f); // Ogg, outside the view
    soundManager.PlaySoundFile("sounds\\effects\\TONE.WAV"); // names ignore case
    EXPECT_EQ(soundManager.FreeEffectSourceCount(), pool - 3);
    EXPECT_TRUE(WaitUntil([&] { return soundManager.FreeEffectSourceCount() == pool; }));

    // Unknown ids, unreadable effects and switched-off effects take no source; each bad id
    // is logged once.
    for (int id : {999, 999, 7, 7})
        soundManager.PlayEffect(id);
    SetParam("soundenable", 0);
    soundManager.PlayEffect(5);
    soundManager.PlaySoundFile("Sounds\\Effects\\Tone.wav");
    EXPECT_EQ(soundManager.FreeEffectSourceCount(), pool);
    const std::string log = LogSinceStart();
    EXPECT_EQ(CountOf(log, "PlayEffect() unknown sound effect 999\n"), 1);
    EXPECT_EQ(CountOf(log, "PlayEffect() sound effect 7: cannot read Sounds\\Effects\\gone.wav\n"), 1);
    EXPECT_EQ(CountOf(log, "Sound effect table: row 5 skipped\n"), 1);
}

TEST_F(SoundManagerTest, MoreEffectsThanSourcesAreDropped)
{
    UseTestGameFolder();
    const int pool = soundManager.EffectSourceCount();
    for (int i = 0; i < pool + 4; ++i)
        soundManager.PlayEffect(6);
    EXPECT_EQ(soundManager.FreeEffectSourceCount(), 0);
    EXPECT_TRUE(WaitUntil([&] { return soundManager.FreeEffectSourceCount() == pool; }));
}

TEST_F(SoundManagerTest, MissingOrRefusedSoundFileLogsAndPlaysNothing)
{
    const int pool = soundManager.EffectSourceCount();
    soundManager.PlaySoundFile("Sounds\\no-such-sound.wav");
    soundManager.PlaySoundFile("..\\Sounds\\Effects\\click.wav");
    EXPECT_EQ(soundManager.FreeEffectSourceCount(), pool);
    const std::string log = LogSinceStart();
    EXPECT_EQ(CountOf(log, "PlaySoundFile() File does not exists\n"), 2);
    EXPECT_EQ(CountOf(log, "Sound file path refused: ..\\Sounds\\Effects\\click.wav"), 1);

    // A file that is there but is no sound is logged as such and plays nothing.
    std::ofstream(GetUserPath("Cache\\broken.wav"), std::ios::binary) << "RIFF....WAVEjunk";
    soundManager.PlaySoundFile("Cache\\broken.wav");
    EXPECT_EQ(soundManager.FreeEffectSourceCount(), pool);
    EXPECT_EQ(CountOf(LogSinceStart(), "Sound file Cache\\broken.wav: "), 1);
}

TEST_F(SoundManagerTest, MusicStreamsPastItsFirstBuffersAndTheSameTrackIsNotRestarted)
{
    soundManager.PlayMusic("intro", true, false, 1.0f);
    SoundManager::MusicStatus status = soundManager.GetMusicStatus();
    EXPECT_TRUE(status.playing);
    EXPECT_TRUE(status.refillThreadRunning);
    EXPECT_EQ(status.starts, 1u);
    EXPECT_TRUE(WaitUntil([] {
        return soundManager.GetMusicStatus().buffersQueued > sound::MusicStream::kBufferCount + 1;
    }));

    const uint64_t queued = soundManager.GetMusicStatus().buffersQueued;
    soundManager.PlayMusic("INTRO", true, false, 0.5f);
    soundManager.PlayMusic("intro", false, true, 1.0f);
    status = soundManager.GetMusicStatus();
    EXPECT_EQ(status.starts, 1u);
    EXPECT_GE(status.buffersQueued, queued);
    EXPECT_EQ(status.name, "intro");

    soundManager.StopMusic();
    status = soundManager.GetMusicStatus();
    EXPECT_FALSE(status.playing);
    EXPECT_FALSE(status.refillThreadRunning);
}

TEST_F(SoundManagerTest, ShortTrackLoopsWhenAskedAndEndsOtherwise)
{
    soundManager.PlayMusic("multi_tie01", true, false, 1.0f);
    EXPECT_TRUE(WaitUntil([] { return soundManager.GetMusicStatus().loops >= 2; }));
    EXPECT_TRUE(soundManager.GetMusicStatus().playing);

    // Another track replaces it; once played out it ends by itself and may be asked again.
    soundManager.PlayMusic("Sounds\\Music\\multi_tie01.ogg", false, true, 1.0f);
    EXPECT_EQ(soundManager.GetMusicStatus().starts, 2u);
    EXPECT_TRUE(WaitUntil([] { return !soundManager.GetMusicStatus().playing; }));
    EXPECT_EQ(soundManager.GetMusicStatus().loops, 0u);
    soundManager.PlayMusic("Sounds\\Music\\multi_tie01.ogg", false, true, 1.0f);
    EXPECT_EQ(soundManager.GetMusicStatus().starts, 3u);
    EXPECT_TRUE(soundManager.GetMusicStatus().playing);
}

TEST_F(SoundManagerTest, MusicSwitchAndUnreadableTracks)
{
    SetParam("musicenable", 0);
    soundManager.PlayMusic("planet01", true, false, 0.65f);
    EXPECT_FALSE(soundManager.GetMusicStatus().playing);
    SetParam("musicenable", 1); // switching music on starts the track asked for
    EXPECT_TRUE(soundManager.GetMusicStatus().playing);
    EXPECT_EQ(soundManager.GetMusicStatus().name, "planet01");
    SetParam("musiclevel", 40);
    EXPECT_TRUE(soundManager.GetMusicStatus().playing);
    SetParam("musicenable", 0);
    EXPECT_FALSE(soundManager.GetMusicStatus().playing);
    EXPECT_FALSE(soundManager.GetMusicStatus().refillThreadRunning);
    SetParam("musicenable", 1);

    // A track that cannot be opened leaves the current one playing.
    soundManager.PlayMusic("no_such_track", true, false, 1.0f);
    soundManager.PlayMusic("Sounds\\Effects\\click.wav", true, true, 1.0f);
    EXPECT_EQ(soundManager.GetMusicStatus().name, "planet01");
    const std::string log = LogSinceStart();
    EXPECT_EQ(CountOf(log, "PlayMusic() cannot open Sounds\\Music\\no_such_track.ogg"), 1);
    EXPECT_EQ(CountOf(log, "PlayMusic() Sounds\\Effects\\click.wav: "), 1);

    EXPECT_NEAR(soundManager.GetMusicDuration("Sounds\\Music\\intro.ogg"), 12.0, 0.1);
    EXPECT_EQ(soundManager.GetMusicDuration("Sounds\\Effects\\click.wav"), 0.0);
    EXPECT_EQ(soundManager.GetMusicDuration("Sounds\\Music\\missing.ogg"), 0.0);
}

// A video's sound: pieces queue on a source of their own and play out; a stream left open
// over a shutdown falls silent and stays safe.
TEST_F(SoundManagerTest, SampleStreamQueuesPiecesThatPlayOutAndOutlivesTheDevice)
{
    EXPECT_EQ(soundManager.OpenSampleStream(3, 22050, 1.0f), nullptr);
    EXPECT_EQ(soundManager.OpenSampleStream(1, 0, 1.0f), nullptr);
    auto stream = soundManager.OpenSampleStream(1, 22050, 0.5f);
    ASSERT_NE(stream, nullptr);
    const int freeBefore = soundManager.FreeEffectSourceCount();
    std::vector<int16_t> piece(2205); // 0.1 s of a quiet tone
    for (size_t i = 0; i < piece.size(); ++i)
        piece[i] = int16_t((i % 50) * 40);
    for (int i = 0; i < 3; ++i)
        stream->Queue(piece.data(), piece.size());
    EXPECT_GE(stream->PendingPieces(), 1);
    EXPECT_EQ(soundManager.FreeEffectSourceCount(), freeBefore); // not an effect source
    for (int i = 0; i < 100 && stream->PendingPieces() > 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(stream->PendingPieces(), 0);
    for (int i = 0; i < 40; ++i)
        stream->Queue(piece.data(), piece.size());
    EXPECT_LE(stream->PendingPieces(), 32);
    soundManager.Shutdown();
    stream->Queue(piece.data(), piece.size());
    stream->SetGain(1.0f);
    EXPECT_EQ(stream->PendingPieces(), 0);
    stream.reset();
}

TEST(SoundManagerNoDevice, EveryCallIsANoOp)
{
    SetProgramFolder(FLIMBS_GAME_DIR);
    const size_t logStart = ReadText(LogFilePath()).size();
    SoundManager manager;
    EXPECT_FALSE(manager.Start("no such audio device"));
    EXPECT_FALSE(manager.IsActive());
    manager.PlayEffect(13);
    manager.PlayEffect(999, 1.0f, false, 5.0f, 5.0f);
    manager.PlaySoundFile("Sounds\\no-such-sound.wav");
    manager.PlayMusic("intro");
    manager.SetListenerPosition(100.0f, 200.0f);
    manager.ApplyMusicSettings();
    EXPECT_FALSE(manager.GetMusicStatus().playing);
    EXPECT_EQ(manager.GetMusicStatus().starts, 0u);
    EXPECT_EQ(manager.EffectSourceCount(), 0);
    EXPECT_EQ(manager.FreeEffectSourceCount(), 0);
    manager.StopMusic();
    EXPECT_EQ(manager.OpenSampleStream(1, 22050, 1.0f), nullptr);
    manager.Shutdown();
    const std::string log = ReadText(LogFilePath()).substr(logStart);
    EXPECT_EQ(log, "Sound: no audio device, sound is off\n");
}
