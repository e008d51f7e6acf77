// The level editor's model: filing objects in their lists and order, lookups by id, the
// ids after a load, and the undo history's steps.
#include "app/XmlUtil.h"
#include "game/GameController.h"
#include "levelmodel/EditorPicking.h"
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

class MapEditorTest : public LevelFixture {
protected:
    void SetUp() override
    {
        LevelFixture::SetUp();
        SetCurrentEditor(&editor);
        editor.ClearObjects();
        editor.Open();
    }
    void TearDown() override
    {
        editor.Reset();
        SetCurrentEditor(nullptr);
        LevelFixture::TearDown();
    }

    MapPrimitive* Prim(int x = 0, int index = -1)
    {
        auto made = std::make_unique<MapPrimitive>();
        made->SetPosition(x, 0);
        return static_cast<MapPrimitive*>(editor.AddObject(std::move(made), false, false, index, true));
    }
    MapTrap* PlaceTrap(int32_t kind, int x = 0)
    {
        auto made = std::make_unique<MapTrap>(Trap::Create(kind));
        made->SetPosition(x, 10);
        return static_cast<MapTrap*>(editor.AddObject(std::move(made), false, false, -1, true));
    }
    MapFlimb* PlaceFlimb(int x = 0)
    {
        auto flimb = std::make_unique<Flimb>();
        flimb->Init();
        flimb->type = kWalk;
        auto made = std::make_unique<MapFlimb>(std::move(flimb));
        made->SetPosition(x, 20);
        return static_cast<MapFlimb*>(editor.AddObject(std::move(made), false, false, -1, true));
    }
    // The x of each primitive in list order, and their order numbers.
    std::vector<int> PrimitiveXs() const
    {
        std::vector<int> xs;
        int order = 0;
        for (const auto& object : editor.Primitives()) {
            int x = 0, y = 0;
            object->GetPosition(x, y);
            xs.push_back(x);
            EXPECT_EQ(object->GetZOrder(), order++);
        }
        return xs;
    }
    // Moves each selected object and records the move as one step.
    void MoveSelection(int dx)
    {
        for (MapObject* object : editor.selection) {
            int x = 0, y = 0;
            object->GetPosition(x, y);
            object->SetPosition(x + dx, y);
        }
        editor.RecordSelection(kUndoModified);
    }
    static int X(const MapObject* object)
    {
        int x = 0, y = 0;
        object->GetPosition(x, y);
        return x;
    }

    MapEditor editor;
};

TEST_F(MapEditorTest, AddObjectPutsTheObjectAtItsIndex)
{
    const std::pair<int, std::vector<int>> cases[] = {
        {-1, {1, 2, 3, 9}}, {0, {9, 1, 2, 3}}, {2, {1, 2, 9, 3}}, {3, {1, 2, 3, 9}}, {99, {1, 2, 3, 9}}};
    for (const auto& [index, expected] : cases) {
        SCOPED_TRACE(index);
        editor.ClearObjects();
        for (int x : {1, 2, 3})
            Prim(x);
        Prim(9, index);
        EXPECT_EQ(PrimitiveXs(), expected);
    }
    // Traps go into their own list; flimbs are appended and have no order.
    MapTrap* trap = PlaceTrap(21);
    MapFlimb* flimb = PlaceFlimb();
    EXPECT_EQ(trap->GetZOrder(), 0);
    EXPECT_EQ(flimb->GetZOrder(), -1);
    EXPECT_EQ(editor.ObjectCount(), 6u);
    EXPECT_TRUE(editor.orderChanged);
}

