#pragma once
// The new-user prompt: the player types a name (the new profile's name and the multiplayer
// user name) and, optionally, the password of a site account, kept only as its MD5
// digest. Shown instead of the main menu while the profile is "default-profile" or its
// file is missing, and by the options' <New> entry.
#include "gui/Button.h"
#include "gui/PrimContainer.h"

#include <functional>

class FlimbsWindow3;

class PromptForNewUser : public PrimContainer {
public:
    static constexpr const char* kName = "PromptForNewUser";
    // The site named in the help tooltip.
    static constexpr const char* kSiteName = "FlimbStats";
    static constexpr const char* kSiteAddress = "www.flimbs.org";

    PromptForNewUser();
    // Enter (key down) runs Proceed.
    int OnKey(int value, int code, bool shift, IInputDevice& device) override;

    FlimbsWindow3* Form() const { return form_; }
    Button* ProceedButton() const { return proceed_; }
    Button* LeaveButton() const { return leave_; }

private:
    FlimbsWindow3* form_ = nullptr;
    Button* proceed_ = nullptr; // handed to Proceed on Enter
    Button* leave_ = nullptr;
};

PromptForNewUser* ShowPromptForNewUser();

// The prompt's buttons, called with (the button's parent, the button).
void ProceedHandler(Primitive* parent, Button* button);
void CancelHandler(Primitive* parent, Button* button);
