// A level built in the editor's model, written as the editor writes it and read back for
// editing, comes back the same; writing it again gives the same bytes.
#include "app/GzipFile.h"
#include "game/LevelFile.h"
#include "game/LevelLoader.h"
#include "levelmodel/MapEditor.h"
#include "levelmodel/MapFlimb.h"
#include "levelmodel/MapPrimitive.h"
#include "levelmodel/MapTrap.h"
#include "tests/support/LevelFixture.h"
#include "tests/support/LogCapture.h"
#include "traps/Trap.h"
#include "world/Flimb.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class EditorRoundTripTest : public LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        SetCurrentEditor(&built);
        built.ClearObjects();
        built.Open();
    }
    void TearDown() override
    {
        SetCurrentEditor(nullptr);
        built.Reset();
        read.Reset();
        LevelFixture::TearDown();
    }

    // Every object's state text, list by list, in list order.
    static std::vector<std::string> States(const MapEditor& editor)
    {
        std::vector<std::string> states;
        for (const auto* list : {&editor.Primitives(), &editor.Traps(), &editor.Flimbs()})
            for (const auto& object : *list)
                states.push_back(object->CaptureState());
        return states;
    }
    static std::vector<const MapObject*> Pointers(const MapEditor::ObjectList& list)
    {
        std::vector<const MapObject*> pointers;
        for (const auto& object : list)
            pointers.push_back(object.get());
        return pointers;
    }
    static bool Write(const MapEditor& editor, const std::string& path)
    {
        LevelDescription level;
        level.title = "Round Trip";
        level.width = 2048;
        level.height = 1024;
        for (int group : {0, 3, 5})
            level.groups[size_t(group)].present = 1;
        XmlDocument doc =
            BuildLevelDocument(level, Pointers(editor.Traps()), Pointers(editor.Flimbs()), Pointers(editor.Primitives()));
        return SaveLevelDocument(doc.get(), path, true);
    }
    static std::string Inflated(const std::string& path)
    {
        GzipFile file;
        EXPECT_TRUE(file.Open("rb", path));
        EXPECT_TRUE(file.compressed);
        std::string text;
        char buffer[4096];
        while (const size_t got = file.Read(buffer, sizeof buffer))
            text.append(buffer, got);
        file.Close();
        return text;
    }

    MapEditor built;
    MapEditor read;
};

TEST_F(EditorRoundTripTest, ALevelComesBackAsItWasWritten)
{
    // Ids from 1: a level file cannot carry the id 0 (it reads as "no id").
    MapObject::nextId = 1;
    // Every land type, in an order that differs from their ids.
    int x = 100;
    for (uint32_t bashType : {1u, 2u, 0u, 7u, 16u, 6u, 4u, 17u}) {
        auto primitive = std::make_unique<MapPrimitive>();
        primitive->fileName = "Graphics\\Terrain\\rock.png";
        primitive->SetPosition(x += 50, 700);
        primitive->bashType = bashType;
        primitive->tint = 0x102030 + bashType;
        primitive->SetRotation(static_cast<int>(bashType) * 20);
        built.AddObject(std::move(primitive), false, false, 0, true);
    }
    // Linked traps: a start and a teleport link to the exit.
    std::vector<MapTrap*> traps;
    for (int32_t kind : {21, 22, 1, 24}) {
        std::unique_ptr<Trap> trap = Trap::Create(kind);
        ASSERT_NE(trap, nullptr) << kind;
        auto placed = std::make_unique<MapTrap>(std::move(trap));
        placed->SetPosition(x += 70, 400);
        traps.push_back(static_cast<MapTrap*>(built.AddObject(std::move(placed), false, false, -1, true)));
    }
    traps[0]->GetTrap()->links.push_back(TrapLink{0, traps[1]->id});
    traps[2]->GetTrap()->links.push_back(TrapLink{1, traps[1]->id});
    // Flimbs of several groups and styles.
    const struct {
        uint8_t group, style;
        int8_t step;
    } flimbs[] = {{0, 0x00, 3}, {3, 0x80, -2}, {5, 0x44, 5}, {3, 0x40, -3}};
    for (const auto& each : flimbs) {
        auto flimb = std::make_unique<Flimb>();
        flimb->Init();
        flimb->group = each.group;
        flimb->attributes = each.style;
        flimb->walkSpeed = each.step;
        flimb->type = 3;
        auto placed = std::make_unique<MapFlimb>(std::move(flimb));
        placed->SetPosition(x += 30, 600);
        built.AddObject(std::move(placed), false, false, -1, true);
    }
    built.CollectLinkedTraps(traps[1]);
    EXPECT_EQ(traps[1]->linkedTrapIds, (std::vector<uint32_t>{0xFFFFFFFFu, traps[0]->id, traps[2]->id}));

    const std::string first = "Level\\m_dm_round_trip.flevel";
    ASSERT_TRUE(Write(built, first));
    manager->IndexNames(nullptr, 0, nullptr);
    SetCurrentEditor(&read);
    LogCapture log;
    ASSERT_TRUE(LoadLevelIntoMap(read, first)) << log.Copy();
    EXPECT_EQ(read.Primitives().size(), 8u);
    EXPECT_EQ(read.Traps().size(), 4u);
    EXPECT_EQ(read.Flimbs().size(), 4u);
    EXPECT_EQ(States(read), States(built));
    for (const auto& trap : read.Traps())
        EXPECT_EQ(static_cast<MapTrap&>(*trap).GetTrap()->id, trap->id);
    // The link is found again among the read traps.
    MapObject* exit = read.FindTrap(traps[1]->id);
    ASSERT_NE(exit, nullptr);
    read.CollectLinkedTraps(exit);
    EXPECT_EQ(exit->linkedTrapIds, traps[1]->linkedTrapIds);

    const std::string second = "Level\\m_dm_round_trip2.flevel";
    ASSERT_TRUE(Write(read, second));
    EXPECT_EQ(Inflated(second), Inflated(first));
}

} // namespace
