#pragma once
// What the rest of the game asks of the game session: hosting a level from the command line,
// and the requests the game client sends to the game server.
// The simulation's requests of the session (the game client's and server's, checkpoints,
// the recording) are declared with the hooks it publishes.
#include "game/GameHooks.h"

#include <string>

// Hosts the level in a new local session (a ".flimbs" file: plays it back). False when it
// could not be started.
bool LaunchLevelAsHost(const std::string& levelFile);
// True for a playback file's name (".flimbs").
bool IsPlaybackFileName(const std::string& name);
// Replays the playback to its end at full speed (no window) and writes its result line (level,
// result, flimbs saved and required, updates, state hash, updates per second) to the log and
// the standard output. False when it could not be played.
bool VerifyPlayback(const std::string& path);
// Sends the network layer's notices to the game's message log.
void InstallNetNotices();
// Fills what the floors below ask of the session: the statistics client's match record
// (GatherStatsSnapshot) and the session's part of the simulation's hooks
// (InstallSessionGameHooks). Run once at start-up.
void InstallSessionHooks();
// The session's part of the simulation's hooks (game/GameHooks.h): checkpoints, recordings,
// the level's name, the match start report, playback and catch-up states, the match rules.
void InstallSessionGameHooks();

// Whether a checkpoint trap asked for the automatic checkpoint in this pass
// (RequestAutoCheckpoint, game/GameHooks.h).
bool AutoCheckpointRequested();

// Where leaving a playback goes (the playback menu sets it before it starts one); none:
// the front end. Run once: the leave clears it.
using PlaybackReturnCallback = void (*)();
void SetPlaybackReturnCallback(PlaybackReturnCallback callback);
// Runs and clears the callback; false when none was set.
bool RunPlaybackReturnCallback();

// True while the game client of a match is connected (every level runs under one).
bool MatchClientRunning();
// Sends the player's avatar source file to the match when the game client is connected;
// nothing otherwise.
void SendAvatarToMatch();
