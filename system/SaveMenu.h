// The save items of the main menu (Mn) and of the popup menu (Cm): whether each is enabled and
// the captions of the two that show a save's date. The save code decides them; the menus show
// them. Captions are Shift-JIS.
#pragma once

#include <string>
#include <string_view>

#include "platform/FileSystem.h"

namespace halcyra {

namespace save_menu_texts {
inline constexpr char kPrevious[] =  // 最後に選択した選択肢へ(&P)
    "\x8d\xc5\x8c\xe3\x82\xc9\x91I\x91\xf0\x82\xb5\x82\xbd\x91I\x91\xf0\x8e\x88\x82\xd6(&P)";
inline constexpr char kQuickLoad[] = "\x83N\x83""C\x83""b\x83N\x83\x8d\x81[\x83h(&1)";  // クイックロード(&1)
}  // namespace save_menu_texts

struct SaveMenuItems {
  bool mnNext = true;
  bool mnPrev = true;
  bool mnQLoad = true;
  bool mnQSave = true;
  bool cmNext = true;
  bool cmPrev = true;
  bool cmQLoad = true;
  bool cmQSave = true;
  std::string prevCaption = save_menu_texts::kPrevious;   // MnPrev and CmPrev
  std::string quickLoadCaption = save_menu_texts::kQuickLoad;  // MnQLoad and CmQLoad
};

// A menu caption followed by a save's date: "CAPTION YYYY/MM/DD hh:mm".
std::string DatedCaption(std::string_view caption, const LocalTime& time);

}  // namespace halcyra
