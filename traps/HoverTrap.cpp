#include "traps/HoverTrap.h"

#include "app/LanguageTexts.h"
#include "app/Log.h"
#include "app/SimMath.h"
#include "app/XmlUtil.h"
#include "game/GameHooks.h"
#include "gui/LayoutPanel.h"
#include "levelmodel/EditorPicking.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "traps/DeviceDrawing.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "world/Flimb.h"
#include "world/Landscape.h"
#include "world/ParticleEmitters.h"
#include "world/StateHash.h"
#include "world/TrapDraw.h"
#include "world/TrapSpecs.h"
#include "world/ViewServices.h"
#include "world/WorldState.h"

#include <algorithm>

namespace {

const TrapKindRegistration kRegistration(HoverTrap::kKind, [] { return std::unique_ptr<Trap>(new HoverTrap); });

constexpr int32_t kBoardInsetX = 4, kBoardInsetY = 2;
constexpr uint32_t kRangeColour = 0x88FF4444u;
constexpr uint32_t kGaugeColour = 0xFF60E0FFu;

bool MayBoard(const Flimb& flimb)
{
    if (flimb.attributes & (kAttrQuietEnd | kAttrSteered))
        return false;
    switch (flimb.type) {
    case kWalk:
    case kMold:
    case kPuff:
    case kSpin:
    case kFall:
        return true;
    default:
        return false;
    }
}

int32_t Sign(int32_t v)
{
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

// An edge mode that wraps: neither open (0) nor a wall (1).
bool Wraps(int32_t mode)
{
    return mode != TileStore::kEdgeOpen && mode != TileStore::kEdgeWall;
}

} // namespace

HoverTrap::HoverTrap() : MannedDevice(kKind, true)
{
    animating = 1;
}

HoverTrap::~HoverTrap()
{
    HoverTrap::ReleaseGraphics();
}

void HoverTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const HoverTrap&>(source);
    startX = other.startX;
    startY = other.startY;
    rider = other.rider;
    activeMoveX = other.activeMoveX;
    activeMoveY = other.activeMoveY;
    requestedMoveX = other.requestedMoveX;
    requestedMoveY = other.requestedMoveY;
    fuel = other.fuel;
    fuelLeft = other.fuelLeft;
    respawn = other.respawn;
    doEject = other.doEject;
    speed = other.speed;
}

void HoverTrap::ResetRuntime()
{
    MannedDevice::ResetRuntime();
    dotSheet = glowSheet = barSheet = ringBackSheet = ringFrontSheet = nullptr;
}

void HoverTrap::Activate(Flimb*) {}

void HoverTrap::Release()
{
    activeMoveX = activeMoveY = 0;
    Flimb* leaving = rider;
    if (leaving) {
        if (leaving->type == kEntangle && leaving->anim == 3)
            leaving->SetType(kWalk);
        FireEvent(1, leaving, false);
    }
    rider = nullptr;
    doEject = 0;
}

void HoverTrap::Burst()
{
    if (sprite)
        SpawnFromFrame(*sprite, frame, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)),
                       scale_x, scale_y, 0x808080u, nullptr);
    if (respawn) {
        fuelLeft = fuel;
        x = static_cast<float>(startX);
        y = static_cast<float>(startY);
        AddTrapToDrawList(this);
    } else {
        alive = 0;
    }
}

bool HoverTrap::TryStep(int32_t dx, int32_t dy)
{
    gfx::RECT area = Trap::GetBounds();
    if (dx > 0)
        area.right += dx;
    else
        area.left += dx;
    if (dy > 0)
        area.bottom += dy;
    else
        area.top += dy;
    const Landscape* land = GameLandscape();
    if (!land)
        return false;
    if (land->HitTestRect(false, false, area.left, area.top, area.right, area.bottom))
        return false;
    int32_t nx = RoundToInt(x) + dx, ny = RoundToInt(y) + dy;
    const int32_t width = land->Width(), height = land->Height();
    bool wrappedX = false;
    if (nx < 0 && Wraps(land->edgeModes[TileStore::kEdgeLeft])) {
        nx += width;
        wrappedX = true;
    } else if (nx > width - 1 && Wraps(land->edgeModes[TileStore::kEdgeRight])) {
        nx -= width;
        wrappedX = true;
    }
    if (!wrappedX) {
        if (ny < 0 && Wraps(land->edgeModes[TileStore::kEdgeTop]))
            ny += height;
        else if (ny > height - 1 && Wraps(land->edgeModes[TileStore::kEdgeBottom]))
            ny -= height;
    }
    x = static_cast<float>(nx);
    y = static_cast<float>(ny);
    if (rider)
        PlaceRider(*rider, nx, ny);
    AddTrapToDrawList(this);
    return true;
}

