// The landscape as a whole: creation and sizes, the tile quads, clearing, alphas, tile copies,
// the state hash, previews, the console and the debugging reports.
#include "../support/LogCapture.h"
#include "../support/WorldFixture.h"

#include "app/ConsoleParam.h"
#include "app/Crc32.h"
#include "app/MemoryFileManager.h"
#include "app/StringUtil.h"
#include "platform/gfx/Resources.h"
#include "world/TileQuads.h"
#include "world/WorldServices.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

const TileVertex* Quads(const Landscape& land)
{
    return land.GetVertexBuffer() ? reinterpret_cast<const TileVertex*>(land.GetVertexBuffer()->Data()) : nullptr;
}

void ExpectTileQuad(const Landscape& land, int column, int row)
{
    const TileVertex* v = Quads(land) + (land.TileColumns() * row + column) * kVerticesPerTile;
    const float l = column * 128.0f, t = row * 128.0f, r = l + 128.0f, b = t + 128.0f;
    const float expected[6][4] = {{l, t, 0, 0}, {r, t, 1, 0}, {l, b, 0, 1}, {r, b, 1, 1}, {l, b, 0, 1}, {r, t, 1, 0}};
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(v[i].x, expected[i][0]) << column << "," << row << " vertex " << i;
        EXPECT_EQ(v[i].y, expected[i][1]);
        EXPECT_EQ(v[i].u, expected[i][2]);
        EXPECT_EQ(v[i].v, expected[i][3]);
        EXPECT_EQ(v[i].z, 0.0f);
        EXPECT_EQ(v[i].colour, 0xFFFFFFFFu);
    }
}

} // namespace

TEST(Landscape, CreateSizesTheGridAndBuildsOneQuadPerTile)
{
    Landscape land;
    EXPECT_FALSE(land.IsCreated());
    ASSERT_EQ(land.Create(300, 200), TileStore::kCreated);
    EXPECT_TRUE(land.IsCreated());
    EXPECT_EQ(land.TileColumns(), 3);
    EXPECT_EQ(land.TileRows(), 2);
    ASSERT_NE(land.GetVertexBuffer(), nullptr);
    EXPECT_EQ(land.GetVertexBuffer()->Length(), 3u * 2u * 144u);
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c)
            ExpectTileQuad(land, c, r);

    const struct {
        int width, height, columns, rows;
    } sizes[] = {{1, 1, 1, 1}, {128, 129, 1, 2}, {16384, 16384, 128, 128}};
    for (const auto& s : sizes) {
        ASSERT_TRUE(land.SetSize(s.width, s.height));
        EXPECT_EQ(land.TileColumns(), s.columns);
        EXPECT_EQ(land.TileRows(), s.rows);
    }
}

TEST(Landscape, CreateTwiceKeepsTheTilesAndRebuildsTheQuads)
{
    Landscape land;
    ASSERT_EQ(land.Create(256, 128), TileStore::kCreated);
    land.PlotPixel(3, 0xFF123456u, 200, 100);
    ASSERT_EQ(land.Create(512, 256), TileStore::kCreated);
    EXPECT_EQ(land.HitTestPoint(200, 100), 3);
    EXPECT_EQ(land.GetPixelColour(200, 100), 0xFF123456u);
    ASSERT_NE(land.GetVertexBuffer(), nullptr);
    EXPECT_EQ(land.GetVertexBuffer()->Length(), 4u * 2u * 144u);
    ExpectTileQuad(land, 3, 1);
}

