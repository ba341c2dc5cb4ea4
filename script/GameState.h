// The scenario state record: everything a saved game restores. Save files are its bytes, so
// its layout is a file format: every field sits at a fixed offset, checked below at compile
// time. Integers are little-endian 32-bit signed unless said otherwise; texts are
// zero-terminated Shift-JIS in fixed arrays.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace halcyra {

#pragma pack(push, 1)

// A message-window layout: picture name and ten integers whose meaning the message window
// gives them.
struct WindowDefinition {
  char picture[64];
  std::int32_t values[10];
};

struct EffectSound {
  char name[64];
  std::int32_t loop;
};

struct GameState {
  static constexpr std::int32_t kFormatNumber = 700;
  static constexpr int kVariableCount = 26;
  static constexpr int kFlagCount = 2048;
  static constexpr int kLayerCount = 8;
  static constexpr int kBacklogEntries = 256;
  static constexpr int kBacklogRecordSize = 4060;

  // Flags F1024..F2020 are shared by every play-through (merged into the system save).
  static constexpr int kFirstGlobalFlag = 1024;
  static constexpr int kLastGlobalFlag = 2020;
  // Flags F2021..F2047 are the engine's own state bytes.
  static constexpr int kPageDimFlag = 2021;
  static constexpr int kPageModeFlag = 2022;
  static constexpr int kNoSaveFlag = 2023;
  static constexpr int kStandLeftXFlag = 2024;     // 16-bit, F2024..F2025
  static constexpr int kStandCentreXFlag = 2026;   // 16-bit
  static constexpr int kStandRightXFlag = 2028;    // 16-bit
  static constexpr int kStandLeft3XFlag = 2030;    // 16-bit
  static constexpr int kStandRight3XFlag = 2032;   // 16-bit
  static constexpr int kScreenBrightnessFlag = 2034;  // signed
  static constexpr int kTopMaskFlag = 2035;        // units of 8 rows
  static constexpr int kBottomMaskFlag = 2036;     // units of 8 rows
  static constexpr int kRgbFlag = 2037;            // three bytes
  static constexpr int kHsvFlag = 2040;            // three bytes
  static constexpr int kBackgroundEffectFlag = 2043;
  static constexpr int kTextSizeFlag = 2044;
  static constexpr int kChoicesCentredFlag = 2045;
  static constexpr int kWindowOffFlag = 2046;
  static constexpr int kRetWaitsOffFlag = 2047;
  // The particle settings of set_effect: layer in the high four bits, mode in the low four.
  static constexpr int kParticleFlagA = 1022;
  static constexpr int kParticleFlagB = 1023;

  std::uint32_t checksum;
  std::int32_t formatNumber;
  char scriptName[64];
  std::int32_t variables[kVariableCount];
  std::uint8_t flags[kFlagCount];
  char layerPicture[kLayerCount][64];
  std::int32_t layerX[kLayerCount];
  std::int32_t layerY[kLayerCount];
  std::int32_t layerBrightness[kLayerCount];
  std::int32_t layerOpacity[kLayerCount];
  std::uint8_t layerWrap[kLayerCount];
  std::uint8_t reserved1[80];
  std::int32_t layerVelocityX[kLayerCount];
  std::int32_t layerVelocityY[kLayerCount];
  char music[64];
  EffectSound effectSound[3];  // channels 2, 5 and 6
  char pendingVoice[64];
  std::int32_t messageNumber;
  WindowDefinition messageWindow;
  char choiceWindowPicture[64];
  std::int32_t choiceWindow[10];
  std::int32_t choiceWindowExtra[2];
  char saveComment[57];
  std::uint8_t reserved2[199];
  std::int32_t backlogWriteIndex;
  std::int32_t backlogWrapped;
  std::int32_t backlogCount;
  std::uint8_t backlog[kBacklogEntries][kBacklogRecordSize];
  WindowDefinition normalWindow;
  WindowDefinition nameWindow;
  WindowDefinition pageWindow;

