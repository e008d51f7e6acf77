#include "media/DXManager.h"

#include "app/GameException.h"
#include "app/Log.h"
#include "app/UserFolders.h"
#include "platform/gfx/Sprite.h"
#include "platform/image/ImageCodec.h"
#include "platform/window/MainWindow.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

using namespace gfx;

namespace {

std::string ReadLog()
{
    std::ifstream in(LogFilePath());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

class DXManagerTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ResetAdapterProfile();
        ASSERT_TRUE(window_.Create("Flimbs", {0, 0, 64, 48}));
    }
    void TearDown() override
    {
        DXManager::Shutdown();
        DXManager::SetShiftStateProvider(nullptr);
        ResetAdapterProfile();
    }
    std::string InitFailure()
    {
        try {
            DXManager::Init(&window_, 64, 48);
        } catch (const GameException& e) {
            return e.what();
        }
        return "";
    }
    platform::MainWindow window_;
};

TEST_F(DXManagerTest, StartUpChecksAndCreationFallbacks)
{
    struct Case {
        const char* name;
        void (*adjust)(AdapterProfile&);
        const char* failure;
        const char* logLine;
    } cases[] = {
        {"no interval one", [](AdapterProfile& p) { p.caps.PresentationIntervals = D3DPRESENT_INTERVAL_IMMEDIATE; },
         "Device Caps Missing: D3DPRESENT_INTERVAL_ONE", nullptr},
        {"small textures", [](AdapterProfile& p) { p.caps.MaxTextureWidth = 1024; },
         "Video card cannot load 2048x2048 textures", nullptr},
        {"no adapter", [](AdapterProfile& p) { p.available = false; }, "Could not get D3d9 interface!\n", nullptr},
        {"caps fail on both", [](AdapterProfile& p) { p.halCapsResult = p.refCapsResult = D3DERR_OUTOFVIDEOMEMORY; },
         "CAPS: video device is out of memory\n", "Could not get HAL device caps"},
        {"no display mode", [](AdapterProfile& p) { p.displayModeResult = E_FAIL; },
         "Couldn't get current display mode\n", nullptr},
        {"software vertex processing", [](AdapterProfile& p) { p.createResult[0][0] = D3DERR_NOTAVAILABLE; }, "",
         "d3d is soft and hal\n"},
        {"reference only",
         [](AdapterProfile& p) { p.createResult[0][0] = p.createResult[0][1] = D3DERR_NOTAVAILABLE; },
         "FLIMBS requires a 3d video card, go buy one!", "d3d is hard and ref\n"},
        {"nothing at all",
         [](AdapterProfile& p) {
             for (auto& row : p.createResult)
                 row[0] = row[1] = D3DERR_INVALIDCALL;
         },
         "invalid call to the video device\n", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AdapterProfile profile;
        c.adjust(profile);
        SetAdapterProfile(profile);
        EXPECT_EQ(InitFailure(), c.failure);
        if (c.logLine) {
            EXPECT_NE(ReadLog().find(c.logLine), std::string::npos);
        }
        DXManager::Shutdown();
    }
}

class RecordingObject : public IDeviceObject {
public:
    RecordingObject(std::string name, std::vector<std::string>& calls) : name_(std::move(name)), calls_(calls) {}
    HRESULT OnDeviceLost() override
    {
        calls_.push_back(name_ + " lost");
        return fail_ ? E_FAIL : D3D_OK;
    }
    void OnDeviceRestored() override { calls_.push_back(name_ + " restored"); }
    bool fail_ = false;

private:
    std::string name_;
    std::vector<std::string>& calls_;
};

TEST_F(DXManagerTest, ResetTellsDeviceObjectsInRegistrationOrder)
{
    ASSERT_EQ(DXManager::Init(&window_, 64, 48), D3D_OK);
    EXPECT_EQ(DXManager::screenWidth, 64);
    EXPECT_EQ(DXManager::screenHeight, 48);
    ASSERT_TRUE(DXManager::GetSprite());
    std::vector<std::string> calls;
    RecordingObject a("a", calls), b("b", calls), c("c", calls);
    DXManager::RegisterDeviceObject(&a);
    DXManager::RegisterDeviceObject(&b);
    DXManager::RegisterDeviceObject(&c);
    DXManager::UnregisterDeviceObject(&b);
    DXManager::UnregisterDeviceObject(&b); // absent: nothing

    Device* device = DXManager::GetDevice();
    device->SimulateDeviceLost();
    EXPECT_EQ(device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(DXManager::ResetDevice(), D3D_OK);
    EXPECT_EQ(calls, (std::vector<std::string>{"a lost", "c lost", "a restored", "c restored"}));
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    DWORD lighting = 1, cull = 0;
    device->GetRenderState(D3DRS_LIGHTING, &lighting);
    device->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(lighting, 0u);
    EXPECT_EQ(cull, DWORD(D3DCULL_NONE));

    calls.clear();
    a.fail_ = true;
    EXPECT_EQ(DXManager::ResetDevice(), E_FAIL);
    EXPECT_EQ(calls, (std::vector<std::string>{"a lost"}));
    a.fail_ = false;

    // A window-mode switch goes through the same reset.
    calls.clear();
    DXManager::SetWindowed(false, false);
    EXPECT_FALSE(DXManager::IsWindowed());
    EXPECT_TRUE(window_.IsFullscreen());
    DXManager::ToggleWindowed(true);
    EXPECT_TRUE(DXManager::IsWindowed());
    EXPECT_EQ(calls.size(), 8u);
    EXPECT_NE(ReadLog().find("Set FullScreen Mode\n"), std::string::npos);
    DXManager::UnregisterDeviceObject(&a);
    DXManager::UnregisterDeviceObject(&c);
}

TEST_F(DXManagerTest, ANewScreenSizeResizesTheBackBufferAndTheWindow)
{
    EXPECT_EQ(DXManager::SetScreenSize(800, 600), E_FAIL) << "no device yet";
    ASSERT_EQ(DXManager::Init(&window_, 64, 48), D3D_OK);
    EXPECT_EQ(DXManager::SetScreenSize(0, 600), E_FAIL);
    EXPECT_EQ(DXManager::screenWidth, 64);
    ASSERT_EQ(DXManager::SetScreenSize(320, 200), D3D_OK);
    EXPECT_EQ(DXManager::screenWidth, 320);
    EXPECT_EQ(DXManager::screenHeight, 200);
    D3DSURFACE_DESC desc{};
    DXManager::GetBackBuffer()->GetDesc(&desc);
    EXPECT_EQ(desc.Width, 320u);
    EXPECT_EQ(desc.Height, 200u);
    int width = 0, height = 0;
    window_.GetClientSize(width, height);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 200);
}

TEST_F(DXManagerTest, ClipRectToScreenEdgeCases)
{
    ASSERT_EQ(DXManager::Init(&window_, 64, 48), D3D_OK);
    struct Case {
        int left, top, right, bottom;
        bool result;
        D3DVIEWPORT9 viewport;
    } cases[] = {
        {10, 5, 30, 20, true, {10, 5, 20, 15, 0, 1}},
        {-10, -5, 30, 20, true, {0, 0, 30, 20, 0, 1}},
        {50, 40, 100, 100, true, {50, 40, 14, 8, 0, 1}},
        {64, 0, 100, 10, false, {}},  // wholly right of the screen
        {-20, 0, -1, 10, false, {}},  // right negative
        {0, -20, 10, -5, false, {}},  // bottom negative
        {30, 10, 20, 20, false, {}},  // inverted
    };
    Device* device = DXManager::GetDevice();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.left);
        D3DVIEWPORT9 saved{1, 1, 1, 1, 0.5f, 0.5f};
        EXPECT_EQ(DXManager::ClipRectToScreen(c.left, c.top, c.right, c.bottom, saved), c.result);
        EXPECT_EQ(saved.Width, 64u); // the full viewport was saved
        D3DVIEWPORT9 now;
        device->GetViewport(&now);
        const D3DVIEWPORT9 expected = c.result ? c.viewport : saved;
        EXPECT_EQ(now.X, expected.X);
        EXPECT_EQ(now.Y, expected.Y);
        EXPECT_EQ(now.Width, expected.Width);
        EXPECT_EQ(now.Height, expected.Height);
        device->SetViewport(&saved);
    }
    // Nested clipping stays inside the current viewport.
    D3DVIEWPORT9 outer, inner;
    ASSERT_TRUE(DXManager::ClipRectToScreen(10, 10, 20, 20, outer));
    ASSERT_TRUE(DXManager::ClipRectToScreen(15, 0, 40, 40, inner));
    D3DVIEWPORT9 now;
    device->GetViewport(&now);
    EXPECT_EQ(now.X, 15u);
    EXPECT_EQ(now.Width, 5u);
    EXPECT_EQ(now.Y, 10u);
    EXPECT_EQ(now.Height, 10u);
    EXPECT_FALSE(DXManager::ClipRectToScreen(30, 30, 40, 40, inner));
}

