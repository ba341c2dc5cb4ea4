// Where the graphics code reports faults in pictures and devices. The main window shows them in
// its "System Error" box; tests record them.
#pragma once

#include <string_view>

namespace halcyra {

class ErrorReporter {
 public:
  virtual ~ErrorReporter() = default;
  // A fault in a data file or device: shown as "%s (%d)\n%s %s" of source (a source name), the
  // fixed number, the message and the detail, captioned "System Error". Texts are Shift-JIS.
  virtual void SystemError(std::string_view source, int number, std::string_view message,
                           std::string_view detail) = 0;
  // A box of its own caption and text (Shift-JIS), used when a texture cannot be made.
  virtual void ErrorBox(std::string_view caption, std::string_view text) = 0;
};

}  // namespace halcyra
