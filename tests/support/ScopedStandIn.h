#pragma once
// Makes a trap kind a stand-in for the scope (tests of the stand-in behaviour on a kind whose
// class has been built): its maker is unregistered, then registered again.
#include "traps/TrapFactory.h"

class ScopedStandIn {
public:
    explicit ScopedStandIn(int32_t kind) : kind_(kind), maker_(RegisteredTrapMaker(kind)) { UnregisterTrapKind(kind); }
    ~ScopedStandIn()
    {
        if (maker_)
            RegisterTrapKind(kind_, maker_);
    }
    ScopedStandIn(const ScopedStandIn&) = delete;
    ScopedStandIn& operator=(const ScopedStandIn&) = delete;

private:
    int32_t kind_;
    TrapMaker maker_;
};
