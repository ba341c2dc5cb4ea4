// INI files: loaded, read, changed and saved. A saved file must load back to the same lines, so
// saving it again gives the same bytes, and a value written must read back as written.
#include <cstddef>
#include <cstdint>
#include <string>

#include "app/IniFile.h"
#include "fuzz/FuzzSupport.h"
#include "platform/FileSystem.h"

namespace {

using halcyra::fuzz::Require;

std::string Saved(const halcyra::IniFile& ini, const std::string& path) {
  Require(ini.Save(path), "an INI file can be saved");
  std::string bytes;
  Require(halcyra::ReadWholeFile(path, bytes), "a saved INI file can be read back");
  return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  halcyra::fuzz::EnterFuzzFolder();
  halcyra::fuzz::WriteFuzzFile("fuzz.ini", data, size);
  halcyra::IniFile ini;
  Require(ini.Load("fuzz.ini"), "an existing file loads");
  ini.ReadInteger("Screen", "Mode", 0);
  ini.ReadBool("Sound", "Voice", true);
  const std::string title = ini.ReadString("Game", "Title", "");
  ini.WriteString("Game", "Title", title + "!");
  if (title.find_first_of("\r\n") == std::string::npos) {
    Require(ini.ReadString("Game", "Title", "") == title + "!", "a written value reads back");
  }
  ini.WriteInteger("Screen", "Mode", -7);
  Require(ini.ReadInteger("Screen", "Mode", 0) == -7, "a written integer reads back");

  const std::string first = Saved(ini, "once.ini");
  halcyra::IniFile again;
  Require(again.Load("once.ini"), "a saved file loads");
  Require(Saved(again, "twice.ini") == first, "a saved file loads back unchanged");
  return 0;
}
