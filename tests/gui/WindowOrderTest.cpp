// The window opened at the front lies on top: it is drawn over the others and takes the
// press first.
#include "DeviceFixture.h"

#include "gui/PrimContainer.h"
#include "gui/WindowList.h"
#include "media/Draw2D.h"

namespace {

class Painted : public PrimContainer {
public:
    Painted(const char* windowName, uint32_t argb) : colour(argb)
    {
        name = windowName;
        SetPosition(0, 0);
        SetSize(1000, 1000);
    }
    void Draw() override { Draw2D::DrawFilledRect(rect.left, rect.top, rect.right, rect.bottom, colour); }
    Primitive* OnLeftButton(int x, int y, int) override { return PointInRect(x, y) ? this : nullptr; }
    uint32_t colour;
};

using WindowOrderTest = DeviceFixture;

TEST_F(WindowOrderTest, FrontWindowIsDrawnOnTopAndTakesThePressFirst)
{
    StartScreen(64, 48);
    ResetGuiInput();
    auto* back = new Painted("back", 0xFFFF0000u);
    auto* front = new Painted("front", 0xFF0000FFu);
    auto* behind = new Painted("behind", 0xFF00FF00u);
    OpenWindow(back, true);
    OpenWindow(front, true);
    OpenWindow(behind, false);
    EXPECT_EQ(OpenWindows(), (std::vector<Primitive*>{front, back, behind}));
    DrawFrame([] { DrawOpenWindows(); });
    EXPECT_EQ(Pixel(10, 10), 0x0000FFu);
    RouteLeftButton(kPhaseDown, 1000, 10, 10);
    EXPECT_EQ(GetLeftCapture(), front);
    RouteLeftButton(kPhaseUp, 1010, 10, 10);

    front->Deactivate(); // closed: the next one shows
    DrawFrame([] { DrawOpenWindows(); });
    EXPECT_EQ(Pixel(10, 10), 0xFF0000u);
    CloseAllWindows();
    ResetGuiInput();
}

} // namespace
