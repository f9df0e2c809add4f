// The real quorvel program on a real X server (Xvfb), driven with key presses through
// xdotool: in start mode 0 the options sheet opens, and Enter or Escape close it with or
// without a save.

#include <gtest/gtest.h>

#include <optional>

#include "program_under_test.h"

namespace quorvel {
namespace {

class ProgramE2eTest : public testing::ProgramUnderTest {
 protected:
  // Starts the program, waits for the sheet, gives it the focus and types `keys`;
  // returns the program's exit status.
  std::optional<int> RunWithKeys(const std::vector<std::string>& keys) {
    testing::ChildProcess program = Start({});
    if (FocusWindow("Quorvel Options").empty()) return std::nullopt;
    Keys(keys);
    return program.WaitExit(kExitLimit);
  }
};

TEST_F(ProgramE2eTest, EscapeSavesNothingAndEnterSavesTheChosenStartMode) {
  EXPECT_EQ(RunWithKeys({"Escape"}), 0);
  EXPECT_EQ(Slurp(Store()).find("\"FullScreen\""), std::string::npos);

  // The "Start as" list has the focus when the sheet opens: Down chooses the next mode.
  EXPECT_EQ(RunWithKeys({"Down", "Return"}), 0);
  EXPECT_NE(Slurp(Store()).find("\"FullScreen\"=dword:00000001"), std::string::npos)
      << Slurp(Store());
}

}  // namespace
}  // namespace quorvel
