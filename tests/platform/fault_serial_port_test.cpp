// Faults of the serial line at the control itself, on a pseudo-terminal of
// the test's own: a device that stops taking bytes, and one that goes away
// while the control waits for input. The bounds are generous sanity checks
// ("it ends", "it does not spin"), not timing targets.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/serial_port.h"
#include "platform/vb_error.h"
#include "support/child_process.h"

namespace platform {
namespace {

using std::chrono::milliseconds;

constexpr int kPort = 44;

double ThreadCpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_THREAD, &usage);
  return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
         (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A terminal whose other side the test holds and never reads.
class FaultSerialPortTest : public ::testing::Test {
 protected:
  FaultSerialPortTest() {
    int slave = -1;
    char name[128] = {};
    if (openpty(&master_, &slave, name, nullptr, nullptr) != 0) return;
    termios tio{};
    tcgetattr(slave, &tio);
    cfmakeraw(&tio);
    tcsetattr(slave, TCSANOW, &tio);
    close(slave);
    env_ = "KONWERTER_COM" + std::to_string(kPort);
    setenv(env_.c_str(), name, 1);
    port_.SetCommPort(kPort);
  }
  ~FaultSerialPortTest() override {
    port_.SetPortOpen(false);
    if (!env_.empty()) unsetenv(env_.c_str());
    CloseMaster();
  }
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

  int master_ = -1;
  std::string env_;
  SerialPort port_;
};

TEST_F(FaultSerialPortTest, OutputToALineThatTakesNothingEndsWithAnError) {
  ASSERT_GE(master_, 0);
  port_.SetPortOpen(true);
  const std::string megabyte(1 << 20, 'x');  // far more than the line's buffers hold
  double cpu_start = ThreadCpuSeconds();
  auto start = std::chrono::steady_clock::now();
  int error = 0;
  try {
    port_.Output(megabyte);
  } catch (const VbError& e) {
    error = e.number();
  }
  double elapsed = SecondsSince(start);
  double cpu = ThreadCpuSeconds() - cpu_start;
  EXPECT_EQ(error, kCommWriteFailed);
  EXPECT_LT(elapsed, 3.0);
  EXPECT_LT(cpu, 0.5) << "the wait for a slow line must not spin";
  // The line is only slow, not gone: the port stays open and usable.
  EXPECT_TRUE(port_.PortOpen());
  EXPECT_EQ(port_.Input(), "");
}

TEST_F(FaultSerialPortTest, DeviceGoingAwayEndsTheWaitForInput) {
  ASSERT_GE(master_, 0);
  port_.SetPortOpen(true);
  std::thread pull([&] {
    std::this_thread::sleep_for(milliseconds(200));
    CloseMaster();
  });
  double cpu_start = ThreadCpuSeconds();
  auto start = std::chrono::steady_clock::now();
  bool woke = port_.WaitForInput(10000);
  double elapsed = SecondsSince(start);
  pull.join();
  EXPECT_TRUE(woke) << "a hang-up is something to read";
  EXPECT_LT(elapsed, 3.0);
  EXPECT_LT(ThreadCpuSeconds() - cpu_start, 0.5);
  int error = 0;
  try {
    port_.Input();
  } catch (const VbError& e) {
    error = e.number();
  }
  EXPECT_EQ(error, kCommPortNotOpen);
  EXPECT_FALSE(port_.PortOpen());
  // Closed now: waiting returns at once, and the calls keep failing cleanly.
  start = std::chrono::steady_clock::now();
  EXPECT_FALSE(port_.WaitForInput(5000));
  EXPECT_LT(SecondsSince(start), 1.0);
  EXPECT_THROW(port_.Output("x"), VbError);
  EXPECT_THROW(port_.Input(), VbError);
}

TEST_F(FaultSerialPortTest, DeviceGoingAwayDuringASlowWrite) {
  ASSERT_GE(master_, 0);
  port_.SetPortOpen(true);
  std::thread pull([&] {
    std::this_thread::sleep_for(milliseconds(200));
    CloseMaster();
  });
  auto start = std::chrono::steady_clock::now();
  int error = 0;
  try {
    port_.Output(std::string(1 << 20, 'y'));
  } catch (const VbError& e) {
    error = e.number();
  }
  pull.join();
  EXPECT_EQ(error, kCommWriteFailed);
  EXPECT_LT(SecondsSince(start), 3.0);
  EXPECT_FALSE(port_.PortOpen());
}

TEST_F(FaultSerialPortTest, PortHeldInExclusiveModeWithoutALockGives8005) {
  // Another program that holds the port in the terminal's exclusive mode but
  // takes no lock. Root passes exclusive mode by, so the opening runs as an
  // ordinary user in a child process.
  ASSERT_GE(master_, 0);
  const char* path = getenv(env_.c_str());
  ASSERT_NE(path, nullptr);
  ASSERT_EQ(chmod(path, 0666), 0);
  int holder = open(path, O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(holder, 0);
  ASSERT_EQ(ioctl(holder, TIOCEXCL), 0);
  const int status = testing_support::RunAsOrdinaryUser([] {
    SerialPort port;
    port.SetCommPort(kPort);
    try {
      port.SetPortOpen(true);
    } catch (const VbError& error) {
      return error.number() == kCommPortAlreadyOpen && !port.PortOpen() ? 0 : 2;
    }
    return 1;
  });
  close(holder);
  if (status == testing_support::kChildCannotSetUp) {
    GTEST_SKIP() << "cannot run as an ordinary user here";
  }
  EXPECT_EQ(status, 0) << "1: opened anyway, 2: another error";
  // Once it lets go, the port opens.
  port_.SetPortOpen(true);
  EXPECT_TRUE(port_.PortOpen());
}

}  // namespace
}  // namespace platform
