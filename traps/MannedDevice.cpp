#include "traps/MannedDevice.h"

#include "app/KeyBindings.h"
#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "game/GameController.h"
#include "game/GameHooks.h"
#include "gui/Container.h"
#include "levelmodel/EditorPicking.h"
#include "media/KeyTables.h"
#include "world/Flimb.h"
#include "world/FlimbQueries.h"
#include "world/Landscape.h"

// The device's face in the GUI tree: the game view offers it every key and mouse press;
// it takes those the device takes and lets every other one pass on. It draws nothing: the
// world's trap layers draw the device.
class DevicePanel final : public Primitive {
public:
    explicit DevicePanel(MannedDevice& device) : device_(device)
    {
        deleteWhenClosed = 0;
        clipToParent = 0;
    }
    int OnKey(int value, int code, bool, IInputDevice& input) override
    {
        return device_.OnDeviceKey(value, code, input) ? 1 : 0;
    }
    Primitive* OnLeftButton(int x, int y, int phase) override
    {
        return device_.OnDeviceMouse(x, y, phase) ? this : nullptr;
    }
    Primitive* OnRightButton(int, int, int) override { return nullptr; }
    Primitive* HitTest(int, int) override { return nullptr; }
    void Draw() override {}
    void Update() override {}

private:
    MannedDevice& device_;
};

MannedDevice::MannedDevice(int32_t kindId, bool ridden)
    : Trap(kindId), panel_(std::make_unique<DevicePanel>(*this)), ridden_(ridden)
{
    if (!LevelEditorOpen())
        if (Landscape* landscape = GameLandscape())
            landscape->AddChild(panel_.get());
}

MannedDevice::~MannedDevice()
{
    LeaveLandscape();
    if (rider && ridden_ && !copy_ && FlimbSlot(rider) >= 0)
        rider->SetType(kWalk);
    rider = nullptr;
}

void MannedDevice::LeaveLandscape()
{
    if (auto* parent = dynamic_cast<Container<Primitive>*>(panel_->parent))
        parent->RemoveChild(panel_.get(), false);
}

void MannedDevice::ResetRuntime()
{
    copy_ = true;
    LeaveLandscape();
}

Primitive* MannedDevice::GuiPart()
{
    return panel_.get();
}

void MannedDevice::ForgetObject(Flimb* flimb)
{
    Trap::ForgetObject(flimb);
    if (flimb && flimb == rider)
        rider = nullptr;
}

bool MannedDevice::OnDeviceKey(int, int, IInputDevice&)
{
    return false;
}

bool MannedDevice::OnDeviceMouse(int, int, int)
{
    return false;
}

bool MannedDevice::KeyBoundTo(const char* action, int code, const IInputDevice& device)
{
    const std::string pressed = KeyNameFromCode(&device, code);
    if (pressed.empty())
        return false;
    const BindingEntry* entry = GetBindingStore().FindByName(action);
    if (!entry)
        return false;
    for (const std::string& bound : entry->keyNames)
        if (!bound.empty() && EqualsNoCase(bound, pressed))
            return true;
    return false;
}

Flimb* MannedDevice::BoardFirst(int32_t insetX, int32_t insetY, const std::function<bool(const Flimb&)>& admits)
{
    const gfx::RECT area = Trap::GetBounds();
    const FlimbList inside = FindFlimbsInArea(true, false, area.left + insetX, area.top + insetY,
                                              area.right - insetX, area.bottom - insetY);
    for (Flimb* flimb : inside) {
        if (HasCooldown(flimb)) {
            NoteCooldown(flimb);
            continue;
        }
        if (flimb->type == kEntangle || !admits(*flimb))
            continue;
        // The device catches a falling flimb: a fall never keeps it from boarding.
        flimb->fallDistance = 0;
        flimb->SetType(kEntangle, false, 3);
        if (flimb->type != kEntangle)
            continue;
        rider = flimb;
        PlaceRider(*flimb, RoundToInt(x), RoundToInt(y));
        FireEvent(0, flimb, false);
        NoteCooldown(flimb);
        return flimb;
    }
    return nullptr;
}

bool MannedDevice::RiderTakesLocalOrders(bool byGroup) const
{
    if (!rider || !(rider->flags & kFlimbSelected))
        return false;
    const PlayerRecord* local = Controller().localPlayer;
    if (!local)
        return false;
    return byGroup ? rider->group == local->group : rider->id == local->highlightedFlimb;
}

void MannedDevice::SendState(uint8_t activate, int32_t flimbId) const
{
    SendTrapState(*this, activate, flimbId);
}

void MannedDevice::PlaceRider(Flimb& flimb, int32_t px, int32_t py)
{
    flimb.x = flimb.targetX = static_cast<int16_t>(px);
    flimb.y = flimb.targetY = static_cast<int16_t>(py);
}
