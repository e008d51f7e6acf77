#pragma once
// The HUD test scene's content, as the HUD shows these widgets during play: a few flimbs in
// the game view, the belt open on one of them with a slot hovered, the history strip with
// three pictures (one pinned), the FlimbMaster display with its door half shut, the
// countdown at "2", the small chat window with three lines and the in-game menu open.
// Header only: the picture test and the HUD benchmark build it alike. The caller makes a
// world current, installs the fake game and the belt world, and opens the scene.
#include "TestHudScene.h"

#include "game/GameController.h"
#include "game/MessageLog.h"
#include "gui/GuiClock.h"
#include "hud/ChatWindows.h"
#include "hud/FlimbsBelt.h"
#include "hud/HistoryFilmStrip.h"
#include "hud/InGameMenu.h"
#include "hud/TimeControls.h"
#include "media/ImageCache.h"
#include "world/Flimb.h"
#include "world/FlimbTable.h"
#include "world/WorldState.h"

#include <cmath>
#include <functional>
#include <vector>

// Draws each flimb's picture at its place in the game view.
class FlimbMarks : public Primitive {
public:
    explicit FlimbMarks(HudGameView* view) : view_(view) { excludeFromBounds = 1; }
    Primitive* HitTest(int, int) override { return nullptr; }
    void Draw() override
    {
        for (Flimb& flimb : World()) {
            if (!(flimb.flags & 4) || !flimb.animation || !flimb.animation->bitmap)
                continue;
            const FloatPoint at = view_->WorldToScreen(float(flimb.x), float(flimb.y));
            const AnimSurface* sheet = flimb.animation;
            const int fw = sheet->frameWidth > 0 ? sheet->frameWidth : sheet->imageWidth;
            const int frame = std::max(0, int(flimb.frame));
            const int columns = std::max(1, sheet->imageWidth / std::max(1, fw));
            const gfx::RECT source{(frame % columns) * fw, 0, (frame % columns) * fw + fw, sheet->imageHeight};
            Draw2D::DrawTexturedQuad(sheet->bitmap->texture, &source, at.x, at.y, 0.8f, 0.8f, float(fw) / 2.0f,
                                     float(sheet->imageHeight), 0.0f, 0xFFFFFFFFu);
        }
    }

private:
    HudGameView* view_;
};

class HudSceneContent {
public:
    // frame: advances the GUI clock by one frame of `ms` and updates the scene.
    HudSceneContent(TestHudScene& scene, MessageLog& log, const std::function<void(uint32_t ms)>& frame)
    {
        const int16_t ids[] = {11, 12, 13, 14, 15};
        const char* sheets[] = {"belt-Drill.png", "belt-Mold.png", "belt-Clob.png", "belt-Walk.png", "belt-Nova.png"};
        const uint8_t types[] = {kDrill, kMold, kClob, kDrill, kClob};
        for (int i = 0; i < 5; ++i) {
            Flimb* flimb = AddFlimb(int16_t(260 + i * 140), int16_t(300 + (i % 2) * 8), ids[i], uint8_t(i % 2 ? 2 : 0),
                                    types[i], 0, kFlimbStartEnergy, 0, 1);
            if (!flimb)
                continue;
            AnimSurface* sheet = ImageCache::GetImage(std::string("Graphics\\Belt\\") + sheets[i]);
            sheets_.push_back(sheet);
            flimb->animation = sheet;
            flimb->frame = int8_t(flimb->group);
            flimbs_.push_back(flimb);
        }
        Controller().groups[0].uses.fill(5);
        Controller().groups[0].uses[kNova] = 199;
        Controller().groups[0].uses[kPuff] = 0;
        Controller().groups[2].uses.fill(9);

        scene.AddWidget(new FlimbMarks(scene.View()));

        // The strip of three, the second pinned.
        strip = new HistoryFilmStrip;
        strip->vAlign = kAlignBottom;
        strip->SetPosition(DesignUnitsX(140.0f), 1000.0f - DesignUnitsY(14.0f));
        scene.AddWidget(strip);
        strip->AddFlimb(11, false);
        strip->AddFlimb(12, true);
        strip->AddFlimb(13, false);

        // The chat window of three lines, over the strip.
        for (const char* line : {"Ann: left side is clear", "Bo: going for the exit", "Checkpoint reached."})
            log.Add(line, log.Entries().size() == 2 ? -2 : int(log.Entries().size()) + 1);
        chat = new ChatWindow(&log);
        chat->vAlign = kAlignBottom;
        chat->SetPosition(DesignUnitsX(24.0f), 1000.0f - DesignUnitsY(96.0f));
        scene.AddWidget(chat);

        scene.MasterDisplay()->SetShieldImage();

        // The countdown, at "2".
        countdown = new CountDownDisplay;
        countdown->hAlign = kAlignHCentre;
        countdown->vAlign = kAlignVCentre;
        countdown->SetPosition(500.0f, 320.0f);
        scene.AddWidget(countdown);

        OpenInGameMenu(nullptr);
        belt = FindHudBelt(true);
        belt->Open(12);

        for (int i = 0; i < 20; ++i)
            frame(50); // the countdown's "3" runs out, the menu slides in, the door turns
        World().clock.updateCounter = 12;
        frame(16);
        // The FlimbMaster display with its door on its way shut.
        scene.MasterDisplay()->wanted = FlimbMasterDisplay::kCovered;
        for (int i = 0; i < 4; ++i)
            frame(20);
    }
    ~HudSceneContent()
    {
        for (Flimb* flimb : flimbs_)
            flimb->animation = nullptr;
        for (AnimSurface* sheet : sheets_)
            ImageCache::ReleaseImage(sheet);
    }
    HudSceneContent(const HudSceneContent&) = delete;
    HudSceneContent& operator=(const HudSceneContent&) = delete;

    // The pointer on the belt's Drill slot (below its centre); call it just before drawing
    // (resting longer than 100 ms on a slot fades the others).
    void Hover()
    {
        if (!belt || !belt->IsOpen())
            return;
        const float r = 80.0f * GetUiScale();
        belt->OnMouseMove(int(std::lround(belt->Centre().x)), int(std::lround(belt->Centre().y + r)));
    }

    FlimbsBelt* belt = nullptr;
    HistoryFilmStrip* strip = nullptr;
    ChatWindow* chat = nullptr;
    CountDownDisplay* countdown = nullptr;

private:
    std::vector<Flimb*> flimbs_;
    std::vector<AnimSurface*> sheets_;
};
