// What every surface and sprite needs from the rest of the engine: the error reporting, the
// picture archive, the accelerated renderer when frames are drawn by it, the text renderer and
// the clock. All pointers are borrowed and must outlive the surfaces and sprites that use them;
// each may be null.
#pragma once

#include <cstdint>
#include <string_view>

#include "graphics/ErrorReporter.h"
#include "platform/Platform.h"

namespace halcyra {

class AcceleratedRenderer;
class CArcFile;
class TextRenderer;

struct GraphicsContext {
  ErrorReporter* errors = nullptr;             // null: faults are not shown
  CArcFile* pictures = nullptr;                // null: pictures are read from loose files only
  AcceleratedRenderer* accelerated = nullptr;  // null: software compositor
  TextRenderer* text = nullptr;                // null: labels stay transparent
  const Platform* clock = nullptr;             // null: load times read 0

  // `UseDirect3D`: the accelerated SDL renderer draws the frames.
  bool UseDirect3D() const { return accelerated != nullptr; }

  void SystemError(std::string_view source, int number, std::string_view message,
                   std::string_view detail) const {
    if (errors != nullptr) errors->SystemError(source, number, message, detail);
  }
  void ErrorBox(std::string_view caption, std::string_view text) const {
    if (errors != nullptr) errors->ErrorBox(caption, text);
  }
  std::uint32_t Ticks() const { return clock != nullptr ? clock->Ticks() : 0u; }
};

}  // namespace halcyra
