// Background screen building and the loading screen. These tests run threads: after a
// change to the loaders, the image cache or the device lock, run them under
// ThreadSanitizer (about a minute of building on two cores, a few seconds of testing):
//   cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DFLIMBS_THREAD_SANITIZE=ON
//   cmake --build build-tsan --target test_gui
//   TSAN_OPTIONS=halt_on_error=1 build-tsan/Bin/test_gui --gtest_filter='GuiLoaderTest.*'
#include "../media/SurfaceFixture.h"

#include "gui/DecoratedPrimContainer.h"
#include "gui/GuiLoadWorker.h"
#include "gui/LoadingScreen.h"
#include "gui/WindowList.h"
#include "platform/gfx/Device.h"

#include <atomic>
#include <chrono>
#include <future>
#include <thread>

namespace {

using namespace std::chrono_literals;

// A screen that notes where it was made and destroyed.
class BuiltScreen : public PrimContainer {
public:
    BuiltScreen() : madeOn(std::this_thread::get_id()) { name = "BUILT_SCREEN"; }
    ~BuiltScreen() override
    {
        destroyedOn = std::this_thread::get_id();
        ++destroyed;
    }
    std::thread::id madeOn;
    static inline std::thread::id destroyedOn;
    static inline int destroyed = 0;
};

class GuiLoaderTest : public SurfaceFixture {
protected:
    void SetUp() override
    {
        SurfaceFixture::SetUp();
        StartDevice();
        ResetGuiInput();
        BuiltScreen::destroyed = 0;
        AddImage("Graphics\\Test\\Load\\top.png", 4, 4, [](int, int) { return 0xFF00FF00u; });
    }
    void TearDown() override
    {
        CloseAllWindows();
        ResetGuiInput();
        SurfaceFixture::TearDown();
    }
    // Runs GUI frames on this thread (loading and drawing images meanwhile) until the
    // condition holds or two seconds pass.
    template <class Condition>
    bool RunFramesUntil(Condition done)
    {
        const auto end = std::chrono::steady_clock::now() + 2s;
        while (!done() && std::chrono::steady_clock::now() < end) {
            AnimSurface* image = ImageCache::GetImage("Graphics\\Test\\Load\\top.png");
            gfx::Device* device = DXManager::GetDevice();
            device->BeginScene();
            if (image)
                image->Draw(1.0f, 1.0f);
            DrawOpenWindows();
            device->EndScene();
            ImageCache::ReleaseImage(image);
            UpdateOpenWindows();
            std::this_thread::sleep_for(1ms);
        }
        return done();
    }
};

TEST_F(GuiLoaderTest, WorkerBuiltScreenIsHandedOverOnTheMainThread)
{
    const std::thread::id mainThread = std::this_thread::get_id();
    int doneCalls = 0;
    int buildArgument = 7;
    std::thread::id doneOn;
    auto* loader = new StandardGuiLoader(
        [](void* argument) -> Primitive* {
            auto* screen = new BuiltScreen;
            screen->tag = *static_cast<int*>(argument);
            // Building loads pictures and creates textures off the main thread.
            auto* framed = new DecoratedPrimContainer("Graphics\\Test\\Load");
            framed->name = "FRAMED";
            screen->AddChild(framed);
            MemBaseSurface scratch;
            return scratch.Create(8, 8) == 0 ? screen : nullptr;
        },
        [&](Primitive* parent, StandardGuiLoader* self) {
            EXPECT_EQ(parent, nullptr);
            ++doneCalls;
            doneOn = std::this_thread::get_id();
            Primitive* screen = self->TakeBuiltScreen();
            EXPECT_EQ(self->TakeBuiltScreen(), nullptr); // handed over once
            if (screen)
                OpenWindow(screen, true);
            CloseWindow(self);
            delete self;
        },
        &buildArgument);
    EXPECT_EQ(loader->GetCursorName(), "loading");
    EXPECT_EQ(loader->rect, (FloatRect{0, 0, 64, 48})); // the whole screen
    OpenWindow(loader, true);
    ASSERT_TRUE(loader->StartWorker());
    EXPECT_FALSE(loader->StartWorker());
    ASSERT_TRUE(RunFramesUntil([&] { return doneCalls > 0; }));
    EXPECT_EQ(doneCalls, 1);
    EXPECT_EQ(doneOn, mainThread);
    auto* screen = dynamic_cast<BuiltScreen*>(FindOpenWindow("BUILT_SCREEN"));
    ASSERT_NE(screen, nullptr);
    EXPECT_NE(screen->madeOn, mainThread);
    EXPECT_EQ(screen->tag, 7);
    EXPECT_NE(screen->FindChild("FRAMED"), nullptr);
}

TEST_F(GuiLoaderTest, ClosedLoaderIsNeverCalledBackAndItsScreenIsFreedOnTheMainThread)
{
    const std::thread::id mainThread = std::this_thread::get_id();
    int doneCalls = 0;
    auto onDone = [&](Primitive*, StandardGuiLoader*) { ++doneCalls; };

    // Closed (not deleted) while building: the update that would hand over never runs.
    std::promise<void> release;
    std::shared_future<void> gate = release.get_future().share();
    auto* closed = new StandardGuiLoader([gate](void*) -> Primitive* { gate.wait(); return new BuiltScreen; },
                                         onDone);
    OpenWindow(closed, true);
    ASSERT_TRUE(closed->StartWorker());
    closed->Deactivate();
    CloseWindow(closed);
    release.set_value();
    ASSERT_TRUE(RunFramesUntil([&] { return closed->WorkerFinished(); }));
    int frames = 0;
    RunFramesUntil([&] { return ++frames > 20; }); // frames go by; nobody calls back
    EXPECT_EQ(doneCalls, 0);
    delete closed;
    EXPECT_EQ(BuiltScreen::destroyed, 1);
    EXPECT_EQ(BuiltScreen::destroyedOn, mainThread);

    // Deleted while its worker still builds: the deletion waits for the worker, which never
    // reaches the loader afterwards.
    std::promise<void> later;
    std::shared_future<void> laterGate = later.get_future().share();
    auto* deleted = new StandardGuiLoader(
        [laterGate](void*) -> Primitive* { laterGate.wait(); return new BuiltScreen; }, onDone);
    OpenWindow(deleted, true);
    ASSERT_TRUE(deleted->StartWorker());
    std::thread releaser([&] {
        std::this_thread::sleep_for(20ms);
        later.set_value();
    });
    CloseWindow(deleted);
    delete deleted;
    releaser.join();
    EXPECT_EQ(doneCalls, 0);
    EXPECT_EQ(BuiltScreen::destroyed, 2);
    EXPECT_EQ(BuiltScreen::destroyedOn, mainThread);
}

TEST_F(GuiLoaderTest, FailedBuildsReportNoScreen)
{
    struct Case {
        const char* what;
        GuiBuildFunction build;
    };
    const Case cases[] = {
        {"throws", [](void*) -> Primitive* { throw std::runtime_error("no memory for the map"); }},
        {"returns none", [](void*) -> Primitive* { return nullptr; }},
        {"has no function", nullptr},
    };
    for (const Case& c : cases) {
        bool done = false;
        Primitive* handed = reinterpret_cast<Primitive*>(1);
        StandardGuiLoader loader(c.build, [&](Primitive*, StandardGuiLoader* self) {
            done = true;
            handed = self->TakeBuiltScreen();
        });
        ASSERT_TRUE(loader.StartWorker()) << c.what;
        ASSERT_TRUE(RunFramesUntil([&] { loader.Update(); return done; })) << c.what;
        EXPECT_EQ(handed, nullptr) << c.what;
        EXPECT_TRUE(loader.HasLoaded());
    }
    EXPECT_NE(ReadLog().find("GuiLoadWorker: the screen build failed: no memory for the map"), std::string::npos);
}

TEST_F(GuiLoaderTest, LoadingScreenCountsProgressAndIsShownByItsWorker)
{
    LoadingScreen screen;
    struct Case {
        int range, added, count;
        float fraction;
    };
    const Case cases[] = {{4, 1, 1, 0.25f}, {0, 1, 1, 1.0f}, {-5, 0, 0, 0.0f}, {3, 10, 3, 1.0f}, {10, -2, 0, 0.0f}};
    for (const Case& c : cases) {
        screen.SetProgressRange(c.range);
        screen.AddProgress(c.added);
        EXPECT_EQ(screen.ProgressCount(), c.count) << c.range;
        EXPECT_FLOAT_EQ(screen.ProgressFraction(), c.fraction) << c.range;
    }

    // The worker shows frames while this thread loads and counts.
    screen.SetProgressRange(200);
    ASSERT_TRUE(screen.StartWorker(nullptr, 5));
    EXPECT_FALSE(screen.StartWorker());
    // A frame every 5 ms: twelve frames span more than one 50 ms throbber step, however
    // slowly a loaded machine schedules the worker.
    const auto end = std::chrono::steady_clock::now() + 10s;
    for (int i = 0; i < 100 || (screen.FramesShown() < 12 && std::chrono::steady_clock::now() < end); ++i) {
        if (i < 100) {
            screen.AddProgress();
            MemBaseSurface loaded;
            EXPECT_EQ(loaded.Create(16, 16), 0);
        }
        std::this_thread::sleep_for(1ms);
    }
    screen.StopWorker();
    EXPECT_FALSE(screen.WorkerRunning());
    EXPECT_GE(screen.FramesShown(), 3);
    EXPECT_GE(screen.GetThrobber().Frame(), 1); // 5 ms a frame, 50 ms a throbber step
    EXPECT_GT(DXManager::GetDevice()->PresentCount(), 0u);

    // Half loaded: the bar (16..48 across, from row 36) is filled to its middle.
    ShowLoadingFrame(screen);
    auto pixel = [](int x, int y) { return DXManager::GetBackBuffer()->ReadPixel(uint32_t(x), uint32_t(y)) & 0xFFFFFFu; };
    EXPECT_EQ(pixel(20, 36), screen.barColour & 0xFFFFFFu);
    EXPECT_EQ(pixel(40, 36), screen.barBackColour & 0xFFFFFFu);
    EXPECT_EQ(pixel(2, 2), screen.backdropColour & 0xFFFFFFu);
}

} // namespace
