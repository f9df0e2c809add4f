// A program that starts as the program does: it claims to be the one running copy of its
// executable's name (the single-instance rule of start-up) and, when it is, holds the
// claim for the milliseconds its argument names. Exit status 0 when it ran, 3 when
// another copy held the claim.
#include <windows.h>

#include <cstdlib>
#include <memory>

#include "platform/services.h"
#include "playback/launchers.h"

namespace {

class Silent final : public quorvel::UserMessages {
 public:
  quorvel::MessageAnswer Show(std::string_view, std::string_view, quorvel::MessageButtons,
                              quorvel::MessageIcon) override {
    return quorvel::MessageAnswer::Ok;
  }
};

}  // namespace

int main(int argc, char** argv) {
  Silent messages;
  const auto platform = quorvel::CreatePlatformServices(messages);
  const auto claim = quorvel::ClaimSingleInstance(platform->services.processes);
  if (!claim) return 3;
  ::Sleep(argc > 1 ? static_cast<DWORD>(std::atoi(argv[1])) : 0);
  return 0;
}
