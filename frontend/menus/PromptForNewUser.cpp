#include "frontend/menus/PromptForNewUser.h"

#include "app/ConsoleParam.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/Md5.h"
#include "app/PlayerProfile.h"
#include "frontend/FrontEndServices.h"
#include "frontend/menus/FlimbsMenuTemplate.h"
#include "frontend/menus/ScreenLayout.h"
#include "game/GameServices.h"
#include "gui/FlimbsEditBox.h"
#include "gui/FlimbsTabControl.h"
#include "gui/FlimbsWindow3.h"
#include "gui/GraphicButtons.h"
#include "gui/Label.h"
#include "gui/RectControl.h"
#include "gui/ScreenImage.h"
#include "gui/TextButtons.h"
#include "gui/UiScale.h"
#include "hud/Console.h"
#include "platform/input/ScanCodes.h"

namespace {

constexpr const char* kFolder = "Graphics\\Menu\\NewUserPrompt\\";

// A one-line box in which Enter also proceeds (a commit by losing the focus does not).
class PromptEditBox : public FlimbsEditBox {
public:
    int OnKey(int value, int code, bool shift, IInputDevice& device) override
    {
        if (value != 0 && value != 2 && code == kKeyEnter && onEnter) {
            Commit();
            onEnter();
            return 1;
        }
        return FlimbsEditBox::OnKey(value, code, shift, device);
    }
    std::function<void()> onEnter;
};

// The top-most ancestor: no container of the prompt is a window, so the prompt's buttons
// act on the whole backdrop it lies in.
Primitive* TopAncestor(Primitive* primitive)
{
    Primitive* top = primitive;
    while (top && top->parent)
        top = top->parent;
    return top;
}

std::string ChildText(Primitive* top, const char* name)
{
    auto* container = dynamic_cast<Container<Primitive>*>(top);
    return container ? container->GetChildText(name) : std::string();
}

void SetVariable(const char* name, const std::string& value)
{
    if (ConsoleParam* variable = ConsoleParam::Find(name))
        variable->SetString(value);
}

void LeaveToMenus(Primitive* top)
{
    if (top)
        top->Deactivate();
    ReloadFlimbMasterLevelList();
    ShowMainMenu(false);
}

} // namespace

