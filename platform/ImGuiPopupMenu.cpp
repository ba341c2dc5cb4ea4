#include "platform/ImGuiPopupMenu.h"

#include <SDL.h>
#include <backends/imgui_impl_sdl.h>
#include <backends/imgui_impl_sdlrenderer.h>
#include <imgui.h>

#include "platform/FreeTypeFontRasterizer.h"
#include "platform/ShiftJis.h"

namespace halcyra {
namespace {

constexpr char kPopupName[] = "popup";
constexpr float kFontPixels = 18.0f;
constexpr char kGameFaceName[] = "\x82\x6c\x82\x72\x20\x83\x53\x83\x56\x83\x62\x83\x4e";  // ＭＳ ゴシック

// Windows menu captions mark the access key with "&" and write a plain "&" as "&&".
std::string WithoutAccessMarks(const std::string& caption) {
  std::string plain;
  for (std::size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == '&' && i + 1 < caption.size()) ++i;
    plain += caption[i];
  }
  return plain;
}

}  // namespace

ImGuiPopupMenu::ImGuiPopupMenu(SDL_Window* window, SDL_Renderer* renderer)
    : renderer_(renderer), context_(ImGui::CreateContext()) {
  ImGui::SetCurrentContext(context_);
  ImGuiIO& io = ImGui::GetIO();
  io.IniFilename = nullptr;  // no layout file beside the game
  io.LogFilename = nullptr;
  // The game's own cursor stays while a menu is open.
  io.ConfigFlags |= ImGuiConfigFlags_NoMouseCursorChange;
  LoadJapaneseFont();
  ImGui_ImplSDL2_InitForSDLRenderer(window);
  ImGui_ImplSDLRenderer_Init(renderer_);
}

ImGuiPopupMenu::~ImGuiPopupMenu() {
  ImGui::SetCurrentContext(context_);
  ImGui_ImplSDLRenderer_Shutdown();
  ImGui_ImplSDL2_Shutdown();
  ImGui::DestroyContext(context_);
}

// The face the game's own font name resolves to; ImGui's built-in face (no Japanese) when
// there is none.
void ImGuiPopupMenu::LoadJapaneseFont() {
  FreeTypeFontRasterizer rasterizer;
  const int font = rasterizer.OpenFont(FontRequest{kGameFaceName, 16, false, false});
  const std::string file = font < 0 ? std::string() : rasterizer.FaceFileOf(font);
  if (font >= 0) rasterizer.CloseFont(font);
  ImGuiIO& io = ImGui::GetIO();
  if (file.empty() || io.Fonts->AddFontFromFileTTF(file.c_str(), kFontPixels, nullptr,
                                                   io.Fonts->GetGlyphRangesJapanese()) == nullptr) {
    io.Fonts->AddFontDefault();
  }
}

std::string ImGuiPopupMenu::LabelOf(const PopupMenuItem& item) {
  return WithoutAccessMarks(ShiftJisToUtf8(item.caption)) + "##" + item.name;
}

std::vector<ImGuiPopupMenu::Entry> ImGuiPopupMenu::EntriesOf(
    const std::vector<PopupMenuItem>& items) {
  std::vector<Entry> entries;
  for (const PopupMenuItem& item : items) {
    if (!item.visible) continue;
    entries.push_back({item.id, LabelOf(item), item.enabled, item.checked, EntriesOf(item.children)});
  }
  return entries;
}

void ImGuiPopupMenu::Open(const PopupMenuModel& menu, int x, int y) {
  entries_ = EntriesOf(menu.items);
  x_ = static_cast<float>(x);
  y_ = static_cast<float>(y);
  chosen_.reset();
  open_ = true;
  justOpened_ = true;
  frameBuilt_ = false;
}

void ImGuiPopupMenu::ProcessEvent(const SDL_Event& event) {
  ImGui::SetCurrentContext(context_);
  if (event.type == SDL_KEYDOWN && event.key.keysym.sym == SDLK_ESCAPE) {
    Dismiss();
    return;
  }
  ImGui_ImplSDL2_ProcessEvent(&event);
}

void ImGuiPopupMenu::DrawEntries(const std::vector<Entry>& entries) {
  for (const Entry& entry : entries) {
    if (entry.children.empty()) {
      if (ImGui::MenuItem(entry.label.c_str(), nullptr, entry.checked, entry.enabled)) {
        chosen_ = entry.id;
        open_ = false;
      }
    } else if (ImGui::BeginMenu(entry.label.c_str(), entry.enabled)) {
      DrawEntries(entry.children);
      ImGui::EndMenu();
    }
  }
}

void ImGuiPopupMenu::BuildFrame() {
  ImGui::SetCurrentContext(context_);
  ImGui_ImplSDLRenderer_NewFrame();
  ImGui_ImplSDL2_NewFrame();
  ImGui::NewFrame();
  if (justOpened_) {
    ImGui::OpenPopup(kPopupName);
    justOpened_ = false;
  }
  ImGui::SetNextWindowPos(ImVec2(x_, y_), ImGuiCond_Appearing);
  if (ImGui::BeginPopup(kPopupName)) {
    DrawEntries(entries_);
    ImGui::EndPopup();
  } else {
    open_ = false;  // closed by a click elsewhere
  }
  ImGui::Render();
  frameBuilt_ = open_;
}

void ImGuiPopupMenu::DrawOverlay() {
  if (!frameBuilt_) return;
  ImGui::SetCurrentContext(context_);
  ImGui_ImplSDLRenderer_RenderDrawData(ImGui::GetDrawData());
  frameBuilt_ = false;
}

}  // namespace halcyra
