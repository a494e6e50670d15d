#include <gtest/gtest.h>

#include <map>

#include "uikit/color.h"
#include "uikit/layoutnode.h"

namespace uikit {
namespace {

TEST(ParseLayout, BuildsNodesWithKindNameAttributesAndBoxProperties)
{
    ParseResult parsed = ParseLayout(R"(<window size="900,600"><root layout="vbox" padding="1,2,3,4" gap="5">
        <button name="btn_ok" width="share:3" height="fit" text="确定" pos="-35,2"/></root></window>)");
    ASSERT_TRUE(parsed.root) << parsed.error;
    EXPECT_EQ(parsed.root->kind, "window");
    EXPECT_EQ(parsed.root->box.width, (Extent{SizeMode::Fixed, 900}));
    LayoutNode* button = parsed.root->FindByName("btn_ok");
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(button->AttrOr("text", ""), "确定");
    EXPECT_EQ(button->box.width, (Extent{SizeMode::Share, 3}));
    EXPECT_EQ(button->box.height.mode, SizeMode::Fit);
    EXPECT_EQ(button->box.posCount, 2);
    EXPECT_TRUE(button->box.pos[0].fromFar);
    EXPECT_EQ(button->parent->box.padding, (Insets{1, 2, 3, 4}));
    EXPECT_EQ(button->parent->box.arrange, Arrange::VBox);
}

TEST(ParseLayout, MalformedDocumentsAreRefusedWithAReason)
{
    for (const char* bad : {"", "<window>", "<a><b></a>", "not xml at all", "<?xml version=\"1.0\"?>", "<a b=c/>"}) {
        ParseResult parsed = ParseLayout(bad);
        EXPECT_FALSE(parsed.root) << bad;
        EXPECT_FALSE(parsed.error.empty()) << bad;
    }
}

TEST(ParseLayout, AbsurdlyDeepNestingIsRefusedNotOverflowingTheStack)
{
    std::string deep;
    for (int i = 0; i < 5000; ++i)
        deep += "<w>";
    for (int i = 0; i < 5000; ++i)
        deep += "</w>";
    ParseResult parsed = ParseLayout(deep);
    EXPECT_FALSE(parsed.root);
    EXPECT_NE(parsed.error.find("deeper"), std::string::npos);
    std::string fine;
    for (int i = 0; i < 40; ++i)
        fine += "<w>";
    for (int i = 0; i < 40; ++i)
        fine += "</w>";
    EXPECT_TRUE(ParseLayout(fine).root);
}

TEST(ParseLayout, UnreadableNumbersFallBackInsteadOfFailing)
{
    ParseResult parsed =
        ParseLayout(R"(<a width="wide" padding="1,2,3" gap="-4" pos="x,1" columns="0" visible="maybe"/>)");
    ASSERT_TRUE(parsed.root);
    const BoxProps& box = parsed.root->box;
    EXPECT_EQ(box.width.mode, SizeMode::Auto);
    EXPECT_EQ(box.padding, (Insets{}));
    EXPECT_EQ(box.gap, 0);
    EXPECT_EQ(box.posCount, 0);
    EXPECT_EQ(box.columns, 1);
    EXPECT_TRUE(box.visible);
}

class Includes : public ::testing::Test {
protected:
    std::map<std::string, std::string> resources;
    LayoutLoader loader = [this](const std::string& id, std::string& xml) {
        auto it = resources.find(id);
        if (it == resources.end())
            return false;
        xml = it->second;
        return true;
    };
};

TEST_F(Includes, PagesAreReplacedByTheirLayoutAndKeepTheirOwnAttributes)
{
    resources["LAYOUT:P0"] = R"(<page padding="5" colorBkgnd="#FEFEFE"><button name="btn_addfile"/></page>)";
    ParseResult parsed =
        ParseLayout(R"(<tabctrl name="tab_file"><page src="LAYOUT:P0" name="p0" padding="7"/></tabctrl>)");
    std::string error;
    ASSERT_TRUE(ExpandIncludes(*parsed.root, loader, error)) << error;
    const LayoutNode& page = *parsed.root->children.at(0);
    EXPECT_EQ(page.kind, "page");
    EXPECT_EQ(page.name, "p0");
    EXPECT_EQ(page.box.padding, (Insets{7, 7, 7, 7}));
    EXPECT_EQ(page.AttrOr("colorBkgnd", ""), "#FEFEFE");
    EXPECT_EQ(page.Attr("src"), nullptr);
    EXPECT_NE(parsed.root->FindByName("btn_addfile"), nullptr);
    EXPECT_EQ(parsed.root->FindByName("btn_addfile")->parent, &page);
}

TEST_F(Includes, MissingBrokenOrSelfIncludingLayoutsAreReported)
{
    resources["LAYOUT:BROKEN"] = "<page>";
    resources["LAYOUT:LOOP"] = R"(<page><include src="LAYOUT:LOOP"/></page>)";
    for (const char* id : {"LAYOUT:NONE", "LAYOUT:BROKEN", "LAYOUT:LOOP"}) {
        ParseResult parsed = ParseLayout(std::string("<root><include src=\"") + id + "\"/></root>");
        std::string error;
        EXPECT_FALSE(ExpandIncludes(*parsed.root, loader, error)) << id;
        EXPECT_NE(error.find(id), std::string::npos) << error;
    }
}

TEST(ParseColorLiteral, ReadsHexAndFunctionalForms)
{
    EXPECT_EQ(ParseColorLiteral("#1e78d5"), (Color{0x1e, 0x78, 0xd5, 255}));
    EXPECT_EQ(ParseColorLiteral("#DDDDDDAA"), (Color{0xdd, 0xdd, 0xdd, 0xaa}));
    EXPECT_EQ(ParseColorLiteral(" rgb(255, 0,0) "), (Color{255, 0, 0, 255}));
    EXPECT_EQ(ParseColorLiteral("rgba(1,2,3,4)"), (Color{1, 2, 3, 4}));
}

TEST(ParseColorLiteral, RejectsAnythingElse)
{
    for (const char* bad :
         {"", "#", "#12345", "#GGGGGG", "#1234567", "rgb(256,0,0)", "rgb(1,2)", "rgb(1,2,3", "red", "rgb(-1,2,3)"})
        EXPECT_FALSE(ParseColorLiteral(bad)) << bad;
}

}  // namespace
}  // namespace uikit
