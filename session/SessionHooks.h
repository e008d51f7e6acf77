#pragma once
// What the session asks of the floors above it. The in-game HUD fills SessionHudHooks and
// the front end SessionScreenHooks at start-up (InstallHudHooks, InstallScreenHooks); an
// empty hook does nothing, so the session also runs alone: in the headless tools' quiet
// parts and in its own tests.
#include <functional>

class Primitive;
struct Flimb;

struct SessionHudHooks {
    // A level was loaded for play in a live session: the in-game HUD opens over it.
    std::function<void()> openLevelHud;
    // The session ends: the in-game HUD closes when it is open.
    std::function<void()> closeLevelHud;
    // The playback viewer's controls for a playback session, which owns them.
    std::function<Primitive*()> makePlaybackControls;
    // A single-player level is loaded and about to be played: the HUD shows the level's
    // intro, whose Start begins the match. False when nothing was shown (no HUD).
    std::function<bool()> showLevelIntro;
};
void SetSessionHudHooks(SessionHudHooks hooks);

struct SessionScreenHooks {
    // The front end's menus, after a session ended or failed.
    std::function<void()> showFrontEnd;
};
void SetSessionScreenHooks(SessionScreenHooks hooks);

// The session's calls through the hooks; each does nothing (makePlaybackControls: null)
// while its hook is empty.
void OpenLevelHud();
void CloseLevelHud();
Primitive* MakePlaybackControls();
// False (the level's intro is not shown) while the hook is empty.
bool OfferLevelIntro();
void ShowFrontEndMenus();
