// The placed objects' property panels: what a changed control does to the selected objects,
// panels of another kind refused, the flimb panel's A.I. buttons, and panel edits recorded
// for undo; and the primitive's level element written exactly.
#include "app/XmlUtil.h"
#include "game/GameServices.h"
#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/EditBox.h"
#include "gui/LayoutPanel.h"
#include "gui/ListBox.h"
#include "gui/SliderBar.h"
#include "gui/TextButtons.h"
#include "levelmodel/MapEditor.h"
#include "levelmodel/MapFlimb.h"
#include "levelmodel/MapPrimitive.h"
#include "levelmodel/MapTrap.h"
#include "tests/support/LevelFixture.h"
#include "tests/support/LogCapture.h"
#include "traps/Trap.h"
#include "world/Flimb.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>

namespace {

class MapPanelsTest : public LevelFixture {
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
        MapObject::panelObject = nullptr;
        editor.Reset();
        SetCurrentEditor(nullptr);
        LevelFixture::TearDown();
    }

    template <class Object>
    Object* File(std::unique_ptr<Object> object)
    {
        return static_cast<Object*>(editor.AddObject(std::move(object), true, false, -1, true));
    }
    MapFlimb* NewFlimb(int8_t step = 3)
    {
        auto flimb = std::make_unique<Flimb>();
        flimb->Init();
        flimb->type = kWalk;
        flimb->walkSpeed = step;
        return File(std::make_unique<MapFlimb>(std::move(flimb)));
    }
    static std::unique_ptr<LayoutPanel> PanelOf(MapObject& object)
    {
        auto* panel = dynamic_cast<LayoutPanel*>(object.BuildPropertiesPanel());
        EXPECT_NE(panel, nullptr);
        return std::unique_ptr<LayoutPanel>(panel);
    }
    // Types a number as the user would, without committing (the editor applies it).
    static void Type(LayoutPanel& panel, const std::string& key, const std::string& text)
    {
        auto* box = dynamic_cast<EditBox*>(panel.Find(key));
        ASSERT_NE(box, nullptr) << key;
        box->SetText(text);
        box->pressed = 1;
    }

    MapEditor editor;
};

TEST_F(MapPanelsTest, TypedScalesKeepTheirSignWithinTheirBounds)
{
    const std::pair<const char*, float> cases[] = {{"20", 8.0f},      {"0", 0.05f},   {"-2", -2.0f},
                                                   {"-20", -8.0f},    {"-0.01", -0.05f}, {"1.5", 1.5f}};
    for (const auto& [typed, expected] : cases) {
        SCOPED_TRACE(typed);
        MapPrimitive primitive;
        std::unique_ptr<LayoutPanel> panel = PanelOf(primitive);
        Type(*panel, "prim_scalex", typed);
        EXPECT_TRUE(primitive.ApplyConfigProps(panel.get()));
        EXPECT_FLOAT_EQ(primitive.scaleX, expected);
        EXPECT_FLOAT_EQ(primitive.scaleY, 1.0f); // untouched
    }
}