TEST_F(MapEditorTest, SetObjectOrderKeepsTheObjectWithinItsList)
{
    const std::pair<int, std::vector<int>> cases[] = {
        {-5, {3, 1, 2, 4}}, {0, {3, 1, 2, 4}}, {3, {1, 2, 4, 3}}, {1000, {1, 2, 4, 3}}, {1, {1, 3, 2, 4}}};
    for (const auto& [z, expected] : cases) {
        SCOPED_TRACE(z);
        editor.ClearObjects();
        for (int x : {1, 2, 3, 4})
            Prim(x);
        editor.SetObjectOrder(editor.Primitives()[2].get(), z);
        EXPECT_EQ(PrimitiveXs(), expected);
    }
    MapFlimb* flimb = PlaceFlimb();
    editor.SetObjectOrder(flimb, 0);
    EXPECT_EQ(editor.Flimbs().back().get(), flimb);
}

TEST_F(MapEditorTest, IdsAndLookups)
{
    Prim();
    editor.ClearObjects();
    MapPrimitive* primitive = Prim();
    MapTrap* trap = PlaceTrap(21);
    MapFlimb* flimb = PlaceFlimb();
    EXPECT_EQ(primitive->id, 0u);
    EXPECT_EQ(trap->id, 1u);
    EXPECT_EQ(trap->GetTrap()->id, 1u);
    EXPECT_EQ(flimb->id, 2u);

    EXPECT_EQ(editor.FindObject(0), primitive);
    EXPECT_EQ(editor.FindObject(1), trap);
    EXPECT_EQ(editor.FindObject(2), flimb);
    EXPECT_EQ(editor.FindObject(77), nullptr);
    EXPECT_EQ(editor.FindTrapObject(1), trap->GetTrap());
    EXPECT_EQ(editor.FindTrapObject(0), nullptr); // a primitive's id
    EXPECT_EQ(editor.FindPrimitive(1), nullptr);

}

TEST_F(MapEditorTest, FixObjectIdsRefilesRenumberedTrapsAndDoubles)
{
    LogCapture log;
    std::vector<MapTrap*> traps;
    for (uint32_t id : {0u, 0x7FFFFFFFu, 40u, 0xFFFFFFFFu, 40u}) {
        auto made = std::make_unique<MapTrap>(Trap::Create(21));
        made->id = id;
        made->GetTrap()->id = id;
        traps.push_back(static_cast<MapTrap*>(editor.AddObject(std::move(made), false, false, -1, false)));
    }
    auto primitive = std::make_unique<MapPrimitive>();
    primitive->id = 50;
    editor.AddObject(std::move(primitive), false, false, -1, false);
    editor.FixObjectIds();

    // The counter goes past the largest id that a file can carry.
    EXPECT_EQ(traps[0]->id, 51u);
    EXPECT_EQ(traps[1]->id, 52u);
    EXPECT_EQ(traps[3]->id, 53u);
    EXPECT_EQ(traps[4]->id, 40u); // the later of a doubled id keeps it
    EXPECT_EQ(traps[2]->id, 54u);
    for (MapTrap* trap : traps) {
        EXPECT_EQ(editor.FindTrap(trap->id), trap) << trap->id;
        EXPECT_EQ(trap->GetTrap()->id, trap->id);
    }
    EXPECT_EQ(editor.FindTrap(0), nullptr);
    EXPECT_TRUE(log.Contains("WARNING: trap id 40 is used twice; the earlier one takes id 54"));
    EXPECT_EQ(MapObject::nextId.load(), 55u);
}

