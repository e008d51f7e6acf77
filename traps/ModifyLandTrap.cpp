#include "traps/ModifyLandTrap.h"

#include "app/Log.h"
#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/GameServices.h"
#include "levelmodel/EditorPicking.h"
#include "levelmodel/MapPrimitive.h"
#include "media/AnimSurface.h"
#include "traps/DeviceDrawing.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps/TrapKindXml.h"
#include "world/ConsoleValues.h"
#include "world/Flimb.h"
#include "world/ParticleEmitters.h"
#include "world/PrimitiveCache.h"
#include "world/StateHash.h"

#include <libxml/tree.h>

#include <algorithm>

namespace {

const TrapKindRegistration kRegistration(ModifyLandTrap::kKind,
                                         [] { return std::unique_ptr<Trap>(new ModifyLandTrap); });

// The largest trigger side a file may ask for (the landscape's largest side).
constexpr int32_t kLargestTrigger = 16384;

void AppendFloat(xmlNode* node, const char* name, float value)
{
    AppendTrapChild(node, name, StringPrintf("%.4f", static_cast<double>(value)));
}

} // namespace

ModifyLandTrap::ModifyLandTrap() : Trap(kKind) {}

ModifyLandTrap::~ModifyLandTrap()
{
    targets.clear();
}

void ModifyLandTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const ModifyLandTrap&>(source);
    targets = other.targets; // records copied; the primitives shared
    trigger_width = other.trigger_width;
    trigger_hight = other.trigger_hight;
    atomizeMode = other.atomizeMode;
    explode_prim = other.explode_prim;
    x_final_scale = other.x_final_scale;
    x_delta = other.x_delta;
    y_final_scale = other.y_final_scale;
    y_delta = other.y_delta;
    rotation_final = other.rotation_final;
    x_final_pos = other.x_final_pos;
    y_final_pos = other.y_final_pos;
    rot_delta = other.rot_delta;
    x_pos_delta = other.x_pos_delta;
    y_pos_delta = other.y_pos_delta;
    mod_speed = other.mod_speed;
    liqx = other.liqx;
    liqy = other.liqy;
    writeover = other.writeover;
    relative = other.relative;
    infinite_rot = other.infinite_rot;
    x_center = other.x_center;
    y_center = other.y_center;
    active = other.active;
    can_push = other.can_push;
    can_trigger = other.can_trigger;
    custom_center = other.custom_center;
    no_rotate = other.no_rotate;
    restore_land = other.restore_land;
    oneshot = other.oneshot;
    mouseLink = other.mouseLink;
    forceAir = other.forceAir;
    can_crush = other.can_crush;
    platform = other.platform;
    activator_direction = other.activator_direction;
    load_mode = other.load_mode;
    show_prim_prediction = other.show_prim_prediction;
}

gfx::RECT ModifyLandTrap::GetBounds() const
{
    const int32_t w = std::clamp(trigger_width, 0, kLargestTrigger);
    const int32_t h = std::clamp(trigger_hight, 0, kLargestTrigger);
    const int32_t left = RoundToInt(x) - w / 2, top = RoundToInt(y) - h / 2;
    return gfx::RECT{left, top, left + w, top + h};
}

void ModifyLandTrap::Activate(Flimb* by)
{
    if (active)
        return;
    active = 1;
    activator_direction = by ? by->gravity : 0;
    PrepareTargets(false);
}

void ModifyLandTrap::Deactivate()
{
    active = 0;
}

void ModifyLandTrap::RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t dx, int32_t dy)
{
    if (custom_center) {
        x_center += dx;
        y_center += dy;
    }
    if (!relative) {
        x_final_pos += dx;
        y_final_pos += dy;
    }
    for (ModifyLandTarget& target : targets) {
        for (const TrapIdPair& pair : pairs) {
            if (static_cast<uint32_t>(target.prim_id) != pair.oldId)
                continue;
            target.prim_id = static_cast<int32_t>(pair.newId);
            if (!LevelEditorOpen()) {
                if (ModifiedPrimitivePtr stored = ModifyLandPrimStore::Find(pair.newId)) {
                    target.prim = stored;
                } else if (target.prim && target.prim->prim) {
                    std::unique_ptr<MapObject> copied = target.prim->prim->Duplicate(true);
                    auto* copy = dynamic_cast<MapPrimitive*>(copied.get());
                    if (copy) {
                        copied.release();
                        copy->id = pair.newId;
                        copy->posX += static_cast<float>(dx);
                        copy->posY += static_cast<float>(dy);
                        auto entered = std::make_shared<ModifiedPrimitive>(std::unique_ptr<MapPrimitive>(copy));
                        ModifyLandPrimStore::Add(entered);
                        target.prim = entered;
                    }
                }
            }
            break;
        }
    }
    Trap::RemapLinks(pairs, dx, dy);
}