TEST_F(MapPanelsTest, ThePrimitivePanelAppliesToEverySelectedPrimitive)
{
    MapPrimitive* a = File(std::make_unique<MapPrimitive>());
    MapPrimitive* b = File(std::make_unique<MapPrimitive>());
    a->alpha = 10;
    b->alpha = 20;
    std::unique_ptr<LayoutPanel> panel = PanelOf(*a);
    EXPECT_EQ(panel->name, "Terrain ID: " + std::to_string(a->id));
    EXPECT_EQ(MapObject::panelObject, a);

    // A drop list applies at once: both take the land type, neither the alpha.
    auto* land = dynamic_cast<ComboBox*>(panel->Find("land_type"));
    ASSERT_NE(land, nullptr);
    land->SetSelection(3, true); // "Bridge"
    EXPECT_EQ(a->bashType, 7u);
    EXPECT_EQ(b->bashType, 7u);
    EXPECT_EQ(a->alpha, 10);
    EXPECT_EQ(b->alpha, 20);
    EXPECT_TRUE(editor.undo->stepOpen);

    // The tint sliders set their byte only; "sizeup" doubles both boxes.
    dynamic_cast<GraphicSliderBar*>(panel->Find("tint_green"))->SetValue(255.0f, true);
    EXPECT_EQ(a->tint, 0x80FF80u);
    EXPECT_EQ(b->tint, 0x80FF80u);
    Type(*panel, "prim_scaley", "0.75");
    ASSERT_NE(dynamic_cast<Button*>(panel->Find("sizeup")), nullptr);
    MapPrimitive::ScalePanelFields(panel->Find("prim_alpha"), 2.0f); // the up arrow's work
    EXPECT_FLOAT_EQ(a->scaleX, 2.0f);
    EXPECT_FLOAT_EQ(b->scaleY, 1.5f);

    // The edits are one open step; closing the panel commits it and undo takes it back.
    editor.propsPanel = panel.get();
    editor.CloseObjectPanel(true);
    EXPECT_EQ(editor.propsPanel, nullptr);
    EXPECT_FALSE(editor.undo->stepOpen);
    EXPECT_TRUE(editor.modified);
    editor.undo->Undo();
    EXPECT_EQ(a->bashType, 1u);
    EXPECT_EQ(b->tint, 0x808080u);
    EXPECT_FLOAT_EQ(b->scaleY, 1.0f);
}

TEST_F(MapPanelsTest, PanelsOfAnotherKindAreRefused)
{
    LogCapture log;
    MapPrimitive primitive;
    auto placedFlimb = std::make_unique<Flimb>();
    placedFlimb->Init();
    MapFlimb flimb(std::move(placedFlimb));
    MapTrap trap(Trap::Create(21));
    std::unique_ptr<LayoutPanel> primitivePanel = PanelOf(primitive);
    std::unique_ptr<LayoutPanel> flimbPanel = PanelOf(flimb);
    auto trapPanel = std::unique_ptr<Primitive>(trap.BuildPropertiesPanel());
    ASSERT_NE(trapPanel, nullptr);
    Type(*primitivePanel, "prim_scalex", "3");
    const std::string trapState = trap.CaptureState();

    EXPECT_FALSE(trap.ApplyConfigProps(primitivePanel.get()));
    EXPECT_EQ(trap.CaptureState(), trapState);
    EXPECT_FALSE(flimb.ApplyConfigProps(primitivePanel.get()));
    EXPECT_TRUE(log.Contains("MapFlimb::ApplyConfigProps:1"));
    EXPECT_FALSE(log.Contains("MapFlimb::ApplyConfigProps:2"));
    EXPECT_FALSE(primitive.ApplyConfigProps(flimbPanel.get()));
    EXPECT_FALSE(primitive.ApplyConfigProps(trapPanel.get()));
    EXPECT_FALSE(flimb.ApplyConfigProps(trapPanel.get()));
    EXPECT_FLOAT_EQ(primitive.scaleX, 1.0f);
    EXPECT_TRUE(primitive.ApplyConfigProps(primitivePanel.get()));
    EXPECT_FLOAT_EQ(primitive.scaleX, 3.0f);
}

