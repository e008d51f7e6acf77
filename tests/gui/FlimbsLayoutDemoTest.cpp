// A whole dialog built by the skinned layout engine, drawn on the software device at two
// screen sizes and written to <build>/demo-dialog-<w>x<h>.png for a look.
#include "SkinnedLayoutFixture.h"

#include "gui/FlimbsCheckBox.h"
#include "gui/FlimbsComboBox.h"
#include "gui/FlimbsDataGrid.h"
#include "gui/FlimbsEditBox.h"
#include "gui/FlimbsLayoutEngine.h"
#include "gui/FlimbsListBox.h"
#include "gui/FlimbsMenuBar.h"
#include "gui/FlimbsTabControl.h"
#include "gui/FlimbsToolTip.h"
#include "gui/FlimbsWindow3.h"
#include "gui/GraphicButtons.h"
#include "gui/Label.h"
#include "gui/ListBox.h"
#include "gui/ScreenImage.h"
#include "gui/StretchGraphicButton.h"
#include "gui/TextButtons.h"
#include "gui/UiScale.h"
#include "media/PngFile.h"

#include <algorithm>
#include <memory>
#include <ostream>
#include <set>
#include <vector>

namespace {

struct ScoreRow : DataRowBase {
    ScoreRow(std::string player, int32_t saved, float time) : player(std::move(player)), saved(saved), time(time) {}
    int ColumnType(int index) const override
    {
        static const int kinds[] = {kFieldText, kFieldInt, kFieldFloat};
        return index >= 0 && index < 3 ? kinds[index] : kFieldNone;
    }
    int ColumnCount() const override { return 3; }
    const void* ColumnField(int index) const override
    {
        switch (index) {
        case 0: return &player;
        case 1: return &saved;
        case 2: return &time;
        default: return nullptr;
        }
    }
    std::string player;
    int32_t saved;
    float time;
};

// The engine with a way to place controls it has no operation for.
class DemoEngine : public FlimbsLayoutEngine {
public:
    using FlimbsLayoutEngine::FlimbsLayoutEngine;
    template <class T>
    T* Place(std::unique_ptr<T> control, const std::string& key)
    {
        control->SetName(key.c_str());
        return Adopt(std::move(control));
    }
};

float DesignX(float pixels) { return Primitive::ToVirtualX(pixels * GetUiScale()); }
float DesignY(float pixels) { return Primitive::ToVirtualY(pixels * GetUiScale()); }

// A "Level settings" dialog holding one control of every kind, centred on the screen.
struct DemoDialog {
    FlimbsWindow3* window = nullptr;
    std::unique_ptr<DemoEngine> engine;
    std::vector<std::unique_ptr<ScoreRow>> scores;

