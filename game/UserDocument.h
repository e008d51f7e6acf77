#pragma once
// The game's small XML records in the user folders (level configurations, completion
// records): loaded so that a broken file is never overwritten, and saved gzip-compressed
// with a copy in the cloud store.
#include "app/XmlUtil.h"

#include <string>

// The document at the user path when it exists and has the root element. A file that is
// there but does not parse, or has another root, is renamed aside ("<name>.broken", then
// ".broken1" ...) with a log line and null is returned, as for a missing file.
XmlDocument LoadUserDocument(const std::string& path, const char* rootName);
// Saves the document indented and gzip-compressed (level 9) through a temporary file, then
// copies the file's bytes to the cloud store under its plain file name. False (logged) when
// the save failed.
bool SaveUserDocument(xmlDoc* doc, const std::string& path);
