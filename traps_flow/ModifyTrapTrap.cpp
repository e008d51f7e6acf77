#include "traps_flow/ModifyTrapTrap.h"

#include "app/GameException.h"
#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/Directions.h"
#include "levelmodel/EditorPicking.h"
#include "media/AnimSurface.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps_flow/ScriptTargets.h"
#include "world/ConsoleValues.h"
#include "world/FlimbQueries.h"
#include "world/ParticleEmitters.h"
#include "world/StateHash.h"
#include "world/TrapDraw.h"
#include "world/TrapRegistry.h"
#include "world/WorldClock.h"

#include <libxml/tree.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int32_t kModifyTrapKind = 39;
constexpr int32_t kBackgroundKind = 34;
// Timed steps one update may owe; a larger debt (a long pause) starts afresh.
constexpr int kMostTimedStepsPerUpdate = 1000;
const TrapKindRegistration registration(kModifyTrapKind, [] { return std::unique_ptr<Trap>(new ModifyTrapTrap); });

// Whether `value` has gone past `target` in the direction of a change of sign `delta`.
template <typename T, typename U>
bool Passed(T value, U target, float delta)
{
    return (delta > 0.0f && value > target) || (delta < 0.0f && value < target);
}

// Whether a change of `delta` still leads from `value` towards `target`.
template <typename T, typename U>
bool Heading(T value, U target, float delta)
{
    return (target < value && delta < 0.0f) || (value < target && delta > 0.0f);
}

} // namespace

ModifyTrapTrap::ModifyTrapTrap() : Trap(kModifyTrapKind)
{
    LoadGraphics();
}

void ModifyTrapTrap::Update()
{
    if (trigger_ms <= 0) {
        Step();
        return;
    }
    if (!running)
        return;
    // Timed steps: as many as the game clock has made due since the last one.
    const uint32_t now = CurrentGameTime();
    const uint32_t period = static_cast<uint32_t>(trigger_ms);
    int steps = 0;
    while (running && now - last_step_time >= period) {
        last_step_time += period;
        Step();
        if (++steps >= kMostTimedStepsPerUpdate) {
            last_step_time = now;
            break;
        }
    }
}

void ModifyTrapTrap::Activate(Flimb* /*by*/)
{
    if (running)
        return;
    running = true;
    last_step_time = CurrentGameTime();
    Start();
}

void ModifyTrapTrap::Start()
{
    for (ModifyTarget& record : targets) {
        Trap* target = FindScriptTarget(record.trapId);
        if (!target)
            continue;
        const int32_t x = RoundToInt(target->x), y = RoundToInt(target->y);
        record.finalRotation = RoundToInt(target->rotation);
        record.finalScaleX = target->scale_x;
        record.finalScaleY = target->scale_y;
        record.finalX = x;
        record.finalY = y;
        record.finalAlpha = target->alpha;
        if (rot_delta != 0.0f)
            record.finalRotation = rotation_final + (relative ? record.finalRotation : 0);
        if (x_delta != 0.0f)
            record.finalScaleX = x_final_scale + (relative ? record.finalScaleX : 0.0f);
        if (y_delta != 0.0f)
            record.finalScaleY = y_final_scale + (relative ? record.finalScaleY : 0.0f);
        if (x_pos_delta != 0.0f)
            record.finalX = x_final_pos + (relative ? x : 0);
        if (y_pos_delta != 0.0f)
            record.finalY = y_final_pos + (relative ? y : 0);
        if (alpha_delta != 0)
            record.finalAlpha = final_alpha + (relative ? record.finalAlpha : 0);
        record.finalAlpha = std::clamp(record.finalAlpha, 0, 255);
        if (!custom_center) {
            x_center = x;
            y_center = y;
        }
        // y grows downwards, so dy points up.
        const int32_t dx = x - x_center, dy = y_center - y;
        record.orbitAngle = Atan2Deg(static_cast<float>(dy), static_cast<float>(dx));
        record.orbitRadius = RoundToInt(static_cast<float>(std::sqrt(double(dx) * dx + double(dy) * dy)));
        if (record.orbitRadius > 0 && rot_delta != 0.0f)
            record.finalRotation = rotation_final + (relative ? RoundToInt(record.orbitAngle) : 0);
    }
}