    void Build()
    {
        window = new FlimbsWindow3;
        window->SetTitle("Level settings");
        PrimContainer* client = window->Client();
        engine = std::make_unique<DemoEngine>(client);
        DemoEngine& e = *engine;
        e.SetMargins(DesignX(18), DesignY(14), DesignX(18), DesignY(16));
        e.SetSpacing(DesignX(10), DesignY(8));
        e.SetCaptionWidth(DesignX(110));
        e.SetControlWidth(DesignX(230));

        // Left: captioned rows.
        e.AddCaption("Difficulty", "difficulty");
        e.AddChoiceList("difficulty", {{"Easy", 1}, {"Normal", 2}, {"Hard", 3}, {"Insane", 4}}, 2);
        e.AddCaption("Level name", "name");
        e.AddEditBox("name", "Crystal caverns", false);
        e.AddCaption("Gravity", "gravity");
        e.AddSlider("gravity", 60.0f, 100.0f, 0.0f);
        e.AddCaption("Briefing", "briefing");
        e.AddEditBox("briefing", "Guide every flimb home.\nMind the lava pools.", true);
        e.AddCaption("Layers", "layers");
        ListBox* layers = e.AddListBox("layers");
        for (const char* row : {"Background", "Terrain", "Objects", "Triggers", "Lights"})
            layers->AddItem(row);
        layers->SetSelection(1, false);
        e.NewRow();
        e.AddCheckBox("digging", true);
        e.AddLabel("Allow digging", "digging", true);
        e.AddCheckBox("timed", false);
        e.AddLabel("Timed level", "timed", true);

        // Right: a column of its own.
        e.NewColumn(DesignX(14));
        const char* menus[] = {"File", "Edit", "View"};
        for (int i = 0; i < 3; ++i) {
            auto item = std::make_unique<FlimbsMenuBar>(menus[i]);
            item->playSounds = 0;
            item->SetChecked(i == 0, false, false);
            e.Place(std::move(item), std::string("menu_") + menus[i]);
        }
        e.NewRow();
        auto tabs = std::make_unique<FlimbsTabControl>();
        tabs->SetSize(DesignX(300), DesignY(72));
        const float tabWidth = 76.0f * GetUiScale();
        PrimContainer* rules = tabs->AddPage("Rules", nullptr, tabWidth);
        tabs->AddPage("Notes", nullptr, tabWidth);
        auto goal = std::make_unique<SimpleLabel>(0, 0xFFFFFFFF, 0, "Rescue 40 of 50 flimbs");
        goal->SetPosition(DesignX(10), DesignY(8));
        goal->FitToText();
        rules->AddChild(goal.release());
        e.Place(std::move(tabs), "tabs");
        e.NewRow();
        auto grid = std::make_unique<FlimbsDataGrid>();
        grid->AddColumn("Player", 0, DesignX(140));
        grid->AddColumn("Saved", 1, DesignX(70));
        grid->AddColumn("Time", 2, DesignX(90));
        scores.push_back(std::make_unique<ScoreRow>("Ada", 48, 312.5f));
        scores.push_back(std::make_unique<ScoreRow>("Bruno", 45, 298.0f));
        scores.push_back(std::make_unique<ScoreRow>("Chen", 41, 350.25f));
        scores.push_back(std::make_unique<ScoreRow>("Dana", 40, 401.0f));
        std::vector<DataRowBase*> rows;
        for (auto& row : scores)
            rows.push_back(row.get());
        grid->SetRows(rows);
        grid->SetSize(DesignX(300), Primitive::ToVirtualY(grid->RowHeight() * 5.0f + 2.0f));
        e.Place(std::move(grid), "scores");
        e.NewRow();
        e.AddImageView("antlers", "Graphics\\Menu\\Eom\\antlers_blue.png", DesignX(40), DesignY(40));
        e.AddAnimButton("spinner", "Graphics\\Common\\throbber.png", 24, 24, 120)->SetSize(DesignX(40), DesignY(40));
        e.Place(std::make_unique<CollapseCheckBox>(), "more");
        e.AddLabel("More options", "more", true);
        e.Finish();

        // Bottom: the buttons, in a row under everything.
        float bottom = 0.0f;
        for (Primitive* child : client->Children())
            if (!dynamic_cast<ToolTip*>(child))
                bottom = std::max(bottom, child->GetPositionVirtual().y + child->GetSizeVirtual().y);
        e.SetOrigin(DesignX(18), bottom + DesignY(14));
        e.AddButton("OK", "ok", 1);
        e.AddCompactButton("Reset", "reset", 2);
        e.AddIconButton("Groups", "groups", "Graphics\\Menu\\FlimbGroupSelector\\group-select.png", 3);
        e.AddToolTip(std::string());
        e.SetTip(e.Find("ok"), "Keeps the settings and closes the dialog");
        e.SetTip(e.Find("gravity"), "How fast flimbs fall");
        e.FitContainer();

        float width = 0.0f, height = 0.0f;
        window->GetSize(&width, &height);
        window->SetSize(width, height);
        window->SetPosition((1000.0f - width) / 2.0f, (1000.0f - height) / 2.0f);
        OpenWindow(window, true);
    }
};

struct ScreenSize {
    int x;
    int y;
};
void PrintTo(const ScreenSize& size, std::ostream* out) { *out << size.x << "x" << size.y; }

class FlimbsLayoutDemoTest : public SkinnedLayoutFixture, public ::testing::WithParamInterface<ScreenSize> {
protected:
    // Frames of 10 ms with the pointer at (x, y): routing, hover, the windows' updates.
    void RunFrames(uint32_t milliseconds, int x, int y)
    {
        SetGuiFrameElapsed(10);
        for (uint32_t passed = 0; passed < milliseconds; passed += 10) {
            GuiTestNow() += 10;
            UpdateGuiInput(x, y);
            UpdateOpenWindows();
        }
    }
    static bool Overlap(const FloatRect& a, const FloatRect& b)
    {
        const float slack = 0.5f; // touching edges do not count
        return a.left < b.right - slack && b.left < a.right - slack && a.top < b.bottom - slack &&
               b.top < a.bottom - slack;
    }
    static bool Inside(const FloatRect& inner, const FloatRect& outer)
    {
        const float slack = 0.5f;
        return inner.left >= outer.left - slack && inner.right <= outer.right + slack &&
               inner.top >= outer.top - slack && inner.bottom <= outer.bottom + slack;
    }
};

TEST_P(FlimbsLayoutDemoTest, DialogOfEveryControlIsLaidOutNeatlyAndDrawnAtTheScreensScale)
{
    const ScreenSize screen = GetParam();
    StartScreen(screen.x, screen.y);
    DemoDialog dialog;
    dialog.Build();
    FlimbsWindow3& window = *dialog.window;
    PrimContainer* client = window.Client();

    // Every control of the client lies inside it and inside the window, and none overlaps another.
    std::vector<Primitive*> controls;
    for (Primitive* child : client->Children())
        if (!dynamic_cast<ToolTip*>(child))
            controls.push_back(child);
    EXPECT_EQ(controls.size(), 26u);
    const FloatRect screenRect{0.0f, 0.0f, float(screen.x), float(screen.y)};
    EXPECT_TRUE(Inside(window.rect, screenRect));
    for (Primitive* control : controls) {
        EXPECT_TRUE(Inside(control->rect, client->rect)) << control->name;
        EXPECT_TRUE(Inside(control->rect, window.rect)) << control->name;
        EXPECT_GT(control->rect.right - control->rect.left, 1.0f) << control->name;
        EXPECT_GT(control->rect.bottom - control->rect.top, 1.0f) << control->name;
    }
    for (size_t i = 0; i < controls.size(); ++i)
        for (size_t j = i + 1; j < controls.size(); ++j)
            EXPECT_FALSE(Overlap(controls[i]->rect, controls[j]->rect))
                << controls[i]->name << " and " << controls[j]->name;
    // Every caption is wide enough for its text.
    for (Primitive* control : controls) {
        if (auto* label = dynamic_cast<SimpleLabel*>(control)) {
            EXPECT_EQ(label->ShownText(), label->GetText()) << label->name;
        }
    }

    // The skin at the screen's scale: screen height / 768.
    const float scale = float(screen.y) / 768.0f;
    auto* ok = dynamic_cast<StretchGraphicButton*>(dialog.engine->Find("ok"));
    auto* name = dynamic_cast<FlimbsEditBox*>(dialog.engine->Find("name"));
    auto* difficulty = dynamic_cast<FlimbsComboBox*>(dialog.engine->Find("difficulty"));
    auto* groups = dynamic_cast<IconButton*>(dialog.engine->Find("groups"));
    ASSERT_TRUE(ok && name && difficulty && groups);
    EXPECT_NEAR(ok->ImageScale(), scale, 1e-4f);
    EXPECT_NEAR(ok->rect.bottom - ok->rect.top, 32.0f * scale, 0.01f);
    EXPECT_NEAR(name->ImageScale(), scale, 1e-4f);
    EXPECT_NEAR(difficulty->ImageScale(), scale, 1e-4f);
    EXPECT_NEAR(groups->iconScale, scale, 1e-4f);
    // Skinned buttons hold their caps: no image spills over a neighbour.
    for (Primitive* control : controls) {
        if (auto* button = dynamic_cast<StretchGraphicButton*>(control)) {
            const float caps = button->LeftImage().DrawnWidth(button->ImageScale()) +
                               button->RightImage().DrawnWidth(button->ImageScale());
            EXPECT_GE(button->rect.right - button->rect.left, caps - 0.5f) << button->name;
        }
    }
    EXPECT_NEAR(window.Title()->rect.bottom - window.Title()->rect.top, 36.0f * scale, 0.5f);
    EXPECT_EQ(dialog.engine->ReadInt("difficulty"), 2);
    // The list's rows grow with the UI scale: the same rows show at every screen size.
    auto* layers = dynamic_cast<ListBox*>(dialog.engine->Find("layers"));
    ASSERT_NE(layers, nullptr);
    EXPECT_EQ(layers->visibleRows, 5);

    // Rest the pointer on OK until its tooltip shows, then draw the screen.
    const int okX = int((ok->rect.left + ok->rect.right) / 2.0f);
    const int okY = int((ok->rect.top + ok->rect.bottom) / 2.0f);
    RunFrames(700, okX, okY);
    ToolTip* tip = dialog.engine->SharedToolTip();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->IsShowing());
    EXPECT_TRUE(Inside(tip->rect, screenRect));

