#pragma once
// The elapsed-time clock and Sleep, behind an interface so that tests can run
// the two-second reply wait without waiting.

#include <functional>

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds elapsed since an arbitrary fixed moment; never goes backwards.
  virtual double Seconds() = 0;
  virtual void Sleep(int milliseconds) = 0;
  // Lets `wait` block for at most `milliseconds` of this clock's time; `wait`
  // blocks for at most the real milliseconds it is handed and says whether
  // what it waits for has come. The real clock hands the time straight on;
  // a test clock decides how its own time passes meanwhile.
  virtual bool WaitFor(const std::function<bool(int)>& wait, int milliseconds) {
    return wait(milliseconds);
  }
};

// The real clock (monotonic) and sleep.
Clock& SystemClock();

}  // namespace platform
