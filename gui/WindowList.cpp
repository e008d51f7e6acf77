#include "gui/WindowList.h"

#include "gui/Container.h"
#include "gui/GuiClock.h"
#include "gui/GuiDevice.h"
#include "media/ButtonPresses.h"
#include "media/MSManager.h"

#include <algorithm>
#include <atomic>

namespace {

struct PointerRecord {
    uint32_t pressTime = 0;
    uint32_t lastRepeat = 0;
    int x = 0;
    int y = 0;
    uint8_t pressed = 0;
    bool repeating = false;
    Primitive* primitive = nullptr;
};

struct RoutingState {
    std::vector<Primitive*> windows;
    // Atomic: also raised by containers that a loader's worker thread builds.
    struct ChangedFlag {
        std::atomic<bool> value{false};
        ChangedFlag() = default;
        ChangedFlag& operator=(const ChangedFlag& other) { value.store(other.value.load()); return *this; }
        ChangedFlag& operator=(bool set) { value.store(set); return *this; }
        operator bool() const { return value.load(); }
    } changed;
    Primitive* focus = nullptr;
    Primitive* previousFocus = nullptr;
    Primitive* modal = nullptr;
    bool modalActive = false;
    PointerRecord left;
    PointerRecord right;
    PointerRecord hover;
    PointerRecord under;
    std::string cursorName = "regular";
};

// Never destroyed: primitives that outlive the program's static objects still forget
// themselves here.
RoutingState& State()
{
    static RoutingState* state = new RoutingState;
    return *state;
}

bool InList(const Primitive* window)
{
    const auto& windows = State().windows;
    return std::find(windows.begin(), windows.end(), window) != windows.end();
}

bool Usable(const Primitive* window)
{
    return window->active && window->visible && window->enabled;
}

// Calls fn for each window in list order that is still listed when its turn comes; stops
// when fn returns true.
template <class Fn>
void ForEachWindowSafely(Fn fn)
{
    const std::vector<Primitive*> snapshot = State().windows;
    for (Primitive* window : snapshot)
        if (InList(window) && fn(window))
            return;
}

void ClearRecordsOf(const Primitive* primitive)
{
    RoutingState& s = State();
    for (PointerRecord* record : {&s.left, &s.right, &s.hover, &s.under})
        if (record->primitive == primitive)
            *record = PointerRecord{};
}

void RouteButton(bool right, int phase, uint32_t time, int x, int y)
{
    RoutingState& s = State();
    PointerRecord& record = right ? s.right : s.left;
    auto send = [right](Primitive* target, int px, int py, int ph) {
        return right ? target->OnRightButton(px, py, ph) : target->OnLeftButton(px, py, ph);
    };
    if (phase == kPhaseDown) {
        Primitive* taker = nullptr;
        if (s.modal && s.modal->visible && s.modal->enabled) {
            taker = send(s.modal, x, y, kPhaseDown);
        } else {
            ForEachWindowSafely([&](Primitive* window) {
                if (Usable(window))
                    taker = send(window, x, y, kPhaseDown);
                return taker != nullptr;
            });
        }
        if (!taker)
            return;
        record = PointerRecord{time, time, x, y, 1, false, taker};
        if (taker != s.focus)
            SetKeyboardFocus(taker);
    } else if (phase == kPhaseUp) {
        Primitive* captured = record.primitive;
        record = PointerRecord{};
        if (captured)
            send(captured, x, y, kPhaseUp);
    }
}

void RepeatClick(bool right, int x, int y, uint32_t now)
{
    RoutingState& s = State();
    PointerRecord& record = right ? s.right : s.left;
    Primitive* captured = record.primitive;
    if (!captured || !record.pressed)
        return;
    const RepeatSetting& repeat = right ? captured->rightRepeat : captured->leftRepeat;
    if (!repeat.enabled)
        return;
    const bool due = record.repeating ? now - record.lastRepeat >= static_cast<uint32_t>(repeat.rate)
                                      : now - record.pressTime >= static_cast<uint32_t>(repeat.delay);
    if (!due)
        return;
    record.repeating = true;
    record.lastRepeat = now;
    if (right)
        captured->OnRightButton(x, y, kPhaseHeld);
    else
        captured->OnLeftButton(x, y, kPhaseHeld);
}

void HoverPass(int x, int y)
{
    RoutingState& s = State();
    Primitive* under = nullptr;
    if (s.left.primitive && s.left.pressed) {
        under = s.left.primitive;
    } else if (s.right.primitive && s.right.pressed) {
        under = s.right.primitive;
    } else if (s.modal && s.modal->visible && s.modal->enabled) {
        under = s.modal->HitTest(x, y);
    } else {
        for (Primitive* window : s.windows) {
            if (!Usable(window))
                continue;
            if ((under = window->HitTest(x, y)))
                break;
        }
    }
    s.under.primitive = under;
    s.under.x = x;
    s.under.y = y;
    if (under != s.hover.primitive) {
        Primitive* old = s.hover.primitive;
        s.hover.primitive = under;
        s.hover.x = x;
        s.hover.y = y;
        if (old)
            old->OnPointerLeft(under);
    }
    const Primitive* now = s.hover.primitive;
    s.cursorName = now ? s.hover.primitive->GetCursorName() : "regular";
}

bool StandsInOpenWindow(const Primitive* primitive)
{
    const Primitive* root = primitive;
    while (root->parent)
        root = root->parent;
    return root->active && InList(root);
}

void CheckFocusHolder()
{
    RoutingState& s = State();
    for (int attempt = 0; attempt < 3 && s.focus && !StandsInOpenWindow(s.focus); ++attempt)
        SetKeyboardFocus(nullptr);
    if (s.focus && !StandsInOpenWindow(s.focus)) {
        s.focus = nullptr;
        s.previousFocus = nullptr;
    }
}

void DropClosedWindows()
{
    ForEachWindowSafely([](Primitive* window) {
        if (window->active)
            return false;
        ForgetPrimitive(window);
        if (window->deleteWhenClosed)
            delete window;
        return false;
    });
}

} // namespace