void ModifyLandTrap::Draw()
{
    if (!sprite || !can_trigger || !(ConsoleInt("god") || ConsoleInt("demigod")))
        return;
    WorldSheetDraw how;
    how.scaleX = static_cast<float>(trigger_width) / static_cast<float>(std::max(1, sprite->frameWidth));
    how.scaleY = static_cast<float>(trigger_hight) / static_cast<float>(std::max(1, sprite->frameHeight));
    how.alpha = alpha;
    DrawWorldSheet(sprite, static_cast<float>(RoundToInt(x)), static_cast<float>(RoundToInt(y)), how);
}

void ModifyLandTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    if (!node)
        return;
    AppendKindChild(node, "trigger_width", trigger_width);
    AppendKindChild(node, "trigger_hight", trigger_hight);
    AppendKindChild(node, "atomizeMode", atomizeMode);
    AppendFloat(node, "x_final_scale", x_final_scale);
    AppendFloat(node, "y_final_scale", y_final_scale);
    AppendKindChild(node, "rotation_final", rotation_final);
    AppendFloat(node, "x_delta", x_delta);
    AppendFloat(node, "y_delta", y_delta);
    AppendFloat(node, "rot_delta", rot_delta);
    AppendKindChild(node, "mod_speed", mod_speed);
    AppendKindChild(node, "writeover", writeover);
    AppendKindChild(node, "x_final_pos", x_final_pos);
    AppendFloat(node, "x_pos_delta", x_pos_delta);
    AppendKindChild(node, "y_final_pos", y_final_pos);
    AppendFloat(node, "y_pos_delta", y_pos_delta);
    AppendKindChild(node, "can_trigger", can_trigger);
    AppendKindChild(node, "liqx", liqx);
    AppendKindChild(node, "liqy", liqy);
    AppendKindChild(node, "relative", relative);
    AppendKindChild(node, "infinite_rot", infinite_rot);
    AppendKindChild(node, "x_center", x_center);
    AppendKindChild(node, "y_center", y_center);
    AppendKindChild(node, "custom_center", custom_center);
    AppendKindChild(node, "explode_prim", explode_prim);
    AppendKindChild(node, "restore_land", restore_land);
    AppendKindChild(node, "oneshot", oneshot);
    AppendKindChild(node, "mouseLink", mouseLink);
    AppendKindChild(node, "no_rotate", no_rotate);
    AppendKindChild(node, "forceAir", forceAir);
    AppendKindChild(node, "can_crush", can_crush);
    AppendKindChild(node, "platform", platform);
    AppendKindChild(node, "can_push", can_push);
    std::vector<int32_t> written;
    for (const ModifyLandTarget& target : targets) {
        if (!target.prim || !target.prim->prim)
            continue;
        if (std::find(written.begin(), written.end(), target.prim_id) != written.end())
            continue;
        written.push_back(target.prim_id);
        xmlNode* child = xmlNewChild(node, nullptr, reinterpret_cast<const xmlChar*>("modify_prim"), nullptr);
        target.prim->prim->WriteProps(child);
    }
}

void ModifyLandTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    if (!node)
        return;
    auto readInt = [&](const char* key) { return XmlGetTagInt(node, key, defaults, 0); };
    auto readFloat = [&](const char* key) { return XmlGetTagFloat(node, key, defaults, 0.0f); };
    auto readBool = [&](const char* key) { return static_cast<uint8_t>(XmlGetTagBool(node, key, defaults) ? 1 : 0); };
    trigger_width = readInt("trigger_width");
    trigger_hight = readInt("trigger_hight");
    atomizeMode = readInt("atomizeMode");
    x_final_scale = readFloat("x_final_scale");
    y_final_scale = readFloat("y_final_scale");
    rotation_final = readInt("rotation_final");
    x_delta = readFloat("x_delta");
    y_delta = readFloat("y_delta");
    rot_delta = readFloat("rot_delta");
    mod_speed = readInt("mod_speed");
    writeover = readBool("writeover");
    x_final_pos = readInt("x_final_pos");
    x_pos_delta = readFloat("x_pos_delta");
    y_final_pos = readInt("y_final_pos");
    y_pos_delta = readFloat("y_pos_delta");
    can_trigger = readBool("can_trigger");
    liqx = readInt("liqx");
    liqy = readInt("liqy");
    relative = readBool("relative");
    infinite_rot = readBool("infinite_rot");
    x_center = readInt("x_center");
    y_center = readInt("y_center");
    custom_center = readBool("custom_center");
    explode_prim = readBool("explode_prim");
    restore_land = readBool("restore_land");
    oneshot = readBool("oneshot");
    mouseLink = readBool("mouseLink");
    no_rotate = readBool("no_rotate");
    forceAir = readBool("forceAir");
    can_crush = readBool("can_crush");
    platform = readBool("platform");
    can_push = readBool("can_push");
    // Files older than the atomize modes: -1 and the two flags it stood for.
    const bool liquidBash = readBool("liquid_bash") != 0;
    const bool addToLandscape = readBool("add_to_landscape") != 0;
    if (atomizeMode == -1)
        atomizeMode = !liquidBash ? kAtomizeNone : (addToLandscape ? kAtomizeBridge : kAtomizeRender);
    if (mod_speed < 1)
        mod_speed = 1;
    if (mouseLink)
        relative = 0;
    if (!custom_center)
        no_rotate = 0;

    targets.clear();
    xmlNode* primDefaults = LevelDefaultsElement("primitives", "prim");
    for (xmlNode* child = node->children; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE || XmlName(child) != "modify_prim")
            continue;
        auto read = std::make_unique<MapPrimitive>();
        read->ReadProps(child, primDefaults);
        if (!IsPrimitiveNameAllowed(read->fileName))
            WriteLog("ModifyLand trap %u: primitive file [%.200s] lies outside the game's graphics; not stamped\n",
                     id, read->fileName.c_str());
        const uint32_t objectId = read->id;
        ModifiedPrimitivePtr primitive = ModifyLandPrimStore::Find(objectId);
        if (!primitive) {
            primitive = std::make_shared<ModifiedPrimitive>(std::move(read));
            if (!LevelEditorOpen() && load_mode == kLoadModeGame)
                ModifyLandPrimStore::Add(primitive);
        }
        ModifyLandTarget target;
        target.prim = primitive;
        target.prim_id = static_cast<int32_t>(objectId);
        targets.push_back(std::move(target));
    }
}

