// Annotations: the font of a stored name, the text size steps, the fades of showing and
// hiding, the spring and breathing, the tail of a Voice bubble, the click that closes it at
// the update its trap state reaches, the removal at the same game update whatever the frame
// rate, what a level file may hold, and the panel's rules.
#include "tests/support/PanelInput.h"
#include "tests/support/TrapHarness.h"

#include "app/DisplayText.h"
#include "gui/GuiClock.h"
#include "traps_flow/AnnotationTrap.h"
#include "world/TrapRegistry.h"
#include "world/WorldClock.h"

#include <gtest/gtest.h>

namespace {

class AnnotationTrapTest : public TrapHarness {
protected:
    void SetUp() override
    {
        TrapHarness::SetUp();
        if (HasFatalFailure())
            return;
        LoadMap(AsciiMap(100, std::string(300, '.')));
    }
    AnnotationTrap* AddNote(const std::string& children = "")
    {
        return dynamic_cast<AnnotationTrap*>(
            AddTrapXml("<trap><type>Annotation</type><x>150</x><y>50</y><message>Dig here!</message>" + children +
                       "</trap>"));
    }
    // The game updates until the annotation is gone, with frames of `frameMs` between them
    // (the GUI's per-frame step); the number of updates it took.
    int UpdatesUntilRemoved(AnnotationTrap& note, uint32_t frameMs)
    {
        uint32_t sinceUpdate = 0;
        for (int updates = 1; updates < 100; ++updates) {
            while (sinceUpdate < 71) {
                SetGuiFrameElapsed(frameMs);
                note.GuiPart()->Update();
                sinceUpdate += frameMs;
            }
            sinceUpdate -= 71;
            Run(1);
            if (!note.alive)
                return updates;
        }
        return 100;
    }
};

// "font_style" names a font of the table; a name that is not there, and font 4's, give 0.
TEST_F(AnnotationTrapTest, FontsByNameFallBackToTheDefault)
{
    EXPECT_EQ(AnnotationTrap::FontFromName("Default"), 0);
    EXPECT_EQ(AnnotationTrap::FontFromName("General"), 3);
    EXPECT_EQ(AnnotationTrap::FontFromName("No such font"), 0);
    EXPECT_EQ(AnnotationTrap::FontFromName("Flimbs"), 0) << "font 4";
    AnnotationTrap* note = AddNote("<font_style>Flimbs</font_style>");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->fontStyle, 0);
    // The size factor 1.1 x 2^((s - 127) / 64).
    EXPECT_FLOAT_EQ(AnnotationTrap::TextScale(127), 1.1f);
    EXPECT_NEAR(AnnotationTrap::TextScale(191), 2.2f, 1e-5f);
    EXPECT_NEAR(AnnotationTrap::TextScale(63), 0.55f, 1e-5f);
    EXPECT_EQ(PrepareDisplayText("one\\ntwo<br>three"), "one\ntwo\nthree");
}

// Showing fades in over 500 ms with the spring, 250 ms without; hiding fades out over
// 250 ms. Without the spring and in Standard mode the bubble keeps size 1.0.
TEST_F(AnnotationTrapTest, FadesOfShowingAndHiding)
{
    AnnotationTrap* sprung = AddNote("<visible>0</visible>");
    ASSERT_NE(sprung, nullptr);
    sprung->Activate(nullptr);
    EXPECT_EQ(sprung->visible, 1);
    EXPECT_EQ(sprung->fadeTransform.startTime, 500.0f);
    EXPECT_LT(sprung->wobbleScale, 0.5f) << "springing from 0.1";

    AnnotationTrap* note = AddNote("<visible>0</visible><wobble>0</wobble>");
    ASSERT_NE(note, nullptr);
    Listen(*note, 0);
    Listen(*note, 1);
    note->Activate(nullptr);
    EXPECT_EQ(note->fadeTransform.startTime, 250.0f);
    EXPECT_EQ(note->Opacity(), 0);
    note->StepFrame(125.0f);
    EXPECT_NEAR(note->Opacity(), 128, 1);
    note->StepFrame(500.0f);
    EXPECT_EQ(note->Opacity(), 255);
    EXPECT_EQ(note->wobbleScale, 1.0f) << "no spring, no breathing";
    note->Deactivate();
    EXPECT_EQ(note->fadeTransform.startTime, 250.0f);
    EXPECT_EQ(note->Opacity(), 255);
    EXPECT_EQ(note->alive, 1);
    Run(1);
    const std::vector<std::string> expected = {std::to_string(note->id) + ":0", std::to_string(note->id) + ":1"};
    EXPECT_EQ(events, expected);
}

// Voice and spring bubbles breathe between 0.98 and 1.02 after the spring settles.
TEST_F(AnnotationTrapTest, VoiceBubblesBreathe)
{
    AnnotationTrap* note = AddNote("<annotationMode>1</annotationMode><wobble>0</wobble>");
    ASSERT_NE(note, nullptr);
    float lowest = 2.0f, highest = 0.0f;
    for (int i = 0; i < 400; ++i) {
        note->StepFrame(16.0f);
        lowest = std::min(lowest, note->wobbleScale);
        highest = std::max(highest, note->wobbleScale);
    }
    EXPECT_LT(lowest, 0.985f);
    EXPECT_GE(lowest, 0.975f);
    EXPECT_GT(highest, 1.015f);
    EXPECT_LE(highest, 1.025f);
}

