#include <gtest/gtest.h>

#include "tests/unit/uikit/layouttesting.h"

namespace uikit {
namespace {

using testing::Layout;

TEST(StackLayout, FixedAndSharedChildrenSplitTheRowAfterPaddingAndGaps)
{
    auto r = Layout(R"(<row layout="hbox" padding="5,5,5,0" gap="5">
                         <box name="a" width="share"/><box name="b" width="40" height="24"/>
                       </row>)",
                    300, 31);
    EXPECT_EQ(r["a"], (Rect{5, 5, 250, 31}));
    EXPECT_EQ(r["b"], (Rect{255, 5, 295, 29}));
}

TEST(StackLayout, WeightsDivideTheRemainderWithoutLosingPixels)
{
    auto r = Layout(R"(<row layout="hbox"><box name="a" width="share"/><box name="b" width="share" weight="2"/></row>)",
                    301, 10);
    EXPECT_EQ(r["a"].Width() + r["b"].Width(), 301);
    EXPECT_EQ(r["a"].Width(), 100);
    EXPECT_EQ(r["b"].left, r["a"].right);
}

TEST(StackLayout, VerticalStackPlacesLinesBodyAndBarsInOrder)
{
    auto r = Layout(R"(<body layout="vbox">
                         <line name="top" height="1"/><split name="mid" height="share"/>
                         <bar name="bar" height="40"/><line name="sep" height="1"/><status name="st" height="23"/>
                       </body>)",
                    898, 565);
    EXPECT_EQ(r["top"], (Rect{0, 0, 898, 1}));
    EXPECT_EQ(r["mid"], (Rect{0, 1, 898, 501}));
    EXPECT_EQ(r["bar"], (Rect{0, 501, 898, 541}));
    EXPECT_EQ(r["st"], (Rect{0, 542, 898, 565}));
}

TEST(StackLayout, FitChildrenTakeTheirMeasuredSizeAndCentreAcrossTheRow)
{
    auto r = Layout(R"(<row layout="hbox" valign="center" gap="3">
                         <text name="t" text="abcd" width="fit" height="fit"/><box name="rest" width="share" height="24"/>
                       </row>)",
                    200, 40);
    EXPECT_EQ(r["t"], (Rect{0, 12, 28, 28}));
    EXPECT_EQ(r["rest"], (Rect{31, 8, 200, 32}));
}

TEST(StackLayout, HiddenChildrenTakeNoSpace)
{
    auto r = Layout(R"(<row layout="hbox" gap="5">
                         <box name="a" width="10"/><box name="hidden" width="50" visible="0"/><box name="b" width="10"/>
                       </row>)",
                    100, 10);
    EXPECT_EQ(r["b"].left, 15);
    EXPECT_TRUE(r["hidden"].Empty());
}

TEST(StackLayout, RunWithoutSharesCanBeCentredAlongTheStack)
{
    auto r = Layout(R"(<row layout="hbox" halign="center" gap="15">
                         <b name="ok" width="75" height="25"/><b name="cancel" width="75" height="25"/>
                       </row>)",
                    255, 30);
    EXPECT_EQ(r["ok"].left, 45);
    EXPECT_EQ(r["cancel"].left, 135);
}

TEST(StackLayout, ShareNeverShrinksBelowItsMinimumOrBelowZero)
{
    auto r = Layout(R"(<row layout="hbox"><a name="a" width="share" minwidth="30"/><b name="b" width="share"/>
                       <c name="c" width="100"/></row>)",
                    80, 10);
    EXPECT_EQ(r["a"].Width(), 30);
    EXPECT_GE(r["b"].Width(), 0);
    EXPECT_EQ(r["c"].Width(), 100);
}

TEST(StackLayout, VerticalStackMeasuresWrappedTextAtTheWidthItGets)
{
    // 20 characters at 7 pixels wrap into two lines in 100 pixels.
    auto r =
        Layout(R"(<col layout="vbox"><text name="t" text="aaaaaaaaaaaaaaaaaaaa"/><box name="after" height="5"/></col>)",
               100, 200);
    EXPECT_EQ(r["t"], (Rect{0, 0, 100, 32}));
    EXPECT_EQ(r["after"].top, 32);
}