    gfx::Device* device = DXManager::GetDevice();
    device->Clear(0, nullptr, gfx::D3DCLEAR_TARGET, 0xFF101418u, 1.0f, 0);
    device->BeginScene();
    DrawOpenWindows();
    device->EndScene();

    std::vector<uint32_t> pixels(size_t(screen.x) * size_t(screen.y));
    std::set<uint32_t> colours;
    size_t lit = 0;
    for (int y = 0; y < screen.y; ++y)
        for (int x = 0; x < screen.x; ++x) {
            const uint32_t pixel = 0xFF000000u | Pixel(x, y);
            pixels[size_t(y) * size_t(screen.x) + size_t(x)] = pixel;
            if (x >= int(window.rect.left) && x < int(window.rect.right) && y >= int(window.rect.top) &&
                y < int(window.rect.bottom)) {
                colours.insert(pixel);
                lit += (pixel & 0xFFFFFFu) != 0x101418u;
            }
        }
    const float windowArea = (window.rect.right - window.rect.left) * (window.rect.bottom - window.rect.top);
    EXPECT_GT(float(lit), windowArea * 0.9f); // the window is drawn over the whole of its area
    EXPECT_GT(colours.size(), 200u);           // images and text, not a flat fill
    // Nothing drawn far outside the window except the tooltip.
    EXPECT_EQ(pixels[size_t(screen.x) * 2 + 2] & 0xFFFFFFu, 0x101418u);

    const std::string path = std::string(FLIMBS_GAME_DIR) + "/demo-dialog-" + std::to_string(screen.x) + "x" +
                             std::to_string(screen.y) + ".png";
    EXPECT_TRUE(WritePngFile(path, pixels.data(), screen.x, screen.y)) << path;
}

INSTANTIATE_TEST_SUITE_P(Screens, FlimbsLayoutDemoTest,
                         ::testing::Values(ScreenSize{1280, 720}, ScreenSize{1920, 1080}),
                         [](const ::testing::TestParamInfo<ScreenSize>& info) {
                             return std::to_string(info.param.x) + "x" + std::to_string(info.param.y);
                         });

} // namespace
