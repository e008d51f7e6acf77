#include "traps_flow/ChatTrap.h"

#include "app/XmlUtil.h"
#include "game/GameHooks.h"
#include "traps/EditorOnlyDraw.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps_flow/ScriptTargets.h"
#include "world/StateHash.h"

namespace {

constexpr int32_t kChatKind = 43;
// The sender of a local notice: no player.
constexpr int32_t kNoticeSender = -2;
const TrapKindRegistration registration(kChatKind, [] { return std::unique_ptr<Trap>(new ChatTrap); });

} // namespace

ChatTrap::ChatTrap() : Trap(kChatKind)
{
    LoadGraphics();
}

std::unique_ptr<Trap> ChatTrap::Duplicate() const
{
    std::unique_ptr<Trap> copy = Trap::Duplicate();
    if (auto* chat = dynamic_cast<ChatTrap*>(copy.get()))
        chat->message.clear();
    return copy;
}

void ChatTrap::Activate(Flimb* /*by*/)
{
    if (GameClientExists())
        SendChat(speaker, message, kNoticeSender, false);
}

void ChatTrap::Draw()
{
    DrawInEditorOnly(*this);
}

void ChatTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    AppendTrapChild(node, "message", message);
    AppendTrapChild(node, "speaker", speaker);
}

void ChatTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    message = XmlGetTagText(node, "message", defaults);
    speaker = XmlGetTagText(node, "speaker", defaults);
}

void ChatTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const ChatTrap&>(source);
    message = other.message;
    speaker = other.speaker;
}

void ChatTrap::HashState(StateHasher& hasher) const
{
    HashText(hasher, message);
    HashText(hasher, speaker);
}
