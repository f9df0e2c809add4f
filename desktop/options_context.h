#pragma once
// What the options sheet and its pages work with: the one settings record, the store it
// is saved to, the system service, the user messages and the processes service (which
// starts a player to try it). The program wires them once.

namespace quorvel {

class Settings;
class Registry;
class SystemService;
class UserMessages;
class Processes;

struct OptionsContext {
  Settings& settings;
  Registry& registry;
  SystemService& system;
  UserMessages& messages;
  // Null: the Players page starts nothing.
  Processes* processes = nullptr;
};

}  // namespace quorvel
