#include "system/Backlog.h"

#include <algorithm>
#include <cstring>

#include "script/Engine.h"

namespace halcyra {
namespace {

constexpr int kRing = GameState::kBacklogEntries;
constexpr char kHeroPlaceholder[] = "\x81\x9c\x96\xbc\x81\x9c";    // ●名●
constexpr char kFamilyPlaceholder[] = "\x81\xa3\x8e\x81\x81\xa3";  // ▲氏▲

int Wrap(int index) { return ((index % kRing) + kRing) % kRing; }

LogEntry& EntryAtIndex(GameState& state, int index) {
  return *reinterpret_cast<LogEntry*>(state.backlog[index]);
}

const LogEntry& EntryAtIndex(const GameState& state, int index) {
  return *reinterpret_cast<const LogEntry*>(state.backlog[index]);
}

bool StartsPage(const GameState& state, int k) { return LogEntryAt(state, k).newPage != 0; }

// The speaker's name as the log shows it: the hero's names stand for their placeholders.
std::string_view SpeakerName(const Engine& engine, const char* buffer) {
  if (buffer == nullptr) return {};
  const std::string_view name(buffer);
  if (name == kHeroPlaceholder) return engine.settings.user.name;
  if (name == kFamilyPlaceholder) return engine.settings.user.family;
  return name;
}

void CopySounds(LogEntry& entry, const GameState& state) {
  GameState::CopyName(entry.scriptName, state.ScriptName());
  GameState::CopyName(entry.music, FieldText(state.music));
  for (int i = 0; i < 3; ++i) {
    GameState::CopyName(entry.effectSound[i].name, FieldText(state.effectSound[i].name));
    entry.effectSound[i].loop = state.effectSound[i].loop;
  }
}

void CopyStateSnapshot(LogEntry& entry, const GameState& state) {
  GameState::CopyName(entry.scriptName, state.ScriptName());
  entry.messageNumber = state.messageNumber;
  std::memcpy(entry.variables, state.variables, sizeof entry.variables);
  std::memcpy(entry.flags, state.flags, sizeof entry.flags);
  for (int layer = 0; layer < GameState::kLayerCount; ++layer) {
    GameState::CopyName(entry.layerPicture[layer], FieldText(state.layerPicture[layer]));
    entry.layerX[layer] = state.layerX[layer];
    entry.layerY[layer] = state.layerY[layer];
    entry.layerBrightness[layer] = state.layerBrightness[layer];
    entry.layerOpacity[layer] = state.layerOpacity[layer];
    entry.layerVelocityX[layer] = state.layerVelocityX[layer];
    entry.layerVelocityY[layer] = state.layerVelocityY[layer];
    entry.layerWrap[layer] = state.layerWrap[layer];
  }
}

// Where the entry's text starts on screen, from the current layout (x, y, ..., textX, textY at
// values 0, 1, 6 and 7); a replaced choice entry in page mode uses the page window's line.
void CopyLayout(LogEntry& entry, GameState& state, bool replaceLast, LogPage& page) {
  const std::int32_t* layout = state.messageWindow.values;
  GameState::CopyName(entry.windowPicture, FieldText(state.messageWindow.picture));
  entry.textStartX = layout[0] + layout[6];
  if (replaceLast) {
    const bool pageMode = state.flags[GameState::kPageModeFlag] != 0;
    const std::int32_t* line = pageMode ? state.pageWindow.values : layout;
    entry.textStartY = line[1] + line[7];
    entry.newPage = 1;
  } else {
    entry.textStartY = layout[1] + layout[7];
    entry.newPage = page.newPageForLog ? 1 : 0;
    page.newPageForLog = false;
  }
}

void StepBack(GameState& state) {
  if (state.backlogCount <= 0) return;
  state.backlogCount -= 1;
  if (state.backlogCount <= kRing - 1) state.backlogWrapped = 0;
  state.backlogWriteIndex = Wrap(state.backlogWriteIndex - 1);
}

void Advance(GameState& state) {
  state.backlogWriteIndex += 1;
  if (state.backlogWriteIndex > kRing - 1) state.backlogWrapped = 1;
  state.backlogWriteIndex = Wrap(state.backlogWriteIndex);
  if (state.backlogCount <= kRing - 1) state.backlogCount += 1;
  // The next entry has no snapshot yet, whatever the slot held a round of the ring ago.
  LogEntry& next = EntryAtIndex(state, state.backlogWriteIndex);
  std::memset(next.scriptName, 0, sizeof next.scriptName);
}

}  // namespace

int LogRingIndex(const GameState& state, int k) { return Wrap(state.backlogWriteIndex - k); }

LogEntry& LogEntryAt(GameState& state, int k) { return EntryAtIndex(state, LogRingIndex(state, k)); }

const LogEntry& LogEntryAt(const GameState& state, int k) {
  return EntryAtIndex(state, LogRingIndex(state, k));
}

LogEntry& CurrentLogEntry(GameState& state) { return LogEntryAt(state, 0); }

void AddLogEntry(Engine& engine, bool replaceLast, std::string_view text, bool advance,
                 LogPage& page) {
  GameState& state = *engine.state;
  if (replaceLast && !text.empty()) StepBack(state);
  LogEntry& entry = CurrentLogEntry(state);
  GameState::CopyName(entry.voice, FieldText(state.pendingVoice));
  if (!advance) CopySounds(entry, state);
  if (replaceLast) {
    if (!text.empty()) GameState::CopyName(entry.page, text);
    std::memset(entry.speaker, 0, sizeof entry.speaker);
  } else {
    GameState::CopyName(entry.speaker, SpeakerName(engine, page.speaker));
    GameState::CopyName(entry.page, text.empty() ? page.text : text);
  }
  // A line without a voice statement has no snapshot of its own: its page end takes one, so
  // that play can always resume from it.
  if (!advance || entry.scriptName[0] == '\0') CopyStateSnapshot(entry, state);
  if (!advance) return;
  CopyLayout(entry, state, replaceLast, page);
  Advance(state);
}

int PageBack(const GameState& state, int k) {
  const int count = state.backlogCount;
  if (StartsPage(state, k)) return std::min(k + 1, count);
  int start = k + 1;
  while (start < count && !StartsPage(state, start)) ++start;
  return std::min(start + 1, count);
}

int PageForward(const GameState& state, int k) {
  if (k <= 1) return k;
  --k;
  while (k > 1 && !StartsPage(state, k - 1)) --k;
  return k;
}

void DropNewestEntries(GameState& state, int k) {
  k = std::clamp(k, 0, state.backlogCount);
  if (state.backlogWrapped != 0) {
    state.backlogWrapped = 0;
    state.backlogWriteIndex += kRing;
  }
  state.backlogWriteIndex = Wrap(state.backlogWriteIndex - k);
  state.backlogCount -= k;
}

ContinuedPage PageToContinue(const GameState& state) {
  ContinuedPage page;
  page.newPage = LogEntryAt(state, 0).newPage != 0;
  if (!page.newPage && state.backlogCount > 0) page.text = FieldText(LogEntryAt(state, 1).page);
  return page;
}

void CopyEntryLayers(GameState& state, const LogEntry& entry, bool motion) {
  for (int layer = 0; layer < GameState::kLayerCount; ++layer) {
    GameState::CopyName(state.layerPicture[layer], FieldText(entry.layerPicture[layer]));
    state.layerX[layer] = entry.layerX[layer];
    state.layerY[layer] = entry.layerY[layer];
    state.layerBrightness[layer] = entry.layerBrightness[layer];
    state.layerOpacity[layer] = entry.layerOpacity[layer];
    if (!motion) continue;
    state.layerVelocityX[layer] = entry.layerVelocityX[layer];
    state.layerVelocityY[layer] = entry.layerVelocityY[layer];
    state.layerWrap[layer] = entry.layerWrap[layer];
  }
}

void RestoreFromEntry(GameState& state, const LogEntry& entry) {
  GameState::CopyName(state.pendingVoice, FieldText(entry.voice));
  GameState::CopyName(state.music, FieldText(entry.music));
  GameState::CopyName(state.effectSound[0].name, FieldText(entry.effectSound[0].name));
  std::memcpy(state.variables, entry.variables, sizeof state.variables);
  std::memcpy(state.flags, entry.flags, sizeof state.flags);
  CopyEntryLayers(state, entry, false);
}

}  // namespace halcyra