void ModifyTrapTrap::Step()
{
    if (targets.empty())
        alive = 0;
    if (running && enabled) {
        bool allDone = true;
        for (size_t i = 0; i < targets.size(); ++i) {
            Trap* target = FindScriptTarget(targets[i].trapId);
            if (!target || !target->alive)
                continue;
            if (atomizeMode != kAtomizeNone) {
                Atomize(*target);
                continue;
            }
            if (StepTarget(targets[i], *target))
                allDone = false;
        }
        if (!allDone)
            return;
        if (oneshot)
            alive = 0;
        running = false;
        FireEvent(0, nullptr, false);
        return;
    }
    if (can_trigger) {
        const gfx::RECT area = GetBounds();
        const FlimbList found = FindFlimbsInArea(true, false, area.left, area.top, area.right, area.bottom);
        if (!found.empty())
            Activate(found.front());
    }
}

bool ModifyTrapTrap::StepTarget(ModifyTarget& record, Trap& target)
{
    int32_t alpha = target.alpha;
    const bool orbit = record.orbitRadius > 0;
    // What moved in this step; only a moved value can pass its end and be put back on it.
    bool scaledX = false, scaledY = false, turned = false, movedX = false, movedY = false, faded = false;

    if (Heading(target.scale_x, record.finalScaleX, x_delta)) {
        target.scale_x += x_delta;
        scaledX = true;
    }
    if (Heading(target.scale_y, record.finalScaleY, y_delta)) {
        target.scale_y += y_delta;
        scaledY = true;
    }
    if (Heading(RoundToInt(orbit ? record.orbitAngle : target.rotation), record.finalRotation, rot_delta) ||
        infinite_rot) {
        if (!no_rotate)
            target.rotation += rot_delta;
        if (orbit)
            record.orbitAngle += rot_delta;
        turned = true;
    }
    if (Heading(RoundToInt(target.x), record.finalX, x_pos_delta)) {
        target.x += x_pos_delta;
        movedX = true;
    }
    if (Heading(RoundToInt(target.y), record.finalY, y_pos_delta)) {
        target.y += y_pos_delta;
        movedY = true;
    }
    if (Heading(alpha, record.finalAlpha, static_cast<float>(alpha_delta))) {
        alpha += alpha_delta;
        faded = true;
    }

    // What went past its end comes back to it.
    if (scaledX && Passed(target.scale_x, record.finalScaleX, x_delta))
        target.scale_x = record.finalScaleX;
    if (scaledY && Passed(target.scale_y, record.finalScaleY, y_delta))
        target.scale_y = record.finalScaleY;
    if (turned && rot_delta != 0.0f && !infinite_rot) {
        float& angle = orbit ? record.orbitAngle : target.rotation;
        if (Passed(angle, record.finalRotation, rot_delta))
            angle = static_cast<float>(record.finalRotation);
    }
    if (movedX && Passed(target.x, record.finalX, x_pos_delta))
        target.x = static_cast<float>(record.finalX);
    if (movedY && Passed(target.y, record.finalY, y_pos_delta))
        target.y = static_cast<float>(record.finalY);
    if (faded && Passed(alpha, record.finalAlpha, static_cast<float>(alpha_delta)))
        alpha = record.finalAlpha;

    if (orbit) {
        const float radius = static_cast<float>(record.orbitRadius);
        target.x = static_cast<float>(x_center + RoundToInt(CosDegF(record.orbitAngle) * radius));
        target.y = static_cast<float>(y_center - RoundToInt(SinDegF(record.orbitAngle) * radius));
    }

    const int32_t turnedNow = RoundToInt(orbit ? record.orbitAngle : target.rotation);
    const bool finished = !infinite_rot && (x_delta == 0.0f || target.scale_x == record.finalScaleX) &&
                          (y_delta == 0.0f || target.scale_y == record.finalScaleY) &&
                          (rot_delta == 0.0f || turnedNow == record.finalRotation) &&
                          (x_pos_delta == 0.0f || RoundToInt(target.x) == record.finalX) &&
                          (y_pos_delta == 0.0f || RoundToInt(target.y) == record.finalY) &&
                          (alpha_delta == 0 || alpha == record.finalAlpha);

    target.alpha = static_cast<uint8_t>(std::clamp(alpha, 0, 255));
    AddTrapToDrawList(&target);
    const bool moved = scaledX || scaledY || turned || movedX || movedY || faded;
    return moved && !finished;
}