void HoverTrap::Update()
{
    if (!rider) {
        if (World().clock.updateCounter % 2 == 0)
            AdvanceFrame(ringBackSheet);
        BoardFirst(kBoardInsetX, kBoardInsetY, MayBoard);
        ExpireCooldowns(kReboardDelay);
        return;
    }
    if (doEject || rider->type != kEntangle || rider->anim != 3) {
        Release();
        return;
    }
    AdvanceFrame(ringBackSheet);
    if (fuelLeft <= 0) {
        Release();
        Burst();
        return;
    }
    if (activeMoveX != 0 || activeMoveY != 0) {
        bool moved = false;
        for (int32_t i = 0; i < speed; ++i) {
            if (activeMoveX != 0 && TryStep(Sign(activeMoveX), 0))
                moved = true;
            if (activeMoveY != 0 && TryStep(0, Sign(activeMoveY)))
                moved = true;
        }
        if (moved)
            --fuelLeft;
    }
    if (!rider)
        return;
    rider->fallDistance = 0;
    rider->counter = 0;
    if (!rider->InWorld())
        rider = nullptr;
}

void HoverTrap::DrawnPosition(float& px, float& py) const
{
    px = static_cast<float>(RoundToInt(x));
    py = static_cast<float>(RoundToInt(y));
    if (rider && (activeMoveX != 0 || activeMoveY != 0) && (frame & 1)) {
        px += 0.5f * (px - static_cast<float>(rider->prevX));
        py += 0.5f * (py - static_cast<float>(rider->prevY));
    }
}

WorldSheetDraw HoverTrap::Look() const
{
    WorldSheetDraw how;
    how.frame = frame;
    how.degrees = rotation;
    how.scaleX = scale_x;
    how.scaleY = scale_y;
    how.alpha = alpha;
    return how;
}

void HoverTrap::DrawBack()
{
    float px = 0.0f, py = 0.0f;
    DrawnPosition(px, py);
    WorldSheetDraw how = Look();
    how.tint = tint;
    DrawWorldSheet(ringBackSheet, px, py, how);
    how.frame = 0;
    DrawWorldSheet(sprite, px, py, how);
}

void HoverTrap::Draw()
{
    float px = 0.0f, py = 0.0f;
    DrawnPosition(px, py);
    if (sprite && barSheet) {
        const int32_t side = sprite->frameWidth / 2 - 10;
        const float barX = px + static_cast<float>(scale_x > 0.0f ? -side : side);
        WorldSheetDraw plain;
        DrawWorldSheet(barSheet, barX, py, plain);
        DrawWorldSheet(dotSheet, barX, py - static_cast<float>(barSheet->frameHeight) / 2.0f, plain);
        const int32_t column = fuel > 0 ? (barSheet->frameHeight - 3) * std::clamp(fuelLeft, 0, fuel) / fuel : 0;
        const float outward = scale_x > 0.0f ? -2.0f : 2.0f;
        const float bottom = py + static_cast<float>(barSheet->frameHeight) / 2.0f - 1.0f;
        DrawWorldBox(barX + outward - 1.0f, bottom - static_cast<float>(column), barX + outward + 1.0f, bottom,
                     kGaugeColour);
    }
    DrawWorldSheet(ringFrontSheet, px, py, Look());
}

bool HoverTrap::DrawEditorLinks(MapObject* filter, bool draw)
{
    const bool linked = Trap::DrawEditorLinks(filter, draw);
    if (draw && LevelEditorOpen() && RangeRadius() > 0) {
        float cx = static_cast<float>(RoundToInt(x)), cy = static_cast<float>(RoundToInt(y));
        WorldToScreen(cx, cy);
        Draw2D::DrawCircle(static_cast<float>(RangeRadius()) * CurrentViewScale(), cx, cy, kRangeColour);
    }
    return linked;
}

void HoverTrap::SendMove(int32_t moveX, int32_t moveY)
{
    requestedMoveX = moveX;
    requestedMoveY = moveY;
    SendState(0, -1);
}

bool HoverTrap::OnDeviceKey(int action, int code, IInputDevice& device)
{
    if (PlaybackPaused() || !RiderTakesLocalOrders(false))
        return false;
    if (code == kDeviceKeyLeft || code == kDeviceKeyRight || code == kDeviceKeyUp || code == kDeviceKeyDown) {
        if (action == kKeyRepeated)
            return true;
        const int32_t step = IsKeyPress(action) ? speed : 0;
        if (code == kDeviceKeyLeft)
            SendMove(-step, requestedMoveY);
        else if (code == kDeviceKeyRight)
            SendMove(step, requestedMoveY);
        else if (code == kDeviceKeyUp)
            SendMove(requestedMoveX, -step);
        else
            SendMove(requestedMoveX, step);
        return true;
    }
    if (KeyBoundTo("TrapExit", code, device)) {
        if (IsKeyPress(action)) {
            doEject = 1;
            SendState(0, -1);
            doEject = 0;
        }
        return true;
    }
    return false;
}

