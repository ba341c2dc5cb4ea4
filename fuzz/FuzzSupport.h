// What every fuzz target shares: a private folder to lay fuzzed bytes out as game files, and
// reporters that drop what the parsers report (a report is a handled fault, not a finding).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "graphics/ErrorReporter.h"
#include "media/SoundErrorReporter.h"
#include "script/ScriptReader.h"

namespace halcyra::fuzz {

// Makes a fresh folder under the temporary folder and enters it, once per process, so that game
// paths ("scr\\fuzz.scr") name files of this run only. Aborts when the folder cannot be made:
// a target that cannot lay out its input would fuzz nothing.
void EnterFuzzFolder();

// Writes size bytes of data as the file at a relative host path, creating its folder; aborts
// when it cannot, for the same reason.
void WriteFuzzFile(std::string_view relativePath, const std::uint8_t* data, std::size_t size);

// A promise of the parser's interface that the fuzzed input broke: printed, then the run stops
// as at a crash, so that libFuzzer keeps the input.
void Require(bool holds, const char* promise);

class DroppedErrors : public ErrorReporter, public SoundErrorReporter, public ScriptErrorSink {
 public:
  void SystemError(std::string_view, int, std::string_view, std::string_view) override {}
  void ErrorBox(std::string_view, std::string_view) override {}
  void Report(const MessageBoxRequest&) override {}
  void ScriptError(std::string_view, std::string_view) override {}
};

}  // namespace halcyra::fuzz
