#include "traps/AntiGravTrap.h"

#include "app/LanguageTexts.h"
#include "app/Random.h"
#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/Directions.h"
#include "game/GameController.h"
#include "gui/ComboBox.h"
#include "gui/GuiDevice.h"
#include "gui/LayoutPanel.h"
#include "gui/ListBox.h"
#include "levelmodel/EditorPicking.h"
#include "media/AnimSurface.h"
#include "media/Draw2D.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "world/Flimb.h"
#include "world/StateHash.h"
#include "world/TrapSpecs.h"
#include "world/ViewServices.h"
#include "world/WorldState.h"

#include <libxml/tree.h>

#include <algorithm>

namespace {

const TrapKindRegistration kRegistration(AntiGravTrap::kKind,
                                         [] { return std::unique_ptr<Trap>(new AntiGravTrap()); });

enum : uint8_t { kDown = 0, kUp = 1, kLeft = 2, kRight = 3 };
// The flimb angle of each gravity direction.
constexpr int16_t kGravityAngle[4] = {0, 180, 270, 90};
const char* const kRuleTexts[5] = {"DOWN", "UP", "LEFT", "RIGHT", "ANY"};

bool IsDirection(int32_t value)
{
    return value >= 0 && value <= 3;
}

// The quarter turns that reverse the walking direction.
bool ReversesWalk(uint8_t from, uint8_t to)
{
    return (from == kDown && to == kRight) || (from == kRight && to == kDown) || (from == kLeft && to == kUp) ||
           (from == kUp && to == kLeft);
}

// The turns after which a steered flimb's held key is taken again.
bool ResteersKeys(uint8_t from, uint8_t to)
{
    switch (from) {
    case kDown: return to == kRight || to == kUp;
    case kRight: return to == kDown || to == kLeft;
    case kLeft: return to == kUp || to == kRight;
    case kUp: return to == kLeft || to == kDown;
    default: return false;
    }
}

// The trap of the panel a button lies in.
AntiGravTrap* PanelTrap(Primitive* widget, LayoutPanel*& panel)
{
    panel = nullptr;
    for (Primitive* node = widget; node && !panel; node = node->parent)
        panel = dynamic_cast<LayoutPanel*>(node);
    if (!panel)
        return nullptr;
    Trap* trap = FindEditorTrap(panel->ownerId);
    if (!trap && Trap::EditedTrap() && Trap::EditedTrap()->id == panel->ownerId)
        trap = Trap::EditedTrap();
    return dynamic_cast<AntiGravTrap*>(trap);
}

float ScreenScaleFactor()
{
    const float w = static_cast<float>(GetScreenWidth()), h = static_cast<float>(GetScreenHeight());
    if (w <= 0.0f || h <= 0.0f)
        return 1.0f;
    return w * 3.0f >= h * 4.0f ? h / 768.0f : w / 1024.0f;
}

} // namespace

AntiGravTrap::AntiGravTrap() : Trap(kKind)
{
    animating = 1;
    sprite = nullptr;
}

AntiGravTrap::~AntiGravTrap()
{
    cooldowns.clear();
    AntiGravTrap::ReleaseGraphics();
}

gfx::RECT AntiGravTrap::AreaRect() const
{
    const int32_t px = TruncToInt(x), py = TruncToInt(y);
    return gfx::RECT{px - areaWidth / 2, py - areaHeight / 2, px + areaWidth / 2, py + areaHeight / 2};
}

gfx::RECT AntiGravTrap::GetBounds() const
{
    return useArea ? AreaRect() : Trap::GetBounds();
}

std::optional<FlimbList> AntiGravTrap::TestContact(Flimb* flimb, uint8_t filter, bool /*atPoint*/, int32_t /*px*/,
                                                   int32_t /*py*/, const gfx::RECT* /*area*/)
{
    if (useArea) {
        const gfx::RECT area = AreaRect();
        return Trap::TestContact(flimb, filter, false, 0, 0, &area);
    }
    return Trap::TestContact(flimb, filter, true, TruncToInt(x), TruncToInt(y), nullptr);
}