// A Voice bubble without a destination (0, 0) has no tail; with one to its right, the tail
// is on the right.
TEST_F(AnnotationTrapTest, TheVoiceTailPointsAtTheDestination)
{
    AnnotationTrap* note = AddNote("<annotationMode>1</annotationMode>");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->tailDirection, AnnotationTrap::kNoTail);
    note->arrow_relative = 1;
    note->SetDestination(400, 50);
    EXPECT_EQ(note->tailDirection, AnnotationTrap::kTailRight);
    note->SetDestination(150, 400);
    EXPECT_EQ(note->tailDirection, AnnotationTrap::kTailBottom);
    note->SetDestination(150, 50);
    EXPECT_EQ(note->tailDirection, AnnotationTrap::kNoTail);
}

// A click on a clickable bubble is sent as the trap's state with the close asked for; the
// bubble closes (event 1) at the update after that state is applied, not before.
TEST_F(AnnotationTrapTest, AClickClosesItAtTheNextUpdate)
{
    AnnotationTrap* note = AddNote();
    ASSERT_NE(note, nullptr);
    Listen(*note, 1);
    note->GuiPart()->OnLeftButton(0, 0, kPhaseDown);
    EXPECT_TRUE(session->trapStates.empty()) << "away from the bubble";
    note->GuiPart()->OnLeftButton(150, 50, kPhaseUp);
    EXPECT_TRUE(session->trapStates.empty()) << "only a press closes";
    note->GuiPart()->OnLeftButton(150, 50, kPhaseDown);
    ASSERT_EQ(session->trapStates.size(), 1u);
    EXPECT_EQ(session->requests.back(), "trap " + std::to_string(note->id) + " 0 -1");
    EXPECT_EQ(note->closed, AnnotationTrap::kOpen) << "not before every game has it";
    Run(1);
    EXPECT_TRUE(events.empty());
    const std::string& state = session->trapStates.front().xml;
    LoadInto(*note, state.substr(state.find("<trap-state")), kTrapLoadState);
    EXPECT_EQ(note->closed, AnnotationTrap::kCloseRequested);
    Run(1);
    EXPECT_EQ(note->closed, AnnotationTrap::kClosed);
    EXPECT_EQ(events, std::vector<std::string>{std::to_string(note->id) + ":1"});
    EXPECT_EQ(note->fadingOut, 1);
}

// A bubble fading out goes in the first game update whose game clock has passed the fade's
// end, whether the frames come at 30 or 60 a second.
TEST_F(AnnotationTrapTest, RemovedAtTheSameUpdateAtAnyFrameRate)
{
    int removedAt[2] = {0, 0};
    const uint32_t frames[2] = {33, 16};
    for (int i = 0; i < 2; ++i) {
        AnnotationTrap* note = AddNote();
        ASSERT_NE(note, nullptr);
        note->Deactivate();
        removedAt[i] = UpdatesUntilRemoved(*note, frames[i]);
        Run(1); // the world destroys it
    }
    EXPECT_EQ(removedAt[0], removedAt[1]);
    EXPECT_EQ(removedAt[0], 4) << "250 ms of 71 ms updates";
}

// From a file: a font_scale outside 0..255 is kept within with a log line; a disabled
// annotation loads hidden and enabled. In the editor a font size is kept within 0..255, and
// choosing Voice turns arrow_relative on.
TEST_F(AnnotationTrapTest, FileValuesAndPanelRules)
{
    AnnotationTrap* note = AddNote("<font_scale>300</font_scale><enabled>0</enabled>");
    ASSERT_NE(note, nullptr);
    EXPECT_EQ(note->font_scale, 255);
    EXPECT_TRUE(log->Contains("font_scale 300 is outside 0..255"));
    EXPECT_EQ(note->visible, 0);
    EXPECT_EQ(note->enabled, 1);
    std::unique_ptr<LayoutPanel> panel = note->BuildEditPanel();
    PanelSlide(*panel, "font_size", -5.0f);
    PanelChoose(*panel, "annotationMode", AnnotationTrap::kVoice);
    note->ApplyEditPanel(panel.get());
    EXPECT_EQ(note->font_scale, 0);
    EXPECT_EQ(note->annotationMode, AnnotationTrap::kVoice);
    EXPECT_EQ(note->arrow_relative, 1);
}

// Following: the bubble stands beside the flimb that showed it; when that flimb dies the
// bubble hides. The trap's own place (game state) never moves.
TEST_F(AnnotationTrapTest, AFollowedFlimbCarriesTheBubbleUntilItDies)
{
    AnnotationTrap* note = AddNote("<follow_flimb>1</follow_flimb><arrow_relative>1</arrow_relative>");
    ASSERT_NE(note, nullptr);
    Flimb* flimb = PlaceAt(60, 80);
    note->Activate(flimb);
    EXPECT_EQ(note->followedFlimb, flimb);
    float px = 0.0f, py = 0.0f;
    note->StandPoint(px, py);
    EXPECT_EQ(px, 60.0f + 18.0f);
    EXPECT_EQ(py, 80.0f - 32.0f);
    EXPECT_EQ(note->x, 150.0f);
    flimb->flags &= static_cast<uint8_t>(~kFlimbAlive);
    note->Update();
    EXPECT_EQ(note->followedFlimb, nullptr);
    EXPECT_EQ(note->fadingOut, 1);
}

} // namespace
