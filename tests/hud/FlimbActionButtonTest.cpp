// The belt's morph button on an injected clock and a fake game: it flips open when its
// group has morphs of its type and shut when they run out (also turned round mid-flip),
// counts clicks only while opening or shown, keeps a selected Gulp's button, greys itself
// for a flimb that may not take the morph, and hides the number of an unshown count.
#include "../gui/DeviceFixture.h"
#include "../support/FakeBeltWorld.h"

#include "app/MemoryFileManager.h"
#include "gui/PrimContainer.h"
#include "gui/WindowList.h"
#include "hud/FlimbActionButton.h"
#include "media/FontManager.h"
#include "media/InputClock.h"
#include "media/PngFile.h"

#include <vector>

namespace {

using Show = FlimbActionButton::Show;

class FlimbActionButtonTest : public DeviceFixture {
protected:
    void SetUp() override
    {
        DeviceFixture::SetUp();
        StartScreen(1024, 768);
        ResetGuiInput();
        now_ = 1000;
        SetInputClock([] { return now_; });
    }
    void TearDown() override
    {
        CloseAllWindows();
        ResetGuiInput();
        SetInputClock(nullptr);
        FontManager::ReleaseFonts(); // they hold the device that goes now
        DeviceFixture::TearDown();
    }
    // Moves the clock on and updates the button once.
    static void Advance(FlimbActionButton& button, uint32_t ms)
    {
        now_ += ms;
        button.Update();
    }
    // Updates in steps of one flip interval until the button rests (at most 40 steps).
    static int Settle(FlimbActionButton& button)
    {
        int steps = 0;
        button.Update();
        while ((button.State() == Show::Opening || button.State() == Show::Closing) && steps < 40) {
            Advance(button, FlimbActionButton::kFlipInterval);
            ++steps;
        }
        return steps;
    }
    static void Click(FlimbActionButton& button)
    {
        const int x = int(button.rect.left) + 10, y = int(button.rect.top) + 10;
        button.OnLeftButton(x, y, kPhaseDown);
        button.OnLeftButton(x, y, kPhaseUp);
    }
    static inline uint32_t now_ = 0;
    FakeBeltWorld world;
};

TEST_F(FlimbActionButtonTest, FlipsOpenWithMorphsLeftAndShutWhenTheyRunOut)
{
    FlimbActionButton button(2, 0x80 | 3, false); // bit 7 is dropped
    EXPECT_EQ(button.Type(), 3);
    EXPECT_EQ(button.FlipFrameCount(), 13);
    int clicks = 0;
    button.onClick = [&](Primitive*, Button*) { ++clicks; };
    world.counts[{2, 3}] = 5;
    button.Update();
    EXPECT_EQ(button.State(), Show::Hidden); // not counting yet
    Click(button);
    EXPECT_EQ(clicks, 0);

    button.counting = true;
    button.Update();
    EXPECT_EQ(button.State(), Show::Opening);
    EXPECT_EQ(button.Frame(), 0);
    Click(button); // an opening button takes clicks
    EXPECT_EQ(clicks, 1);
    Advance(button, 29);
    EXPECT_EQ(button.Frame(), 0);
    Advance(button, 1);
    EXPECT_EQ(button.Frame(), 1);
    Advance(button, 30 * 10 + 15); // two frames short of the open one
    EXPECT_EQ(button.Frame(), 11);
    Advance(button, 15);
    EXPECT_EQ(button.State(), Show::Shown);
    Click(button);
    EXPECT_EQ(clicks, 2);

    world.counts[{2, 3}] = 0;
    button.Update();
    EXPECT_EQ(button.State(), Show::Closing);
    EXPECT_EQ(button.Frame(), 12); // the flip's last frame
    Click(button); // no click once closing
    EXPECT_EQ(clicks, 2);
    EXPECT_EQ(Settle(button), 13);
    EXPECT_EQ(button.State(), Show::Hidden);
    Click(button);
    EXPECT_EQ(clicks, 2);

    // Count 200 (none) hides too; turning counting off hides a shown button.
    world.counts[{2, 3}] = 7;
    Settle(button);
    ASSERT_EQ(button.State(), Show::Shown);
    button.counting = false;
    Settle(button);
    EXPECT_EQ(button.State(), Show::Hidden);
    button.counting = true;
    world.counts[{2, 3}] = kMorphCountNone;
    Settle(button);
    EXPECT_EQ(button.State(), Show::Hidden);
}

TEST_F(FlimbActionButtonTest, TargetChangeMidFlipTurnsTheAnimationRound)
{
    FlimbActionButton button(0, 1, false);
    button.counting = true;
    world.counts[{0, 1}] = 3;
    button.Update();
    Advance(button, 5 * 30);
    ASSERT_EQ(button.State(), Show::Opening);
    ASSERT_EQ(button.Frame(), 5);
    world.counts[{0, 1}] = 0;
    Advance(button, 30);
    EXPECT_EQ(button.State(), Show::Closing);
    EXPECT_EQ(button.Frame(), 4); // back from where it was
    world.counts[{0, 1}] = 2;
    Advance(button, 30);
    EXPECT_EQ(button.State(), Show::Opening);
    EXPECT_EQ(button.Frame(), 5);
    EXPECT_EQ(Settle(button), 7);
    EXPECT_EQ(button.State(), Show::Shown);
}

TEST_F(FlimbActionButtonTest, SelectedGulpKeepsTheGulpButtonAndRefusedFlimbsGreyEveryButton)
{
    FlimbActionButton gulp(0, FlimbActionButton::kGulp, true);
    FlimbActionButton clob(0, 0, false);
    FlimbActionButton nova(0, 2, false);
    for (FlimbActionButton* b : {&gulp, &clob, &nova})
        b->counting = true;
    world.counts[{0, 2}] = 4;
    world.selected = SelectedFlimb{FlimbActionButton::kGulp, 0};
    for (FlimbActionButton* b : {&gulp, &clob, &nova})
        Settle(*b);
    EXPECT_EQ(gulp.State(), Show::Shown); // count none, but a Gulp is selected
    EXPECT_EQ(clob.State(), Show::Hidden);
    EXPECT_EQ(nova.State(), Show::Shown);

    struct Case {
        const char* what;
        std::optional<SelectedFlimb> selected;
        bool modeLetsAct;
        int row;     // the permission row to change
        int byte;    // its byte
        uint8_t value;
        bool notAllowed;
    };
    const Case cases[] = {
        {"nothing selected", std::nullopt, false, 0, 4, 1, false},
        {"allowed", SelectedFlimb{10, 0}, true, 10, 6, 1, false},
        {"mode refuses the flimb", SelectedFlimb{10, 0}, false, 10, 6, 1, true},
        {"morph not in the row", SelectedFlimb{10, 0}, true, 10, 6, 0, true},
        {"row disabled", SelectedFlimb{10, 0}, true, 10, 0, 0, true},
        {"row locked", SelectedFlimb{10, 0}, true, 10, 2, 1, true},
        {"flagged type 20 reads the Walk row", SelectedFlimb{20, 0x80}, true, 10, 6, 0, true},
        {"plain type 20 reads its own row", SelectedFlimb{20, 0x00}, true, 10, 6, 0, false},
    };
    for (const Case& c : cases) {
        FakeBeltWorld fresh; // every morph allowed
        fresh.counts[{0, 2}] = 4;
        fresh.selected = c.selected;
        fresh.modeLetsAct = c.modeLetsAct;
        fresh.permissions[size_t(c.row)][size_t(c.byte)] = c.value;
        nova.Update();
        EXPECT_EQ(nova.NotAllowed(), c.notAllowed) << c.what;
    }
    // A refused flimb greys every shown button.
    world.selected = SelectedFlimb{0, 0};
    world.modeLetsAct = false;
    world.counts[{0, 0}] = 1;
    SetBeltWorld(&world);
    for (FlimbActionButton* b : {&clob, &nova}) {
        Settle(*b);
        b->Update(); // worked out while shown
        EXPECT_EQ(b->State(), Show::Shown);
        EXPECT_TRUE(b->NotAllowed());
    }
}

// A flip sheet of six frames: the flip turns Shown at its last frame and closes from it.
TEST_F(FlimbActionButtonTest, ShortFlipSheetNeverLeavesItsFrames)
{
    auto first = std::make_unique<FileManager>();
    auto memory = std::make_unique<MemoryFileManager>();
    MemoryFileManager* sheets = memory.get();
    first->AddMember(std::move(memory));
    first->AddMember(std::make_unique<ResourceFileManager>(std::string(FLIMBS_GAME_DIR) + "/Data/resource.dat"));
    std::vector<uint32_t> argb(324 * 63, 0xFF4080C0u);
    std::vector<uint8_t> png;
    ASSERT_TRUE(platform::image::EncodePng(argb.data(), 324, 63, 324 * 4, true, png));
    sheets->AddFile("Graphics\\HUD\\InGame\\morph_button_flip.png", png.data(), png.size());
    first->IndexNames(nullptr, 0, nullptr);
    fileManager = first.get();
    ImageCache::Clear();
    {
        FlimbActionButton button(0, 5, false);
        EXPECT_EQ(button.FlipFrameCount(), 6);
        button.counting = true;
        world.counts[{0, 5}] = 2;
        button.Update();
        int highest = 0;
        while (button.State() == Show::Opening) {
            highest = std::max(highest, button.Frame());
            Advance(button, 30);
        }
        EXPECT_EQ(button.State(), Show::Shown);
        EXPECT_EQ(highest, 4);
        world.counts[{0, 5}] = 0;
        button.Update();
        EXPECT_EQ(button.Frame(), 5);
        EXPECT_EQ(Settle(button), 6);
        DrawFrame([&] { button.Draw(); });
    }
    ImageCache::Clear();
    fileManager = manager_.get();
}

// The belt drawn: two rows of six in the belt's order, for a look, with the count drawn
// only below 199.
TEST_F(FlimbActionButtonTest, BeltDrawsPicturesCountsAndMarks)
{
    auto* belt = new PrimContainer;
    belt->SetPosition(0, 0);
    belt->SetSize(1000, 1000);
    const int types[12] = {5, 7, 1, 0, 4, 2, 10, 6, 8, 3, 4, 9};
    std::vector<FlimbActionButton*> buttons;
    for (int i = 0; i < 12; ++i) {
        auto* button = new FlimbActionButton(1, types[i], i == 4);
        button->SetPosition(Primitive::ToVirtualX(float(20 + (i % 6) * 56)), Primitive::ToVirtualY(float(20 + (i / 6) * 70)));
        button->counting = true;
        belt->AddChild(button);
        buttons.push_back(button);
        world.counts[{1, types[i]}] = i == 2 ? kMorphCountUnshown : i == 8 ? 0 : 3 + i;
    }
    world.selected = SelectedFlimb{0, 0};
    world.permissions[0][4 + 6] = 0; // no Puff for a Clob
    OpenWindow(belt, true);
    for (FlimbActionButton* b : buttons)
        Settle(*b);
    for (FlimbActionButton* b : buttons)
        b->Update();
    buttons[1]->state = kButtonHover;
    buttons[7]->state = kButtonHover; // the refused Puff, hovered: the big mark
    DrawFrame([] { DrawOpenWindows(); });
    EXPECT_TRUE(buttons[0]->HasPicture());
    EXPECT_EQ(buttons[8]->State(), Show::Hidden);
    EXPECT_TRUE(buttons[7]->NotAllowed());
    // The count corner of a 199 button shows no digits; a 5 does.
    auto bright = [&](FlimbActionButton* b) {
        int n = 0;
        for (int y = int(b->rect.bottom) - 16; y < int(b->rect.bottom) - 2; ++y)
            for (int x = int(b->rect.right) - 14; x < int(b->rect.right) - 3; ++x)
                n += (Pixel(x, y) & 0xFF) > 0xC0 && ((Pixel(x, y) >> 8) & 0xFF) > 0xC0 ? 1 : 0;
        return n;
    };
    EXPECT_EQ(bright(buttons[2]), 0);
    EXPECT_GT(bright(buttons[3]), 3);

    std::vector<uint32_t> pixels(360 * 170);
    for (int y = 0; y < 170; ++y)
        for (int x = 0; x < 360; ++x)
            pixels[size_t(y) * 360 + x] = 0xFF000000u | Pixel(x, y);
    EXPECT_TRUE(WritePngFile(std::string(FLIMBS_GAME_DIR) + "/belt-buttons.png", pixels.data(), 360, 170));
}

} // namespace
