#include "app/MainMenu.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/ShiftJis.h"

namespace halcyra {
namespace {

using Id = MenuItemId;

std::string Caption(const MainMenu& menu, Id id) { return ShiftJisToUtf8(menu.Item(id).caption); }

std::vector<std::string> Names(const std::vector<PopupMenuItem>& items) {
  std::vector<std::string> names;
  for (const PopupMenuItem& item : items) names.push_back(item.name);
  return names;
}

TEST(MainMenuTest, TheContextMenuFollowsTheOpenScreen) {
  struct Case {
    PopupMenuState state;
    bool hide, logClose, loadClose, playItems;
    const char* hideCaption;  // when CmHide is shown
  };
  const Case cases[] = {
      {{false, true, false, true, 1}, false, true, false, false, nullptr},
      {{false, false, true, true, 1}, false, false, true, false, nullptr},
      {{false, true, true, false, 1}, false, true, false, false, nullptr},
      {{false, false, false, true, 1}, true, false, false, true, "ウィンドウを隠す(&X)"},
      {{false, false, false, false, 1}, true, false, false, false, "ウィンドウを表示する(&X)"},
      {{true, false, false, true, 1}, true, false, false, true, "ウィンドウを隠す(&X)"},
  };
  // One menu prepared again and again, in both orders, as the window's menu is.
  MainMenu menu(false);
  for (const bool reversed : {false, true}) {
    for (std::size_t i = 0; i < std::size(cases); ++i) {
      const Case& c = cases[reversed ? std::size(cases) - 1 - i : i];
      menu.PopupMenu1Popup(c.state);
      SCOPED_TRACE(::testing::Message() << "case " << (reversed ? std::size(cases) - 1 - i : i));
      EXPECT_EQ(menu.Item(Id::kCmHide).visible, c.hide);
      EXPECT_EQ(menu.Item(Id::kCmLogClose).visible, c.logClose);
      EXPECT_EQ(menu.Item(Id::kCmLoadClose).visible, c.loadClose);
      for (Id id : {Id::kCmQLoad, Id::kCmQSave, Id::kCmNext, Id::kCmPrev}) {
        EXPECT_EQ(menu.Item(id).visible, c.playItems) << menu.Item(id).name;
      }
      if (c.hideCaption != nullptr) {
        EXPECT_EQ(Caption(menu, Id::kCmHide), c.hideCaption);
      }
      for (Id id : {Id::kCmTitle, Id::kCmExit, Id::kCmDisp, Id::kCmOption}) {
        EXPECT_TRUE(menu.Item(id).visible && menu.Item(id).enabled) << menu.Item(id).name;
      }
    }
  }
}

TEST(MainMenuTest, DebugItemsShowOnlyInDebugMode) {
  const Id debugItems[] = {Id::kMnDebug,  Id::kCmNowLine, Id::kCmDebugCopy, Id::kCmEditor,
                           Id::kCmFlag,   Id::kCmJump,    Id::kCmNextScr,   Id::kCmDebugRoot,
                           Id::kCmDebugSelect, Id::kCmOmake};
  for (const bool debug : {false, true}) {
    MainMenu menu(debug);
    for (Id id : debugItems) EXPECT_EQ(menu.Item(id).visible, debug) << menu.Item(id).name;
    menu.PopupMenu1Popup({!debug, false, false, true, 1});
    for (Id id : debugItems) EXPECT_EQ(menu.Item(id).visible, !debug) << menu.Item(id).name;
  }
}

TEST(MainMenuTest, TheDragItemsAreTickedFromTheSettingWhileTheWindowShows) {
  MainMenu menu(false);
  const Id dragItems[] = {Id::kCmWinDragNone, Id::kCmWinDragFree, Id::kCmWinDragUpDown};
  for (int drag = 0; drag < 3; ++drag) {
    menu.PopupMenu1Popup({false, false, false, true, drag});
    for (int item = 0; item < 3; ++item) {
      EXPECT_EQ(menu.Item(dragItems[item]).checked, item == drag) << drag << " " << item;
    }
  }
  // Other states leave the ticks alone.
  menu.PopupMenu1Popup({false, true, false, false, 0});
  EXPECT_TRUE(menu.Item(Id::kCmWinDragUpDown).checked);
  EXPECT_FALSE(menu.Item(Id::kCmWinDragNone).checked);
}

TEST(MainMenuTest, ItemsStartAsTheWindowMakesThem) {
  const MainMenu menu(false);
  for (Id id : {Id::kMnKaisouExit, Id::kMnFull32, Id::kMnWinDef, Id::kCmWinDrag}) {
    EXPECT_FALSE(menu.Item(id).visible) << menu.Item(id).name;
  }
  // Only the hidden window-placement item and the drag group are disabled.
  for (std::size_t i = 0; i < MainMenu::kItemCount; ++i) {
    const MenuItem& item = menu.Item(static_cast<Id>(i));
    EXPECT_EQ(item.enabled, item.id != Id::kMnWinDef && item.id != Id::kCmWinDrag) << item.name;
    EXPECT_EQ(item.id, static_cast<Id>(i));
  }
  EXPECT_TRUE(menu.Item(Id::kMnFull16).visible);
  EXPECT_EQ(Caption(menu, Id::kMnFull16), "全画面(&0)");
  EXPECT_EQ(Caption(menu, Id::kMnHP), "Quillforge ホームページ(&P)...");
  EXPECT_EQ(Caption(menu, Id::kMnTitle), "タイトル画面に戻る(&T)");
  EXPECT_EQ(Caption(menu, Id::kCmExit), "ゲームの終了(&X)");
  EXPECT_EQ(Caption(menu, Id::kMnExit), "終了(&X)");
  EXPECT_TRUE(menu.Item(Id::kMnWindow).checked);
  EXPECT_FALSE(menu.Item(Id::kMnFull16).checked);
  // A pair of items shares one handler.
  EXPECT_EQ(menu.Item(Id::kMnQSave).command, menu.Item(Id::kCmQSave).command);
  EXPECT_EQ(menu.Item(Id::kMnFull32).command, menu.Item(Id::kMnWindow).command);
  EXPECT_EQ(menu.Find("CmQLoad"), &menu.Item(Id::kCmQLoad));
  EXPECT_EQ(menu.Find("CmNothing"), nullptr);
}

TEST(MainMenuTest, ModeCaptionsSayWhetherTheModeRuns) {
  struct Case {
    bool autoMode, skipMode;
    const char* autoCaption;
    const char* skipCaption;
  };
  const Case cases[] = {
      {true, false, "自動再生中(&A)", "スキップ(&S)"},
      {false, true, "自動再生(&A)", "スキップ中(&S)"},
      {false, false, "自動再生(&A)", "スキップ(&S)"},
  };
  MainMenu menu(false);
  for (const Case& c : cases) {
    menu.FollowPlayModes(c.autoMode, c.skipMode);
    EXPECT_EQ(Caption(menu, Id::kMnSkip), c.autoCaption);
    EXPECT_EQ(Caption(menu, Id::kMnSkip2), c.skipCaption);
  }
}

TEST(MainMenuTest, TheModelHoldsTheContextMenuWithItsDragSubmenu) {
  MainMenu menu(true);
  menu.PopupMenu1Popup({true, false, false, true, 2});
  const PopupMenuModel model = menu.ContextMenu();
  EXPECT_EQ(Names(model.items),
            (std::vector<std::string>{"CmHide", "CmLogClose", "CmLoadClose", "CmQSave", "CmQLoad",
                                      "CmPrev", "CmNext", "CmWinDrag", "CmDisp", "CmOption",
                                      "CmNowLine", "CmDebugCopy", "CmEditor", "CmFlag", "CmJump",
                                      "CmNextScr", "CmDebugRoot", "CmDebugSelect", "CmOmake",
                                      "CmTitle", "CmExit"}));
  const PopupMenuItem& drag = model.items[7];
  EXPECT_FALSE(drag.visible);
  EXPECT_FALSE(drag.enabled);
  EXPECT_EQ(Names(drag.children),
            (std::vector<std::string>{"CmWinDragNone", "CmWinDragFree", "CmWinDragUpDown"}));
  EXPECT_TRUE(drag.children[2].checked);
  for (const PopupMenuItem& item : model.items) {
    EXPECT_EQ(menu.Item(static_cast<Id>(item.id)).name, item.name);
    EXPECT_EQ(menu.Item(static_cast<Id>(item.id)).caption, item.caption);
  }
  EXPECT_EQ(ShiftJisToUtf8(model.items[0].caption), "ウィンドウを隠す(&X)");
  // The drag items cannot be chosen while their group is hidden.
  EXPECT_EQ(FindChoosableItem(model.items, "CmWinDragFree"), nullptr);
  EXPECT_EQ(FindChoosableItem(model.items, "CmLogClose"), nullptr);
  ASSERT_NE(FindChoosableItem(model.items, "CmQSave"), nullptr);
  EXPECT_EQ(FindChoosableItem(model.items, "CmQSave")->id, static_cast<int>(Id::kCmQSave));
}

}  // namespace
}  // namespace halcyra
