#include "frontend/menus/QuitMenu.h"

#include "app/LanguageTexts.h"
#include "editor/EditorServices.h"
#include "frontend/FrontEndServices.h"
#include "frontend/menus/Credits.h"
#include "frontend/menus/FlimbsMenuTemplate.h"
#include "frontend/menus/GlobalConfigWriter.h"
#include "frontend/menus/ScreenLayout.h"
#include "gui/Animators.h"
#include "gui/FlimbsDoor.h"
#include "gui/ScreenImage.h"
#include "gui/TextButtons.h"
#include "gui/WindowList.h"
#include "hud/Console.h"
#include "media/SoundManager.h"

QuitGameMenu::QuitGameMenu(CloseHandler closeCallback, bool inGame)
{
    SetName(kName);
    containerFlags |= kContainerWindow; // the buttons' owning screen
    closeHandler = std::move(closeCallback);
    SetSize(DesignX(446.0f), DesignY(169.0f));

    auto* picture = new ScreenImage("Graphics\\Menu\\quit-flimb.png");
    picture->SetScale(1.0f, 1.0f);
    picture->SetPosition(DesignX(260.0f), DesignY(26.0f));
    AddChild(picture);

    door_ = new QuitFlimbsDoor;
    door_->SetSize(DesignX(200.0f), DesignY(117.0f));
    door_->SetPosition(DesignX(26.0f), DesignY(26.0f));
    AddChild(door_);
    door_->SetOpening(90.0f, 250);

    ScreenLayoutEngine e(this);
    e.SetDirection(FlowDirection::Columns);
    e.SetSpacing(DesignX(7.0f), DesignY(7.0f));
    e.SetMargins(DesignX(31.0f), DesignY(inGame ? 14.0f : 31.0f), 0.0f, 0.0f);
    e.SetControlWidth(DesignX(186.0f));
    const auto add = [&](const char* caption, const char* key, ButtonCallback handler) {
        TextButton* button = e.AddButton(TranslateText(caption), key, 0);
        if (!button)
            return static_cast<TextButton*>(nullptr);
        button->SetSize(DesignX(186.0f), kKeepCoordinate);
        button->onClick = std::move(handler);
        auto* fade = new AnimateAlpha(button);
        fade->onFinished = DeleteFinishedAnimation;
        AddChild(fade);
        fade->Start(AnimateAlpha::kFadeIn, 750);
        ++buttonCount_;
        return button;
    };
    add("Quit the game", "quit_game", QuitGameHandler);
    if (inGame)
        add("Quit to Main Menu", "quit_to_main_menu", QuitToMainMenuHandler);
    TextButton* stay = add("No Way!", "no_way", [](Primitive*, Button* button) { button->CloseOwningWindow(); });
    e.Layout();
    if (stay) {
        stay->keyboardActivation = 1;
        stay->TakeFocus();
    }
}

Primitive* QuitGameMenu::OnLeftButton(int x, int y, int phase)
{
    if (phase == kPhaseDown && !PointInRect(x, y)) {
        Close();
        if (!active)
            return nullptr;
    }
    return FlimbsWindow2::OnLeftButton(x, y, phase);
}

int QuitGameMenu::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (value != 0 && value != 2) {
        Close();
        return 1;
    }
    return FlimbsWindow2::OnKey(value, code, shift, device);
}

void ShowQuitMenuInGame()
{
    if (FindOpenWindow(QuitGameMenu::kName))
        return;
    auto* menu = new QuitGameMenu(nullptr, true);
    menu->visible = 1;
    menu->active = 1;
    OpenWindow(menu, true);
    PlaceScreen(menu);
    LogScreen(menu->name);
}

void QuitGameHandler(Primitive*, Button* button)
{
    if (button)
        if (Primitive* menu = button->FindOwningWindow())
            menu->Deactivate();
    WriteGlobalConfigNow();
    ShowCreditsThenQuit();
}

PrimContainer* ShowCreditsThenQuit()
{
    soundManager.PlayMusic("intro", true, false, 1.0f);
    // A fresh backdrop: the one open holds the menus the player came through, which must not
    // show under the credits.
    DeactivateAllWindows();
    PrimContainer* backdrop = FlimbsMenuTemplate::Build();
    OpenWindow(backdrop, true);
    CreditsWindow* credits = ShowCredits();
    credits->closeHandler = PostQuitOnClose;
    // The game ends by itself a moment after the list has reached its end.
    credits->CloseAfterEnd(kCreditsLingerMs);
    backdrop->AddChild(credits);
    LogScreen("Credits, then quit");
    return credits;
}

bool PostQuitOnClose(PrimContainer*)
{
    RequestQuit();
    return true;
}

void QuitToMainMenuHandler(Primitive*, Button*)
{
    QuitToMainMenu();
}

void QuitToMainMenu()
{
    DeactivateAllWindows();
    if (ReturnToEditorFromTestPlay())
        return;
    ReturnToMainMenu();
}
