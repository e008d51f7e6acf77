#pragma once
// The game's adapter of the match rules' effects (modes/MatchEffects.h): the session, the
// HUD, the sound manager and the statistics client.
class MatchEffects;

MatchEffects& GameMatchEffects();
