#include "platform/HeadlessPlatform.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <sstream>
#include <utility>

#include "platform/ShiftJis.h"

namespace halcyra {
namespace {

struct KeyName {
  const char* name;
  int key;
};

constexpr KeyName kKeyNames[] = {
    {"Enter", kKeyEnter}, {"Space", kKeySpace},   {"Escape", kKeyEscape},
    {"Up", kKeyUp},       {"Down", kKeyDown},     {"Left", kKeyLeft},
    {"Right", kKeyRight}, {"PageUp", kKeyPageUp}, {"PageDown", kKeyPageDown},
    {"Home", kKeyHome},   {"End", kKeyEnd},       {"F1", kKeyF1},
    {"F2", kKeyF2},       {"Ctrl", kKeyCtrl},     {"Shift", kKeyShift},
    {"Alt", kKeyAlt},
};

int KeyFromName(const std::string& name) {
  for (const KeyName& entry : kKeyNames) {
    if (name == entry.name) return entry.key;
  }
  if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z') return kKeyA + (name[0] - 'A');
  return kKeyNone;
}

bool ParseInt(const std::string& word, int& value) {
  const char* end = word.data() + word.size();
  const auto result = std::from_chars(word.data(), end, value);
  return result.ec == std::errc() && result.ptr == end;
}

std::vector<std::string> SplitWords(const std::string& line) {
  std::istringstream stream(line.substr(0, line.find('#')));
  std::vector<std::string> words;
  for (std::string word; stream >> word;) words.push_back(word);
  return words;
}

MessageBoxResult DefaultAnswer(const MessageBoxRequest& request) {
  if (request.buttons == MessageBoxButtons::kOk) return MessageBoxResult::kOk;
  return request.defaultIsNo ? MessageBoxResult::kNo : MessageBoxResult::kYes;
}

}  // namespace

HeadlessPlatform::HeadlessPlatform(HeadlessOptions options) : options_(std::move(options)) {
  audio_.SetCapturing(false);
}

bool HeadlessPlatform::ParseEvent(const std::vector<std::string>& words, ScriptedEvent& event,
                                  std::string& error) {
  // words[0] is the frame or "wait"; words[1] the event; the rest its arguments.
  const std::string& kind = words[1];
  const std::size_t argumentCount = words.size() - 2;
  auto needPoint = [&]() {
    if (argumentCount != 2 || !ParseInt(words[2], event.x) || !ParseInt(words[3], event.y)) {
      error = "'" + kind + "' needs two numbers: X Y";
      return false;
    }
    return true;
  };
  if (kind == "click" || kind == "rclick" || kind == "mclick" || kind == "move") {
    event.kind = kind == "click"    ? EventKind::kClick
                 : kind == "rclick" ? EventKind::kRightClick
                 : kind == "mclick" ? EventKind::kMiddleClick
                                    : EventKind::kMove;
    return needPoint();
  }
  if (kind == "key") {
    event.kind = EventKind::kKey;
    if (argumentCount < 1 || argumentCount > 2) {
      error = "'key' needs a key name and optionally down or up";
      return false;
    }
    event.key = KeyFromName(words[2]);
    if (event.key == kKeyNone) {
      error = "unknown key name '" + words[2] + "'";
      return false;
    }
    if (argumentCount == 2) {
      if (words[3] != "down" && words[3] != "up") {
        error = "a key action is 'down' or 'up', not '" + words[3] + "'";
        return false;
      }
      event.keyAction = words[3] == "down" ? KeyAction::kDown : KeyAction::kUp;
    }
    return true;
  }
  if (kind == "wheel") {
    event.kind = EventKind::kWheel;
    if (argumentCount != 1 || (words[2] != "up" && words[2] != "down")) {
      error = "'wheel' needs up or down";
      return false;
    }
    event.wheelUp = words[2] == "up";
    return true;
  }
  if (kind == "menu") {
    event.kind = EventKind::kMenu;
    if (argumentCount != 1) {
      error = "'menu' needs an item name or none";
      return false;
    }
    event.menuItem = words[2];
    return true;
  }
  const std::pair<const char*, EventKind> plain[] = {
      {"close", EventKind::kClose},
      {"activate", EventKind::kActivate},
      {"deactivate", EventKind::kDeactivate}};
  for (const auto& [name, plainKind] : plain) {
    if (kind == name) {
      event.kind = plainKind;
      if (argumentCount != 0) {
        error = "'" + kind + "' takes no arguments";
        return false;
      }
      return true;
    }
  }
  error = "unknown event '" + kind + "'";
  return false;
}

// A menu line belongs to the event written just before it, with the same frame or "wait".
bool HeadlessPlatform::AttachMenuAnswer(const ScriptedEvent& menuLine,
                                        std::deque<ScriptedEvent>& events, std::string& error) {
  if (events.empty() || events.back().frame != menuLine.frame) {
    error = "'menu' must follow the event that opens the menu, with the same frame or wait";
    return false;
  }
  if (events.back().menuAnswer) {
    error = "one 'menu' answer per event";
    return false;
  }
  events.back().menuAnswer = menuLine.menuItem;
  return true;
}

bool HeadlessPlatform::LoadInputScript(std::string_view text, std::string& error) {
  std::istringstream lines{std::string(text)};
  std::deque<ScriptedEvent> timed;
  std::deque<ScriptedEvent> onWait;
  int lineNumber = 0;
  for (std::string line; std::getline(lines, line);) {
    ++lineNumber;
    const std::vector<std::string> words = SplitWords(line);
    if (words.empty()) continue;
    ScriptedEvent event;
    std::string problem;
    if (words.size() < 2) {
      problem = "an event line is 'FRAME EVENT ...' or 'wait EVENT ...'";
    } else if (words[0] == "wait") {
      event.onWait = true;
    } else if (!ParseInt(words[0], event.frame) || event.frame < 0) {
      problem = "'" + words[0] + "' is neither a frame number nor 'wait'";
    }
    if (problem.empty()) ParseEvent(words, event, problem);
    std::deque<ScriptedEvent>& events = event.onWait ? onWait : timed;
    if (problem.empty() && event.kind == EventKind::kMenu) {
      AttachMenuAnswer(event, events, problem);
    } else if (problem.empty()) {
      events.push_back(event);
    }
    if (!problem.empty()) {
      error = "input line " + std::to_string(lineNumber) + ": " + problem;
      return false;
    }
  }
  // Events of one frame keep their file order; frames need not be written in order.
  std::stable_sort(timed.begin(), timed.end(),
                   [](const ScriptedEvent& a, const ScriptedEvent& b) { return a.frame < b.frame; });
  timedEvents_ = std::move(timed);
  waitEvents_ = std::move(onWait);
  return true;
}

void HeadlessPlatform::QueueMessageBoxAnswer(MessageBoxResult answer) { answers_.push_back(answer); }

bool HeadlessPlatform::OpenWindow(int clientWidth, int clientHeight) {
  if (!options_.windowCanOpen) return false;
  windowOpen_ = true;
  lastFrame_.assign(static_cast<std::size_t>(clientWidth) * static_cast<std::size_t>(clientHeight),
                    0xFF000000u);
  lastFrameWidth_ = clientWidth;
  lastFrameHeight_ = clientHeight;
  return true;
}

void HeadlessPlatform::SetCaption(std::string_view shiftJisCaption) {
  caption_ = ShiftJisToUtf8(shiftJisCaption);
}

void HeadlessPlatform::SetFullScreen(bool fullScreen, const DisplayMode* mode) {
  fullScreen_ = fullScreen;
  fullScreenMode_ = (fullScreen && mode != nullptr) ? *mode : DisplayMode{};
}

void HeadlessPlatform::BringToFront() {}

void HeadlessPlatform::CloseWindow() { windowOpen_ = false; }

void HeadlessPlatform::DeliverKey(int key, bool down, PlatformEvents& sink) {
  if (key == kKeyShift) shiftDown_ = down;
  if (key == kKeyAlt) altDown_ = down;
  sink.OnKey(key, down, shiftDown_, altDown_);
}

void HeadlessPlatform::Deliver(const ScriptedEvent& event, PlatformEvents& sink) {
  switch (event.kind) {
    case EventKind::kClick:
    case EventKind::kRightClick:
    case EventKind::kMiddleClick: {
      const MouseButton button = event.kind == EventKind::kClick        ? MouseButton::kLeft
                                 : event.kind == EventKind::kRightClick ? MouseButton::kRight
                                                                        : MouseButton::kMiddle;
      sink.OnMouseMove(event.x, event.y);
      sink.OnMouseButton(button, true, event.x, event.y);
      sink.OnMouseButton(button, false, event.x, event.y);
      break;
    }
    case EventKind::kMove:
      sink.OnMouseMove(event.x, event.y);
      break;
    case EventKind::kKey:
      if (event.keyAction != KeyAction::kUp) DeliverKey(event.key, true, sink);
      if (event.keyAction != KeyAction::kDown) DeliverKey(event.key, false, sink);
      break;
    case EventKind::kWheel:
      sink.OnWheel(event.wheelUp);
      break;
    case EventKind::kClose:
      sink.OnCloseRequest();
      break;
    case EventKind::kActivate:
    case EventKind::kDeactivate:
      active_ = event.kind == EventKind::kActivate;
      sink.OnActivate(active_);
      break;
    case EventKind::kMenu:  // answers ride on the event before them and are never queued
      break;
  }
}

void HeadlessPlatform::PumpEvents(PlatformEvents& sink) {
  while (!readyEvents_.empty()) {
    const ScriptedEvent event = readyEvents_.front();
    readyEvents_.pop_front();
    DeliverWithAnswer(event, sink);
  }
  while (!timedEvents_.empty() && timedEvents_.front().frame <= presentedFrames_) {
    const ScriptedEvent event = timedEvents_.front();
    timedEvents_.pop_front();
    DeliverWithAnswer(event, sink);
  }
}

// The event's menu answer is there for the popup menu it opens; a handler that pumps events
// again (a display change does) delivers further events with answers of their own.
void HeadlessPlatform::DeliverWithAnswer(const ScriptedEvent& event, PlatformEvents& sink) {
  std::optional<std::string> outer = std::move(menuAnswer_);
  menuAnswer_ = event.menuAnswer;
  Deliver(event, sink);
  menuAnswer_ = std::move(outer);
}

void HeadlessPlatform::WaitingForInput() {
  if (waitEvents_.empty()) return;
  readyEvents_.push_back(waitEvents_.front());
  waitEvents_.pop_front();
}

bool HeadlessPlatform::QuitRequested() const {
  if (options_.frameLimit >= 0 && presentedFrames_ >= options_.frameLimit) return true;
  if (options_.endWhen && options_.endWhen()) return true;
  return options_.timeLimit != 0 && now_ >= options_.timeLimit;
}

void HeadlessPlatform::Sleep(std::uint32_t milliseconds) {
  now_ += milliseconds;
  totalSleep_ += milliseconds;
  audio_.PumpUntil(now_);
}

MessageBoxResult HeadlessPlatform::ShowMessageBox(const MessageBoxRequest& request) {
  MessageBoxResult answer = DefaultAnswer(request);
  if (!answers_.empty()) {
    answer = answers_.front();
    answers_.pop_front();
  }
  messageBoxes_.push_back({request, answer, presentedFrames_});
  return answer;
}

std::optional<int> HeadlessPlatform::ShowPopupMenu(const PopupMenuModel& menu, int x, int y,
                                                   PlatformEvents&) {
  PopupMenuRecord record{menu, x, y, menuAnswer_.value_or(""), std::nullopt, presentedFrames_};
  menuAnswer_.reset();  // one answer, for the first menu the event opens
  if (const PopupMenuItem* item = FindChoosableItem(menu.items, record.answer)) {
    record.chosen = item->id;
  }
  popupMenus_.push_back(record);
  return record.chosen;
}

void HeadlessPlatform::PresentFrame(const std::uint32_t* pixels, int width, int height,
                                    int pitch) {
  if (!windowOpen_) return;
  const std::size_t size = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  if (lastFrame_.size() != size) lastFrame_.resize(size);
  for (int y = 0; y < height; ++y) {
    std::memcpy(lastFrame_.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width),
                pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(pitch),
                static_cast<std::size_t>(width) * sizeof(std::uint32_t));
  }
  lastFrameWidth_ = width;
  lastFrameHeight_ = height;
  ++presentedFrames_;
  if (frameObserver_) frameObserver_(presentedFrames_, lastFrame_.data(), width, height);
}

}  // namespace halcyra
