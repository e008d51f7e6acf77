// The video widget on the generated iris clip: the clock steps its position, the stop ends
// it, the key shows what lies behind; a clip that cannot be loaded is finished at once.
#include "VideoFixture.h"

#include "gui/PrimContainer.h"
#include "gui/ScreenVideo.h"
#include "media/Draw2D.h"

namespace {

class ScreenVideoTest : public VideoFixture {
protected:
    // Draws the window over a red screen.
    static void DrawOverRed(Primitive& window)
    {
        DrawFrame([&] {
            Draw2D::DrawFilledRect(0, 0, float(DXManager::screenWidth), float(DXManager::screenHeight), 0xFFFF0000u);
            window.Draw();
        });
    }
};

TEST_F(ScreenVideoTest, ClockStepsThePositionAndTheStopEndsThePlay)
{
    StartScreen(320, 180);
    auto* window = new PrimContainer;
    window->name = "host";
    window->SetPosition(0, 0);
    window->SetSize(1000, 1000);
    auto* video = new ScreenVideo(kIrisClip);
    window->AddChild(video);
    video->SetPosition(0, 0);
    video->SetSize(1000, 1000);
    OpenWindow(window, true);
    ASSERT_EQ(video->loaded, 1);
    int w = 0, h = 0;
    EXPECT_TRUE(video->GetNaturalSize(&w, &h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 360);
    EXPECT_EQ(video->GetDuration(), 14666666);

    // The closing play: 2/3 s to the end, stepped in frames of 20 ms (200000 units).
    video->transparencyMask = 0xF8F8F8;
    video->colourOr = 0;
    video->start = 6666666;
    video->Restart();
    EXPECT_EQ(video->finished, 0);
    Step(20);
    EXPECT_EQ(video->GetPosition(), 6666666); // the first update shows the start
    int steps = 0;
    while (!video->finished && steps < 1000) {
        Step(20);
        ++steps;
    }
    EXPECT_EQ(steps, 40); // 8000000 units
    EXPECT_EQ(video->GetPosition(), 14666666);
    EXPECT_FALSE(video->IsPlaying());
    DrawOverRed(*window);
    EXPECT_NE(Pixel(160, 90), 0xFF0000u); // covered: the iris hides the red
    EXPECT_NE(Pixel(2, 2), 0xFF0000u);

    // The opening play from 0 stops at 2/3 s, wide open: the red shows everywhere.
    video->start = 0;
    video->stop = 6666666;
    video->Restart();
    Step(20);
    DrawOverRed(*window);
    EXPECT_NE(Pixel(160, 90), 0xFF0000u); // frame 0 is covered
    for (steps = 0; !video->finished && steps < 1000; ++steps)
        Step(20);
    EXPECT_EQ(steps, 34); // 6666666 / 200000, rounded up
    DrawOverRed(*window);
    EXPECT_EQ(Pixel(160, 90), 0xFF0000u);
    EXPECT_EQ(Pixel(2, 2), 0xFF0000u);
}

TEST_F(ScreenVideoTest, ClipThatCannotBeLoadedLogsAndIsFinishedAtOnce)
{
    StartScreen(64, 48);
    memory_->AddFile("Graphics\\Logos\\broken.ogv", "OggS but not really a video", 27);
    manager_->IndexNames(nullptr, 0, nullptr);
    for (const char* file : {"Graphics\\Logos\\no-such-clip.ogv", "Graphics\\Logos\\broken.ogv"}) {
        ScreenVideo video(file);
        EXPECT_EQ(video.loaded, 0) << file;
        EXPECT_EQ(video.finished, 1) << file;
        EXPECT_FALSE(video.GetNaturalSize(nullptr, nullptr));
        video.Restart();
        EXPECT_EQ(video.finished, 1) << file;
        EXPECT_FALSE(video.IsPlaying());
        video.Update();
        DrawFrame([&] { video.Draw(); });
        EXPECT_NE(ReadLog().find(std::string("Error: ScreenVideo can't be loaded ") + file + "\n"), std::string::npos);
    }
}

} // namespace
