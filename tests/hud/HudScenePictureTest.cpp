// The HUD test scene drawn at 1280 x 720 on the software device and written to
// <build>/hud-scene.png: the belt open with a slot hovered, the strip of three with one
// pinned, the FlimbMaster display, the countdown at "2", three chat lines, the menu open.
#include "HudFixture.h"

#include "../support/HudSceneContent.h"
#include "../support/TestWorld.h"

#include "media/PngFile.h"

namespace {

class HudScenePictureTest : public HudFixture {
protected:
    TestWorld world_;
    MessageLog log{100};
};

TEST_F(HudScenePictureTest, TheSceneIsDrawnWithEveryWidget)
{
    world_.AddLocalPlayer();
    game.speakers[1] = ChatSpeaker{true, "Ann", 0, nullptr};
    game.speakers[2] = ChatSpeaker{true, "Bo", 2, nullptr};
    OpenScene();
    HudSceneContent content(*scene, log, [this](uint32_t ms) { Frames(1, ms); });
    ASSERT_TRUE(content.belt->IsOpen());
    EXPECT_EQ(content.countdown->Picture(), "Graphics\\HUD\\InGame\\count_down_2.png");
    EXPECT_EQ(content.strip->Pictures().size(), 3u);
    EXPECT_EQ(content.chat->ShownLines(), 3);
    EXPECT_EQ(scene->MasterDisplay()->Current(), FlimbMasterDisplay::kClosing);
    auto* menu = dynamic_cast<InGameMenu*>(scene->UpperLayer()->FindChild(InGameMenu::kName));
    ASSERT_NE(menu, nullptr);
    EXPECT_NEAR(menu->GetPositionVirtual().y, 52.0f, 0.01f);

    for (int i = 0; i < 30; ++i) { // the belt fades in, drawn every frame
        now_ += 8;
        DrawFrame([&] { scene->Draw(); });
    }
    EXPECT_GE(content.belt->Fade(), 200);
    content.Hover();
    EXPECT_EQ(content.belt->Hovered(), 3) << "Drill";
    now_ += 8;
    DrawFrame([&] { scene->Draw(); });
    // The countdown picture at the centre and the hovered Drill label under the belt differ
    // from the plain sky and ground.
    const uint32_t sky = 0x2A4A6A;
    const int cx = int(Primitive::ToPixelsX(500.0f)), cy = int(Primitive::ToPixelsY(320.0f));
    EXPECT_NE(Pixel(cx, cy), sky);
    const int bx = int(content.belt->Centre().x), by = int(content.belt->Centre().y + 93.0f * GetUiScale());
    EXPECT_NE(Pixel(bx, by), sky);

    std::vector<uint32_t> pixels(size_t(1280) * 720);
    for (int y = 0; y < 720; ++y)
        for (int x = 0; x < 1280; ++x)
            pixels[size_t(y) * 1280 + size_t(x)] = 0xFF000000u | Pixel(x, y);
    EXPECT_TRUE(WritePngFile(std::string(FLIMBS_GAME_DIR) + "/hud-scene.png", pixels.data(), 1280, 720));

}

} // namespace
