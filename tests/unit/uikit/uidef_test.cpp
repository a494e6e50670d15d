#include <gtest/gtest.h>

#include "uikit/uidef.h"

namespace uikit {
namespace {

const char* kDefinition = R"xml(<uidef>
  <font value="face:SimSun,size:14"/>
  <string><s name="title" value="同步工具"/><but_ok value="确定"/></string>
  <color><c name="orange" value="#f67d20"/><red value="rgb(255,0,0)"/></color>
  <skin><imgframe name="_skin.user.butback" src="IMG:PNG_BUTBACK" states="3" margin="20,2,3,2"/></skin>
  <style><class name="cls_txt_def" font="face:Segoe UI,size:14" colorText="#333333" padding="2"/></style>
</uidef>)xml";

class UiDefinitionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(def.Load(kDefinition, nullptr, error)) << error;
    }
    UiDefinition def;
};

TEST_F(UiDefinitionTest, StringsResolveByKeyAndOtherTextStaysAsIs)
{
    EXPECT_EQ(def.ResolveText("@string/title"), "同步工具");
    EXPECT_EQ(def.ResolveText("@but_ok"), "确定");
    EXPECT_EQ(def.ResolveText("plain"), "plain");
    EXPECT_EQ(def.ResolveText("@string/missing"), "@string/missing");
}

TEST_F(UiDefinitionTest, ColoursResolveByNameOrLiteral)
{
    EXPECT_EQ(def.ResolveColor("orange"), (Color{0xf6, 0x7d, 0x20, 255}));
    EXPECT_EQ(def.ResolveColor("@color/red"), (Color{255, 0, 0, 255}));
    EXPECT_EQ(def.ResolveColor("#874545ff"), (Color{0x87, 0x45, 0x45, 255}));
    EXPECT_FALSE(def.ResolveColor("purple"));
}

TEST_F(UiDefinitionTest, SkinsKeepImageFramesAndMargins)
{
    const SkinDef* skin = def.FindSkin("_skin.user.butback");
    ASSERT_NE(skin, nullptr);
    EXPECT_EQ(skin->image, "IMG:PNG_BUTBACK");
    EXPECT_EQ(skin->states, 3);
    EXPECT_EQ(skin->margin, (Insets{20, 2, 3, 2}));
}

TEST_F(UiDefinitionTest, StyleClassFillsOnlyWhatTheNodeLeavesOpen)
{
    ParseResult parsed = ParseLayout(R"(<root><text name="t" class="cls_txt_def" colorText="#FF0000"/>
                                        <text name="u" class="cls_txt_red"/></root>)");
    def.ApplyClasses(*parsed.root);
    const LayoutNode* t = parsed.root->FindByName("t");
    EXPECT_EQ(t->AttrOr("colorText", ""), "#FF0000");
    EXPECT_EQ(t->AttrOr("font", ""), "face:Segoe UI,size:14");
    EXPECT_EQ(t->box.padding, (Insets{2, 2, 2, 2}));
    // An undefined class leaves the node with the defaults.
    EXPECT_EQ(parsed.root->FindByName("u")->attrs.size(), 2u);
}

TEST_F(UiDefinitionTest, LaterDefinitionsOverrideAndExtend)
{
    std::string error;
    ASSERT_TRUE(def.Load(R"(<uidef><string src="values:string"/></uidef>)",
                         [](const std::string& id, std::string& xml) {
                             if (id != "values:string")
                                 return false;
                             xml = R"(<string><title value="新标题"/><extra value="x"/></string>)";
                             return true;
                         },
                         error))
        << error;
    EXPECT_EQ(def.ResolveText("@title"), "新标题");
    EXPECT_EQ(def.ResolveText("@extra"), "x");
    EXPECT_EQ(def.ResolveText("@but_ok"), "确定");
}

TEST_F(UiDefinitionTest, BrokenInputIsReportedNotSwallowed)
{
    std::string error;
    EXPECT_FALSE(def.Load("<uidef><string>", nullptr, error));
    EXPECT_FALSE(error.empty());
    error.clear();
    EXPECT_FALSE(def.Load(R"(<uidef><color><c name="x" value="#12"/></color></uidef>)", nullptr, error));
    EXPECT_NE(error.find("#12"), std::string::npos);
    error.clear();
    EXPECT_FALSE(def.Load(R"(<uidef><skin src="values:skin"/></uidef>)", nullptr, error));
    EXPECT_NE(error.find("values:skin"), std::string::npos);
}

TEST(ParseFont, KeysOverrideTheBaseAndBadSizesAreIgnored)
{
    const FontDesc base{"SimSun", 14};
    EXPECT_EQ(ParseFont("size:13", base), (FontDesc{"SimSun", 13}));
    EXPECT_EQ(ParseFont("face:Segoe UI,size:15,underline:1", base), (FontDesc{"Segoe UI", 15, false, false, true}));
    EXPECT_EQ(ParseFont("size:0,size:abc,bogus", base), base);
}

}  // namespace
}  // namespace uikit
