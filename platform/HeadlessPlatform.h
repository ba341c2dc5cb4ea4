// The platform without a screen: a virtual clock, scripted input, captured frames and a log of
// message boxes with scripted answers. Whole-engine runs in tests and `halcyra-tool run` use it;
// every run with the same inputs repeats exactly.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/NullAudioDevice.h"
#include "platform/Platform.h"

namespace halcyra {

struct HeadlessOptions {
  DisplayMode desktop{1920, 1080, 32, 60, 0};
  std::vector<DisplayMode> displayModes{{800, 600, 32, 60, 0}, {800, 600, 32, 75, 0},
                                        {1920, 1080, 32, 60, 0}};
  bool windowCanOpen = true;
  // The run ends (QuitRequested) once this many frames were presented; negative: never.
  int frameLimit = -1;
  // The run ends once the virtual clock passes this many milliseconds; 0: never.
  std::uint32_t timeLimit = 0;
  // The run also ends as soon as this says so (for example: the script reached its end).
  std::function<bool()> endWhen;
};

// One message box the engine showed, with the answer it got.
struct MessageBoxRecord {
  MessageBoxRequest request;
  MessageBoxResult answer = MessageBoxResult::kOk;
  int frame = 0;  // frames presented before it appeared
};

// One popup menu the engine showed, with the answer the input script gave.
struct PopupMenuRecord {
  PopupMenuModel menu;
  int x = 0;
  int y = 0;
  std::string answer;        // the ITEM of the answering menu line; empty when there was none
  std::optional<int> chosen;  // the id returned
  int frame = 0;             // frames presented before it appeared
};

class HeadlessPlatform : public Platform {
 public:
  explicit HeadlessPlatform(HeadlessOptions options = {});

  // Input script, one event a line: "FRAME EVENT ARGS" or "wait EVENT ARGS" ('#' starts a
  // comment). Events: click X Y, rclick X Y, mclick X Y, move X Y, key NAME [down|up],
  // wheel up|down, close, activate, deactivate, menu ITEM. False with a message naming the line
  // on error.
  //
  // "menu ITEM" answers the popup menu that the event on the line before it opens, and is
  // written with that line's frame or "wait" ("wait rclick 400 300" then "wait menu CmQSave");
  // a popup menu holds the game still, so the answer comes at once. ITEM is an item's name in
  // the menu model, or "none" to dismiss the menu; an item the player could not choose (hidden,
  // disabled, in a hidden or disabled submenu, or opening a submenu) dismisses it too. A popup
  // menu whose event has no menu line is dismissed; an answer whose event opens no menu is
  // dropped.
  bool LoadInputScript(std::string_view text, std::string& error);

  // Answers for the coming message boxes, in order; when none is queued a box gets its
  // default button.
  void QueueMessageBoxAnswer(MessageBoxResult answer);
  const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
  const std::vector<PopupMenuRecord>& PopupMenus() const { return popupMenus_; }

  // Called with every presented frame (pixels are 0xAARRGGBB, pitch = width).
  using FrameObserver = std::function<void(int frameNumber, const std::uint32_t* pixels,
                                           int width, int height)>;
  void SetFrameObserver(FrameObserver observer) { frameObserver_ = std::move(observer); }

  int PresentedFrames() const { return presentedFrames_; }
  const std::vector<std::uint32_t>& LastFrame() const { return lastFrame_; }
  int LastFrameWidth() const { return lastFrameWidth_; }
  int LastFrameHeight() const { return lastFrameHeight_; }
  const std::string& CaptionUtf8() const { return caption_; }
  bool IsWindowOpen() const { return windowOpen_; }
  bool IsFullScreen() const { return fullScreen_; }
  const DisplayMode& FullScreenMode() const { return fullScreenMode_; }
  std::uint32_t TotalSleep() const { return totalSleep_; }
  // The sound output: mixed as the virtual clock advances; capturing is off unless a test turns
  // it on.
  NullAudioDevice& NullAudio() { return audio_; }

  bool OpenWindow(int clientWidth, int clientHeight) override;
  void SetCaption(std::string_view shiftJisCaption) override;
  void SetFullScreen(bool fullScreen, const DisplayMode* mode) override;
  bool IsActive() const override { return active_; }
  void BringToFront() override;
  void CloseWindow() override;
  DisplayMode DesktopMode() const override { return options_.desktop; }
  std::vector<DisplayMode> DisplayModes() const override { return options_.displayModes; }
  void PumpEvents(PlatformEvents& sink) override;
  void WaitingForInput() override;
  bool QuitRequested() const override;
  std::uint32_t Ticks() const override { return now_; }
  void Sleep(std::uint32_t milliseconds) override;
  AudioDevice& Audio() override { return audio_; }
  MessageBoxResult ShowMessageBox(const MessageBoxRequest& request) override;
  std::optional<int> ShowPopupMenu(const PopupMenuModel& menu, int x, int y,
                                   PlatformEvents& sink) override;
  void PresentFrame(const std::uint32_t* pixels, int width, int height, int pitch) override;

 private:
  enum class EventKind { kClick, kRightClick, kMiddleClick, kMove, kKey, kWheel, kClose,
                                              kActivate, kDeactivate, kMenu };
  enum class KeyAction { kPress, kDown, kUp };
  struct ScriptedEvent {
    int frame = 0;          // applies once this many frames were presented
    bool onWait = false;    // applies at the engine's next wait for input instead
    EventKind kind = EventKind::kMove;
    int x = 0;
    int y = 0;
    int key = kKeyNone;
    KeyAction keyAction = KeyAction::kPress;
    bool wheelUp = false;
    std::string menuItem;   // kMenu: the item's name or "none"
    std::optional<std::string> menuAnswer;  // the menu line after this event
  };

  static bool ParseEvent(const std::vector<std::string>& words, ScriptedEvent& event,
                         std::string& error);
  void Deliver(const ScriptedEvent& event, PlatformEvents& sink);
  void DeliverKey(int key, bool down, PlatformEvents& sink);
  void DeliverWithAnswer(const ScriptedEvent& event, PlatformEvents& sink);
  static bool AttachMenuAnswer(const ScriptedEvent& menuLine, std::deque<ScriptedEvent>& events,
                               std::string& error);

  HeadlessOptions options_;
  NullAudioDevice audio_;
  std::deque<ScriptedEvent> timedEvents_;
  std::deque<ScriptedEvent> waitEvents_;
  std::deque<ScriptedEvent> readyEvents_;
  std::deque<MessageBoxResult> answers_;
  std::vector<MessageBoxRecord> messageBoxes_;
  std::vector<PopupMenuRecord> popupMenus_;
  // While an event is delivered: the answer for the popup menu it opens.
  std::optional<std::string> menuAnswer_;
  FrameObserver frameObserver_;
  std::vector<std::uint32_t> lastFrame_;
  int lastFrameWidth_ = 0;
  int lastFrameHeight_ = 0;
  int presentedFrames_ = 0;
  std::uint32_t now_ = 0;
  std::uint32_t totalSleep_ = 0;
  std::string caption_;
  DisplayMode fullScreenMode_{};
  bool windowOpen_ = false;
  bool fullScreen_ = false;
  bool active_ = true;
  bool shiftDown_ = false;
  bool altDown_ = false;
};

}  // namespace halcyra
