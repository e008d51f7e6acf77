#include "hud/LevelChangeWindow.h"

#include "app/ConsoleParam.h"
#include "app/LanguageTexts.h"
#include "app/StringUtil.h"
#include "gui/CheckBox.h"
#include "gui/FlimbsLayoutEngine.h"
#include "gui/TextButtons.h"
#include "gui/VoiceBubble.h"
#include "hud/HudGame.h"
#include "session/SessionServices.h"

LevelChangeWindow::LevelChangeWindow()
{
    SetName("LevelChangeWindow");
    SetTitle(TranslateText("Levels").c_str());
    HudGame& game = CurrentHudGame();
    PrimContainer* client = Client();
    FlimbsLayoutEngine layout(client);
    layout.SetMargins(DesignUnitsX(10.0f), DesignUnitsY(10.0f), DesignUnitsX(10.0f), DesignUnitsY(10.0f));
    layout.SetSpacing(DesignUnitsX(2.0f), DesignUnitsY(2.0f));

    chooser_ = game.MakeLevelChooser(CategoryOf(game.LevelName(true)));
    float chooserWidth = DesignUnitsX(260.0f);
    if (chooser_ && chooser_->Panel()) {
        Primitive* panel = chooser_->Panel();
        panel->deleteWhenClosed = 0; // the chooser keeps its panel
        client->AddChild(panel);
        panel->SetPosition(DesignUnitsX(10.0f), DesignUnitsY(10.0f));
        chooserWidth = std::max(chooserWidth, panel->GetSizeVirtual().x);
        layout.SetOrigin(DesignUnitsX(10.0f), DesignUnitsY(10.0f) + panel->GetSizeVirtual().y + DesignUnitsY(2.0f));
    }

    lowQuality_ = layout.AddCheckBox("quick_load", ConsoleParam::Find("loadquick") &&
                                                       ConsoleParam::Find("loadquick")->GetInt() != 0);
    lowQuality_->caption = TranslateText("Low Quality");
    layout.SetTip(lowQuality_, TranslateText("Trade off graphics quality for faster level load times."));
    lowQuality_->onChange = [](Primitive*, Primitive* box) {
        if (ConsoleParam* quick = ConsoleParam::Find("loadquick"))
            quick->SetInt(box->IsChecked() ? 1 : 0);
    };
    layout.NewRow();
    back_ = layout.AddButton(TranslateText("Back"), "back", -1);
    start_ = layout.AddButton(TranslateText("Start level"), "start_level", -1);
    layout.SetTip(start_, TranslateText("Load the selected level"));
    layout.Finish();

    back_->onClick = [this](Primitive*, Button*) { Deactivate(); };
    start_->onClick = [this](Primitive*, Button*) {
        const std::string level = chooser_ ? chooser_->SelectedLevel() : std::string();
        if (!level.empty())
            SendGameData(level);
    };
    // "Back" 12 pixels from the left edge and "Start level" 12 from the right, on the
    // bottom row.
    const float width = std::max(chooserWidth + DesignUnitsX(20.0f),
                                 back_->GetSizeVirtual().x + start_->GetSizeVirtual().x + DesignUnitsX(40.0f));
    const float rowY = back_->GetPositionVirtual().y;
    back_->SetPosition(DesignUnitsX(12.0f), rowY);
    start_->hAlign = kAlignRight;
    start_->SetPosition(width - DesignUnitsX(12.0f), rowY);
    const float height = rowY + std::max(back_->GetSizeVirtual().y, start_->GetSizeVirtual().y) + DesignUnitsY(10.0f);
    client->SetSize(width, height);
    AdjustSize(0, 0.0f, 0.0f);
    float w = 0.0f, h = 0.0f;
    GetSize(&w, &h);
    SetSize(w, h);
}

LevelChangeWindow::~LevelChangeWindow()
{
    // The chooser's panel leaves the client before the chooser goes.
    if (chooser_ && chooser_->Panel())
        Client()->RemoveChild(chooser_->Panel(), false);
}

std::string LevelChangeWindow::CategoryOf(const std::string& levelFile)
{
    const std::string title = GetFileTitle(levelFile, true);
    const size_t underscore = title.find('_');
    return underscore == std::string::npos ? std::string() : title.substr(0, underscore);
}
