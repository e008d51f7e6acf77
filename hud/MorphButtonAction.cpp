// The belt buttons' click, apart from the game modes' headers (the controller's).
#include "game/GameController.h"
#include "hud/FlimbActionButton.h"
#include "hud/HudActions.h"
#include "world/WorldState.h"

void OnMorphButton(Primitive* control)
{
    auto* button = dynamic_cast<FlimbActionButton*>(control);
    if (!button)
        return;
    // Gulp down and up are one type; the flag 0 asks for the up variant.
    const bool gulpUp = button->Type() == FlimbActionButton::kGulp && button->AlternateLook();
    NoteFlimbSelected(uint8_t(button->Type()), gulpUp ? 0 : 1, World().selected);
    FocusGameView(control);
}

MessageLog& HudMessageLog()
{
    return Controller().messages;
}
