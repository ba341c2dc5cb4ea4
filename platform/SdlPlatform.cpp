#include "platform/SdlPlatform.h"

#include <SDL.h>

#include <cstdio>
#include <string>

#include "platform/ShiftJis.h"

namespace halcyra {
namespace {

constexpr std::uint32_t kPopupMenuFrame = 16;  // ms between the frames of an open popup menu

int KeyFromSdl(SDL_Keycode code) {
  if (code >= SDLK_a && code <= SDLK_z) return kKeyA + static_cast<int>(code - SDLK_a);
  switch (code) {
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return kKeyEnter;
    case SDLK_SPACE: return kKeySpace;
    case SDLK_ESCAPE: return kKeyEscape;
    case SDLK_UP: return kKeyUp;
    case SDLK_DOWN: return kKeyDown;
    case SDLK_LEFT: return kKeyLeft;
    case SDLK_RIGHT: return kKeyRight;
    case SDLK_PAGEUP: return kKeyPageUp;
    case SDLK_PAGEDOWN: return kKeyPageDown;
    case SDLK_HOME: return kKeyHome;
    case SDLK_END: return kKeyEnd;
    case SDLK_F1: return kKeyF1;
    case SDLK_F2: return kKeyF2;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return kKeyCtrl;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return kKeyShift;
    case SDLK_LALT:
    case SDLK_RALT: return kKeyAlt;
    default: return kKeyNone;
  }
}

bool ButtonFromSdl(std::uint8_t sdlButton, MouseButton& button) {
  switch (sdlButton) {
    case SDL_BUTTON_LEFT: button = MouseButton::kLeft; return true;
    case SDL_BUTTON_RIGHT: button = MouseButton::kRight; return true;
    case SDL_BUTTON_MIDDLE: button = MouseButton::kMiddle; return true;
    default: return false;
  }
}

std::uint32_t MessageBoxFlags(MessageBoxIcon icon) {
  switch (icon) {
    case MessageBoxIcon::kError: return SDL_MESSAGEBOX_ERROR;
    case MessageBoxIcon::kWarning: return SDL_MESSAGEBOX_WARNING;
    default: return SDL_MESSAGEBOX_INFORMATION;
  }
}

DisplayMode ModeFromSdl(const SDL_DisplayMode& mode) {
  return DisplayMode{mode.w, mode.h, static_cast<int>(SDL_BITSPERPIXEL(mode.format)),
                     mode.refresh_rate, mode.format};
}

}  // namespace

SdlPlatform::SdlPlatform() {
  // Closing the window must ask the player first, so SDL may not turn it into a quit event.
  SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  videoReady_ = SDL_Init(SDL_INIT_VIDEO | SDL_INIT_EVENTS) == 0;
  if (!videoReady_) std::fprintf(stderr, "halcyra: no display: %s\n", SDL_GetError());
}

SdlPlatform::~SdlPlatform() {
  // The sound device's thread must stop before SDL goes away.
  audio_.Close();
  CloseWindow();
  if (videoReady_) SDL_Quit();
}

bool SdlPlatform::OpenWindow(int clientWidth, int clientHeight) {
  if (!videoReady_) return false;
  window_ = SDL_CreateWindow("", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, clientWidth,
                             clientHeight, SDL_WINDOW_SHOWN);
  if (window_ == nullptr) return false;
  renderer_ = SDL_CreateRenderer(window_, -1, 0);
  if (renderer_ == nullptr) renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_SOFTWARE);
  if (renderer_ != nullptr) {
    // Full screen keeps the 800 x 600 picture in the screen's top-left corner, one to one.
    SDL_RenderSetLogicalSize(renderer_, clientWidth, clientHeight);
    texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_ARGB8888,
                                 SDL_TEXTUREACCESS_STREAMING, clientWidth, clientHeight);
    // The frame is final: its alpha bytes must not blend it with what lies behind.
    if (texture_ != nullptr) SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
  }
  if (texture_ == nullptr) {
    CloseWindow();
    return false;
  }
  clientWidth_ = clientWidth;
  clientHeight_ = clientHeight;
  return true;
}

void SdlPlatform::SetCaption(std::string_view shiftJisCaption) {
  if (window_ != nullptr) SDL_SetWindowTitle(window_, ShiftJisToUtf8(shiftJisCaption).c_str());
}

void SdlPlatform::CentreWindow() {
  SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED);
}