TEST(Landscape, CreateRefusesWhileSuppressedAndSizesOutOfRange)
{
    Landscape land;
    ASSERT_EQ(land.Create(256, 256), TileStore::kCreated);
    land.PlotPixel(1, 0xFF000000u, 10, 10);
    land.suppressed = 1;
    EXPECT_EQ(land.Create(512, 512), TileStore::kCreateSuppressed);
    EXPECT_EQ(land.Width(), 256);
    land.suppressed = 0;

    for (const auto& size : {std::pair{0, 10}, {10, 0}, {-5, 100}, {16385, 10}, {10, 1 << 30}}) {
        LogCapture log;
        EXPECT_EQ(land.Create(size.first, size.second), TileStore::kCreateRefused);
        EXPECT_FALSE(land.SetSize(size.first, size.second));
        EXPECT_TRUE(log.Contains(StringPrintf("Landscape size %d x %d refused", size.first, size.second)))
            << log.Text();
        EXPECT_EQ(land.Width(), 256);
        EXPECT_EQ(land.Height(), 256);
        EXPECT_EQ(land.TileColumns(), 2);
        EXPECT_EQ(land.HitTestPoint(10, 10), 1);
    }
}

TEST(Landscape, ClearFreesEveryTile)
{
    Landscape land;
    ASSERT_EQ(land.Create(256, 256), TileStore::kCreated);
    land.SetPixel(1, true, 0xFF000000u, 0, 0, 255, 255);
    land.undoRecording = 1;
    land.PlotPixel(2, 0xFF000000u, 5, 5); // no undo from a fill
    land.focusFlimb = reinterpret_cast<Flimb*>(&land);
    land.Clear();
    EXPECT_EQ(land.focusFlimb, nullptr);
    EXPECT_EQ(land.GetVertexBuffer(), nullptr);
    EXPECT_EQ(land.TileColumns(), 0);
    EXPECT_EQ(land.TileRows(), 0);
    for (int slot : {TileSlot(0, 0), TileSlot(1, 1)}) {
        EXPECT_EQ(land.MaterialMap(slot), nullptr);
        EXPECT_EQ(land.FrontColours(slot), nullptr);
    }
    EXPECT_EQ(land.Checksum(), 0);
    EXPECT_EQ(land.HitTestPoint(5, 5), 0);
}

TEST(Landscape, SixteenBitMaterialColours)
{
    EXPECT_EQ(kMaterialColours16.colour[0], 0x0000);
    EXPECT_EQ(kMaterialColours16.colour[1], 0xC5A1);  // 0xFF886B0B
    EXPECT_EQ(kMaterialColours16.colour[9], 0x091F);  // 0x001144FF: no alpha bit
    EXPECT_EQ(kMaterialColours16.colour[17], 0xFE31); // 0xFFFF8888
}

TEST(Landscape, FrontAlphaOfExistingTiles)
{
    Landscape land;
    ASSERT_EQ(land.Create(256, 256), TileStore::kCreated);
    land.PlotPixel(1, 0xFF000000u, 5, 5);
    land.SetFrontAlpha(96);
    land.PlotPixel(1, 0xFF000000u, 200, 5);
    EXPECT_EQ(land.TileAlpha(TileSlot(0, 0)), 96);
    EXPECT_EQ(land.TileAlpha(TileSlot(1, 0)), 255);
    EXPECT_EQ(land.Checksum(), 2 * (122880 + 1)); // materials never change
    land.Create(256, 256);
    EXPECT_EQ(land.TileAlpha(TileSlot(0, 0)), 255);
}

TEST(Landscape, InitGlobalNamesThePanelAndSetsTheEdges)
{
    ASSERT_FALSE(LandscapeExists());
    InitLandscape();
    ASSERT_TRUE(LandscapeExists());
    Landscape* land = GameLandscape();
    ASSERT_NE(land, nullptr);
    EXPECT_EQ(land->name, "LandScape");
    EXPECT_EQ(land->containerFlags, uint32_t(kContainerTransparent));
    EXPECT_EQ(land->edgeModes, (std::array<int32_t, 4>{2, 2, 0, 1}));
    ReleaseLandscape();
    EXPECT_EQ(GameLandscape(), nullptr);
    ReleaseLandscape(); // safe twice
}

