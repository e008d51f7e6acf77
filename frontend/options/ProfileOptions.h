#pragma once
// The profile and account rows of the options menu: the list of profiles ("pros", with a
// last entry <New>), and the name and password boxes, whose changes take effect when they
// lose the keyboard focus.
#include "gui/PrimContainer.h"

#include <string>
#include <vector>

class ComboBox;

struct ProfileChoice {
    std::string caption;
    int data = 0; // 0: a profile; 1: <New>
};

// From the listed file names, in their order: each but the exact "default-profile.xml"
// becomes its name without ".xml"; names that cannot be a profile's are left out; <New>
// comes last. `selected` is the entry of the current profile (case ignored), or -1.
std::vector<ProfileChoice> BuildProfileList(const std::vector<std::string>& files, const std::string& current,
                                            int& selected);
// The file names of "Profiles\*.xml" (the file manager's, then the user folder's).
std::vector<std::string> ListProfileFiles();

void OnProfileChosen(Primitive* parent, ComboBox* combo);
void OnUsernameEdited(Primitive* parent, Primitive* box);
void OnPasswordEdited(Primitive* parent, Primitive* box);
