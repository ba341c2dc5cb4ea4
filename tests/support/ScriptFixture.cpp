#include "tests/support/ScriptFixture.h"

#include "platform/FreeTypeFontRasterizer.h"

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
  if (onPoll) onPoll();
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

void ScriptFixture::OpenScene() {
  CDIB& display = *engine_.display;
  engine_.sprites = std::make_unique<SpriteTable>(display.Context(), platform_.Ticks());
  display.SetSprites(engine_.sprites.get());
  display.SetGameState(engine_.state.get());
  display.SetPictureArchive(&engine_.pictures);
}

void ScriptFixture::OpenText() {
  engine_.fontRasterizer = std::make_unique<FreeTypeFontRasterizer>();
  const Settings& settings = engine_.settings;
  engine_.text = std::make_unique<GlyphTextRenderer>(
      *engine_.fontRasterizer,
      TextSettingsView{settings.message.readedLumi, settings.message.readedLumi2,
                       settings.heroName, settings.familyName, engine_.debugMode},
      nullptr);
  engine_.display->SetTextRenderer(engine_.text.get());
  auto font = [&](int height) {
    FontRequest request;
    request.faceName = settings.font.name;
    request.height = height;
    return engine_.text->CreateFont(request);
  };
  engine_.fonts = {font(24), font(24), font(24), font(12)};
  engine_.text->SetLabelFont(engine_.fonts[0]);
  engine_.text->SetRubyFont(engine_.fonts[3]);
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
