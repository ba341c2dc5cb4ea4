#include "app/Settings.h"

#include <algorithm>
#include <climits>
#include <string_view>
#include <utility>

#include "app/IniFile.h"

namespace halcyra {

namespace {

// The values an integer key may take once read, after an optional conversion of what the file
// holds.
struct Range {
  int low = INT_MIN;
  int high = INT_MAX;
  int (*convert)(int stored) = nullptr;
};

constexpr Range kUnbounded{};
constexpr Range kByte{0, 255};
constexpr Range kSpeed16{0, 16};

constexpr Range Choices(int count) { return Range{0, count - 1}; }

// Effect/Speed once counted upwards (larger = faster); today's scale is -11 (slowest) .. 0.
int EffectSpeedFromStored(int stored) {
  struct Step {
    int lowestStored;
    int speed;
  };
  static constexpr Step kSteps[] = {{65, 0}, {33, -1}, {25, -2}, {17, -3}, {13, -4}, {9, -5},
                                    {7, -6}, {5, -7},  {4, -8},  {3, -9},  {2, -10}, {1, -11}};
  for (const Step& step : kSteps) {
    if (stored >= step.lowestStored) return step.speed;
  }
  return stored;
}

constexpr Range kEffectSpeed{-11, 0, EffectSpeedFromStored};

// Which keys a pass over the file covers beside those that are always read and written.
struct KeyScope {
  bool readOnlyKeys = false;  // Koukando/Alpha, Niji/Rain1, Niji/Rain2
  bool editorKeys = false;    // the three Editor keys
};

// Calls `flag(section, key, member)`, `number(section, key, member, range)` or
// `text(section, key, member)` for every key of the file, in the file's order. `S` is Settings
// when reading and const Settings when writing.
template <typename S, typename Flag, typename Number, typename Text>
void VisitKeys(S& s, KeyScope scope, Flag flag, Number number, Text text) {
  flag("Display", "Window", s.display.window);
  number("Display", "Refresh", s.display.refresh, kUnbounded);
  number("Display", "Time", s.display.time, Choices(3));
  flag("Display", "Date", s.display.date);
  number("Display", "TimeTop", s.display.timeTop, Choices(4));
  number("Display", "DrawWait", s.display.drawWait, Choices(4));

  text("Font", "Name", s.font.name);
  number("Font", "Style", s.font.style, Choices(4));

  text("User", "Name", s.user.name);
  text("User", "Family", s.user.family);

  number("Message", "Speed", s.message.speed, kSpeed16);
  flag("Message", "Readed", s.message.readed);
  number("Message", "ReadedLumi", s.message.readedLumi, kByte);
  number("Message", "ReadedLumi2", s.message.readedLumi2, kByte);
  number("Message", "MojiType", s.message.mojiType, Choices(3));
  number("Message", "RetPosi", s.message.retPosi, Choices(2));
  flag("Message", "Selected", s.message.selected);

  flag("Skip2", "Cancel", s.skip2.cancel);
  flag("Skip2", "Unread", s.skip2.unread);
  number("Skip2", "Wait", s.skip2.wait, kByte);

  number("Skip", "Wait", s.skip.wait, kByte);
  flag("Skip", "Voice", s.skip.voice);
  flag("Skip", "Effect", s.skip.effect);
  flag("Skip", "Cancel", s.skip.cancel);
  flag("Skip", "Unread", s.skip.unread);

  flag("SkipSelect", "Unread", s.skipSelect.unread);

  number("Window", "Red", s.window.red, kByte);
  number("Window", "Green", s.window.green, kByte);
  number("Window", "Blue", s.window.blue, kByte);
  number("Window", "Alpha", s.window.alpha, kByte);
  flag("Window", "Guide", s.window.guide);
  number("Window", "Drag", s.window.drag, Choices(3));
  flag("Window", "Window", s.window.window);
  flag("Window", "Board", s.window.board);
  flag("Window", "Icon", s.window.icon);

  number("Volume", "Bgm", s.volume.bgm, kByte);
  number("Volume", "Se", s.volume.se, kByte);
  number("Volume", "Voice", s.volume.voice, kByte);
  number("Volume", "Pan", s.volume.pan, kByte);
  number("Volume", "SeX", s.volume.seX, kByte);
  flag("Volume", "BgmOn", s.volume.bgmOn);
  flag("Volume", "SeOn", s.volume.seOn);
  flag("Volume", "VoOn", s.volume.voOn);
  flag("Volume", "SeXOn", s.volume.seXOn);

  flag("Voice", "Next", s.voice.next);
  number("Voice", "Rate", s.voice.rate, Choices(4));
  flag("Voice", "Guide", s.voice.guide);
  number("Voice", "GuideNo", s.voice.guideNo, kUnbounded);

  flag("Bgm", "AllBgm", s.bgm.allBgm);
  flag("Bgm", "BgmDown", s.bgm.bgmDown);
  number("Bgm", "BgmDownRate", s.bgm.bgmDownRate, Range{0, 10});

  number("Key", "Repeat", s.key.repeat, Range{0, 8});
  flag("Key", "Context", s.key.context);

  flag("Save", "OverWriteCheck", s.save.overWriteCheck);
  flag("Save", "Recall", s.save.recall);
  flag("Save", "SamWin", s.save.samWin);
  flag("Save", "SamSaveBig", s.save.samSaveBig);

  number("Effect", "Speed", s.effect.speed, kEffectSpeed);
  flag("Effect", "ClickCancel", s.effect.clickCancel);
  flag("Effect", "WaitCancel", s.effect.waitCancel);

  number("Log", "Lumi", s.log.lumi, kByte);
  flag("Log", "Exit", s.log.exit);
  flag("Log", "Cg", s.log.cg);
  flag("Log", "Bgm", s.log.bgm);
  flag("Log", "Voice", s.log.voice);
  number("Log", "Icon", s.log.icon, Choices(2));
  number("Log", "Wheel", s.log.wheel, Choices(2));

  number("Movie", "Play", s.movie.play, Choices(3));

  flag("System", "NoActive", s.system.noActive);

  if (scope.readOnlyKeys) number("Koukando", "Alpha", s.koukando.alpha, kByte);

  number("Mouse", "Type", s.mouse.type, Choices(2));
  text("Mouse", "Name", s.mouse.name);

  const int characters = CharacterTable::IniCount();
  for (int i = 0; i < characters; ++i) flag("CharaVoice", std::to_string(i), s.charaVoice[i]);
  for (int i = 0; i < characters; ++i)
    number("CharaVolume", std::to_string(i), s.charaVolume[i], kByte);

  number("Novel", "NovelRate", s.novel.novelRate, kByte);
  number("Novel", "NovelSpd", s.novel.novelSpd, kSpeed16);
  flag("Novel", "NovelDisp", s.novel.novelDisp);
  flag("Novel", "NovelMoji", s.novel.novelMoji);
  flag("Novel", "NovelPage", s.novel.novelPage);

  if (scope.readOnlyKeys) {
    flag("Niji", "Rain1", s.niji.rain1);
    flag("Niji", "Rain2", s.niji.rain2);
  }

  if (scope.editorKeys) {
    text("Editor", "Path", s.editor.path);
    text("Editor", "Scr Path", s.editor.scrPath);
    text("Editor", "Jump Option", s.editor.jumpOption);
  }
}

int SelectRefreshRate(const std::vector<int>& rates, int refresh) {
  const auto match = std::find(rates.begin(), rates.end(), refresh);
  if (match != rates.end()) return static_cast<int>(match - rates.begin());
  return rates.empty() ? -1 : 0;
}

void DeriveState(Settings& settings) {
  settings.refreshRateIndex = SelectRefreshRate(settings.refreshRates, settings.display.refresh);
  settings.fontHeight = -24;
  settings.fontBold = settings.font.style == 1 || settings.font.style == 3;
  settings.fontItalic = settings.font.style == 2 || settings.font.style == 3;
  settings.heroName = settings.user.name;
  settings.familyName = settings.user.family;
  settings.cursorFile = settings.mouse.name;
  settings.editorPath = settings.editor.path;
  settings.editorScrPath = settings.editor.scrPath;
  settings.editorJumpOption = settings.editor.jumpOption;
}

}  // namespace

std::array<bool, CharacterTable::kMaxIniCharacters> Settings::DefaultCharaVoice() {
  std::array<bool, CharacterTable::kMaxIniCharacters> voices{};
  voices.fill(true);
  const auto records = CharacterTable::Records();
  for (int i = 0; i < CharacterTable::IniCount(); ++i) voices[i] = records[i].voiceEnabled;
  return voices;
}

std::array<int, CharacterTable::kMaxIniCharacters> Settings::DefaultCharaVolume() {
  std::array<int, CharacterTable::kMaxIniCharacters> volumes{};
  volumes.fill(255);
  const auto records = CharacterTable::Records();
  for (int i = 0; i < CharacterTable::IniCount(); ++i) volumes[i] = records[i].volume;
  return volumes;
}

bool load_settings(const std::string& hostPath, Settings& settings) {
  IniFile ini;
  // An unreadable file leaves `ini` empty, which reads as all defaults, like a missing one.
  ini.Load(hostPath);
  Settings loaded;
  loaded.refreshRates = std::move(settings.refreshRates);
  VisitKeys(
      loaded, KeyScope{.readOnlyKeys = true, .editorKeys = true},
      [&ini](std::string_view section, std::string_view key, bool& value) {
        value = ini.ReadBool(section, key, value);
      },
      [&ini](std::string_view section, std::string_view key, int& value, Range range) {
        const int stored = ini.ReadInteger(section, key, value);
        value = std::clamp(range.convert ? range.convert(stored) : stored, range.low, range.high);
      },
      [&ini](std::string_view section, std::string_view key, std::string& value) {
        value = ini.ReadString(section, key, value);
      });
  DeriveState(loaded);
  settings = std::move(loaded);
  return settings.display.window;
}

bool save_settings(const std::string& hostPath, const Settings& settings, bool windowMode,
                   bool debugMode) {
  IniFile ini;
  if (!ini.Load(hostPath)) return false;
  Settings written = settings;
  written.display.window = windowMode;
  VisitKeys(
      std::as_const(written), KeyScope{.readOnlyKeys = false, .editorKeys = debugMode},
      [&ini](std::string_view section, std::string_view key, bool value) {
        ini.WriteBool(section, key, value);
      },
      [&ini](std::string_view section, std::string_view key, int value, Range) {
        ini.WriteInteger(section, key, value);
      },
      [&ini](std::string_view section, std::string_view key, const std::string& value) {
        ini.WriteString(section, key, value);
      });
  return ini.Save(hostPath);
}

}  // namespace halcyra
