#include "traps/SquishTrap.h"

#include "app/LanguageTexts.h"
#include "game/Directions.h"
#include "gui/LayoutPanel.h"
#include "traps/TrapFactory.h"
#include "world/Flimb.h"
#include "world/StateHash.h"

namespace {

const TrapKindRegistration kRegistration(SquishTrap::kKind, [] { return std::unique_ptr<Trap>(new SquishTrap); });

constexpr float kReach = 20.0f;

} // namespace

SquishTrap::SquishTrap() : Trap(kKind)
{
    animating = 0;
}

void SquishTrap::Activate(Flimb* /*by*/)
{
    animating = 1;
    activated = 1;
}

void SquishTrap::Deactivate()
{
    animating = 0;
    activated = 0;
}

std::optional<FlimbList> SquishTrap::TestContact(Flimb* flimb, uint8_t filter, bool /*atPoint*/, int32_t /*px*/,
                                                 int32_t /*py*/, const gfx::RECT* area)
{
    float px = x, py = y;
    switch (AngleToDirection(static_cast<int32_t>(rotation))) {
    case 1: py += kReach; break;
    case 2: px += kReach; break;
    case 3: px -= kReach; break;
    default: py -= kReach; break;
    }
    return Trap::TestContact(flimb, filter, true, static_cast<int32_t>(px), static_cast<int32_t>(py), area);
}

void SquishTrap::OnFlimbContact(Flimb* flimb)
{
    if (flimb && flimb->IsAlive() && flimb->type != kSquish && flimb->type != kNova)
        flimb->SetType(kSquish, false, 0);
}

void SquishTrap::Update()
{
    if (!enabled)
        return;
    if (animating) {
        AdvanceFrame();
        if (frame == 0) {
            Deactivate();
            armed = 1;
        }
    }
    if (!armed)
        return;
    std::optional<FlimbList> under = TestContact(nullptr, 1, true, 0, 0, nullptr);
    if (!under || under->empty())
        return;
    FireEvent(0, under->front(), false);
    Activate(nullptr);
    if (frame == kCrushFrame) {
        for (Flimb* flimb : *under)
            OnFlimbContact(flimb);
        armed = 0;
    }
}

std::unique_ptr<LayoutPanel> SquishTrap::BuildEditPanel()
{
    std::unique_ptr<LayoutPanel> panel = Trap::BuildEditPanel();
    panel->AddCheckBox(TranslateText("Enabled"), "enabled", enabled != 0, std::string());
    return panel;
}

void SquishTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(armed);
    hasher.Add(frame); // the crush happens at a frame
    hasher.Add(animating);
}
