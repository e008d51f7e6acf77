// The bridge, sling-shot, mush-bomb, acid-rain, swap and squish traps are made as their own
// classes, save, load and save again to the same text, and a kind child missing from the
// trap and the defaults stops the load.
#include "app/GameException.h"
#include "app/XmlUtil.h"
#include "tests/support/TestWorld.h"
#include "traps/AcidRainTrap.h"
#include "traps/BridgeTrap.h"
#include "traps/MushBombTrap.h"
#include "traps/SlingShotTrap.h"
#include "traps/SquishTrap.h"
#include "traps/StandInTrap.h"
#include "traps/SwapTrap.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace {

std::string SaveText(const Trap& trap)
{
    XmlDocument doc = XmlNewDocument("trap");
    trap.Save(XmlRoot(doc.get()));
    return XmlDocumentText(doc.get());
}

void LoadText(Trap& trap, const std::string& text)
{
    XmlDocument doc = XmlParseBuffer(text.data(), text.size(), "trap");
    ASSERT_TRUE(doc);
    trap.Load(XmlRoot(doc.get()), nullptr, kTrapLoadAll);
}

struct KindCase {
    int32_t kind;
    std::function<void(Trap&)> setValues;
    const char* ownChild; // a child of the kind's own, "" for none
};

} // namespace

TEST(HazardTrapRoundTrip, SixKindsAreRealClassesAndRoundTrip)
{
    TestWorld world;
    const KindCase cases[] = {
        {10, [](Trap& t) {
             auto& b = dynamic_cast<BridgeTrap&>(t);
             b.maxFlimbs = 3, b.sections = 12, b.timeOpen = 40, b.timeClosed = 90;
         }, "sections"},
        {12, [](Trap& t) {
             auto& s = dynamic_cast<SlingShotTrap&>(t);
             s.slingMagnitude = 120, s.slingMode = 2, s.redirect = 1, s.centerFlimb = 0;
         }, "sling_mag"},
        {13, [](Trap& t) {
             auto& m = dynamic_cast<MushBombTrap&>(t);
             m.maxRadius = 300, m.radiusStep = 7, m.period = 50, m.mushType = 9, m.liquidAdds = 1;
         }, "mush_type"},
        {11, [](Trap& t) {
             auto& a = dynamic_cast<AcidRainTrap&>(t);
             a.updatesPerDrop = 6, a.dropSize = 20, a.dropBounces = -1, a.addLand = 1;
         }, "dropsize"},
        {2, [](Trap& t) { dynamic_cast<SwapTrap&>(t).pickup_left = 4; }, ""},
        {7, [](Trap& t) { (void)dynamic_cast<SquishTrap&>(t); }, ""},
    };
    for (const KindCase& c : cases) {
        std::unique_ptr<Trap> source = Trap::Create(c.kind);
        ASSERT_TRUE(source);
        ASSERT_EQ(dynamic_cast<StandInTrap*>(source.get()), nullptr) << "kind " << c.kind;
        source->x = 40.0f;
        source->y = 80.0f;
        source->rotation = 90.0f;
        source->tint = c.kind == 2 ? 0u : 0x203040u; // the swap's tint always reads as 0
        source->SetLink({0, 17});
        c.setValues(*source);
        const std::string first = SaveText(*source);
        std::unique_ptr<Trap> copy = Trap::Create(c.kind);
        LoadText(*copy, first);
        EXPECT_EQ(SaveText(*copy), first) << "kind " << c.kind;

        if (*c.ownChild) {
            std::string missing = first;
            const std::string open = std::string("<") + c.ownChild + ">";
            const size_t from = missing.find(open);
            ASSERT_NE(from, std::string::npos);
            const size_t to = missing.find(std::string("</") + c.ownChild + ">", from);
            missing.erase(from, to - from + open.size() + 1);
            std::unique_ptr<Trap> broken = Trap::Create(c.kind);
            try {
                LoadText(*broken, missing);
                ADD_FAILURE() << "kind " << c.kind << " loaded without " << c.ownChild;
            } catch (const GameException& e) {
                EXPECT_NE(std::string(e.what()).find(std::string("The requested tag [") + c.ownChild + "]"),
                          std::string::npos)
                    << e.what();
            }
        }
    }
}
