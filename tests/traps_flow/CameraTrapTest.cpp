// The camera trap and the game view ("MOUSEPORT"): the view angle from min roll, one view
// per update however often it was triggered, a transition time of 0 at once, a recording
// played back firing event 0 without moving the view, a disabled camera keeping its
// trigger, and the roll of mode 0.
#include "tests/support/ViewFixture.h"

#include "app/XmlUtil.h"
#include "gui/WindowList.h"
#include "game/GameController.h"
#include "traps_flow/CameraTrap.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr float kDegree = 3.14159265f / 180.0f;

class CameraTrapTest : public ViewFixture {
protected:
    void SetUp() override
    {
        ViewFixture::SetUp();
        MakeLand(4000, 3000);
        view_ = &MakeView();
        OpenWindow(view_, false);
        auto camera = std::make_unique<CameraTrap>();
        camera_ = camera.get();
        camera_->destX = 1500;
        camera_->destY = 900;
        camera_->destZoom = 1200.0f;
        RegisterTrap(std::move(camera));
        auto listener = std::make_unique<CameraTrap>();
        listener_ = listener.get();
        listener_->cameraMode = CameraTrap::kRotate; // moves nothing
        RegisterTrap(std::move(listener));
        camera_->SetLink({0, listener_->id});
    }
    void TearDown() override
    {
        Controller().playbackRunning = 0;
        CloseWindow(view_);
        DeleteAllTraps();
        ViewFixture::TearDown();
    }
    // One trap pass: the camera's update, then the activations it queued (event 0 reaches the
    // listener, whose trigger is counted here).
    int UpdateCounting()
    {
        camera_->Update();
        std::vector<std::pair<Trap*, Flimb*>> pending = std::move(World().traps.pendingActivations);
        World().traps.pendingActivations.clear();
        int fired = 0;
        for (auto& [target, by] : pending) {
            target->Activate(by);
            fired += target == listener_ ? 1 : 0;
        }
        listener_->triggered = 0;
        return fired;
    }

    GameViewPort* view_ = nullptr;
    CameraTrap* camera_ = nullptr;
    CameraTrap* listener_ = nullptr;
};

// Modes 4-6 turn the view to min roll - 90 degrees, or 270 when that is 0 or less: min roll
// 0, 90 and 180 give 270, 270 and 90. A time of 0 sets rotation, zoom and place at once.
TEST_F(CameraTrapTest, TheViewAngleComesFromMinRoll)
{
    struct Case {
        float minRoll;
        float degrees;
    } const cases[] = {{0.0f, 270.0f}, {90.0f, 270.0f}, {180.0f, 90.0f}, {300.0f, 210.0f}};
    camera_->transitionTime = 0;
    for (int mode : {CameraTrap::kView, CameraTrap::kInitialView, CameraTrap::kPreInitialView}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(mode) + " " + std::to_string(c.minRoll));
            camera_->cameraMode = mode;
            camera_->minRoll = c.minRoll;
            EXPECT_FLOAT_EQ(camera_->ViewAngleDegrees(), c.degrees);
            camera_->ApplyView();
            EXPECT_NEAR(view_->GetRotation(), c.degrees * kDegree, 1e-4f);
            EXPECT_FALSE(view_->IsAnimating()) << "at once";
            EXPECT_NEAR(view_->GetZoom(), 1200.0f, 0.5f);
            EXPECT_EQ(view_->X(), 1500.0f);
            EXPECT_EQ(view_->Y(), 900.0f);
        }
    }
}

// Triggered twice within one update, the camera applies its view once and fires event 0
// once, at the update after the activations.
TEST_F(CameraTrapTest, OneViewAndOneEventPerUpdate)
{
    camera_->cameraMode = CameraTrap::kGoto;
    camera_->Activate(nullptr);
    camera_->Activate(nullptr);
    EXPECT_EQ(UpdateCounting(), 1);
    EXPECT_TRUE(view_->IsAnimating()) << "panning over 500 ms";
    Run(*view_, 600);
    EXPECT_NEAR(view_->X(), 1500.0f, 1.0f);
    EXPECT_EQ(UpdateCounting(), 0) << "nothing pending";
}

// While a recording is played back the trigger fires event 0 without moving the view.
TEST_F(CameraTrapTest, APlaybackFiresTheEventWithoutMovingTheView)
{
    Controller().playbackRunning = 1;
    camera_->transitionTime = 0;
    const float x = view_->X(), rotation = view_->GetRotation();
    camera_->Activate(nullptr);
    EXPECT_EQ(UpdateCounting(), 1);
    EXPECT_EQ(view_->X(), x);
    EXPECT_EQ(view_->GetRotation(), rotation);
}

// A disabled camera neither rolls nor applies its trigger, which waits until it is enabled.
TEST_F(CameraTrapTest, ADisabledCameraKeepsItsTrigger)
{
    camera_->transitionTime = 0;
    camera_->enabled = 0;
    const float x = view_->X();
    camera_->Activate(nullptr);
    EXPECT_EQ(UpdateCounting(), 0);
    EXPECT_EQ(view_->X(), x);
    camera_->enabled = 1;
    EXPECT_EQ(UpdateCounting(), 1);
    EXPECT_EQ(view_->X(), 1500.0f);
}

// Roll mode rocks between min and max roll by 0.005 per update and sets the view's turn.
TEST_F(CameraTrapTest, RollModeRocksTheView)
{
    camera_->cameraMode = CameraTrap::kRoll;
    camera_->minRoll = 4.70f;
    camera_->maxRoll = 4.72f;
    camera_->roll = 4.70f;
    float lowest = 10.0f, highest = 0.0f;
    for (int i = 0; i < 40; ++i) {
        UpdateCounting();
        lowest = std::min(lowest, camera_->roll);
        highest = std::max(highest, camera_->roll);
        EXPECT_NEAR(view_->Rotation(), camera_->roll, 1e-5f);
    }
    EXPECT_GE(lowest, 4.6945f);
    EXPECT_LE(lowest, 4.7005f);
    EXPECT_GE(highest, 4.7195f);
    EXPECT_LE(highest, 4.7255f);
}

} // namespace
