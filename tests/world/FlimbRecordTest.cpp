// The flimb record: defaults, type names, attributes, size classes and set-up.
#include "app/Log.h"
#include "tests/support/RecordingTrap.h"
#include "tests/support/TestWorld.h"
#include "world/TrapRegistry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace {

std::string ReadLog()
{
    std::ifstream in(LogFilePath());
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(FlimbRecord, InitSetsTheDefaultsAndKeepsOnlyFlags2Bit7)
{
    Flimb flimb{};
    flimb.flags2 = 0xFF;
    flimb.x = 5;
    flimb.group = 3;
    flimb.Init();
    EXPECT_EQ(flimb.flags, 0x5C);
    EXPECT_EQ(flimb.flags2, 0x80);
    EXPECT_EQ(flimb.type, kNoType);
    EXPECT_EQ(flimb.pendingType, kNoType);
    EXPECT_EQ(flimb.queuedAction, kNoType);
    EXPECT_EQ(flimb.linkedId, -1);
    EXPECT_EQ(flimb.energy, 13023);
    EXPECT_EQ(flimb.walkSpeed, 3);
    EXPECT_EQ(flimb.stepsPerUpdate, 1);
    EXPECT_EQ(flimb.typeAge, 5);
    EXPECT_EQ(flimb.alpha, 255);
    EXPECT_EQ(flimb.scale, 1.0f);
    EXPECT_EQ(flimb.drawScaleX, 1.0f);
    EXPECT_EQ(flimb.drawScaleY, 1.0f);
    EXPECT_EQ(flimb.x, 0);
    EXPECT_EQ(flimb.group, 0);
}

TEST(FlimbRecord, TypeNamesIgnoreCaseAndUnknownNamesWalk)
{
    EXPECT_EQ(Flimb::TypeFromName("clob"), kClob);
    EXPECT_EQ(Flimb::TypeFromName("CLOB"), kClob);
    EXPECT_EQ(Flimb::TypeFromName("walk"), kWalk);
    EXPECT_EQ(Flimb::TypeFromName("Wobble"), kWalk);
    EXPECT_EQ(Flimb::TypeFromName("CopySpawn"), kCopySpawn);
    EXPECT_STREQ(FlimbTypeName(kGraviturn), "Graviturn");
    EXPECT_STREQ(FlimbTypeName(22), "");
}

TEST(FlimbRecord, AttributesSetTheirSideEffectsOnce)
{
    Flimb flimb{};
    flimb.Init();
    flimb.SetAttribute(kAttrNovaFuse);
    EXPECT_EQ(flimb.fuse, 255);
    EXPECT_TRUE(flimb.flags & kFlimbFuseLit);
    flimb.fuse = 100;
    flimb.SetAttribute(kAttrNovaFuse);
    EXPECT_EQ(flimb.fuse, 100) << "a set bit stays as it is";

    flimb.attributes |= kAttrCounted;
    flimb.SetAttribute(kAttrNoPuff);
    EXPECT_FALSE(flimb.attributes & kAttrCounted);

    flimb.SetAttribute(32);
    EXPECT_TRUE(flimb.attributes & 32) << "an undefined bit is set all the same";
    EXPECT_NE(ReadLog().find("WARNING: FLIMB attr not defined!"), std::string::npos);
}

TEST(FlimbRecord, SizeClassBoundaries)
{
    Flimb flimb{};
    const std::pair<float, int> cases[] = {{0.5f, 0}, {0.749f, 0}, {0.75f, 1}, {1.0f, 1}, {1.5f, 2},
                                           {2.49f, 2}, {2.5f, 3}, {4.0f, 3}};
    for (const auto& [scale, sizeClass] : cases) {
        flimb.scale = scale;
        EXPECT_EQ(flimb.SizeClass(), sizeClass) << scale;
    }
}

TEST(FlimbRecord, SetupFacesTheGroupsOpenExit)
{
    std::vector<std::string> journal;
    TestWorld test;
    auto exit = std::make_unique<RecordingTrap>(22, journal);
    exit->group = 2;
    exit->x = 500;
    exit->y = 50;
    RegisterTrap(std::move(exit));

    Flimb flimb{};
    flimb.Init();
    flimb.Setup(100, 40, 7, 2, kWalk, 0, 900, 4, 0);
    EXPECT_EQ(flimb.walkSpeed, 3) << "left of its exit";
    EXPECT_EQ(flimb.prevX, 100);
    EXPECT_EQ(flimb.prevY, 40);
    EXPECT_EQ(flimb.energy, 900);
    EXPECT_EQ(flimb.autoBehaviour, 4);
    flimb.Setup(600, 40, 7, 2, kWalk, 0, 900, 0, 0);
    EXPECT_EQ(flimb.walkSpeed, -3);
    flimb.Setup(600, 40, 7, 2, kWalk, 2, 900, 0, 0);
    EXPECT_EQ(flimb.walkSpeed, 3) << "along y for gravity 2: above its exit";
    flimb.Setup(600, 40, 7, 2, kWalk, 0, 900, 0, 1);
    EXPECT_EQ(flimb.walkSpeed, 3);
    flimb.Setup(100, 40, 7, 2, kWalk, 0, 900, 0, -5);
    EXPECT_EQ(flimb.walkSpeed, -3);
    flimb.Setup(100, 40, 7, 3, kWalk, 0, 900, 0, 0);
    EXPECT_EQ(flimb.walkSpeed, -3) << "group 3 has no exit: the landscape's middle (0 without one)";
}

TEST(FlimbRecord, FindNextClearFlagSkipsFreeRecords)
{
    TestWorld test;
    World().flimbCount = 4;
    World().flimbs[1].flags = kFlimbFree;
    World().flimbs[3].flags = kFlimbFree;
    int32_t cursor = 0;
    EXPECT_EQ(FindNextClearFlag(cursor), &World().flimbs[0]);
    EXPECT_EQ(FindNextClearFlag(cursor), &World().flimbs[2]);
    EXPECT_EQ(FindNextClearFlag(cursor), nullptr);
    EXPECT_EQ(cursor, 4);
}

} // namespace
