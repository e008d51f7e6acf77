#include "hud/HudServices.h"

void UpdateGlobalPopup() {}

void ShutdownHud() {}
