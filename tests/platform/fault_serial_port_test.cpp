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
#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>

#include "platform/serial_port.h"
#include "platform/vb_error.h"
#include "support/child_process.h"
#include "support/port_test_util.h"

namespace platform {
namespace {

using std::chrono::milliseconds;
using testing_support::ErrorOf;

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

TEST_F(FaultSerialPortTest, PortHeldInExclusiveModeWithoutALockGives8005EvenToRoot) {
  // Another program that holds the port in the terminal's exclusive mode but
  // takes no lock. An ordinary user's opening is refused by the terminal;
  // root passes exclusive mode by, so the control itself must see it.
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
  if (status != testing_support::kChildCannotSetUp) {
    EXPECT_EQ(status, 0) << "1: opened anyway, 2: another error";
  }
  EXPECT_EQ(ErrorOf([&] { port_.SetPortOpen(true); }), kCommPortAlreadyOpen);
  EXPECT_FALSE(port_.PortOpen());
  int still_exclusive = 0;
  ASSERT_EQ(ioctl(holder, TIOCGEXCL, &still_exclusive), 0);
  EXPECT_EQ(still_exclusive, 1) << "the other program's exclusive mode was cleared";
  // Once it lets go, the port opens.
  ioctl(holder, TIOCNXCL);
  close(holder);
  port_.SetPortOpen(true);
  EXPECT_TRUE(port_.PortOpen());
}

TEST_F(FaultSerialPortTest, ALockFolderTheUserMayNotWriteLeavesThePortUsable) {
  // As /var/lock is on systems where only a group may write it: serial
  // programs then go on without a lock file, and so does the control.
  ASSERT_GE(master_, 0);
  testing_support::ScopedLockFolder locks;
  ASSERT_EQ(chmod(locks.path().c_str(), 0555), 0);
  ASSERT_EQ(chmod(getenv(env_.c_str()), 0666), 0);
  const int status = testing_support::RunAsOrdinaryUser([] {
    SerialPort port;
    port.SetCommPort(kPort);
    if (ErrorOf([&] { port.SetPortOpen(true); }) != 0) return 1;
    port.Output("x");
    port.SetPortOpen(false);
    return 0;
  });
  if (status == testing_support::kChildCannotSetUp) {
    GTEST_SKIP() << "cannot run as an ordinary user here";
  }
  EXPECT_EQ(status, 0) << "the port was refused";
  EXPECT_TRUE(std::filesystem::is_empty(locks.path()));
}

bool SameTerminalSettings(const termios& a, const termios& b) {
  return a.c_iflag == b.c_iflag && a.c_oflag == b.c_oflag && a.c_cflag == b.c_cflag &&
         a.c_lflag == b.c_lflag && cfgetispeed(&a) == cfgetispeed(&b) &&
         cfgetospeed(&a) == cfgetospeed(&b) && std::memcmp(a.c_cc, b.c_cc, sizeof a.c_cc) == 0;
}

TEST_F(FaultSerialPortTest, ExitSignalDuringAWaitClosesThePortAsClosingWould) {
  ASSERT_GE(master_, 0);
  testing_support::ScopedLockFolder locks;
  const std::string path = getenv(env_.c_str());
  const std::string lock = locks.LockFileOf(path);
  int probe = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
  ASSERT_GE(probe, 0);
  // The terminal as "stty sane 4800" leaves it, far from the port's raw line.
  termios before;
  ASSERT_EQ(tcgetattr(probe, &before), 0);
  before.c_iflag |= ICRNL | IXON;
  before.c_oflag |= OPOST | ONLCR;
  before.c_lflag |= ECHO | ICANON | ISIG;
  cfsetispeed(&before, B4800);
  cfsetospeed(&before, B4800);
  ASSERT_EQ(tcsetattr(probe, TCSANOW, &before), 0);
  ASSERT_EQ(tcgetattr(probe, &before), 0);
  for (int signo : {SIGTERM, SIGHUP, SIGINT, SIGQUIT}) {
    SCOPED_TRACE(strsignal(signo));
    int ready[2];
    ASSERT_EQ(pipe(ready), 0);
    const pid_t child = testing_support::StartChild([&] {
      const rlimit no_core{0, 0};  // SIGQUIT's default action dumps core
      setrlimit(RLIMIT_CORE, &no_core);
      CloseSerialPortsOnExitSignals();  // as the program's start does
      SerialPort port;
      port.SetCommPort(kPort);
      port.SetSettings("19200,E,7,2");
      if (ErrorOf([&] { port.SetPortOpen(true); }) != 0) return 1;
      (void)!write(ready[1], "r", 1);
      port.WaitForInput(60000);  // where an exchange waits for the reply
      return 2;
    });
    ASSERT_GT(child, 0);
    close(ready[1]);
    char byte = 0;
    const bool opened = read(ready[0], &byte, 1) == 1;
    close(ready[0]);
    termios during;
    ASSERT_EQ(tcgetattr(probe, &during), 0);
    EXPECT_TRUE(opened && cfgetospeed(&during) == B19200 && std::filesystem::exists(lock))
        << "the child did not hold the port";
    kill(child, signo);
    EXPECT_EQ(testing_support::WaitForChild(child), 100 + signo) << "it did not end by the signal";
    termios after;
    ASSERT_EQ(tcgetattr(probe, &after), 0);
    EXPECT_TRUE(SameTerminalSettings(after, before)) << "the device was left with the port's line";
    EXPECT_FALSE(std::filesystem::exists(lock));
    int exclusive = 1;
    ASSERT_EQ(ioctl(probe, TIOCGEXCL, &exclusive), 0);
    EXPECT_EQ(exclusive, 0);
  }
  close(probe);
}

TEST(ExitSignalTest, WithoutAThreadForThemTheExitSignalsActAsWithoutTheTool) {
  // A process limit refuses the thread (root is above the limit, an
  // ordinary user is not): the program goes on, and a signal ends it.
  const int status = testing_support::RunWithoutThreads([] {
    CloseSerialPortsOnExitSignals();
    raise(SIGTERM);
    return 1;
  });
  if (status == testing_support::kChildCannotSetUp) {
    GTEST_SKIP() << "cannot run as an ordinary user here";
  }
  EXPECT_EQ(status, 100 + SIGTERM) << "1: the signal stayed blocked";
}

}  // namespace
}  // namespace platform