TEST(Landscape, CopyTilesMovesBlocksAsThroughATemporary)
{
    Landscape land;
    ASSERT_EQ(land.Create(640, 256), TileStore::kCreated);
    for (int column = 0; column < 3; ++column)
        land.PlotPixel(uint8_t(column + 1), 0xFF000000u | uint32_t(column), column * 128 + 5, 5);
    land.CopyTiles(0, 0, 383, 127, 128, 0); // three tiles one to the right: overlapping
    EXPECT_EQ(ReadAscii(land, 5, 5, 1, 1), AsciiMap{"1"}); // the source keeps its tile
    for (int column = 1; column < 4; ++column) {
        EXPECT_EQ(land.HitTestPoint(column * 128 + 5, 5), column) << column;
        EXPECT_EQ(land.GetPixelColour(column * 128 + 5, 5), 0xFF000000u | uint32_t(column - 1));
    }
    land.CopyTiles(128, 0, 511, 127, 0, 0); // and back to the left
    for (int column = 0; column < 3; ++column)
        EXPECT_EQ(land.HitTestPoint(column * 128 + 5, 5), column + 1) << column;
    // A tile to a tile that had nothing; destinations outside the grid are skipped.
    land.CopyTiles(0, 0, 127, 127, 0, 128);
    EXPECT_EQ(land.HitTestPoint(5, 133), 1);
    const int before = land.Checksum();
    land.CopyTiles(0, 0, 639, 255, 512, 0);
    land.CopyTiles(0, 0, 127, 127, 1 << 30, -(1 << 30));
    land.CopyTiles(INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX, 0, 0);
    land.CopyTiles(-1000, -1000, -1, -1, 0, 0);
    EXPECT_EQ(land.HitTestPoint(517, 5), 1); // tile 0 landed on tile 4; its block's rest fell off
    EXPECT_GE(land.Checksum(), before);
}

TEST(Landscape, StateHashFollowsMaterialsAndColoursOnly)
{
    auto make = [] {
        auto land = std::make_unique<Landscape>();
        land->Create(300, 200);
        land->SetPixel(1, true, 0xFF102030u, 10, 10, 140, 20);
        return land;
    };
    auto a = make(), b = make();
    const uint64_t base = a->StateHash();
    EXPECT_EQ(base, b->StateHash());

    b->PlotPixel(3, 0xFF102030u, 12, 12); // material only
    EXPECT_NE(b->StateHash(), base);
    b = make();
    b->PlotPixel(1, 0xFF102031u, 12, 12); // colour only
    EXPECT_NE(b->StateHash(), base);
    b = make();
    BashMaskPtr mask = AllocateBashMask(1, 1);
    mask->Row(0)[0] = 0xFF102030u;
    b->Bash(BashRect{12, 12, 13, 13}, mask.get(), 1, true, kAllMaterials, BashOptions{}, MaskReader{}, 0xFF808080u,
            nullptr, false, false, nullptr, false, true); // the same front pixel, a new back pixel
    EXPECT_EQ(b->GetPixelColour(12, 12), 0xFF102030u);
    EXPECT_NE(b->StateHash(), base);
    b = make();
    b->edgeModes[TileStore::kEdgeLeft] = TileStore::kEdgeWrap;
    EXPECT_NE(b->StateHash(), base);

    // Undo copies and drawing alphas are not terrain.
    b = make();
    b->undoRecording = 1;
    b->Bash(BashRect{200, 100, 201, 101}, mask.get(), 0, true, kAllMaterials, BashOptions{}, MaskReader{},
            0xFF808080u, nullptr, false, false, nullptr, false, false);
    b->SetFrontAlpha(96);
    EXPECT_EQ(b->StateHash(), base);
}

TEST(Landscape, CopyToSurfaceDrawsTheFrontTilesItCovers)
{
    Landscape land;
    ASSERT_EQ(land.Create(300, 300), TileStore::kCreated);
    land.PlotPixel(1, 0xFF0000FFu, 5, 5);
    land.PlotPixel(1, 0xFF00FF00u, 130, 140);
    land.PlotPixel(1, 0xFFFF0000u, 290, 5); // outside the target
    auto* target = new gfx::Surface(200, 150, gfx::D3DFMT_A8R8G8B8, gfx::D3DPOOL_MANAGED, 0);
    land.CopyToSurface(target);
    EXPECT_EQ(target->ReadPixel(5, 5), 0xFF0000FFu);
    EXPECT_EQ(target->ReadPixel(130, 140), 0xFF00FF00u);
    EXPECT_EQ(target->ReadPixel(6, 5), 0u);
    target->Release();
    land.CopyToSurface(nullptr);
}

