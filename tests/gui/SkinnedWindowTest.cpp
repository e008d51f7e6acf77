#include "SkinnedWindowFixture.h"

#include "gui/Animators.h"
#include "gui/FlimbsTablet.h"
#include "gui/FlimbsWindow.h"
#include "gui/FlimbsWindow3.h"
#include "gui/GraphicButtons.h"
#include "gui/RectControl.h"
#include "platform/input/ScanCodes.h"

namespace {


using SkinnedWindowTest = SkinnedWindowFixture;

TEST_F(SkinnedWindowTest, FramedWindowsDrawTheirBorderAroundTheirChildrenAndReleaseTheirImages)
{
    const size_t cachedBefore = ImageCache::CachedImageCount();
    {
        FlimbsWindow window;
        EXPECT_EQ(window.containerFlags, uint32_t(kContainerWindow));
        EXPECT_STREQ(window.Border().Frame().pieces[kFrameTop].image->GetName(),
                     "Graphics\\Menu\\FlimbsWindow1\\window-top-mid.png");
        PlacePixels(window, 100, 100, 200, 150);
        auto* rule = new RectControl(0, 0xFF0000FFu);
        window.AddChild(rule);
        PlacePixels(*rule, 50, 50, 20, 2);
        DrawFrame([&] { window.Draw(); });
        EXPECT_GT(CountLit(100, 100, 300, 124), 200 * 24 / 2); // the top border
        EXPECT_EQ(CountLit(300, 100, 320, 250), 0);            // nothing right of it
        const int withGrid = CountLit(124, 124, 276, 226);
        EXPECT_GT(withGrid, 0);
        EXPECT_EQ(Pixel(160, 150), 0x0000FFu); // the child, over the background
        window.drawBackground = 0;
        DrawFrame([&] { window.Draw(); });
        EXPECT_LT(CountLit(124, 124, 276, 226), withGrid);
        EXPECT_EQ(Pixel(160, 150), 0x0000FFu);

        FlimbsWindow2 second;
        EXPECT_STREQ(second.Border().Frame().pieces[kFrameFill].image->GetName(),
                     "Graphics\\Menu\\FlimbsWindow2\\window2-fill.png");
        PlacePixels(second, 10, 10, 100, 80);
        DrawFrame([&] { second.Draw(); });
        EXPECT_GT(CountLit(10, 10, 110, 90), 100 * 80 * 9 / 10); // frame and fill cover it
        EXPECT_EQ(CountLit(110, 10, 130, 90), 0);
        EXPECT_GT(ImageCache::CachedImageCount(), cachedBefore);
    }
    EXPECT_EQ(ImageCache::CachedImageCount(), cachedBefore);
}

TEST_F(SkinnedWindowTest, TabletIsAsHighAsItsImagesAndTheTitleWritesOnIt)
{
    FlimbsWindow3Title title;
    EXPECT_EQ(title.name, "flimbs_title");
    PlacePixels(title, 20, 20, 300, 10); // the drawn height is the images', not the rectangle's
    float w = 0, h = 0;
    ASSERT_TRUE(title.GetSize(&w, &h));
    EXPECT_FLOAT_EQ(w, Primitive::ToVirtualX(300));
    EXPECT_FLOAT_EQ(h, Primitive::ToVirtualY(36));
    DrawFrame([&] { title.Draw(); });
    const uint32_t plate = Pixel(170, 22);
    EXPECT_NE(plate, 0u);
    EXPECT_GT(CountLit(20, 54, 320, 56), 0);   // the plate's last rows
    EXPECT_EQ(CountLit(0, 56, 400, 70), 0);    // nothing under it
    EXPECT_GT(CountLit(296, 30, 320, 46), 0);  // the right cap
    EXPECT_EQ(CountLit(320, 20, 400, 56), 0);
    title.SetTitle("Options");
    DrawFrame([&] { title.Draw(); });
    int differing = 0;
    for (int y = 28; y < 50; ++y)
        for (int x = 120; x < 220; ++x)
            differing += Pixel(x, y) != plate;
    EXPECT_GT(differing, 20); // text in the middle of the plate
    title.SetTitle(nullptr);
    EXPECT_EQ(title.title, "");
}

// A FlimbsWindow3 of 400 x 300 pixels at (100, 100).
FlimbsWindow3* MakeWindow3(FlimbsWindow3* window, float x = 100, float y = 100)
{
    SkinnedWindowFixture::PlacePixels(*window, x, y, 400, 300);
    return window;
}

TEST_F(SkinnedWindowTest, Window3LaysOutTitleClientAndCloseButtonAndMeasuresThem)
{
    FlimbsWindow3 window;
    MakeWindow3(&window);
    EXPECT_EQ(window.containerFlags, uint32_t(kContainerWindow));
    EXPECT_FLOAT_EQ(window.BorderThickness(), 1.0f);
    EXPECT_EQ(window.FindChild("flimbs_title"), window.Title());
    EXPECT_EQ(window.FindChild("close_button"), window.CloseButton());
    EXPECT_EQ(window.CloseButton()->secondId, -1);

    const FloatRect title = window.Title()->rect;
    EXPECT_FLOAT_EQ(title.left, 100.0f);
    EXPECT_FLOAT_EQ(title.right, 500.0f);
    EXPECT_NEAR(title.bottom - title.top, 36.0f, 0.01f);
    const FloatRect client = window.Client()->rect;
    EXPECT_NEAR(client.left, 101.0f, 0.01f);
    EXPECT_NEAR(client.right, 499.0f, 0.01f);
    EXPECT_NEAR(client.top, 136.0f, 0.01f);
    EXPECT_NEAR(client.bottom, 400.0f, 0.01f);
    const FloatRect close = window.CloseButton()->rect;
    EXPECT_NEAR(close.right - close.left, 24.0f, 0.01f);
    EXPECT_NEAR(close.right, 494.0f, 0.01f); // on the title, at its right end
    EXPECT_GE(close.top, title.top);
    EXPECT_LE(close.bottom, title.bottom);

    float w = 0, h = 0;
    ASSERT_TRUE(window.GetSize(&w, &h));
    EXPECT_NEAR(w, Primitive::ToVirtualX(398 + 2), 0.01f);
    EXPECT_NEAR(h, Primitive::ToVirtualY(264 + 36), 0.01f);

    // -999 keeps an axis; AdjustSize grows by the deltas from the measured size.
    window.SetSize(kKeepCoordinate, Primitive::ToVirtualY(200));
    EXPECT_NEAR(window.Client()->rect.right, 499.0f, 0.01f);
    EXPECT_NEAR(window.Client()->rect.bottom, 300.0f, 0.01f);
    window.AdjustSize(3, Primitive::ToVirtualX(50), Primitive::ToVirtualY(20));
    EXPECT_NEAR(window.rect.right, 550.0f, 0.05f);
    EXPECT_NEAR(window.rect.bottom, 320.0f, 0.05f);
    EXPECT_NEAR(window.Client()->rect.right, 549.0f, 0.05f);
    EXPECT_NEAR(window.CloseButton()->rect.right, 544.0f, 0.05f);

    // Drawn: the title plate, the client frame under it.
    window.SetTitle("Settings");
    EXPECT_EQ(window.Title()->title, "Settings");
    DrawFrame([&] { window.Draw(); });
    EXPECT_NE(Pixel(300, 110), 0u);
    EXPECT_NE(Pixel(300, 250), 0u);
    EXPECT_EQ(Pixel(560, 250), 0u);
}

TEST_F(SkinnedWindowTest, SetFlagReachesOnlyTheClientUnlessRecursive)
{
    FlimbsWindow3 window;
    MakeWindow3(&window);
    auto* content = new RectControl(0, 0xFF00FF00u);
    window.AddChild(content);
    window.SetFlag(90, 0);
    EXPECT_EQ(window.alpha, 90);
    EXPECT_EQ(window.Client()->alpha, 90);
    EXPECT_EQ(window.Title()->alpha, 255);
    EXPECT_EQ(window.CloseButton()->alpha, 255);
    EXPECT_EQ(content->alpha, 255);
    window.SetFlag(40, 1);
    for (Primitive* child : window.Children())
        EXPECT_EQ(child->alpha, 40) << child->name;
}

TEST_F(SkinnedWindowTest, EscapePressedClosesTheEscapeWindowsAndNothingElseDoes)
{
    struct Case {
        int value, code;
        bool consumed;
    };
    const Case cases[] = {{0x80, kKeyEscape, true}, {0, kKeyEscape, false}, {0x80, 28, false}, {0x80, 57, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "value " << c.value << " code " << c.code);
        FlimbsWindow3a a;
        MakeWindow3(&a);
        EXPECT_EQ(a.OnKey(c.value, c.code, false, keyboard), c.consumed ? 1 : 0);
        EXPECT_EQ(a.active, c.consumed ? 0 : 1); // deactivated
        EXPECT_EQ(a.visible, c.consumed ? 0 : 1);

        FlimbsWindow3b b;
        MakeWindow3(&b);
        EXPECT_EQ(b.OnKey(c.value, c.code, false, keyboard), c.consumed ? 1 : 0);
        EXPECT_EQ(b.visible, c.consumed ? 0 : 1); // hidden, still active
        EXPECT_EQ(b.highlight, c.consumed ? 0 : 1);
        EXPECT_EQ(b.active, 1);
    }

    // Through the routing, as an open window without a focus holder.
    auto* window = new FlimbsWindow3a;
    MakeWindow3(window);
    OpenWindow(window, true);
    EXPECT_EQ(RouteKeyToGui(0x80, 30, false, keyboard), nullptr);
    EXPECT_NE(RouteKeyToGui(0x80, kKeyEscape, false, keyboard), nullptr);
    EXPECT_FALSE(IsWindowOpen(window));
}

TEST_F(SkinnedWindowTest, Window3bHidesInsteadOfGivingUpAChild)
{
    FlimbsWindow3b window;
    MakeWindow3(&window);
    auto* content = new RectControl(0, 0xFF00FF00u);
    window.AddChild(content);
    EXPECT_FALSE(window.RemoveChild(content, true));
    EXPECT_TRUE(window.HasChild(content));
    EXPECT_EQ(content->parent, &window);
    EXPECT_EQ(window.visible, 0);
    EXPECT_EQ(window.highlight, 0);

    FlimbsWindow3 plain; // the others give their children up
    auto* other = new RectControl(0, 0xFF00FF00u);
    plain.AddChild(other);
    EXPECT_TRUE(plain.RemoveChild(other, true));
    EXPECT_FALSE(plain.HasChild(other));
}

TEST_F(SkinnedWindowTest, PressOnTheTitleDragsADraggableWindowThroughItsAnimator)
{
    for (const bool draggable : {true, false}) {
        SCOPED_TRACE(draggable ? "draggable" : "fixed");
        auto* window = new FlimbsWindow3;
        MakeWindow3(window);
        window->draggable = draggable;
        OpenWindow(window, true);
        const int grabX = 200, grabY = 115; // on the title
        UpdateGuiInput(grabX, grabY);
        EXPECT_EQ(GetHoverPrimitive(), window);
        EXPECT_EQ(GetPointerCursorName(), draggable ? "hand" : "regular");
        UpdateGuiInput(300, 250); // over the client: never the hand
        EXPECT_EQ(GetPointerCursorName(), "regular");

        RouteLeftButton(kPhaseDown, GuiTestNow(), grabX, grabY);
        EXPECT_EQ(window->Dragging(), draggable);
        // The pointer moves by (+60, +40); the held button repeats every 50 ms.
        RunFrames(60, grabX + 60, grabY + 40);
        if (draggable) {
            // Following, not yet there: the animator moves it over 75 ms.
            EXPECT_TRUE(window->DragAnimator()->IsRunning());
            EXPECT_GT(window->rect.left, 100.0f);
            EXPECT_LT(window->rect.left, 160.0f);
        }
        RunFrames(200, grabX + 60, grabY + 40);
        RouteLeftButton(kPhaseUp, GuiTestNow(), grabX + 60, grabY + 40);
        EXPECT_FALSE(window->Dragging());
        EXPECT_NEAR(window->rect.left, draggable ? 160.0f : 100.0f, 0.5f);
        EXPECT_NEAR(window->rect.top, draggable ? 140.0f : 100.0f, 0.5f);
        EXPECT_NEAR(window->Title()->rect.left, window->rect.left, 0.01f); // the parts go along
        EXPECT_EQ(window->visible, 1); // nothing under the pointer was clicked
        CloseAllWindows();
    }
}

TEST_F(SkinnedWindowTest, PressOnTheClientOrTheCloseButtonStartsNoDrag)
{
    auto* window = new FlimbsWindow3;
    MakeWindow3(window);
    window->draggable = 1;
    OpenWindow(window, true);
    RouteLeftButton(kPhaseDown, GuiTestNow(), 300, 250);
    EXPECT_FALSE(window->Dragging());
    RunFrames(100, 350, 300);
    RouteLeftButton(kPhaseUp, GuiTestNow(), 350, 300);
    EXPECT_FLOAT_EQ(window->rect.left, 100.0f);

    // The close button: hovered in front of the title, and a click hides the window.
    const FloatRect close = window->CloseButton()->rect;
    const int cx = int((close.left + close.right) / 2), cy = int((close.top + close.bottom) / 2);
    UpdateGuiInput(cx, cy);
    EXPECT_EQ(GetHoverPrimitive(), window->CloseButton());
    RouteLeftButton(kPhaseDown, GuiTestNow(), cx, cy);
    EXPECT_FALSE(window->Dragging());
    RouteLeftButton(kPhaseUp, GuiTestNow(), cx, cy);
    EXPECT_EQ(window->visible, 0);
    EXPECT_EQ(window->highlight, 0);
}

} // namespace