TEST_F(MapEditorTest, UndoRedoAndANewChangeDropsWhatCouldBeRedone)
{
    auto made = std::make_unique<MapPrimitive>();
    made->SetPosition(10, 0);
    MapObject* object = editor.AddObject(std::move(made), true, true, -1, true);
    EXPECT_EQ(editor.undo->step, 1);
    EXPECT_TRUE(editor.modified);

    MoveSelection(5);
    MoveSelection(5);
    EXPECT_EQ(X(object), 20);
    editor.undo->Undo();
    EXPECT_EQ(X(object), 15);
    EXPECT_EQ(editor.selection, std::vector<MapObject*>{object});
    editor.undo->Undo();
    EXPECT_EQ(X(object), 10);
    editor.undo->Redo();
    EXPECT_EQ(X(object), 15);

    // A new change drops the step that could have been redone.
    editor.selection = {object};
    MoveSelection(100);
    EXPECT_EQ(X(object), 115);
    editor.undo->Redo();
    EXPECT_EQ(X(object), 115);
    EXPECT_TRUE(editor.selection.empty()); // a redo at the newest step only empties the selection
    editor.undo->Undo();
    EXPECT_EQ(X(object), 15);

    // Undoing the creation deletes the object; redoing makes it anew from its state.
    editor.undo->Undo();
    editor.undo->Undo();
    EXPECT_EQ(editor.ObjectCount(), 0u);
    editor.undo->Redo();
    ASSERT_EQ(editor.Primitives().size(), 1u);
    EXPECT_EQ(X(editor.Primitives()[0].get()), 10);
    EXPECT_EQ(editor.selection.size(), 1u);
}

TEST_F(MapEditorTest, UndoWithoutRecordsChangesNothing)
{
    MapPrimitive* primitive = Prim(4);
    editor.selection = {primitive};
    editor.undo->Undo();
    editor.undo->Redo();
    EXPECT_EQ(editor.selection, std::vector<MapObject*>{primitive});
    EXPECT_EQ(editor.undo->step, 0);
    EXPECT_EQ(X(primitive), 4);
}

TEST_F(MapEditorTest, AStepThatChangesNothingKeepsModifiedAndTheSelection)
{
    MapPrimitive* a = Prim(1);
    MapPrimitive* b = Prim(2);
    editor.selection = {a};
    MoveSelection(10);
    editor.modified = false;

    editor.selection = {b, a};
    editor.RecordSelection(kUndoModified); // nothing moved
    EXPECT_FALSE(editor.modified);
    EXPECT_EQ(editor.selection, (std::vector<MapObject*>{b, a}));
    EXPECT_EQ(editor.undo->step, 1);
    EXPECT_FALSE(editor.undo->stepOpen);
    // The next undo undoes the step before it.
    editor.undo->Undo();
    EXPECT_EQ(X(a), 1);
    EXPECT_EQ(X(b), 2);
}

TEST_F(MapEditorTest, AnUndoneTrapDeletionReturnsTheTrapAtItsOrder)
{
    PlaceTrap(1, 100);
    MapTrap* middle = PlaceTrap(21, 200);
    PlaceTrap(22, 300);
    middle->GetTrap()->tint = 0x123456;
    middle->CommitState();
    const uint32_t id = middle->id;
    const std::string state = middle->CaptureState();

    editor.selection = {middle};
    editor.undo->RecordChange(middle, kUndoDeleted);
    editor.selection.clear();
    editor.DeleteObject(middle);
    editor.undo->CommitStep();
    ASSERT_EQ(editor.Traps().size(), 2u);
    EXPECT_EQ(editor.FindTrap(id), nullptr);

    editor.undo->Undo();
    ASSERT_EQ(editor.Traps().size(), 3u);
    auto* back = static_cast<MapTrap*>(editor.Traps()[1].get());
    EXPECT_EQ(back->id, id);
    EXPECT_EQ(back->GetTrap()->kind, 21);
    EXPECT_EQ(back->GetTrap()->id, id);
    EXPECT_EQ(back->GetTrap()->tint, 0x123456u);
    EXPECT_EQ(back->CaptureState(), state);
    EXPECT_EQ(editor.FindTrap(id), back);
    EXPECT_EQ(editor.selection, std::vector<MapObject*>{back});

    editor.undo->Redo();
    EXPECT_EQ(editor.Traps().size(), 2u);
    EXPECT_TRUE(editor.selection.empty());
}

TEST_F(MapEditorTest, SavedStatesFollowFilingAndCommits)
{
    MapPrimitive* primitive = Prim(3);
    EXPECT_EQ(primitive->savedState, primitive->CaptureState());
    editor.selection = {primitive};
    MoveSelection(4);
    EXPECT_EQ(primitive->savedState, primitive->CaptureState()); // the step's after text
    MoveSelection(4);
    editor.undo->Undo();
    EXPECT_EQ(X(primitive), 7);
}

