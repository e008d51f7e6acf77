#include "FakeMatch.h"

#include "modes/MatchEnd.h"
#include "modes/MatchOptions.h"
#include "modes/ModeServices.h"

void MatchFixture::SetUp()
{
    SetMatchWorld(&world);
    SetMatchEffects(&effects);
    ResetMatchOptions();
    SetOptionAnnouncementsSuppressed(false);
}

void MatchFixture::TearDown()
{
    ClearCurrentGameMode();
    GameModifier::RegisterMaker(GameModifier::kStatue, nullptr);
    GameModifier::RegisterMaker(GameModifier::kStun, nullptr);
    SetUnlockHook(nullptr);
    ResetMatchOptions();
    SetMatchWorld(nullptr);
    SetMatchEffects(nullptr);
}