void ModifyTrapTrap::Atomize(Trap& target)
{
    const uint8_t direction = TrapGravityDirection(target);
    const bool soil = atomizeMode == kAtomizeSoil || atomizeMode == kAtomizeBridge;
    AreaEffectParams record(&EmitSpray, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, direction, liqx, liqy, soil);
    record.bridge = atomizeMode == kAtomizeBridge ? 1 : 0;
    if (explode_prim) {
        record.callback = &EmitBurst;
        record.x = static_cast<float>(RoundToInt(target.x));
        record.y = static_cast<float>(RoundToInt(target.y));
        record.burstPattern = 2;
        record.visual = EmitsVisualParticles(&EmitBurst, soil) ? 1 : 0;
    }
    if (target.sprite)
        SpawnFromFrame(*target.sprite, target.frame, static_cast<float>(RoundToInt(target.x)),
                       static_cast<float>(RoundToInt(target.y)), target.scale_x, target.scale_y,
                       target.tint & 0xFFFFFFu, &record, target.rotation);
    QueueTrapDeletion(&target);
}

void ModifyTrapTrap::RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t dx, int32_t dy)
{
    if (custom_center) {
        x_center += dx;
        y_center += dy;
    }
    if (!relative) {
        x_final_pos += dx;
        y_final_pos += dy;
    }
    for (ModifyTarget& record : targets)
        record.trapId = RemapTrapId(record.trapId, pairs);
    Trap::RemapLinks(pairs, dx, dy);
}

void ModifyTrapTrap::Draw()
{
    if (LevelEditorOpen() || (can_trigger && GodModeOn()))
        Trap::Draw();
}

void ModifyTrapTrap::OnLevelLoaded()
{
    for (const ModifyTarget& record : targets) {
        const Trap* target = FindScriptTarget(record.trapId);
        if (target && target->kind != kBackgroundKind)
            trigger_ms = 0;
    }
}

void ModifyTrapTrap::ForgetTrap(Trap* dying)
{
    if (!dying)
        return;
    const auto it = std::find_if(targets.begin(), targets.end(),
                                 [dying](const ModifyTarget& record) { return record.trapId == dying->id; });
    if (it != targets.end())
        targets.erase(it);
}

void ModifyTrapTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    auto addFloat = [node](const char* name, float value) {
        AppendTrapChild(node, name, StringPrintf("%.4f", static_cast<double>(value)));
    };
    addFloat("x_final_scale", x_final_scale);
    addFloat("y_final_scale", y_final_scale);
    AppendTrapInt(node, "rotation_final", rotation_final);
    addFloat("x_delta", x_delta);
    addFloat("y_delta", y_delta);
    addFloat("rot_delta", rot_delta);
    AppendTrapInt(node, "trigger_ms", trigger_ms);
    AppendTrapInt(node, "x_final_pos", x_final_pos);
    addFloat("x_pos_delta", x_pos_delta);
    AppendTrapInt(node, "y_final_pos", y_final_pos);
    addFloat("y_pos_delta", y_pos_delta);
    AppendTrapInt(node, "can_trigger", can_trigger ? 1 : 0);
    AppendTrapInt(node, "relative", relative ? 1 : 0);
    AppendTrapInt(node, "infinite_rot", infinite_rot ? 1 : 0);
    AppendTrapInt(node, "x_center", x_center);
    AppendTrapInt(node, "y_center", y_center);
    AppendTrapInt(node, "custom_center", custom_center ? 1 : 0);
    AppendTrapInt(node, "final_alpha", final_alpha);
    AppendTrapInt(node, "alpha_delta", alpha_delta);
    AppendTrapInt(node, "atomizeMode", atomizeMode);
    AppendTrapInt(node, "explode_prim", explode_prim ? 1 : 0);
    AppendTrapInt(node, "oneshot", oneshot ? 1 : 0);
    AppendTrapInt(node, "no_rotate", no_rotate ? 1 : 0);
    AppendTrapInt(node, "liqx", liqx);
    AppendTrapInt(node, "liqy", liqy);
    // Each existing target once, in list order.
    const bool editor = LevelEditorOpen();
    std::vector<uint32_t> written;
    for (const ModifyTarget& record : targets) {
        const Trap* target = editor ? FindEditorTrap(record.trapId) : FindScriptTarget(record.trapId);
        if (!target || std::find(written.begin(), written.end(), record.trapId) != written.end())
            continue;
        written.push_back(record.trapId);
        xmlNode* element = xmlNewChild(node, nullptr, reinterpret_cast<const xmlChar*>("modify_trap"), nullptr);
        AppendTrapChild(element, "trap_id", StringPrintf("%u", record.trapId));
    }
}

void ModifyTrapTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    auto readFloat = [&](const char* name, float current) { return XmlGetTagFloat(node, name, defaults, current); };
    auto readInt = [&](const char* name, int32_t current) { return XmlGetTagInt(node, name, defaults, current); };
    auto readBool = [&](const char* name) { return XmlGetTagBool(node, name, defaults); };
    x_final_scale = readFloat("x_final_scale", x_final_scale);
    y_final_scale = readFloat("y_final_scale", y_final_scale);
    rotation_final = readInt("rotation_final", rotation_final);
    x_delta = readFloat("x_delta", x_delta);
    y_delta = readFloat("y_delta", y_delta);
    rot_delta = readFloat("rot_delta", rot_delta);
    trigger_ms = readInt("trigger_ms", trigger_ms);
    x_final_pos = readInt("x_final_pos", x_final_pos);
    x_pos_delta = readFloat("x_pos_delta", x_pos_delta);
    y_final_pos = readInt("y_final_pos", y_final_pos);
    y_pos_delta = readFloat("y_pos_delta", y_pos_delta);
    can_trigger = readBool("can_trigger");
    relative = readBool("relative");
    infinite_rot = readBool("infinite_rot");
    x_center = readInt("x_center", x_center);
    y_center = readInt("y_center", y_center);
    custom_center = readBool("custom_center");
    final_alpha = readInt("final_alpha", final_alpha);
    alpha_delta = readInt("alpha_delta", alpha_delta);
    atomizeMode = readInt("atomizeMode", atomizeMode);
    explode_prim = readBool("explode_prim");
    oneshot = readBool("oneshot");
    no_rotate = readBool("no_rotate");
    liqx = std::clamp(readInt("liqx", liqx), 1, 16);
    liqy = std::clamp(readInt("liqy", liqy), 1, 16);
    // Files older than atomizeMode say it with two flags.
    const bool liquidBash = readBool("liquid_bash");
    const bool addToLandscape = readBool("add_to_landscape");
    if (atomizeMode == -1)
        atomizeMode = !liquidBash ? kAtomizeNone : addToLandscape ? kAtomizeBridge : kAtomizeRender;
    if (!custom_center)
        no_rotate = false;

    targets.clear();
    for (xmlNode* child = node ? XmlChildren(node) : nullptr; child; child = XmlNext(child)) {
        if (XmlName(child) != "modify_trap")
            continue;
        ModifyTarget record;
        record.trapId = ParseTrapId(XmlGetTagText(child, "trap_id", nullptr));
        targets.push_back(record);
    }
}

void ModifyTrapTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const ModifyTrapTrap&>(source);
    targets = other.targets; // records of the copy's own
    x_final_scale = other.x_final_scale;
    x_delta = other.x_delta;
    y_final_scale = other.y_final_scale;
    y_delta = other.y_delta;
    rot_delta = other.rot_delta;
    rotation_final = other.rotation_final;
    x_final_pos = other.x_final_pos;
    y_final_pos = other.y_final_pos;
    x_pos_delta = other.x_pos_delta;
    y_pos_delta = other.y_pos_delta;
    final_alpha = other.final_alpha;
    alpha_delta = other.alpha_delta;
    relative = other.relative;
    infinite_rot = other.infinite_rot;
    x_center = other.x_center;
    y_center = other.y_center;
    last_step_time = other.last_step_time;
    trigger_ms = other.trigger_ms;
    running = other.running;
    custom_center = other.custom_center;
    no_rotate = other.no_rotate;
    can_trigger = other.can_trigger;
    oneshot = other.oneshot;
    show_trap_prediction = other.show_trap_prediction;
    explode_prim = other.explode_prim;
    atomizeMode = other.atomizeMode;
    liqx = other.liqx;
    liqy = other.liqy;
}

void ModifyTrapTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(static_cast<uint32_t>(targets.size()));
    for (const ModifyTarget& record : targets) {
        hasher.Add(record.trapId);
        hasher.Add(record.finalX);
        hasher.Add(record.finalY);
        hasher.Add(record.finalRotation);
        hasher.Add(record.finalAlpha);
        hasher.Add(record.finalScaleX);
        hasher.Add(record.finalScaleY);
        hasher.Add(record.orbitAngle);
        hasher.Add(record.orbitRadius);
    }
    for (const float value : {x_final_scale, x_delta, y_final_scale, y_delta, rot_delta, x_pos_delta, y_pos_delta})
        hasher.Add(value);
    for (const int32_t value : {rotation_final, x_final_pos, y_final_pos, final_alpha, alpha_delta, x_center, y_center,
                                trigger_ms, atomizeMode, liqx, liqy})
        hasher.Add(value);
    hasher.Add(last_step_time);
    for (const bool flag : {relative, infinite_rot, running, custom_center, no_rotate, can_trigger, oneshot, explode_prim})
        hasher.Add(flag);
}
