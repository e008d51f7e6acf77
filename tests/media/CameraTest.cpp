// The camera: its defaults, the field-of-view rule of the viewports, projection onto the
// screen, and the device transforms it applies and gives back.
#include "media/Camera.h"
#include "media/DXManager.h"
#include "platform/gfx/Device.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

class CameraTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        savedWidth_ = DXManager::screenWidth;
        savedHeight_ = DXManager::screenHeight;
        DXManager::screenWidth = 1280;
        DXManager::screenHeight = 720;
    }
    void TearDown() override
    {
        DXManager::screenWidth = savedWidth_;
        DXManager::screenHeight = savedHeight_;
    }
    // A camera straight above (x, y) looking down with world y down on the screen.
    static void LookDown(Camera& camera, float x, float y, float distance)
    {
        camera.LookAt(gfx::D3DXVECTOR3(x, y, distance), gfx::D3DXVECTOR3(x, y, 0.0f), gfx::D3DXVECTOR3(0.0f, -1.0f, 0.0f));
    }

private:
    int savedWidth_ = 0, savedHeight_ = 0;
};

TEST_F(CameraTest, StartsAtTheDefaultEyeWithAnOpenDepthRange)
{
    Camera camera;
    EXPECT_FLOAT_EQ(camera.eye.x, 10.0f);
    EXPECT_FLOAT_EQ(camera.eye.y, 10.0f);
    EXPECT_FLOAT_EQ(camera.eye.z, 8.1649f);
    EXPECT_FLOAT_EQ(camera.up.y, -1.0f);
    EXPECT_FLOAT_EQ(camera.nearZ, 200.0f);
    EXPECT_FLOAT_EQ(camera.farZ, -200.0f);
    EXPECT_FLOAT_EQ(camera.fov, Camera::kQuarterPi);
    EXPECT_FLOAT_EQ(camera.ViewWidth(), 1280.0f) << "the projection covers the screen";
    EXPECT_FALSE(camera.keepHorizontalExtent);
    // A point far behind the default near plane still lands on the screen (no far plane).
    LookDown(camera, 0.0f, 0.0f, 50000.0f);
    const gfx::D3DXVECTOR2 centre = camera.ProjectToScreen(0.0f, 0.0f, 0.0f);
    EXPECT_NEAR(centre.x, 640.0f, 0.01f);
    EXPECT_NEAR(centre.y, 360.0f, 0.01f);
}

TEST_F(CameraTest, ViewsKeepTheirHorizontalExtentAndZoom1005IsOnePixelAUnit)
{
    // At zoom 1005 (eye distance 1005 / tan(fov)) a full-screen view draws one world unit
    // per pixel; views of other aspects show the same width of the world at that distance.
    struct Case {
        float width, height;
    };
    for (const Case c : {Case{1280, 720}, Case{960, 720}, Case{1280, 1024}}) {
        SCOPED_TRACE(c.width);
        Camera camera;
        camera.keepHorizontalExtent = true;
        camera.SetProjection(c.width, c.height, Camera::kDefaultNear, Camera::kDefaultFar);
        EXPECT_NEAR(std::tan(camera.fov), (4.0f / 3.0f) / (c.width / c.height), 1e-5f);
        const float distance = 1005.0f / std::tan(camera.fov);
        LookDown(camera, 500.0f, 500.0f, distance);
        const float perUnitY = camera.ProjectToScreen(500.0f, 501.0f, 0.0f).y - camera.ProjectToScreen(500.0f, 500.0f, 0.0f).y;
        EXPECT_NEAR(perUnitY * 720.0f, c.height, 0.05f) << "zoom 1005 shows the screen's height of the world";
        EXPECT_NEAR(camera.PixelsPerUnit(distance), perUnitY, 1e-4f);
        // The width of the world shown at a fixed eye distance does not depend on the aspect.
        LookDown(camera, 0.0f, 0.0f, 1000.0f);
        const float unitsAcross = c.width / camera.PixelsPerUnit(1000.0f);
        EXPECT_NEAR(unitsAcross, 1000.0f * (4.0f / 3.0f) * 720.0f / 1005.0f, 0.5f);
    }
}

