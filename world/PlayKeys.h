#pragma once
// The play keys: the handlers of the player's key commands that act on the selected flimb
// or on the world's switches. Each gets down = true on a press and false on a release.
#include <cstdint>

// The play keys' handlers, named after the key actions of the key binding table
// (world/BindableAction.h) that call them.
void ClobKey(bool down);
void MoldKey(bool down);
void NovaKey(bool down);
void DrillKey(bool down);
void GulpKey(bool down);
void DoppelKey(bool down);
void AtomizeKey(bool down);
void LopKey(bool down);
void PuffKey(bool down);
void SpinKey(bool down);
void GulpUpKey(bool down);
void WalkKey(bool down);
// In Capture the flimb the release lets the HUD's score button go; elsewhere a press
// switches the network pulse between 4 and 75 ms.
void ShowScoresKey(bool down);
void WalkLeftKey(bool down);
void WalkRightKey(bool down);
void JumpKey(bool down);
void HideOwnTeamKey(bool down);
void HideOtherTeamsKey(bool down);
void QuickKey(bool down);
void FollowFlimbKey(bool down);
void HoldBeltKey(bool down);
void ForceLeftKey(bool down);
void ForceRightKey(bool down);

// Orders an action for the selected flimb (the action keys, the belt): unless the game is
// paused, stamps the action-key time when asked, hides the belt and passes the order on.
void SelectAction(uint8_t action, uint8_t argument, bool stamp);

// The overlays key (no key action names it yet).
void OverlaysOffKey(bool down);
