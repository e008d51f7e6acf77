// The goo gun: picked up by the first flimb of the area list, carried, aimed at the mouse
// (truncated degrees), fired without bounces, and dropped as a trap state (at once without
// a session).
#include "tests/support/MannedDeviceHarness.h"

#include "platform/input/DeviceEvent.h"
#include "traps/GooGunTrap.h"
#include "world/FlimbTable.h"
#include "world/TrapRegistry.h"
#include "world/ViewServices.h"

#include <gtest/gtest.h>

namespace {

constexpr int kGround = 150;

class GooGunTrapTest : public MannedDeviceHarness {
protected:
    void SetUp() override
    {
        MannedDeviceHarness::SetUp();
        if (HasFatalFailure())
            return;
        LoadGround(400, 200, kGround);
    }
    void TearDown() override
    {
        ResetGameViewHooks();
        MannedDeviceHarness::TearDown();
    }
    GooGunTrap* AddGun(int x = 200, int y = kGround - 8)
    {
        return dynamic_cast<GooGunTrap*>(
            AddTrapXml("<trap><type>GooGun</type><x>" + std::to_string(x) + "</x><y>" + std::to_string(y) + "</y></trap>"));
    }
    void MouseAt(int32_t x, int32_t y)
    {
        GameViewHooks hooks;
        hooks.mouseWorldPoint = [x, y](int32_t& wx, int32_t& wy) { wx = x, wy = y; };
        SetGameViewHooks(hooks);
    }
};

TEST_F(GooGunTrapTest, TheFirstFlimbOfTheAreaListTakesTheGunAndCarriesIt)
{
    GooGunTrap* gun = AddGun();
    Listen(*gun, 0);
    Flimb* first = PlaceAt(198, kGround - 1, 5);
    PlaceAt(202, kGround - 1, 1);
    Step();
    ASSERT_EQ(gun->rider, first);
    EXPECT_NE(first->type, kEntangle) << "a carrier keeps its type";
    EXPECT_EQ(events, (std::vector<std::string>{std::to_string(gun->id) + ":0"}));
    first->x = 250;
    Step();
    EXPECT_EQ(gun->x, float(first->x));
    EXPECT_EQ(gun->y, float(first->y));
}

TEST_F(GooGunTrapTest, AimingTruncatesTheAngleAtTheCarriersHead)
{
    GooGunTrap* gun = AddGun();
    Flimb* carrier = LocalFlimb(200, kGround - 1);
    Step();
    ASSERT_EQ(gun->rider, carrier);
    const int headY = carrier->y - GooGunTrap::kAimHeight;
    EXPECT_EQ(gun->AimAt(carrier->x, headY - 100), 90);
    EXPECT_EQ(gun->AimAt(carrier->x + 2, headY - 1000), 89) << "89.9 degrees";
    EXPECT_EQ(gun->AimAt(carrier->x - 100, headY), 180);

    MouseAt(carrier->x, headY - 50);
    session->requests.clear();
    gun->gooAngle = 0;
    EXPECT_EQ(Key(*gun, kDeviceKeyNumpad0), 1);
    EXPECT_EQ(gun->gooAngle, 0) << "the aim arrives with the request";
    EXPECT_EQ(session->requests,
              (std::vector<std::string>{"trap " + std::to_string(gun->id) + " 1 " + std::to_string(carrier->id)}));
    Step();
    EXPECT_EQ(gun->gooAngle, 90);
    const std::vector<Particle> shots = LiveShots();
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(shots[0].bounces, 0);
    EXPECT_EQ(shots[0].owner, carrier);
    EXPECT_NEAR(shots[0].vy, -32.0f, 1e-4);
    EXPECT_NEAR(shots[0].vx, 0.0f, 1e-4);
    EXPECT_EQ(Key(*gun, KeyCode("A")), 0) << "no other key is the gun's";
}

TEST_F(GooGunTrapTest, AShotStartsAboveTheFlimbAlongTheAngle)
{
    GooGunTrap* gun = AddGun();
    Listen(*gun, 1);
    Flimb* flimb = PlaceAt(100, 120, 0, 2);
    gun->gooAngle = 0;
    gun->Activate(flimb);
    const std::vector<Particle> shots = LiveShots();
    ASSERT_EQ(shots.size(), 1u);
    EXPECT_EQ(shots[0].WorldX(), 132.0f);
    EXPECT_EQ(shots[0].WorldY(), 80.0f);
    EXPECT_EQ(shots[0].vx, 32.0f);
    EXPECT_EQ(shots[0].gravity, 2);
    EXPECT_EQ(shots[0].behaviour, ParticleBehaviour::IceMissile);
    Step();
    EXPECT_EQ(events, (std::vector<std::string>{std::to_string(gun->id) + ":1"}));
}

TEST_F(GooGunTrapTest, TheKeyboardsButtonDownValueDropsTheGun)
{
    // The keyboard hands a press over as its button-down value, not as 1.
    GooGunTrap* gun = AddGun();
    Flimb* carrier = LocalFlimb(200, kGround - 1);
    Step();
    ASSERT_EQ(gun->rider, carrier);
    session->requests.clear();
    EXPECT_EQ(Key(*gun, kDeviceKeyDown, static_cast<int>(platform::kButtonDown)), 1);
    EXPECT_EQ(session->requests, (std::vector<std::string>{"trap " + std::to_string(gun->id) + " 0 -1"}));
}

TEST_F(GooGunTrapTest, TheDropTravelsAsATrapStateAndIsTakenAtOnceWithoutASession)
{
    GooGunTrap* gun = AddGun();
    Flimb* carrier = LocalFlimb(200, kGround - 1);
    Step();
    ASSERT_EQ(gun->rider, carrier);
    session->requests.clear();
    EXPECT_EQ(Key(*gun, kDeviceKeyDown), 1);
    EXPECT_EQ(gun->dropFlag, 0);
    EXPECT_EQ(gun->rider, carrier);
    EXPECT_EQ(session->requests, (std::vector<std::string>{"trap " + std::to_string(gun->id) + " 0 -1"}));
    carrier->x = 300; // away, so that the dropped gun is not picked up again at once
    Step();
    EXPECT_EQ(gun->rider, nullptr);
    Step();
    EXPECT_EQ(gun->rider, nullptr);

    // Without a session the drop is the gun's own.
    carrier->x = static_cast<int16_t>(gun->x);
    Step();
    ASSERT_EQ(gun->rider, carrier);
    session.reset();
    EXPECT_EQ(Key(*gun, kDeviceKeyDown), 1);
    EXPECT_EQ(gun->dropFlag, 1);
    carrier->x = 350;
    Step();
    EXPECT_EQ(gun->rider, nullptr);
}

} // namespace
