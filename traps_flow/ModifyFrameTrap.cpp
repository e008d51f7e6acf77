#include "traps_flow/ModifyFrameTrap.h"

#include "app/XmlUtil.h"
#include "traps/TrapFactory.h"
#include "traps/TrapKindHelpers.h"
#include "traps_flow/ScriptTargets.h"
#include "world/StateHash.h"
#include "world/WorldClock.h"

#include <libxml/tree.h>

#include <algorithm>

namespace {

constexpr int32_t kModifyFrameKind = 41;
constexpr int32_t kBackgroundKind = 34;
// More steps than one update can owe at 26 frames a second; a larger debt starts afresh.
constexpr int kMostStepsPerUpdate = 64;
const TrapKindRegistration registration(kModifyFrameKind, [] { return std::unique_ptr<Trap>(new ModifyFrameTrap); });

} // namespace

ModifyFrameTrap::ModifyFrameTrap() : Trap(kModifyFrameKind)
{
    LoadGraphics();
}

void ModifyFrameTrap::Activate(Flimb* /*by*/)
{
    for (const uint32_t targetId : std::vector<uint32_t>(targets)) {
        Trap* target = FindScriptTarget(targetId);
        if (!target)
            continue;
        const int32_t count = SpriteFrameCount(*target);
        switch (mfmode) {
        case kGotoFrame:
            target->frame = static_cast<uint8_t>(WrapFrame(goto_frame, count));
            FireEvent(0, nullptr, false);
            break;
        case kNextFrame:
            target->frame = static_cast<uint8_t>(WrapFrame(int64_t(target->frame) + 1, count));
            FireEvent(0, nullptr, false);
            break;
        case kPrevFrame:
            target->frame = static_cast<uint8_t>(WrapFrame(int64_t(target->frame) - 1, count));
            FireEvent(0, nullptr, false);
            break;
        case kAnimate:
            // The first step comes with the next update.
            playing = true;
            currentFrame = start_frame;
            nextStepTime = double(CurrentGameTime()) + 1.0;
            break;
        case kSetImage:
            if (target->kind == kBackgroundKind)
                target->SetImage(image.c_str());
            break;
        default: break;
        }
    }
}

void ModifyFrameTrap::Update()
{
    if (!playing)
        return;
    const double period = 1000.0 / double(std::max(fps, 1));
    const double now = double(CurrentGameTime());
    int steps = 0;
    while (playing && now >= nextStepTime) {
        StepAnimation();
        nextStepTime += period;
        if (++steps >= kMostStepsPerUpdate) {
            nextStepTime = now + period;
            break;
        }
    }
}

void ModifyFrameTrap::StepAnimation()
{
    for (const uint32_t targetId : std::vector<uint32_t>(targets)) {
        Trap* target = FindScriptTarget(targetId);
        if (!target)
            continue;
        const int32_t count = SpriteFrameCount(*target);
        if (start_frame == 0 && end_frame == 0)
            end_frame = count - 1;
        // Frames past the target's sheet wrap round it.
        target->frame = static_cast<uint8_t>(WrapFrame(currentFrame, count) & 0xFF);
        ++currentFrame;
        if (currentFrame == end_frame) {
            playing = false;
            // Every peer steps the same way, so the end event is raised locally.
            FireEvent(0, nullptr, false);
        }
    }
}

void ModifyFrameTrap::RemapLinks(const std::vector<TrapIdPair>& pairs, int32_t dx, int32_t dy)
{
    for (uint32_t& target : targets)
        target = RemapTrapId(target, pairs);
    Trap::RemapLinks(pairs, dx, dy);
}

void ModifyFrameTrap::Draw()
{
    DrawIconInEditor(*this);
}

void ModifyFrameTrap::Save(xmlNode* node) const
{
    Trap::Save(node);
    AppendTrapInt(node, "mfmode", mfmode);
    for (const uint32_t target : targets)
        AppendTrapInt(node, "target_trap_id", target);
    AppendTrapInt(node, "goto_frame", goto_frame);
    AppendTrapInt(node, "start_frame", start_frame);
    AppendTrapInt(node, "end_frame", end_frame);
    AppendTrapInt(node, "fps", fps);
    AppendTrapChild(node, "image", image);
}

void ModifyFrameTrap::Load(xmlNode* node, xmlNode* defaults, int32_t mode)
{
    Trap::Load(node, defaults, mode);
    mfmode = XmlGetTagInt(node, "mfmode", defaults, mfmode);
    XmlGetTagText(node, "target_trap_id", defaults); // required: throws when missing
    goto_frame = XmlGetTagInt(node, "goto_frame", defaults, goto_frame);
    start_frame = XmlGetTagInt(node, "start_frame", defaults, start_frame);
    end_frame = XmlGetTagInt(node, "end_frame", defaults, end_frame);
    fps = XmlGetTagInt(node, "fps", defaults, fps);
    image = XmlGetTagText(node, "image", defaults);
    targets.clear();
    for (xmlNode* child = node ? XmlChildren(node) : nullptr; child; child = XmlNext(child))
        if (XmlName(child) == "target_trap_id")
            targets.push_back(ParseTrapId(XmlNodeText(child)));
}

void ModifyFrameTrap::CopyKindFields(const Trap& source)
{
    const auto& other = static_cast<const ModifyFrameTrap&>(source);
    targets = other.targets;
    image = other.image;
    mfmode = other.mfmode;
    goto_frame = other.goto_frame;
    start_frame = other.start_frame;
    end_frame = other.end_frame;
    fps = other.fps;
    playing = other.playing;
    currentFrame = other.currentFrame;
    nextStepTime = other.nextStepTime;
}

void ModifyFrameTrap::HashState(StateHasher& hasher) const
{
    hasher.Add(static_cast<uint32_t>(targets.size()));
    for (const uint32_t target : targets)
        hasher.Add(target);
    hasher.Add(mfmode);
    hasher.Add(goto_frame);
    hasher.Add(start_frame);
    hasher.Add(end_frame);
    hasher.Add(fps);
    hasher.Add(playing);
    hasher.Add(currentFrame);
    hasher.Add(nextStepTime);
}
