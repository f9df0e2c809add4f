#pragma once
// What the options sheet and its pages work with: the one settings record, the store it
// is saved to, the system service and the user messages. The program wires them once.

namespace quorvel {

class Settings;
class Registry;
class SystemService;
class UserMessages;

struct OptionsContext {
  Settings& settings;
  Registry& registry;
  SystemService& system;
  UserMessages& messages;
};

}  // namespace quorvel
