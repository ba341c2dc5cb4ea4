#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/support/RunTool.h"
#include "tests/support/TempFolder.h"

namespace halcyra {
namespace {

// The built demo plays headless without a single error box, with its theme recorded as the
// music and the seconds counted in A.
TEST(DemoGameTest, PlaysWithoutErrorsAndKeepsItsMusic) {
  testing::TempFolder folder;
  const std::string game =
      (std::filesystem::path(HALCYRA_GAME_PATH).parent_path() / "game").string();
  ASSERT_EQ(testing::RunTool(folder, {"run", game, "--frames", "300", "--dump-state",
                                      folder.File("state.dat")}),
            0)
      << folder.Read("stderr.txt");
  EXPECT_EQ(folder.Read("stderr.txt"), "");
  const std::string state = folder.Read("state.dat");
  ASSERT_EQ(state.size(), 1043508u);
  EXPECT_EQ(state.substr(3016, 6), std::string("theme\0", 6));
  EXPECT_GE(static_cast<unsigned char>(state[72]), 4);  // A: seconds of play, at least four
}

}  // namespace
}  // namespace halcyra
