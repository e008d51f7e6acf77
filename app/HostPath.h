#pragma once
// Turning game names into paths on this machine. Data and levels mix letter cases, so
// each component is matched against the disk ignoring ASCII case (an exact match wins).

#include <string>
#include <string_view>

// The existing host path of `gameRelative` ('\' or '/' separators) below `hostRoot`, or
// empty when it is not there or the name would leave the root.
std::string ResolveHostPathNoCase(const std::string& hostRoot, std::string_view gameRelative);

// The host path to write a game path to: the user-folder map, with every existing folder
// component matched ignoring case. Empty (and a log line) when the name would leave its root.
std::string HostPathForWrite(std::string_view gamePath);

// The part of `hostPath` below `hostRoot` ('/' separators) when `hostPath` was found by walking
// that root; worked out from the names alone, so a file that vanishes meanwhile or a symbolic
// link on the way changes nothing.
std::string PathBelowRoot(const std::string& hostPath, const std::string& hostRoot);
