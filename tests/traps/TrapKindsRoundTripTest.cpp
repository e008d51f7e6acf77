// The liquid, teleport, size, anti-gravity and shock traps as real classes: each saves,
// loads and saves again with the same text; each loads from the shipped level defaults
// alone; a child missing from trap and defaults stops the load; every runtime field of
// theirs reaches the world state hash.
#include "tests/support/TrapFixture.h"

#include "app/GameException.h"
#include "game/GameServices.h"
#include "traps/AntiGravTrap.h"
#include "traps/StandInTrap.h"
#include "traps/ShockTrap.h"
#include "traps/SizeTrap.h"
#include "traps/TelePortTrap.h"
#include "traps/WaterTrap.h"
#include "world/StateHash.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct KindCase {
    int32_t kind;
    const char* ownChild; // a child of the kind's own
    std::function<void(Trap&)> change; // non-default values of the kind's own fields
};

const std::vector<KindCase>& Kinds()
{
    static const std::vector<KindCase> kinds = {
        {WaterTrap::kKind, "water_type",
         [](Trap& t) {
             auto& w = dynamic_cast<WaterTrap&>(t);
             w.sizex = 500, w.sizey = 200, w.hightide = -12, w.hightime = 7, w.lowtime = 8, w.changetime = 9,
             w.water_type = 2;
         }},
        {TelePortTrap::kKind, "teleport_max",
         [](Trap& t) {
             auto& p = dynamic_cast<TelePortTrap&>(t);
             p.destx = -40, p.desty = 300, p.mode = TelePortTrap::kRelativeLocal, p.solid_base = 0,
             p.teleport_max = 6;
         }},
        {SizeTrap::kKind, "size-out",
         [](Trap& t) {
             auto& s = dynamic_cast<SizeTrap&>(t);
             s.SetSizes(2.0f, 0.5f);
         }},
        {AntiGravTrap::kKind, "random_grav",
         [](Trap& t) {
             auto& a = dynamic_cast<AntiGravTrap&>(t);
             a.oldGravity = {0, 4, 2, -1}, a.newGravity = {1, 3, 0, -1}, a.useArea = 1, a.areaWidth = 300,
             a.areaHeight = 40, a.randomGravity = 1;
         }},
        {ShockTrap::kKind, "sections",
         [](Trap& t) { dynamic_cast<ShockTrap&>(t).sections = 12; }},
    };
    return kinds;
}

class TrapKindsRoundTripTest : public TrapFixture {
protected:
    void SetUp() override
    {
        TrapFixture::SetUp();
        LoadProfileResources();
    }
    void TearDown() override
    {
        FreeProfileResources();
        TrapFixture::TearDown();
    }
    static void LoadWithShippedDefaults(Trap& trap, const std::string& element)
    {
        XmlDocument doc = XmlParseBuffer(element.data(), element.size(), "trap");
        ASSERT_TRUE(doc);
        trap.Load(XmlRoot(doc.get()), LevelDefaultsElement("traps", "trap"), kTrapLoadAll);
    }
};

TEST_F(TrapKindsRoundTripTest, SaveLoadSaveKeepsTheTextOfEveryKind)
{
    for (const KindCase& c : Kinds()) {
        std::unique_ptr<Trap> source = Trap::Create(c.kind);
        EXPECT_EQ(dynamic_cast<StandInTrap*>(source.get()), nullptr) << c.kind;
        source->x = 40.0f;
        source->y = 90.0f;
        source->rotation = 90.0f;
        source->tint = 0x203040;
        source->SetLink({0, 77});
        c.change(*source);
        const std::string first = SaveText(*source);
        EXPECT_NE(first.find(std::string("<") + c.ownChild + ">"), std::string::npos) << first;
        std::unique_ptr<Trap> copy = Trap::Create(c.kind);
        LoadWithShippedDefaults(*copy, first);
        EXPECT_EQ(SaveText(*copy), first) << c.kind;
        // A copy made by the trap itself keeps its own fields too.
        std::unique_ptr<Trap> twin = copy->Duplicate();
        ASSERT_TRUE(twin);
        EXPECT_EQ(SaveText(*twin), first) << c.kind;
    }
}

TEST_F(TrapKindsRoundTripTest, TheDefaultsHoldEveryChildAndAChildMissingFromBothStopsTheLoad)
{
    for (const KindCase& c : Kinds()) {
        std::unique_ptr<Trap> trap = Trap::Create(c.kind);
        EXPECT_NO_THROW(LoadWithShippedDefaults(*trap, "<trap/>")) << c.kind;
        // The kind's own child missing from the trap and from a defaults element without it.
        std::unique_ptr<Trap> bare = Trap::Create(c.kind);
        std::string defaultsText = SaveText(*bare);
        const std::string open = std::string("<") + c.ownChild + ">", close = std::string("</") + c.ownChild + ">";
        const size_t from = defaultsText.find(open), to = defaultsText.find(close);
        ASSERT_NE(from, std::string::npos);
        ASSERT_NE(to, std::string::npos);
        defaultsText.erase(from, to + close.size() - from);
        XmlDocument doc = XmlParseBuffer("<trap/>", 7, "trap");
        XmlDocument defaults = XmlParseBuffer(defaultsText.data(), defaultsText.size(), "defaults");
        try {
            bare->Load(XmlRoot(doc.get()), XmlRoot(defaults.get()), kTrapLoadAll);
            ADD_FAILURE() << "no exception for " << c.ownChild;
        } catch (const GameException& e) {
            EXPECT_EQ(std::string(e.what()), std::string("The requested tag [") + c.ownChild +
                                                 "] was not found in level and in defaults\n");
        }
    }
}

TEST_F(TrapKindsRoundTripTest, RuntimeFieldsReachTheStateHash)
{
    for (const KindCase& c : Kinds()) {
        Trap* trap = nullptr;
        {
            std::unique_ptr<Trap> made = Trap::Create(c.kind);
            trap = made.get();
            RegisterTrap(std::move(made));
        }
        const uint64_t before = WorldStateHash();
        c.change(*trap);
        EXPECT_NE(WorldStateHash(), before) << c.kind;
        DeleteAllTraps();
    }
}

} // namespace
