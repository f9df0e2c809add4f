#pragma once
// The system service: the few things outside the program that it switches so that a
// living-room PC behaves like a movie player.

#include <cstdint>

namespace quorvel {

class SystemService {
 public:
  virtual ~SystemService() = default;

  // True on a system that has the program's shell entry and CD-ROM autorun switch
  // (the Windows NT family). Decides whether "system shell" is offered as a start mode.
  virtual bool IsWindowsNT() const = 0;

  // How the program can be started as the whole session: the start mode "system shell".
  enum class ShellEntry {
    None,          // not at all; the start mode is not offered
    Written,       // through the system's shell entry, which SetSystemShell writes
    LoginSession,  // through a session entry that is installed with the program and that
                   // the user picks when logging in; the program writes nothing
  };
  virtual ShellEntry SystemShellEntry() const = 0;

  // Enters the running program, with the command line it was started with, as the
  // shell that the system starts at log-on (install true), or puts the standard shell
  // back (install false). Returns true when the entry was written; false, with nothing
  // changed, when the system has no such entry or the caller lacks the rights.
  virtual bool SetSystemShell(bool install) = 0;

  // Switches the CD-ROM autorun feature on (value non-zero) or off (0). Returns true
  // when the switch was written; false, with nothing changed, otherwise.
  virtual bool SetCdromAutorun(std::uint32_t value) = 0;

  // Asks the system to end the session and power the machine off, without asking the
  // user and without forcing programs that refuse to end. Returns once the request is
  // delivered, refused or timed out; a refusal is silently ignored.
  virtual void PowerOff() = 0;
};

}  // namespace quorvel