std::unique_ptr<AreaEffectParams> ModifyLandTrap::MakeParticleRecord(const ModifiedPrimitive& primitive) const
{
    if (atomizeMode == kAtomizeNone)
        return nullptr;
    // Soil and bridge modes keep their particles (they land as terrain).
    const bool kept = atomizeMode == kAtomizeSoil || atomizeMode == kAtomizeBridge;
    if (explode_prim)
        return std::make_unique<AreaEffectParams>(EmitBurst, static_cast<float>(primitive.CentreX()),
                                                  static_cast<float>(primitive.CentreY()), 0.0f, 0.0f, 0.0f, 2,
                                                  liqx, liqy, kept);
    return std::make_unique<AreaEffectParams>(EmitSpray, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f,
                                              static_cast<uint8_t>(activator_direction & 0xFF), liqx, liqy, kept);
}

void ModifyLandTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(static_cast<uint32_t>(targets.size()));
    for (const ModifyLandTarget& t : targets) {
        hasher.Add(t.prim_id);
        hasher.Add(t.final_x);
        hasher.Add(t.final_y);
        hasher.Add(t.final_rot);
        hasher.Add(t.step_x);
        hasher.Add(t.step_y);
        hasher.Add(t.step_rot);
        hasher.Add(t.final_scale_x);
        hasher.Add(t.final_scale_y);
        hasher.Add(t.orbit_angle);
        hasher.Add(t.orbit_radius);
        hasher.Add(t.center_x);
        hasher.Add(t.center_y);
        if (t.prim && t.prim->prim) {
            const MapPrimitive& p = *t.prim->prim;
            hasher.Add(p.posX);
            hasher.Add(p.posY);
            hasher.Add(p.scaleX);
            hasher.Add(p.scaleY);
            hasher.Add(p.rotation);
            hasher.Add(t.prim->restoredBefore);
            hasher.Add(t.prim->firstBash);
        }
    }
    hasher.Add(trigger_width);
    hasher.Add(trigger_hight);
    hasher.Add(atomizeMode);
    hasher.Add(explode_prim);
    hasher.Add(x_final_scale);
    hasher.Add(x_delta);
    hasher.Add(y_final_scale);
    hasher.Add(y_delta);
    hasher.Add(rotation_final);
    hasher.Add(x_final_pos);
    hasher.Add(y_final_pos);
    hasher.Add(rot_delta);
    hasher.Add(x_pos_delta);
    hasher.Add(y_pos_delta);
    hasher.Add(mod_speed);
    hasher.Add(liqx);
    hasher.Add(liqy);
    hasher.Add(writeover);
    hasher.Add(relative);
    hasher.Add(infinite_rot);
    hasher.Add(x_center);
    hasher.Add(y_center);
    hasher.Add(active);
    hasher.Add(can_push);
    hasher.Add(can_trigger);
    hasher.Add(custom_center);
    hasher.Add(no_rotate);
    hasher.Add(restore_land);
    hasher.Add(oneshot);
    hasher.Add(mouseLink);
    hasher.Add(forceAir);
    hasher.Add(can_crush);
    hasher.Add(platform);
    hasher.Add(activator_direction);
}
