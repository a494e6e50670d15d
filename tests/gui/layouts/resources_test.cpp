#include <gtest/gtest.h>

#include <string>
#include <utility>

#include <pugixml.hpp>

#include "common/textutil.h"
#include "tests/gui/layouts/layoutsenv.h"

namespace layoutstest {
namespace {

std::wstring StringOf(const char* key)
{
    const std::string* text = App().Ui().FindString(key);
    return text ? FromUtf8(*text) : L"<missing>";
}

TEST(StringTable, EveryKeyHoldsItsExactText)
{
    const std::pair<const char*, const wchar_t*> expected[] = {
        {"title", L"Korvel文件同步工具-Korvel技术服务平台 官网："},
        {"wnd_title_drive", L"选择盘符"},
        {"wnd_title_tip", L"提示"},
        {"version", L"Ver.1.0.0"},
        {"state", L"状态:"},
        {"tip_min", L"最小化"},
        {"tip_max", L"最大化"},
        {"tip_restore", L"还原"},
        {"tip_close", L"关闭"},
        {"list_file_empty", L"当前无同步文件，可通过拖拽或点击添加需要同步的文件。"},
        {"but_refresh", L"刷新"},
        {"but_add_engine", L"添加版本目录"},
        {"list_file_colsync", L"正在同步"},
        {"header_item_folder", L" 目录"},
        {"txt_butaddengine_tip", L"额外添加其它盘版本库目录>>"},
        {"header_item_name", L"文件名"},
        {"header_item_path", L"路径"},
        {"header_item_time", L"修改时间"},
        {"header_item_size", L"大小"},
        {"header_item_type", L"类型"},
        {"check_all", L"全选"},
        {"check_defsel", L"默认选中"},
        {"but_add_file", L"添加文件"},
        {"but_invert", L"反选"},
        {"but_remove_file", L"移除选中文件"},
        {"but_clear_file", L"清空"},
        {"but_remove_engine", L"移除选中"},
        {"but_clear_engine", L"清空"},
        {"but_sync_log", L"查看日志"},
        {"btn_startsync", L"开始同步"},
        {"btn_stopsync", L"停止同步"},
        {"btn_clearsynclog", L"清除同步日志"},
        {"check_sync_backup", L"同步前备份原文件"},
        {"loading", L"加载中..."},
        {"log_sync", L"同步日志"},
        {"log_sync_error", L"错误日志"},
        {"radio_sync_mir200_file", L"仅同步Mir200目录"},
        {"radio_sync_level_file", L"同级目录同步"},
        {"radio_sync_vmir200_file", L"效验Mir200目录"},
        {"text_syncing", L"正在同步:"},
        {"but_stop", L"停止"},
        {"but_back", L"返回"},
        {"but_ok", L"确定"},
        {"but_cancel", L"取消"},
        {"sel_more", L"…"},
        {"main_opem", L"打开主界面"},
        {"main_exit", L"退出"},
    };
    for (const auto& [key, text] : expected)
        EXPECT_EQ(StringOf(key), text) << key;
    // Texts left to the program: present and not empty.
    for (const char* key : {"title2", "qq_link_tip", "qq_link"})
        EXPECT_FALSE(StringOf(key).empty() || StringOf(key) == L"<missing>") << key;
}

TEST(UiDefinition, EverySkinDecodesWithItsSizeFramesAndMargins)
{
    struct Expected {
        const char* name;
        int width, height, states;
        uikit::Insets margin;
    };
    const Expected skins[] = {
        {"_skin.user.dlgbk", 20, 20, 1, {3, 3, 3, 3}},
        {"_skin.user.borderbk", 20, 20, 1, {3, 3, 3, 3}},
        {"_skin.user.dropdown", 88, 22, 4, {3, 3, 3, 3}},
        {"_skin.user.filenull", 600, 200, 3, {}},
        {"_skin.user.sloading", 256, 32, 8, {}},
        {"_skin.user.butback", 90, 20, 3, {20, 2, 3, 2}},
        {"_skin.user.questiontip", 14, 14, 1, {}},
        {"_skin.user.bktoptip", 286, 54, 1, {65, 10, 12, 13}},
        {"_skin.user.bktoast", 50, 50, 1, {10, 10, 10, 10}},
        {"_skin.user.icotoast", 18, 22, 1, {}},
    };
    for (const Expected& e : skins) {
        const auto skin = App().Skin(e.name);
        ASSERT_NE(skin, nullptr) << e.name;
        ASSERT_NE(skin->image, nullptr) << e.name;
        EXPECT_EQ(skin->image->Width(), e.width) << e.name;
        EXPECT_EQ(skin->image->Height(), e.height) << e.name;
        EXPECT_EQ(skin->Frames(), e.states) << e.name;
        EXPECT_EQ(skin->def.margin, e.margin) << e.name;
    }
    const auto none = App().Skin("_skin.user.null");
    ASSERT_NE(none, nullptr);
    EXPECT_EQ(none->image, nullptr);
    // The toolkit's system skins the layouts use come from the same resource section.
    for (const char* name : {"_skin.sys.btn.close", "_skin.sys.btn.minimize", "_skin.sys.btn.maximize",
                             "_skin.sys.btn.restore", "_skin.sys.btn.def", "_skin.sys.btn.green", "_skin.sys.btn.red",
                             "_skin.sys.dropbtn", "_skin.sys.progress", "_skin.sys.border", "_skin.sys.wnd.bkgnd"}) {
        const auto skin = App().Skin(name);
        ASSERT_NE(skin, nullptr) << name;
        EXPECT_NE(skin->image, nullptr) << name;
    }
}

TEST(UiDefinition, EveryStyleClassExistsAndItsColoursAndSkinsResolve)
{
    const uikit::UiDefinition& ui = App().Ui();
    for (const char* cls :
         {"cls_txt_def", "cls_txt_def11", "cls_txt_def12", "cls_txt_def14", "cls_txt_def15", "cls_txt_e014",
          "cls_txt_red14", "cls_btn_weblink", "cls_btn_normal", "cls_btn_red", "cls_btn_green", "cls_btn_line",
          "cls_btn_def_line", "cls_btn_def_back", "cls_btn_def", "cls_dlg_frame", "cls_edit", "cls_border"}) {
        const uikit::StyleClass* style = ui.FindClass(cls);
        ASSERT_NE(style, nullptr) << cls;
        for (const auto& [key, value] : style->attrs) {
            if (key.rfind("color", 0) == 0) {
                EXPECT_TRUE(ui.ResolveColor(value).has_value()) << cls << "." << key << " = " << value;
            } else if (key == "skin" || key == "borderSkin") {
                EXPECT_NE(App().Skin(value), nullptr) << cls << "." << key << " = " << value;
            }
        }
    }
    // The drive dialog's title names a class that is defined nowhere, so it keeps the
    // default text style.
    EXPECT_EQ(ui.FindClass("cls_txt_red"), nullptr);
}

// Every text key, colour, skin and style class a layout names must exist, or the window
// shows "@key" or silently loses a colour or image.
TEST(Layouts, EveryReferenceResolves)
{
    const uikit::UiDefinition& ui = App().Ui();
    for (const char* id :
         {"LAYOUT:XML_MAINWND", "LAYOUT:XML_LIST_NULL", "LAYOUT:XML_LIST_FILE", "LAYOUT:XML_LIST_LOG",
          "LAYOUT:XML_LIST_PREVIEW", "LAYOUT:XML_SELDRIVE", "LAYOUT:XML_TOAST", "LAYOUT:XML_TOOLTIP"}) {
        std::string xml;
        ASSERT_TRUE(App().LoadResource(id, xml)) << id;
        pugi::xml_document doc;
        ASSERT_TRUE(doc.load_string(xml.c_str())) << id;
        int checked = 0;
        for (const pugi::xpath_node& found : doc.select_nodes("//*")) {
            for (const pugi::xml_attribute& a : found.node().attributes()) {
                const std::string name = a.name(), value = a.value();
                const std::string where = std::string(id) + " " + found.node().name() + "." + name + "=" + value;
                if (!value.empty() && value.front() == '@') {
                    EXPECT_NE(ui.FindString(
                                  value.substr(value.rfind('/') == std::string::npos ? 1 : value.rfind('/') + 1)),
                              nullptr)
                        << where;
                    ++checked;
                } else if (name == "skin" || name == "borderSkin") {
                    EXPECT_NE(ui.FindSkin(value), nullptr) << where;
                    ++checked;
                } else if (name.rfind("color", 0) == 0) {
                    EXPECT_TRUE(ui.ResolveColor(value).has_value()) << where;
                    ++checked;
                } else if (name == "class" && value != "cls_txt_red") {
                    // cls_txt_red on the drive dialog's title is defined nowhere on purpose:
                    // that title takes the default text style.
                    EXPECT_NE(ui.FindClass(value), nullptr) << where;
                    ++checked;
                }
            }
        }
        EXPECT_GT(checked, 0) << id;
    }
}

}  // namespace
}  // namespace layoutstest
