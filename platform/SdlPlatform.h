// The platform on a real screen: one SDL2 window with a streaming texture for software frames,
// SDL's event queue, SDL ticks and SDL message boxes.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/ImGuiPopupMenu.h"
#include "platform/Platform.h"
#include "platform/SdlAudioDevice.h"
#include "platform/SdlAcceleratedRenderer.h"

struct SDL_Window;
struct SDL_Renderer;
struct SDL_Texture;
union SDL_Event;

namespace halcyra {

class SdlPlatform : public Platform {
 public:
  SdlPlatform();
  ~SdlPlatform() override;
  SdlPlatform(const SdlPlatform&) = delete;
  SdlPlatform& operator=(const SdlPlatform&) = delete;

  // False when SDL's video system could not start (no display); the message is kept.
  bool IsUsable() const { return videoReady_; }

  bool OpenWindow(int clientWidth, int clientHeight) override;
  void SetCaption(std::string_view shiftJisCaption) override;
  void SetFullScreen(bool fullScreen, const DisplayMode* mode) override;
  bool IsActive() const override { return active_; }
  void BringToFront() override;
  void CloseWindow() override;
  DisplayMode DesktopMode() const override;
  std::vector<DisplayMode> DisplayModes() const override;
  void PumpEvents(PlatformEvents& sink) override;
  void WaitingForInput() override {}
  bool QuitRequested() const override { return quitRequested_; }
  std::uint32_t Ticks() const override;
  void Sleep(std::uint32_t milliseconds) override;
  AudioDevice& Audio() override { return audio_; }
  MessageBoxResult ShowMessageBox(const MessageBoxRequest& request) override;
  // Runs the menu's own frames until it closes; a quit or close request dismisses it and is
  // delivered afterwards.
  std::optional<int> ShowPopupMenu(const PopupMenuModel& menu, int x, int y,
                                   PlatformEvents& sink) override;
  void PresentFrame(const std::uint32_t* pixels, int width, int height, int pitch) override;
  // Made on first request from the window's renderer when that renderer qualifies
  // (SdlAcceleratedRenderer::IsUsable); released when the window closes.
  AcceleratedRenderer* Accelerated() override;

 private:
  void Dispatch(const SDL_Event& event, PlatformEvents& sink);
  void CentreWindow();
  void RunPopupMenuFrame(PlatformEvents& sink, std::vector<SDL_Event>& deferred);
  void DrawPopupMenu();

  SDL_Window* window_ = nullptr;
  SDL_Renderer* renderer_ = nullptr;
  SDL_Texture* texture_ = nullptr;
  std::unique_ptr<SdlAcceleratedRenderer> accelerated_;
  std::unique_ptr<ImGuiPopupMenu> popupMenu_;  // made for the first popup menu
  bool popupMenuDrawn_ = false;  // the menu's frame reached the window
  bool acceleratedChecked_ = false;
  int clientWidth_ = 0;
  int clientHeight_ = 0;
  bool videoReady_ = false;
  bool active_ = true;
  bool quitRequested_ = false;
  SdlAudioDevice audio_;
};

}  // namespace halcyra
