#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "graphics/CDIB.h"
#include "platform/HeadlessPlatform.h"
#include "script/CScript.h"
#include "script/Engine.h"
#include "script/ScriptHost.h"

namespace {

using namespace halcyra;

class QuietHost : public ScriptHost {
 public:
  void ProcessMessages() override {}
  bool IsClosing() const override { return false; }
  bool IsRunningActive() const override { return true; }
  int MouseX() const override { return 0; }
  int MouseY() const override { return 0; }
  bool TitleRequested() const override { return false; }
  bool IsCtrlDown() const override { return false; }
  void SetTextSize(int) override {}
};

// 4000 statements per pass: assignments with flags and variables, and conditions whose blocks
// are entered or skipped.
std::string LongScript() {
  std::string script = "N\r\n";
  for (int i = 0; i < 500; ++i) {
    script += "A+=1\r\nF10=A%200\r\nB=A*3-F10\r\n[F10>100&A!7]{\r\nC+=1\r\n}\r\n"
              "[B<0]{\r\nD=1\r\n}\r\n";
  }
  return script;
}

constexpr int kStatementsPerPass = 500 * 8;

void BM_SimpleStatements(benchmark::State& state) {
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "halcyra-bench.scr";
  std::ofstream(file, std::ios::binary) << LongScript();
  HeadlessPlatform platform;
  QuietHost host;
  Engine engine;
  CScript script(platform, host, engine);
  for (auto _ : state) {
    state.PauseTiming();
    script.LoadScript(file.string(), true);
    state.ResumeTiming();
    for (int i = 0; i < kStatementsPerPass; ++i) script.Tick();
  }
  state.SetItemsProcessed(state.iterations() * kStatementsPerPass);
  std::filesystem::remove(file);
}
BENCHMARK(BM_SimpleStatements);

}  // namespace
