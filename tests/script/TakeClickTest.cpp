#include <gtest/gtest.h>

#include "app/InputState.h"
#include "tests/support/ScriptFixture.h"

namespace halcyra {
namespace {

using TakeClickTest = testing::ScriptFixture;

TEST_F(TakeClickTest, ALatchedClickIsTakenOnlyOnce) {
  struct Case {
    std::uint32_t latched;
    bool clickCancel;
    bool taken;     // the click was there: C = 1, modes off, latches cleared
    bool result;
  };
  const Case cases[] = {
      {kInputAdvance | kInputWheelUp, true, true, true},
      {kInputAdvance, false, true, false},
      {kInputCancel | kInputWheelDown, true, false, false},
      {0, true, false, false},
  };
  for (const Case& c : cases) {
    engine_.input = InputState();
    engine_.input.SetInput(kInputSkip, false);  // held only: a held key is no click
    engine_.input.SetInput(c.latched, true);
    engine_.settings.effect.clickCancel = c.clickCancel;
    engine_.state->variables['C' - 'A'] = 7;
    engine_.autoMode = true;
    engine_.skipMode = true;
    EXPECT_EQ(script_.TakeClick(), c.result) << c.latched;
    EXPECT_EQ(Variable('C'), c.taken ? 1 : 7) << c.latched;
    EXPECT_EQ(engine_.autoMode, !c.taken) << c.latched;
    EXPECT_EQ(engine_.skipMode, !c.taken) << c.latched;
    EXPECT_EQ(engine_.input.Latched(), c.taken ? 0u : c.latched) << c.latched;
    EXPECT_TRUE(engine_.input.IsHeld(kInputSkip));
    // Taken once: the second call finds no click.
    EXPECT_FALSE(script_.TakeClick());
  }
}

TEST_F(TakeClickTest, SwitchingAModeOnTakesTheKeyWaitIconDown) {
  OpenScene();
  CDIBSprite& icon = engine_.sprites->At(79);
  using Switch = void (CScript::*)(bool);
  for (const Switch change : {&CScript::SetAutoMode, &CScript::SetSkipMode}) {
    ASSERT_TRUE(icon.CreateBox(8, 8, 1, true, false));
    (script_.*change)(false);
    EXPECT_EQ(icon.GetWidth(), 8);
    (script_.*change)(true);
    EXPECT_EQ(icon.GetWidth(), 0);
  }
  EXPECT_TRUE(engine_.autoMode);
  EXPECT_TRUE(engine_.skipMode);
}

}  // namespace
}  // namespace halcyra
