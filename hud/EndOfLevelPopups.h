#pragma once
// The queue of end-of-level pop-ups: an invisible node "POPUP_QUEUE" in the HUD's top
// container that keeps the pop-ups still to come and opens the next when the shown one
// closes. It goes with the HUD.
#include "gui/Primitive.h"
#include "modes/MatchEffects.h"

#include <deque>
#include <memory>

class VoiceBubble;

class EndOfLevelPopupQueue : public Primitive {
public:
    EndOfLevelPopupQueue();
    Primitive* HitTest(int, int) override { return nullptr; }

    void Append(const std::vector<EndOfLevelPopup>& popups);
    // Opens the next pop-up when none is shown; false when none is left.
    bool ShowNext();
    size_t Pending() const { return pending_.size(); }
    bool Showing() const { return showing_; }

private:
    std::deque<EndOfLevelPopup> pending_;
    bool showing_ = false;
    bool first_ = true;
};

// The pop-up of a queue entry.
std::unique_ptr<VoiceBubble> MakeEndOfLevelPopup(const EndOfLevelPopup& popup);

// Queues the pop-ups on the open HUD and shows the next; false (nothing shown) without the
// HUD window.
bool QueueEndOfLevelPopups(const std::vector<EndOfLevelPopup>& popups);