TEST(Landscape, FileCrcIsReadAndTheHandleClosed)
{
    MemoryFileManager files;
    files.AddFile("Level\\a.flevel", "hello", 5);
    const int handle = files.Open("Level\\a.flevel");
    ASSERT_GE(handle, 0);
    EXPECT_EQ(GetFileCrcAndClose(files, handle), Crc32("hello", 5));
    EXPECT_FALSE(files.Close(handle));
}

TEST(Landscape, SymmetryReportFindsTheFirstMismatchOfEachTest)
{
    auto land = MakeAsciiLandscape({"."}, {}, 16, 16);
    ASSERT_TRUE(land);
    EXPECT_EQ(land->SymmetryReport(), std::vector<std::string>{"Check complete"});
    land->PlotPixel(1, 0xFF000000u, 5, 7);
    const std::vector<std::string> expected = {
        "Y=-X error (7,5)", "Y=X error (5,7)", "Horizontal error (5,7)=1 (10,7)=0",
        "Vertical error (5,7)=1 (5,8)=0", "Check complete"};
    EXPECT_EQ(land->SymmetryReport(), expected);
    LogCapture log; // the chat lines reach the log until the HUD's chat exists
    land->CheckSymmetry();
    EXPECT_TRUE(log.Contains("Vertical error (5,7)=1 (5,8)=0\nCheck complete\n")) << log.Text();
    // A wide landscape skips the diagonal tests.
    auto wide = MakeAsciiLandscape({"."}, {}, 20, 10);
    wide->PlotPixel(1, 0xFF000000u, 4, 4);
    EXPECT_EQ(wide->SymmetryReport(), (std::vector<std::string>{"Horizontal error (4,4)=1 (15,4)=0",
                                                                 "Vertical error (4,4)=1 (4,5)=0", "Check complete"}));
}

namespace {

ConsoleParam& Param(const char* name)
{
    ConsoleParam* param = ConsoleParam::Find(name);
    EXPECT_NE(param, nullptr) << name;
    static ConsoleParam missing("__missing_landscape_param", ConsoleParamType::Int, "0", "");
    return param ? *param : missing;
}

class LandscapeConsole : public ::testing::Test {
protected:
    void SetUp() override
    {
        InitLandscape();
        land = GameLandscape();
        land->Create(256, 256);
    }
    void TearDown() override { ReleaseLandscape(); }
    Landscape* land = nullptr;
};

} // namespace

TEST(LandscapeConsoleNames, EveryVariableIsRegisteredOnce)
{
    std::set<std::string> names;
    for (ConsoleParam* param : ConsoleParam::All())
        EXPECT_TRUE(names.insert(ToLowerAscii(param->Name())).second) << param->Name() << " is registered twice";
    const struct {
        const char* name;
        ConsoleParamType type;
        const char* help;
    } expected[] = {
        {"gen", ConsoleParamType::Int, "autogenerate landscape"},
        {"startprotection", ConsoleParamType::Int, "protections to start"},
        {"houseprotection", ConsoleParamType::Int, "protection for end"},
        {"brush", ConsoleParamType::Int, "turns on/off brush"},
        {"god", ConsoleParamType::Int, "god mode"},
        {"demigod", ConsoleParamType::Int, "editor god mode"},
        {"battlesave", ConsoleParamType::Int, ""},
        {"checksymmetry", ConsoleParamType::Command, ""},
        {"checksumlevel", ConsoleParamType::Command, ""},
        {"checksumblock", ConsoleParamType::Command, ""},
        {"landStart", ConsoleParamType::Command, "command description"},
        {"landStop", ConsoleParamType::Command, "command description"},
        {"dumpblock", ConsoleParamType::Int, ""},
        {"loadquick", ConsoleParamType::Int, ""},
    };
    for (const auto& e : expected) {
        ConsoleParam& param = Param(e.name);
        EXPECT_EQ(param.Name(), e.name);
        EXPECT_EQ(param.Type(), e.type) << e.name;
        EXPECT_EQ(param.HelpText(), e.help) << e.name;
        if (e.type != ConsoleParamType::Command) {
            EXPECT_EQ(param.DefaultText(), "0") << e.name;
        }
    }
}

