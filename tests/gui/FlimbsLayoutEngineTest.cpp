#include "SkinnedLayoutFixture.h"

#include "gui/FlimbsCheckBox.h"
#include "gui/FlimbsComboBox.h"
#include "gui/FlimbsEditBox.h"
#include "gui/FlimbsLayoutEngine.h"
#include "gui/FlimbsListBox.h"
#include "gui/FlimbsSliderBar.h"
#include "gui/FlimbsToolTip.h"
#include "gui/Label.h"
#include "gui/ScreenImage.h"
#include "gui/StretchGraphicButton.h"
#include "gui/TextButtons.h"
#include "gui/UiScale.h"

#include <algorithm>
#include <functional>
#include <memory>

namespace {

using FlimbsLayoutEngineTest = SkinnedLayoutFixture;

const char* const kIcon = "Graphics\\Menu\\FlimbGroupSelector\\group-select.png";

TEST_F(FlimbsLayoutEngineTest, EveryOperationMakesItsSkinnedControlUnderTheKey)
{
    PrimContainer* panel = Host(new PrimContainer);
    PrimContainer* listHost = Host(new PrimContainer);
    FlimbsLayoutEngine engine(panel);

    struct Case {
        const char* key;
        std::function<Primitive*()> make;
        std::function<bool(Primitive*)> isSkinned;
    };
    const std::vector<Case> cases = {
        {"combo", [&] { return engine.AddComboBox("combo", listHost); },
         [&](Primitive* p) {
             auto* combo = dynamic_cast<FlimbsComboBox*>(p);
             return combo && combo->listHost == listHost;
         }},
        {"list", [&] { return engine.AddListBox("list"); },
         [](Primitive* p) { return dynamic_cast<FlimbsListBox*>(p) != nullptr; }},
        {"line", [&] { return engine.AddEditBox("line", "a\nb", false); },
         [](Primitive* p) {
             auto* box = dynamic_cast<FlimbsEditBox*>(p);
             return box && !box->multiline && box->GetText() == "a b" && box->Caret() == 0;
         }},
        // The multi-line flag is set before the text: its line break survives.
        {"notes", [&] { return engine.AddEditBox("notes", "a\nb", true); },
         [](Primitive* p) {
             auto* box = dynamic_cast<FlimbsEditBoxMultiline*>(p);
             return box && box->multiline == 1 && box->GetText() == "a\nb" && box->Caret() == 0;
         }},
        {"slider", [&] { return engine.AddSlider("slider", 250.0f, 100.0f, 10.0f); },
         [](Primitive* p) {
             auto* slider = dynamic_cast<FlimbsSliderBar*>(p);
             return slider && slider->GetFloatValue() == 100.0f && !slider->GetPressed();
         }},
        {"check", [&] { return engine.AddCheckBox("check", true); },
         [](Primitive* p) {
             auto* box = dynamic_cast<FlimbsCheckBox*>(p);
             return box && box->IsChecked() && !box->GetPressed();
         }},
        {"ok", [&] { return engine.AddButton("OK", "ok", 42); },
         [](Primitive* p) {
             auto* button = dynamic_cast<FlimbsButton*>(p);
             return button && button->GetText() == "OK" && button->commandId == 42 && button->secondId == -1;
         }},
        {"icon", [&] { return engine.AddIconButton("Groups", "icon", kIcon, 7); },
         [](Primitive* p) {
             auto* button = dynamic_cast<IconButton*>(p);
             return button && button->icon && button->iconLeft == 1 && button->hoverOffsetX == 0.0f &&
                    button->hoverOffsetY == 0.0f && button->commandId == 7 && button->secondId == -1 &&
                    button->GetText() == "Groups";
         }},
    };
    for (const Case& c : cases) {
        Primitive* control = c.make();
        ASSERT_NE(control, nullptr) << c.key;
        EXPECT_TRUE(c.isSkinned(control)) << c.key;
        EXPECT_EQ(control->name, c.key);
        EXPECT_EQ(control->parent, panel) << c.key;
        EXPECT_EQ(engine.Find(c.key), control) << c.key;
        EXPECT_GT(control->GetSizeVirtual().x, 0.0f) << c.key;
        EXPECT_GT(control->GetSizeVirtual().y, 0.0f) << c.key;
    }
    // Values read back by key through the generic engine.
    EXPECT_TRUE(engine.IsChecked("check"));
    EXPECT_FLOAT_EQ(engine.ReadFloat("slider"), 100.0f);
    EXPECT_EQ(engine.ReadText("notes"), "a\nb");
}

TEST_F(FlimbsLayoutEngineTest, LabelKeysAndTheToolTipLeaveTheRegistryAsExpected)
{
    PrimContainer* panel = Host(new PrimContainer);
    FlimbsLayoutEngine engine(panel);
    SimpleLabel* unnamed = engine.AddLabel("Free text", nullptr, true);
    SimpleLabel* caption = engine.AddLabel("Speed", "speed", true);
    SimpleLabel* plain = engine.AddLabel("Plain", "plain", false);
    ASSERT_TRUE(unnamed && caption && plain);
    EXPECT_EQ(unnamed->name, "");
    EXPECT_EQ(unnamed->parent, panel);
    EXPECT_TRUE(engine.IsRegistered(unnamed));
    EXPECT_EQ(caption->name, "speed_label");
    EXPECT_EQ(caption->GetText(), "Speed");
    EXPECT_EQ(plain->name, "plain");

    const size_t childrenBefore = panel->Children().size();
    ToolTip* tip = engine.AddToolTip("About the panel");
    ASSERT_NE(dynamic_cast<FlimbsToolTip*>(tip), nullptr);
    EXPECT_EQ(tip->parent, panel);
    EXPECT_EQ(panel->Children().size(), childrenBefore + 1);
    EXPECT_FALSE(engine.IsRegistered(tip));
    EXPECT_EQ(engine.Find("speed_label"), caption);
    EXPECT_EQ(engine.Find("plain"), plain);
    EXPECT_EQ(engine.SharedToolTip(), tip);
    engine.SetTip(plain, "a tip");
    EXPECT_EQ(tip->TipFor(plain), "a tip");
}

// A screen's own engine whose buttons are a skin of its own.
class MarkedButton : public FlimbsButton2 {};

class MarkingEngine : public FlimbsLayoutEngine {
public:
    using FlimbsLayoutEngine::FlimbsLayoutEngine;
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

TEST_F(FlimbsLayoutEngineTest, CompactButtonStylesWhateverAddButtonMakes)
{
    StartScreen(1280, 720); // a UI scale other than 1
    const float ui = GetUiScale();
    ASSERT_NE(ui, 1.0f);
    PrimContainer* plainPanel = Host(new PrimContainer);
    PrimContainer* markedPanel = Host(new PrimContainer);
    FlimbsLayoutEngine plain(plainPanel);
    MarkingEngine marking(markedPanel);
    struct Case {
        const char* name;
        TextButton* button;
    };
    const Case cases[] = {
        {"skinned", plain.AddCompactButton("Small", "small", 9)},
        {"subclass", marking.AddCompactButton("Small", "small", 9)},
    };
    EXPECT_EQ(marking.made, 1);
    EXPECT_NE(dynamic_cast<FlimbsButton*>(cases[0].button), nullptr);
    EXPECT_NE(dynamic_cast<MarkedButton*>(cases[1].button), nullptr);
    for (const Case& c : cases) {
        TextButton* button = c.button;
        ASSERT_NE(button, nullptr) << c.name;
        EXPECT_EQ(button->commandId, 9) << c.name;
        EXPECT_EQ(button->fontId, 3) << c.name;
        EXPECT_EQ(button->textColour, 0xFFFFFFFFu) << c.name;
        EXPECT_FLOAT_EQ(button->textScale, ui) << c.name;
        EXPECT_NEAR(button->margins.left, 4.0f * ui, 1e-3f) << c.name;
        EXPECT_NEAR(button->margins.right, 4.0f * ui, 1e-3f) << c.name;
        EXPECT_NEAR(button->margins.top, 1.0f * ui, 1e-3f) << c.name;
        EXPECT_NEAR(button->margins.bottom, 1.0f * ui, 1e-3f) << c.name;
        // Fitted to the new caption, but never narrower than the two caps.
        auto* skinned = dynamic_cast<StretchGraphicButton*>(button);
        ASSERT_NE(skinned, nullptr) << c.name;
        float width = 0.0f;
        button->GetSize(&width, nullptr);
        const float caps = skinned->LeftImage().DrawnWidth(skinned->ImageScale()) +
                           skinned->RightImage().DrawnWidth(skinned->ImageScale());
        EXPECT_NEAR(button->GetSizeVirtual().x, std::max(width, Primitive::ToVirtualX(caps)), 0.01f) << c.name;
        // The skin keeps its height: the strips at the screen's skin scale.
        EXPECT_FLOAT_EQ(skinned->ImageScale(), ScreenImageScale()) << c.name;
        EXPECT_NEAR(button->rect.bottom - button->rect.top, 32.0f * ScreenImageScale(), 0.01f) << c.name;
    }
}

TEST_F(FlimbsLayoutEngineTest, OnA1536PixelHighScreenEverySkinImageIsDrawnTwiceItsSize)
{
    StartScreen(2048, 1536);
    ASSERT_FLOAT_EQ(ScreenImageScale(), 2.0f);
    PrimContainer* panel = Host(new PrimContainer);
    FlimbsLayoutEngine engine(panel);

    auto* edit = dynamic_cast<FlimbsEditBox*>(engine.AddEditBox("edit", "text", false));
    auto* combo = dynamic_cast<FlimbsComboBox*>(engine.AddComboBox("combo", nullptr));
    auto* button = dynamic_cast<StretchGraphicButton*>(engine.AddButton("Go", "go", 1));
    auto* compact = dynamic_cast<StretchGraphicButton*>(engine.AddCompactButton("Go", "small", 2));
    auto* check = dynamic_cast<FlimbsCheckBox*>(engine.AddCheckBox("check", false));
    auto* tip = dynamic_cast<FlimbsToolTip*>(engine.AddToolTip("tip"));
    IconButton* icon = engine.AddIconButton("Icon", "icon", kIcon, 3);
    ASSERT_TRUE(edit && combo && button && compact && check && tip && icon);

    const IntPoint editLeft = ImageSize("Graphics\\Menu\\EditBox\\edit-left.png");
    const IntPoint checkOff = ImageSize("Graphics\\Menu\\CheckBox\\checkbox_off.png");
    const IntPoint tipLeft = ImageSize("Graphics\\Menu\\ToolTip\\border_left.png");
    const IntPoint iconSize = ImageSize(kIcon);
    ASSERT_GT(editLeft.x * checkOff.x * tipLeft.x * iconSize.x, 0);

    EXPECT_FLOAT_EQ(edit->ImageScale(), 2.0f);
    EXPECT_FLOAT_EQ(edit->LeftCapWidth(), 2.0f * float(editLeft.x));
    EXPECT_FLOAT_EQ(edit->rect.bottom - edit->rect.top, 2.0f * float(editLeft.y));
    EXPECT_FLOAT_EQ(combo->ImageScale(), 2.0f);
    for (StretchGraphicButton* b : {button, compact}) {
        EXPECT_FLOAT_EQ(b->ImageScale(), 2.0f);
        EXPECT_FLOAT_EQ(b->ImagesHeight(), 2.0f * StretchGraphicButton::kFrameHeight);
    }
    EXPECT_FLOAT_EQ(check->OffImage().DrawnWidth(ScreenImageScale()), 2.0f * float(checkOff.x));
    EXPECT_GE(check->rect.bottom - check->rect.top, 2.0f * float(checkOff.y));
    EXPECT_FLOAT_EQ(tip->LeftBorder(), 2.0f * float(tipLeft.x));
    EXPECT_FLOAT_EQ(icon->IconWidth(), 2.0f * float(iconSize.x));
    EXPECT_FLOAT_EQ(icon->IconHeight(), 2.0f * float(iconSize.y));
    // The caption starts 10 pixels x UI scale after the drawn icon; the button is as high as it.
    EXPECT_FLOAT_EQ(icon->margins.left, 2.0f * float(iconSize.x) + 10.0f * GetUiScale());
    EXPECT_GE(icon->rect.bottom - icon->rect.top, 2.0f * float(iconSize.y) - 0.01f);

    // Drawn: the icon covers twice its pixel size on the screen.
    panel->SetPosition(0.0f, 0.0f);
    engine.Finish();
    ClearScreen();
    DXManager::GetDevice()->BeginScene();
    icon->Draw();
    DXManager::GetDevice()->EndScene();
    int covered = 0;
    const int left = int(icon->rect.left);
    const int top = int((icon->rect.top + icon->rect.bottom) / 2.0f - float(iconSize.y));
    for (int y = top; y < top + 2 * iconSize.y; ++y)
        for (int x = left; x < left + 2 * iconSize.x; ++x)
            covered += (Pixel(x, y) & 0xFFFFFFu) != 0;
    EXPECT_GT(covered, iconSize.x * iconSize.y * 2); // more than the unscaled icon could cover
}

TEST_F(FlimbsLayoutEngineTest, BadInputMakesNothingOrAFallbackAndNeverFails)
{
    // No target: every operation gives null.
    FlimbsLayoutEngine orphan(nullptr);
    EXPECT_EQ(orphan.AddComboBox("c", nullptr), nullptr);
    EXPECT_EQ(orphan.AddListBox("l"), nullptr);
    EXPECT_EQ(orphan.AddEditBox("e", "x", true), nullptr);
    EXPECT_EQ(orphan.AddSlider("s", 1.0f, 2.0f, 0.0f), nullptr);
    EXPECT_EQ(orphan.AddCheckBox("k", true), nullptr);
    EXPECT_EQ(orphan.AddButton("b", "b", 1), nullptr);
    EXPECT_EQ(orphan.AddCompactButton("b", "b", 1), nullptr);
    EXPECT_EQ(orphan.AddToolTip("t"), nullptr);
    EXPECT_EQ(orphan.AddIconButton("i", "i", kIcon, 1), nullptr);

    PrimContainer* panel = Host(new PrimContainer);
    FlimbsLayoutEngine engine(panel);
    // A missing icon still makes a button of a sane size; a reversed range still clamps.
    IconButton* icon = engine.AddIconButton("Lost", "lost", "Graphics\\no-such-icon.png", 1);
    ASSERT_NE(icon, nullptr);
    EXPECT_GT(icon->GetSizeVirtual().x, 0.0f);
    EXPECT_LT(icon->GetSizeVirtual().y, 1000.0f);
    GraphicSliderBar* slider = engine.AddSlider("reversed", 50.0f, 10.0f, 20.0f);
    ASSERT_NE(slider, nullptr);
    EXPECT_FLOAT_EQ(slider->GetFloatValue(), 10.0f);
    // An empty multi-line text still gets its four lines.
    EditBox* empty = engine.AddEditBox("empty", "", true);
    ASSERT_NE(empty, nullptr);
    EXPECT_NEAR(empty->rect.bottom - empty->rect.top,
                4.0f * empty->LineHeight() + empty->margins.top + empty->margins.bottom, 0.5f);
    engine.Finish();
}

} // namespace
