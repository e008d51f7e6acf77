#include "tests/support/LevelFixture.h"

#include "app/Random.h"
#include "app/ResourceFileManager.h"
#include "app/StandardFileManager.h"
#include "app/XmlUtil.h"
#include "game/GameServices.h"
#include "modes/ModeServices.h"
#include "world/WorldServices.h"

#include <zlib.h>

#include <fstream>
#include <sstream>

std::string LevelParts::Text() const
{
    return "<flimbs-level><debug>test</debug><globals>" + globals + "</globals><groups>" + groups +
           "</groups><traps>" + traps + "</traps><preflimbs>" + flimbs + "</preflimbs><primitives>" + primitives +
           "</primitives></flimbs-level>";
}

std::vector<uint8_t> GzipBytes(const std::string& text)
{
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, 31, 8, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> out(deflateBound(&stream, static_cast<uLong>(text.size())) + 64);
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

std::unique_ptr<FileManager> InstallLevelFiles(MemoryFileManager** memory)
{
    auto manager = std::make_unique<FileManager>();
    auto user = std::make_unique<StandardFileManager>();
    user->AddRootFolder("Level");
    user->AddRootFolder("Cache");
    manager->AddMember(std::move(user));
    manager->AddMember(std::make_unique<ResourceFileManager>(std::string(FLIMBS_GAME_DIR) + "/Data/resource.dat"));
    auto held = std::make_unique<MemoryFileManager>();
    if (memory)
        *memory = held.get();
    manager->AddMember(std::move(held));
    manager->IndexNames(nullptr, 0, nullptr);
    fileManager = manager.get();
    InstallLevelServices();
    return manager;
}

void InstallLevelServices()
{
    std::ifstream defaults(std::string(FLIMBS_SOURCE_DIR) + "/data/game/Level/level_defaults.xml");
    std::stringstream text;
    text << defaults.rdbuf();
    SetLevelDefaultsDocument(text.str());
    InitLandscape();
}

void ReleaseLevelServices()
{
    ClearCurrentGameMode();
    ReleaseLandscape();
    SetLevelDefaultsDocument("");
}

std::vector<uint8_t> ReadShippedLevel(const std::string& name)
{
    std::ifstream in(std::string(FLIMBS_GAME_DIR) + "/Level/" + name + ".flevel", std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void AddShippedLevel(MemoryFileManager& memory, const std::string& name)
{
    const std::vector<uint8_t> bytes = ReadShippedLevel(name);
    memory.AddFile("Level\\" + name + ".flevel", bytes.data(), bytes.size());
}

void ReleaseLevelFiles()
{
    ReleaseLevelServices();
    fileManager = nullptr;
}

void LevelFixture::SetUp()
{
    world = std::make_unique<TestWorld>();
    manager = InstallLevelFiles(&memory);
}

void LevelFixture::TearDown()
{
    ReleaseLevelFiles();
    world.reset();
    manager.reset();
}

std::string LevelFixture::Hashed(const std::string& text)
{
    XmlDocument doc = XmlParseBuffer(text.data(), text.size(), "level");
    if (!doc)
        return text;
    RandomGenerator own;
    ScopedSimRandom use(own);
    XmlSetHash(XmlRoot(doc.get()));
    return XmlDocumentText(doc.get());
}

void LevelFixture::AddLevel(const std::string& path, const std::string& text, bool hash, bool gzip)
{
    const std::string body = hash ? Hashed(text) : text;
    AddFile(path, gzip ? GzipBytes(body) : std::vector<uint8_t>(body.begin(), body.end()));
}

void LevelFixture::AddFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    memory->AddFile(path, bytes.data(), bytes.size());
    manager->IndexNames(nullptr, 0, nullptr);
}
