#include "hud/EndOfLevelPopups.h"

#include "hud/HudGame.h"
#include "hud/HudServices.h"
#include "hud/HudWindow.h"
#include "hud/MatchResultVoice.h"
#include "hud/PopupSupport.h"
#include "hud/UnlockPopups.h"

namespace {

constexpr const char* kQueueName = "POPUP_QUEUE";
constexpr int kFirstPopupEffect = 19;

EndOfLevelPopupQueue* FindQueue(PrimContainer* top)
{
    return top ? dynamic_cast<EndOfLevelPopupQueue*>(top->FindChild(kQueueName)) : nullptr;
}

} // namespace

std::unique_ptr<VoiceBubble> MakeEndOfLevelPopup(const EndOfLevelPopup& popup)
{
    switch (popup.kind) {
    case EndOfLevelPopup::Kind::MatchResult: return MatchResultVoice::Create(popup.text);
    case EndOfLevelPopup::Kind::FlimbMasterUnlocked: return FlimbMasterUnlockedVoice::Create(popup.text, popup.path);
    case EndOfLevelPopup::Kind::BonusItemUnlocked:
        return BonusItemUnlockVoice::Create(popup.type, popup.path, popup.message);
    case EndOfLevelPopup::Kind::FinalVideo: return std::make_unique<FinalVideoVoicePopup>();
    }
    return nullptr;
}

EndOfLevelPopupQueue::EndOfLevelPopupQueue()
{
    SetName(kQueueName);
    excludeFromBounds = 1;
}

void EndOfLevelPopupQueue::Append(const std::vector<EndOfLevelPopup>& popups)
{
    pending_.insert(pending_.end(), popups.begin(), popups.end());
}

bool EndOfLevelPopupQueue::ShowNext()
{
    if (showing_)
        return true;
    while (!pending_.empty()) {
        const EndOfLevelPopup next = pending_.front();
        pending_.pop_front();
        std::unique_ptr<VoiceBubble> bubble = MakeEndOfLevelPopup(next);
        if (!bubble)
            continue;
        // The next one opens when this one closes (the queue is looked up again then: the
        // HUD may have gone in between).
        bubble->onClosed = [](VoiceBubble*) {
            HudWindow* hud = FindHud();
            if (EndOfLevelPopupQueue* queue = FindQueue(hud ? hud->TopContainer() : nullptr)) {
                queue->showing_ = false;
                queue->ShowNext();
            }
        };
        if (!ShowBubbleOverHud(std::move(bubble), kPopupFadeMs))
            return false;
        showing_ = true;
        if (first_)
            CurrentHudGame().PlayEffect(kFirstPopupEffect, 1.0f);
        first_ = false;
        return true;
    }
    return false;
}

bool QueueEndOfLevelPopups(const std::vector<EndOfLevelPopup>& popups)
{
    HudWindow* hud = FindHud();
    PrimContainer* top = hud ? hud->TopContainer() : nullptr;
    if (!top)
        return false;
    EndOfLevelPopupQueue* queue = FindQueue(top);
    if (!queue) {
        auto made = std::make_unique<EndOfLevelPopupQueue>();
        queue = made.get();
        top->AddChild(made.release());
    }
    queue->Append(popups);
    queue->ShowNext();
    return true;
}
