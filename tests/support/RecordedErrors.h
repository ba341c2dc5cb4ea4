// A script error sink that keeps every report as "message|detail".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "script/ScriptReader.h"

namespace halcyra::testing {

class RecordedErrors : public ScriptErrorSink {
 public:
  void ScriptError(std::string_view message, std::string_view detail) override {
    messages.push_back(std::string(message) + "|" + std::string(detail));
  }
  std::vector<std::string> messages;
};

}  // namespace halcyra::testing
