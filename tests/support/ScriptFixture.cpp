#include "tests/support/ScriptFixture.h"

namespace halcyra::testing {
namespace {

class IgnoredEvents : public PlatformEvents {
 public:
  void OnKey(int, bool, bool, bool) override {}
  void OnMouseButton(MouseButton, bool, int, int) override {}
  void OnMouseMove(int, int) override {}
  void OnWheel(bool) override {}
  void OnActivate(bool) override {}
  void OnCloseRequest() override {}
  void OnPaint() override {}
};

}  // namespace

void TestHost::ProcessMessages() {
  IgnoredEvents events;
  platform_.PumpEvents(events);
}

ScriptFixture::ScriptFixture() {
  std::filesystem::current_path(folder_.Path());
  engine_.random.seed(1234);
  engine_.display = std::make_unique<CDIB>();
  engine_.display->Init(platform_, painter_, true);
}

ScriptFixture::~ScriptFixture() {
  engine_.upkeep.reset();
  engine_.channels.reset();
  engine_.sound.reset();
  std::filesystem::current_path(startFolder_);
}

void ScriptFixture::OpenSound() {
  engine_.sound = std::make_unique<CDS>(platform_.Audio(), soundErrors_);
  ASSERT_TRUE(engine_.sound->OpenDevice(CDS::kChannels, CDS::kSampleRate, CDS::kBits));
  ASSERT_TRUE(engine_.vorbis.LoadDriver());
  engine_.channels = std::make_unique<SoundChannels>(*engine_.sound, &engine_.sounds,
                                                     engine_.vorbis, engine_.settings);
  engine_.upkeep = std::make_unique<SoundUpkeep>(engine_.settings, *engine_.channels);
}

void ScriptFixture::WriteScript(const std::string& name, const std::string& body) {
  folder_.Write("scr/" + name + ".scr", "N" + body);
}

bool ScriptFixture::Load(const std::string& body, const std::string& name) {
  WriteScript(name, body);
  engine_.state->SetScriptName(name);
  return script_.LoadScript(ScriptPath(name), true);
}

bool ScriptFixture::RunToEnd(int maxSteps) {
  auto onlyBlanksRemain = [&] {
    const std::string_view text = script_.Reader().Text();
    const auto position = static_cast<std::size_t>(script_.Reader().Position());
    return position >= text.size() ||
           text.find_first_not_of(" \t\r\n", position) == std::string_view::npos;
  };
  for (int step = 0; step < maxSteps && !onlyBlanksRemain(); ++step) {
    if (!script_.Tick()) return false;
  }
  return true;
}

std::vector<std::string> ScriptFixture::Boxes() const {
  std::vector<std::string> texts;
  for (const MessageBoxRecord& box : platform_.MessageBoxes()) texts.push_back(box.request.text);
  return texts;
}

bool ScriptFixture::Reported(const std::string& text) const {
  for (const std::string& box : Boxes()) {
    if (box.find(text) != std::string::npos) return true;
  }
  return false;
}

}  // namespace halcyra::testing