void SdlPlatform::SetFullScreen(bool fullScreen, const DisplayMode* mode) {
  if (window_ == nullptr) return;
  if (!fullScreen) {
    SDL_SetWindowFullscreen(window_, 0);
    SDL_SetWindowSize(window_, clientWidth_, clientHeight_);
    CentreWindow();
    return;
  }
  if (mode != nullptr) {
    SDL_DisplayMode wanted{};
    wanted.w = mode->width;
    wanted.h = mode->height;
    wanted.refresh_rate = mode->refreshRate;
    wanted.format = mode->flags;
    SDL_SetWindowDisplayMode(window_, &wanted);
  }
  SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN);
}

void SdlPlatform::BringToFront() {
  if (window_ != nullptr) SDL_RaiseWindow(window_);
}

void SdlPlatform::CloseWindow() {
  popupMenu_.reset();
  accelerated_.reset();
  acceleratedChecked_ = false;
  if (texture_ != nullptr) SDL_DestroyTexture(texture_);
  if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
  if (window_ != nullptr) SDL_DestroyWindow(window_);
  texture_ = nullptr;
  renderer_ = nullptr;
  window_ = nullptr;
}

DisplayMode SdlPlatform::DesktopMode() const {
  SDL_DisplayMode mode{};
  if (!videoReady_ || SDL_GetDesktopDisplayMode(0, &mode) != 0) return DisplayMode{};
  return ModeFromSdl(mode);
}

std::vector<DisplayMode> SdlPlatform::DisplayModes() const {
  std::vector<DisplayMode> modes;
  if (!videoReady_) return modes;
  const int count = SDL_GetNumDisplayModes(0);
  for (int i = 0; i < count; ++i) {
    SDL_DisplayMode mode{};
    if (SDL_GetDisplayMode(0, i, &mode) == 0) modes.push_back(ModeFromSdl(mode));
  }
  return modes;
}

void SdlPlatform::Dispatch(const SDL_Event& event, PlatformEvents& sink) {
  switch (event.type) {
    case SDL_QUIT:
      quitRequested_ = true;
      break;
    case SDL_WINDOWEVENT:
      switch (event.window.event) {
        case SDL_WINDOWEVENT_CLOSE: sink.OnCloseRequest(); break;
        case SDL_WINDOWEVENT_FOCUS_GAINED: active_ = true; sink.OnActivate(true); break;
        case SDL_WINDOWEVENT_FOCUS_LOST: active_ = false; sink.OnActivate(false); break;
        case SDL_WINDOWEVENT_EXPOSED: sink.OnPaint(); break;
        default: break;
      }
      break;
    case SDL_KEYDOWN:
    case SDL_KEYUP: {
      const int key = KeyFromSdl(event.key.keysym.sym);
      if (key == kKeyNone) break;
      const std::uint16_t mod = event.key.keysym.mod;
      sink.OnKey(key, event.type == SDL_KEYDOWN, (mod & KMOD_SHIFT) != 0, (mod & KMOD_ALT) != 0);
      break;
    }
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      sink.OnRenderReset();
      break;
    case SDL_MOUSEMOTION:
      sink.OnMouseMove(event.motion.x, event.motion.y);
      break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      MouseButton button{};
      if (ButtonFromSdl(event.button.button, button)) {
        sink.OnMouseButton(button, event.type == SDL_MOUSEBUTTONDOWN, event.button.x,
                           event.button.y);
      }
      break;
    }
    case SDL_MOUSEWHEEL:
      if (event.wheel.y != 0) {
        const bool flipped = event.wheel.direction == SDL_MOUSEWHEEL_FLIPPED;
        sink.OnWheel((event.wheel.y > 0) != flipped);
      }
      break;
    default:
      break;
  }
}

void SdlPlatform::PumpEvents(PlatformEvents& sink) {
  if (!videoReady_) return;
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) Dispatch(event, sink);
}

std::uint32_t SdlPlatform::Ticks() const { return SDL_GetTicks(); }

void SdlPlatform::Sleep(std::uint32_t milliseconds) { SDL_Delay(milliseconds); }