TEST_F(MapPanelsTest, TheFlimbPanel)
{
    LogCapture log;
    MapFlimb* left = NewFlimb(-3);
    std::unique_ptr<LayoutPanel> panel = PanelOf(*left);
    EXPECT_EQ(panel->name, "flimb ID: " + std::to_string(left->id));
    EXPECT_EQ(dynamic_cast<CheckBox*>(panel->Find("flimb_facing"))->GetIntValue(), 1);

    Type(*panel, "flimb_step", "9");
    dynamic_cast<GraphicSliderBar*>(panel->Find("energy"))->SetValue(20000.0f, true);
    dynamic_cast<ComboBox*>(panel->Find("style"))->SetSelection(2, false);
    dynamic_cast<ComboBox*>(panel->Find("style"))->pressed = 1;
    EXPECT_TRUE(left->ApplyConfigProps(panel.get()));
    const Flimb& f = *left->GetFlimb();
    EXPECT_EQ(f.walkSpeed, -5); // the magnitude within 1..5, the facing kept
    EXPECT_EQ(f.energy, 13023u);
    EXPECT_EQ(f.attributes & 0xC0, 0x40);
    EXPECT_TRUE(log.Contains("MapFlimb::ApplyConfigProps:2"));

    // "Face Left" applies at once and turns the flimb round.
    dynamic_cast<CheckBox*>(panel->Find("flimb_facing"))->SetChecked(false, true, true);
    EXPECT_EQ(f.walkSpeed, 5);
    // The scale list's item index, kept within 0.5 .. 3.0.
    auto* scale = dynamic_cast<ComboBox*>(panel->Find("flimb_scale"));
    scale->SetSelection(0, true);
    EXPECT_FLOAT_EQ(f.scale, 0.5f);
    EXPECT_TRUE(log.Contains("MapFlimb::ApplyConfigProps:3"));
    scale->SetSelection(3, true);
    EXPECT_FLOAT_EQ(f.scale, 3.0f);
}

