// The trap property panel on real skinned panels: its widgets, reading them back with their
// limits, the tint sync, link editing through the editor's target picking, the link overlay
// and the admin guard of the in-match settings panels.
#include "tests/support/FlimbFixture.h"
#include "tests/support/LogCapture.h"
#include "tests/support/SessionRecorder.h"

#include "game/GameController.h"
#include "gui/CheckBox.h"
#include "gui/EditBox.h"
#include "gui/LayoutPanel.h"
#include "gui/SliderBar.h"
#include "gui/TextButtons.h"
#include "gui/WindowList.h"
#include "levelmodel/EditorPicking.h"
#include "levelmodel/MapEditor.h"
#include "levelmodel/MapFlimb.h"
#include "levelmodel/MapTrap.h"
#include "traps/AntiGravTrap.h"
#include "traps/ShockTrap.h"
#include "traps/TelePortTrap.h"
#include "traps/Trap.h"
#include "traps/TrapFactory.h"
#include "world/TrapRegistry.h"
#include "world/TrapSpecs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class TrapPanelTest : public FlimbFixture {
protected:
    void SetUp() override
    {
        FlimbFixture::SetUp();
        LoadTrapSpecs();
        SetCurrentEditor(&model);
        model.Open();
    }
    void TearDown() override
    {
        CancelPicking();
        SetCurrentEditor(nullptr);
        MapObject::panelObject = nullptr;
        model.Reset();
        CloseAllWindows();
        UnloadTraps();
        FlimbFixture::TearDown();
    }

    // A placed trap of the kind in the editor's model.
    MapTrap* Place(int32_t kind, float px = 0.0f, float py = 0.0f)
    {
        auto placed = std::make_unique<MapTrap>(Trap::Create(kind));
        placed->GetTrap()->x = px;
        placed->GetTrap()->y = py;
        MapTrap* raw = placed.get();
        model.AddObject(std::move(placed));
        return raw;
    }
    // Types a text into a field and commits it, as the user would.
    static void Type(LayoutPanel& panel, const std::string& key, const std::string& text)
    {
        auto* box = dynamic_cast<EditBox*>(panel.Find(key));
        ASSERT_NE(box, nullptr) << key;
        box->SetText(text);
        box->Commit();
    }
    static void Slide(LayoutPanel& panel, const std::string& key, float value)
    {
        auto* slider = dynamic_cast<GraphicSliderBar*>(panel.Find(key));
        ASSERT_NE(slider, nullptr) << key;
        slider->SetValue(value, true);
    }
    static void Check(LayoutPanel& panel, const std::string& key, bool on)
    {
        auto* box = dynamic_cast<CheckBox*>(panel.Find(key));
        ASSERT_NE(box, nullptr) << key;
        box->SetChecked(on, true, true);
    }
    static std::string LastMessage(int32_t* sender = nullptr)
    {
        const auto& entries = Controller().messages.Entries();
        if (entries.empty())
            return {};
        if (sender)
            *sender = entries.back().sender;
        return entries.back().text;
    }

    MapEditor model;
};

TEST_F(TrapPanelTest, TypedValuesAreKeptWithinTheirLimits)
{
    struct Case {
        int32_t kind;
        const char* key;
        const char* typed; // nullptr: a slider moved to `slid`
        float slid;
        float expected;
    };
    // Kind 1 (pickups, scale 20 at most), 24 (Proximity: scale 40 at most).
    const Case cases[] = {
        {1, "pickup_left", "150", 0, 99}, {1, "pickup_left", "-3", 0, 0},   {1, "pickup_left", "7", 0, 7},
        {1, "alpha", nullptr, 300, 255},  {1, "scale_x", "55", 0, 20},     {1, "scale_y", "0.01", 0, 0.05f},
        {1, "scale_x", "-30", 0, -20},    {24, "scale_x", "55", 0, 40},    {24, "scale_y", "12.5", 0, 12.5f},
        {1, "trap_rotation", nullptr, 400, 359},
    };
    for (const Case& c : cases) {
        std::unique_ptr<Trap> trap = Trap::Create(c.kind);
        std::unique_ptr<LayoutPanel> panel = trap->BuildEditPanel();
        if (c.typed)
            Type(*panel, c.key, c.typed);
        else
            Slide(*panel, c.key, c.slid);
        EXPECT_TRUE(trap->ApplyEditPanel(panel.get()));
        const std::string key = c.key;
        const float got = key == "pickup_left" ? float(trap->pickup_left)
                          : key == "alpha"     ? float(trap->alpha)
                          : key == "scale_x"   ? trap->scale_x
                          : key == "scale_y"   ? trap->scale_y
                                               : trap->rotation;
        EXPECT_FLOAT_EQ(got, c.expected) << "kind " << c.kind << " " << c.key << " " << (c.typed ? c.typed : "");
    }
}

