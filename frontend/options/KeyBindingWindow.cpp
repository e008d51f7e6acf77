#include "frontend/options/KeyBindingWindow.h"

#include "app/KeyBindings.h"
#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/PlayerProfile.h"
#include "app/StringUtil.h"
#include "frontend/menus/FlimbsMenuTemplate.h"
#include "frontend/menus/ScreenLayout.h"
#include "gui/FlimbsTabControl.h"
#include "gui/FlimbsWindow.h"
#include "gui/Label.h"
#include "gui/StretchGraphicButton.h"
#include "gui/WindowList.h"
#include "hud/HudActions.h"
#include "media/KBManager.h"
#include "media/KeyTables.h"
#include "media/MSManager.h"
#include "platform/input/ScanCodes.h"
#include "world/BindableAction.h"

#include <map>

namespace {

constexpr int kMouseLeft = 12;
constexpr int kMouseRight = 13;
constexpr int kMouseMiddle = 14;
constexpr int kMouseWheel = 8;
constexpr const char* kCategories[] = {"Common", "Advanced"};
constexpr float kBoxWidth = 125.0f; // design pixels

bool IsPress(int value)
{
    return value != 0 && value != 2;
}

KeyBindingWindow* WindowOf(Primitive* primitive)
{
    for (Primitive* walk = primitive; walk; walk = walk->parent)
        if (auto* window = dynamic_cast<KeyBindingWindow*>(walk))
            return window;
    return nullptr;
}

template <class Fn>
void ForEachBox(Container<Primitive>* container, Fn fn)
{
    if (!container)
        return;
    for (Primitive* child : container->CopyChildList()) {
        if (auto* box = dynamic_cast<KeyBinderBox*>(child))
            fn(box);
        else if (auto* inner = dynamic_cast<Container<Primitive>*>(child))
            ForEachBox(inner, fn);
    }
}

} // namespace

std::string SplitCamelCase(const std::string& name)
{
    std::string out;
    for (size_t i = 0; i < name.size() && out.size() < 255; ++i) {
        if (i > 0 && name[i] >= 'A' && name[i] <= 'Z') {
            out.push_back(' ');
            if (out.size() >= 255)
                break;
        }
        out.push_back(name[i]);
    }
    return out;
}

// ---- KeyBindingWindow

KeyBindingWindow::KeyBindingWindow()
{
    SetName(kName);
    containerFlags |= kContainerWindow;
    closeHandler = ShowOptionsOnClose;
    tabs_ = new FlimbsTabControl;
    AddChild(tabs_);
    // 825 design pixels wide; high enough for the longer tab's actions in two columns.
    const float pageWidth = DesignX(825.0f), pageHeight = DesignY(360.0f);
    for (const char* category : kCategories) {
        auto* page = new FlimbsWindow;
        page->SetName(category);
        page->SetSize(pageWidth, pageHeight);
        tabs_->AddPage(category, page);
        ScreenLayoutEngine e(page);
        e.SetMargins(DesignX(12.0f), DesignY(10.0f), DesignX(12.0f), DesignY(10.0f));
        e.SetSpacing(DesignX(6.0f), DesignY(4.0f));
        e.SetCaptionWidth(DesignX(120.0f));
        e.AddToolTip(std::string());
        float boxHeight = 0.0f;
        KeyBinderBox("", 0).GetSize(nullptr, &boxHeight);
        const float rowHeight = boxHeight + e.SpacingY();
        float y = DesignY(10.0f);
        for (const BindingEntry& entry : GetBindingStore().Entries()) {
            const BindableAction* action = FindBindableAction(entry.action);
            if (!action || action->category != category)
                continue;
            if (y + rowHeight > pageHeight - 30.0f) {
                e.NewColumn(DesignX(20.0f));
                y = DesignY(10.0f);
            }
            SimpleLabel* caption = e.AddCaption(SplitCamelCase(action->name), action->name);
            if (caption && !action->description.empty())
                e.SetTip(caption, action->description);
            for (int i = 0; i < 2; ++i) {
                auto box = std::make_unique<KeyBinderBox>(action->name, i);
                float height = 0.0f;
                box->GetSize(nullptr, &height);
                box->SetSize(DesignX(kBoxWidth), height);
                box->tabStop = 1;
                KeyBinderBox* placed = e.Place(std::move(box), StringPrintf("%s_%d", action->name.c_str(), i));
                if (placed && !action->description.empty())
                    e.SetTip(placed, action->description);
            }
            y += rowHeight;
        }
        e.Finish();
    }
    tabs_->SetSize(pageWidth, pageHeight + DesignY(34.0f));
    tabs_->SetPosition(0.0f, 0.0f);

    const float bottom = tabs_->GetRelativeRectVirtual().bottom + DesignY(6.0f);
    float x = 0.0f;
    const auto button = [&](const char* caption, ButtonCallback handler) {
        auto* made = new FlimbsTabButton(TranslateText(caption));
        made->SetName(caption);
        made->onClick = std::move(handler);
        float width = 0.0f, height = 0.0f;
        made->GetSize(&width, &height);
        made->SetSize(width, height);
        made->SetPosition(x, bottom);
        AddChild(made);
        x += width + DesignX(10.0f);
    };
    button("Okay", SaveKeyBindingsAndClose);
    button("Reset to Defaults", ResetKeyBindings);
    FitToChildren(this);
    LoadBoxesFromStore();
}

