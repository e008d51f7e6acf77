#include "ImageWidgetFixture.h"

#include "gui/CheckBox.h"
#include "gui/ComboBox.h"
#include "gui/EditBox.h"
#include "gui/GraphicButtons.h"
#include "gui/Label.h"
#include "gui/LayoutEngine.h"
#include "gui/ListBox.h"
#include "gui/PanelChoosers.h"
#include "gui/ScreenImage.h"
#include "gui/SliderBar.h"
#include "gui/TextButtons.h"
#include "gui/ToolTip.h"
#include "gui/UiScale.h"

#include <cmath>
#include <memory>

namespace {

// An engine that can place any primitive in its flow.
class OpenEngine : public LayoutEngine {
public:
    using LayoutEngine::LayoutEngine;
    Primitive* Place(const std::string& key, float width, float height)
    {
        auto box = std::make_unique<Probe>(key);
        box->SetSize(width, height);
        return Adopt(std::move(box));
    }
};

class LayoutPanelFixture : public ImageWidgetFixture {
protected:
    static float CentreY(Primitive* control) { return (control->rect.top + control->rect.bottom) / 2.0f; }
    static FloatPoint At(Primitive* control) { return control->GetPositionVirtual(); }
    void ClickOn(Primitive* control)
    {
        Click(static_cast<int>((control->rect.left + control->rect.right) / 2.0f),
              static_cast<int>((control->rect.top + control->rect.bottom) / 2.0f));
    }
};

using LayoutEngineTest = LayoutPanelFixture;

#define ExpectAt(control, wantX, wantY)                                                                       \
    do {                                                                                               \
        EXPECT_NEAR(At(control).x, wantX, 0.01f) << #control;                                        \
        EXPECT_NEAR(At(control).y, wantY, 0.01f) << #control;                                        \
    } while (0)

TEST_F(LayoutEngineTest, PanelOfEveryKindLaysOutCaptionedRowsAndReadsBackByKey)
{
    PrimContainer* panel = Host(new PrimContainer);
    panel->SetSize(1000.0f, 1000.0f);
    LayoutEngine engine(panel);
    engine.SetMargins(10.0f, 10.0f, 10.0f, 10.0f);
    engine.SetCaptionWidth(300.0f);

    struct Row {
        const char* key;
        std::function<Primitive*()> make;
    };
    const std::vector<Row> rows = {
        {"combo", [&] { return engine.AddChoiceList("combo", {{"Low", 10}, {"Mid", 20}, {"High", 30}}, 20); }},
        {"list",
         [&] {
             ListBox* list = engine.AddListBox("list");
             list->AddItem("one");
             list->AddItem("two");
             return list;
         }},
        {"edit", [&] { return engine.AddEditBox("edit", "hello", false); }},
        {"notes", [&] { return engine.AddEditBox("notes", "a\nb", true); }},
        {"speed", [&] { return engine.AddNumberBox("speed", "%.2f", 1.5); }},
        {"slider", [&] { return engine.AddSlider("slider", 250.0f, 100.0f, 0.0f); }},
        {"check", [&] { return engine.AddCheckBox("check", true); }},
        {"button", [&] { return engine.AddButton("Apply", "button", 77); }},
        {"imagebutton", [&] { return engine.AddImageButton("imagebutton", "Graphics\\Menu\\FlimbsWindow3", "close-button2.png", 2); }},
        {"image", [&] { return engine.AddImageView("image", "Graphics\\Menu\\Slider\\slider_bar.png", 40.0f, 60.0f); }},
        {"anim", [&] { return engine.AddAnimButton("anim", "Graphics\\arrow_down.png", 20, 20, 100); }},
        {"compact", [&] { return engine.AddCompactButton("Go", "compact", 5); }},
        {"icon", [&] { return engine.AddIconButton("Proceed", "icon", "Graphics\\Menu\\Slider\\slider_bar.png", 6); }},
        {"group", [&] { return engine.AddGroupChooser("group", 2, true); }},
        {"picture",
         [&] { return engine.AddImageChooser("picture", "Graphics\\Menu\\Slider", "*.png", "slider_bar.png"); }},
    };
    std::vector<std::pair<Primitive*, Primitive*>> made;
    for (const Row& row : rows) {
        SimpleLabel* caption = engine.AddCaption(std::string("Caption of ") + row.key, row.key);
        Primitive* control = row.make();
        ASSERT_NE(control, nullptr) << row.key;
        made.emplace_back(caption, control);
    }
    engine.Finish();

    float lastBottom = 0.0f;
    for (size_t i = 0; i < made.size(); ++i) {
        auto [caption, control] = made[i];
        SCOPED_TRACE(rows[i].key);
        EXPECT_EQ(caption->name, std::string(rows[i].key) + "_label");
        EXPECT_EQ(control->name, rows[i].key);
        EXPECT_EQ(engine.Find(rows[i].key), control);
        EXPECT_EQ(control->parent, panel);
        // Caption in the caption column, the control after it, both centred on one row
        // that starts under the row before.
        EXPECT_NEAR(At(caption).x, 10.0f, 0.01f);
        EXPECT_NEAR(At(control).x, 10.0f + 300.0f + engine.SpacingX(), 0.01f);
        EXPECT_NEAR(CentreY(caption), CentreY(control), 1.0f);
        const float top = std::min(caption->rect.top, control->rect.top);
        EXPECT_GE(top + 0.5f, lastBottom);
        EXPECT_GT(caption->GetSizeVirtual().x, 0.0f);
        EXPECT_GT(control->GetSizeVirtual().x, 0.0f);
        lastBottom = std::max(caption->rect.bottom, control->rect.bottom);
    }

    // Values as made.
    EXPECT_EQ(engine.ReadInt("combo"), 20);
    EXPECT_EQ(engine.ReadText("edit"), "hello");
    EXPECT_FLOAT_EQ(engine.ReadFloat("speed"), 1.5f);
    EXPECT_EQ(engine.ReadText("speed"), "1.50");
    EXPECT_FLOAT_EQ(engine.ReadFloat("slider"), 100.0f); // clamped
    EXPECT_TRUE(engine.IsChecked("check"));
    EXPECT_EQ(engine.ReadInt("group"), 2);
    EXPECT_EQ(engine.ReadText("picture"), "Graphics\\Menu\\Slider\\slider_bar.png");
    EXPECT_TRUE(static_cast<EditBox*>(engine.Find("notes"))->multiline);
    auto* button = static_cast<TextButton*>(engine.Find("button"));
    EXPECT_EQ(button->caption, "Apply");
    EXPECT_EQ(button->commandId, 77);
    EXPECT_EQ(button->secondId, -1);
    EXPECT_NEAR(engine.Find("image")->GetSizeVirtual().y, 60.0f, 0.01f);

    engine.ClearChanged();
    for (const Row& row : rows)
        EXPECT_FALSE(engine.WasChanged(row.key)) << row.key;

    // The user changes each value control.
    static_cast<ComboBox*>(engine.Find("combo"))->SetSelection(2, true);
    static_cast<ListBox*>(engine.Find("list"))->SetSelection(1, true);
    auto* edit = static_cast<EditBox*>(engine.Find("speed"));
    edit->SetText("2.75");
    edit->Commit();
    static_cast<GraphicSliderBar*>(engine.Find("slider"))->SetValue(42.0f, true);
    ClickOn(engine.Find("check")); // found where the layout put it
    static_cast<ComboBox*>(engine.Find("group"))->SetSelection(8, true);
    auto* picture = static_cast<ImageChooser*>(engine.Find("picture"));
    ASSERT_GE(picture->GetCount(), 2);
    picture->SetSelection(picture->FindItem("slider_groove.png"), true);

    const std::vector<std::string> changed = {"combo", "list", "speed", "slider", "check", "group", "picture"};
    for (const std::string& key : changed)
        EXPECT_TRUE(engine.WasChanged(key)) << key;
    EXPECT_FALSE(engine.WasChanged("edit"));
    EXPECT_EQ(engine.ReadInt("combo"), 30);
    EXPECT_EQ(engine.ReadText("list"), "two");
    EXPECT_FLOAT_EQ(engine.ReadFloat("speed"), 2.75f);
    EXPECT_EQ(engine.ReadInt("slider"), 42);
    EXPECT_FALSE(engine.IsChecked("check"));
    EXPECT_EQ(engine.ReadInt("group"), GroupChooser::kAnyGroup);
    EXPECT_EQ(engine.ReadText("picture"), "Graphics\\Menu\\Slider\\slider_groove.png");

    float speed = 0.0f;
    EXPECT_TRUE(ReadPanelFloat(panel, "speed", speed, -1.0f, -1.0f, true));
    EXPECT_FLOAT_EQ(speed, 2.75f);
    EXPECT_TRUE(engine.SetChecked("check", true));
    EXPECT_TRUE(engine.IsChecked("check"));
    EXPECT_FALSE(engine.SetChecked("combo", true));

    // The container fits what was placed plus the margins.
    engine.FitContainer();
    EXPECT_NEAR(panel->rect.bottom, lastBottom + Primitive::ToPixelsY(10.0f), 1.0f);
}

TEST_F(LayoutEngineTest, LabelKeysTakeTheSuffixOnlyWhenAsked)
{
    PrimContainer* panel = Host(new PrimContainer);
    LayoutEngine engine(panel);
    SimpleLabel* caption = engine.AddLabel("Speed", "speed", true);
    SimpleLabel* named = engine.AddLabel("Plain", "plain", false);
    SimpleLabel* unnamed = engine.AddLabel("No key", nullptr, true);
    ASSERT_TRUE(caption && named && unnamed);
    EXPECT_EQ(caption->name, "speed_label");
    EXPECT_EQ(caption->GetText(), "Speed");
    EXPECT_EQ(named->name, "plain");
    EXPECT_EQ(unnamed->name, "");
    EXPECT_EQ(engine.Find("speed_label"), caption);
    EXPECT_EQ(engine.Find("speed"), nullptr);
    EXPECT_TRUE(engine.IsRegistered(unnamed));
    EXPECT_EQ(unnamed->parent, panel);

    // A control that leaves the panel is no longer found nor laid out.
    panel->RemoveChild(named, true);
    EXPECT_EQ(engine.Find("plain"), nullptr);
    engine.NewRow();
    SimpleLabel* after = engine.AddLabel("After", "after", false);
    engine.Finish();
    EXPECT_GT(At(after).y, At(caption).y);

    // No target: nothing is made, nothing fails.
    LayoutEngine orphan(nullptr);
    EXPECT_EQ(orphan.AddLabel("x", "x", true), nullptr);
    EXPECT_EQ(orphan.AddCheckBox("c", true), nullptr);
    EXPECT_EQ(orphan.Find("x"), nullptr);
    EXPECT_FALSE(orphan.IsChecked("c"));
    orphan.Finish();
}

TEST_F(LayoutEngineTest, ToolTipIsSharedAndStaysOutOfTheRegistryAndFlow)
{
    PrimContainer* panel = Host(new PrimContainer);
    OpenEngine engine(panel);
    Primitive* first = engine.Place("first", 50.0f, 20.0f);
    ToolTip* tip = engine.AddToolTip("about the panel");
    Primitive* second = engine.Place("second", 50.0f, 20.0f);
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(tip->parent, panel);
    EXPECT_FALSE(engine.IsRegistered(tip));
    EXPECT_EQ(tip->GetText(), "about the panel");
    EXPECT_NEAR(At(second).x, 50.0f + engine.SpacingX(), 0.01f); // the tooltip took no place

    engine.SetTip(first, "first tip");
    engine.SetTip(second, "second tip");
    EXPECT_EQ(engine.SharedToolTip(), tip);
    EXPECT_EQ(tip->TipFor(first), "first tip");
    EXPECT_EQ(tip->TipFor(second), "second tip");
    int tooltips = 0;
    for (Primitive* child : panel->Children())
        tooltips += dynamic_cast<ToolTip*>(child) != nullptr;
    EXPECT_EQ(tooltips, 1);

    // A tooltip that left the panel is made again on the next tip.
    panel->RemoveChild(tip, true);
    engine.SetTip(first, "again");
    ASSERT_NE(engine.SharedToolTip(), nullptr);
    EXPECT_EQ(engine.SharedToolTip()->parent, panel);
    EXPECT_EQ(engine.SharedToolTip()->TipFor(first), "again");

    // Without one, the first tip makes it.
    PrimContainer* other = Host(new PrimContainer);
    OpenEngine lazy(other);
    Primitive* box = lazy.Place("box", 10.0f, 10.0f);
    lazy.SetTip(box, "made on demand");
    ASSERT_NE(lazy.SharedToolTip(), nullptr);
    EXPECT_EQ(lazy.SharedToolTip()->parent, other);
    EXPECT_EQ(lazy.SharedToolTip()->TipFor(box), "made on demand");
}

// A skinned engine's own button, styled by the inherited compact-button operation.
class MarkedButton : public TextButton {};

class MarkingEngine : public LayoutEngine {
public:
    using LayoutEngine::LayoutEngine;
    TextButton* AddButton(const std::string& caption, const std::string& key, int commandId) override
    {
        auto button = std::make_unique<MarkedButton>();
        button->SetCaption(caption.c_str());
        button->SetName(key.c_str());
        button->commandId = commandId;
        ++made;
        return Adopt(std::move(button));
    }
    int made = 0;
};

TEST_F(LayoutEngineTest, CompactButtonStylesTheSubclassButton)
{
    PrimContainer* panel = Host(new PrimContainer);
    MarkingEngine engine(panel);
    TextButton* button = engine.AddCompactButton("Small", "small", 9);
    EXPECT_EQ(engine.made, 1);
    ASSERT_NE(dynamic_cast<MarkedButton*>(button), nullptr);
    EXPECT_EQ(engine.Find("small"), button);
    EXPECT_EQ(button->commandId, 9);
    EXPECT_EQ(button->fontId, 3);
    EXPECT_EQ(button->textColour, 0xFFFFFFFFu);
    EXPECT_FLOAT_EQ(button->textScale, GetUiScale());
    EXPECT_FLOAT_EQ(button->margins.left, 4.0f * GetUiScale());
    EXPECT_FLOAT_EQ(button->margins.right, 4.0f * GetUiScale());
    EXPECT_FLOAT_EQ(button->margins.top, 1.0f * GetUiScale());
    EXPECT_FLOAT_EQ(button->margins.bottom, 1.0f * GetUiScale());
    float width = 0, height = 0;
    button->GetSize(&width, &height);
    EXPECT_NEAR(button->GetSizeVirtual().x, width, 0.01f); // sized with its new margins
}

TEST_F(LayoutEngineTest, FlowRowsColumnsGapsAndOrigin)
{
    PrimContainer* panel = Host(new PrimContainer);
    OpenEngine engine(panel);
    engine.SetSpacing(5.0f, 4.0f);
    engine.SetOrigin(20.0f, 30.0f);
    Primitive* a = engine.Place("a", 100.0f, 20.0f);
    Primitive* b = engine.Place("b", 50.0f, 40.0f);
    engine.NewRow();
    engine.NewRow(); // an empty row takes no room
    Primitive* c = engine.Place("c", 30.0f, 10.0f);
    engine.AddGap(16.0f);
    Primitive* d = engine.Place("d", 10.0f, 10.0f);
    engine.NewColumn(7.0f);
    Primitive* e = engine.Place("e", 10.0f, 10.0f);
    engine.Finish();

    ExpectAt(a, 20.0f, 40.0f);  // centred on the 40-high row
    ExpectAt(b, 125.0f, 30.0f);
    ExpectAt(c, 20.0f, 74.0f);  // 30 + 40 + 4
    ExpectAt(d, 20.0f, 104.0f); // 74 + 10 + 4 + 16
    ExpectAt(e, 187.0f, 30.0f); // right of b (175) + 5 + 7, back at the top

    // A control that grows after it was placed moves its neighbours on Layout.
    a->SetSize(150.0f, kKeepCoordinate);
    engine.Layout();
    ExpectAt(b, 175.0f, 30.0f);

    engine.SetMargins(0.0f, 0.0f, 8.0f, 6.0f);
    engine.FitContainer();
    EXPECT_NEAR(panel->GetSizeVirtual().x, 247.0f + 8.0f, 0.01f);
    EXPECT_NEAR(panel->GetSizeVirtual().y, 114.0f + 6.0f, 0.01f);

    // Columns: top to bottom, a new column to the right of the widest.
    PrimContainer* other = Host(new PrimContainer);
    OpenEngine columns(other);
    columns.SetDirection(FlowDirection::Columns);
    columns.SetSpacing(5.0f, 4.0f);
    Primitive* p = columns.Place("p", 60.0f, 10.0f);
    Primitive* q = columns.Place("q", 20.0f, 10.0f);
    columns.NewColumn();
    Primitive* r = columns.Place("r", 20.0f, 10.0f);
    columns.NewRow();
    Primitive* s = columns.Place("s", 20.0f, 10.0f);
    columns.Finish();
    ExpectAt(p, 0.0f, 0.0f);
    ExpectAt(q, 0.0f, 14.0f);
    ExpectAt(r, 65.0f, 0.0f);
    ExpectAt(s, 0.0f, 28.0f);
}

TEST_F(LayoutEngineTest, ReadPanelFloatKeepsTheMagnitudeInRange)
{
    struct Case {
        const char* text;
        bool changed;
        float field;
        float minimum, maximum;
        bool onlyIfChanged;
        bool result;
        float after;
    };
    const Case cases[] = {
        {"2.5", true, 1.0f, 0.05f, 8.0f, true, true, 2.5f},
        {"-2.5", true, 1.0f, 0.05f, 8.0f, true, true, -2.5f}, // a mirrored scale keeps its sign
        {"20", true, 1.0f, 0.05f, 8.0f, true, true, 8.0f},
        {"-20", true, 1.0f, 0.05f, 8.0f, true, true, -8.0f},
        {"0.001", true, 1.0f, 0.05f, 8.0f, true, true, 0.05f},
        {"-0.001", true, 1.0f, 0.05f, 8.0f, true, true, -0.05f},
        {"720", true, 1.0f, -1.0f, -1.0f, true, true, 720.0f},       // no range
        {"20", true, 8.0f, 0.05f, 8.0f, true, false, 8.0f},          // clamped to the field
        {"3", true, 3.0f, -1.0f, -1.0f, true, false, 3.0f},          // same value
        {"3", false, 1.0f, -1.0f, -1.0f, true, false, 1.0f},         // not changed
        {"3", false, 1.0f, -1.0f, -1.0f, false, true, 3.0f},         // changed not asked
        {"junk", true, 1.0f, -1.0f, -1.0f, true, true, 0.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        PrimContainer panel;
        auto* box = new EditBox;
        box->name = "value";
        box->SetText(c.text);
        box->pressed = c.changed ? 1 : 0;
        panel.AddChild(box);
        float field = c.field;
        EXPECT_EQ(ReadPanelFloat(&panel, "value", field, c.minimum, c.maximum, c.onlyIfChanged), c.result);
        EXPECT_FLOAT_EQ(field, c.after);
    }
    float field = 1.0f;
    PrimContainer empty;
    EXPECT_FALSE(ReadPanelFloat(&empty, "value", field, -1.0f, -1.0f, false));
    Probe leaf("leaf");
    EXPECT_FALSE(ReadPanelFloat(&leaf, "leaf", field, -1.0f, -1.0f, false));
    EXPECT_FALSE(ReadPanelFloat(nullptr, "value", field, -1.0f, -1.0f, false));
    EXPECT_FLOAT_EQ(field, 1.0f);
}

TEST_F(LayoutEngineTest, NumberBoxFormatsOnlyWithOneNumberConversion)
{
    struct Case {
        const char* format;
        double value;
        const char* text;
    };
    const Case cases[] = {
        {"%.2f", 1.5, "1.50"},
        {"%d", 3.7, "3"},
        {"%+5.1f%%", 2.5, " +2.5%"},
        {"%03d units", 7, "007 units"},
        {"%x", 255, "ff"},
        {"%d", 1e300, "2147483647"},
        {"%s", 1.5, "1.5"},       // not a number conversion
        {"%n", 1.5, "1.5"},
        {"%d %d", 1.5, "1.5"},    // two conversions
        {"no number", 1.5, "1.5"},
        {"%999f", 1.5, "1.5"},    // width out of bounds
        {"%.2", 1.5, "1.5"},      // cut off
        {"%ld", 1.5, "1.5"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatPanelNumber(c.format, c.value), c.text) << c.format;
}

TEST_F(LayoutEngineTest, ChoosersSelectByValueAndKeepUnlistedImages)
{
    GroupChooser groups(false);
    EXPECT_EQ(groups.GetCount(), GroupChooser::kGroupCount);
    groups.SetIntValue(5);
    EXPECT_EQ(groups.GetIntValue(), 5);
    groups.SetIntValue(GroupChooser::kAnyGroup); // not offered: unchanged
    EXPECT_EQ(groups.GetIntValue(), 5);

    ImageChooser images("Graphics\\Traps", "*.png", [](const std::string& pattern) {
        EXPECT_EQ(pattern, "Graphics\\Traps\\*.png");
        return std::vector<std::string>{"a.png", "b.png", "bad\\name.png", ""};
    });
    images.Refresh();
    EXPECT_EQ(images.GetCount(), 2);
    images.SetText("Graphics\\Traps\\B.PNG");
    EXPECT_EQ(images.GetText(), "Graphics\\Traps\\b.png");
    images.SetText("Graphics\\Traps\\gone.png"); // the current image stays shown
    EXPECT_EQ(images.GetText(), "Graphics\\Traps\\gone.png");
    images.Refresh(); // the chosen file is kept
    EXPECT_EQ(images.GetText(), "Graphics\\Traps\\gone.png");
    EXPECT_EQ(images.GetCount(), 3);
}

} // namespace