void OpenWindow(Primitive* window, bool atFront)
{
    if (!window)
        return;
    if (!window->highlight) {
        window->visible = 1;
        window->highlight = 1;
        window->active = 1;
    }
    if (InList(window))
        return;
    auto& windows = State().windows;
    if (atFront)
        windows.insert(windows.begin(), window);
    else
        windows.push_back(window);
    State().changed = true;
}

bool IsWindowOpen(const Primitive* window)
{
    return window && window->active && InList(window);
}

Primitive* FindOpenWindow(const std::string& name)
{
    for (Primitive* window : State().windows) {
        if (!window->active)
            continue;
        if (window->name == name)
            return window;
        if (window->GetPrimitiveKind() == 2)
            if (auto* container = dynamic_cast<Container<Primitive>*>(window))
                if (Primitive* child = container->FindChild(name))
                    return child;
    }
    return nullptr;
}

void DeactivateAllWindows()
{
    ReleaseAllCaptures();
    ForEachWindowSafely([](Primitive* window) {
        if (window->active)
            window->Deactivate();
        return false;
    });
}

void ForgetPrimitive(Primitive* primitive)
{
    if (!primitive)
        return;
    RoutingState& s = State();
    ClearRecordsOf(primitive);
    if (s.focus == primitive) {
        primitive->OnFocusLost(nullptr);
        s.focus = s.previousFocus;
        s.previousFocus = nullptr;
        if (s.focus)
            s.focus->OnFocusGained();
    }
    if (s.previousFocus == primitive)
        s.previousFocus = nullptr;
    if (s.modal == primitive) {
        s.modal = nullptr;
        s.modalActive = false;
    }
    buttonPresses.Forget(primitive);
    auto& windows = s.windows;
    const auto place = std::find(windows.begin(), windows.end(), primitive);
    if (place != windows.end()) {
        windows.erase(place);
        s.changed = true;
    }
}

void CloseWindow(Primitive* window)
{
    ForgetPrimitive(window);
}

void CloseAllWindows()
{
    const std::vector<Primitive*> windows = State().windows;
    State().windows.clear();
    State().changed = true;
    for (Primitive* window : windows) {
        ForgetPrimitive(window);
        if (window->deleteWhenClosed)
            delete window;
        else
            window->Deactivate();
    }
}

void SetKeyboardFocus(Primitive* primitive)
{
    RoutingState& s = State();
    if (primitive == s.focus)
        return;
    Primitive* old = s.focus;
    if (!primitive) {
        s.focus = s.previousFocus;
        s.previousFocus = nullptr;
    } else {
        s.previousFocus = old;
        s.focus = primitive;
    }
    if (old)
        old->OnFocusLost(nullptr);
    if (s.focus)
        s.focus->OnFocusGained();
}

Primitive* GetKeyboardFocus() { return State().focus; }
Primitive* GetPreviousKeyboardFocus() { return State().previousFocus; }