TEST_F(LandscapeConsole, GodModesSwitchOnOnlyAtOne)
{
    for (const char* name : {"god", "demigod"}) {
        ConsoleParam& mode = Param(name);
        LogCapture log;
        mode.SetInt(1);
        EXPECT_EQ(mode.GetInt(), 1);
        mode.SetInt(5);
        EXPECT_EQ(mode.GetInt(), 0);
        EXPECT_EQ(log.Text(), StringPrintf("%s mode ON\n%s mode OFF\n", name, name));
    }
    ConsoleParam& brush = Param("brush");
    LogCapture log;
    brush.SetFromString("1");
    EXPECT_EQ(log.Text(), "Brush ON\n");
    brush.SetInt(7);
    EXPECT_EQ(brush.GetInt(), 0); // it was on: switched off
    brush.SetInt(7);
    EXPECT_EQ(brush.GetInt(), 7);
    brush.ResetToDefault();
}

TEST_F(LandscapeConsole, ChecksumCommandsLogTheLevelAndItsBlocks)
{
    land->PlotPixel(1, 0xFF000000u, 200, 5);
    LogCapture log;
    Param("checksumlevel").Execute("");
    Param("checksumblock").Execute("");
    EXPECT_EQ(log.Text(), "Level CheckSum 122881\nBlock 0 (1,0) CheckSum 122881\n");
}

TEST_F(LandscapeConsole, DumpBlockLogsOneTileOrWhyNot)
{
    land->PlotPixel(7, 0xFF000000u, 3, 130); // tile (0, 1): n = 1 with k = 2
    {
        LogCapture log;
        Param("dumpblock").SetInt(1);
        EXPECT_EQ(std::count(log.Text().begin(), log.Text().end(), '\n'), 16384);
        EXPECT_TRUE(log.Contains("Block (0,1) : [0,0] = 0\n"));
        EXPECT_TRUE(log.Contains("Block (0,1) : [3,2] = 7\n"));
    }
    const struct {
        int width, n;
        const char* line;
    } refused[] = {{256, 2, "dumpblock: block 2 (1,0) has no terrain\n"},
                   {256, -1, "dumpblock: no block -1\n"},
                   {256, 1 << 30, "has no terrain\n"},
                   {100, 0, "dumpblock: the landscape is narrower than one tile\n"}};
    for (const auto& r : refused) {
        land->Create(r.width, 256);
        LogCapture log;
        Param("dumpblock").SetInt(r.n);
        EXPECT_TRUE(log.Contains(r.line)) << log.Text();
    }
}

TEST_F(LandscapeConsole, BattleSaveAsksTheSessionForTheRecording)
{
    LogCapture log;
    Param("battlesave").SetInt(1);
    EXPECT_TRUE(log.Contains("Cannot save the playback Level\\Battles\\fm_-m.flimbs: no game session\n"))
        << log.Text();
    Param("battlesave").SetInt(3);
    EXPECT_TRUE(log.Contains("battlesave: no battle name 3\n"));
}

TEST_F(LandscapeConsole, LandTimerStartsAndStops)
{
    Param("landStart").Execute("");
    EXPECT_EQ(land->landTimer.duration, 30);
    Param("landStop").Execute("");
    EXPECT_EQ(land->landTimer.start, 0u);
    ReleaseLandscape();
    LogCapture log;
    Param("checksumlevel").Execute("");
    EXPECT_EQ(log.Text(), "There is no landscape\n");
}
