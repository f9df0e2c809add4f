// Saves the settings in an endless loop, each time as the next generation of
// save_generation.h, into the user's store named by XDG_CONFIG_HOME. The crash test
// kills it at random moments.
#include <cstdio>

#include "platform/linux/file_registry.h"
#include "save_generation.h"

namespace {

class StderrMessages final : public quorvel::UserMessages {
 public:
  quorvel::MessageAnswer Show(std::string_view text, std::string_view, quorvel::MessageButtons,
                              quorvel::MessageIcon) override {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
    return quorvel::MessageAnswer::Ok;
  }
};

}  // namespace

int main() {
  StderrMessages messages;
  while (true) {
    const auto registry = quorvel::OpenUserRegistry(messages);
    quorvel::Settings loaded;
    loaded.Load(*registry);
    // The generation goes on from what is stored, so the test sees it only grow.
    if (!quorvel::testing::Generation(loaded.MinFileSize + 1).Save(*registry)) return 1;
  }
}
