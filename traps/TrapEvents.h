#pragma once
// The names of the events each trap kind fires (event ids 0, 1 and 2), as the editor shows
// them on the link buttons. A kind without a name for an event id has no such event.
#include <cstdint>

// The event's name; "" when the kind has no such event (or the id is out of range).
const char* TrapEventName(int32_t kind, uint32_t eventId);
// True when the kind has at least one event.
bool TrapKindHasEvents(int32_t kind);
