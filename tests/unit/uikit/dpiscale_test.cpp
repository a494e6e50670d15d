#include <gtest/gtest.h>

#include "tests/unit/uikit/layouttesting.h"
#include "uikit/dpiscale.h"

namespace uikit {
namespace {

std::map<std::string, Rect> Arranged(LayoutNode& root, int width, int height)
{
    ArrangeNode(root, Rect{0, 0, width, height}, nullptr);
    std::map<std::string, Rect> rects;
    const auto collect = [&](auto& self, const LayoutNode& node) -> void {
        if (!node.name.empty())
            rects[node.name] = node.rect;
        for (const auto& child : node.children)
            self(self, *child);
    };
    collect(collect, root);
    return rects;
}

constexpr char kWindow[] = R"(<window layout="vbox" padding="1" minsize="680,300">
  <bar name="bar" height="34" layout="hbox" padding="5,3,5,0" gap="5">
    <box name="fixed" size="100,26"/><box name="rest" width="share"/><box name="placed" pos="-35,2" size="31,24"/>
  </bar>
  <split name="split" height="share" sepsize="6">
    <pane name="left" ideal="580" min="420"/><pane name="right" ideal="240" min="240"/>
  </split>
</window>)";

TEST(ApplyDpi, PixelMeasuresScaleWithTheDensityAndComeBackExactly)
{
    ParseResult parsed = ParseLayout(kWindow);
    ASSERT_TRUE(parsed.root);
    LayoutNode& root = *parsed.root;
    const auto at96 = Arranged(root, 900, 600);

    ApplyDpi(root, 96, 144);
    EXPECT_EQ(root.box.minSize, (Size{1020, 450}));
    const auto at144 = Arranged(root, 1350, 900);
    // Padding 1 -> 2, bar 34 -> 51 high, its padding 5,3 -> 8,5, the gap 5 -> 8.
    EXPECT_EQ(at144.at("bar"), (Rect{2, 2, 1348, 53}));
    EXPECT_EQ(at144.at("fixed"), (Rect{10, 7, 160, 46}));
    EXPECT_EQ(at144.at("rest").left, 160 + 8);
    // 35 from the right of the content, 2 down, 31 x 24 -> 53, 3, 47 x 36.
    EXPECT_EQ(at144.at("placed"), (Rect{1340 - 53, 10, 1340 - 53 + 47, 46}));
    // Panes of ideally 870 and 360 share the 107 pixels left over in proportion.
    EXPECT_EQ(at144.at("left").Width(), 945);
    EXPECT_EQ(at144.at("right").Width(), 1346 - 945 - 9);

    // A pane the operator dragged keeps its share of the window at the new density, and
    // hidden nodes stay hidden.
    root.FindByName("left")->box.ideal = 600;
    root.FindByName("rest")->box.visible = false;
    ApplyDpi(root, 144, 192);
    EXPECT_EQ(root.FindByName("left")->box.ideal, 800);
    EXPECT_FALSE(root.FindByName("rest")->box.visible);

    root.FindByName("left")->box.ideal = 1160;
    root.FindByName("rest")->box.visible = true;
    ApplyDpi(root, 192, 96);
    EXPECT_EQ(Arranged(root, 900, 600), at96);
}

TEST(ApplyDpi, RoundsToTheNearestPixel)
{
    EXPECT_EQ(ScalePx(5, 96), 5);
    EXPECT_EQ(ScalePx(5, 144), 8);
    EXPECT_EQ(ScalePx(1, 120), 1);
    EXPECT_EQ(ScalePx(36, 192), 72);
    EXPECT_EQ(RescalePx(-40, 96, 144), -60);
    EXPECT_EQ(RescalePx(7, 0, 144), 7);
}

}  // namespace
}  // namespace uikit