PromptForNewUser::PromptForNewUser()
{
    SetName(kName);
    const float s = GetUiScale();

    form_ = new FlimbsWindow3;
    form_->containerFlags &= ~uint32_t(kContainerWindow);
    form_->containerFlags |= kContainerTransparent;
    form_->SetTitle(TranslateText("Welcome").c_str());
    form_->CloseButton()->visible = 0;
    PrimContainer* client = form_->Client();
    client->containerFlags |= kContainerTransparent;
    AddChild(form_);

    ScreenLayoutEngine e(client);
    // Every widget is placed by hand below: a column flow never moves them again (a row
    // flow centres each earlier widget of its row on the row's line as the next one comes).
    e.SetDirection(FlowDirection::Columns);
    const float left = DesignX(160.0f);
    ScreenImage* picture = e.AddImage("welcome_picture", std::string(kFolder) + "welcome_president.png");
    if (picture) {
        picture->SetScale(1.0f, 1.0f);
        picture->SetPosition(DesignX(12.0f), DesignY(12.0f));
    }
    e.SetControlWidth(DesignX(195.0f));

    const auto label = [&](const std::string& text, const char* key, float y, uint32_t colour) {
        SimpleLabel* made = e.AddLabel(text, key, false);
        if (made) {
            made->SetColour(colour);
            made->FitToText();
            made->SetPosition(left, DesignY(y));
        }
        return made;
    };
    const auto box = [&](const char* key, float y, bool password) {
        auto made = std::make_unique<PromptEditBox>();
        made->password = password ? 1 : 0;
        made->InitText("", true);
        float height = 0.0f;
        made->GetSize(nullptr, &height);
        made->SetSize(DesignX(195.0f), height);
        made->onEnter = [this] { ProceedHandler(proceed_ ? proceed_->parent : nullptr, proceed_); };
        PromptEditBox* placed = e.Place(std::move(made), key);
        if (placed)
            placed->SetPosition(left, DesignY(y));
        return placed;
    };

    label(TranslateText("Please enter your name:"), "name_label", 14.0f, 0xFF000000u);
    PromptEditBox* name = box("profile", 34.0f, false);
    SimpleLabel* passwordLabel = label(TranslateText("Your password:"), "password_label", 66.0f, 0xFF000000u);
    SimpleLabel* help = label(TranslateText("(what is this?)"), "help_label", 66.0f, 0xFF0000FFu);
    if (help && passwordLabel)
        help->SetPosition(passwordLabel->GetRelativeRectVirtual().right + DesignX(6.0f), DesignY(66.0f));
    if (help)
        e.SetTip(help, TranslateText(std::string("Entering your ") + kSiteName +
                                     " username and password\nwill enable top scores to be associated with your "
                                     "account.\nThis is recommended, but optional!\n\nIf you don't have an account, "
                                     "goto " +
                                     kSiteAddress +
                                     " to\ncreate one.  Otherwise, you can leave the password blank and\nenter it "
                                     "later."));
    box("password", 86.0f, true);

    auto rule = std::make_unique<RectControl>(0u, 0xFF0000FFu);
    rule->SetSize(DesignX(258.0f), DesignY(2.0f));
    RectControl* placedRule = e.Place(std::move(rule), "rule");
    if (placedRule)
        placedRule->SetPosition(DesignX(150.0f), DesignY(118.0f));

    IconButton* proceed = e.AddIconButton(TranslateText("Proceed"), "proceed",
                                          "Graphics\\Menu\\IconButton\\flimb_head2.png", 0);
    if (proceed) {
        proceed->onClick = ProceedHandler;
        proceed->hAlign = kAlignHCentre;
        proceed->vAlign = kAlignBottom;
        proceed->SetPosition(DesignX(279.0f), DesignY(176.0f));
        proceed_ = proceed;
    }
    client->SetSize(DesignX(430.0f), DesignY(186.0f));
    form_->SetSize(kKeepCoordinate, kKeepCoordinate);
    FitToChildren(client);
    float formWidth = 0.0f, formHeight = 0.0f;
    form_->GetSize(&formWidth, &formHeight);
    form_->SetSize(formWidth, formHeight);
    form_->SetPosition(0.0f, 0.0f);

    auto* backdropPicture = new ScreenImage(std::string(kFolder) + "flimbs_backdrop.png");
    backdropPicture->SetScale(1.0f, 1.0f);
    backdropPicture->excludeFromBounds = 0;
    backdropPicture->SetPosition(formWidth / 2.0f - backdropPicture->GetSizeVirtual().x / 2.0f, formHeight);
    AddChildNear(backdropPicture, form_, false);

    const ConsoleParam* profile = ConsoleParam::Find("profile");
    const bool firstProfile = !profile || profile->GetString() == PlayerProfile::kDefaultName;
    auto* leave = new FlimbsTabButton(TranslateText(firstProfile ? "Quit" : "Cancel"));
    leave->SetName("leave_button");
    if (firstProfile)
        leave->onClick = [](Primitive*, Button*) { RequestQuit(); };
    else
        leave->onClick = CancelHandler;
    float leaveWidth = 0.0f, leaveHeight = 0.0f;
    leave->GetSize(&leaveWidth, &leaveHeight);
    leave->SetSize(leaveWidth, leaveHeight);
    leave->SetPosition(formWidth - leaveWidth - DesignX(21.0f), formHeight + DesignY(44.0f) - leaveHeight);
    AddChild(leave);
    leave_ = leave;
    FitToChildren(this);
    (void)s;
    if (name)
        name->TakeFocus();
}

int PromptForNewUser::OnKey(int value, int code, bool shift, IInputDevice& device)
{
    if (value != 0 && value != 2 && code == kKeyEnter) {
        ProceedHandler(proceed_ ? proceed_->parent : nullptr, proceed_);
        return 1;
    }
    return PrimContainer::OnKey(value, code, shift, device);
}

PromptForNewUser* ShowPromptForNewUser()
{
    return new PromptForNewUser;
}

void ProceedHandler(Primitive* parent, Button* button)
{
    Primitive* top = TopAncestor(button ? static_cast<Primitive*>(button) : parent);
    if (!top)
        return;
    const std::string typed = ChildText(top, "profile");
    if (typed.empty())
        return;
    const std::string name = FilterProfileName(typed);
    if (name.empty())
        return;
    if (ProfileFileExists(name)) {
        WriteLog("Front end: profile [%s] chosen\n", name.c_str());
        SetVariable("profile", name); // loads it; the password box is ignored
    } else {
        WriteLog("Front end: new profile [%s]\n", name.c_str());
        CurrentProfile().Load(PlayerProfile::kDefaultName);
        SetVariable("username", name);
        SetVariable("password", Md5String(ChildText(top, "password"), "%02x"));
        CurrentProfile().Save(name);
        SetVariable("profile", name);
    }
    LeaveToMenus(top);
}

void CancelHandler(Primitive* parent, Button* button)
{
    LeaveToMenus(TopAncestor(button ? static_cast<Primitive*>(button) : parent));
}
