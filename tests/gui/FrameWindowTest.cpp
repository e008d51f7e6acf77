// The screen frame: eight pieces in the corners and along the edges of the screen at the
// UI scale, added in their fixed order, drawn round an empty middle.
#include "DeviceFixture.h"

#include "gui/FrameWindow.h"
#include "gui/PrimContainer.h"
#include "gui/ScreenImage.h"
#include "gui/UiScale.h"
#include "gui/WindowList.h"

#include <vector>

namespace {

using FrameWindowTest = DeviceFixture;

TEST_F(FrameWindowTest, PiecesFillTheEdgesAtEveryScreenSizeInTheirOrder)
{
    struct Screen {
        int width, height;
    };
    for (const Screen screen : {Screen{1024, 768}, Screen{1280, 720}, Screen{800, 600}}) {
        StartScreen(screen.width, screen.height);
        const float s = GetUiScale();
        auto* window = new PrimContainer;
        window->SetPosition(0, 0);
        window->SetSize(1000, 1000);
        FramePieces p;
        FrameWindow::Build(p);
        FrameWindow::ApplyPieces(p, window);
        OpenWindow(window, true);
        const std::vector<Primitive*> order = {p.topLeft, p.top, p.topRight, p.left,
                                               p.right, p.bottomLeft, p.bottom, p.bottomRight};
        EXPECT_EQ(std::vector<Primitive*>(window->Children().begin(), window->Children().end()), order);

        const float W = float(screen.width), H = float(screen.height);
        auto near = [](float a, float b) { return std::abs(a - b) <= 1.0f; };
        // Sizes follow the UI scale: corners 40, sides 20 wide, top 12 and bottom 14 high.
        EXPECT_TRUE(near(p.topLeft->rect.right - p.topLeft->rect.left, 40 * s)) << screen.width;
        EXPECT_TRUE(near(p.left->rect.right - p.left->rect.left, 20 * s));
        EXPECT_TRUE(near(p.top->rect.bottom - p.top->rect.top, 12 * s));
        EXPECT_TRUE(near(p.bottom->rect.bottom - p.bottom->rect.top, 14 * s));
        // Corners in the corners, edges between them, meeting without gaps.
        EXPECT_TRUE(near(p.topLeft->rect.left, 0) && near(p.topLeft->rect.top, 0));
        EXPECT_TRUE(near(p.topRight->rect.right, W) && near(p.topRight->rect.top, 0));
        EXPECT_TRUE(near(p.bottomLeft->rect.left, 0) && near(p.bottomLeft->rect.bottom, H));
        EXPECT_TRUE(near(p.bottomRight->rect.right, W) && near(p.bottomRight->rect.bottom, H));
        EXPECT_TRUE(near(p.top->rect.left, p.topLeft->rect.right) && near(p.top->rect.right, p.topRight->rect.left));
        EXPECT_TRUE(near(p.bottom->rect.left, p.bottomLeft->rect.right) &&
                    near(p.bottom->rect.right, p.bottomRight->rect.left));
        EXPECT_TRUE(near(p.bottom->rect.bottom, H));
        EXPECT_TRUE(near(p.left->rect.top, p.topLeft->rect.bottom) && near(p.left->rect.bottom, p.bottomLeft->rect.top));
        EXPECT_TRUE(near(p.right->rect.top, p.topRight->rect.bottom) &&
                    near(p.right->rect.bottom, p.bottomRight->rect.top));
        EXPECT_TRUE(near(p.right->rect.right, W));

        DrawFrame([] { DrawOpenWindows(); });
        const int w = screen.width, h = screen.height;
        for (const auto& [x, y] : std::vector<std::pair<int, int>>{
                 {5, 5}, {w / 2, 3}, {w - 5, 5}, {5, h / 2}, {w - 5, h / 2}, {5, h - 5}, {w / 2, h - 4}, {w - 5, h - 5}})
            EXPECT_NE(Pixel(x, y), 0u) << x << "," << y << " at " << w << "x" << h;
        EXPECT_EQ(Pixel(w / 2, h / 2), 0u);
        CloseAllWindows();
        DXManager::Shutdown();
    }
}

} // namespace
