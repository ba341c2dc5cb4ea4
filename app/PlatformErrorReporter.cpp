#include "app/PlatformErrorReporter.h"

#include <string>

#include "platform/Platform.h"
#include "resource/CArcFile.h"

namespace halcyra {
namespace {

constexpr std::size_t kMaxDetail = 255;

}  // namespace

void PlatformErrorReporter::SystemError(std::string_view source, int number,
                                        std::string_view message, std::string_view detail) {
  MessageBoxRequest box;
  box.caption = "System Error";
  box.text = std::string(CArcFile::MemberName(source)) + " (" + std::to_string(number) + ")\n" +
             std::string(message) + " " + std::string(detail.substr(0, kMaxDetail));
  box.icon = MessageBoxIcon::kError;
  box.ownedByWindow = false;
  platform_.ShowMessageBox(box);
}

void PlatformErrorReporter::ErrorBox(std::string_view caption, std::string_view text) {
  MessageBoxRequest box;
  box.caption = std::string(caption);
  box.text = std::string(text);
  box.icon = MessageBoxIcon::kError;
  box.ownedByWindow = false;
  platform_.ShowMessageBox(box);
}

void PlatformErrorReporter::Report(const MessageBoxRequest& box) { platform_.ShowMessageBox(box); }

}  // namespace halcyra
