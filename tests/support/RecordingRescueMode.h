#pragma once
// The rescue game mode made current with each operation the traps reach noted in a journal:
// "next-id <local> <group> <origin> <count>", "created <id>", "saved <flimb> <exit>",
// "result <code> <group>". Kept apart from the controller's headers (both name a GroupStats).
#include <string>
#include <vector>

void InstallRecordingRescueMode(std::vector<std::string>& journal);
