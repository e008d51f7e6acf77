#include "TypingFixture.h"

#include "gui/Label.h"
#include "gui/WidgetText.h"

namespace {

using LabelTest = TypingFixture;

TEST_F(LabelTest, FitsCutsAndWrapsAsAsked)
{
    const std::string text = "a fairly long caption for a label";
    Label label(0, 0xFFFFFFFF, 0, text);
    label.FitToText();
    float width = 0, height = 0;
    ASSERT_TRUE(label.GetSize(&width, &height));
    EXPECT_GT(width, 0.0f);
    EXPECT_NEAR(width, WidgetTextWidth(0, text, label.TextScale()), 0.5f);
    EXPECT_EQ(label.ShownText(), text); // no fit rule: shown whole

    label.SetSize(width / 3.0f, kKeepCoordinate);
    label.SetFit(TextFit::Cut);
    const std::string cut = label.ShownText();
    EXPECT_LT(cut.size(), text.size());
    EXPECT_EQ(text.compare(0, cut.size(), cut), 0);
    EXPECT_LE(WidgetTextWidth(0, cut, label.TextScale()), width / 3.0f);

    label.SetFit(TextFit::Wrap);
    float wrappedWidth = 0, wrappedHeight = 0;
    label.GetSize(&wrappedWidth, &wrappedHeight);
    EXPECT_GE(wrappedHeight, 3.0f * height - 1.0f);
    label.FitToText(); // wrapping keeps the width
    EXPECT_NEAR(label.GetSizeVirtual().x, width / 3.0f, 0.01f);
}

TEST_F(LabelTest, SimpleLabelIsOneLine)
{
    SimpleLabel label(0, 0xFF00FF00, kLabelCentre, "two\nlines");
    EXPECT_EQ(label.GetText(), "two lines");
    label.SetText("again\r\n");
    EXPECT_EQ(label.GetText(), "again  ");
    EXPECT_EQ(label.Fit(), TextFit::Cut);
    label.SetScale(0.8f);
    Label plain;
    EXPECT_FLOAT_EQ(label.TextScale(), 0.8f * plain.TextScale());
    label.Draw(); // no device: nothing drawn, nothing fails
}

} // namespace
