// The function-key bar's bindings: menu codes, the key map, layers and enabling.
#include <gtest/gtest.h>

#include <map>

#include "editor/function_keys.h"

using namespace arbor;

namespace {

class FakeMenus : public MenuHost {
  public:
    std::map<std::pair<int, int>, Item> items;
    QList<std::pair<int, int>> ran;
    Item menuItem(int group, int index) const override {
        auto it = items.find({group, index});
        return it == items.end() ? Item() : it->second;
    }
    void fnMenu(int group, int index) override { ran.push_back({group, index}); }
    void add(int group, int index, const QString& caption, bool enabled = true) {
        items[{group, index}] = {true, caption, enabled};
    }
};

}  // namespace

TEST(FunctionKeys, MenuCodes) {
    EXPECT_EQ(menuCode(14, 0), "E0");
    EXPECT_EQ(menuCode(5, 9), "59");
    EXPECT_EQ(menuCode(3, 10), "3A");
    EXPECT_EQ(menuCode(3, 18), "3I");
    int group = -1, index = -1;
    ASSERT_TRUE(decodeMenuCode("3A", group, index));
    EXPECT_EQ(group, 3);
    EXPECT_EQ(index, 10);
    ASSERT_TRUE(decodeMenuCode("E0", group, index));
    EXPECT_EQ(group, 14);
    EXPECT_FALSE(decodeMenuCode("E", group, index));
    for (int g = 0; g < 36; ++g)
        for (int i = 0; i < 36; ++i) {
            decodeMenuCode(menuCode(g, i), group, index);
            ASSERT_EQ(std::make_pair(group, index), std::make_pair(g, i));
        }
}

TEST(FunctionKeys, BindingReplacesAndSkipsWhatIsNotAnItem) {
    FakeMenus menus;
    menus.add(5, 0, "見出1(&1)");
    menus.add(5, 1, "見出2");
    menus.add(5, 2, "-");
    FunctionKeys keys;
    keys.cOn(&menus);
    keys.cKey("F2", 5, 0, "見出1", "");
    EXPECT_EQ(keys.keyMap(), ",F2=50");
    EXPECT_EQ(keys.key("F2").caption, "F2 見出1");
    EXPECT_EQ(keys.key("F2").tip, "見出1");  // the caption before "("
    keys.cKey("F3", 5, 1, "x", "tip");
    keys.cKey("F2", 5, 1, "again", "");
    EXPECT_EQ(keys.keyMap(), ",F3=51,F2=51");
    keys.cKey("F4", 5, 2, "sep", "");  // a separator is no item
    keys.cKey("F5", 9, 9, "none", "");
    EXPECT_EQ(keys.keyMap(), ",F3=51,F2=51");
    keys.cKey("F3", 5, 0, "", "ignored");
    EXPECT_TRUE(keys.key("F3").caption.isEmpty());
    EXPECT_TRUE(keys.key("F3").tip.isEmpty());
    keys.cOff();
    EXPECT_TRUE(keys.keyMap().isEmpty());
}

TEST(FunctionKeys, MainWindowKeysRunTheirMenuItems) {
    FakeMenus menus;
    for (int i = 0; i <= 9; ++i)
        menus.add(5, i, QString("mnSelc %1").arg(i));
    for (int i = 0; i <= 20; ++i)
        menus.add(6, i, QString("mnLocal %1").arg(i));
    for (int i = 0; i <= 20; ++i)
        menus.add(3, i, QString("mnEdit %1").arg(i));
    for (int i = 0; i <= 7; ++i)
        menus.add(2, i, QString("mnFile %1").arg(i));
    for (int i = 0; i <= 5; ++i)
        menus.add(14, i, QString("mnTree %1").arg(i));
    FunctionKeys keys;
    keys.cOn(&menus);
    bindMainWindowKeys(keys);
    EXPECT_EQ(keys.key("F5").caption, "F5 本文");
    EXPECT_EQ(keys.key("C7").tip, "ﾀｸﾞ(文書ﾃﾞｰﾀｰﾍﾞｰｽ内のｰﾘﾝｸ)を挿入します");
    EXPECT_TRUE(keys.key("F1").caption.isEmpty());
    EXPECT_TRUE(keys.press(5, true));
    EXPECT_TRUE(keys.press(5, false));
    EXPECT_TRUE(keys.press(8, false));
    EXPECT_TRUE(keys.press(9, false));
    EXPECT_FALSE(keys.press(1, false));  // unbound
    EXPECT_FALSE(keys.press(12, true));
    EXPECT_EQ(menus.ran, (QList<std::pair<int, int>>{{6, 3}, {5, 3}, {3, 18}, {14, 1}}));
    keys.setCtrlHeld(true);
    EXPECT_EQ(keys.layer(), "C");
    keys.press(2, true);
    EXPECT_EQ(keys.layer(), "F");  // the plain layer again after a key
}

TEST(FunctionKeys, AKeyFollowsItsMenuItem) {
    FakeMenus menus;
    menus.add(3, 18, "更新", false);
    menus.add(14, 1, "次に新規ﾍﾟｰｼﾞ", true);
    FunctionKeys keys;
    keys.cOn(&menus);
    keys.cKey("F8", 3, 18, "更新", "");
    keys.cKey("F9", 14, 1, "次Page", "");
    keys.SetEnbByMenu();
    EXPECT_FALSE(keys.key("F8").enabled);
    EXPECT_TRUE(keys.key("F9").enabled);
    EXPECT_FALSE(keys.press(8, false));
    EXPECT_TRUE(menus.ran.isEmpty());
    menus.add(3, 18, "更新", true);
    keys.SetEnbByMenu();
    EXPECT_TRUE(keys.press(8, false));
    keys.SetEnb("F8, F9", false);
    EXPECT_FALSE(keys.key("F9").enabled);
    EXPECT_FALSE(keys.press(9, false));
}