std::string ScreenshotPath(int number, const char* extension)
{
    char name[64];
    std::snprintf(name, sizeof name, "Cache\\Screenshots\\flimbs_screenshot_%04d.%s", number, extension);
    return GetUserPath(name);
}

TEST_F(DXManagerTest, HeadlessScreenshotReadsBackAsTheFrame)
{
    ASSERT_EQ(DXManager::Init(&window_, 64, 48), D3D_OK);
    Device* device = DXManager::GetDevice();
    device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF3060C0u, 1.0f, 0);
    const D3DRECT corner{0, 0, 8, 8};
    device->Clear(1, &corner, D3DCLEAR_TARGET, 0xFFFFFFFFu, 1.0f, 0);
    device->Present(nullptr, nullptr, nullptr, nullptr);

    DXManager::TakeScreenshot(true);
    bool shift = true;
    DXManager::SetShiftStateProvider([&] { return shift; });
    DXManager::TakeScreenshot(true);
    shift = false;
    DXManager::TakeScreenshot(true);
    DXManager::TakeScreenshot(false);

    std::vector<uint8_t> bytes;
    platform::image::Image image;
    ASSERT_TRUE(platform::image::ReadFileBytes(ScreenshotPath(0, "bmp"), bytes));
    ASSERT_TRUE(platform::image::DecodeBmp(bytes.data(), bytes.size(), image));
    ASSERT_EQ(image.width, 64);
    ASSERT_EQ(image.height, 48);
    EXPECT_EQ(image.argb[0], 0xFFFFFFFFu);
    EXPECT_EQ(image.argb[20 * 64 + 30] & 0xFFFFFFu, 0x3060C0u);

    ASSERT_TRUE(platform::image::ReadFileBytes(ScreenshotPath(0, "jpg"), bytes));
    ASSERT_TRUE(platform::image::DecodeJpeg(bytes.data(), bytes.size(), image));
    EXPECT_EQ(image.width, 64);
    const uint32_t p = image.argb[30 * 64 + 40];
    EXPECT_NEAR(int((p >> 16) & 255), 0x30, 6);
    EXPECT_NEAR(int(p & 255), 0xC0, 6);
    EXPECT_TRUE(std::filesystem::exists(ScreenshotPath(1, "jpg")));
    EXPECT_FALSE(std::filesystem::exists(ScreenshotPath(2, "jpg")));
}