MessageBoxResult SdlPlatform::ShowMessageBox(const MessageBoxRequest& request) {
  const std::string text = ShiftJisToUtf8(request.text);
  const std::string caption = ShiftJisToUtf8(request.caption);
  const bool yesNo = request.buttons == MessageBoxButtons::kYesNo;
  const std::uint32_t returnKey = SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT;
  const std::uint32_t escapeKey = SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT;
  const std::uint32_t yesFlags = request.defaultIsNo ? 0u : returnKey;
  const std::uint32_t noFlags = escapeKey | (request.defaultIsNo ? returnKey : 0u);
  const SDL_MessageBoxButtonData yesNoButtons[] = {
      {noFlags, static_cast<int>(MessageBoxResult::kNo), "No"},
      {yesFlags, static_cast<int>(MessageBoxResult::kYes), "Yes"}};
  const SDL_MessageBoxButtonData okButton[] = {
      {returnKey | escapeKey, static_cast<int>(MessageBoxResult::kOk), "OK"}};
  const SDL_MessageBoxData data{MessageBoxFlags(request.icon),
                                request.ownedByWindow ? window_ : nullptr,
                                caption.c_str(),
                                text.c_str(),
                                yesNo ? 2 : 1,
                                yesNo ? yesNoButtons : okButton,
                                nullptr};
  int pressed = -1;
  if (SDL_ShowMessageBox(&data, &pressed) != 0 || pressed < 0) {
    // No way to ask: say so on the terminal and take the safe answer.
    std::fprintf(stderr, "%s: %s\n", caption.c_str(), text.c_str());
    return yesNo ? MessageBoxResult::kNo : MessageBoxResult::kOk;
  }
  return static_cast<MessageBoxResult>(pressed);
}

void SdlPlatform::PresentFrame(const std::uint32_t* pixels, int width, int height, int pitch) {
  if (texture_ == nullptr || width != clientWidth_ || height != clientHeight_) return;
  SDL_UpdateTexture(texture_, nullptr, pixels, pitch * static_cast<int>(sizeof(std::uint32_t)));
  SDL_RenderClear(renderer_);
  SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
  DrawPopupMenu();
  SDL_RenderPresent(renderer_);
}

std::optional<int> SdlPlatform::ShowPopupMenu(const PopupMenuModel& menu, int x, int y,
                                              PlatformEvents& sink) {
  if (renderer_ == nullptr) return std::nullopt;
  if (popupMenu_ == nullptr) popupMenu_ = std::make_unique<ImGuiPopupMenu>(window_, renderer_);
  popupMenu_->Open(menu, x, y);
  std::vector<SDL_Event> deferred;
  while (popupMenu_->IsOpen()) RunPopupMenuFrame(sink, deferred);
  for (SDL_Event& event : deferred) SDL_PushEvent(&event);
  sink.OnPaint();  // the screen again without the menu
  return popupMenu_->Chosen();
}

// One frame of an open menu: input goes to the menu, and the game paints its screen, which
// draws the menu over it on the way to the window. Window events wait for the game; a request
// to quit or close also ends the menu.
void SdlPlatform::RunPopupMenuFrame(PlatformEvents& sink, std::vector<SDL_Event>& deferred) {
  SDL_Event event;
  while (SDL_PollEvent(&event) != 0) {
    if (event.type == SDL_QUIT || event.type == SDL_WINDOWEVENT ||
        event.type == SDL_RENDER_TARGETS_RESET || event.type == SDL_RENDER_DEVICE_RESET) {
      deferred.push_back(event);
      const bool closing = event.type == SDL_QUIT || (event.type == SDL_WINDOWEVENT &&
                                                      event.window.event == SDL_WINDOWEVENT_CLOSE);
      if (closing) popupMenu_->Dismiss();
    } else {
      popupMenu_->ProcessEvent(event);
    }
  }
  if (!popupMenu_->IsOpen()) return;
  popupMenu_->BuildFrame();
  if (!popupMenu_->IsOpen()) return;
  popupMenuDrawn_ = false;
  sink.OnPaint();
  if (!popupMenuDrawn_) {
    // Nothing was painted (no game screen yet): the menu goes over the last frame shown.
    SDL_RenderClear(renderer_);
    SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
    DrawPopupMenu();
    SDL_RenderPresent(renderer_);
  }
  SDL_Delay(kPopupMenuFrame);
}

void SdlPlatform::DrawPopupMenu() {
  if (popupMenu_ == nullptr) return;
  popupMenu_->DrawOverlay();
  popupMenuDrawn_ = true;
}

AcceleratedRenderer* SdlPlatform::Accelerated() {
  if (renderer_ == nullptr) return nullptr;
  if (!acceleratedChecked_) {
    acceleratedChecked_ = true;
    if (SdlAcceleratedRenderer::IsUsable(renderer_)) {
      accelerated_ =
          std::make_unique<SdlAcceleratedRenderer>(renderer_, clientWidth_, clientHeight_);
      accelerated_->SetBeforePresent([this]() { DrawPopupMenu(); });
    }
  }
  return accelerated_.get();
}

}  // namespace halcyra
