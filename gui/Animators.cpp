#include "gui/Animators.h"

#include "app/Random.h"
#include "gui/GuiClock.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

namespace {

// The target is the animator's parent, a sibling, or its own child.
bool Reachable(const Primitive* animator, const Primitive* target)
{
    if (!target)
        return false;
    if (target == animator->parent)
        return true;
    if (const auto* siblings = dynamic_cast<const Container<Primitive>*>(animator->parent))
        if (siblings->HasChild(target))
            return true;
    if (const auto* self = dynamic_cast<const Container<Primitive>*>(animator))
        return self->HasChild(target);
    return false;
}

void RunCallback(const AnimationCallback& callback, Primitive* target, Primitive* animation)
{
    if (callback) {
        const AnimationCallback copy = callback; // the callback may replace itself
        copy(target, animation);
    }
}

} // namespace

void DeleteFinishedAnimation(Primitive*, Primitive* animation)
{
    if (animation)
        animation->Deactivate();
}

// ---- AnimateAlpha

AnimateAlpha::AnimateAlpha(Primitive* target) : target_(target)
{
    name = "ANIMATE_ALPHA";
    containerFlags |= kContainerTransparent;
    excludeFromBounds = 1;
}

void AnimateAlpha::Start(int mode, uint32_t totalMs, uint32_t holdMs, uint32_t delayMs)
{
    mode_ = mode;
    total_ = totalMs;
    hold_ = holdMs;
    delay_ = delayMs;
    Restart();
}

void AnimateAlpha::Restart()
{
    elapsed_ = 0;
    running_ = true;
    current_ = AlphaAt(0);
    if (target_)
        target_->SetFlag(current_, 1);
}

uint8_t AnimateAlpha::AlphaAt(uint32_t elapsed) const
{
    const float e = static_cast<float>(elapsed);
    const float delay = static_cast<float>(delay_);
    const float hold = static_cast<float>(hold_);
    const float rest = std::max(0.0f, static_cast<float>(total_) - delay - hold);
    float level = 0.0f; // 0 transparent .. 1 opaque
    switch (mode_) {
    case kFadeOut:
        level = rest > 0.0f ? 1.0f - (e - delay - hold) / rest : (e >= delay + hold ? 0.0f : 1.0f);
        break;
    case kFadeInOut: {
        const float fade = rest / 2.0f;
        const float t = e - delay;
        if (t < 0.0f)
            level = 0.0f;
        else if (t < fade)
            level = t / fade;
        else if (t < fade + hold)
            level = 1.0f;
        else
            level = fade > 0.0f ? 1.0f - (t - fade - hold) / fade : 0.0f;
        break;
    }
    default:
        level = rest > 0.0f ? (e - delay - hold) / rest : (e >= delay + hold ? 1.0f : 0.0f);
        break;
    }
    level = std::clamp(level, 0.0f, 1.0f);
    return static_cast<uint8_t>(level * 255.0f + 0.5f);
}

void AnimateAlpha::Update()
{
    PrimContainer::Update();
    if (!running_)
        return;
    if (!Reachable(this, target_)) {
        running_ = false;
        return;
    }
    elapsed_ = std::min<uint64_t>(uint64_t{elapsed_} + GuiFrameElapsed(), total_);
    current_ = AlphaAt(elapsed_);
    target_->SetFlag(current_, 1);
    if (elapsed_ >= total_) {
        running_ = false;
        RunCallback(onFinished, target_, this);
    }
}

void AnimateAlpha::UpdateAbsolutePosition()
{
    PrimContainer::UpdateAbsolutePosition();
    excludeFromBounds = Children().empty() ? 1 : 0;
    for (const Primitive* child : Children()) {
        rect.right = std::max(rect.right, child->rect.right);
        rect.bottom = std::max(rect.bottom, child->rect.bottom);
    }
}

void AnimateAlpha::Draw()
{
    for (Primitive* child : Children())
        if (child->visible && child->highlight && child->active)
            child->Draw();
}

// ---- AnimatePosition

AnimatePosition::AnimatePosition(Primitive* target, AnimEndAction action) : endAction(action), target_(target)
{
    name = "ANIMATE_POS";
    excludeFromBounds = 1;
}

Primitive* AnimatePosition::HitTest(int, int) { return nullptr; }

FloatPoint AnimatePosition::CurrentPosition() const
{
    return target_ ? target_->GetPositionVirtual() : FloatPoint{};
}

void AnimatePosition::ApplyPosition(FloatPoint position)
{
    target_->SetPosition(position.x, position.y);
}

bool AnimatePosition::TargetReachable() const { return Reachable(this, target_); }

void AnimatePosition::Begin(FloatPoint from, FloatPoint velocity, float x, float y, uint32_t durationMs)
{
    const float duration = static_cast<float>(durationMs);
    x_.SetValues(from.x, x, velocity.x);
    y_.SetValues(from.y, y, velocity.y);
    x_.Set(0.0f, duration);
    y_.Set(0.0f, duration);
    x_.Start();
    y_.Start();
    running_ = true;
}

void AnimatePosition::Start(float x, float y, uint32_t durationMs)
{
    Begin(CurrentPosition(), FloatPoint{}, x, y, durationMs);
}

void AnimatePosition::Retarget(float x, float y, uint32_t durationMs)
{
    FloatPoint velocity;
    if (running_)
        velocity = FloatPoint{x_.Rate(x_.time), y_.Rate(y_.time)};
    Begin(CurrentPosition(), velocity, x, y, durationMs);
}

void AnimatePosition::FlyInFrom(float fromX, float fromY, uint32_t durationMs)
{
    const FloatPoint home = CurrentPosition();
    ApplyPosition(FloatPoint{fromX, fromY});
    Start(home.x, home.y, durationMs);
}

