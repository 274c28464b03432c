#pragma once
// A clock the test drives, for the two-second reply wait. Its time never
// moves while the program only reads it (unless readings are scripted or a
// step per reading is given); it moves when the program sleeps, and when a
// wait on the port finds nothing. How such a wait runs is the test's choice:
// - hurrying (a converter that stays silent): the port is asked once without
//   blocking; when it has nothing, the whole waited time passes at once, so a
//   time-out costs no real time;
// - patient (a converter that answers): the wait blocks for real until the
//   port has something, so the outcome never depends on how soon the
//   emulator's thread runs. Only when nothing has come after kPatienceMs of
//   real time does the waited time pass: a broken converter gives a failed
//   test, not a hung one.

#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "platform/clock.h"

namespace testing_support {

class TestClock : public platform::Clock {
 public:
  static constexpr int kPatienceMs = 10000;

  explicit TestClock(bool hurrying = false, std::deque<double> readings = {}, double step = 0)
      : hurrying_(hurrying), readings_(std::move(readings)), step_(step) {}

  void SetHurrying(bool hurrying) { hurrying_ = hurrying; }
  double Now() const { return now_; }

  double Seconds() override {
    ++reads;
    if (!readings_.empty()) {
      now_ = readings_.front();
      readings_.pop_front();
    } else {
      now_ += step_;
    }
    return now_;
  }
  void Sleep(int milliseconds) override {
    sleeps.push_back(milliseconds);
    now_ += milliseconds / 1000.0;
    if (on_sleep) on_sleep();
  }
  bool WaitFor(const std::function<bool(int)>& wait, int milliseconds) override {
    waited_ms.push_back(milliseconds);
    if (on_wait) on_wait();
    if (wait(hurrying_ ? 0 : kPatienceMs)) return true;
    now_ += milliseconds / 1000.0;
    return false;
  }

  int reads = 0;
  std::vector<int> sleeps;
  std::vector<int> waited_ms;  // what each wait on the port was given
  std::function<void()> on_sleep;
  std::function<void()> on_wait;  // at the start of each wait on the port

 private:
  bool hurrying_;
  std::deque<double> readings_;
  double step_;
  double now_ = 0;
};

}  // namespace testing_support
