// The choices a script registers before `select`: their texts and their numbers among the
// block's `def_sel` lines, with the question shown meanwhile. Nothing here is saved; the block
// is registered again when a save made before it is loaded.
#pragma once

#include <array>
#include <cstddef>
#include <string>

namespace halcyra {

namespace choice_slots {
inline constexpr int kHighlight = 140;
inline constexpr int kCleared = 141;
inline constexpr int kSecondHitArea = 130;  // + i
inline constexpr int kPicture = 150;        // + i
inline constexpr int kText = 180;           // + i
}  // namespace choice_slots

struct ChoiceRegistry {
  static constexpr int kMaxChoices = 10;
  // A choice text keeps at most this many bytes (longer ones are cut at a character boundary).
  static constexpr std::size_t kTextLimit = 511;
  // The question and its speaker keep at most this many bytes.
  static constexpr std::size_t kQuestionLimit = 1023;

  std::array<std::string, kMaxChoices> texts;
  // Each registered choice's 0-based position among the block's def_sel lines ("NULL" lines
  // included): the read-list key of the choice and, plus 1, the value of S.
  std::array<int, kMaxChoices> numbers{};
  int registered = 0;
  int lines = 0;
  // Kept until the script changes them, so a later select without def_selmes asks again.
  std::string question;
  std::string questionName;

  void Clear() {
    registered = 0;
    lines = 0;
  }
};

}  // namespace halcyra
