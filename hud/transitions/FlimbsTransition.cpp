#include "hud/transitions/FlimbsTransition.h"

#include "gui/Animators.h"
#include "gui/FlimbsMenuBar.h"
#include "gui/ScreenVideo.h"

FlimbsTransition::FlimbsTransition()
{
    SetPosition(0.0f, 0.0f);
    SetSize(1000.0f, 1000.0f);
    video_ = new ScreenVideo(kIrisClip);
    video_->SetPosition(0.0f, 0.0f);
    video_->SetSize(1000.0f, 1000.0f);
    video_->transparencyMask = kIrisKeyMask;
    video_->colourOr = 0;
    video_->start = kClosingStart;
    video_->Restart();
    video_->finished = video_->loaded ? 0 : 1;
    AddChild(video_);
}

void FlimbsTransition::SetTitle(const std::string& text)
{
    titleText_ = text;
    if (!titleBar_) {
        titleBar_ = new FlimbsMenuBar(text);
        titleBar_->hAlign = kAlignHCentre;
        titleBar_->vAlign = kAlignBottom;
        titleBar_->enabled = 0; // a caption, not a button
        float width = 0.0f, height = 0.0f;
        titleBar_->GetSize(&width, &height);
        titleBar_->SetSize(width, height);
        titleBar_->SetPosition(500.0f, 1000.0f + height);
        AddChild(titleBar_); // over the video
        titleAnimation_ = new AnimatePosition(titleBar_);
        AddChild(titleAnimation_);
        titleAnimation_->Start(500.0f, 1000.0f, kTitleMoveMs);
    }
    titleBar_->SetMenuText(text);
    float width = 0.0f, height = 0.0f;
    titleBar_->GetSize(&width, &height);
    titleBar_->SetSize(width, height);
}

void FlimbsTransition::Update()
{
    PrimContainer::Update();
    switch (state_) {
    case State::Closing:
        if (video_->finished) {
            if (onClosed)
                onClosed(nullptr, this);
            state_ = State::Closed;
        }
        break;
    case State::Closed:
        if (screenReady) {
            video_->start = 0;
            video_->stop = kClosingStart;
            video_->Restart();
            video_->finished = video_->loaded ? 0 : 1;
            state_ = State::Opening;
            if (titleAnimation_) {
                const FloatPoint at = titleBar_->GetPositionVirtual();
                titleAnimation_->Start(500.0f, at.y + 1000.0f, kTitleMoveMs);
            }
        }
        break;
    case State::Opening:
        if (video_->finished) {
            if (onFinished)
                onFinished(nullptr, this);
            state_ = State::Done;
            Deactivate();
        }
        break;
    case State::Done:
        break;
    }
}