void AntiGravTrap::Update()
{
    if (!enabled) {
        cooldowns.clear();
        return;
    }
    AdvanceFrame();
    if (auto touching = TestContact(nullptr, 1, false, 0, 0, nullptr)) {
        for (Flimb* flimb : *touching) {
            if (HasCooldown(flimb))
                NoteCooldown(flimb);
            else
                OnFlimbContact(flimb);
        }
    }
    ExpireCooldowns(10);
    if (glowAlpha > 254)
        glowRising = 0;
    if (glowAlpha >= 0)
        glowAlpha = std::clamp(glowAlpha + (glowRising ? 45 : -35), 0, 255);
}

void AntiGravTrap::Reanchor(Flimb& flimb, uint8_t from, uint8_t to)
{
    const int32_t h = RoundToInt(static_cast<float>(flimb.Layout().height) * flimb.scale * 0.5f);
    const int32_t side = RoundToInt(1.5f * static_cast<float>(h));
    const bool spin = flimb.type == kSpin;
    int32_t nx = flimb.x, ny = flimb.y;
    switch (from) {
    case kDown:
        if (to == kUp) {
            ny -= 2 * h;
        } else if (spin) {
            ny -= 2 * h;
            nx += to == kLeft ? -side : side;
        }
        break;
    case kUp:
        if (to == kDown) {
            ny += 2 * h;
        } else if (spin) {
            ny += 2 * h;
            nx += to == kLeft ? -side : side;
        }
        break;
    case kLeft:
        if (to == kRight) {
            nx += 2 * h;
        } else if (spin) {
            nx += 2 * h;
            ny += to == kDown ? side : -side;
        }
        break;
    case kRight:
        if (to == kLeft) {
            nx -= 2 * h;
        } else if (spin) {
            nx -= 2 * h;
            ny += to == kDown ? side : -side;
        }
        break;
    default:
        break;
    }
    flimb.x = static_cast<int16_t>(std::clamp(nx, INT16_MIN + 0, INT16_MAX + 0));
    flimb.y = static_cast<int16_t>(std::clamp(ny, INT16_MIN + 0, INT16_MAX + 0));
}

void AntiGravTrap::OnFlimbContact(Flimb* flimb)
{
    if (!flimb || flimb->type == kGraviturn)
        return;
    // The Quantum Time preview's copy sees the rules as they stand: no random rewrite.
    const bool preview = IsPreviewFlimb(flimb);
    const bool quiet = (flimb->attributes & kAttrQuietEnd) != 0;
    const uint8_t from = flimb->gravity;
    int rule = -1;
    for (int slot = 0; slot < 4 && rule < 0; ++slot) {
        if (randomGravity && !preview)
            newGravity[static_cast<size_t>(slot)] = SimRand() % 4;
        const int32_t input = oldGravity[static_cast<size_t>(slot)];
        const int32_t output = newGravity[static_cast<size_t>(slot)];
        if (IsDirection(output) && from != output && (from == input || input == kAny))
            rule = slot;
    }
    if (rule < 0)
        return;
    const uint8_t to = static_cast<uint8_t>(newGravity[static_cast<size_t>(rule)]);

    if (!pickup_mode) {
        if (flimb->type == kPuff || flimb->type == kSpin) {
            Reanchor(*flimb, from, to);
        } else {
            flimb->SetType(kGraviturn, false, 0);
            flimb->angle = from < 4 ? kGravityAngle[from] : 0;
            flimb->counter = static_cast<int8_t>(from);
            int32_t dx = 0, dy = -TruncToInt(20.0f * flimb->scale);
            RotateVectorByDirection(from, dx, dy);
            flimb->x = static_cast<int16_t>(flimb->x + dx);
            flimb->y = static_cast<int16_t>(flimb->y + dy);
            if (useArea) {
                flimb->targetX = flimb->x;
                flimb->targetY = flimb->y;
            } else {
                flimb->targetX = static_cast<int16_t>(TruncToInt(x));
                flimb->targetY = static_cast<int16_t>(TruncToInt(y));
            }
        }
    }
    if (ReversesWalk(from, to))
        flimb->walkSpeed = static_cast<int8_t>(-flimb->walkSpeed);
    if (pickup_mode)
        Reanchor(*flimb, from, to);
    flimb->gravity = to;
    flimb->prevX = flimb->x;
    flimb->prevY = flimb->y;
    flimb->fallDistance = 0;
    if (flimb->attributes & kAttrSteered) {
        if (flimb->steerKeys != 0 && ResteersKeys(from, to))
            flimb->steerKeys = (flimb->steerKeys & 1) ? 2 : 1;
        flimb->flags2 &= static_cast<uint8_t>(~kFlimbJumping);
        flimb->jumpVX = 0;
        flimb->jumpVY = 0;
    }
    if (preview)
        return;
    NoteCooldown(flimb);
    if (!quiet) {
        ConsumePickup();
        FireEvent(0, flimb, false);
        if (audible)
            PlayEffectAt(49, flimb->x, flimb->y);
        if (glowAlpha <= 55) {
            glowRising = 1;
            glowAlpha = 35;
        }
    }
}

