#include "traps_flow/AIFlimbTrap.h"

#include "traps/TrapFactory.h"

namespace {

constexpr int32_t kAIFlimbKind = 40;
const TrapKindRegistration registration(kAIFlimbKind, [] { return std::unique_ptr<Trap>(new AIFlimbTrap); });

} // namespace

AIFlimbTrap::AIFlimbTrap() : Trap(kAIFlimbKind)
{
    LoadGraphics();
}