bool HoverTrap::TakeMotionForResend()
{
    if (activeMoveX == 0 && activeMoveY == 0)
        return false;
    requestedMoveX = requestedMoveY = 0;
    return true;
}

std::unique_ptr<LayoutPanel> HoverTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddCheckBox(TranslateText("Respawn"), "respawn", respawn != 0,
                       TranslateText("When fuel has run out, should the device respawn at it's original position"));
    panel->AddSlider(TranslateText("Fuel"), "fuel", static_cast<float>(fuel), static_cast<float>(kMaxFuel), 0.0f,
                     TranslateText("Fuel allows the hover device to move"));
    panel->AddSlider(TranslateText("Speed"), "speed", static_cast<float>(speed), static_cast<float>(kMaxSpeed),
                     static_cast<float>(kMinSpeed), TranslateText("How fast does the device travel"));
    return panel;
}

bool HoverTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    if (panel->ReadInt("fuel", fuel)) {
        fuel = std::clamp(fuel, 0, kMaxFuel);
        fuelLeft = fuel;
    }
    if (panel->ReadInt("speed", speed))
        speed = std::clamp(speed, kMinSpeed, kMaxSpeed);
    panel->ReadChecked("respawn", respawn);
    return true;
}

void HoverTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendKindChild(node, "fuel", fuel);
    AppendKindChild(node, "respawn", respawn);
    AppendKindChild(node, "speed", speed);
    AppendKindChild(node, "do_eject", doEject);
    AppendKindChild(node, "x_move", requestedMoveX);
    AppendKindChild(node, "y_move", requestedMoveY);
}

void HoverTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    if (!node)
        return;
    const bool whole = (mode & 1) != 0;
    int32_t tank = fuel, steps = speed;
    bool again = respawn != 0;
    if (whole) {
        Trap::Load(node, defaults, kTrapLoadAll);
        tank = XmlGetTagInt(node, "fuel", defaults, fuel);
        again = XmlGetTagBool(node, "respawn", defaults);
        steps = XmlGetTagInt(node, "speed", defaults, speed);
    }
    // Every value is read before any is kept: a request that fails leaves the device as it was.
    const bool eject = XmlGetTagBool(node, "do_eject", defaults);
    const int32_t moveX = XmlGetTagInt(node, "x_move", defaults, 0);
    const int32_t moveY = XmlGetTagInt(node, "y_move", defaults, 0);
    if (whole) {
        startX = RoundToInt(x);
        startY = RoundToInt(y);
        fuel = fuelLeft = tank;
        respawn = again ? 1 : 0;
        // A loop count: a file's value outside 1..10 is taken to the nearest end.
        if (steps < kMinSpeed || steps > kMaxSpeed) {
            const int32_t kept = std::clamp(steps, kMinSpeed, kMaxSpeed);
            WriteLog("Hover trap %u: speed %d outside %d..%d; using %d\n", id, steps, kMinSpeed, kMaxSpeed, kept);
            steps = kept;
        }
        speed = steps;
    }
    doEject = eject ? 1 : 0;
    activeMoveX = moveX;
    activeMoveY = moveY;
    if (moveX == 0 && moveY == 0 && rider) {
        rider->prevX = rider->x;
        rider->prevY = rider->y;
    }
    zorder = 0;
    flimborder = 0;
}

void HoverTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    ReleaseSheet(dotSheet);
    ReleaseSheet(glowSheet);
    ReleaseSheet(barSheet);
    ReleaseSheet(ringBackSheet);
    ReleaseSheet(ringFrontSheet);
}

void HoverTrap::LoadGraphics()
{
    if (!sprite)
        sprite = LoadTrapSprites("base", kind);
    if (!dotSheet)
        dotSheet = LoadTrapSprites("dot", kind);
    if (!glowSheet)
        glowSheet = LoadTrapSprites("glow", kind);
    if (!barSheet)
        barSheet = LoadTrapSprites("bar", kind);
    if (!ringBackSheet)
        ringBackSheet = LoadTrapSprites("ring-back", kind);
    if (!ringFrontSheet)
        ringFrontSheet = LoadTrapSprites("ring-front", kind);
}

void HoverTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(startX);
    hasher.Add(startY);
    hasher.Add(FlimbSlot(rider));
    hasher.Add(activeMoveX);
    hasher.Add(activeMoveY);
    hasher.Add(fuel);
    hasher.Add(fuelLeft);
    hasher.Add(respawn);
    hasher.Add(doEject);
    hasher.Add(speed);
}
