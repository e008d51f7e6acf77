#include "GuiFixture.h"

#include "gui/UiScale.h"

namespace {

class PrimitiveTest : public GuiFixture {};

TEST_F(PrimitiveTest, KeepValuesLeaveTheirCoordinateUnchanged)
{
    SetScreenSize(1024, 768);
    Probe probe("p");
    probe.SetPosition(100, 100);
    probe.SetSize(200, 300);
    probe.SetPosition(-999.0f, 200.0f);
    EXPECT_FLOAT_EQ(probe.relX, 102.4f);
    EXPECT_FLOAT_EQ(probe.relY, 153.6f);
    probe.SetSize(-1000.0f, 100.0f);
    EXPECT_FLOAT_EQ(probe.rect.right - probe.rect.left, 204.8f);
    EXPECT_FLOAT_EQ(probe.rect.bottom - probe.rect.top, 76.8f);
    // Only exactly -999 keeps a position; -1000 is a real place.
    probe.SetPosition(-1000.0f, -999.0f);
    EXPECT_FLOAT_EQ(probe.relX, -1024.0f);
    EXPECT_FLOAT_EQ(probe.relY, 153.6f);

    probe.SetMargins(10, 20, 30, 40);
    probe.SetMargins(-999.0f, -5000.0f, 50.0f, -999.5f);
    EXPECT_EQ(probe.margins, (FloatRect{10.24f, 15.36f, 51.2f, 30.72f}));
    probe.AdjustMargins(-10, 0, 0, 10);
    EXPECT_FLOAT_EQ(probe.margins.left, 0.0f);
    EXPECT_FLOAT_EQ(probe.margins.bottom, 38.4f);
}

TEST_F(PrimitiveTest, ChangesOfAThousandthPixelOrLessDoNotRelayout)
{
    Probe probe("p");
    probe.At(10, 20, 30, 40);
    const int layouts = probe.layouts;
    probe.SetPosition(10, 20);
    probe.SetPosition(10.0009f, 20.0f);
    probe.SetSize(30, 40);
    probe.SetSize(30.0009f, -999.0f);
    EXPECT_EQ(probe.layouts, layouts);
    probe.SetPosition(10.01f, 20.0f);
    probe.SetSize(30.0f, 40.01f);
    EXPECT_EQ(probe.layouts, layouts + 2);
}

TEST_F(PrimitiveTest, HitTestIncludesEveryEdge)
{
    Probe probe("p");
    probe.At(10, 20, 30, 40); // 10..40 x 20..60
    struct Case { int x, y; bool hit; };
    for (const Case c : {Case{10, 20, true}, Case{40, 60, true}, Case{40, 20, true}, Case{10, 60, true},
                         Case{25, 40, true}, Case{9, 40, false}, Case{41, 40, false}, Case{25, 19, false},
                         Case{25, 61, false}})
        EXPECT_EQ(probe.HitTest(c.x, c.y) != nullptr, c.hit) << c.x << "," << c.y;
}

TEST_F(PrimitiveTest, AlignmentPlacesTheRectangleAroundItsPosition)
{
    SetScreenSize(1024, 768);
    PrimContainer screen; // at the screen origin
    auto* centred = new Probe("c");
    centred->hAlign = kAlignHCentre;
    centred->vAlign = kAlignVCentre;
    screen.AddChild(centred);
    centred->SetSize(100, 100);
    centred->SetPosition(500, 500);
    EXPECT_FLOAT_EQ((centred->rect.left + centred->rect.right) / 2, 512.0f);
    EXPECT_FLOAT_EQ((centred->rect.top + centred->rect.bottom) / 2, 384.0f);

    auto* corner = new Probe("r");
    corner->hAlign = kAlignRight;
    corner->vAlign = kAlignBottom;
    screen.AddChild(corner);
    corner->SetSize(100, 100);
    corner->SetPosition(1000, 1000);
    EXPECT_EQ(corner->rect, (FloatRect{921.6f, 691.2f, 1024.0f, 768.0f}));
}

TEST_F(PrimitiveTest, ChildrenFollowTheParentOriginAndScroll)
{
    PrimContainer parent;
    parent.SetPosition(100, 200);
    parent.SetSize(300, 300);
    auto* child = new Probe("c");
    parent.AddChild(child);
    child->At(10, 20, 50, 50);
    EXPECT_EQ(child->rect, (FloatRect{110, 220, 160, 270}));

    parent.SetScrollOffset(10.0f, -999.0f);
    EXPECT_FLOAT_EQ(parent.scrollX, 0.0f);
    EXPECT_EQ(child->rect, (FloatRect{110, 210, 160, 260}));
    EXPECT_EQ(child->GetRelativeRect(), (FloatRect{10, 20, 60, 70}));
    EXPECT_EQ(parent.ScreenToLocal({110, 210}), (FloatPoint{10, 20}));
    EXPECT_EQ(parent.LocalToScreen({10, 20}), (FloatPoint{110, 210}));

    child->absolutelyPlaced = 1;
    child->UpdateAbsolutePosition();
    EXPECT_EQ(child->rect, (FloatRect{10, 20, 60, 70}));
}

TEST_F(PrimitiveTest, KeepOnScreenShiftsOnlyWhatSticksOut)
{
    Probe probe("p");
    probe.At(-20, 950, 100, 100);
    probe.KeepOnScreen();
    EXPECT_EQ(probe.GetPositionVirtual(), (FloatPoint{0, 900}));
    const int layouts = probe.layouts;
    probe.KeepOnScreen();
    EXPECT_EQ(probe.layouts, layouts);
}

TEST_F(PrimitiveTest, OwningWindowIsTheNearestWindowElseTheTop)
{
    PrimContainer top;
    auto* window = new PrimContainer;
    window->containerFlags = kContainerWindow;
    auto* inner = new PrimContainer;
    auto* leaf = new Probe("leaf");
    top.AddChild(window);
    window->AddChild(inner);
    inner->AddChild(leaf);
    EXPECT_EQ(leaf->FindOwningWindow(), window);
    EXPECT_EQ(window->FindOwningWindow(), &top);
    EXPECT_EQ(top.FindOwningWindow(), nullptr);

    bool asked = false;
    window->closeHandler = [&](PrimContainer*) { asked = true; return true; };
    EXPECT_TRUE(leaf->CloseOwningWindow());
    EXPECT_TRUE(asked);
    EXPECT_TRUE(window->active);
    SetCloseHandlersEnabled(false);
    leaf->CloseOwningWindow();
    EXPECT_FALSE(window->active);
    EXPECT_FALSE(window->visible);
    EXPECT_FALSE(window->highlight);
}

TEST(UiScaleTest, ScalesFollowTheScreen)
{
    struct Case { int w, h; float ui; };
    for (const Case c : {Case{1024, 768, 1.0f}, Case{1280, 720, 0.9375f}, Case{1280, 1024, 1.25f},
                         Case{800, 600, 0.78125f}})
    {
        SetScreenSize(c.w, c.h);
        EXPECT_FLOAT_EQ(GetUiScale(), c.ui) << c.w << "x" << c.h;
    }
    SetScreenSize(1024, 768);
    EXPECT_EQ(ScreenImageScale(), 1.0f);
    SetScreenSize(800, 600);
    EXPECT_EQ(ScreenImageScale(), 0.78125f);
    EXPECT_EQ(RoundToPoint(2.5f, -1.5f), (IntPoint{2, -2}));
    EXPECT_EQ(RoundToPoint(3.5f, 0.49f), (IntPoint{4, 0}));
}

} // namespace