KeyBinderBox* KeyBindingWindow::Box(const std::string& action, int index)
{
    return dynamic_cast<KeyBinderBox*>(FindChild(StringPrintf("%s_%d", action.c_str(), index)));
}

void KeyBindingWindow::LoadBoxesFromStore()
{
    std::map<std::string, std::string> fields;
    CurrentProfile().LoadBindings(fields);
    ForEachBox(this, [&](KeyBinderBox* box) {
        const auto it = fields.find(box->name);
        box->InitText(it == fields.end() ? std::string() : it->second, true);
    });
}

// ---- KeyBinderBox

KeyBinderBox::KeyBinderBox(const std::string& action, int index) : action_(action), index_(index)
{
    readOnly = 1;
}

Primitive* KeyBinderBox::OnLeftButton(int x, int y, int phase)
{
    if (!enabled || !visible || !PointInRect(x, y))
        return nullptr;
    if (phase == kPhaseDown) {
        auto* watcher = new KeyPressWatcher(this);
        watcher->Show();
    }
    return this;
}

void KeyBinderBox::OnFocusLost(Primitive*)
{
    focus = 0;
}

int KeyBinderBox::OnKey(int, int, bool, IInputDevice&)
{
    return 0;
}

// ---- KeyPressWatcher

KeyPressWatcher::KeyPressWatcher(KeyBinderBox* owner)
    : FlimbsMessageBox(TranslateText("Key binding"), TranslateText("Press any key.")), owner_(owner)
{
    name = "KeyPressWatcher";
    if (StretchGraphicButton* ok = GetButton(0))
        ok->visible = 0; // every key and button is taken, none presses it
    hAlign = kAlignHCentre;
    vAlign = kAlignVCentre;
    SetPosition(500.0f, 500.0f);
    middleWasDown_ = msManager.IsButtonDown(kMouseMiddle);
}

int KeyPressWatcher::OnKey(int value, int code, bool, IInputDevice& device)
{
    if (active && IsPress(value))
        Capture(code, device);
    return 1; // releases and repeats are the watcher's too
}

Primitive* KeyPressWatcher::OnLeftButton(int, int, int phase)
{
    if (active && phase == kPhaseDown)
        Capture(kMouseLeft, msManager);
    return this;
}

Primitive* KeyPressWatcher::OnRightButton(int, int, int phase)
{
    if (active && phase == kPhaseDown)
        Capture(kMouseRight, msManager);
    return this;
}

Primitive* KeyPressWatcher::OnWheel(int)
{
    if (active)
        Capture(kMouseWheel, msManager);
    return this;
}

void KeyPressWatcher::Update()
{
    const bool middleDown = msManager.IsButtonDown(kMouseMiddle);
    if (active && middleDown && !middleWasDown_)
        Capture(kMouseMiddle, msManager);
    middleWasDown_ = middleDown;
    FlimbsMessageBox::Update();
}

void KeyPressWatcher::Capture(int code, const IInputDevice& device)
{
    if (!active)
        return;
    KeyBinderBox* owner = owner_;
    // Only the keyboard's Escape unbinds: code 1 is also a pad's "PADRIGHT".
    const bool unbind = code == kKeyEscape && &device == static_cast<const IInputDevice*>(&kbManager);
    const std::string keyName = unbind ? std::string() : KeyName(code, &device);
    if (owner) {
        owner->SetText(keyName);
        if (!keyName.empty() && BindableActionHasHandler(owner->Action()))
            ForEachBox(dynamic_cast<Container<Primitive>*>(owner->parent), [&](KeyBinderBox* box) {
                if (box != owner && BindableActionHasHandler(box->Action()) && EqualsNoCase(box->GetText(), keyName))
                    box->SetText(std::string());
            });
    }
    Close();
}

// ---- handlers

void OpenKeyBindingWindow(Primitive*, Button*)
{
    if (Primitive* options = FindOpenWindow("options_menu"))
        options->visible = 0;
    auto* window = new KeyBindingWindow;
    if (auto* backdrop = dynamic_cast<PrimContainer*>(FindOpenWindow(FlimbsMenuTemplate::kName))) {
        PlaceScreen(window);
        backdrop->AddChild(window);
    } else if (FindOpenWindow("FLIMBS_HUD")) {
        PositionOverHud(std::unique_ptr<PrimContainer>(window), true);
    } else {
        window->hAlign = kAlignHCentre;
        window->vAlign = kAlignVCentre;
        window->SetPosition(500.0f, 500.0f);
        OpenWindow(window, true);
    }
    LogScreen(window->name);
}

bool ShowOptionsOnClose(PrimContainer*)
{
    if (Primitive* options = FindOpenWindow("options_menu"))
        options->visible = 1;
    return false;
}

void SaveKeyBindingsAndClose(Primitive*, Button* button)
{
    KeyBindingWindow* window = WindowOf(button);
    if (!window)
        return;
    std::map<std::string, std::string> fields;
    ForEachBox(window, [&](KeyBinderBox* box) { fields[box->name] = box->GetText(); });
    CurrentProfile().SaveBindings(fields);
    window->Close();
}

void ResetKeyBindings(Primitive*, Button* button)
{
    KeyBindingWindow* window = WindowOf(button);
    CurrentProfile().LoadDefaults(PlayerProfile::kDefaultBindings);
    if (window)
        window->LoadBoxesFromStore();
}
