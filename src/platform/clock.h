#pragma once
// The elapsed-time clock and Sleep, behind an interface so that tests can run
// the two-second reply wait without waiting.

namespace platform {

class Clock {
 public:
  virtual ~Clock() = default;
  // Seconds elapsed since an arbitrary fixed moment; never goes backwards.
  virtual double Seconds() = 0;
  virtual void Sleep(int milliseconds) = 0;
};

// The real clock (monotonic) and sleep.
Clock& SystemClock();

}  // namespace platform
