#pragma once
// What the playback controls do to the playback session: its state (playing, paused,
// ended), the pace "lag" (milliseconds per update; 60 is normal speed, within the bounds the
// variable keeps), the recording's cursor and the way out. The buttons, the space key and
// the slider of the playback HUD call these.
#include <cstdint>

namespace PlaybackActions {

constexpr int kNormalLag = 60;
constexpr int kLagStep = 10;
constexpr uint32_t kJumpUpdates = 70;
// Where "Start server here" saves the recording so far, in the profile's playback folder,
// and what the new game server is asked to play.
constexpr const char* kServerPlaybackName = "playback";

// From the first recorded command at normal speed; a playback that cannot be rewound shows
// "Error in playback" and stays as it was.
void Restart();
void SlowDown();
void SpeedUp();
// Ended: as Restart. Playing: paused (the pace stays). Paused: playing at normal speed.
void PlayPause();
// Runs the next 70 recorded updates at once.
void JumpAhead();
// The slider: an update at or after the current one is sought (the updates between run at
// once); an earlier one is refused (false): the playback never goes backwards from there.
bool SeekForward(uint32_t update);
// Saves the recording so far (kServerPlaybackName) and continues the match live from that
// point: the playback session closes and a hosting session plays the recording to its
// clients. False (logged, the playback left as it was) when the save or the host fails.
bool StartServerHere();
// Ends the playback session and goes where the session's return callback says (the front
// end when none is set).
void LeavePlayback();

} // namespace PlaybackActions
