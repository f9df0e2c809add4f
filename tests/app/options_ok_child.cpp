// Stands in for the program's options sheet in a process of its own: loads the user's
// settings as the program does at start-up, says "loaded" on standard output, waits for a
// line on standard input (the user at the sheet), then applies the changes NAME=VALUE
// given as arguments (what the user changed on the pages) and saves the whole record, as
// OK does. Exit status 0 when the store was written.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/settings.h"
#include "platform/services.h"

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

int main(int argc, char** argv) {
  StderrMessages messages;
  const auto platform = quorvel::CreatePlatformServices(messages);
  quorvel::Registry& registry = platform->services.registry;
  quorvel::Settings settings;
  settings.Load(registry, messages);
  std::printf("loaded\n");
  std::fflush(stdout);
  char line[64];
  if (std::fgets(line, sizeof line, stdin) == nullptr) return 2;
  for (int i = 1; i < argc; ++i) {
    const std::string change = argv[i];
    const std::size_t equals = change.find('=');
    const quorvel::StoredSetting* setting =
        quorvel::FindStoredSetting(change.substr(0, equals == std::string::npos ? 0 : equals));
    if (setting == nullptr) return 2;
    const std::string value = change.substr(equals + 1);
    if (setting->IsText()) {
      settings.*setting->text = value;
    } else {
      setting->SetNumberBits(settings, static_cast<std::uint32_t>(std::stoll(value)));
    }
  }
  return settings.Save(registry) && registry.Flush() ? 0 : 1;
}
