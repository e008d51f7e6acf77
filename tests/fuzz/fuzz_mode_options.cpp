// A peer's GAME_MODE_OPTIONS (or a level's option block) from untrusted bytes, read by
// every mode; what a mode then writes must read back to the same options, the mode's own
// (Procure's five switches, Quarrel's two, Multiverse's sabotage, shift and FlimbMaster
// group) included. The same bytes as a peer's UPDATE_MORPH_COUNT: the groups' budgets read
// from them must write and read back alike.
#include "FuzzHome.h"
#include "app/Log.h"
#include "game/LevelConfig.h"
#include "modes/CorralTheFlimbMode.h"
#include "modes/GameMode.h"
#include "modes/MatchOptions.h"
#include "modes/MultiverseMatchMode.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

bool SameOptions(const MatchOptions& a, const MatchOptions& b)
{
    return a.allowPaint == b.allowPaint && a.allowStun == b.allowStun && a.doubleFall == b.doubleFall &&
           a.stickyGibs == b.stickyGibs && a.explosionPhysics == b.explosionPhysics &&
           a.explosionMag == b.explosionMag && a.explodingGibs == b.explodingGibs &&
           a.contagiousNova == b.contagiousNova && a.statsMatch == b.statsMatch &&
           a.shatterDoppel == b.shatterDoppel && a.doubleSpeedMorph == b.doubleSpeedMorph &&
           a.beamEffects == b.beamEffects;
}

bool ShowsMinimum(const GameMode& mode)
{
    const auto* corral = dynamic_cast<const CorralTheFlimbMode*>(&mode);
    return corral && corral->showMinimum;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    UseTemporaryHome();
    DiscardLog(); // every missing option writes a line
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    ReadManagerStateDocument(text);
    const std::string budgets = ManagerStateDocument();
    ReadManagerStateDocument(budgets);
    if (ManagerStateDocument() != budgets)
        __builtin_trap();
    for (int index = 0; index < kModeCount; ++index) {
        std::unique_ptr<GameMode> mode = GameMode::Create(index);
        if (!mode)
            __builtin_trap();
        ReadModeStateDocument(*mode, text);
        if (CurrentMatchOptions().doubleSpeedMorph < -1 || CurrentMatchOptions().doubleSpeedMorph > 9)
            __builtin_trap();
        const MatchOptions read = CurrentMatchOptions();
        const bool minimum = ShowsMinimum(*mode);
        if (const auto* race = dynamic_cast<const MultiverseMatchMode*>(mode.get());
            race && (race->flimbMasterGroup < 0 || race->flimbMasterGroup > 7))
            __builtin_trap();
        const std::string written = WriteModeStateDocument(*mode);

        std::unique_ptr<GameMode> again = GameMode::Create(index); // the constructor's values
        if (!ReadModeStateDocument(*again, written))
            __builtin_trap();
        if (!SameOptions(CurrentMatchOptions(), read) || ShowsMinimum(*again) != minimum)
            __builtin_trap();
        if (WriteModeStateDocument(*again) != written || again->StateHash() != mode->StateHash())
            __builtin_trap(); // the mode's own options travel whole
    }
    return 0;
}
