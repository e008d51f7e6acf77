#include "SurfaceFixture.h"

#include "app/StandardFileManager.h"
#include "media/Cursors.h"
#include "media/MSManager.h"
#include "platform/gfx/Device.h"

#include <algorithm>

namespace {

// The build's game folder as plain files (the cursor spec) over the archive (the images).
class CursorsTest : public SurfaceFixture {
protected:
    void SetUp() override
    {
        SurfaceFixture::SetUp();
        manager_->AddMember(std::make_unique<StandardFileManager>(
            std::vector<StandardFileManager::Root>{{"", std::string(FLIMBS_GAME_DIR)}}));
        manager_->IndexNames(nullptr, 0, nullptr);
        StartDevice();
    }
    void TearDown() override
    {
        Cursors::Shutdown();
        SurfaceFixture::TearDown();
    }
    // Clears the back buffer to opaque black, draws the cursor and counts the pixels that
    // changed.
    int DrawnPixels(int x, int y, uint32_t now)
    {
        gfx::Device* device = DXManager::GetDevice();
        device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF000000u, 1.0f, 0);
        device->BeginScene();
        Cursors::Draw(x, y, now);
        device->EndScene();
        gfx::Surface* back = DXManager::GetBackBuffer();
        int changed = 0;
        for (int py = 0; py < 48; ++py)
            for (int px = 0; px < 64; ++px)
                changed += (back->ReadPixel(px, py) & 0xFFFFFF) != 0 ? 1 : 0;
        return changed;
    }
};

TEST_F(CursorsTest, EveryNamedCursorOfTheGameExistsWithItsImage)
{
    ASSERT_TRUE(Cursors::LoadSpecs());
    for (const char* name : {"regular", "pointer-focus", "hand", "arrow-left", "arrow-right", "arrow-up",
                             "arrow-down", "move", "highlight", "precision", "press", "question", "loading",
                             "none", "rotate", "horizontal", "diagonal-right"})
        EXPECT_TRUE(Cursors::HasCursor(name)) << name;
    // Every image came from the archive, none fell back to the default image.
    EXPECT_EQ(ReadLog().find("default.png"), std::string::npos);
}

TEST_F(CursorsTest, DrawsAtThePointerWithItsHotSpot)
{
    ASSERT_TRUE(Cursors::LoadSpecs());
    Cursors::SetCursor("regular");
    EXPECT_GT(DrawnPixels(10, 10, 0), 60);
    // The hot spot (3, 2) is the pixel on the pointer: at the far corner only the image's
    // top-left 4 x 3 pixels are on the screen.
    const int corner = DrawnPixels(63, 47, 0);
    EXPECT_GT(corner, 0);
    EXPECT_LE(corner, 12);
    Cursors::SetCursor("none");
    EXPECT_EQ(DrawnPixels(10, 10, 0), 0);
}

TEST_F(CursorsTest, AnimatedCursorStepsByItsDelay)
{
    ASSERT_TRUE(Cursors::LoadSpecs());
    Cursors::SetCursor("loading"); // 8 frames, 80 ms each
    auto frameAt = [&](uint32_t now) {
        EXPECT_GT(DrawnPixels(32, 24, now), 100);
        uint64_t sum = 0;
        gfx::Surface* back = DXManager::GetBackBuffer();
        for (int py = 0; py < 48; ++py)
            for (int px = 0; px < 64; ++px)
                sum = sum * 1099511628211ull + back->ReadPixel(px, py);
        return sum;
    };
    const uint64_t first = frameAt(0);
    EXPECT_EQ(frameAt(79), first);
    EXPECT_NE(frameAt(80), first);
    EXPECT_EQ(frameAt(8 * 80), first) << "wraps after the last frame";
}

TEST_F(CursorsTest, UnknownNamesFallBackToRegularAndBrokenSpecsAreReported)
{
    ASSERT_TRUE(Cursors::LoadSpecs());
    Cursors::SetCursor("no-such-cursor");
    EXPECT_EQ(Cursors::CurrentName(), "regular");
    Cursors::SetCursor("no-such-cursor");
    const std::string log = ReadLog();
    const auto first = log.find("Unknown cursor \"no-such-cursor\"");
    ASSERT_NE(first, std::string::npos);
    EXPECT_EQ(log.find("Unknown cursor", first + 1), std::string::npos) << "reported once";

    memory_->AddFile("Graphics\\Cursors\\broken.xml", "<cursor-spec><cursors>", 22);
    manager_->IndexNames(nullptr, 0, nullptr);
    EXPECT_FALSE(Cursors::LoadSpecs("Graphics\\Cursors\\broken.xml"));
    EXPECT_TRUE(Cursors::CursorNames().empty());
    EXPECT_EQ(DrawnPixels(10, 10, 0), 0);
}

TEST_F(CursorsTest, MovingThePointerFromTheProgramSetsTheMovedFlag)
{
    Cursors::SetCursorMoved(false);
    msManager.SetCursorPosition(5, 6);
    EXPECT_TRUE(Cursors::CursorMoved());
    EXPECT_EQ(msManager.X(), 5);
}

} // namespace
