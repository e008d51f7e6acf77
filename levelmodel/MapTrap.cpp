#include "levelmodel/MapTrap.h"

#include "app/SimMath.h"
#include "app/StringUtil.h"
#include "app/XmlUtil.h"
#include "game/GameServices.h"
#include "gui/LayoutPanel.h"
#include "traps/Trap.h"
#include "world/TrapKinds.h"

#include <libxml/tree.h>

MapTrap::MapTrap(std::unique_ptr<Trap> trap) : trap_(std::move(trap))
{
    if (trap_)
        trap_->id = id;
}

MapTrap::~MapTrap() = default;

std::unique_ptr<Trap> MapTrap::ReleaseTrap()
{
    return std::move(trap_);
}

void MapTrap::SetPosition(int x, int y)
{
    if (trap_) {
        trap_->x = static_cast<float>(x);
        trap_->y = static_cast<float>(y);
    }
}

void MapTrap::GetPosition(int& x, int& y) const
{
    x = trap_ ? NearestInt(trap_->x) : 0;
    y = trap_ ? NearestInt(trap_->y) : 0;
}

Primitive* MapTrap::BuildPropertiesPanel()
{
    if (!trap_)
        return nullptr;
    std::unique_ptr<LayoutPanel> panel = trap_->BuildEditPanel();
    if (!panel)
        return nullptr;
    const std::string title = StringPrintf("Trap ID: %d [%s]", static_cast<int>(id), panel->name.c_str());
    panel->SetName(title.c_str());
    panel->SetTitle(title.c_str());
    panel->Finish();
    panelObject = this;
    return panel.release();
}

bool MapTrap::ApplyConfigProps(Primitive* panel)
{
    auto* layout = dynamic_cast<LayoutPanel*>(panel);
    if (!trap_ || !layout || layout->name.find("Trap ID") == std::string::npos)
        return false;
    return trap_->ApplyEditPanel(layout);
}

std::string MapTrap::GetLabel() const
{
    return std::string("Trap: ") + (trap_ ? TrapTypeName(trap_->kind) : "");
}

gfx::RECT MapTrap::GetBounds() const
{
    return trap_ ? trap_->GetBounds() : gfx::RECT{};
}

int MapTrap::GetRotation() const
{
    return trap_ ? NearestInt(trap_->rotation) : 0;
}

void MapTrap::SetRotation(int degrees)
{
    if (trap_)
        trap_->SetRotation(static_cast<float>(NormaliseRotation(degrees)));
}

void MapTrap::GetScale(float& sx, float& sy) const
{
    sx = trap_ ? trap_->scale_x : 1.0f;
    sy = trap_ ? trap_->scale_y : 1.0f;
}

void MapTrap::SetScale(float sx, float sy)
{
    if (trap_)
        trap_->SetScale(sx, sy);
}

uint32_t MapTrap::GetTint() const
{
    return trap_ ? trap_->tint & 0xFFFFFFu : 0;
}

void MapTrap::SetTint(uint32_t rgb)
{
    if (trap_)
        trap_->tint = rgb & 0xFFFFFFu;
}

uint8_t MapTrap::GetAlpha() const
{
    return trap_ ? trap_->alpha : 0;
}

void MapTrap::SetAlpha(uint8_t alpha)
{
    if (trap_)
        trap_->alpha = alpha;
}

std::unique_ptr<MapObject> MapTrap::Duplicate(bool keepId) const
{
    if (!trap_)
        return nullptr;
    std::unique_ptr<Trap> copy = trap_->Duplicate();
    if (!copy)
        return nullptr;
    auto object = std::make_unique<MapTrap>(std::move(copy));
    object->mapOrder = mapOrder;
    object->loadedId = loadedId;
    object->linkedTrapIds = linkedTrapIds;
    if (keepId) {
        object->id = id;
        object->trap_->id = id;
    }
    return object;
}

void MapTrap::LoadState(const std::string& xml)
{
    MapObject::LoadState(xml);
    if (trap_)
        trap_->id = id;
}

void MapTrap::WriteProps(xmlNode* element) const
{
    MapObject::WriteProps(element);
    if (!element)
        return;
    if (trap_)
        trap_->Save(element);
    xmlNewTextChild(element, nullptr, reinterpret_cast<const xmlChar*>("map_order"),
                    reinterpret_cast<const xmlChar*>(std::to_string(mapOrder).c_str()));
}

void MapTrap::ReadProps(xmlNode* element, xmlNode* defaults)
{
    if (!defaults)
        defaults = LevelDefaultsElement("traps", "trap");
    MapObject::ReadProps(element, defaults);
    if (trap_)
        trap_->Load(element, defaults, kTrapLoadAll);
    mapOrder = XmlGetTagInt(element, "map_order", defaults, mapOrder);
}
