#include "rules/screen/command.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace quorvel {
namespace {

// Owns its commands the way the window does; Off deletes all of them while one runs.
class Window {
 public:
  Window() {
    commands.push_back(std::make_unique<CDlgCommand<Window>>(*this, &Window::OnPlay));
    commands.push_back(std::make_unique<CDlgCommand<Window>>(*this, &Window::OnOff));
  }
  void OnPlay() { calls.push_back("play"); }
  void OnOff() {
    calls.push_back("off");
    commands.clear();
  }

  std::vector<std::unique_ptr<CCommand>> commands;
  std::vector<std::string> calls;
};

TEST(CommandTest, ABoundCommandCallsItsOperationAndMayBeDeletedByIt) {
  Window window;
  CCommand* play = window.commands[0].get();
  CCommand* off = window.commands[1].get();
  EXPECT_TRUE(play->CanRun());
  play->Run();
  play->Run();
  // Under AddressSanitizer this also shows that Run touches nothing after the call.
  off->Run();
  EXPECT_TRUE(window.commands.empty());
  EXPECT_EQ(window.calls, (std::vector<std::string>{"play", "play", "off"}));
}

}  // namespace
}  // namespace quorvel
