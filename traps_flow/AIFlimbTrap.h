#pragma once
// The AI flimb trap (kind 40): a placeholder kind with the base trap's behaviour throughout;
// it keeps its place in levels and saves nothing of its own.
#include "traps/Trap.h"

class AIFlimbTrap : public Trap {
public:
    AIFlimbTrap();

    void Update() override {}
};