void ReleaseAllCaptures()
{
    RoutingState& s = State();
    if (s.left.primitive && s.left.pressed) {
        s.left.pressed = 0;
        s.left.primitive->OnLeftButton(s.left.x, s.left.y, kPhaseUp);
    }
    if (s.right.primitive && s.right.pressed) {
        s.right.pressed = 0;
        s.right.primitive->OnRightButton(s.right.x, s.right.y, kPhaseUp);
    }
    if (s.hover.primitive)
        s.hover.primitive->OnPointerLeft(nullptr);
    if (s.focus)
        s.focus->OnFocusLost(nullptr);
    s.left = s.right = s.hover = s.under = PointerRecord{};
    s.focus = nullptr;
    s.previousFocus = nullptr;
}

void GetPointerPosition(int* x, int* y)
{
    if (x)
        *x = State().under.x;
    if (y)
        *y = State().under.y;
}

Primitive* GetModalWindow() { return State().modal; }
bool IsModalActive() { return State().modalActive; }

void SetModalWindow(Primitive* window, bool blocksRest)
{
    State().modal = window;
    State().modalActive = window && blocksRest;
}

const std::vector<Primitive*>& OpenWindows() { return State().windows; }
bool WindowListChanged() { return State().changed; }
void MarkWindowListChanged() { State().changed = true; }

void RouteLeftButton(int phase, uint32_t time, int x, int y) { RouteButton(false, phase, time, x, y); }
void RouteRightButton(int phase, uint32_t time, int x, int y) { RouteButton(true, phase, time, x, y); }

void RouteWheel(int value)
{
    RoutingState& s = State();
    const int direction = value < 1 ? 0 : 1;
    if (s.modal) {
        s.modal->OnWheel(direction);
        return;
    }
    ForEachWindowSafely([&](Primitive* window) { return Usable(window) && window->OnWheel(direction) != nullptr; });
}

IKeyTarget* RouteKeyToGui(int value, int code, bool shift, IInputDevice& device)
{
    RoutingState& s = State();
    if (Primitive* holder = s.focus; holder && holder->visible && holder->enabled)
        if (holder->OnKey(value, code, shift, device) != 0)
            return holder;
    if (Primitive* modal = s.modal)
        return modal->OnKey(value, code, shift, device) != 0 ? modal : nullptr;
    IKeyTarget* taker = nullptr;
    ForEachWindowSafely([&](Primitive* window) {
        if (Usable(window) && window->OnKey(value, code, shift, device) != 0)
            taker = window;
        return taker != nullptr;
    });
    return taker;
}

Primitive* GetLeftCapture() { return State().left.primitive; }
Primitive* GetRightCapture() { return State().right.primitive; }
Primitive* GetHoverPrimitive() { return State().hover.primitive; }
const std::string& GetPointerCursorName() { return State().cursorName; }

void UpdateGuiInput(int pointerX, int pointerY)
{
    RoutingState& s = State();
    DropClosedWindows();
    if (s.changed) {
        s.changed = false;
        HoverPass(pointerX, pointerY);
    }
    CheckFocusHolder();
    const uint32_t now = GuiNow();
    RepeatClick(false, pointerX, pointerY, now);
    RepeatClick(true, pointerX, pointerY, now);
    HoverPass(pointerX, pointerY);
}

void UpdateOpenWindows()
{
    ForEachWindowSafely([](Primitive* window) {
        if (window->active && window->visible)
            window->Update();
        return false;
    });
}

void DrawOpenWindows()
{
    RoutingState& s = State();
    const GuiViewport full = FullScreenViewport();
    // From the back to the front: the front window, which input reaches first, lies on top.
    for (auto it = s.windows.rbegin(); it != s.windows.rend(); ++it) {
        Primitive* window = *it;
        if (!window->visible || !window->highlight || !window->enabled)
            continue;
        if (s.modalActive && window == s.modal)
            continue;
        SetDeviceViewport(&full);
        window->Draw();
    }
    if (s.modalActive && s.modal && s.modal->visible) {
        SetDeviceViewport(&full);
        s.modal->Draw();
    }
}

void InstallGuiInputRouting()
{
    buttonPresses.SetGuiRouter(RouteKeyToGui);
    MSManager::PointerHooks hooks;
    hooks.button = [](int button, int value, int x, int y, uint32_t time) {
        if (value == kPressRepeating)
            return;
        const int phase = value != 0 ? kPhaseDown : kPhaseUp;
        if (button == 0)
            RouteLeftButton(phase, time, x, y);
        else
            RouteRightButton(phase, time, x, y);
    };
    hooks.wheel = [](int delta, int, int, uint32_t) { RouteWheel(delta); };
    msManager.SetPointerHooks(std::move(hooks));
}

void RemoveGuiInputRouting()
{
    buttonPresses.SetGuiRouter({});
    msManager.SetPointerHooks({});
}

void ResetGuiInput()
{
    State() = RoutingState{};
}
