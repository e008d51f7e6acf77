#include "traps_flow/CameraTrap.h"

#include "app/LanguageTexts.h"
#include "app/SimMath.h"
#include "app/XmlUtil.h"
#include "game/GameServices.h"
#include "game/GameViewPort.h"
#include "gui/EditBox.h"
#include "gui/LayoutPanel.h"
#include "levelmodel/EditorPicking.h"
#include "levelmodel/MapTrap.h"
#include "media/Draw2D.h"
#include "traps/EditorOnlyDraw.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "world/StateHash.h"
#include "world/ViewServices.h"

#include <algorithm>
#include <cmath>

namespace {

const TrapKindRegistration kRegistration(CameraTrap::kKind, [] { return std::unique_ptr<Trap>(new CameraTrap); });

constexpr float kPi = 3.1415927f;
constexpr uint32_t kDestinationLineColour = 0xFFFFFF00u;

// "Set View": copies the game view into the destination boxes of the panel.
void OnSetView(Primitive* parent, Button* /*button*/)
{
    LayoutPanel* panel = LayoutPanel::Of(parent);
    int32_t x = 0, y = 0;
    float zoom = 0.0f, degrees = 0.0f;
    if (!panel || !CurrentViewAsCamera(x, y, zoom, degrees))
        return;
    const auto set = [panel](const char* key, const std::string& text) {
        if (auto* box = dynamic_cast<EditBox*>(panel->Find(key))) {
            box->SetText(text);
            box->Commit();
        }
    };
    set("destx", std::to_string(x));
    set("desty", std::to_string(y));
    set("destZoom", std::to_string(zoom));
    set("min_roll", std::to_string(degrees));
}

// "Test": the view of the trap being edited.
void OnTestView(Primitive* /*parent*/, Button* /*button*/)
{
    if (const auto* camera = dynamic_cast<const CameraTrap*>(Trap::EditedTrap()))
        camera->ApplyView();
}

} // namespace

bool CurrentViewAsCamera(int32_t& x, int32_t& y, float& zoom, float& minRollDegrees)
{
    GameViewPort* view = FindGameViewPort();
    if (!view)
        return false;
    x = TruncToInt(view->X());
    y = TruncToInt(view->Y());
    zoom = view->GetZoom();
    float degrees = view->GetRotation() * 180.0f / kPi + 90.0f;
    if (degrees >= 360.0f)
        degrees = 0.0f;
    minRollDegrees = degrees;
    return true;
}

CameraTrap::CameraTrap() : Trap(kKind) {}

void CameraTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const CameraTrap&>(source);
    cameraMode = other.cameraMode;
    minRoll = other.minRoll;
    maxRoll = other.maxRoll;
    destX = other.destX;
    destY = other.destY;
    destZoom = other.destZoom;
    transitionTime = other.transitionTime;
    roll = other.roll;
    rollingUp = other.rollingUp;
    triggered = other.triggered;
    group = other.group;
}

float CameraTrap::ViewAngleDegrees() const
{
    const float angle = minRoll - 90.0f;
    return angle <= 0.0f ? 270.0f : angle;
}

void CameraTrap::ApplyView() const
{
    GameViewPort* view = FindGameViewPort();
    if (!view)
        return;
    switch (cameraMode) {
    case kGoto:
        view->PanTo(destX, destY, kMoveMs, true);
        break;
    case kZoom:
        view->SetZoom(destZoom, kMoveMs);
        break;
    case kView:
    case kInitialView:
    case kPreInitialView: {
        const int time = transitionTime == 0 ? -1 : transitionTime;
        view->SetRotation(ViewAngleDegrees() * kPi / 180.0f, time, destZoom);
        // A rotation at once leaves the zoom alone: the view takes it at once too.
        if (time == -1)
            view->SetZoom(destZoom, -1);
        view->PanTo(destX, destY, time, false);
        break;
    }
    default: break;
    }
}

void CameraTrap::Update()
{
    if (!enabled)
        return;
    if (cameraMode == kRoll) {
        if (minRoll >= roll)
            rollingUp = 1;
        else if (maxRoll <= roll)
            rollingUp = 0;
        roll += rollingUp ? kRollSpeed : -kRollSpeed;
        // The view is this game's own: rolling it changes nothing of the game.
        if (GameViewPort* view = FindGameViewPort())
            view->SetRotation(roll, -1, -1.0f);
    }
    if (!triggered)
        return;
    triggered = 0;
    if (!IsPlaybackRunning())
        ApplyView();
    FireEvent(0, nullptr, false);
}

