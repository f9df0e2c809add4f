#pragma once
// The commands that the rows of the full-screen window's choice list carry. The list holds
// plain pointers to them and never owns them; the window creates them and deletes them.

namespace quorvel {

class CCommand {
 public:
  virtual ~CCommand() = default;
  // Carries the command out. A command may end the window and so delete every command,
  // itself included, before it returns: nothing may use the command after Run().
  virtual void Run() = 0;
  // Whether the command may run now.
  virtual bool CanRun() const = 0;

 protected:
  CCommand() = default;
  CCommand(const CCommand&) = default;
  CCommand& operator=(const CCommand&) = default;
};

// A command that calls one operation of its owner; it can always run.
template <typename Owner>
class CDlgCommand final : public CCommand {
 public:
  using Operation = void (Owner::*)();
  CDlgCommand(Owner& owner, Operation operation) : owner_(&owner), operation_(operation) {}

  // The operation may delete this command, so nothing of it is touched afterwards.
  void Run() override { (owner_->*operation_)(); }
  bool CanRun() const override { return true; }

 private:
  Owner* owner_;
  Operation operation_;
};

}  // namespace quorvel