TEST_F(MapEditorTest, UndoClearsTheFlimbStyleBits)
{
    MapFlimb* flimb = PlaceFlimb();
    editor.selection = {flimb};
    flimb->GetFlimb()->attributes |= 0x80 | 0x40 | 0x04;
    editor.RecordSelection(kUndoModified);
    editor.undo->Undo();
    EXPECT_EQ(flimb->GetFlimb()->attributes & (0x80 | 0x40 | 0x04), 0);
    editor.undo->Redo();
    EXPECT_EQ(flimb->GetFlimb()->attributes & (0x80 | 0x40 | 0x04), 0x80 | 0x40 | 0x04);
}

TEST_F(MapEditorTest, BrokenStateTextLeavesTheObjectAlone)
{
    LogCapture log;
    MapPrimitive* primitive = Prim(6);
    const std::string saved = primitive->savedState;
    for (const char* text : {"", "<object-state><posX>1", "not xml at all"}) {
        primitive->LoadState(text);
        EXPECT_EQ(X(primitive), 6) << text;
        EXPECT_EQ(primitive->savedState, saved) << text;
    }
    EXPECT_TRUE(log.Contains("does not parse"));

    // A record of a kind that cannot be made is left out.
    UndoRecord record;
    record.kind = kMapTrap;
    record.after = "<object-state><type>Nothing</type></object-state>";
    EXPECT_EQ(MakeObjectFromRecord(record), nullptr);
    record.kind = 3;
    EXPECT_EQ(MakeObjectFromRecord(record), nullptr);
}

TEST_F(MapEditorTest, NoticesGoToTheOpenEditorElseTheGame)
{
    const size_t before = Controller().messages.Entries().size();
    EditorNotice("placed", -2);
    ASSERT_EQ(editor.messages.Entries().size(), 1u);
    EXPECT_EQ(editor.messages.Entries()[0].text, "placed");
    EXPECT_EQ(editor.messages.Entries()[0].sender, -2);
    editor.Reset();
    EXPECT_FALSE(LevelEditorOpen());
    EXPECT_TRUE(editor.messages.Entries().empty());
    EditorNotice("closed", -1);
    EXPECT_EQ(Controller().messages.Entries().size(), before + 1);
    Controller().messages.Clear(false);
}

TEST_F(MapEditorTest, DeletingEverythingUndoesAndRedoes)
{
    PlaceTrap(21, 5);
    Prim(7);
    PlaceFlimb(9);
    PlaceTrap(22, 11);
    std::vector<std::string> states;
    for (const auto* list : {&editor.Primitives(), &editor.Traps(), &editor.Flimbs()})
        for (const auto& object : *list)
            states.push_back(object->CaptureState());

    for (const auto* list : {&editor.Primitives(), &editor.Traps(), &editor.Flimbs()})
        for (const auto& object : *list)
            editor.selection.push_back(object.get());
    for (MapObject* object : editor.selection)
        editor.undo->RecordChange(object, kUndoDeleted);
    const std::vector<MapObject*> doomed = editor.selection;
    editor.selection.clear();
    for (MapObject* object : doomed)
        editor.DeleteObject(object);
    editor.undo->CommitStep();
    EXPECT_EQ(editor.ObjectCount(), 0u);

    editor.undo->Undo();
    std::vector<std::string> back;
    for (const auto* list : {&editor.Primitives(), &editor.Traps(), &editor.Flimbs()})
        for (const auto& object : *list)
            back.push_back(object->CaptureState());
    std::sort(states.begin(), states.end());
    std::sort(back.begin(), back.end());
    EXPECT_EQ(back, states);
    EXPECT_EQ(editor.selection.size(), 4u);
    editor.undo->Redo();
    EXPECT_EQ(editor.ObjectCount(), 0u);
}

} // namespace
