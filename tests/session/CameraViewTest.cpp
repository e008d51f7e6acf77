// CAMERA_VIEW and the game view ("MOUSEPORT"): a saved playback keeps the player's centre,
// zoom and rotation, and the command puts them back; zooms that cannot be are refused.
#include "tests/support/LogCapture.h"
#include "tests/support/ViewFixture.h"

#include "gui/WindowList.h"
#include "session/CameraView.h"
#include "session/ClientCommandState.h"
#include "session/NetCommand.h"

#include <gtest/gtest.h>

namespace {

constexpr float kRadiansPerDegree = 3.14159265f / 180.0f;

class CameraView : public ViewFixture {
protected:
    void SetUp() override
    {
        ViewFixture::SetUp();
        ResetCommandState();
        MakeLand(4000, 3000);
        view = &MakeView();
        OpenWindow(view, false);
    }
    void TearDown() override
    {
        CloseWindow(view);
        ResetCommandState();
        ViewFixture::TearDown();
    }
    static int16_t Field(const NetRecord& record, size_t at) { return int16_t(GetU16(record.data(), at)); }

    GameViewPort* view = nullptr;
    LogCapture log;
};

TEST_F(CameraView, TheRecordHoldsTheViewAndTheCommandRestoresIt)
{
    view->SetRotation(30.0f * kRadiansPerDegree, -1, -1.0f);
    view->LookAt(1500.0f, 900.0f, 1200.0f);
    Run(*view, 1000);
    const NetRecord taken = CurrentCameraView();
    EXPECT_EQ(taken[0], kCmdCameraView);
    EXPECT_NEAR(Field(taken, 6), 1500, 1);
    EXPECT_NEAR(Field(taken, 8), 900, 1);
    EXPECT_NEAR(Field(taken, 10), 1200, 1) << "the zoom is kept";
    EXPECT_EQ(Field(taken, 12), 30) << "the rotation in degrees";

    view->SetRotation(0.0f, -1, -1.0f);
    view->LookAt(600.0f, 500.0f, 2000.0f);
    Run(*view, 1000);
    EXPECT_EQ(ExecuteCommand(taken.data()), 0);
    EXPECT_NEAR(view->GetRotation(), 30.0f * kRadiansPerDegree, 1e-3f) << "turned at once";
    EXPECT_NEAR(view->GetZoom(), 1200.0f, 1.0f) << "zoomed at once";
    Step(*view, 10);
    EXPECT_NEAR(view->camera.target.x, 1500.0f, 1.0f);
    EXPECT_NEAR(view->camera.target.y, 900.0f, 1.0f);
    EXPECT_NEAR(view->GetZoom(), 1200.0f, 1.0f);
}

TEST_F(CameraView, ZoomsThatCannotBeAreRefusedAndTheViewStays)
{
    view->LookAt(1000.0f, 800.0f, 1500.0f);
    Run(*view, 1000);
    const float zoom = view->GetZoom();
    const float rotation = view->GetRotation();
    for (const int16_t bad : {int16_t(0), int16_t(-40), int16_t(32767)}) {
        SCOPED_TRACE(bad);
        log.Clear();
        EXPECT_FALSE(ApplyCameraView(MakeCameraView(200, 200, bad, 90).data()));
        EXPECT_TRUE(log.Contains("CAMERA_VIEW with the zoom " + std::to_string(bad) + " refused")) << log.Text();
        Run(*view, 1000);
        EXPECT_NEAR(view->GetZoom(), zoom, 1.0f);
        EXPECT_NEAR(view->camera.target.x, 1000.0f, 1.0f);
        EXPECT_NEAR(view->GetRotation(), rotation, 1e-3f);
    }
}

TEST_F(CameraView, WithoutAGameViewTheCommandDoesNothing)
{
    CloseWindow(view);
    EXPECT_EQ(ExecuteCommand(MakeCameraView(10, 10, 1000, 45).data()), 0);
    const NetRecord taken = CurrentCameraView();
    EXPECT_EQ(Field(taken, 10), 0) << "no zoom without a view";
    OpenWindow(view, false);
}

} // namespace