void AnimatePosition::Update()
{
    if (!running_)
        return;
    if (!TargetReachable()) {
        running_ = false;
        return;
    }
    const float step = static_cast<float>(GuiFrameElapsed());
    const float x = x_.Advance(step);
    const float y = y_.Advance(step);
    ApplyPosition(FloatPoint{x, y});
    if (!x_.AtEnd())
        return;
    running_ = false;
    if (endAction == AnimEndAction::Hide) {
        target_->SetVisible(0);
    } else if (endAction == AnimEndAction::Close) {
        if (auto* window = dynamic_cast<PrimContainer*>(target_))
            window->Close();
        else
            target_->Deactivate();
    }
    RunCallback(onFinished, target_, this);
}

FloatPoint AnimateActualPosition::ParentOrigin() const
{
    const Primitive* target = Target();
    if (!target || !target->parent || target->absolutelyPlaced)
        return FloatPoint{};
    const Primitive* parentNode = target->parent;
    return FloatPoint{ToVirtualX(parentNode->rect.left - parentNode->scrollX),
                      ToVirtualY(parentNode->rect.top - parentNode->scrollY)};
}

FloatPoint AnimateActualPosition::CurrentPosition() const
{
    const FloatPoint relative = AnimatePosition::CurrentPosition();
    const FloatPoint origin = ParentOrigin();
    return FloatPoint{relative.x + origin.x, relative.y + origin.y};
}

void AnimateActualPosition::ApplyPosition(FloatPoint position)
{
    const FloatPoint origin = ParentOrigin();
    AnimatePosition::ApplyPosition(FloatPoint{position.x - origin.x, position.y - origin.y});
}

void AnimatePositionTo(AnimatePosition* animation, uint32_t durationMs, float x, float y)
{
    if (animation)
        animation->Retarget(x, y, durationMs);
}

// ---- AnimateSize

AnimateSize::AnimateSize(Primitive* target) : target_(target)
{
    excludeFromBounds = 1;
}

Primitive* AnimateSize::HitTest(int, int) { return nullptr; }

void AnimateSize::Start(float width, float height, uint32_t durationMs)
{
    if (!target_)
        return;
    keepWidth_ = width <= kKeepCoordinate;
    keepHeight_ = height <= kKeepCoordinate;
    if (durationMs <= 1) {
        target_->SetSize(width, height);
        Finish();
        return;
    }
    const FloatPoint size = target_->GetSizeVirtual();
    width_.SetValues(size.x, keepWidth_ ? size.x : width, 0.0f);
    height_.SetValues(size.y, keepHeight_ ? size.y : height, 0.0f);
    width_.Set(0.0f, static_cast<float>(durationMs));
    height_.Set(0.0f, static_cast<float>(durationMs));
    width_.Start();
    height_.Start();
    running_ = true;
}

void AnimateSize::Update()
{
    if (!running_)
        return;
    if (!Reachable(this, target_)) {
        running_ = false;
        return;
    }
    const float step = static_cast<float>(GuiFrameElapsed());
    const float width = width_.Advance(step);
    const float height = height_.Advance(step);
    target_->SetSize(keepWidth_ ? kKeepCoordinate : width, keepHeight_ ? kKeepCoordinate : height);
    if (width_.AtEnd())
        Finish();
}

void AnimateSize::Finish()
{
    running_ = false;
    RunCallback(onFinished, target_, this);
}

// ---- ValueAnimation

void ValueAnimation::Start(float from, float to, uint32_t durationMs)
{
    transform_.fromValue = from;
    transform_.toValue = to;
    transform_.Set(0.0f, static_cast<float>(durationMs));
    transform_.Start();
}

float ValueAnimation::Advance(uint32_t elapsedMs)
{
    if (!transform_.running)
        return transform_.value;
    return transform_.Advance(static_cast<float>(elapsedMs));
}

// ---- Screen entrances

namespace {

void CollectLeaves(Container<Primitive>* container, std::vector<std::pair<Primitive*, Container<Primitive>*>>& leaves)
{
    for (Primitive* child : container->Children()) {
        if (child->excludeFromBounds)
            continue; // animators and other non-content
        if (child->GetPrimitiveKind() == 2)
            if (auto* inner = dynamic_cast<Container<Primitive>*>(child)) {
                CollectLeaves(inner, leaves);
                continue;
            }
        leaves.emplace_back(child, container);
    }
}

} // namespace

void FlyInChildren(Container<Primitive>* screen, uint32_t durationMs)
{
    if (!screen)
        return;
    std::vector<std::pair<Primitive*, Container<Primitive>*>> leaves;
    CollectLeaves(screen, leaves);
    for (auto& [leaf, owner] : leaves) {
        const FloatPoint size = leaf->GetSizeVirtual();
        const float radius = std::max(size.x, size.y) / 2.0f + 1000.0f;
        const float angle = static_cast<float>(DrawRand() % 360) * std::numbers::pi_v<float> / 180.0f;
        auto* animation = new AnimateActualPosition(leaf);
        animation->onFinished = DeleteFinishedAnimation;
        owner->AddChild(animation);
        animation->FlyInFrom(500.0f + radius * std::cos(angle), 500.0f + radius * std::sin(angle), durationMs);
    }
}

void SlideInFromBelow(PrimContainer* screen, float x, float y)
{
    if (!screen)
        return;
    auto* animation = new AnimatePosition(screen);
    animation->onFinished = DeleteFinishedAnimation;
    screen->AddChild(animation);
    animation->FlyInFrom(x, y, 500);
}