// Only what the user changed is read back, so a panel applied to several selected traps
// leaves their other values alone.
TEST_F(TrapPanelTest, UntouchedWidgetsChangeNothing)
{
    std::unique_ptr<Trap> trap = Trap::Create(1);
    std::unique_ptr<LayoutPanel> panel = trap->BuildEditPanel();
    trap->alpha = 12;
    trap->scale_x = 3.0f;
    trap->pickup_left = 5;
    trap->tint = 0x102030;
    trap->audible = 0;
    Type(*panel, "pickup_left", "9");
    EXPECT_TRUE(trap->ApplyEditPanel(panel.get()));
    EXPECT_EQ(trap->alpha, 12);
    EXPECT_FLOAT_EQ(trap->scale_x, 3.0f);
    EXPECT_EQ(trap->tint, 0x102030u);
    EXPECT_EQ(trap->audible, 0);
    EXPECT_EQ(trap->pickup_left, 9);
    EXPECT_FALSE(trap->ApplyEditPanel(nullptr));
}

TEST_F(TrapPanelTest, BehindShadowChecksBehindFlimbs)
{
    std::unique_ptr<Trap> trap = Trap::Create(4);
    std::unique_ptr<LayoutPanel> panel = trap->BuildEditPanel();
    Check(*panel, "renderUnderShadow", true);
    ASSERT_TRUE(trap->ApplyEditPanel(panel.get()));
    EXPECT_EQ(trap->renderUnderShadow, 1);
    EXPECT_EQ(trap->flimborder, 1);
    EXPECT_TRUE(panel->Find("traprender")->IsChecked());
    EXPECT_EQ(trap->zorder, 0);
}

TEST_F(TrapPanelTest, TintSlidersSyncWhileBrightIsChecked)
{
    std::unique_ptr<Trap> trap = Trap::Create(8);
    std::unique_ptr<LayoutPanel> panel = trap->BuildEditPanel();
    EXPECT_EQ(Trap::EditedTrap(), trap.get());
    // Alone, the red slider changes red only (and the trap shows it at once).
    Slide(*panel, "tint_red", 200);
    EXPECT_EQ(trap->tint, 0xC88080u);
    // With "bright", the other two follow.
    Check(*panel, "bright", true);
    Slide(*panel, "tint_green", 40);
    EXPECT_FLOAT_EQ(panel->Find("tint_red")->GetFloatValue(), 40.0f);
    EXPECT_FLOAT_EQ(panel->Find("tint_blue")->GetFloatValue(), 40.0f);
    trap->tint = 0;
    ASSERT_TRUE(trap->ApplyEditPanel(panel.get()));
    EXPECT_EQ(trap->tint, 0x282828u);
}

TEST_F(TrapPanelTest, WidgetsFollowTheKindsSwitches)
{
    // Exit: three events, no pickups, no scale; Proximity: no events, not layered.
    std::unique_ptr<Trap> exit = Trap::Create(22);
    std::unique_ptr<LayoutPanel> panel = exit->BuildEditPanel();
    EXPECT_EQ(panel->name, "Exit");
    EXPECT_EQ(panel->ownerId, exit->id);
    EXPECT_EQ(panel->ownerKind, 22);
    const char* texts[] = {"Set Beamed Target", "Set Crushed Target", "Set Max Target"};
    for (int event = 0; event < 3; ++event) {
        auto* button = dynamic_cast<TextButton*>(panel->Find(std::to_string(event)));
        ASSERT_NE(button, nullptr) << event;
        EXPECT_EQ(button->text, texts[event]);
        EXPECT_EQ(button->commandId, event);
    }
    EXPECT_NE(panel->Find("Clear Target(s)"), nullptr);
    for (const char* key : {"traprender", "traprender2", "renderUnderShadow", "alpha", "trap_rotation", "bright",
                            "tint_red", "audible"})
        EXPECT_NE(panel->Find(key), nullptr) << key;
    for (const char* key : {"scale_x", "pickup_mode", "pickup_left", "allow_fall"})
        EXPECT_EQ(panel->Find(key), nullptr) << key;

    std::unique_ptr<Trap> proximity = Trap::Create(24);
    panel = proximity->BuildEditPanel();
    EXPECT_EQ(panel->Find("0"), nullptr);
    EXPECT_EQ(panel->Find("Clear Target(s)"), nullptr);
    EXPECT_EQ(panel->Find("alpha"), nullptr);
    EXPECT_NE(panel->Find("scale_x"), nullptr);
    panel->Finish();
    float width = 0, height = 0;
    ASSERT_TRUE(panel->GetSize(&width, &height));
    EXPECT_GT(width, 0.0f);
    EXPECT_GT(height, 0.0f);
}