void CameraTrap::Activate(Flimb* /*by*/)
{
    triggered = 1;
}

void CameraTrap::Draw()
{
    const uint8_t keptAlpha = alpha;
    const uint32_t keptTint = tint;
    alpha = 255;
    tint = 0x808080u;
    DrawInEditorOnly(*this);
    alpha = keptAlpha;
    tint = keptTint;
}

bool CameraTrap::DrawEditorLinks(MapObject* filter, bool draw)
{
    const bool linked = Trap::DrawEditorLinks(filter, draw);
    if (draw) {
        float fromX = static_cast<float>(RoundToInt(x)), fromY = static_cast<float>(RoundToInt(y));
        float toX = static_cast<float>(destX), toY = static_cast<float>(destY);
        WorldToScreen(fromX, fromY);
        WorldToScreen(toX, toY);
        Draw2D::DrawLine(fromX, fromY, toX, toY, kDestinationLineColour);
    }
    return linked;
}

std::unique_ptr<LayoutPanel> CameraTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddChoice(TranslateText("Mode"), "camera_mode",
                     {"Roll", "Goto", "Zoom", "Rotate", "View", "Initial View", "Pre-Initial View"},
                     std::clamp(cameraMode, 0, 6));
    panel->AddTextField(TranslateText("Min Roll"), "min_roll", "%.1f", minRoll,
                        TranslateText("Minimum camera roll, in degs"));
    panel->AddTextField(TranslateText("Max Roll"), "max_roll", "%.1f", maxRoll,
                        TranslateText("Maxium camera roll, in degs"));
    panel->AddTextField(TranslateText("Dest."), "destx", "%d", destX, TranslateText("X destination to move to"));
    panel->AddTextField(std::string(), "desty", "%d", destY, TranslateText("Y destination to move to"));
    panel->AddTextField(std::string(), "destZoom", "%.1f", destZoom, TranslateText("zoom level to move to"));
    panel->AddTextField(TranslateText("Transition Time"), "transition_time", "%d", transitionTime,
                        TranslateText("Milliseconds for transition - 0 for immediate"));
    panel->AddButton(TranslateText("Set View"), "x47j2", &OnSetView);
    panel->AddButton(TranslateText("Test"), "x4dj2", &OnTestView);
    return panel;
}

bool CameraTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    panel->ReadFloat("min_roll", minRoll, -1.0e6f, 1.0e6f);
    panel->ReadFloat("max_roll", maxRoll, -1.0e6f, 1.0e6f);
    if (panel->ReadInt("camera_mode", cameraMode))
        cameraMode = std::clamp(cameraMode, 0, 6);
    panel->ReadInt("destx", destX);
    panel->ReadInt("desty", destY);
    panel->ReadInt("transition_time", transitionTime);
    panel->ReadFloat("destZoom", destZoom, 0.0f, 1.0e6f);
    return true;
}

void CameraTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    XmlAddChildFloat(node, "min_roll", minRoll);
    XmlAddChildFloat(node, "max_roll", maxRoll);
    AppendKindChild(node, "destx", destX);
    AppendKindChild(node, "desty", destY);
    AppendKindChild(node, "transition_time", transitionTime);
    AppendKindChild(node, "camera_mode", cameraMode);
    XmlAddChildFloat(node, "destZoom", destZoom);
}

void CameraTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    minRoll = XmlGetTagFloat(node, "min_roll", defaults, minRoll);
    maxRoll = XmlGetTagFloat(node, "max_roll", defaults, maxRoll);
    destX = XmlGetTagInt(node, "destx", defaults, destX);
    destY = XmlGetTagInt(node, "desty", defaults, destY);
    transitionTime = XmlGetTagInt(node, "transition_time", defaults, transitionTime);
    cameraMode = XmlGetTagInt(node, "camera_mode", defaults, cameraMode);
    destZoom = XmlGetTagFloat(node, "destZoom", defaults, destZoom);
}

void CameraTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(cameraMode);
    hasher.Add(minRoll);
    hasher.Add(maxRoll);
    hasher.Add(destX);
    hasher.Add(destY);
    hasher.Add(destZoom);
    hasher.Add(transitionTime);
    hasher.Add(roll);
    hasher.Add(rollingUp);
    hasher.Add(triggered);
    hasher.Add(group);
}
