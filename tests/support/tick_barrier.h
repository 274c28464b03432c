#pragma once
// To see that a timer did not tick, on an event rather than after a guessed
// time: a single-shot timer of the same interval, started after the one
// watched. Timers fire in the order they fall due, so once the barrier has
// ticked, every timer of that interval started before it has had its tick.

#include <QTest>
#include <QTimer>

namespace testing_support {

class TickBarrier {
 public:
  explicit TickBarrier(int interval_ms) {
    timer_.setTimerType(Qt::PreciseTimer);
    timer_.setSingleShot(true);
    QObject::connect(&timer_, &QTimer::timeout, [this] { ticked_ = true; });
    timer_.start(interval_ms);
  }
  // Runs the event loop until the barrier's tick; false if it never came.
  bool Wait() {
    return QTest::qWaitFor([this] { return ticked_; }, timer_.interval() + 10000);
  }

 private:
  QTimer timer_;
  bool ticked_ = false;
};

}  // namespace testing_support