TEST_F(CameraTest, ANoSizeProjectionKeepsTheLastOne)
{
    Camera camera;
    camera.keepHorizontalExtent = true;
    camera.SetProjection(800.0f, 600.0f, 200.0f, -200.0f);
    const gfx::D3DXMATRIX before = camera.projection;
    camera.SetProjection(0.0f, 600.0f, 200.0f, -200.0f);
    camera.SetProjection(800.0f, 0.0f, 200.0f, -200.0f);
    camera.SetProjection(-5.0f, std::nanf(""), 200.0f, -200.0f);
    EXPECT_EQ(camera.projection, before);
    EXPECT_FLOAT_EQ(camera.aspect, 800.0f / 600.0f);
}

TEST_F(CameraTest, MovesItsEyeAndTargetAndProjectsWithItsScreenOrigin)
{
    Camera camera;
    camera.SetProjection(400.0f, 300.0f, 200.0f, -200.0f);
    camera.SetScreenOrigin(100.0f, 50.0f);
    LookDown(camera, 10.0f, 20.0f, 1000.0f);
    gfx::D3DXVECTOR2 centre = camera.ProjectToScreen(10.0f, 20.0f, 0.0f);
    EXPECT_NEAR(centre.x, 300.0f, 0.01f);
    EXPECT_NEAR(centre.y, 200.0f, 0.01f);
    camera.SetTarget(40.0f, 60.0f, 0.0f);
    EXPECT_FLOAT_EQ(camera.eye.x, 40.0f);
    EXPECT_FLOAT_EQ(camera.eye.z, 1000.0f);
    camera.MoveEye(250.0f);
    EXPECT_NEAR(camera.EyeDistance(), 750.0f, 0.01f);
    camera.LookAt(1500.0f);
    EXPECT_NEAR(camera.eye.z, 1500.0f, 0.01f);
    centre = camera.ProjectToScreen(40.0f, 60.0f, 0.0f);
    EXPECT_NEAR(centre.x, 300.0f, 0.01f);
    // World x to the right and y down on the screen.
    EXPECT_GT(camera.ProjectToScreen(50.0f, 60.0f, 0.0f).x, centre.x);
    EXPECT_GT(camera.ProjectToScreen(40.0f, 70.0f, 0.0f).y, centre.y);
}

TEST_F(CameraTest, ApplySetsViewAndProjectionAndRestoreGivesTheDeviceItsOwnBack)
{
    gfx::Ref<gfx::Direct3D> d3d(gfx::Direct3DCreate9(gfx::D3D_SDK_VERSION));
    ASSERT_TRUE(d3d);
    gfx::D3DPRESENT_PARAMETERS params;
    params.BackBufferWidth = 64;
    params.BackBufferHeight = 64;
    gfx::Ref<gfx::Device> device;
    ASSERT_EQ(d3d->CreateDevice(0, gfx::D3DDEVTYPE_HAL, nullptr, gfx::D3DCREATE_HARDWARE_VERTEXPROCESSING, &params,
                                device.out()),
              gfx::D3D_OK);
    gfx::D3DXMATRIX own[3];
    gfx::D3DXMatrixTranslation(&own[0], 1, 2, 3);
    gfx::D3DXMatrixScaling(&own[1], 2, 2, 2);
    gfx::D3DXMatrixRotationZ(&own[2], 0.5f);
    device->SetTransform(gfx::D3DTS_VIEW, &own[0]);
    device->SetTransform(gfx::D3DTS_PROJECTION, &own[1]);
    device->SetTransform(gfx::D3DTS_WORLD, &own[2]);

    Camera camera;
    camera.Restore(device.get()); // nothing applied: nothing changes
    camera.Apply(device.get());
    gfx::D3DXMATRIX read;
    device->GetTransform(gfx::D3DTS_VIEW, &read);
    EXPECT_EQ(read, camera.view);
    device->GetTransform(gfx::D3DTS_PROJECTION, &read);
    EXPECT_EQ(read, camera.projection);
    device->SetTransform(gfx::D3DTS_WORLD, &own[0]); // drawing may change the world matrix
    camera.Restore(device.get());
    const gfx::D3DTRANSFORMSTATETYPE kinds[3] = {gfx::D3DTS_VIEW, gfx::D3DTS_PROJECTION, gfx::D3DTS_WORLD};
    for (int i = 0; i < 3; ++i) {
        device->GetTransform(kinds[i], &read);
        EXPECT_EQ(read, own[i]) << i;
    }
}

} // namespace
