#pragma once
// Requests to end the program from outside (SIGTERM when the desktop session ends, SIGINT from a
// terminal, SIGHUP) turned into a readable descriptor, so that the program's event loop can close
// its screens and end in order instead of dying with unsaved settings.

namespace ledgerix::platform {

class TerminationSignals {
 public:
  TerminationSignals() = default;
  // Puts the default handlers back and closes the descriptor.
  ~TerminationSignals();
  TerminationSignals(const TerminationSignals&) = delete;
  TerminationSignals& operator=(const TerminationSignals&) = delete;

  // Catches the three signals from now on. Answers false when the pipe or a handler cannot be
  // set up (the signals then keep their default action), or when another object already
  // catches them.
  [[nodiscard]] bool Install();

  // Becomes readable when a request arrives; -1 when not installed.
  int ReadDescriptor() const;

  // Takes the pending requests off the descriptor; answers whether there were any.
  bool TakeRequests();

 private:
  bool installed_ = false;
};

}  // namespace ledgerix::platform