void AntiGravTrap::Draw()
{
    if (useArea) {
        if (LevelEditorOpen()) {
            const gfx::RECT area = AreaRect();
            float left = static_cast<float>(area.left), top = static_cast<float>(area.top);
            float right = static_cast<float>(area.right), bottom = static_cast<float>(area.bottom);
            WorldToScreen(left, top);
            WorldToScreen(right, bottom);
            Draw2D::DrawFilledRect(std::min(left, right), std::min(top, bottom), std::max(left, right),
                                   std::max(top, bottom), (static_cast<uint32_t>(alpha) << 24) | 0xFFCCCCu);
        }
        return;
    }
    Trap::Draw();
    if (pickup_mode || !lightSheet || !sprite)
        return;
    int32_t u = static_cast<int32_t>((World().clock.updateCounter + 20u) % 40u);
    if (u > 20)
        u = 40 - u;
    const float s = ScreenScaleFactor();
    const int32_t halfW = RoundToInt(static_cast<float>(sprite->frameWidth) / 2.0f);
    const int32_t halfH = RoundToInt(static_cast<float>(sprite->frameHeight) / 2.0f);
    const int32_t px = RoundToInt(x), py = RoundToInt(y);
    Draw2D::SignedAddScope signedAdd;
    SheetDraw how;
    how.scaleX = scale_x;
    how.scaleY = scale_y;
    how.colour = tint;
    how.alpha = static_cast<uint8_t>(std::min(25 * u, 192));
    constexpr float kHalfPi = 1.5707963705062866f;
    for (int32_t output : newGravity) {
        if (!IsDirection(output))
            continue;
        int32_t lx = px, ly = py;
        switch (output) {
        case kDown: ly += halfH - RoundToInt(4.0f * s), how.radians = 0.0f; break;
        case kUp: ly += -halfH + RoundToInt(8.0f * s), how.radians = 2.0f * kHalfPi; break;
        case kLeft: lx += -halfW + RoundToInt(4.0f * s), how.radians = kHalfPi; break;
        default: lx += halfW - RoundToInt(4.0f * s), how.radians = 3.0f * kHalfPi; break;
        }
        DrawSheet(lightSheet, static_cast<float>(lx), static_cast<float>(ly), how);
    }
}

void AntiGravTrap::DrawBack()
{
    if (useArea || pickup_mode || glowAlpha <= 0 || !glowSheet)
        return;
    SheetDraw how;
    how.scaleX = scale_x;
    how.scaleY = scale_y;
    how.radians = static_cast<float>(glowAlpha);
    how.colour = 0xFFFFFF;
    how.alpha = static_cast<uint8_t>(std::min(glowAlpha, 255));
    DrawSheet(glowSheet, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), how);
}

std::string AntiGravTrap::RuleText(int32_t input, int32_t output)
{
    auto text = [](int32_t v) { return v >= 0 && v <= 4 ? kRuleTexts[v] : "?"; };
    return StringPrintf("%s => %s", text(input), text(output));
}

void AntiGravTrap::AddRuleValues(int32_t input, int32_t output)
{
    for (size_t slot = 0; slot < 4; ++slot) {
        if (oldGravity[slot] == kEmpty) {
            oldGravity[slot] = input;
            newGravity[slot] = output;
            return;
        }
    }
    oldGravity[3] = input;
    newGravity[3] = output;
}