TEST_F(TrapPanelTest, SelectedTrapsAreLinkedToTheClickedTrap)
{
    MapTrap* a = Place(1);
    MapTrap* b = Place(8);
    MapTrap* c = Place(4);
    MapTrap* target = Place(22);
    MapTrap* other = Place(21);
    model.selection = {a, b, c};
    std::unique_ptr<LayoutPanel> panel(static_cast<LayoutPanel*>(a->BuildPropertiesPanel()));
    ASSERT_TRUE(panel);
    EXPECT_EQ(panel->name, "Trap ID: " + std::to_string(a->id) + " [Teleport]");

    auto* button = dynamic_cast<Button*>(panel->Find("0"));
    ASSERT_NE(button, nullptr);
    button->Click();
    int32_t sender = 0;
    EXPECT_EQ(LastMessage(&sender), "Click on the target trap.");
    EXPECT_EQ(sender, -1);
    EXPECT_TRUE(TargetPickActive());
    EXPECT_TRUE(DeliverPickedObject(target));
    EXPECT_FALSE(TargetPickActive());
    for (MapTrap* linked : {a, b, c}) {
        ASSERT_EQ(linked->GetTrap()->links.size(), 1u);
        EXPECT_EQ(linked->GetTrap()->links[0], (TrapLink{0, target->id}));
    }
    // A second target for the same event replaces the first.
    button->Click();
    DeliverPickedObject(other);
    ASSERT_EQ(a->GetTrap()->links.size(), 1u);
    EXPECT_EQ(a->GetTrap()->links[0].target_id, other->id);

    // "Clear Target(s)" empties the edited trap's links only.
    static_cast<Button*>(panel->Find("Clear Target(s)"))->Click();
    EXPECT_TRUE(a->GetTrap()->links.empty());
    EXPECT_EQ(b->GetTrap()->links.size(), 1u);
}

TEST_F(TrapPanelTest, RefusedTargets)
{
    MapTrap* a = Place(1);
    MapTrap* b = Place(8);
    auto flimb = std::make_unique<Flimb>();
    flimb->Init();
    MapFlimb placedFlimb(std::move(flimb));
    model.selection = {a, b};
    std::unique_ptr<LayoutPanel> panel(static_cast<LayoutPanel*>(a->BuildPropertiesPanel()));
    auto* button = static_cast<Button*>(panel->Find("0"));

    // The source itself.
    button->Click();
    DeliverPickedObject(a);
    int32_t sender = 0;
    EXPECT_EQ(LastMessage(&sender), "Traps cannot self trigger.");
    EXPECT_EQ(sender, -2);
    EXPECT_TRUE(a->GetTrap()->links.empty());
    EXPECT_TRUE(b->GetTrap()->links.empty());
    // Not a trap, or nothing.
    for (MapObject* clicked : {static_cast<MapObject*>(&placedFlimb), static_cast<MapObject*>(nullptr)}) {
        button->Click();
        DeliverPickedObject(clicked);
        EXPECT_EQ(LastMessage(&sender), "You did not click on a trap.");
        EXPECT_EQ(sender, -2);
    }
    EXPECT_TRUE(a->GetTrap()->links.empty());
    // A selected trap that is the clicked one gets no link to itself; the others do.
    button->Click();
    DeliverPickedObject(b);
    ASSERT_EQ(a->GetTrap()->links.size(), 1u);
    EXPECT_EQ(a->GetTrap()->links[0].target_id, b->id);
    EXPECT_TRUE(b->GetTrap()->links.empty());
}

