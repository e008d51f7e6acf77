#pragma once
// The files the modes ask after by game path (recordings, checkpoints): found through the
// file manager or under the user folder.
#include <string>

bool GameFileExists(const std::string& gamePath);
// Deletes a file under the user folder; false when there was none or it stayed.
bool DeleteUserFile(const std::string& gamePath);
