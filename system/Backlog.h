// The backlog ring: the last 256 pages of text, each with a snapshot of the scenario state at
// its message, kept in the GameState so that every save carries it. Entry k back from the
// newest (k = 1 is the newest) is ring entry (write index - k) modulo 256.
//
// An entry's state part (message number, variables, flags, layers, sounds, script name) is
// recorded by the voice statement before a line and by a choice; its text part when the line's
// wait is reached, which also advances the ring. Names are cut to their fields (31 bytes and a
// zero for the 32-byte ones), never inside a two-byte character.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "script/GameState.h"

namespace halcyra {

struct Engine;

#pragma pack(push, 1)

struct LogEntry {
  static constexpr int kNameSize = 32;

  std::int32_t messageNumber;
  char speaker[kNameSize];  // hero placeholders expanded; empty for none
  char page[1024];          // the page up to this message, placeholders expanded
  std::int32_t variables[GameState::kVariableCount];
  std::uint8_t flags[GameState::kFlagCount];
  char layerPicture[GameState::kLayerCount][kNameSize];
  std::int32_t layerX[GameState::kLayerCount];
  std::int32_t layerY[GameState::kLayerCount];
  std::int32_t layerBrightness[GameState::kLayerCount];
  std::int32_t layerOpacity[GameState::kLayerCount];
  std::uint8_t layerWrap[GameState::kLayerCount];
  std::uint8_t reserved[80];
  std::int32_t layerVelocityX[GameState::kLayerCount];
  std::int32_t layerVelocityY[GameState::kLayerCount];
  char scriptName[kNameSize];
  char music[kNameSize];
  struct Sound {
    char name[kNameSize];
    std::int32_t loop;
  } effectSound[3];  // channels 2, 5 and 6
  char voice[64];          // with a "-2" suffix when the name variant applied
  char windowPicture[64];  // of the current layout
  std::int32_t textStartX;
  std::int32_t textStartY;
  std::uint8_t newPage;  // this entry's message began a page
  std::uint8_t padding[3];
};

#pragma pack(pop)

static_assert(sizeof(LogEntry) == GameState::kBacklogRecordSize);
static_assert(offsetof(LogEntry, speaker) == 4);
static_assert(offsetof(LogEntry, page) == 36);
static_assert(offsetof(LogEntry, variables) == 1060);
static_assert(offsetof(LogEntry, flags) == 1164);
static_assert(offsetof(LogEntry, layerPicture) == 3212);
static_assert(offsetof(LogEntry, layerX) == 3468);
static_assert(offsetof(LogEntry, layerY) == 3500);
static_assert(offsetof(LogEntry, layerBrightness) == 3532);
static_assert(offsetof(LogEntry, layerOpacity) == 3564);
static_assert(offsetof(LogEntry, layerWrap) == 3596);
static_assert(offsetof(LogEntry, layerVelocityX) == 3684);
static_assert(offsetof(LogEntry, layerVelocityY) == 3716);
static_assert(offsetof(LogEntry, scriptName) == 3748);
static_assert(offsetof(LogEntry, music) == 3780);
static_assert(offsetof(LogEntry, effectSound) == 3812);
static_assert(offsetof(LogEntry, voice) == 3920);
static_assert(offsetof(LogEntry, windowPicture) == 3984);
static_assert(offsetof(LogEntry, textStartX) == 4048);
static_assert(offsetof(LogEntry, textStartY) == 4052);
static_assert(offsetof(LogEntry, newPage) == 4056);

// What the message window hands to a log entry: its page buffer with the hero placeholders
// expanded, its speaker name buffer (null when it has none) and its new-page-for-log flag,
// which an advancing entry takes and clears.
struct LogPage {
  std::string_view text;
  const char* speaker = nullptr;
  bool newPageForLog = false;
};

// Ring entry (write index - k) modulo 256.
int LogRingIndex(const GameState& state, int k);
LogEntry& LogEntryAt(GameState& state, int k);
const LogEntry& LogEntryAt(const GameState& state, int k);
// The entry at the write index: the next to be written, or the one being resumed.
LogEntry& CurrentLogEntry(GameState& state);

// Writes the current entry. The voice statements give (false, "", false), the key waits
// (false, "", true), a choice (false, "", false), then (false, "選択肢【未選択】", true) and
// after it is taken (true, "選択肢【...】", true).
void AddLogEntry(Engine& engine, bool replaceLast, std::string_view text, bool advance,
                 LogPage& page);

// Page movement: pages are runs of entries ending where the next newer entry starts a page.
// Back: to the last entry of the older page, never past the count. Forward (k > 1): to the
// last entry of the newer page; at k = 1 nothing moves.
int PageBack(const GameState& state, int k);
int PageForward(const GameState& state, int k);

// Drops the k newest entries (at most the count). The entry at the write index is then the one
// that play continues from.
void DropNewestEntries(GameState& state, int k);

// How the message window continues after entries were dropped: the continued entry began a page
// (the page starts empty), or the page so far is the text of the entry before it.
struct ContinuedPage {
  bool newPage = true;
  std::string text;
};
ContinuedPage PageToContinue(const GameState& state);

// Copies an entry's layer names, positions, brightness and opacity into the state; with motion
// also their velocities and wrap flags.
void CopyEntryLayers(GameState& state, const LogEntry& entry, bool motion);

// Resuming play from an entry: the pending voice, the music and the first effect sound, the
// variables, all flags and the layers' pictures and placement come back from it.
void RestoreFromEntry(GameState& state, const LogEntry& entry);

// Text of a fixed field, up to its terminating zero (or the field's end).
template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
  std::size_t length = 0;
  while (length < N && field[length] != '\0') ++length;
  return {field, length};
}

}  // namespace halcyra
