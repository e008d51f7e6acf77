#pragma once
// Opening a web address in the user's browser (xdg-open), without waiting for it.
#include <functional>
#include <string>

namespace platform {

// Hands the address to xdg-open. False when the helper could not be started.
bool OpenUrl(const std::string& url);

// Tests install a handler that receives every address in place of xdg-open (its answer is
// OpenUrl's result); an empty handler restores xdg-open.
using OpenUrlHandler = std::function<bool(const std::string& url)>;
void SetOpenUrlHandler(OpenUrlHandler handler);

} // namespace platform