TEST_F(DXManagerTest, ScreenshotNumbersAreNeverOverwritten)
{
    ASSERT_EQ(DXManager::Init(&window_, 64, 48), D3D_OK);
    std::filesystem::create_directories(GetUserPath("Cache\\Screenshots"));
    for (int i = 0; i <= 9998; ++i)
        std::ofstream(ScreenshotPath(i, "jpg")) << "x";
    DXManager::TakeScreenshot(true);
    EXPECT_EQ(std::filesystem::file_size(ScreenshotPath(9998, "jpg")), 1u);
    ASSERT_TRUE(std::filesystem::exists(ScreenshotPath(9999, "jpg")));
    EXPECT_GT(std::filesystem::file_size(ScreenshotPath(9999, "jpg")), 1u);
    DXManager::TakeScreenshot(true);
    EXPECT_NE(ReadLog().find("TakeScreenshot: no free screenshot number"), std::string::npos);
}

TEST_F(DXManagerTest, SurfaceToFileWritesEveryFormatConsistently)
{
    ASSERT_EQ(DXManager::Init(&window_, 64, 48), D3D_OK);
    Device* device = DXManager::GetDevice();
    Ref<Surface> surface;
    ASSERT_EQ(device->CreateOffscreenPlainSurface(5, 3, D3DFMT_R5G6B5, D3DPOOL_SYSTEMMEM, surface.out()), D3D_OK);
    for (uint32_t y = 0; y < 3; ++y)
        for (uint32_t x = 0; x < 5; ++x)
            surface->WritePixel(x, y, x == 4 ? 0xFFFF0000u : 0xFF0000FFu);
    const RECT rect{2, -4, 99, 2};
    ASSERT_TRUE(DXManager::SurfaceToFile(DXManager::kFormatBmp, &rect, surface.get(), "Cache\\shot.bmp", 75));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(platform::image::ReadFileBytes(GetUserPath("Cache\\shot.bmp"), bytes));
    EXPECT_EQ(bytes.size(), 54u + 3 * 2 * 4); // header size and rows agree
    EXPECT_EQ(bytes[2] | (bytes[3] << 8), int(bytes.size()));
    platform::image::Image image;
    ASSERT_TRUE(platform::image::DecodeBmp(bytes.data(), bytes.size(), image));
    EXPECT_EQ(image.argb, (std::vector<uint32_t>{0xFF0000FFu, 0xFF0000FFu, 0xFFFF0000u, 0xFF0000FFu, 0xFF0000FFu,
                                                 0xFFFF0000u}));

    ASSERT_TRUE(DXManager::SurfaceToFile(DXManager::kFormatPng, nullptr, surface.get(), "Cache\\shot.png", 75));
    ASSERT_TRUE(platform::image::ReadFileBytes(GetUserPath("Cache\\shot.png"), bytes));
    ASSERT_TRUE(platform::image::DecodePng(bytes.data(), bytes.size(), image));
    EXPECT_EQ(image.width, 5);
    EXPECT_EQ(image.argb[4], 0xFFFF0000u);

    Ref<Surface> argb4;
    device->CreateOffscreenPlainSurface(2, 2, D3DFMT_A4R4G4B4, D3DPOOL_SYSTEMMEM, argb4.out());
    EXPECT_FALSE(DXManager::SurfaceToFile(DXManager::kFormatJpeg, nullptr, argb4.get(), "Cache\\no.jpg", 75));
    EXPECT_FALSE(DXManager::SurfaceToFile(7, nullptr, argb4.get(), "Cache\\no.gif", 75));
    EXPECT_NE(ReadLog().find("SurfaceToFile: Unsupported file format\n"), std::string::npos);
}

TEST_F(DXManagerTest, MovieRecordingSwitchTakesTheClock)
{
    DXManager::SetClockProvider([] { return 1234.0; });
    DXManager::SetMovieRecording(true);
    EXPECT_TRUE(DXManager::IsMovieRecording());
    EXPECT_EQ(DXManager::MovieStartTime(), 1234.0);
    EXPECT_EQ(DXManager::RecordedFrames(), 0u);
    DXManager::SetMovieRecording(false);
    EXPECT_FALSE(DXManager::IsMovieRecording());
    DXManager::SetClockProvider(nullptr);
}

} // namespace