TEST(FreeLayout, PositionsCountFromTheNearOrTheFarEdge)
{
    auto r = Layout(R"(<caption>
                         <text name="title" pos="42,7" text="abc"/>
                         <btn name="min" pos="-103,2" size="31,24"/>
                         <btn name="close" pos="-35,2" size="31,24"/>
                       </caption>)",
                    898, 34);
    EXPECT_EQ(r["title"], (Rect{42, 7, 63, 23}));
    EXPECT_EQ(r["min"], (Rect{795, 2, 826, 26}));
    EXPECT_EQ(r["close"], (Rect{863, 2, 894, 26}));
}

TEST(FreeLayout, FourEdgePositionSpansBetweenOffsets)
{
    auto r = Layout(R"(<body layout="vbox"><a name="a" height="share"/><overlay name="ov" pos="0,1,-0,-23"/></body>)",
                    898, 565);
    EXPECT_EQ(r["ov"], (Rect{0, 1, 898, 542}));
    EXPECT_EQ(r["a"], (Rect{0, 0, 898, 565}));
}

TEST(FreeLayout, UnplacedChildrenFillOrAlignInTheContent)
{
    auto r = Layout(R"(<page padding="5" halign="center" valign="center">
                         <list name="fill"/><box name="centred" size="76,105"/>
                       </page>)",
                    210, 215);
    EXPECT_EQ(r["fill"], (Rect{5, 5, 205, 210}));
    EXPECT_EQ(r["centred"], (Rect{67, 55, 143, 160}));
}

TEST(GridLayout, CellsFillTheGridRowByRowAndOverflowGetsNothing)
{
    auto r = Layout(R"(<grid layout="grid" columns="2" maxrows="2" gap="5" padding="10,10,10,0">
                         <c name="c0"/><c name="c1"/><c name="c2"/><c name="c3"/><c name="c4"/>
                       </grid>)",
                    258, 61);
    EXPECT_EQ(r["c0"], (Rect{10, 10, 126, 33}));
    EXPECT_EQ(r["c1"], (Rect{131, 10, 247, 33}));
    EXPECT_EQ(r["c3"], (Rect{131, 38, 247, 61}));
    EXPECT_TRUE(r["c4"].Empty());
}

TEST(FitLayout, PopupMeasuresToItsContentWithWrappedTextBound)
{
    ParseResult parsed =
        ParseLayout(R"(<root width="fit" height="fit" layout="hbox" padding="20,15,20,15" gap="10" valign="center">
                                          <img size="18,22"/><text maxwidth="70" text="aaaaaaaaaaaaaaaaaaaa"/>
                                        </root>)");
    ASSERT_TRUE(parsed.root);
    // Text wraps at 70: 10 characters a line, 2 lines of 16.
    EXPECT_EQ(MeasureNode(*parsed.root, testing::MeasureText), (Size{20 + 18 + 10 + 70 + 20, 15 + 32 + 15}));

    ParseResult shortText = ParseLayout(R"(<root layout="hbox" padding="2"><text text="ab"/></root>)");
    EXPECT_EQ(MeasureNode(*shortText.root, testing::MeasureText), (Size{18, 20}));
}

TEST(FitLayout, MinimumSizeWinsOverSmallerContent)
{
    ParseResult parsed = ParseLayout(R"(<root layout="vbox" minsize="300,135"><text text="x"/></root>)");
    EXPECT_EQ(MeasureNode(*parsed.root, testing::MeasureText), (Size{300, 135}));
}

TEST(SplitArrange, PanesGetSizesWithSeparatorsBetween)
{
    auto r = Layout(R"(<split name="s" sepsize="6" padding="5,5,5,0">
                         <left name="l" ideal="580" min="420"/><right name="r" ideal="240" min="240"/>
                       </split>)",
                    836, 400);
    EXPECT_EQ(r["l"], (Rect{5, 5, 585, 400}));
    EXPECT_EQ(r["r"], (Rect{591, 5, 831, 400}));
}

TEST(Robustness, ParentSmallerThanItsChildrenYieldsNoNegativeSizes)
{
    auto r = Layout(R"(<row layout="vbox" padding="50"><a name="a" height="share"/><b name="b" height="30"/></row>)",
                    20, 20);
    EXPECT_GE(r["a"].Width(), 0);
    EXPECT_GE(r["a"].Height(), 0);
}

}  // namespace
}  // namespace uikit