TEST_F(TrapPanelTest, LinkOverlayAnswersForTheFilterAndDrawsRedLines)
{
    MapTrap* source = Place(1, 20, 30);
    MapTrap* b = Place(8, 120, 30);
    MapTrap* c = Place(4, 20, 130);
    MapTrap* unlinked = Place(22);
    auto flimb = std::make_unique<Flimb>();
    flimb->Init();
    MapFlimb placedFlimb(std::move(flimb));
    Trap* trap = source->GetTrap();
    EXPECT_FALSE(trap->DrawEditorLinks(nullptr, false)); // no links
    trap->links = {{0, b->id}, {1, c->id}, {2, 999}};   // 999: a deleted target
    EXPECT_TRUE(trap->DrawEditorLinks(b, false));
    EXPECT_TRUE(trap->DrawEditorLinks(c, false));
    EXPECT_FALSE(trap->DrawEditorLinks(unlinked, false));
    EXPECT_FALSE(trap->DrawEditorLinks(&placedFlimb, false));
    EXPECT_FALSE(trap->DrawEditorLinks(nullptr, false));

    DrawFrame([&] { trap->DrawEditorLinks(nullptr, true); });
    EXPECT_EQ(Pixel(70, 30), 0xFF0000u);  // on the line to b
    EXPECT_EQ(Pixel(20, 80), 0xFF0000u);  // on the line to c
    EXPECT_EQ(Pixel(70, 80), 0x000000u);
}

TEST_F(TrapPanelTest, AdminGuard)
{
    SessionRecorder session;
    PlayerRecord& local = world_->AddLocalPlayer();
    for (int i = 0; i < 2; ++i)
        RegisterTrap(Trap::Create(21));
    Trap* exit = nullptr;
    {
        auto made = Trap::Create(22);
        exit = made.get();
        RegisterTrap(std::move(made));
    }
    LayoutPanel byId;
    byId.ownerId = exit->id;
    byId.ownerKind = 22;
    LayoutPanel byKind;
    byKind.ownerKind = 21;

    LogCapture log;
    Trap::CheckAdminEdit(nullptr, &byId);
    Trap::CheckAdminEditPanel(nullptr, &byKind);
    EXPECT_TRUE(session.requests.empty());
    EXPECT_TRUE(log.Contains("Access Denied: Only the admin can update these values"));

    local.admin = 1;
    Trap::CheckAdminEdit(nullptr, &byId);
    ASSERT_EQ(session.requests.size(), 1u);
    EXPECT_EQ(session.requests[0], "trap " + std::to_string(exit->id) + " 0 -1");
    session.requests.clear();
    Trap::CheckAdminEditPanel(nullptr, &byKind);
    EXPECT_EQ(session.requests.size(), 2u);
}

} // namespace

namespace {

// "Set Destination" picks a point for every selected teleporter, by its mode; the anti-gravity
// rule buttons find their trap through the open editor.
TEST_F(TrapPanelTest, KindButtonsWorkThroughTheEditor)
{
    MapTrap* absolute = Place(TelePortTrap::kKind, 10.0f, 20.0f);
    MapTrap* relative = Place(TelePortTrap::kKind, 100.0f, 50.0f);
    MapTrap* barrier = Place(ShockTrap::kKind);
    static_cast<TelePortTrap*>(relative->GetTrap())->mode = TelePortTrap::kRelative;
    model.selection = {absolute, relative, barrier};
    std::unique_ptr<LayoutPanel> panel(static_cast<LayoutPanel*>(absolute->BuildPropertiesPanel()));
    ASSERT_TRUE(panel);
    auto* button = dynamic_cast<Button*>(panel->Find("Set Destination"));
    ASSERT_NE(button, nullptr);
    button->Click();
    int32_t sender = 0;
    EXPECT_EQ(LastMessage(&sender), "Click at the teleport destination.");
    EXPECT_EQ(sender, -1);
    EXPECT_TRUE(PointPickActive());
    EXPECT_TRUE(DeliverPickedPoint(300, 200));
    auto* first = static_cast<TelePortTrap*>(absolute->GetTrap());
    auto* second = static_cast<TelePortTrap*>(relative->GetTrap());
    EXPECT_EQ(first->destx, 300);
    EXPECT_EQ(first->desty, 200);
    EXPECT_EQ(second->destx, 200);
    EXPECT_EQ(second->desty, 150);

    MapTrap* ring = Place(AntiGravTrap::kKind);
    std::unique_ptr<LayoutPanel> rules(static_cast<LayoutPanel*>(ring->BuildPropertiesPanel()));
    ASSERT_TRUE(rules);
    auto* add = dynamic_cast<Button*>(rules->Find("Add Rule"));
    ASSERT_NE(add, nullptr);
    add->Click();
    auto* gravity = static_cast<AntiGravTrap*>(ring->GetTrap());
    EXPECT_EQ(gravity->oldGravity[0], 0);
    EXPECT_EQ(gravity->newGravity[0], 0);
}

} // namespace