TEST_F(MapPanelsTest, AddAiSetsTheBitOnEverySelectedFlimb)
{
    MapFlimb* first = NewFlimb();
    MapPrimitive* primitive = File(std::make_unique<MapPrimitive>());
    MapFlimb* second = NewFlimb();
    second->GetFlimb()->autoBehaviour = 0x01;
    second->CommitState();
    const std::string primitiveState = primitive->CaptureState();
    std::unique_ptr<LayoutPanel> panel = PanelOf(*first);
    ASSERT_EQ(editor.selection.size(), 3u);

    dynamic_cast<ComboBox*>(panel->Find("ai_box"))->SetSelection(2, false); // "Quarrel"
    dynamic_cast<Button*>(panel->Find("aibut99"))->Click();
    EXPECT_EQ(first->GetFlimb()->autoBehaviour, 0x04);
    EXPECT_EQ(second->GetFlimb()->autoBehaviour, 0x05);
    EXPECT_EQ(primitive->CaptureState(), primitiveState);
    auto* list = dynamic_cast<ListBox*>(panel->Find("ai"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->GetCount(), 1);
    EXPECT_EQ(list->GetItemText(0), "Quarrel");

    // One undo step.
    editor.undo->Undo();
    EXPECT_EQ(first->GetFlimb()->autoBehaviour, 0x00);
    EXPECT_EQ(second->GetFlimb()->autoBehaviour, 0x01);
    editor.undo->Redo();
    dynamic_cast<Button*>(panel->Find("it99"))->Click();
    EXPECT_EQ(second->GetFlimb()->autoBehaviour, 0x00);
}

TEST_F(MapPanelsTest, TheFlimbGroupStaysAGroupTheLoaderTakes)
{
    MapFlimb* flimb = NewFlimb();
    std::unique_ptr<LayoutPanel> panel = PanelOf(*flimb);
    auto* group = dynamic_cast<ComboBox*>(panel->Find("flimb_group"));
    ASSERT_NE(group, nullptr);
    group->SetSelection(group->GetCount() - 1, true);
    EXPECT_LE(flimb->GetFlimb()->group, 7);
    group->SetSelection(5, true);
    EXPECT_EQ(flimb->GetFlimb()->group, 5);
}

// The primitive's level element, written back exactly, from elements of every vintage.
TEST_F(MapPanelsTest, PrimitiveElementsAreWrittenExactly)
{
    const char* const tail = "<crc>0</crc><map_order>0</map_order><shadow_mode>0</shadow_mode><no_cache>0</no_cache>"
                             "<shadow_val>112</shadow_val>";
    struct Case {
        const char* what;
        const char* element;
        std::string written;
    } const cases[] = {
        {"current keys, a fraction dropped, a cut-off set by hand",
         "<prim><objectID>8</objectID><posX>12.7500</posX><posY>-3.2500</posY><alpha>200</alpha>"
         "<scaleX>-1.5000</scaleX><scaleY>2.0000</scaleY><rotation>45.5000</rotation><tint>1193046</tint>"
         "<bashtype>7</bashtype><landtobash>1</landtobash><filename>Graphics\\none\\a.png</filename>"
         "<bash_on_load>0</bash_on_load><alpha_opaque>1</alpha_opaque><high_quality>1</high_quality>"
         "<alpha_threshold>33</alpha_threshold></prim>",
         std::string("<objectID>8</objectID><posX>12.0000</posX><posY>-3.0000</posY><alpha>200</alpha>"
                     "<scaleX>-1.5000</scaleX><scaleY>2.0000</scaleY><rotation>45.5000</rotation><tint>1193046</tint>"
                     "<bashtype>7</bashtype><landtobash>1</landtobash><filename>Graphics\\none\\a.png</filename>"
                     "<bash_on_load>0</bash_on_load><alpha_opaque>1</alpha_opaque>") +
             tail + "<alpha_threshold>33</alpha_threshold><high_quality>1</high_quality>"},
        {"old keys, doubled backslashes, an old land mask",
         "<prim><objectID>9</objectID><x>5</x><y>6</y><scalex>0.5</scalex><scaley>3</scaley><type>0</type>"
         "<bashto>6</bashto><file>Graphics\\\\\\\\none\\\\b.png</file><tint>16777215</tint></prim>",
         std::string("<objectID>9</objectID><posX>5.0000</posX><posY>6.0000</posY><alpha>255</alpha>"
                     "<scaleX>0.5000</scaleX><scaleY>3.0000</scaleY><rotation>0.0000</rotation><tint>8421504</tint>"
                     "<bashtype>0</bashtype><landtobash>131286</landtobash><filename>Graphics\\none\\b.png</filename>"
                     "<bash_on_load>1</bash_on_load><alpha_opaque>0</alpha_opaque>") +
             tail + "<alpha_threshold>0</alpha_threshold>"},
        {"no high_quality: the threshold follows the land type, a grey tint",
         "<prim><objectID>10</objectID><bashtype>2</bashtype><alpha_threshold>5</alpha_threshold>"
         "<tint>8355711</tint><landtobash>214</landtobash><filename>c.png</filename></prim>",
         std::string("<objectID>10</objectID><posX>0.0000</posX><posY>0.0000</posY><alpha>255</alpha>"
                     "<scaleX>1.0000</scaleX><scaleY>1.0000</scaleY><rotation>0.0000</rotation><tint>8421504</tint>"
                     "<bashtype>2</bashtype><landtobash>131286</landtobash><filename>c.png</filename>"
                     "<bash_on_load>1</bash_on_load><alpha_opaque>0</alpha_opaque>") +
             tail + "<alpha_threshold>128</alpha_threshold>"},
    };
    xmlNode* defaults = LevelDefaultsElement("primitives", "prim");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MapPrimitive primitive;
        XmlDocument in = XmlParseBuffer(c.element, std::strlen(c.element), "prim");
        ASSERT_TRUE(in);
        primitive.ReadProps(XmlRoot(in.get()), defaults);
        XmlDocument out = XmlNewDocument("prim");
        primitive.WriteProps(XmlRoot(out.get()));
        std::string text = XmlDocumentText(out.get());
        text = text.substr(text.find("<prim>"));
        while (!text.empty() && text.back() == '\n')
            text.pop_back();
        EXPECT_EQ(text, "<prim>" + c.written + "</prim>");
    }
    // A white tint is saved one below white.
    MapPrimitive white;
    white.fileName = "d.png";
    white.tint = 0xFFFFFF;
    XmlDocument out = XmlNewDocument("prim");
    white.WriteProps(XmlRoot(out.get()));
    EXPECT_NE(XmlDocumentText(out.get()).find("<tint>16777214</tint>"), std::string::npos);
    EXPECT_EQ(white.tint, 0xFFFFFEu);
}

} // namespace
