// Ctrl-C for command-line tools that should end at a point of their own
// choosing (after an exchange with a reader) rather than at once.
#pragma once

namespace hidhost {

// While an InterruptCatch lives, Ctrl-C (SIGINT; on a Windows console also
// Ctrl-Break) does not end the process: it is noted, for the tool to ask
// Requested(). A second Ctrl-C before the tool has ended ends the process
// as usual. One at a time per process; the destructor puts the usual
// handling back.
class InterruptCatch {
 public:
  InterruptCatch();
  ~InterruptCatch();
  InterruptCatch(const InterruptCatch&) = delete;
  InterruptCatch& operator=(const InterruptCatch&) = delete;

  bool Requested() const;
};

// Notes an interrupt as Ctrl-C does, for tests.
void RaiseInterrupt();

}  // namespace hidhost