  // Fills the record with zero bytes, then sets the format number and the script "open".
  void Clear();
  // Sum of the unsigned bytes from the format number to the end, as saved games carry it.
  std::uint32_t ComputeChecksum() const;
  // The signed byte of an engine state flag, and the 16-bit values spanning two flags.
  std::int8_t SignedFlag(int flag) const { return static_cast<std::int8_t>(flags[flag]); }
  std::int16_t Flag16(int flag) const;
  void SetFlag16(int flag, std::int16_t value);
  // Sets the current script's name, cut to 63 bytes.
  void SetScriptName(std::string_view name);
  // Stores a name in one of the record's fixed text fields (64 bytes here, 32 in the backlog's
  // entries): cut to the field's size less one, never inside a two-byte character, so that a
  // reader stepping over two bytes at a time never passes the terminating zero; the rest zero.
  template <std::size_t N>
  static void CopyName(char (&field)[N], std::string_view name) {
    CopyNameInto(field, N, name);
  }
  static void CopyNameInto(char* field, std::size_t size, std::string_view name);
  std::string_view ScriptName() const;
};

#pragma pack(pop)

static_assert(sizeof(WindowDefinition) == 104);
static_assert(sizeof(GameState) == 1043508);
static_assert(offsetof(GameState, formatNumber) == 4);
static_assert(offsetof(GameState, scriptName) == 8);
static_assert(offsetof(GameState, variables) == 72);
static_assert(offsetof(GameState, flags) == 176);
static_assert(offsetof(GameState, layerPicture) == 2224);
static_assert(offsetof(GameState, layerX) == 2736);
static_assert(offsetof(GameState, layerY) == 2768);
static_assert(offsetof(GameState, layerBrightness) == 2800);
static_assert(offsetof(GameState, layerOpacity) == 2832);
static_assert(offsetof(GameState, layerWrap) == 2864);
static_assert(offsetof(GameState, reserved1) == 2872);
static_assert(offsetof(GameState, layerVelocityX) == 2952);
static_assert(offsetof(GameState, layerVelocityY) == 2984);
static_assert(offsetof(GameState, music) == 3016);
static_assert(offsetof(GameState, effectSound) == 3080);
static_assert(offsetof(GameState, effectSound) + sizeof(EffectSound) == 3148);
static_assert(offsetof(GameState, effectSound) + 2 * sizeof(EffectSound) == 3216);
static_assert(offsetof(GameState, pendingVoice) == 3284);
static_assert(offsetof(GameState, messageNumber) == 3348);
static_assert(offsetof(GameState, messageWindow) == 3352);
static_assert(offsetof(GameState, messageWindow.values) == 3416);
static_assert(offsetof(GameState, choiceWindowPicture) == 3456);
static_assert(offsetof(GameState, choiceWindow) == 3520);
static_assert(offsetof(GameState, choiceWindowExtra) == 3560);
static_assert(offsetof(GameState, saveComment) == 3568);
static_assert(offsetof(GameState, reserved2) == 3625);
static_assert(offsetof(GameState, backlogWriteIndex) == 3824);
static_assert(offsetof(GameState, backlogWrapped) == 3828);
static_assert(offsetof(GameState, backlogCount) == 3832);
static_assert(offsetof(GameState, backlog) == 3836);
static_assert(offsetof(GameState, normalWindow) == 1043196);
static_assert(offsetof(GameState, nameWindow) == 1043300);
static_assert(offsetof(GameState, pageWindow) == 1043404);
static_assert(offsetof(GameState, flags) + GameState::kPageDimFlag == 2197);
static_assert(offsetof(GameState, flags) + GameState::kScreenBrightnessFlag == 2210);
static_assert(offsetof(GameState, flags) + GameState::kTopMaskFlag == 2211);
static_assert(offsetof(GameState, flags) + GameState::kRetWaitsOffFlag == 2223);

}  // namespace halcyra