std::unique_ptr<LayoutPanel> AntiGravTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddLabel(TranslateText("Input"));
    panel->AddLabel(TranslateText("Output"));
    panel->AddChoice(std::string(), "old_gravity",
                     {TranslateText("Down"), TranslateText("Up"), TranslateText("Left"), TranslateText("Right"),
                      TranslateText("Any")},
                     0);
    panel->AddChoice(std::string(), "new_gravity",
                     {TranslateText("Down"), TranslateText("Up"), TranslateText("Left"), TranslateText("Right")}, 0);
    std::vector<std::string> lines;
    for (size_t slot = 0; slot < 4; ++slot)
        if (oldGravity[slot] != kEmpty)
            lines.push_back(RuleText(oldGravity[slot], newGravity[slot]));
    panel->AddList("curr_gravity", lines);
    panel->AddLabel(TranslateText("Current Rules"));
    panel->AddButton(TranslateText("Add Rule"), std::string(), &AntiGravTrap::AddRule);
    panel->AddButton(TranslateText("Clear Rules"), std::string(), &AntiGravTrap::ClearRules);
    panel->AddCheckBox(TranslateText("Enabled"), "enabled", enabled != 0, std::string());
    panel->AddCheckBox(TranslateText("Random"), "random_grav", randomGravity != 0,
                       TranslateText("The new gravity will be random"));
    panel->AddCheckBox(TranslateText("Visible"), "visible", visible != 0, std::string());
    panel->AddCheckBox(TranslateText("Use Area"), "use_area", useArea != 0,
                       TranslateText("Check to create a gravity area (all flimbs in area flip to selected gravity)"));
    panel->AddTextField(TranslateText("Width"), "width", "%d", areaWidth, std::string());
    panel->AddTextField(TranslateText("Height"), "height", "%d", areaHeight, std::string());
    return panel;
}

void AntiGravTrap::AddRule(Primitive* /*parent*/, Button* button)
{
    LayoutPanel* panel = nullptr;
    AntiGravTrap* trap = PanelTrap(button, panel);
    if (!trap || !panel)
        return;
    auto* input = dynamic_cast<ComboBox*>(panel->Find("old_gravity"));
    auto* output = dynamic_cast<ComboBox*>(panel->Find("new_gravity"));
    if (!input || !output)
        return;
    const int32_t in = std::clamp(input->GetSelection(), 0, 4), out = std::clamp(output->GetSelection(), 0, 3);
    trap->AddRuleValues(in, out);
    if (auto* list = dynamic_cast<ListBox*>(panel->Find("curr_gravity")))
        list->AddItem(RuleText(in, out));
}

void AntiGravTrap::ClearRules(Primitive* /*parent*/, Button* button)
{
    LayoutPanel* panel = nullptr;
    AntiGravTrap* trap = PanelTrap(button, panel);
    if (!trap || !panel)
        return;
    trap->oldGravity.fill(kEmpty);
    trap->newGravity.fill(kEmpty);
    if (auto* list = dynamic_cast<ListBox*>(panel->Find("curr_gravity")))
        list->Clear();
}

bool AntiGravTrap::ApplyEditPanel(LayoutPanel* panel)
{
    if (!Trap::ApplyEditPanel(panel))
        return false;
    panel->ReadChecked("use_area", useArea);
    if (panel->ReadInt("width", areaWidth))
        areaWidth = std::clamp(areaWidth, 8, 4096);
    if (panel->ReadInt("height", areaHeight))
        areaHeight = std::clamp(areaHeight, 8, 4096);
    panel->ReadChecked("random_grav", randomGravity);
    ReleaseGraphics();
    LoadGraphics();
    return true;
}

void AntiGravTrap::Save(xmlNode* node) const
{
    if (!node)
        return;
    Trap::Save(node);
    for (size_t slot = 0; slot < 4; ++slot) {
        AppendTrapInt(node, StringPrintf("old_gravity%zu", slot).c_str(), oldGravity[slot]);
        AppendTrapInt(node, StringPrintf("new_gravity%zu", slot).c_str(), newGravity[slot]);
    }
    AppendTrapInt(node, "use_area", useArea ? 1 : 0);
    AppendTrapInt(node, "width", areaWidth);
    AppendTrapInt(node, "height", areaHeight);
    AppendTrapInt(node, "random_grav", randomGravity ? 1 : 0);
}

void AntiGravTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    for (size_t slot = 0; slot < 4; ++slot) {
        oldGravity[slot] = XmlGetTagInt(node, StringPrintf("old_gravity%zu", slot).c_str(), defaults, kEmpty);
        newGravity[slot] = XmlGetTagInt(node, StringPrintf("new_gravity%zu", slot).c_str(), defaults, kEmpty);
    }
    useArea = XmlGetTagBool(node, "use_area", defaults) ? 1 : 0;
    areaWidth = std::clamp(XmlGetTagInt(node, "width", defaults, areaWidth), 8, 4096);
    areaHeight = std::clamp(XmlGetTagInt(node, "height", defaults, areaHeight), 8, 4096);
    randomGravity = XmlGetTagBool(node, "random_grav", defaults) ? 1 : 0;
    // Older files hold one rule from any direction: the element itself, a child or an
    // attribute named "new_gravity".
    const char* legacy = nullptr;
    std::string legacyText;
    if (node->name && std::string(reinterpret_cast<const char*>(node->name)) == "new_gravity") {
        legacyText = XmlNodeText(node);
        legacy = legacyText.c_str();
    } else if (xmlNode* child = XmlGetChild(node->children, "new_gravity")) {
        legacyText = XmlNodeText(child);
        legacy = legacyText.c_str();
    } else if (xmlChar* attribute = xmlGetProp(node, reinterpret_cast<const xmlChar*>("new_gravity"))) {
        legacyText = reinterpret_cast<const char*>(attribute);
        xmlFree(attribute);
        legacy = legacyText.c_str();
    }
    if (legacy) {
        oldGravity[0] = kAny;
        newGravity[0] = std::atoi(legacy);
    }
    ReleaseGraphics();
    LoadGraphics();
}

std::string AntiGravTrap::PickupSheetName() const
{
    const char* suffix = floating_pickup ? "-float" : "";
    const std::string plain = StringPrintf("pickup-x%d%s", newGravity[0], suffix);
    if (oldGravity[0] == kAny)
        return plain;
    if (oldGravity[0] != newGravity[1] || oldGravity[1] != newGravity[0])
        return plain;
    static const uint8_t kOpposite[4] = {kUp, kDown, kRight, kLeft};
    static const uint8_t kLeftPartner[4] = {kLeft, kRight, kUp, kDown};
    static const uint8_t kRightPartner[4] = {kRight, kLeft, kDown, kUp};
    const uint8_t d = TrapGravityDirection(*this);
    auto isPair = [&](int32_t other) {
        return (oldGravity[0] == d && newGravity[0] == other) || (oldGravity[0] == other && newGravity[0] == d);
    };
    if (isPair(kOpposite[d]))
        return StringPrintf("pickup-ud%s", suffix);
    if (isPair(kLeftPartner[d]))
        return StringPrintf("pickup-dl%s", suffix);
    if (isPair(kRightPartner[d]))
        return StringPrintf("pickup-dr%s", suffix);
    return plain;
}

void AntiGravTrap::ReleaseGraphics()
{
    Trap::ReleaseGraphics();
    ReleaseSheet(lightSheet);
    ReleaseSheet(glowSheet);
}

void AntiGravTrap::LoadGraphics()
{
    if (pickup_mode) {
        if (sprite || newGravity[0] < 0)
            return;
        sprite = LoadTrapSprites(PickupSheetName().c_str(), kind);
        if (sprite && !LevelEditorOpen() && sprite->frameCount > 0)
            frame = static_cast<uint8_t>(DrawRand() % sprite->frameCount); // looks only
        return;
    }
    if (!sprite)
        sprite = LoadTrapSprites("ring", kind);
    if (!lightSheet)
        lightSheet = LoadTrapSprites("light", kind);
    if (!glowSheet)
        glowSheet = LoadTrapSprites("glow", kind);
}

void AntiGravTrap::HashState(StateHasher& hasher) const
{
    for (size_t slot = 0; slot < 4; ++slot) {
        hasher.Add(oldGravity[slot]);
        hasher.Add(newGravity[slot]);
    }
    hasher.Add(areaWidth);
    hasher.Add(areaHeight);
    hasher.Add(useArea);
    hasher.Add(glowAlpha);
    hasher.Add(glowRising);
    hasher.Add(randomGravity);
}

void AntiGravTrap::CopyKindFields(const Trap& source)
{
    const auto& from = static_cast<const AntiGravTrap&>(source);
    oldGravity = from.oldGravity;
    newGravity = from.newGravity;
    areaWidth = from.areaWidth;
    areaHeight = from.areaHeight;
    useArea = from.useArea;
    glowAlpha = from.glowAlpha;
    glowRising = from.glowRising;
    randomGravity = from.randomGravity;
}
