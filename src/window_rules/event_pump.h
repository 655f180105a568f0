#pragma once
// Letting pending window events run in the middle of a long handler.

namespace ostrevane {

// Thrown by the event pump when the program has been closed while events ran:
// not a failure, so no step trap catches it, and the handler in progress
// stops where it is.
struct ProgramEnded {};

class EventPump {
 public:
  virtual ~EventPump() = default;
  // Runs every pending window event once, then returns. Throws ProgramEnded
  // when one of them closed the program.
  virtual void DoEvents() = 0;
};

}  // namespace ostrevane
