#include "MessageBoxFixture.h"

#include "gui/FlimbsWindow.h"
#include "gui/FlimbsWindow4.h"
#include "gui/Label.h"
#include "platform/input/ScanCodes.h"

namespace {


class FlimbsMessageBoxTest : public SkinnedMessageBoxFixture {
protected:
    // Pixels in the close button's place that differ from the title plate left of it.
    int CloseButtonPixels(FlimbsMessageBox& box)
    {
        const FloatRect close = box.CloseButton()->rect;
        int differing = 0;
        for (int y = int(close.top); y < int(close.bottom); ++y) {
            const uint32_t plate = Pixel(int(close.left) - 30, y);
            for (int x = int(close.left); x < int(close.right); ++x)
                differing += Pixel(x, y) != plate;
        }
        return differing;
    }
};

// Red, green and blue of a read-back pixel.
struct Rgb {
    int r, g, b;
};
Rgb Split(uint32_t pixel) { return {int(pixel >> 16 & 0xFF), int(pixel >> 8 & 0xFF), int(pixel & 0xFF)}; }

TEST_F(FlimbsMessageBoxTest, OpensCentredAndDrawsItsFrameTitleTextAndButtons)
{
    FlimbsMessageBox* box = ShowMessageBox("file not found", "There is no checkpoint available for this level");
    ASSERT_EQ(box->ButtonCount(), 1);
    const FloatRect r = box->rect; // pixels
    EXPECT_NEAR((r.left + r.right) / 2, 512.0f, 1.0f);
    EXPECT_NEAR((r.top + r.bottom) / 2, 384.0f, 1.0f);
    // The text and the button sit inside the client frame, the button under the text.
    const FloatRect client = box->Client()->rect;
    StretchGraphicButton* ok = box->GetButton(0);
    EXPECT_EQ(box->TextLabel()->parent, box->Client());
    EXPECT_EQ(ok->FindOwningWindow(), box);
    EXPECT_GE(ok->rect.left, client.left);
    EXPECT_LE(ok->rect.right, client.right);
    EXPECT_LE(ok->rect.bottom, client.bottom);
    EXPECT_GE(ok->rect.top, box->TextLabel()->rect.bottom);
    EXPECT_NEAR(ok->rect.bottom - ok->rect.top, 32.0f, 0.01f); // the strip's own height

    DrawFrame([] { DrawOpenWindows(); });
    const int left = int(r.left), top = int(r.top), right = int(r.right), bottom = int(r.bottom);
    EXPECT_EQ(CountLit(0, 0, 1024, top), 0); // nothing outside the box
    EXPECT_EQ(CountLit(0, bottom + 1, 1024, 768), 0);
    EXPECT_EQ(CountLit(0, top, left - 1, bottom), 0);
    EXPECT_EQ(CountLit(right + 1, top, 1024, bottom), 0);
    // The client frame covers the client (its fill included).
    const int cl = int(client.left), ct = int(client.top), cr = int(client.right), cb = int(client.bottom);
    EXPECT_GT(CountLit(cl, ct, cr, cb), (cr - cl) * (cb - ct) * 9 / 10);
    // The title plate with the title on it: the title's middle differs from the plate beside it.
    const FloatRect title = box->Title()->rect;
    const int titleMiddle = int((title.top + title.bottom) / 2);
    EXPECT_GT(CountLit(left, int(title.top), right, int(title.bottom)), (right - left) * 30 / 2);
    const uint32_t plate = Pixel(left + 20, titleMiddle);
    int titleText = 0;
    for (int y = int(title.top) + 8; y < int(title.bottom) - 8; ++y)
        for (int x = 462; x < 562; ++x)
            titleText += Pixel(x, y) != plate;
    EXPECT_GT(titleText, 30);
    // The button: the orange strip (red over green over blue) at its middle.
    const Rgb button = Split(Pixel(int(ok->rect.left) + 8, int((ok->rect.top + ok->rect.bottom) / 2)));
    EXPECT_GT(button.r, button.g);
    EXPECT_GT(button.g, button.b);
    // No close button on a plain box: its place on the title shows the plate only.
    EXPECT_LT(CloseButtonPixels(*box), 24 * 24 / 8); // the cap's rounding only

    // A box taller than the screen keeps its title on the screen.
    std::string lines;
    for (int i = 0; i < 80; ++i)
        lines += "line\n";
    FlimbsMessageBox* tall = ShowMessageBox("Log", lines);
    EXPECT_GT(tall->rect.bottom - tall->rect.top, 768.0f);
    EXPECT_GE(tall->rect.top, 0.0f);
}

TEST_F(FlimbsMessageBoxTest, ClosableBoxDrawsItsCloseButtonWhichClosesIt)
{
    int yes = 0;
    FlimbsMessageBox* box =
        ShowClosableMessageBox("Lonely Match", "Would you like some help finding other online players?",
                               {{"Yes", [&yes](Primitive*, Button*) { ++yes; }}, {"No", nullptr}});
    EXPECT_TRUE(box->Closable());
    GraphicButton* close = box->CloseButton();
    EXPECT_EQ(box->FindChild("close_button"), close);
    DrawFrame([] { DrawOpenWindows(); });
    EXPECT_GT(CloseButtonPixels(*box), 24 * 24 / 3);
    ClickButton(close);
    EXPECT_EQ(yes, 0);
    EXPECT_EQ(box->pressedButton, -1);
    EXPECT_EQ(GetModalWindow(), nullptr);
    EXPECT_TRUE(Gone(box));
}

// Shaped like the key-binding watcher: container flags 1 and 4, every key pressed closes it.
class KeyCatcher : public FlimbsMessageBox {
public:
    KeyCatcher() : FlimbsMessageBox("Key binding", "Press any key.") { containerFlags = 1 | 4; }
    int OnKey(int value, int code, bool, IInputDevice&) override
    {
        if (value == 0)
            return 0;
        caught = code;
        Close();
        return 1;
    }
    int caught = -1;
};

TEST_F(FlimbsMessageBoxTest, DerivedBoxTakesOverTheKeysAndStillHandsBackTheModalRole)
{
    FlimbsMessageBox* first = ShowMessageBox("Error", "Couldn't save the level");
    auto* catcher = new KeyCatcher;
    catcher->Show();
    EXPECT_EQ(GetModalWindow(), catcher);
    EXPECT_EQ(Key(0, kKeyEscape), 0); // a release does nothing
    EXPECT_EQ(Key(0x80, kKeyEscape), 1);
    EXPECT_EQ(catcher->caught, kKeyEscape);
    EXPECT_EQ(catcher->pressedButton, -1); // no button ran
    EXPECT_TRUE(Gone(catcher));
    EXPECT_EQ(GetModalWindow(), first);
    EXPECT_EQ(Key(0x80, kKeyEnter), 1);
    EXPECT_TRUE(Gone(first));
    EXPECT_EQ(GetModalWindow(), nullptr);
}

TEST_F(FlimbsMessageBoxTest, TabbedWindowFramesItsPagesAndNamesTheCurrentOne)
{
    FlimbsWindow4 window;
    EXPECT_NE(window.containerFlags & kContainerWindow, 0u);
    EXPECT_EQ(window.AsContainer(), &window); // no page yet
    window.SetTitle("ignored");               // harmless without a page
    ASSERT_NE(window.Frame(), nullptr);
    EXPECT_EQ(window.PageFrame(), window.Frame());
    EXPECT_EQ(window.Frame()->parent, &window);

    PrimContainer* video = window.AddPage("Video");
    PrimContainer* sound = window.AddPage("Sound");
    PlacePixels(window, 100, 100, 400, 300);
    EXPECT_EQ(video->parent, window.Frame());
    EXPECT_EQ(sound->parent, window.Frame());
    const FloatRect frame = window.Frame()->rect;
    EXPECT_NEAR(frame.top, 100.0f + window.HeaderHeight(), 0.01f); // under the tabs
    EXPECT_NEAR(frame.bottom, 400.0f, 0.01f);
    EXPECT_EQ(window.AsContainer(), video);
    // The pages sit inside the frame's border.
    const SkinFrame& border = window.Frame()->Border();
    ASSERT_GT(border.LeftWidth(), 0.0f);
    EXPECT_NEAR(video->rect.left, frame.left + border.LeftWidth(), 0.01f);
    EXPECT_NEAR(video->rect.top, frame.top + border.TopHeight(), 0.01f);
    EXPECT_NEAR(video->rect.right, frame.right - border.RightWidth(), 0.01f);
    EXPECT_NEAR(video->rect.bottom, frame.bottom - border.BottomHeight(), 0.01f);

    window.SelectPage(1, false);
    EXPECT_EQ(window.AsContainer(), sound);
    window.SetTitle("Audio");
    EXPECT_EQ(sound->name, "Audio");
    EXPECT_EQ(window.PageCaption(1), "Audio");
    EXPECT_EQ(window.TabButton(1)->caption, "Audio");
    EXPECT_EQ(window.PageCaption(0), "Video");
    window.SetTitle(nullptr);
    EXPECT_EQ(window.PageCaption(1), "");

    // The frame's border is drawn round the page area.
    DrawFrame([&] { window.Draw(); });
    const int top = int(frame.top);
    EXPECT_GT(CountLit(100, top, 500, top + 8), 400 * 8 * 9 / 10);
    EXPECT_GT(CountLit(100, 392, 500, 400), 400 * 8 * 9 / 10);
    EXPECT_EQ(CountLit(0, 401, 1024, 768), 0);
}

// No device and no skin images: the box keeps a usable layout and still draws and closes.
using BoxWithoutSkinTest = WidgetFixture;

TEST_F(BoxWithoutSkinTest, MissingSkinStillGivesAUsableBox)
{
    int ok = 0;
    FlimbsMessageBox* box =
        ShowMessageBox("Error", "Couldn't save the level", {{"OK", [&ok](Primitive*, Button*) { ++ok; }}});
    StretchGraphicButton* button = box->GetButton(0);
    EXPECT_GT(button->rect.bottom - button->rect.top, 0.0f);
    EXPECT_GT(button->rect.right - button->rect.left, 0.0f);
    DrawOpenWindows();
    const int x = int((button->rect.left + button->rect.right) / 2);
    const int y = int((button->rect.top + button->rect.bottom) / 2);
    RouteLeftButton(kPhaseDown, GuiTestNow(), x, y);
    RouteLeftButton(kPhaseUp, GuiTestNow(), x, y);
    EXPECT_EQ(ok, 1);
    EXPECT_EQ(GetModalWindow(), nullptr);
}

} // namespace
